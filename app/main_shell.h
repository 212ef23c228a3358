#pragma once

// The main window's logic without the window: creation in its fixed order,
// the pending-open list that the command line and hand-overs fill, the
// hand-over handler, the start-up timer and the close query.

#include "app/debug_log.h"
#include "app/extension_map.h"
#include "app/parser_bank.h"
#include "app/setting_values.h"
#include "platform/handover_block.h"
#include "platform/instance_channel.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

class Hive;
class MainView;
class ShellUi;
class TypeSelector;

constexpr std::uint32_t kHandoverMessage = WM_USER + 200; // 1224

struct DriveRecord {
    std::string root;
    std::string lastDirectory;
};

class MainShell {
public:
    struct Environment {
        std::vector<std::string> args; // arguments 1..N
        std::string currentDirectory;
        std::string programDirectory;
    };

    MainShell(MainView& view, ShellUi& ui, TypeSelector& typeSelector, Hive& hive, Environment env);
    virtual ~MainShell() = default;

    // The creation sequence.
    void create();
    // The hand-over handler: true when the message was handled.
    bool filterMessage(const PostedMessage& message);
    // The one-shot start-up timer.
    void startupTimerFired();
    // Writes the window placement; sets the closing flag.
    void closeQuery();

    // Opens every pending entry in order (through a copy, since opening may
    // let a hand-over refill the list).
    void openPendingFiles();
    // The open-document operation.
    virtual void openDocument(const std::string& fileName, bool readOnly, const std::string& displayName);

    bool debugMode() const { return debugMode_; }
    bool closing() const { return closing_; }
    const std::vector<std::string>& pending() const { return pending_; }
    const std::vector<std::string>& openedNames() const { return opened_; }
    ExtensionMap& mapping() { return mapping_; }
    const ParserBank& parsers() const { return parsers_; }
    SettingValues& settings() { return settings_; }
    const std::vector<DriveRecord>& drives() const { return drives_; }
    void setDriveLastDirectory(int index, const std::string& directory) {
        if (index >= 0 && index < static_cast<int>(drives_.size()))
            drives_[static_cast<std::size_t>(index)].lastDirectory = directory;
    }
    int watchLineCount() const { return watchLines_; }
    bool handoverBlockOpen() const { return block_.has_value(); }

protected:
    MainView& view_;
    ShellUi& ui_;
    TypeSelector& typeSelector_;
    SettingValues settings_;
    Environment env_;

private:
    void scanArguments();
    void addPending(const std::string& name, bool quiet);
    int driveIndexOf(const std::string& path) const;

    ExtensionMap mapping_;
    ParserBank parsers_;
    std::vector<std::string> pending_;
    std::vector<std::string> opened_;
    std::vector<DriveRecord> drives_;
    std::optional<HandoverBlock> block_;
    DebugLog log_;
    bool debugMode_ = false;
    bool closing_ = false;
    int documentCounter_ = 0;
    int watchLines_ = 30;
};

} // namespace qorvi
