// The main window's logic with its document windows: opening (a file that is
// open already, read-only copies, new documents), the tab strip, the counts
// in the status bar, drops, and the commands with their enabling.

#include "app/document_window.h"
#include "app/main_commands.h"
#include "app/main_shell.h"
#include "editor/support/message_format.h"
#include "platform/file_system.h"
#include "editor/control/printer_port.h"
#include "platform/safe_file_writer.h"
#include "tests/support/recording_canvas.h"
#include "tests/support/main_shell_fixture.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::FakeMainView;
using test::MainShellFixture;

TEST(OpenDocument, AFileOpensInAWindowWithItsParserTextAndTab) {
    MainShellFixture f;
    const std::string path = f.file("main.cpp", "int main() {}\n");
    DocumentWindow* window = f.shell->openDocument(path, false, "");
    ASSERT_NE(window, nullptr);
    auto& child = f.view.child(0);
    EXPECT_EQ(window->documentId(), 1);
    EXPECT_EQ(window->filePath(), path);
    EXPECT_EQ(child.view.captionText, path);
    EXPECT_EQ(child.editor.text(), "int main() {}\r");
    EXPECT_EQ(child.editor.parserName, "prsCPP");
    EXPECT_FALSE(child.editor.modified());
    EXPECT_EQ(f.view.tabs, (std::vector<FakeMainView::Tab>{{"main.cpp", 1}}));
    EXPECT_EQ(f.view.activeTab, 1);
    EXPECT_EQ(f.view.status[1], "Opened files: 1; Modified: 0");
    EXPECT_EQ(f.view.status[2], "");
    EXPECT_EQ(f.ui.busyDepth, 0);
    EXPECT_TRUE(f.selector.titles.empty()) << "an existing file needs no type";
}

TEST(OpenDocument, AFileWithoutExtensionTakesTheDefaultExtensionsParser) {
    MainShellFixture f;
    DocumentWindow* window = f.shell->openDocument(f.file("Makefile"), false, "");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(f.view.child(0).editor.parserName, "prsShell");
    SettingValues(f.hive).writeString("DefaultExt", "txt");
    f.shell->openDocument(f.file("README"), false, "");
    EXPECT_EQ(f.view.child(1).editor.parserName, "prsPlain");
}

TEST(OpenDocument, DoNotOpenASecondCopyOpensNothing) {
    MainShellFixture f;
    const std::string path = f.file("a.txt");
    DocumentWindow* first = f.shell->openDocument(path, false, "");
    f.view.whatToDo = {1};
    EXPECT_EQ(f.shell->openDocument(path, false, ""), nullptr);
    EXPECT_EQ(f.view.whatToDoAsked, 1);
    EXPECT_EQ(f.view.children.size(), 1u);
    EXPECT_EQ(f.view.active, first) << "focus stays where it was";
    EXPECT_EQ(f.shell->documentCounter(), 1);
}

TEST(OpenDocument, AFileWhoseSaveWasCutOffIsOfferedBackFromItsBackup) {
    MainShellFixture f;
    const std::string kept = f.file("kept.txt", "cut o"), restored = f.file("restored.txt", "cut o");
    for (const auto& path : {kept, restored})
        f.file(fs::fileNamePart(SafeFileWriter::backupPathOf(path)), "whole\n");
    f.ui.answers = {MsgResult::No, MsgResult::Yes};
    f.shell->openDocument(kept, false, "");
    f.shell->openDocument(restored, false, "");
    ASSERT_EQ(f.ui.boxes.size(), 2u);
    EXPECT_NE(f.ui.boxes[0].text.find(SafeFileWriter::backupPathOf(kept)), std::string::npos)
        << "the box names the backup: " << f.ui.boxes[0].text;
    EXPECT_EQ(f.view.child(0).editor.text(), "cut o");
    EXPECT_TRUE(SafeFileWriter::interruptedSaveBackup(kept)) << "No keeps the backup";
    EXPECT_EQ(f.view.child(1).editor.text(), "whole\r");
    EXPECT_FALSE(SafeFileWriter::interruptedSaveBackup(restored));
}

TEST(OpenDocument, ASecondWindowIsReadOnly) {
    MainShellFixture f;
    const std::string path = f.file("a.txt");
    f.shell->openDocument(path, false, "");
    f.view.whatToDo = {2};
    DocumentWindow* second = f.shell->openDocument(path, false, "");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->documentId(), 2);
    auto& child = f.view.child(1);
    EXPECT_EQ(child.view.captionText, path + " (Read Only)");
    EXPECT_TRUE(child.editor.readOnly());
    EXPECT_TRUE(child.view.readOnlyChecked);
    EXPECT_FALSE(f.view.child(0).editor.readOnly());
    EXPECT_EQ(f.view.tabCaptions(), (std::vector<std::string>{"a.txt", "a.txt"}));
    EXPECT_EQ(f.view.status[1], "Opened files: 2; Modified: 0");
}

TEST(OpenDocument, ReloadingInTheOpenWindowDiscardsItsChanges) {
    MainShellFixture f;
    const std::string path = f.file("a.txt", "disk\n");
    DocumentWindow* first = f.shell->openDocument(path, false, "");
    auto& child = f.view.child(0);
    child.editor.replaceSelection("typed ");
    first->editorChanged();
    ASSERT_EQ(f.view.status[1], "Opened files: 1; Modified: 1");
    f.view.whatToDo = {3};
    EXPECT_EQ(f.shell->openDocument(path, false, ""), first);
    EXPECT_EQ(child.editor.text(), "disk\r");
    EXPECT_FALSE(child.editor.modified());
    EXPECT_EQ(child.view.panels[1], "");
    EXPECT_EQ(f.view.children.size(), 1u);
    EXPECT_EQ(f.view.status[1], "Opened files: 1; Modified: 0");
}

TEST(OpenDocument, OnlyTheFirstWindowShowingTheFileIsOffered) {
    MainShellFixture f;
    const std::string path = f.file("a.txt");
    f.shell->openDocument(path, false, "");
    f.view.whatToDo = {2, 2};
    f.shell->openDocument(path, false, "");
    f.shell->openDocument(path, false, "");
    EXPECT_EQ(f.view.whatToDoAsked, 2);
    EXPECT_EQ(f.view.child(2).view.captionText, path + " (Read Only) (Read Only)")
        << "one mark for each window showing the file already";
}

TEST(OpenDocument, OpeningReadOnlyMarksTheCaption) {
    MainShellFixture f;
    f.shell->openDocument(f.file("r.txt"), true, "");
    EXPECT_EQ(f.view.child(0).view.captionText, f.work + "/r.txt (Read Only)");
    EXPECT_TRUE(f.view.child(0).editor.readOnly());
}

TEST(OpenDocument, ANameThatIsNoFileMakesANewDocumentOfTheChosenType) {
    MainShellFixture f;
    f.selector.answers = {13};
    DocumentWindow* window = f.shell->openDocument(f.work + "/new.php3", false, "");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(f.selector.titles, std::vector<std::string>{""});
    EXPECT_EQ(window->filePath(), "");
    EXPECT_EQ(f.view.child(0).editor.parserName, "prsPHP");
    EXPECT_EQ(f.view.tabCaptions(), std::vector<std::string>{"new.php3"});
}

TEST(OpenDocument, AnUnreadableNameOpensNoWindow) {
    MainShellFixture f;
    ::mkdir((f.work + "/dir.cpp").c_str(), 0700);
    EXPECT_EQ(f.shell->openDocument(f.work + "/dir.cpp", false, ""), nullptr);
    EXPECT_TRUE(f.view.children.empty());
    EXPECT_TRUE(f.view.tabs.empty());
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_NE(f.ui.boxes[0].text.find("dir.cpp"), std::string::npos);
    EXPECT_EQ(f.view.status[1], "Opened files: 0; Modified: 0");
    EXPECT_EQ(f.view.status[2], "");
    EXPECT_EQ(f.ui.busyDepth, 0);
}

TEST(OpenDocument, ChildMaxMaximisesTheOnlyWindow) {
    MainShellFixture f;
    SettingValues(f.hive).writeString("ChildMax", "1");
    f.shell->openDocument(f.file("a.txt"), false, "");
    f.shell->openDocument(f.file("b.txt"), false, "");
    EXPECT_EQ(f.view.maximisedDocuments, 1);
}

TEST(OpenDocument, ADisplayNameIsTheKeyAndTheTabCaption) {
    MainShellFixture f;
    const std::string temp = f.file("qor1.tmp");
    f.shell->openDocument(temp, false, "index.html");
    EXPECT_EQ(f.view.tabCaptions(), std::vector<std::string>{"index.html"});
    f.view.child(0).window->setRemote("site", "/www", "index.html");
    f.view.whatToDo = {1};
    EXPECT_EQ(f.shell->openDocument(f.file("qor2.tmp"), false, "index.html"), nullptr);
    EXPECT_EQ(f.view.whatToDoAsked, 1);
}

TEST(NewDocument, UntitledNamesFollowTheNumberOfWindows) {
    MainShellFixture f;
    f.shell->commands().run(Command::New);
    f.shell->commands().run(Command::New);
    EXPECT_EQ(f.view.tabCaptions(), (std::vector<std::string>{"Untitled1", "Untitled2"}));
    EXPECT_EQ(f.view.child(0).view.captionText, "Untitled1");
    EXPECT_EQ(f.selector.titles, (std::vector<std::string>{"", ""}));

    ASSERT_TRUE(f.view.closeChild(f.view.child(0).window.get()));
    EXPECT_EQ(f.view.tabCaptions(), std::vector<std::string>{"Untitled2"});
    f.shell->commands().run(Command::New);
    EXPECT_EQ(f.view.tabCaptions(), (std::vector<std::string>{"Untitled2", "Untitled2"}));
    EXPECT_EQ(f.view.child(1).window->documentId(), 3) << "document ids are never reused";
}

TEST(NewDocument, IsNewEvenWhenAFileOfThatNameExists) {
    MainShellFixture f;
    f.file("Untitled1", "someone's file\n");
    f.shell->newDocument();
    EXPECT_EQ(f.view.child(0).editor.text(), "");
    EXPECT_EQ(f.view.child(0).window->filePath(), "");
}

TEST(MainWindow, CountsFollowChangesSavesAndClosing) {
    MainShellFixture f;
    DocumentWindow* a = f.shell->openDocument(f.file("a.txt"), false, "");
    DocumentWindow* b = f.shell->openDocument(f.file("b.txt"), false, "");
    EXPECT_FALSE(f.view.isEnabled(Command::SaveAll));
    f.view.childOf(a)->editor.replaceSelection("x");
    a->editorChanged();
    EXPECT_EQ(f.view.status[1], "Opened files: 2; Modified: 1");
    EXPECT_TRUE(f.view.isEnabled(Command::SaveAll));

    ASSERT_TRUE(a->save());
    EXPECT_EQ(f.view.status[1], "Opened files: 2; Modified: 0");
    EXPECT_FALSE(f.view.isEnabled(Command::SaveAll));

    f.view.childOf(b)->editor.replaceSelection("y");
    b->editorChanged();
    f.ui.answers = {MsgResult::No};
    ASSERT_TRUE(f.view.closeChild(b));
    EXPECT_EQ(f.view.status[1], "Opened files: 1; Modified: 0") << "a closing window no longer counts";
    EXPECT_EQ(f.view.tabCaptions(), std::vector<std::string>{"a.txt"});
}

TEST(MainWindow, ExitAsksAboutEachModifiedDocumentInFrontAndCancelKeepsEveryWindow) {
    MainShellFixture f;
    DocumentWindow* a = f.shell->openDocument(f.file("a.txt"), false, "");
    DocumentWindow* b = f.shell->openDocument(f.file("b.txt"), false, "");
    DocumentWindow* c = f.shell->openDocument(f.file("c.txt"), false, "");
    for (DocumentWindow* w : {a, c}) {
        f.view.childOf(w)->editor.replaceSelection("x");
        w->editorChanged();
    }
    // No for a, Cancel for c: nothing closes, nothing stays agreed.
    f.ui.answers = {MsgResult::No, MsgResult::Cancel};
    EXPECT_FALSE(f.shell->queryCloseDocuments());
    ASSERT_EQ(f.ui.boxes.size(), 2u);
    EXPECT_EQ(f.ui.boxes[0].text, "The file '" + a->filePath() + "' has been modified. Would you like to save it?");
    EXPECT_EQ(f.ui.boxes[1].text, "The file '" + c->filePath() + "' has been modified. Would you like to save it?");
    EXPECT_EQ(f.view.active, c) << "the window asked about is in front";
    EXPECT_EQ(f.view.children.size(), 3u);
    f.ui.answers = {MsgResult::Cancel};
    EXPECT_FALSE(a->closeQuery()) << "the No was withdrawn with the Cancel";
    // Yes saves, No discards; then every window closes without asking again.
    f.ui.answers = {MsgResult::Yes, MsgResult::No};
    EXPECT_TRUE(f.shell->queryCloseDocuments());
    EXPECT_EQ(fs::readFile(a->filePath()).value(), "xtext\n");
    const std::size_t asked = f.ui.boxes.size();
    for (DocumentWindow* w : {a, b, c})
        EXPECT_TRUE(f.view.closeChild(w));
    EXPECT_EQ(f.ui.boxes.size(), asked);
    EXPECT_EQ(fs::readFile(f.work + "/c.txt").value(), "text\n");
}

TEST(MainWindow, ActivatingAWindowSelectsItsTab) {
    MainShellFixture f;
    DocumentWindow* a = f.shell->openDocument(f.file("a.txt"), false, "");
    f.shell->openDocument(f.file("b.txt"), false, "");
    ASSERT_EQ(f.view.activeTab, 2);
    f.view.activate(a);
    EXPECT_EQ(f.view.activeTab, 1);
}

TEST(MainWindow, SavingUnderANewNameRenamesTheTab) {
    MainShellFixture f;
    f.shell->newDocument();
    f.ui.files.push_back(f.work + "/saved.sql");
    ASSERT_TRUE(f.view.child(0).window->save());
    EXPECT_EQ(f.view.tabCaptions(), std::vector<std::string>{"saved.sql"});
}

TEST(MainWindow, DroppedFilesOpenInTheOrderOfTheDrop) {
    MainShellFixture f;
    // A name past the 255 characters the drop message once held is taken whole.
    const std::string deep = std::string(200, 'd');
    ::mkdir((f.work + "/" + deep).c_str(), 0700);
    std::vector<std::string> names = {f.file("c.txt"), f.file("a b.txt"),
                                      f.file(deep + "/" + std::string(100, 'n'))};
    ASSERT_GT(names[2].size(), 300u);
    f.shell->filesDropped(names);
    ASSERT_EQ(f.view.children.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(f.view.child(i).window->filePath(), names[static_cast<std::size_t>(i)]);
}

TEST(MainWindow, DocumentCommandsNeedADocumentWindow) {
    MainShellFixture f;
    for (Command c : {Command::Save, Command::SaveAs, Command::Cut, Command::Copy, Command::Paste,
                      Command::SelectAll, Command::IndentCode, Command::UndentCode, Command::SetBookmarks,
                      Command::GotoBookmarks, Command::ChangeFileType})
        EXPECT_FALSE(f.view.isEnabled(c)) << findCommand(c)->caption;
    EXPECT_TRUE(f.view.isEnabled(Command::New));
    EXPECT_TRUE(f.view.isEnabled(Command::Open));

    f.shell->commands().run(Command::New);
    for (Command c : {Command::Save, Command::SaveAs, Command::Cut, Command::Copy, Command::Paste,
                      Command::SelectAll, Command::IndentCode, Command::UndentCode, Command::SetBookmarks,
                      Command::GotoBookmarks, Command::ChangeFileType, Command::Search, Command::SearchAgain,
                      Command::SearchCurrentWord, Command::Replace, Command::SyntaxHighlighting})
        EXPECT_TRUE(f.view.isEnabled(c)) << findCommand(c)->caption;
    EXPECT_TRUE(f.view.isEnabled(Command::SetBookmark, 7));
    EXPECT_TRUE(f.view.isEnabled(Command::Print));
    EXPECT_TRUE(f.view.isEnabled(Command::PrinterSetup));
}

TEST(MainWindow, PrintAsksForThePrinterAndPrintsTheActiveDocument) {
    MainShellFixture f;
    DocumentWindow* w = f.shell->openDocument(f.file("a.txt", "a\n"), false, "");
    test::FakeDocumentEditor& editor = f.view.childOf(w)->editor;
    f.shell->commands().run(Command::Print);
    EXPECT_EQ(editor.printed, 0) << "the print dialog was cancelled";
    struct NoPrinter : PrinterPort {
        RecordingCanvas canvas;
        Canvas& beginDocument(const std::string&) override { return canvas; }
        void newPage() override {}
        void endDocument() override {}
        CanvasRect pageRect() const override { return {0, 0, 100, 100}; }
    } printer;
    f.view.printerChosen = &printer;
    f.shell->commands().run(Command::Print);
    EXPECT_EQ(editor.printed, 1);
    EXPECT_EQ(f.ui.busyDepth, 0);
}

TEST(MainWindow, SaveAllSavesEveryModifiedDocumentAndUploadsRemoteOnes) {
    MainShellFixture f;
    DocumentWindow* a = f.shell->openDocument(f.file("a.txt", "a\n"), false, "");
    f.shell->openDocument(f.file("b.txt", "b\n"), false, "");
    DocumentWindow* r = f.shell->openDocument(f.file("qor.tmp", "r\n"), false, "r.txt");
    r->setRemote("site", "/", "r.txt");
    for (DocumentWindow* w : {a, r}) {
        f.view.childOf(w)->editor.replaceSelection("+");
        w->editorChanged();
    }
    f.shell->commands().run(Command::SaveAll);
    EXPECT_EQ(fs::readFile(f.work + "/a.txt").value(), "+a\n");
    EXPECT_EQ(fs::readFile(f.work + "/b.txt").value(), "b\n");
    // The remote document goes to remote save: its site has no profile
    // here, so it stays modified and is never written under its bare name.
    EXPECT_FALSE(fs::exists(f.work + "/r.txt"));
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{formatMsg(RemoteExplorer::kMsgCannotConnect, "site",
                                                               RemoteExplorer::kMsgNoHostName)});
    EXPECT_TRUE(r->editor().modified());
    EXPECT_EQ(f.view.status[1], "Opened files: 3; Modified: 1");
}

TEST(MainWindow, SaveStartsTheDialogInTheExplorersDirectory) {
    MainShellFixture f;
    f.shell->startupTimerFired();
    f.shell->commands().run(Command::New);
    f.ui.files.push_back(std::nullopt);
    f.shell->commands().run(Command::Save);
    ASSERT_EQ(f.ui.dialogs.size(), 1u);
    EXPECT_EQ(f.ui.dialogs[0].initialDirectory, f.work + "/");
    f.ui.files.push_back(f.file("picked.txt"));
    f.shell->commands().run(Command::Open);
    EXPECT_EQ(f.ui.dialogs[1].initialDirectory, f.work + "/");
    EXPECT_EQ(f.view.child(1).window->filePath(), f.work + "/picked.txt");
}

TEST(MainWindow, TheExplorerShowsAFileOnceItIsSavedAndAnExtensionOnceRegistered) {
    MainShellFixture f;
    f.shell->startupTimerFired();
    auto listed = [&](const std::string& name) {
        return std::any_of(f.view.items.begin(), f.view.items.end(),
                           [&](const std::string& item) { return item.find(name) != std::string::npos; });
    };
    f.shell->commands().run(Command::New);
    f.ui.files.push_back(f.work + "/fresh.xyz");
    f.shell->commands().run(Command::Save);
    EXPECT_TRUE(listed("fresh.xyz")) << "Save of a new file";
    f.ui.files.push_back(f.work + "/other.xyz");
    f.shell->commands().run(Command::SaveAs);
    EXPECT_TRUE(listed("other.xyz")) << "Save As";
    const std::size_t listings = f.view.labels.size();
    f.selector.answers = {4};
    f.shell->registerExtension("xyz");
    EXPECT_GT(f.view.labels.size(), listings) << "registering an extension lists again (its icons change)";
}

TEST(MainWindow, ChangeFileTypeSwitchesTheActiveDocumentsParser) {
    MainShellFixture f;
    f.shell->openDocument(f.file("x.txt"), false, "");
    f.selector.answers = {4};
    f.shell->commands().run(Command::ChangeFileType);
    EXPECT_EQ(f.selector.titles.back(), "Select a new type");
    EXPECT_EQ(f.view.child(0).editor.parserName, "prsSQL");
}

TEST(MainWindow, WatchFileCommandChecksWithTheResult) {
    MainShellFixture f;
    f.shell->openDocument(f.file("log.txt"), false, "");
    f.shell->commands().run(Command::WatchFile);
    EXPECT_TRUE(f.view.commandChecked(Command::WatchFile, 0));
    EXPECT_TRUE(f.view.child(0).window->watch().watching());
    f.shell->commands().run(Command::WatchFile);
    EXPECT_FALSE(f.view.commandChecked(Command::WatchFile, 0));
    EXPECT_FALSE(f.view.child(0).window->watch().watching());

    // The document's own "Watch File" moves the main window's check mark too.
    f.view.child(0).window->setWatch(true);
    EXPECT_TRUE(f.view.commandChecked(Command::WatchFile, 0));
    f.view.child(0).window->setWatch(false);
    EXPECT_FALSE(f.view.commandChecked(Command::WatchFile, 0));
}

TEST(MainWindow, ShowExplorerTogglesAndPersists) {
    MainShellFixture f;
    ASSERT_TRUE(f.view.explorer);
    f.shell->commands().run(Command::ShowExplorer);
    EXPECT_FALSE(f.view.explorer);
    EXPECT_FALSE(f.view.commandChecked(Command::ShowExplorer, 0));
    EXPECT_EQ(SettingValues(f.hive).readString("ShowExplorer", "?"), "0");
    f.shell->commands().run(Command::ShowExplorer);
    EXPECT_EQ(SettingValues(f.hive).readString("ShowExplorer", "?"), "1");
}

TEST(MainWindow, BookmarkCommandsActOnTheActiveDocument) {
    MainShellFixture f;
    f.shell->openDocument(f.file("a.txt", "1\n2\n3\n"), false, "");
    auto& editor = f.view.child(0).editor;
    editor.setSelection(2, 2);
    f.shell->commands().run(Command::SetBookmark, 4);
    EXPECT_EQ(editor.bookmarks.at(4), 2);
    EXPECT_TRUE(f.view.commandChecked(Command::SetBookmark, 4));
    editor.setSelection(0, 0);
    f.shell->commands().run(Command::GotoBookmark, 4);
    EXPECT_EQ(editor.selection().second, 2);
}

TEST(CommandTable, CaptionsAndShortcutsAreTheProgramsOwn) {
    EXPECT_STREQ(findCommand(Command::SaveAll)->caption, "Sa&ve All");
    EXPECT_STREQ(findCommand(Command::SaveAll)->shortcut, "Ctrl+Shift+S");
    EXPECT_STREQ(findCommand(Command::SearchCurrentWord)->shortcut, "Shift+F3");
    EXPECT_STREQ(findCommand(Command::SetBookmark, 0)->caption, "Mark &0");
    EXPECT_STREQ(findCommand(Command::SetBookmark, 0)->shortcut, "Ctrl+Shift+0");
    EXPECT_STREQ(findCommand(Command::GotoBookmark, 9)->shortcut, "Ctrl+9");
    int marks = 0;
    for (const auto& c : commandTable())
        marks += c.id == Command::SetBookmark || c.id == Command::GotoBookmark;
    EXPECT_EQ(marks, 20);
    std::vector<Command> bar;
    for (const auto& e : toolBarLayout())
        if (!e.separator)
            bar.push_back(e.id);
    EXPECT_EQ(bar, (std::vector<Command>{Command::New, Command::Open, Command::Save, Command::SaveAll,
                                         Command::Print, Command::Undo, Command::Redo, Command::Cut,
                                         Command::Copy, Command::Paste,
                                         Command::Search, Command::Cascade, Command::TileHorizontally,
                                         Command::TileVertically}));
}

} // namespace
} // namespace qorvi

namespace qorvi {
namespace {

TEST(MainWindow, EditCommandsActOnTheActiveDocument) {
    test::MainShellFixture f;
    f.shell->openDocument(f.file("a.txt", "alpha beta\n"), false, "");
    auto& editor = f.view.child(0).editor;
    auto& commands = f.shell->commands();
    EXPECT_STREQ(findCommand(Command::Undo)->shortcut, "Ctrl+Z");
    EXPECT_STREQ(findCommand(Command::Redo)->shortcut, "Ctrl+Y");
    editor.replaceSelection("x");
    commands.run(Command::Undo);
    EXPECT_EQ(editor.text(), "alpha beta\r");
    commands.run(Command::Redo);
    EXPECT_EQ(editor.redos, 1);
    editor.setSelection(0, 5);
    commands.run(Command::Copy);
    EXPECT_EQ(test::FakeDocumentEditor::clipboard, "alpha");
    commands.run(Command::Cut);
    EXPECT_EQ(editor.text(), " beta\r");
    editor.setSelection(5, 5);
    commands.run(Command::Paste);
    EXPECT_EQ(editor.text(), " betaalpha\r");
    commands.run(Command::SelectAll);
    EXPECT_EQ(editor.selection(), (std::pair{0, editor.textLength()}));
    commands.run(Command::IndentCode);
    commands.run(Command::UndentCode);
    commands.run(Command::UndentCode);
    EXPECT_EQ(editor.indents, 1);
    EXPECT_EQ(editor.undents, 2);
    f.ui.inputs = {std::string("2")};
    commands.run(Command::GoToLine);
    EXPECT_EQ(editor.selection().second, editor.lineStart(1));
}

TEST(MainWindow, CommandsWithoutADocumentDoNothing) {
    test::MainShellFixture f;
    for (Command c : {Command::Save, Command::SaveAs, Command::Cut, Command::Copy, Command::Paste,
                      Command::SelectAll, Command::GoToLine, Command::IndentCode, Command::UndentCode,
                      Command::WatchFile, Command::ChangeFileType, Command::Print, Command::Search})
        f.shell->commands().run(c);
    f.shell->commands().run(Command::GotoBookmark, 3);
    f.shell->commands().run(Command::SetBookmark, 3);
    EXPECT_TRUE(f.ui.boxes.empty());
    EXPECT_TRUE(f.ui.dialogs.empty());
    EXPECT_TRUE(f.view.children.empty());
    EXPECT_FALSE(f.view.commandChecked(Command::SetBookmark, 3));
}

TEST(MainWindow, WindowCommandsGoToTheWindow) {
    test::MainShellFixture f;
    auto& commands = f.shell->commands();
    for (Command c : {Command::Cascade, Command::TileHorizontally, Command::TileVertically,
                      Command::MinimizeAll, Command::ArrangeAll})
        commands.run(c);
    EXPECT_EQ(f.view.arranged, (std::vector<Arrangement>{Arrangement::Cascade, Arrangement::TileHorizontally,
                                                         Arrangement::TileVertically,
                                                         Arrangement::MinimizeAll, Arrangement::ArrangeAll}));
    f.shell->openDocument(f.file("a.txt"), false, "");
    commands.run(Command::Close);
    EXPECT_TRUE(f.view.children.empty());
    EXPECT_TRUE(f.view.tabs.empty());
    commands.run(Command::Exit);
    EXPECT_EQ(f.view.closedWindow, 1);
}

TEST(MainWindow, SaveAsFromTheMenuMakesARemoteDocumentALocalFile) {
    test::MainShellFixture f;
    DocumentWindow* r = f.shell->openDocument(f.file("qor.tmp", "remote\n"), false, "page.html");
    r->setRemote("site", "/www", "page.html");
    f.ui.files.push_back(f.work + "/page.html");
    f.shell->commands().run(Command::SaveAs);
    EXPECT_EQ(fs::readFile(f.work + "/page.html").value_or(""), "remote\n");
    EXPECT_FALSE(r->remote());
    EXPECT_EQ(r->filePath(), f.work + "/page.html");
    EXPECT_EQ(f.view.tabCaptions(), std::vector<std::string>{"page.html"});
}

} // namespace
} // namespace qorvi
