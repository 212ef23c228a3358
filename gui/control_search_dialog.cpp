#include "gui/control_search_dialog.h"

#include "editor/control/rudivo_voru.h"
#include "editor/control/rudivo_voru_messages.h"
#include "platform/qt/text_convert.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qorvi {

ControlSearchDialog::ControlSearchDialog(TCustomRudivoVoru& control, QWidget* parent)
    : QDialog(parent, Qt::Tool), control_(control) {
    setObjectName("ControlSearchDialog");
    setModal(false);
    auto* fields = new QGridLayout;
    auto* findLabel = new QLabel("Fi&nd what:", this);
    find_ = new QLineEdit(this);
    findLabel->setBuddy(find_);
    replaceLabel_ = new QLabel("Re&place with:", this);
    replace_ = new QLineEdit(this);
    replaceLabel_->setBuddy(replace_);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(find_, 0, 1);
    fields->addWidget(replaceLabel_, 1, 0);
    fields->addWidget(replace_, 1, 1);
    wholeWord_ = new QCheckBox("Match &whole word only", this);
    matchCase_ = new QCheckBox("Match &case", this);
    direction_ = new QGroupBox("Direction", this);
    up_ = new QRadioButton("&Up", direction_);
    down_ = new QRadioButton("&Down", direction_);
    down_->setChecked(true);
    auto* directionLayout = new QHBoxLayout(direction_);
    directionLayout->addWidget(up_);
    directionLayout->addWidget(down_);
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addWidget(wholeWord_);
    left->addWidget(matchCase_);
    left->addWidget(direction_);
    left->addStretch(1);

    findNext_ = new QPushButton("&Find Next", this);
    findNext_->setDefault(true);
    replaceOne_ = new QPushButton("&Replace", this);
    replaceAll_ = new QPushButton("Replace &All", this);
    cancel_ = new QPushButton("Cancel", this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {findNext_, replaceOne_, replaceAll_, cancel_})
        buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    const auto enable = [this] {
        const bool any = !find_->text().isEmpty();
        for (QPushButton* b : {findNext_, replaceOne_, replaceAll_})
            b->setEnabled(any);
    };
    connect(find_, &QLineEdit::textChanged, this, enable);
    enable();
    // The texts become the document's bytes; one it cannot hold is refused
    // as typing would refuse it (matching stays on bytes).
    const auto encoded = [this](const QLineEdit* edit) { return control_.EncodeForDocument(edit->text().toStdString()); };
    connect(findNext_, &QPushButton::clicked, this, [this, encoded] {
        if (const auto find = encoded(find_))
            control_.DialogFindNext(*find, options());
    });
    const auto replace = [this, encoded](bool all) {
        const auto find = encoded(find_);
        const auto with = find ? encoded(replace_) : std::nullopt;
        if (find && with)
            control_.DialogReplace(*find, *with, options(), all);
    };
    connect(replaceOne_, &QPushButton::clicked, this, [replace] { replace(false); });
    connect(replaceAll_, &QPushButton::clicked, this, [replace] { replace(true); });
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

std::int32_t ControlSearchDialog::options() const {
    return (matchCase_->isChecked() ? kFindMatchCase : 0) | (wholeWord_->isChecked() ? kFindWholeWord : 0) |
           (!replaceMode_ && up_->isChecked() ? kFindBackwards : 0);
}

void ControlSearchDialog::showMode(bool replace, const QString& findText, const QString& replaceText,
                                   std::int32_t flags) {
    if (isVisible() && replace != replaceMode_)
        hide();
    replaceMode_ = replace;
    setWindowTitle(replace ? "Replace" : "Find");
    replaceLabel_->setVisible(replace);
    replace_->setVisible(replace);
    replaceOne_->setVisible(replace);
    replaceAll_->setVisible(replace);
    direction_->setVisible(!replace);
    find_->setText(findText);
    if (replace)
        replace_->setText(replaceText);
    matchCase_->setChecked((flags & kFindMatchCase) != 0);
    wholeWord_->setChecked((flags & kFindWholeWord) != 0);
    (flags & kFindBackwards ? up_ : down_)->setChecked(true);
    adjustSize();
    show();
    raise();
    activateWindow();
    find_->setFocus();
    find_->selectAll();
}

} // namespace qorvi
