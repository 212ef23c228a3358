#pragma once

// `TfrmFTPLogin`: the site profile dialog over its logic (`FtpLoginDialog`),
// in add mode (a profile name edit) or edit mode (the profile list and
// "&Delete profile").

#include "app/ftp_login_dialog.h"

#include <QDialog>
#include <map>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace qorvi {

class TfrmFTPLogin : public QDialog {
    Q_OBJECT
public:
    explicit TfrmFTPLogin(FtpLoginDialog& dialog, QWidget* parent = nullptr);
    // Shows the dialog modally; true when it was closed by "&Ok".
    bool run();

    QLineEdit* edit(ProfileField field) const { return edits_.at(field); }
    QLineEdit* txtProfile() const { return edit(ProfileField::Profile); }
    QLineEdit* txtHostName() const { return edit(ProfileField::HostName); }
    QLineEdit* txtUID() const { return edit(ProfileField::UID); }
    QLineEdit* txtPWD() const { return edit(ProfileField::PWD); }
    QLineEdit* txtPort() const { return edit(ProfileField::Port); }
    QLineEdit* txtInitialDir() const { return edit(ProfileField::InitialDir); }
    QLineEdit* txtProxy() const { return edit(ProfileField::Proxy); }
    QLineEdit* txtProxyPort() const { return edit(ProfileField::ProxyPort); }
    QComboBox* cmbProfile() const { return cmbProfile_; }
    QPushButton* btnDelete() const { return btnDelete_; }
    QPushButton* btnOk() const { return btnOk_; }
    QPushButton* btnCancel() const { return btnCancel_; }

private:
    void showFields();
    void showList();
    void btnOkClick();
    void btnDeleteClick();
    void cmbProfileClick(int index);

    FtpLoginDialog& dialog_;
    std::map<ProfileField, QLineEdit*> edits_;
    QComboBox* cmbProfile_;
    QPushButton* btnDelete_;
    QPushButton* btnOk_;
    QPushButton* btnCancel_;
    bool filling_ = false; // the widgets are being set from the logic
};

} // namespace qorvi
