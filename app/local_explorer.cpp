#include "app/local_explorer.h"

#include "app/local_file_list.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/mapping_file.h"
#include "platform/file_system.h"
#include "platform/qorvi_error.h"
#include "platform/shell_ui.h"

namespace qorvi {

namespace {

// The name of an item: its text from the third character on.
std::string itemName(const std::string& item) {
    return item.size() > 2 ? item.substr(2) : std::string();
}

} // namespace

LocalExplorer::LocalExplorer(MainShell& shell, MainView& view, ShellUi& ui)
    : shell_(shell), view_(view), ui_(ui) {
}

void LocalExplorer::list(const std::string& path) {
    try {
        const std::string full = fs::isAbsolute(path) ? path : fs::joinPath(view_.driveText(), path);
        LocalListing listing = listLocalDirectory(full);
        view_.showLocalListing(listing.label, listing.items);
        shell_.setDriveLastDirectory(view_.selectedDrive(), listing.label);
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

void LocalExplorer::driveClicked() {
    const int index = view_.selectedDrive();
    const auto& drives = shell_.drives();
    if (index < 0 || index >= static_cast<int>(drives.size()))
        return;
    const DriveRecord& drive = drives[static_cast<std::size_t>(index)];
    list(drive.lastDirectory.size() < 2 ? view_.driveText() : drive.lastDirectory);
}

std::string LocalExplorer::extensionFor(const std::string& name) const {
    std::string ext = fs::extensionOf(name);
    return ext.empty() ? shell_.settings().defaultExt() : ext;
}

void LocalExplorer::openSelected() {
    const int index = view_.selectedLocalItem();
    if (index < 0)
        return;
    const std::string item = view_.localItemText(index);
    const std::string label = view_.localPath();
    const std::string name = itemName(item);
    try {
        if (index == 0) {
            list(parentDirectoryOf(label));
        } else if (item.rfind("0 ", 0) == 0) {
            list(label + name);
        } else if (item.rfind("2 ", 0) == 0) {
            const std::string ext = extensionFor(name);
            if (!shell_.mapping().isRegistered(ext) && ui_.confirm(kMsgUnregistered))
                shell_.registerExtension(ext);
            shell_.openDocument(label + name, false, "");
        } else if (item.rfind("3 ", 0) == 0) {
            shell_.openDocument(label + name, true, "");
        }
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

void LocalExplorer::deleteSelected() {
    const int index = view_.selectedLocalItem();
    if (index <= 0) {
        ui_.showInformation(kMsgSelectFile);
        return;
    }
    const std::string item = view_.localItemText(index);
    if (item.rfind("0 ", 0) == 0) {
        ui_.showInformation(kMsgNoFolderDelete);
        return;
    }
    const std::string label = view_.localPath();
    const std::string path = label + itemName(item);
    if (!ui_.confirm("This will delete " + path + ". Do you wish to continue?"))
        return;
    if (!fs::deleteFile(path))
        ui_.showInformation(kMsgCouldNotDelete);
    list(label);
}

void LocalExplorer::renameSelected() {
    std::optional<std::string> answer = ui_.inputBox("Input Required", "New file name", "");
    if (!answer)
        return;
    const int index = view_.selectedLocalItem();
    if (index <= 0) {
        ui_.showInformation(kMsgSelectFile);
        return;
    }
    const std::string label = view_.localPath();
    const std::string from = label + itemName(view_.localItemText(index));
    const std::string to = label + *answer;
    // A name, not a path; and never over another file, which would be lost.
    if (answer->empty() || answer->find('/') != std::string::npos || *answer == "." || *answer == ".." ||
        fs::exists(to) || !fs::renameFile(from, to))
        ui_.showInformation(kMsgCouldNotRename);
    list(label);
}

void LocalExplorer::refresh() {
    list(view_.localPath());
}

LocalExplorer::Icon LocalExplorer::iconFor(int index, const std::string& item) const {
    if (index == 0)
        return IconParent;
    if (item.rfind("0 ", 0) == 0)
        return IconFolder;
    if (item.rfind("2 ", 0) == 0)
        return shell_.mapping().isRegistered(extensionFor(itemName(item))) ? IconRegistered
                                                                           : IconUnregistered;
    return IconReadOnly;
}

} // namespace qorvi
