// The main window with its documents, offscreen: the tab strip follows the
// active window and closing, the local explorer opens a double-clicked
// file, and closing the program asks about modified documents.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/type_selection.h"
#include "editor/control/rudivo_voru.h"
#include "gui/editor_widget.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "gui/what_to_do_form.h"
#include "platform/file_system.h"
#include "platform/hive.h"
#include "tests/gui/main_form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qorvi;
using test::DocumentsFixture;

TEST(DocumentWindowGui, TabsFollowTheActiveWindowAndClosing) {
    DocumentsFixture f({"first.cpp", "second.sh"});
    ASSERT_TRUE(f.waitForTabs(2));
    auto children = f.form->children();
    f.form->mdiArea()->setActiveSubWindow(children[0]);
    EXPECT_EQ(f.form->pgcFiles()->currentIndex(), 0);
    f.form->pgcFiles()->setCurrentIndex(1);
    EXPECT_EQ(f.form->mdiArea()->currentSubWindow(), children[1]);

    f.form->action(Command::Close)->trigger();
    QTest::qWait(20);
    ASSERT_EQ(f.form->pgcFiles()->count(), 1);
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "first.cpp");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 1; Modified: 0");
    EXPECT_TRUE(f.form->action(Command::Save)->isEnabled());

    f.form->action(Command::Close)->trigger();
    QTest::qWait(20);
    EXPECT_EQ(f.form->pgcFiles()->count(), 0);
    EXPECT_FALSE(f.form->action(Command::Save)->isEnabled()) << "no document window: no Save";
    EXPECT_FALSE(f.form->action(Command::Cut)->isEnabled());
    f.form->action(Command::New)->trigger();
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "Untitled1");
    EXPECT_TRUE(f.form->action(Command::Save)->isEnabled());
}

TEST(DocumentWindowGui, TheExplorerOpensADoubleClickedFile) {
    DocumentsFixture f({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return f.form->lstLocalFiles()->count() == 3; }, 3000));
    QListWidget* list = f.form->lstLocalFiles();
    auto items = list->findItems("2 second.sh", Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    list->setCurrentItem(items[0]);
    const QRect at = list->visualItemRect(items[0]);
    // A double click is a click and a second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at.center());
    ASSERT_TRUE(f.waitForTabs(1));
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "second.sh");
    EXPECT_EQ(f.form->children()[0]->logic().filePath(), f.work + "/second.sh");
}

TEST(DocumentWindowGui, ClosingTheProgramAsksAboutEveryModifiedDocument) {
    DocumentsFixture f({"first.cpp"});
    ASSERT_TRUE(f.waitForTabs(1));
    TMDIChild* child = f.form->children()[0];
    child->logic().editor().setSelection(0, 0);
    child->logic().editor().replaceSelection("x");
    child->logic().editorChanged();
    f.ui.answers = {MsgResult::Cancel};
    EXPECT_FALSE(f.form->close());
    EXPECT_EQ(f.form->pgcFiles()->count(), 1) << "Cancel keeps the program open";
    f.ui.answers = {MsgResult::Yes};
    EXPECT_TRUE(f.form->close());
    EXPECT_EQ(fs::readFile(f.work + "/first.cpp").value_or(""), "xint first;\n");
    EXPECT_EQ(SettingValues(f.hive).readString("ChildMax", "?"), "0");
}

TEST(DocumentWindowGui, TheContextMenuCollapsesAndTheGutterExpands) {
    DocumentsFixture f({});
    std::ofstream(f.work + "/ten.cpp") << "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
    f.shell().openDocument(f.work + "/ten.cpp", false, "");
    ASSERT_EQ(f.form->children().size(), 1u);
    TMDIChild* child = f.form->children()[0];
    DocumentEditor& editor = child->logic().editor();

    // Copy and Cut need a selection.
    QContextMenuEvent none(QContextMenuEvent::Mouse, QPoint(60, 10), QPoint(60, 10));
    QApplication::sendEvent(child->txtMain()->viewport(), &none);
    ASSERT_TRUE(QTest::qWaitFor([&] { return child->ppmMain()->isVisible(); }, 1000));
    const auto actions = child->ppmMain()->actions();
    QStringList captions;
    for (QAction* a : actions)
        captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions, (QStringList{"Copy", "Cut", "Paste", "Undo", "Reload", "-", "Select All", "-",
                                     "Collapse Section", "-", "Read Only", "Watch File", "-",
                                     "Editor Options...", "-", "Reopen as Windows-1252",
                                     "Save As Windows-1252..."}));
    EXPECT_FALSE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[1]->isEnabled());
    child->ppmMain()->hide();

    editor.setSelection(editor.lineStart(2), editor.lineStart(6) + 1);
    QContextMenuEvent some(QContextMenuEvent::Mouse, QPoint(60, 10), QPoint(60, 10));
    QApplication::sendEvent(child->txtMain()->viewport(), &some);
    EXPECT_TRUE(actions[0]->isEnabled());
    EXPECT_TRUE(actions[1]->isEnabled());
    child->ppmMain()->hide();
    actions[8]->trigger();
    EXPECT_EQ(editor.lineCount(), 7);
    EXPECT_EQ(editor.textRange(editor.lineStart(2), 49), "--------------- 5 lines collapsed ---------------");

    // A click in the gutter of the marker line puts the lines back.
    TRudivoVoru& control = child->txtMain()->control();
    const int y = 2 * control.GetLineHeight() + control.GetLineHeight() / 2;
    QTest::mouseClick(child->txtMain()->viewport(), Qt::LeftButton, {}, QPoint(2, y));
    EXPECT_EQ(editor.textRange(0, editor.textLength()), "1\r2\r3\r4\r5\r6\r7\r8\r9\r10\r");
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(DocumentWindowGui, WatchFileFromTheContextMenu) {
    DocumentsFixture f({});
    TMDIChild* child = f.openLog();
    child->mnuStartFileWatch()->trigger();
    EXPECT_TRUE(child->mnuStartFileWatch()->isChecked());
    EXPECT_TRUE(child->logic().watch().watching());
    EXPECT_TRUE(child->logic().editor().readOnly());
    EXPECT_EQ(child->logic().editor().lineCount(), 31) << "30 lines and the empty one after the last break";
    child->mnuStartFileWatch()->trigger();
    EXPECT_FALSE(child->mnuStartFileWatch()->isChecked());
    EXPECT_FALSE(child->logic().watch().watching());
}

TEST(DocumentWindowGui, FilesDroppedOnTheWindowOpenInTheDropsOrder) {
    DocumentsFixture f({});
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(f.work + "/second.sh")),
                  QUrl::fromLocalFile(QString::fromStdString(f.work + "/first.cpp"))});
    QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.form.get(), &drop);
    ASSERT_EQ(f.form->pgcFiles()->count(), 2);
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "second.sh");
    EXPECT_EQ(f.form->pgcFiles()->tabText(1).toStdString(), "first.cpp");
}

TEST(DocumentWindowGui, WhatToDoOffersThreeChoicesAndStartsWithTheSafeOne) {
    test::app();
    TfrmWhatToDo form;
    EXPECT_EQ(form.windowTitle().toStdString(), "Confirmation");
    EXPECT_EQ(form.rdbDoNotOpen()->text().toStdString(), "Do NOT open a second copy");
    EXPECT_EQ(form.rdbSecondWindow()->text().toStdString(), "Open the file in a second window");
    EXPECT_EQ(form.rdbReload()->text().toStdString(),
              "Open it in the current window and discard all my changes");
    EXPECT_TRUE(form.rdbDoNotOpen()->isChecked());
    EXPECT_EQ(form.choice(), 1);
    form.rdbSecondWindow()->setChecked(true);
    EXPECT_EQ(form.choice(), 2);
    form.rdbReload()->setChecked(true);
    EXPECT_EQ(form.choice(), 3);
    QTimer::singleShot(0, &form, [&] { form.reject(); });
    EXPECT_EQ(form.ask(), 1) << "closed without Ok: nothing opens";
}

TEST(DocumentWindowGui, DropsOnTheTextInsertTextAndOpenFiles) {
    DocumentsFixture f({});
    f.shell().openDocument(f.work + "/first.cpp", false, "");
    ASSERT_TRUE(f.waitForTabs(1));
    TMDIChild* child = f.form->children()[0];
    QWidget* viewport = child->txtMain()->viewport();
    TRudivoVoru& control = child->txtMain()->control();
    int x = 0;
    int y = 0;
    ASSERT_TRUE(control.PosFromIndex(4, x, y)); // before "first"
    const QPointF at(x + 1, y + 2);
    const auto dropOnText = [&](QMimeData& data, Qt::DropActions actions) {
        QDragEnterEvent enter(at.toPoint(), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &enter);
        QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    };

    // A browser's selection: plain text wins over its markup; a copy-only
    // drag is a copy.
    QMimeData page;
    page.setText("café ");
    page.setHtml("<b>caf&eacute; </b>");
    EXPECT_EQ(dropOnText(page, Qt::CopyAction), Qt::CopyAction);
    EXPECT_EQ(control.GetText(), "int caf\xC3\xA9 first;\r") << "in the document's UTF-8";
    EXPECT_TRUE(control.DoUndo());

    // Files dragged from a file manager open as documents; their names are not typed in.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString::fromStdString(f.work + "/second.sh"))});
    files.setText(QString::fromStdString("file://" + f.work + "/second.sh"));
    EXPECT_NE(dropOnText(files, Qt::CopyAction | Qt::MoveAction), Qt::IgnoreAction);
    EXPECT_TRUE(f.waitForTabs(2));
    EXPECT_EQ(control.GetText(), "int first;\r");
}
