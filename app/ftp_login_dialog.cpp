#include "app/ftp_login_dialog.h"

#include "platform/shell_ui.h"

#include <exception>

namespace qorvi {

namespace {

bool isBlank(const std::string& text) {
    return text.find_first_not_of(" \t\r\n") == std::string::npos;
}

} // namespace

const std::vector<FtpLoginDialog::FieldText>& FtpLoginDialog::fieldTexts() {
    using F = ProfileField;
    static const std::vector<FieldText> texts = {
        {F::Profile, "Profile Name:", "User define profile name"},
        {F::HostName, "Host Name:", "Host name or IP address"},
        {F::UID, "User ID:", "UserID"},
        {F::PWD, "Password:", "Leave it blank to get authorization at connect time"},
        {F::Port, "Port Number:", "TCP/IP port number"},
        {F::InitialDir, "Initial Directory:", "Initial directory to connect to"},
        {F::Proxy, "Proxy Server:", "Proxy server. Leave it blank if none"},
        {F::ProxyPort, "Proxy Port #:", "Proxy server port. Leave it blank if none."},
    };
    return texts;
}

FtpLoginDialog::FtpLoginDialog(Mode mode, SiteProfiles& profiles, ShellUi& ui)
    : mode_(mode), profiles_(profiles), ui_(ui) {
    fields.port = kDefaultPort;
    if (mode_ == Mode::Edit)
        fillList();
}

std::string& FtpLoginDialog::field(ProfileField id) {
    switch (id) {
    case ProfileField::Profile:
        return fields.name;
    case ProfileField::HostName:
        return fields.hostName;
    case ProfileField::UID:
        return fields.uid;
    case ProfileField::PWD:
        return fields.password;
    case ProfileField::Port:
        return fields.port;
    case ProfileField::InitialDir:
        return fields.initialDir;
    case ProfileField::Proxy:
        return fields.proxy;
    case ProfileField::ProxyPort:
        break;
    }
    return fields.proxyPort;
}

void FtpLoginDialog::fillList() {
    list_ = profiles_.names();
    selected_ = -1;
    if (!list_.empty())
        selectProfile(0);
}

void FtpLoginDialog::selectProfile(int index) {
    if (index < 0 || index >= static_cast<int>(list_.size()))
        return;
    selected_ = index;
    Load(list_[static_cast<std::size_t>(index)]);
}

void FtpLoginDialog::Load(const std::string& name) {
    try {
        fields = profiles_.load(name);
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

bool FtpLoginDialog::refuse(const char* message, ProfileField field) {
    ui_.showInformation(message);
    focus_ = field;
    return false;
}

bool FtpLoginDialog::SaveProfile() {
    focus_.reset();
    if (isBlank(fields.name))
        return refuse(kMsgNoProfileName, ProfileField::Profile);
    // The name becomes one subkey of the program key.
    if (!SiteProfiles::isValidName(fields.name))
        return refuse(kMsgBadProfileName, ProfileField::Profile);
    if (isBlank(fields.hostName))
        return refuse(kMsgNoHostName, ProfileField::HostName);
    if (isBlank(fields.uid))
        return refuse(kMsgNoUserId, ProfileField::UID);
    try {
        profiles_.save(fields);
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
        return false;
    }
    return true;
}

void FtpLoginDialog::DeleteProfile() {
    if (!ui_.confirm(kMsgConfirmDelete))
        return;
    switch (profiles_.remove(fields.name)) {
    case SiteProfiles::Removal::Missing:
        return;
    case SiteProfiles::Removal::ValueKept:
        ui_.showInformation(kMsgCannotDelete);
        return;
    case SiteProfiles::Removal::Deleted:
        fillList();
        return;
    }
}

} // namespace qorvi
