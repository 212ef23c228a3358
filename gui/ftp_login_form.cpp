#include "gui/ftp_login_form.h"

#include "platform/qt/text_convert.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qorvi {

TfrmFTPLogin::TfrmFTPLogin(FtpLoginDialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
    setWindowTitle(toQString(FtpLoginDialog::kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(toQString(FtpLoginDialog::kGroup), this);
    auto* grid = new QGridLayout(group);
    static const std::map<ProfileField, const char*> kNames = {
        {ProfileField::Profile, "txtProfile"}, {ProfileField::HostName, "txtHostName"},
        {ProfileField::UID, "txtUID"},         {ProfileField::PWD, "txtPWD"},
        {ProfileField::Port, "txtPort"},       {ProfileField::InitialDir, "txtInitialDir"},
        {ProfileField::Proxy, "txtProxy"},     {ProfileField::ProxyPort, "txtProxyPort"},
    };
    int row = 0;
    for (const auto& text : FtpLoginDialog::fieldTexts()) {
        grid->addWidget(new QLabel(toQString(text.label), group), row, 0);
        auto* edit = new QLineEdit(group);
        edit->setObjectName(kNames.at(text.field));
        edit->setToolTip(toQString(text.hint));
        grid->addWidget(edit, row, 1);
        edits_[text.field] = edit;
        const ProfileField field = text.field;
        connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& typed) {
            if (!filling_)
                dialog_.field(field) = fromQString(typed);
        });
        ++row;
    }
    txtPWD()->setEchoMode(QLineEdit::Password);
    txtPWD()->setStyleSheet("lineedit-password-character: 42"); // "*"
    // The profile list stands where the profile name edit stands.
    cmbProfile_ = new QComboBox(group);
    cmbProfile_->setObjectName("cmbProfile");
    grid->addWidget(cmbProfile_, 0, 1);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    btnDelete_ = new QPushButton(toQString(FtpLoginDialog::kDeleteButton), this);
    btnOk_ = new QPushButton(toQString(FtpLoginDialog::kOkButton), this);
    btnCancel_ = new QPushButton(toQString(FtpLoginDialog::kCancelButton), this);
    btnOk_->setDefault(true);
    buttons->addWidget(btnDelete_);
    buttons->addStretch();
    buttons->addWidget(btnOk_);
    buttons->addWidget(btnCancel_);
    layout->addLayout(buttons);

    const bool add = dialog_.profileNameShown();
    txtProfile()->setVisible(add);
    cmbProfile_->setVisible(!add);
    btnDelete_->setVisible(!add);

    connect(btnOk_, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnDelete_, &QPushButton::clicked, this, [this] { btnDeleteClick(); });
    connect(cmbProfile_, &QComboBox::currentIndexChanged, this,
            [this](int index) { cmbProfileClick(index); });
    showList();
    showFields();
}

void TfrmFTPLogin::showFields() {
    filling_ = true;
    for (auto& [field, edit] : edits_)
        edit->setText(toQString(dialog_.field(field)));
    filling_ = false;
}

void TfrmFTPLogin::showList() {
    filling_ = true;
    cmbProfile_->clear();
    for (const auto& name : dialog_.profileList())
        cmbProfile_->addItem(toQString(name));
    cmbProfile_->setCurrentIndex(dialog_.selectedProfile());
    filling_ = false;
}

void TfrmFTPLogin::cmbProfileClick(int index) {
    if (filling_)
        return;
    dialog_.selectProfile(index);
    showFields();
}

void TfrmFTPLogin::btnOkClick() {
    if (dialog_.SaveProfile()) {
        accept();
        return;
    }
    if (auto field = dialog_.focus())
        edit(*field)->setFocus();
}

void TfrmFTPLogin::btnDeleteClick() {
    dialog_.DeleteProfile();
    showList();
    showFields();
}

bool TfrmFTPLogin::run() {
    return exec() == QDialog::Accepted;
}

} // namespace qorvi
