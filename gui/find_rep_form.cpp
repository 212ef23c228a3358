#include "gui/find_rep_form.h"

#include "app/find_replace.h"
#include "gui/guarded.h"
#include "platform/shell_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qorvi {
namespace {

QComboBox* historyBox(QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert); // the logic keeps the history
    box->setMinimumContentsLength(30);
    return box;
}

} // namespace

TfrmFindRep::TfrmFindRep(FindReplace& logic, ShellUi& ui, std::function<DocumentEditor*()> target, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint), logic_(logic), ui_(ui), target_(std::move(target)) {
    setWindowTitle("Find/Replace");
    setModal(false);
    find_ = historyBox(this);
    replace_ = historyBox(this);
    lblReplace_ = new QLabel("Replace with:", this);
    caseSensitive_ = new QCheckBox("Case sensitive", this);
    wholeWord_ = new QCheckBox("Whole words", this);
    regExpression_ = new QCheckBox("Regular expressions", this);
    forward_ = new QRadioButton("Forward", this);
    back_ = new QRadioButton("Back", this);
    forward_->setChecked(true);
    prompt_ = new QCheckBox("Prompt before replace when performing Replace All", this);
    btnFind_ = new QPushButton("&Find", this);
    btnReplace_ = new QPushButton("&Replace", this);
    btnReplaceAll_ = new QPushButton("Replace &All", this);
    btnClose_ = new QPushButton("&Close", this);
    for (QPushButton* b : {btnFind_, btnReplace_, btnReplaceAll_, btnClose_})
        b->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel("Find:", this), 0, 0);
    fields->addWidget(find_, 0, 1);
    fields->addWidget(lblReplace_, 1, 0);
    fields->addWidget(replace_, 1, 1);
    auto* direction = new QGroupBox("Direction", this);
    auto* directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(forward_);
    directionLayout->addWidget(back_);
    auto* options = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{caseSensitive_, wholeWord_, regExpression_, direction, prompt_})
        options->addWidget(w);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {btnFind_, btnReplace_, btnReplaceAll_, btnClose_})
        buttons->addWidget(b);
    buttons->addStretch();
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    auto* all = new QHBoxLayout(this);
    all->addLayout(left);
    all->addLayout(buttons);

    connect(btnFind_, &QPushButton::clicked, this, [this] { act([this] { logic_.findButton(); }); });
    connect(btnReplace_, &QPushButton::clicked, this, [this] { act([this] { logic_.replaceButton(); }); });
    connect(btnReplaceAll_, &QPushButton::clicked, this, [this] { act([this] { logic_.replaceAllButton(); }); });
    connect(btnClose_, &QPushButton::clicked, this, &QDialog::hide);
    // Enter is taken before the line edit sees it: an editable combo box
    // hands a Return it did not use back to its line edit, which would
    // report it twice.
    find_->lineEdit()->installEventFilter(this);
    replace_->lineEdit()->installEventFilter(this);
}

bool TfrmFindRep::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (watched == find_->lineEdit())
                act([this] { logic_.enterInFind(); });
            else if (watched == replace_->lineEdit())
                act([this] { logic_.enterInReplace(); });
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmFindRep::showMode(bool replace) {
    for (QWidget* w : std::initializer_list<QWidget*>{lblReplace_, replace_, prompt_, btnReplace_, btnReplaceAll_})
        w->setEnabled(replace);
    find_->setEditText(QString::fromUtf8(logic_.findText));
    show();
    raise();
    activateWindow();
    find_->setFocus();
    find_->lineEdit()->selectAll();
}

void TfrmFindRep::toLogic() {
    // Unicode: the logic turns the texts into the document's bytes.
    logic_.findText = find_->currentText().toUtf8().toStdString();
    logic_.replaceText = replace_->currentText().toUtf8().toStdString();
    logic_.caseSensitive = caseSensitive_->isChecked();
    logic_.wholeWord = wholeWord_->isChecked();
    logic_.regExpression = regExpression_->isChecked();
    logic_.backwards = back_->isChecked();
    logic_.prompt = prompt_->isChecked();
}

void TfrmFindRep::showHistories() {
    auto fill = [](QComboBox* box, const std::vector<std::string>& history) {
        const QString text = box->currentText();
        box->clear();
        for (const std::string& item : history)
            box->addItem(QString::fromUtf8(item));
        box->setEditText(text);
    };
    fill(find_, logic_.findHistory());
    fill(replace_, logic_.replaceHistory());
}

void TfrmFindRep::act(const std::function<void()>& work) {
    guarded(
        [&] {
            toLogic();
            logic_.attach(target_ ? target_() : nullptr);
            if (logic_.attached())
                work();
            showHistories();
        },
        [this](const std::string& text) { ui_.showInformation(text); });
}

void TfrmFindRep::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

} // namespace qorvi
