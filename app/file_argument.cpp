#include "app/file_argument.h"

#include "platform/file_system.h"
#include "platform/qorvi_error.h"
#include "platform/shell_ui.h"

namespace qorvi {

int expandFileArgument(const std::string& name, bool quiet, const std::string& currentDirectory,
                       std::vector<std::string>& pending, ShellUi& ui) {
    // Relative names, with or without a directory, are taken from the
    // current directory so that every pending entry is absolute.
    std::string full = fs::isAbsolute(name) ? name : fs::joinPath(currentDirectory, name);
    std::string dir = fs::directoryPart(full);
    std::string pattern = fs::fileNamePart(full);
    int added = 0;
    if (!pattern.empty()) {
        try {
            for (const auto& entry : fs::listDirectory(dir, pattern)) {
                pending.push_back(fs::joinPath(dir, entry.name));
                ++added;
            }
        } catch (const QorviError&) {
            // An unreadable or missing directory matches nothing.
        }
    }
    if (added == 0 && !quiet)
        ui.showInformation("File: " + full + " not found.");
    return added;
}

} // namespace qorvi
