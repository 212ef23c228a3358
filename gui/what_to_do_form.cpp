#include "gui/what_to_do_form.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qorvi {

TfrmWhatToDo::TfrmWhatToDo(QWidget* parent) : QDialog(parent) {
    setObjectName("frmWhatToDo");
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(kText, this);
    text->setWordWrap(true);
    layout->addWidget(text);
    doNotOpen_ = new QRadioButton(kDoNotOpen, this);
    secondWindow_ = new QRadioButton(kSecondWindow, this);
    reload_ = new QRadioButton(kReload, this);
    doNotOpen_->setChecked(true);
    layout->addWidget(doNotOpen_);
    layout->addWidget(secondWindow_);
    layout->addWidget(reload_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("&Ok", this);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

int TfrmWhatToDo::choice() const {
    if (reload_->isChecked())
        return 3;
    if (secondWindow_->isChecked())
        return 2;
    return 1;
}

int TfrmWhatToDo::ask() {
    return exec() == QDialog::Accepted ? choice() : 1;
}

} // namespace qorvi
