// The find/replace dialog through the real main window, offscreen: Ctrl+F
// opens it, Enter in the find box selects the next match in the document,
// Replace All changes every occurrence and reports the count, and Ctrl+C in
// the find box copies from the box, not from the document behind it.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/main_commands.h"
#include "gui/find_rep_form.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "tests/gui/main_form_fixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <fstream>
#include <gtest/gtest.h>

using namespace qorvi;
using test::DocumentsFixture;

TEST(FindRepForm, FindsReplacesAndKeepsItsOwnClipboardKeys) {
    DocumentsFixture f({});
    std::ofstream(f.work + "/words.txt") << "cat dog cat\ncat\n";
    f.shell().openDocument(f.work + "/words.txt", false, "");
    ASSERT_EQ(f.form->children().size(), 1u);
    DocumentEditor& editor = f.form->children()[0]->logic().editor();

    ASSERT_EQ(editor.selection(), (std::pair<std::int32_t, std::int32_t>{0, 0}));
    f.form->action(Command::Search)->trigger();
    TfrmFindRep* dialog = f.form->findRepForm();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->btnReplaceAll()->isEnabled()) << "find mode";
    QLineEdit* box = dialog->cmbFind()->lineEdit();
    box->setFocus();
    QTest::keyClicks(box, "cat");
    ASSERT_EQ(editor.selection(), (std::pair<std::int32_t, std::int32_t>{0, 0})) << "typing searched nothing";
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(editor.selection(), (std::pair<std::int32_t, std::int32_t>{0, 3}));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(editor.selection(), (std::pair<std::int32_t, std::int32_t>{8, 11}));
    EXPECT_EQ(dialog->cmbFind()->count(), 1) << "the history holds the text once";

    // Ctrl+C copies the box's selected text.
    QApplication::clipboard()->setText("before");
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "cat");

    f.form->action(Command::Replace)->trigger();
    ASSERT_TRUE(dialog->btnReplaceAll()->isEnabled());
    dialog->cmbReplace()->setEditText("bird");
    editor.setSelection(0, 0);
    dialog->btnReplaceAll()->click();
    EXPECT_EQ(editor.textRange(0, editor.textLength()), "bird dog bird\rbird\r");
    ASSERT_FALSE(f.ui.boxes.empty());
    EXPECT_EQ(f.ui.boxes.back().text, "3 occurences of cat were replaced by bird");
}

TEST(FindRepForm, TextsOutsideWindows1252ReachAUtf8DocumentWhole) {
    DocumentsFixture f({});
    std::ofstream(f.work + "/cjk.txt") << "\xE4\xB8\xAD cat \xE4\xB8\xAD\n";
    f.shell().openDocument(f.work + "/cjk.txt", false, "");
    ASSERT_EQ(f.form->children().size(), 1u);
    DocumentEditor& editor = f.form->children()[0]->logic().editor();
    ASSERT_EQ(editor.encoding(), TextEncoding::Utf8);
    f.form->action(Command::Replace)->trigger();
    TfrmFindRep* dialog = f.form->findRepForm();
    ASSERT_NE(dialog, nullptr);
    dialog->cmbFind()->setEditText(QString::fromUtf8("\xE4\xB8\xAD"));
    dialog->cmbReplace()->setEditText(QString::fromUtf8("\xC3\xA9\xF0\x9F\x98\x80"));
    dialog->btnReplaceAll()->click();
    EXPECT_EQ(editor.textRange(0, editor.textLength()), "\xC3\xA9\xF0\x9F\x98\x80 cat \xC3\xA9\xF0\x9F\x98\x80\r");
}
