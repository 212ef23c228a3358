#pragma once

// Where the extension mapping file lives and how it comes to exist: its path
// is the "ExtFilePath" setting; the default file is "Qorvi.dat" in the
// program's directory, written with the 27 default lines.

#include <string>

namespace qorvi {

class ExtensionMap;
class SettingValues;
class ShellUi;
class TypeSelector;

class MappingFile {
public:
    MappingFile(ExtensionMap& map, SettingValues& settings, ShellUi& ui, std::string programDirectory);

    // Writes the default table to <program directory>/Qorvi.dat and stores
    // that path in "ExtFilePath". A file already there that differs from the
    // default table is the user's: it is replaced only when the user agrees.
    // Returns the path.
    std::string createDefault();

    // Start-up: locate (creating the default file when "ExtFilePath" is
    // empty) and load; a missing file is offered to be created.
    void locateAndLoad();

    // Asks for a type ("Select file format") and appends ext=key to the
    // mapping list, then writes the list to "ExtFilePath".
    void registerExtension(const std::string& ext, TypeSelector& selector);

private:
    void load(const std::string& path);

    ExtensionMap& map_;
    SettingValues& settings_;
    ShellUi& ui_;
    std::string programDirectory_;
};

} // namespace qorvi
