#pragma once

// The main window's commands: one table of captions, shortcuts and menus
// from which the window builds its menus, tool bar and shortcuts, the rule
// that enables them, and what each one does. A command marked unwired keeps
// its place in the menus but stays disabled and does nothing.

#include "app/find_replace.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorvi {

class MainShell;
class MainView;
class ShellUi;

enum class Command {
    New,
    Open,
    Close,
    Save,
    SaveAs,
    SaveAll,
    PrinterSetup,
    Print,
    Exit,
    Undo,
    Redo,
    Cut,
    Copy,
    Paste,
    SelectAll,
    GoToLine,
    IndentCode,
    UndentCode,
    SetBookmarks,  // the submenu
    SetBookmark,   // "Mark &k", tag k
    GotoBookmarks, // the submenu
    GotoBookmark,  // "Mark &k", tag k
    Search,
    SearchAgain,
    SearchCurrentWord,
    Replace,
    ShowExplorer,
    SyntaxHighlighting,
    WatchFile,
    ChangeFileType,
    EditRemoteProfiles,
    Settings,
    Cascade,
    TileHorizontally,
    TileVertically,
    MinimizeAll,
    ArrangeAll,
    About,
};

struct CommandInfo {
    Command id;
    int tag = 0; // the bookmark number of "Mark &k"
    const char* caption;
    const char* shortcut; // as QKeySequence reads it ("Ctrl+Shift+S"); "" for none
    const char* menu;     // top menu caption; a submenu item names its submenu command
    bool separatorBefore = false;
    bool needsChild = false; // enabled only while a document window exists
    bool wired = true;       // false: shown disabled, runs nothing
    bool checkable = false;
};

// Every command in menu order.
const std::vector<CommandInfo>& commandTable();
const CommandInfo* findCommand(Command id, int tag = 0);
// The tool bar: New, Open, Save, Save All, Print, |, Undo, Redo, |, Cut,
// Copy, Paste, |, Search, |, Cascade, Tile Horizontally, Tile Vertically. Separators are
// entries with `separator` set.
struct ToolBarEntry {
    Command id;
    bool separator = false;
};
const std::vector<ToolBarEntry>& toolBarLayout();

class MainCommands {
public:
    MainCommands(MainShell& shell, MainView& view, ShellUi& ui);

    // Runs a command; failures are shown, never passed on.
    void run(Command id, int tag = 0);
    bool enabled(Command id, int tag = 0) const;
    // The enabling rule, run whenever the active window changes.
    void updateEnabling();
    // "Sa&ve All" follows the modified documents (recount).
    void setSaveAllEnabled(bool on);
    // The site profile dialog in add mode (the site box's "<< Add new site >>").
    void addRemoteProfile();

private:
    void execute(Command id, int tag);
    void saveAll();
    void watchFile();
    void changeFileType();
    void toggleExplorer();
    void editRemoteProfiles();
    // The print dialog, then the text - or the lines of the selection.
    void print(DocumentEditor& editor);
    void changeSettings();

public:
    FindReplace& findReplace() { return findReplace_; }

    MainShell& shell_;
    MainView& view_;
    ShellUi& ui_;
    // The one find/replace dialog's state, shared by every document window.
    FindReplace findReplace_{ui_};
    bool hasChild_ = false;
    bool saveAllEnabled_ = false;
};

} // namespace qorvi
