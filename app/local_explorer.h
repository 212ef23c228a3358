#pragma once

// The explorer's local page: the drive box of roots, the path label and the
// sorted list of the directory shown ("  Parent Directory...", then "0 "
// directories, "2 " files and "3 " read-only files), and its commands:
// Open File, Delete File, Rename File and Refresh.

#include <string>

namespace qorvi {

class MainShell;
class MainView;
class ShellUi;

class LocalExplorer {
public:
    static constexpr const char* kMsgSelectFile = "Please select a file";
    static constexpr const char* kMsgNoFolderDelete = "You cannot delete a folder from here";
    static constexpr const char* kMsgCouldNotRename = "Could not rename the file";
    static constexpr const char* kMsgCouldNotDelete = "Could not delete the file";
    static constexpr const char* kMsgUnregistered =
        "This file type is not registered. Would you like to register it now?";

    // Icons of `imgFiles` the list draws.
    enum Icon { IconFolder = 0, IconRegistered = 1, IconReadOnly = 2, IconParent = 3, IconUnregistered = 4 };

    LocalExplorer(MainShell& shell, MainView& view, ShellUi& ui);

    // Lists a directory: the label shows it with a trailing "/" (a relative
    // path is taken from the drive box's root) and the selected drive
    // remembers it. A directory that cannot be read is reported.
    void list(const std::string& path);
    // The drive box was clicked: the drive's last directory, or its root.
    void driveClicked();
    // Double click or "Open File": enter a directory, go up, or open a file.
    void openSelected();
    void deleteSelected();
    void renameSelected();
    void refresh();

    // The icon an item is drawn with (item 0 is the parent directory).
    Icon iconFor(int index, const std::string& item) const;

private:
    // The extension a file opens with: its own, or "DefaultExt".
    std::string extensionFor(const std::string& name) const;

    MainShell& shell_;
    MainView& view_;
    ShellUi& ui_;
};

} // namespace qorvi
