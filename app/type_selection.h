#pragma once

// The logic of the two type dialogs: `TfrmNewDocType`, which asks for the
// type of a new document or of an extension being registered, and
// `TfrmUnknown`, which asks what to do with a remote file of unregistered
// type. The Qt forms only show what these hold.

#include <string>
#include <vector>

namespace qorvi {

class SettingValues;

// Shows the type selection dialog; returns the chosen type number (0 when
// nothing could be read from the selection).
class TypeSelector {
public:
    virtual ~TypeSelector() = default;
    virtual int selectType(const std::string& title) = 0;
};

class NewDocTypeChoice {
public:
    static constexpr const char* kCaption = "New document type";
    static constexpr const char* kLabel = "Please select the type of document you wish to create.";
    static constexpr const char* kSelectButton = "&Select";

    explicit NewDocTypeChoice(SettingValues& settings);

    // The thirteen items, sorted as a sorted list box sorts them (by display
    // name, ignoring case).
    const std::vector<std::string>& items() const { return items_; }
    // The index stored in "NewDocType" (default 5); an index outside the list selects 5.
    int initialIndex() const;
    // The caption: `title` when not empty, else the form's own.
    static std::string caption(const std::string& title);
    // Stores the selected index in "NewDocType" and returns the item's type
    // number; -1 (no selection) stores nothing and returns 0.
    int finish(int selectedIndex);

private:
    SettingValues& settings_;
    std::vector<std::string> items_;
};

class UnknownTypeChoice {
public:
    static constexpr const char* kCaption = "Unknown file format";
    static constexpr const char* kText =
        "This file that you selected to open is not registered with Qorvi. What do you wish to do?";
    static constexpr const char* kDownload = "Download the file.";
    static constexpr const char* kOpen = "Open the file for editing";
    static constexpr const char* kRegister = "Register the file extension for future use";

    enum Result { Cancelled = 0, Download = 1, OpenOnly = 2, OpenAndRegister = 3 };

    // The register check box is enabled only while "Open the file for editing" is chosen.
    static bool registerEnabled(bool openChosen) { return openChosen; }
    static Result result(bool accepted, bool openChosen, bool registerChecked);
};

} // namespace qorvi
