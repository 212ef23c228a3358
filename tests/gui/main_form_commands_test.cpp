// The main window's menus, tool bar and the document commands, offscreen and
// through the real widgets: every command sits in its menu with its caption
// and shortcut and is enabled as the rules say; Go To Line, Read Only,
// Reload, Save As, Watch File, Open and the explorer's Delete and Rename
// do their work through the form and the editor control, not only in the
// logic.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/main_commands.h"
#include "app/main_shell.h"
#include "editor/control/rudivo_voru.h"
#include "gui/editor_widget.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "platform/file_system.h"
#include "tests/gui/main_form_fixture.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTest>
#include <QToolBar>
#include <fstream>
#include <gtest/gtest.h>

using namespace qorvi;
using test::DocumentsFixture;

namespace {

QAction* popMainItem(TMainForm& form, const QString& caption) {
    auto* menu = form.findChild<QMenu*>("popMain");
    if (!menu)
        return nullptr;
    for (QAction* a : menu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

// The menu item of the menu bar with this caption, looked for in the menus
// and their submenus.
QAction* menuItem(QMenu* menu, const QString& caption) {
    for (QAction* a : menu->actions()) {
        if (a->text() == caption)
            return a;
        if (a->menu())
            if (QAction* found = menuItem(a->menu(), caption))
                return found;
    }
    return nullptr;
}

QMenu* topMenu(TMainForm& form, const QString& caption) {
    for (QAction* a : form.menuBar()->actions())
        if (a->text() == caption)
            return a->menu();
    return nullptr;
}

bool selectListItem(QListWidget* list, const QString& text) {
    auto items = list->findItems(text, Qt::MatchExactly);
    if (items.size() != 1)
        return false;
    list->setCurrentItem(items[0]);
    return true;
}

std::string editorText(DocumentEditor& editor) {
    return editor.textRange(0, editor.textLength());
}

} // namespace

TEST(MainFormCommands, EveryCommandSitsInItsMenuWithCaptionShortcutAndEnabling) {
    DocumentsFixture f({"first.cpp"});
    ASSERT_TRUE(f.waitForTabs(1));
    for (const CommandInfo& c : commandTable()) {
        SCOPED_TRACE(c.caption);
        QMenu* menu = topMenu(*f.form, c.menu);
        if (!menu) {
            // A bookmark mark: its submenu is in the Edit menu.
            QAction* sub = menuItem(topMenu(*f.form, "&Edit"), c.menu);
            ASSERT_NE(sub, nullptr);
            menu = sub->menu();
        }
        ASSERT_NE(menu, nullptr);
        QAction* item = menuItem(menu, c.caption);
        ASSERT_NE(item, nullptr);
        if (c.id == Command::SetBookmark || c.id == Command::GotoBookmark)
            item = f.form->action(c.id, c.tag); // "Mark &k" is in both submenus
        EXPECT_EQ(item->shortcut(), QKeySequence(c.shortcut));
        // With a document open, a command is enabled unless its work comes
        // later; "Sa&ve All" waits for a modified document.
        const bool expected = c.wired && c.id != Command::SaveAll;
        EXPECT_EQ(item->isEnabled(), expected);
    }

    QStringList bar;
    for (QAction* a : f.form->toolBar()->actions())
        bar << (a->isSeparator() ? QString("-") : a->text());
    EXPECT_EQ(bar,
              (QStringList{"&New", "&Open", "&Save", "Sa&ve All", "&Print", "-", "&Undo", "&Redo", "-", "Cu&t",
                           "&Copy", "&Paste",
                           "-", "&Search...", "-", "&Cascade", "Tile &Horizontally", "Tile &Vertically"}));
}

TEST(MainFormCommands, GoToLineFromTheMenuAsksAndMovesTheCaretWithinTheText) {
    DocumentsFixture f({});
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text += "line " + std::to_string(i) + "\n";
    std::ofstream(f.work + "/forty.txt") << text;
    f.shell().openDocument(f.work + "/forty.txt", false, "");
    ASSERT_EQ(f.form->children().size(), 1u);
    TMDIChild* child = f.form->children()[0];
    DocumentEditor& editor = child->logic().editor();

    f.ui.inputs = {std::string("25")};
    f.form->action(Command::GoToLine)->trigger();
    EXPECT_EQ(editor.lineOfOffset(editor.selection().second), 24);

    f.ui.inputs = {std::string("9999")};
    f.form->action(Command::GoToLine)->trigger();
    EXPECT_EQ(editor.lineOfOffset(editor.selection().second), editor.lineCount() - 1) << "past the end: last";

    f.ui.inputs = {std::string("twelve")};
    f.form->action(Command::GoToLine)->trigger();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Invalid number"});
    EXPECT_EQ(editor.lineOfOffset(editor.selection().second), editor.lineCount() - 1);
}

TEST(MainFormCommands, ReadOnlyFromTheContextMenuStopsTypingAndSaving) {
    DocumentsFixture f({"first.cpp"});
    ASSERT_TRUE(f.waitForTabs(1));
    TMDIChild* child = f.form->children()[0];
    const std::string path = f.work + "/first.cpp";
    child->mnuReadOnly()->trigger();
    EXPECT_TRUE(child->mnuReadOnly()->isChecked());
    EXPECT_EQ(child->windowTitle().toStdString(), path + " (Read Only)");

    child->txtMain()->setFocus();
    QTest::keyClicks(child->txtMain(), "xyz");
    EXPECT_EQ(editorText(child->logic().editor()), "int first;\r") << "a read-only document takes no typing";
    f.form->action(Command::Save)->trigger();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"File is read only. Cannot save"});
    // Collapsing changes what is shown, not what the file holds.
    child->logic().editor().setSelection(0, 3);
    child->ppmMain()->actions()[8]->trigger();
    EXPECT_EQ(child->logic().editor().textRange(0, 15), "---------------");
    EXPECT_FALSE(child->logic().editor().modified());
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 1; Modified: 0");
    child->logic().gutterClicked(1);
    EXPECT_EQ(editorText(child->logic().editor()), "int first;\r");

    child->mnuReadOnly()->trigger();
    EXPECT_FALSE(child->mnuReadOnly()->isChecked());
    EXPECT_EQ(child->windowTitle().toStdString(), path);
    child->logic().editor().setSelection(0, 0);
    QTest::keyClicks(child->txtMain(), "// ");
    EXPECT_EQ(editorText(child->logic().editor()), "// int first;\r");
}

TEST(MainFormCommands, ReloadFromTheContextMenuShowsTheFileAsItIsNow) {
    DocumentsFixture f({"first.cpp"});
    ASSERT_TRUE(f.waitForTabs(1));
    TMDIChild* child = f.form->children()[0];
    std::ofstream(f.work + "/first.cpp") << "int first;\nint second;\n";
    QAction* reload = child->ppmMain()->actions()[4];
    ASSERT_EQ(reload->text(), "Reload");
    reload->trigger();
    EXPECT_EQ(editorText(child->logic().editor()), "int first;\rint second;\r");
    EXPECT_FALSE(child->logic().editor().modified());
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 1; Modified: 0");
}

TEST(MainFormCommands, SaveAsWritesTheNewFileAndRenamesCaptionAndTab) {
    DocumentsFixture f({});
    f.form->action(Command::New)->trigger();
    ASSERT_EQ(f.form->pgcFiles()->count(), 1);
    TMDIChild* child = f.form->children()[0];
    child->txtMain()->setFocus();
    QTest::keyClicks(child->txtMain(), "echo hi");
    QTest::keyClick(child->txtMain(), Qt::Key_Return);
    const std::string target = f.work + "/hello.sh";
    f.ui.files.push_back(target);
    f.form->action(Command::SaveAs)->trigger();
    EXPECT_EQ(fs::readFile(target).value_or(""), "echo hi\n");
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "hello.sh");
    EXPECT_EQ(child->windowTitle().toStdString(), target);
    EXPECT_EQ(child->logic().filePath(), target);
    EXPECT_EQ(child->statusPanel(1)->text().toStdString(), "");
    ASSERT_FALSE(f.ui.dialogs.empty());
    EXPECT_EQ(f.ui.dialogs.back().initialDirectory, f.form->lblLocalPath()->text().toStdString());
}

TEST(MainFormCommands, WatchFileCommandAndTheContextMenuShareOneState) {
    DocumentsFixture f({});
    TMDIChild* child = f.openLog();
    QAction* watch = f.form->action(Command::WatchFile);
    watch->trigger();
    EXPECT_TRUE(watch->isChecked());
    EXPECT_TRUE(child->mnuStartFileWatch()->isChecked());
    EXPECT_TRUE(child->logic().editor().readOnly());
    EXPECT_EQ(child->logic().editor().textRange(0, 7), "log 71\r");

    // Switched off from the document's own menu: the main menu follows.
    child->mnuStartFileWatch()->trigger();
    EXPECT_FALSE(child->logic().watch().watching());
    EXPECT_FALSE(watch->isChecked());
    child->mnuStartFileWatch()->trigger();
    EXPECT_TRUE(watch->isChecked());
}

TEST(MainFormCommands, OpenFromTheMenuStartsInTheExplorersDirectory) {
    DocumentsFixture f({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.form->lstLocalFiles()->count() == 3; }, 3000));
    f.ui.files.push_back(f.work + "/second.sh");
    f.form->action(Command::Open)->trigger();
    ASSERT_EQ(f.form->pgcFiles()->count(), 1);
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "second.sh");
    ASSERT_EQ(f.ui.dialogs.size(), 1u);
    EXPECT_EQ(f.ui.dialogs[0].initialDirectory, f.work + "/");
    EXPECT_EQ(f.ui.dialogs[0].filter, "All files (*.*)|*.*");
}

TEST(MainFormCommands, TheExplorersDeleteAndRenameWorkOnTheSelectedFile) {
    DocumentsFixture f({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.form->lstLocalFiles()->count() == 3; }, 3000));
    std::ofstream(f.work + "/old.txt") << "keep me\n";
    QListWidget* list = f.form->lstLocalFiles();
    popMainItem(*f.form, "Refresh")->trigger();
    ASSERT_TRUE(selectListItem(list, "2 old.txt"));

    f.ui.inputs = {std::string("new.txt")};
    popMainItem(*f.form, "Rename File...")->trigger();
    EXPECT_FALSE(fs::exists(f.work + "/old.txt"));
    EXPECT_EQ(fs::readFile(f.work + "/new.txt").value_or(""), "keep me\n");
    EXPECT_EQ(list->findItems("2 new.txt", Qt::MatchExactly).size(), 1);

    ASSERT_TRUE(selectListItem(list, "2 new.txt"));
    f.ui.answers = {MsgResult::No};
    popMainItem(*f.form, "Delete File")->trigger();
    EXPECT_TRUE(fs::exists(f.work + "/new.txt")) << "No keeps the file";
    ASSERT_TRUE(selectListItem(list, "2 new.txt"));
    f.ui.answers = {MsgResult::Yes};
    popMainItem(*f.form, "Delete File")->trigger();
    EXPECT_FALSE(fs::exists(f.work + "/new.txt"));
    EXPECT_TRUE(list->findItems("2 new.txt", Qt::MatchExactly).isEmpty());
    const std::vector<std::string> expected = {
        "This will delete " + f.work + "/new.txt. Do you wish to continue?",
        "This will delete " + f.work + "/new.txt. Do you wish to continue?"};
    EXPECT_EQ(f.ui.texts(), expected);

    ::mkdir((f.work + "/sub").c_str(), 0700);
    popMainItem(*f.form, "Refresh")->trigger();
    ASSERT_TRUE(selectListItem(list, "0 sub"));
    popMainItem(*f.form, "Delete File")->trigger();
    EXPECT_EQ(f.ui.texts().back(), "You cannot delete a folder from here");
    EXPECT_TRUE(fs::exists(f.work + "/sub"));
}

TEST(MainFormCommands, ThePositionPanelFollowsTheCaretAndTheClipboardCommandsCarryText) {
    DocumentsFixture f({"first.cpp", "second.sh"});
    ASSERT_TRUE(f.waitForTabs(2));
    auto children = f.form->children();
    TMDIChild* first = children[0];
    TMDIChild* second = children[1];
    f.form->pgcFiles()->setCurrentIndex(0);
    first->txtMain()->setFocus();
    QTest::keyClick(first->txtMain(), Qt::Key_Down);
    EXPECT_EQ(first->statusPanel(0)->text().toStdString(), "Line 2, Pos 0");
    QTest::keyClick(first->txtMain(), Qt::Key_Up);
    QTest::keyClick(first->txtMain(), Qt::Key_Right);
    QTest::keyClick(first->txtMain(), Qt::Key_Right);
    EXPECT_EQ(first->statusPanel(0)->text().toStdString(), "Line 1, Pos 2");
    EXPECT_FALSE(first->logic().editor().modified()) << "moving the caret changes nothing";
    // A click in the second line, left of its text.
    TRudivoVoru& control = first->txtMain()->control();
    const int y = control.GetLineHeight() + control.GetLineHeight() / 2;
    QTest::mouseClick(first->txtMain()->viewport(), Qt::LeftButton, {},
                      QPoint(control.LeftRefPoint() + 1, y));
    EXPECT_EQ(first->statusPanel(0)->text().toStdString(), "Line 2, Pos 0");

    // "int" copied from the first document through the Edit menu is pasted
    // into the second.
    first->logic().editor().setSelection(0, 3);
    f.form->action(Command::Copy)->trigger();
    f.form->pgcFiles()->setCurrentIndex(1);
    ASSERT_EQ(f.form->mdiArea()->currentSubWindow(), second);
    second->logic().editor().setSelection(0, 0);
    f.form->action(Command::Paste)->trigger();
    EXPECT_EQ(editorText(second->logic().editor()), "intecho second\r");
    second->logic().editor().setSelection(0, 3);
    f.form->action(Command::Cut)->trigger();
    EXPECT_EQ(editorText(second->logic().editor()), "echo second\r");
    EXPECT_EQ(editorText(first->logic().editor()), "int first;\r");
}

TEST(MainFormCommands, UndoingBackToTheSavedTextClearsModifiedAndTheCounts) {
    DocumentsFixture f({"first.cpp"});
    ASSERT_TRUE(f.waitForTabs(1));
    TMDIChild* child = f.form->children()[0];
    child->txtMain()->setFocus();
    QTest::keyClicks(child->txtMain(), "x");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 1; Modified: 1");
    QAction* undo = child->ppmMain()->actions()[3];
    ASSERT_EQ(undo->text(), "Undo");
    undo->trigger();
    EXPECT_EQ(editorText(child->logic().editor()), "int first;\r");
    EXPECT_FALSE(child->logic().editor().modified());
    EXPECT_EQ(child->statusPanel(1)->text().toStdString(), "");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 1; Modified: 0");
    EXPECT_FALSE(f.form->action(Command::SaveAll)->isEnabled());

    // Typing again after the undo counts again.
    QTest::keyClicks(child->txtMain(), "y");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 1; Modified: 1");
}
