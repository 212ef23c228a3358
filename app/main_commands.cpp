#include "app/main_commands.h"

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/ftp_login_dialog.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/settings_dialog.h"
#include "app/type_selection.h"
#include "editor/control/rudivo_voru.h"
#include "platform/clock.h"
#include "platform/shell_ui.h"

#include <exception>

namespace qorvi {

namespace {

std::vector<CommandInfo> buildTable() {
    using C = Command;
    std::vector<CommandInfo> t = {
        {C::New, 0, "&New", "Ctrl+N", "&File", false, false, true},
        {C::Open, 0, "&Open", "Ctrl+O", "&File", false, false, true},
        {C::Close, 0, "&Close", "", "&File"},
        {C::Save, 0, "&Save", "Ctrl+S", "&File", true, true, true},
        {C::SaveAs, 0, "Save &As...", "", "&File", false, true},
        {C::SaveAll, 0, "Sa&ve All", "Ctrl+Shift+S", "&File", false, true, true},
        {C::PrinterSetup, 0, "Printer Se&tup", "", "&File", true, false, true},
        {C::Print, 0, "&Print", "Ctrl+P", "&File", false, true, true},
        {C::Exit, 0, "E&xit", "", "&File", true},
        {C::Undo, 0, "&Undo", "Ctrl+Z", "&Edit", false, true, true},
        {C::Redo, 0, "&Redo", "Ctrl+Y", "&Edit", false, true, true},
        {C::Cut, 0, "Cu&t", "Ctrl+X", "&Edit", true, true, true},
        {C::Copy, 0, "&Copy", "Ctrl+C", "&Edit", false, true, true},
        {C::Paste, 0, "&Paste", "Ctrl+V", "&Edit", false, true, true},
        {C::SelectAll, 0, "Select All", "Ctrl+A", "&Edit", false, true},
        {C::GoToLine, 0, "Go To Line...", "Ctrl+G", "&Edit", true},
        {C::IndentCode, 0, "&Indent Code", "Ctrl+Shift+I", "&Edit", true, true},
        {C::UndentCode, 0, "&Undent Code", "Ctrl+Shift+U", "&Edit", false, true},
        {C::SetBookmarks, 0, "Set &Bookmarks", "", "&Edit", true, true},
        {C::GotoBookmarks, 0, "&Goto Bookmarks", "", "&Edit", false, true},
        {C::Search, 0, "&Search...", "Ctrl+F", "&Search", false, true, true},
        {C::SearchAgain, 0, "Search &Again", "F3", "&Search", false, true, true},
        {C::SearchCurrentWord, 0, "Search Current Word", "Shift+F3", "&Search", false, true, true},
        {C::Replace, 0, "&Replace...", "Ctrl+R", "&Search", false, true, true},
        {C::ShowExplorer, 0, "&Show Explorer", "", "&View", false, false, true, true},
        {C::SyntaxHighlighting, 0, "Syntax &Highlighting...", "", "&View", true, true, true},
        {C::ChangeFileType, 0, "&Change File Type...", "", "&View", false, true},
        {C::WatchFile, 0, "&Watch File", "", "&View", false, false, true, true},
        {C::EditRemoteProfiles, 0, "&Edit Remote Profiles...", "", "&Tools", false, false, true},
        {C::Settings, 0, "Settings...", "", "&Tools", false, false, true},
        {C::Cascade, 0, "&Cascade", "", "&Window", false, false, true},
        {C::TileHorizontally, 0, "Tile &Horizontally", "", "&Window", false, false, true},
        {C::TileVertically, 0, "Tile &Vertically", "", "&Window", false, false, true},
        {C::MinimizeAll, 0, "&Minimize All", "", "&Window"},
        {C::ArrangeAll, 0, "&Arrange All", "", "&Window"},
        {C::About, 0, "&About...", "", "&Help"},
    };
    // "Mark &1" ... "Mark &9", "Mark &0" in both bookmark submenus.
    static const char* const kMarks[] = {"Mark &0", "Mark &1", "Mark &2", "Mark &3", "Mark &4",
                                         "Mark &5", "Mark &6", "Mark &7", "Mark &8", "Mark &9"};
    static const char* const kSetKeys[] = {"Ctrl+Shift+0", "Ctrl+Shift+1", "Ctrl+Shift+2", "Ctrl+Shift+3",
                                           "Ctrl+Shift+4", "Ctrl+Shift+5", "Ctrl+Shift+6", "Ctrl+Shift+7",
                                           "Ctrl+Shift+8", "Ctrl+Shift+9"};
    static const char* const kGotoKeys[] = {"Ctrl+0", "Ctrl+1", "Ctrl+2", "Ctrl+3", "Ctrl+4",
                                            "Ctrl+5", "Ctrl+6", "Ctrl+7", "Ctrl+8", "Ctrl+9"};
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 1; i <= 10; ++i) {
            const int k = i % 10;
            CommandInfo item{pass == 0 ? C::SetBookmark : C::GotoBookmark,
                             k,
                             kMarks[k],
                             pass == 0 ? kSetKeys[k] : kGotoKeys[k],
                             pass == 0 ? "Set &Bookmarks" : "&Goto Bookmarks",
                             false,
                             true};
            item.checkable = pass == 0;
            t.push_back(item);
        }
    }
    return t;
}

} // namespace

const std::vector<CommandInfo>& commandTable() {
    static const std::vector<CommandInfo> table = buildTable();
    return table;
}

const CommandInfo* findCommand(Command id, int tag) {
    for (const auto& c : commandTable())
        if (c.id == id && c.tag == tag)
            return &c;
    return nullptr;
}

const std::vector<ToolBarEntry>& toolBarLayout() {
    using C = Command;
    static const std::vector<ToolBarEntry> layout = {
        {C::New},
        {C::Open},
        {C::Save},
        {C::SaveAll},
        {C::Print},
        {C::New, true},
        {C::Undo},
        {C::Redo},
        {C::New, true},
        {C::Cut},
        {C::Copy},
        {C::Paste},
        {C::New, true},
        {C::Search},
        {C::New, true},
        {C::Cascade},
        {C::TileHorizontally},
        {C::TileVertically},
    };
    return layout;
}

MainCommands::MainCommands(MainShell& shell, MainView& view, ShellUi& ui)
    : shell_(shell), view_(view), ui_(ui) {
}

bool MainCommands::enabled(Command id, int tag) const {
    const CommandInfo* info = findCommand(id, tag);
    if (!info || !info->wired)
        return false;
    if (id == Command::SaveAll)
        return saveAllEnabled_;
    return !info->needsChild || hasChild_;
}

void MainCommands::setSaveAllEnabled(bool on) {
    saveAllEnabled_ = on;
    view_.setCommandEnabled(Command::SaveAll, 0, enabled(Command::SaveAll));
}

void MainCommands::updateEnabling() {
    if (shell_.closing())
        return;
    try {
        hasChild_ = false;
        for (DocumentWindow* window : view_.documentWindows())
            hasChild_ = hasChild_ || !window->closing();
        for (const auto& c : commandTable())
            view_.setCommandEnabled(c.id, c.tag, enabled(c.id, c.tag));
        DocumentWindow* child = view_.activeDocument();
        view_.setCommandChecked(Command::WatchFile, 0, child && child->watch().watching());
    } catch (const std::exception&) {
        // The enabling handler never stops anything.
    }
}

void MainCommands::run(Command id, int tag) {
    try {
        execute(id, tag);
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

void MainCommands::execute(Command id, int tag) {
    DocumentWindow* child = view_.activeDocument();
    switch (id) {
    case Command::New:
        shell_.newDocument();
        break;
    case Command::Open: {
        FileDialogOptions options;
        options.initialDirectory = view_.localPath();
        if (auto chosen = ui_.openFileDialog(options))
            shell_.openDocument(*chosen, false, "");
        break;
    }
    case Command::Close:
        view_.closeActiveDocument();
        break;
    case Command::Save:
        if (!child)
            break;
        child->setSaveDirectory(view_.localPath());
        child->save();
        break;
    case Command::SaveAs:
        if (!child)
            break;
        child->setSaveDirectory(view_.localPath());
        child->saveAs();
        break;
    case Command::SaveAll:
        saveAll();
        break;
    case Command::Exit:
        view_.closeWindow();
        break;
    case Command::Undo:
        if (child)
            child->undo();
        break;
    case Command::Redo:
        if (child)
            child->redo();
        break;
    case Command::Cut:
        if (child)
            child->cut();
        break;
    case Command::Copy:
        if (child)
            child->copy();
        break;
    case Command::Paste:
        if (child)
            child->paste();
        break;
    case Command::Search:
    case Command::Replace:
        if (child) {
            findReplace_.attach(&child->editor());
            view_.showFindDialog(findReplace_, id == Command::Replace);
        }
        break;
    case Command::SearchAgain:
        if (child)
            findReplace_.searchAgain(child->editor());
        break;
    case Command::SearchCurrentWord:
        if (child)
            findReplace_.searchCurrentWord(child->editor());
        break;
    case Command::SelectAll:
        if (child)
            child->selectAll();
        break;
    case Command::GoToLine:
        if (child)
            child->goToLine(0);
        break;
    case Command::IndentCode:
        if (child)
            child->indent();
        break;
    case Command::UndentCode:
        if (child)
            child->undent();
        break;
    case Command::SetBookmark:
        if (child) {
            child->setBookmark(tag);
            view_.setCommandChecked(id, tag, !view_.commandChecked(id, tag));
        }
        break;
    case Command::GotoBookmark:
        if (child)
            child->jumpToBookmark(tag);
        break;
    case Command::SyntaxHighlighting:
        // The parser saves its styles when the dialog was accepted.
        if (child)
            child->editor().modifyParserProperties(ppOPTIONS | ppHIGHLIGHTING);
        break;
    case Command::ShowExplorer:
        toggleExplorer();
        break;
    case Command::WatchFile:
        watchFile();
        break;
    case Command::ChangeFileType:
        changeFileType();
        break;
    case Command::EditRemoteProfiles:
        editRemoteProfiles();
        break;
    case Command::PrinterSetup:
        view_.showPrinterSetup();
        break;
    case Command::Print:
        if (child)
            print(child->editor());
        break;
    case Command::Settings:
        changeSettings();
        break;
    case Command::Cascade:
        view_.arrangeDocuments(Arrangement::Cascade);
        break;
    case Command::TileHorizontally:
        view_.arrangeDocuments(Arrangement::TileHorizontally);
        break;
    case Command::TileVertically:
        view_.arrangeDocuments(Arrangement::TileVertically);
        break;
    case Command::MinimizeAll:
        view_.arrangeDocuments(Arrangement::MinimizeAll);
        break;
    case Command::ArrangeAll:
        view_.arrangeDocuments(Arrangement::ArrangeAll);
        break;
    case Command::About:
        view_.showAbout();
        break;
    default:
        // Unwired commands are disabled and do nothing.
        break;
    }
}

void MainCommands::saveAll() {
    const std::string directory = view_.localPath();
    for (DocumentWindow* window : view_.documentWindows()) {
        if (window->closing() || !window->editor().modified())
            continue;
        window->setSaveDirectory(directory);
        window->save();
    }
    shell_.recount();
}

void MainCommands::watchFile() {
    DocumentWindow* child = view_.activeDocument();
    if (!child)
        return;
    const bool on = child->setWatch(!view_.commandChecked(Command::WatchFile, 0));
    view_.setCommandChecked(Command::WatchFile, 0, on);
}

void MainCommands::changeFileType() {
    DocumentWindow* child = view_.activeDocument();
    if (!child)
        return;
    const int number = shell_.typeSelector().selectType("Select a new type");
    child->setParser(shell_.parsers().parserForNumber(number));
}

void MainCommands::print(DocumentEditor& editor) {
    PrinterPort* printer = view_.choosePrinter();
    if (!printer)
        return;
    ui_.setBusy(true);
    try {
        editor.print(*printer);
    } catch (const std::exception& e) {
        ui_.setBusy(false);
        ui_.showError(e.what());
        return;
    }
    ui_.setBusy(false);
}

void MainCommands::editRemoteProfiles() {
    SiteProfiles profiles(shell_.settings().hive(), SystemClock::instance());
    FtpLoginDialog dialog(FtpLoginDialog::Mode::Edit, profiles, ui_);
    view_.showProfileDialog(dialog);
}

void MainCommands::addRemoteProfile() {
    SiteProfiles profiles(shell_.settings().hive(), SystemClock::instance());
    FtpLoginDialog dialog(FtpLoginDialog::Mode::Add, profiles, ui_);
    view_.showProfileDialog(dialog);
}

void MainCommands::changeSettings() {
    SettingValues& settings = shell_.settings();
    const int current = shell_.parsers().parserForExtension(shell_.mapping(), settings.defaultExt()).Tag;
    SettingsDialog dialog(settings, current);
    if (!view_.showSettingsDialog(dialog))
        return;
    dialog.accept();
    // Open documents in watch mode show the new count at their next look.
    shell_.setWatchLineCount(settings.numLinesInWatch());
}

void MainCommands::toggleExplorer() {
    const bool show = !view_.explorerVisible();
    view_.setExplorerVisible(show);
    view_.setCommandChecked(Command::ShowExplorer, 0, show);
    shell_.settings().setShowExplorer(show);
}

} // namespace qorvi
