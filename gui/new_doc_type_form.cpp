#include "gui/new_doc_type_form.h"

#include "platform/qt/text_convert.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace qorvi {

TfrmNewDocType::TfrmNewDocType(NewDocTypeChoice& choice, const std::string& title, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(toQString(NewDocTypeChoice::caption(title)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(toQString(NewDocTypeChoice::kLabel), this));
    list_ = new QListWidget(this);
    list_->setObjectName("lstTypes");
    for (const auto& item : choice.items())
        list_->addItem(toQString(item));
    list_->setCurrentRow(choice.initialIndex());
    layout->addWidget(list_);
    auto* select = new QPushButton(toQString(NewDocTypeChoice::kSelectButton), this);
    select->setDefault(true);
    layout->addWidget(select);
    connect(select, &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(360, 320);
}

int TfrmNewDocType::selectedIndex() const { return list_->currentRow(); }

int FormTypeSelector::selectType(const std::string& title) {
    NewDocTypeChoice choice(settings_);
    TfrmNewDocType form(choice, title, parent_);
    form.exec();
    return choice.finish(form.selectedIndex());
}

} // namespace qorvi
