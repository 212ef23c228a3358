// Editing in the editor widget on screen (offscreen platform), with real Qt
// key and mouse events: a small C++ function typed with auto-indent,
// selected with the mouse and partly undone; the template pick list; the
// system clipboard with LF line breaks toward other programs.

#include "editor/settings/editor_settings.h"
#include "gui/editor_widget.h"
#include "gui/template_pick_list.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/gui/test_application.h"
#include "tests/support/built_in_cpp_parser.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

std::string shown(std::string text) {
    for (char& c : text)
        if (c == '\r')
            c = '|';
    return text;
}

struct Fixture {
    QApplication& application = app();
    std::unique_ptr<TRudivoVoruParser> parser = builtInCppParser();
    EditorWidget widget;
    Fixture() {
        widget.resize(640, 300);
        widget.control().SetParser1(parser.get());
        widget.show();
        (void)QTest::qWaitForWindowExposed(&widget);
        widget.activateWindow();
        widget.setFocus();
    }
    ~Fixture() { widget.control().SetParser1(nullptr); }
    TRudivoVoru& ctl() { return widget.control(); }
    QPoint at(int column, int row) {
        return {ctl().LeftRefPoint() + column * ctl().CellWidth() + 1, row * ctl().GetLineHeight() + 4};
    }
    void mouse(QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, p, widget.viewport()->mapToGlobal(p), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget.viewport(), &event);
    }
};

TEST(EditorWidgetEditing, TypeAFunctionSelectWithTheMouseAndUndoTwice) {
    Fixture f;
    ASSERT_TRUE(f.ctl().FixedPitch());
    QTest::keyClicks(&f.widget, "int add(int a, int b)");
    QTest::keyClick(&f.widget, Qt::Key_Return);
    QTest::keyClicks(&f.widget, "{");
    QTest::keyClick(&f.widget, Qt::Key_Return);
    QTest::keyClicks(&f.widget, "    int s = a + b;");
    QTest::keyClick(&f.widget, Qt::Key_Return); // auto-indent: a tab to column 4
    QTest::keyClicks(&f.widget, "return s;");
    QTest::keyClick(&f.widget, Qt::Key_Return);
    QTest::keyClick(&f.widget, Qt::Key_Backspace);
    QTest::keyClicks(&f.widget, "}");
    EXPECT_EQ(shown(f.ctl().GetText()), "int add(int a, int b)|{|    int s = a + b;|\treturn s;|}");
    EXPECT_TRUE(f.ctl().GetModified());

    // Select "int s" on the third line with the mouse.
    f.mouse(QEvent::MouseButtonPress, f.at(4, 2), Qt::LeftButton, Qt::LeftButton);
    f.mouse(QEvent::MouseMove, f.at(7, 2), Qt::NoButton, Qt::LeftButton);
    f.mouse(QEvent::MouseMove, f.at(9, 2), Qt::NoButton, Qt::LeftButton);
    f.mouse(QEvent::MouseButtonRelease, f.at(9, 2), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(f.ctl().GetSelText(), "int s");

    // Undo the closing brace and the backspace: the tab the backspace took
    // is back, and the caret stands after it.
    QTest::keyClick(&f.widget, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&f.widget, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(shown(f.ctl().GetText()), "int add(int a, int b)|{|    int s = a + b;|\treturn s;|\t");
    const std::int32_t end = f.ctl().TextStore().NumChars();
    EXPECT_EQ(f.ctl().GetSelection(), (TChRange{end, end}));
    EXPECT_EQ(f.ctl().GetCPos(), (TCustomRudivoVoru::TPoint{2, 5}));
    // The painted caret stands after the tab's cells on the fifth row.
    const CanvasRect caret = f.ctl().CaretRect();
    EXPECT_EQ(caret.left, f.ctl().LeftRefPoint() + 4 * f.ctl().CellWidth());
    EXPECT_EQ(caret.top, 4 * f.ctl().GetLineHeight());
}

TEST(EditorWidgetEditing, ShiftAndArrowsSelectAndTheKeyMapsChordsWork) {
    Fixture f;
    QTest::keyClicks(&f.widget, "one two");
    QTest::keyClick(&f.widget, Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(f.ctl().GetSelText(), "two");
    QTest::keyClick(&f.widget, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(f.ctl().GetSelText(), "one two");
    // Ctrl+K, I indents the selected line.
    QTest::keyClick(&f.widget, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&f.widget, Qt::Key_I);
    EXPECT_EQ(f.ctl().GetText(), "\tone two") << "one step, a tab under the tab option";
}

TEST(EditorWidgetEditing, TheKeyMapWinsOverMenuShortcutsAndLeavesTheOthers) {
    Fixture f;
    int indentCommands = 0;
    int saveCommands = 0;
    QAction indent(QStringLiteral("Indent"), &f.widget);
    indent.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    QObject::connect(&indent, &QAction::triggered, [&] { ++indentCommands; });
    QAction save(QStringLiteral("Save"), &f.widget);
    save.setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QObject::connect(&save, &QAction::triggered, [&] { ++saveCommands; });
    f.widget.addAction(&indent);
    f.widget.addAction(&save);
    QTest::keyClicks(&f.widget, "abc");
    QTest::keyClick(&f.widget, Qt::Key_Home, Qt::ShiftModifier);
    // Ctrl+K, then I with Ctrl still held: the chord's second key is the
    // editor's, not the menu's Ctrl+I.
    QTest::keyClick(&f.widget, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&f.widget, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(indentCommands, 0);
    EXPECT_EQ(f.ctl().GetText(), "\tabc");
    // A key the key map does not bind still reaches the menu.
    QTest::keyClick(&f.widget, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(saveCommands, 1);
    QTest::keyClick(&f.widget, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(indentCommands, 1);
}

TEST(EditorWidgetEditing, WithoutATabStopTheEditorTakesNeitherFocusNorClicks) {
    Fixture f;
    f.ctl().SetText("abc");
    f.ctl().SetSelection({3, 3});
    f.widget.setTabStop(false);
    EXPECT_EQ(f.widget.focusPolicy(), Qt::NoFocus);
    f.mouse(QEvent::MouseButtonPress, f.at(1, 0), Qt::LeftButton, Qt::LeftButton);
    f.mouse(QEvent::MouseButtonRelease, f.at(1, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(f.ctl().GetSelection(), (TChRange{3, 3}));
    f.widget.setTabStop(true);
    EXPECT_EQ(f.widget.focusPolicy(), Qt::StrongFocus);
    f.mouse(QEvent::MouseButtonPress, f.at(1, 0), Qt::LeftButton, Qt::LeftButton);
    f.mouse(QEvent::MouseButtonRelease, f.at(1, 0), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(f.ctl().GetSelection(), (TChRange{1, 1}));
}

TEST(EditorWidgetEditing, ReturnGoesToTheDialogWhenTheEditorDoesNotWantIt) {
    QApplication& application = app();
    (void)application;
    QDialog dialog;
    auto* editor = new EditorWidget(&dialog);
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    (void)QTest::qWaitForWindowExposed(&dialog);
    editor->setFocus();
    QTest::keyClicks(editor, "ab");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(shown(editor->control().GetText()), "ab|"); // wanted: the editor's
    EXPECT_TRUE(dialog.isVisible());
    editor->control().WantReturns = false;
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier); // still a line break
    EXPECT_EQ(shown(editor->control().GetText()), "ab||");
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(shown(editor->control().GetText()), "ab||");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(EditorWidgetEditing, ThePickListExpandsTheChosenTemplate) {
    Fixture f;
    TCodeTemplates& templates = f.ctl().Settings().Templates();
    templates.Clear();
    templates.Define("while", "while loop", "while (|)");
    templates.Define("switch", "switch", "switch (|)");
    QTest::keyClicks(&f.widget, "wh");
    QTest::keyClick(&f.widget, Qt::Key_J, Qt::ControlModifier);
    TemplatePickList* list = f.widget.pickList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_S);
    EXPECT_EQ(list->currentRow(), 0);
    QTest::keyClick(list, Qt::Key_W);
    EXPECT_EQ(list->currentRow(), 0); // "sw": still switch
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(f.widget.pickList(), nullptr);
    EXPECT_EQ(f.ctl().GetText(), "while ()");
    EXPECT_EQ(f.ctl().GetSelection(), (TChRange{7, 7}));
    // Escape leaves the text as it was.
    QTest::keyClick(&f.widget, Qt::Key_J, Qt::ControlModifier);
    ASSERT_NE(f.widget.pickList(), nullptr);
    QTest::keyClick(f.widget.pickList(), Qt::Key_Escape);
    EXPECT_EQ(f.widget.pickList(), nullptr);
    EXPECT_EQ(f.ctl().GetText(), "while ()");
    // A double click on an entry chooses it.
    f.ctl().SetSelection({8, 8});
    QTest::keyClick(&f.widget, Qt::Key_J, Qt::ControlModifier);
    list = f.widget.pickList();
    ASSERT_NE(list, nullptr);
    const QRect first = list->visualItemRect(list->item(0));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    EXPECT_EQ(f.widget.pickList(), nullptr);
    EXPECT_EQ(f.ctl().GetText(), "while ()switch ()");
}

TEST(EditorWidgetEditing, AnEditorClosedWithItsPickListOpenGoesQuietly) {
    auto f = std::make_unique<Fixture>();
    TCodeTemplates& templates = f->ctl().Settings().Templates();
    templates.Clear();
    templates.Define("while", "while loop", "while (|)");
    templates.Define("switch", "switch", "switch (|)");
    QTest::keyClick(&f->widget, Qt::Key_J, Qt::ControlModifier);
    ASSERT_NE(f->widget.pickList(), nullptr);
    ASSERT_TRUE(f->widget.pickList()->hasFocus());
    f.reset(); // the list loses its focus while the editor goes
}

TEST(EditorWidgetEditing, TheSystemClipboardCarriesLineFeeds) {
    Fixture f;
    f.ctl().SetText("a\rb");
    f.ctl().SelectAll();
    QTest::keyClick(&f.widget, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("a\nb"));
    QGuiApplication::clipboard()->setText(QStringLiteral("x\r\ny\u00e9"));
    f.ctl().SetSelection({3, 3});
    QTest::keyClick(&f.widget, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown(f.ctl().GetText()), "a|bx|y\xe9");
}

} // namespace
