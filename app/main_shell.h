#pragma once

// The main window's logic without the window: creation in its fixed order,
// the pending-open list that the command line and hand-overs fill, the
// hand-over handler, the start-up timer, the open-document operation, the
// messages its document windows send it, the document counts in the status
// bar, and the close query.

#include "app/debug_log.h"
#include "app/document_host.h"
#include "app/extension_map.h"
#include "app/local_explorer.h"
#include "app/main_commands.h"
#include "app/parser_bank.h"
#include "app/remote_explorer.h"
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
class TextLoader;
class TypeSelector;

// 1224: the names are in the hand-over block (older senders).
constexpr std::uint32_t kHandoverMessage = WM_USER + 200;
// 1234: the names are the record's text (see handover.h).
constexpr std::uint32_t kHandoverNamesMessage = WM_USER + 210;
constexpr std::uint32_t kDropFilesMessage = 563;          // WM_DROPFILES

struct DriveRecord {
    std::string root;
    std::string lastDirectory;
};

class MainShell : public DocumentHost {
public:
    // Where the parsers keep the languages' styles and key maps.
    static constexpr const char* kParserRegistryKey = "Software\\Varnu\\Qorvi";
    // After the messages about languages whose registry values were damaged.
    static constexpr const char* kMsgStylesKept =
        "These languages keep their built-in colours, fonts and keys until you change them again.";
    static constexpr const char* kMsgInterruptedSave =
        "A save of '%s' was cut off before it finished. The file as it was before that save is kept in '%s'. "
        "Put it back now? (No opens the file as it is and keeps the copy.)";

    struct Environment {
        std::vector<std::string> args; // arguments 1..N
        std::string currentDirectory;
        std::string programDirectory;
    };

    MainShell(MainView& view, ShellUi& ui, TypeSelector& typeSelector, Hive& hive, Environment env);
    ~MainShell() override;

    // The creation sequence.
    void create();
    // The hand-over handler: true when the message was handled. Handed-over
    // names join the pending-open list (a name already waiting there, or
    // being opened, is not added again) and are opened one at a time
    // (openNextPending), never inside the opening of another: a hand-over
    // that arrives while a box asks about a file waits its turn.
    bool filterMessage(const PostedMessage& message);
    // The one-shot start-up timer.
    void startupTimerFired();
    // Asks about each modified document in turn, its window in front,
    // before any window closes: false (the user cancelled) leaves every
    // document open and nothing agreed.
    bool queryCloseDocuments();
    // Writes the window placement; sets the closing flag.
    void closeQuery();

    // Opens every pending entry in order, the entries that hand-overs add
    // meanwhile included.
    void openPendingFiles();
    // Opens the first pending entry and, while entries are left, asks the
    // view to call again from its event loop. Does nothing while another
    // entry is being opened.
    void openNextPending();
    // The open-document operation: the window showing the file, or null
    // when none was opened.
    DocumentWindow* openDocument(const std::string& fileName, bool readOnly, const std::string& displayName);
    // The same for text received from elsewhere (a remote file): `loader`
    // holds its bytes, `name` is what the window is known by and `ext`
    // chooses the parser. Raises, opening nothing, when the text cannot be
    // loaded.
    DocumentWindow* openLoaded(TextLoader& loader, const std::string& name, const std::string& ext);
    // "&New": "Untitled" + (document windows + 1), always a new document.
    DocumentWindow* newDocument();
    // Files dropped on the main window (message 563), in the drop's order.
    void filesDropped(const std::vector<std::string>& names) override;
    // Recount documents: "Sa&ve All" and status panel 1. The windows to
    // leave out are those that are closing, whatever 1225's wParam says.
    void recount();
    // Appends ext=key to the mapping file after asking for the type.
    void registerExtension(const std::string& ext);

    // DocumentHost: messages 1225, 1226 and 1228 from document windows.
    std::intptr_t sendMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::int32_t watchLineCount() const override { return watchLines_; }
    SettingValues& settings() override { return settings_; }
    bool saveRemoteDocument(DocumentWindow& window) override;
    void watchChanged(DocumentWindow& window) override;
    void documentSaved(const std::string& path) override;

    bool debugMode() const { return debugMode_; }
    bool closing() const { return closing_; }
    const std::vector<std::string>& pending() const { return pending_; }
    // Files opened so far, in order.
    const std::vector<std::string>& openedNames() const { return opened_; }
    ExtensionMap& mapping() { return mapping_; }
    const ParserBank& parsers() const { return parsers_; }
    TypeSelector& typeSelector() { return typeSelector_; }
    MainCommands& commands() { return commands_; }
    LocalExplorer& explorer() { return explorer_; }
    RemoteExplorer& remote() { return remote_; }
    const std::vector<DriveRecord>& drives() const { return drives_; }
    void setDriveLastDirectory(int index, const std::string& directory) {
        if (index >= 0 && index < static_cast<int>(drives_.size()))
            drives_[static_cast<std::size_t>(index)].lastDirectory = directory;
    }
    void setWatchLineCount(int lines) { watchLines_ = lines >= 1 ? lines : 30; }
    int documentCounter() const { return documentCounter_; }
    bool handoverBlockOpen() const { return block_.has_value(); }

protected:
    MainView& view_;
    ShellUi& ui_;
    TypeSelector& typeSelector_;
    SettingValues settings_;
    Environment env_;

private:
    void scanArguments();
    void loadParserStyles();
    void addPending(const std::string& name, bool quiet);
    void addHandedOver(const std::vector<std::string>& names);
    bool openFirstPending();
    void offerInterruptedSave(const std::string& fileName);
    int driveIndexOf(const std::string& path) const;
    DocumentWindow* openWindow(const std::string& fileName, bool readOnly, const std::string& displayName,
                               bool alwaysNew);
    // The window already showing `key` when the user chooses it (`reload`
    // then gives it the text again); `stop` when nothing more is to be opened.
    DocumentWindow* reuseOpenWindow(const std::string& key, const std::function<void(DocumentWindow&)>& reload,
                                    bool& stop);
    DocumentWindow& createWindow(int id, const std::string& fileName);
    // The parser of `ext` (the default extension when empty); read-only
    // when another window shows `key` already.
    void prepareLoading(DocumentWindow& window, std::string ext, const std::string& key);
    // Gives the window its text through `load`, known as `path` after it;
    // a window whose text cannot be loaded goes again, and the failure is
    // raised.
    void loadWindow(DocumentWindow& window, const std::string& path,
                    const std::function<void(DocumentWindow&)>& load);
    // The window's tab, the document count and the commands' enabling.
    DocumentWindow& addTab(DocumentWindow& window, int id, const std::string& caption);

    ExtensionMap mapping_;
    ParserBank parsers_;
    MainCommands commands_;
    LocalExplorer explorer_;
    RemoteExplorer remote_;
    std::vector<std::string> pending_;
    std::vector<std::string> opened_;
    std::vector<DriveRecord> drives_;
    std::optional<HandoverBlock> block_;
    DebugLog log_;
    bool debugMode_ = false;
    bool closing_ = false;
    bool opening_ = false; // a pending entry is being opened
    int documentCounter_ = 0;
    int watchLines_ = 30;
};

} // namespace qorvi
