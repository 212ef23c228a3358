#pragma once

// The shell's settings: string values under the program key. Every value the
// shell keeps is listed once here with its name and default; the typed
// accessors below are the only way the shell reads and writes them.
//
// Reading rule: a value that is missing, empty, of another type or
// unreadable reads as its default; integers are decimal with optional
// leading blanks, anything else reads as the default. Writing rule: a failed
// write is ignored (the setting simply does not stick).

#include <array>
#include <string>

namespace qorvi {

class Hive;
struct WindowPlacement;

// "SOFTWARE\Varnu\Qorvi".
extern const char* const kProgramKey;

// A decimal integer with optional leading blanks and sign; anything else
// (trailing characters, overflow, empty) gives `fallback`.
int parseIntegerOr(const std::string& text, int fallback);

enum class Setting {
    ExtFilePath,
    DefaultExt,
    NumLinesInWatch,
    ShowExplorer,
    ChildMax,
    LastMax,
    LastHeight,
    LastWidth,
    LastLeft,
    LastTop,
    NewDocType,
};

struct SettingInfo {
    Setting id;
    const char* name;         // the registry value's name
    const char* defaultValue; // what a missing or unreadable value reads as
};

// Every setting of the shell, in the order above.
const std::array<SettingInfo, 11>& settingTable();
const SettingInfo& settingInfo(Setting id);

class SettingValues {
public:
    explicit SettingValues(Hive& hive, std::string key = kProgramKey);

    // The reading and writing rules, by name: for the values of a key other
    // than the program key (a site profile's) and for the table below.
    std::string readString(const std::string& name, const std::string& fallback) const;
    int readInteger(const std::string& name, int fallback) const;
    void writeString(const std::string& name, const std::string& value);
    void writeInteger(const std::string& name, int value) { writeString(name, std::to_string(value)); }

    // A setting of the table with its own default.
    std::string read(Setting id) const;
    int readInteger(Setting id) const;
    // "1" is on; anything else, the default included, is off.
    bool readFlag(Setting id) const { return read(id) == "1"; }
    void write(Setting id, const std::string& value);
    void writeInteger(Setting id, int value) { write(id, std::to_string(value)); }
    void writeFlag(Setting id, bool on) { write(id, on ? "1" : "0"); }

    // Full path of the extension mapping file; empty: create the default one.
    std::string extFilePath() const { return read(Setting::ExtFilePath); }
    void setExtFilePath(const std::string& path) { write(Setting::ExtFilePath, path); }
    // The extension assumed for a file name without one.
    std::string defaultExt() const { return read(Setting::DefaultExt); }
    void setDefaultExt(const std::string& ext) { write(Setting::DefaultExt, ext); }
    // Lines kept in watch mode; a count below 1 reads as the default 30.
    int numLinesInWatch() const;
    void setNumLinesInWatch(int lines) { writeInteger(Setting::NumLinesInWatch, lines); }
    bool showExplorer() const { return readFlag(Setting::ShowExplorer); }
    void setShowExplorer(bool shown) { writeFlag(Setting::ShowExplorer, shown); }
    // The only document window opens maximised.
    bool childMax() const { return readFlag(Setting::ChildMax); }
    void setChildMax(bool maximised) { writeFlag(Setting::ChildMax, maximised); }
    // The main window's placement: maximised, or the four bounds (0 leaves
    // a bound to the window system). Maximised writes only "LastMax".
    WindowPlacement lastPlacement() const;
    void setLastPlacement(const WindowPlacement& placement);
    // The type list index chosen last in the type selection dialog.
    int newDocType() const { return readInteger(Setting::NewDocType); }
    void setNewDocType(int index) { writeInteger(Setting::NewDocType, index); }

    Hive& hive() const { return hive_; }
    const std::string& key() const { return key_; }

private:
    Hive& hive_;
    std::string key_;
};

} // namespace qorvi
