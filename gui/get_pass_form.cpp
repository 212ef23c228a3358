#include "gui/get_pass_form.h"

#include "platform/qt/text_convert.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qorvi {

TfrmGetPass::TfrmGetPass(QWidget* parent) : QDialog(parent) {
    setWindowTitle(toQString(PasswordPrompt::kCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(toQString(PasswordPrompt::kLabel), this));
    txtPassword_ = new QLineEdit(this);
    txtPassword_->setEchoMode(QLineEdit::Password);
    txtPassword_->setStyleSheet("lineedit-password-character: 42"); // "*"
    layout->addWidget(txtPassword_);
    btnOk_ = new QPushButton(toQString(PasswordPrompt::kOkButton), this);
    btnOk_->setDefault(true);
    layout->addWidget(btnOk_, 0, Qt::AlignRight);
    connect(btnOk_, &QPushButton::clicked, this, &QDialog::accept);
}

std::string TfrmGetPass::ask() {
    if (exec() != QDialog::Accepted)
        return {};
    return fromQString(txtPassword_->text());
}

} // namespace qorvi
