#pragma once

// The logic of `TfrmFTPLogin`, the site profile dialog. In add mode it takes
// a new profile's name and fields; in edit mode it lists the profiles, loads
// the one selected and rewrites or deletes it (a profile cannot be renamed).
// The Qt form shows `fields` and the list and writes the user's typing back
// into `fields`.

#include "app/site_profiles.h"

#include <optional>
#include <string>
#include <vector>

namespace qorvi {

class ShellUi;

enum class ProfileField { Profile, HostName, UID, PWD, Port, InitialDir, Proxy, ProxyPort };

class FtpLoginDialog {
public:
    enum class Mode { Add, Edit };

    static constexpr const char* kCaption = "FTP Connection Parameters";
    static constexpr const char* kGroup = "Host Information";
    static constexpr const char* kDeleteButton = "&Delete profile";
    static constexpr const char* kOkButton = "&Ok";
    static constexpr const char* kCancelButton = "&Cancel";
    static constexpr const char* kDefaultPort = "21";

    static constexpr const char* kMsgNoProfileName = "Please specifiy a profile name.";
    static constexpr const char* kMsgNoHostName = "Please specify a host name.";
    static constexpr const char* kMsgNoUserId = "Please specify a user ID.";
    static constexpr const char* kMsgBadProfileName =
        "A profile name cannot contain \"\\\", \"/\" or control characters. Please specify another profile "
        "name.";
    static constexpr const char* kMsgConfirmDelete =
        "This will delete the FTP profile. Do you wish to continue?";
    static constexpr const char* kMsgCannotDelete =
        "Could not delete the registry key. If you are using NT, make sure you have sufficient permission";

    struct FieldText {
        ProfileField field;
        const char* label;
        const char* hint;
    };
    // The edits in their order on the form, with label and hint.
    static const std::vector<FieldText>& fieldTexts();

    FtpLoginDialog(Mode mode, SiteProfiles& profiles, ShellUi& ui);

    Mode mode() const { return mode_; }
    // Add mode shows the profile name edit; edit mode the list and "&Delete profile".
    bool profileNameShown() const { return mode_ == Mode::Add; }

    // What the edits hold.
    SiteProfile fields;
    std::string& field(ProfileField id);

    // Edit mode: the profile names and the selected one (-1: none).
    const std::vector<std::string>& profileList() const { return list_; }
    int selectedProfile() const { return selected_; }
    // Selecting a profile in the list loads it.
    void selectProfile(int index);
    // Fills the edits from the stored profile.
    void Load(const std::string& name);

    // "&Ok": checks and stores the fields; true closes the dialog. A refused
    // save names the edit to go to (focus).
    bool SaveProfile();
    std::optional<ProfileField> focus() const { return focus_; }
    // "&Delete profile": asks, deletes the loaded profile, lists again.
    void DeleteProfile();

private:
    bool refuse(const char* message, ProfileField field);
    void fillList();

    Mode mode_;
    SiteProfiles& profiles_;
    ShellUi& ui_;
    std::vector<std::string> list_;
    int selected_ = -1;
    std::optional<ProfileField> focus_;
};

} // namespace qorvi
