#include "app/mapping_file.h"

#include "app/document_types.h"
#include "app/extension_map.h"
#include "app/setting_values.h"
#include "app/type_selection.h"
#include "platform/file_system.h"
#include "platform/qorvi_error.h"
#include "platform/shell_ui.h"

namespace qorvi {

MappingFile::MappingFile(ExtensionMap& map, SettingValues& settings, ShellUi& ui, std::string programDirectory)
    : map_(map), settings_(settings), ui_(ui), programDirectory_(std::move(programDirectory)) {}

std::string MappingFile::createDefault() {
    std::string path = fs::joinPath(programDirectory_, "Qorvi.dat");
    ExtensionMap defaults;
    defaults.setLines(ExtensionMap::defaultLines());
    bool write = true;
    if (fs::exists(path)) {
        ExtensionMap existing;
        bool same = existing.load(path) && existing.lines() == defaults.lines();
        if (same)
            write = false;
        else
            write = ui_.confirm("The extension mapping file " + path +
                                " already exists and holds your own entries. Replace it with the default table?");
    }
    if (write) {
        try {
            defaults.save(path);
        } catch (const QorviError& e) {
            ui_.showError(e.message());
        }
    }
    settings_.setExtFilePath(path);
    return path;
}

void MappingFile::load(const std::string& path) {
    if (fs::isFile(path) && map_.load(path))
        return;
    if (ui_.confirm("Extension mapping file, " + path + ", not found. Would you like to create it?")) {
        std::string created = createDefault();
        if (!map_.load(created))
            map_.clear();
    } else {
        map_.clear();
    }
}

void MappingFile::locateAndLoad() {
    std::string path = settings_.extFilePath();
    if (path.empty())
        path = createDefault();
    load(path);
}

void MappingFile::registerExtension(const std::string& ext, TypeSelector& selector) {
    int number = selector.selectType("Select file format");
    map_.append(ext + "=" + TypeKeyForNumber(number));
    std::string path = settings_.extFilePath();
    if (path.empty()) {
        ui_.showInformation("Could not find extension mapping file");
        path = fs::joinPath(fs::currentDirectory(), "Qorvi.dat");
    }
    try {
        map_.save(path);
    } catch (const QorviError& e) {
        ui_.showError(e.message());
    }
}

} // namespace qorvi
