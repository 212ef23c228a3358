// Typing into one of two documents opened from the command line: the
// document and the main window's counts show it modified, and saving writes
// the file and clears the mark.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "gui/editor_widget.h"
#include "gui/mdi_child.h"
#include "platform/file_system.h"
#include "tests/gui/main_form_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QStatusBar>
#include <gtest/gtest.h>

using namespace qorvi;
using test::DocumentsFixture;

TEST(DocumentWindowGui, TypingSavingAndTheCountsOfTwoDocuments) {
    DocumentsFixture f({"first.cpp", "second.sh"});
    ASSERT_TRUE(f.waitForTabs(2));
    EXPECT_EQ(f.form->pgcFiles()->tabText(0).toStdString(), "first.cpp");
    EXPECT_EQ(f.form->pgcFiles()->tabText(1).toStdString(), "second.sh");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 2; Modified: 0");
    auto children = f.form->children();
    ASSERT_EQ(children.size(), 2u);
    TMDIChild* first = children[0];
    EXPECT_TRUE(first->stbMain()->isVisible());

    // Typing needs the window active: the first document's tab.
    f.form->pgcFiles()->setCurrentIndex(0);
    ASSERT_EQ(f.form->mdiArea()->currentSubWindow(), first);
    first->txtMain()->setFocus();
    QTest::keyClicks(first->txtMain(), "// typed");
    QTest::keyClick(first->txtMain(), Qt::Key_Return);
    EXPECT_TRUE(first->logic().editor().modified());
    EXPECT_EQ(first->statusPanel(1)->text().toStdString(), "Modified");
    EXPECT_EQ(first->statusPanel(0)->text().toStdString(), "Line 2, Pos 0");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 2; Modified: 1");
    EXPECT_TRUE(f.form->action(Command::SaveAll)->isEnabled());

    f.form->action(Command::Save)->trigger();
    EXPECT_EQ(fs::readFile(f.work + "/first.cpp").value_or(""), "// typed\nint first;\n");
    EXPECT_FALSE(first->logic().editor().modified());
    EXPECT_EQ(first->statusPanel(1)->text().toStdString(), "");
    EXPECT_EQ(f.form->statusPanel(1)->text().toStdString(), "Opened files: 2; Modified: 0");
    EXPECT_FALSE(f.form->action(Command::SaveAll)->isEnabled());
    EXPECT_TRUE(f.ui.boxes.empty());
}
