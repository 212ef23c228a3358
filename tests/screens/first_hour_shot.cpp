// A programmer's first hour in a real X window: open a file, break a line in
// the middle and type, save, and compare what the screen shows with a full
// repaint and what the disk holds with the expected bytes; another program
// then changes the file, and the editor must say so before saving over it.
// A Java file shows `package` in the keyword colour; a collapsed section
// shows its mark in the gutter. Saves a screenshot; the exit status tells
// whether every check held.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/main_shell.h"
#include "editor/control/rudivo_voru.h"
#include "gui/editor_widget.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "gui/shell_icons.h"
#include "platform/file_system.h"
#include "platform/hive.h"
#include "tests/gui/painted_colours.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QScreen>
#include <QTest>
#include <cstdio>
#include <fstream>
#include <string>

using namespace qorvi;

namespace {

int failures = 0;

void check(bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    failures += ok ? 0 : 1;
}

// The editor's pixels as the X server shows them.
QImage onScreen(EditorWidget* editor) {
    QApplication::processEvents();
    QTest::qWait(100);
    QWidget* view = editor->viewport();
    const QPoint at = view->mapToGlobal(QPoint(0, 0));
    return view->screen()->grabWindow(0, at.x(), at.y(), view->width(), view->height()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

bool screenMatchesFullRepaint(EditorWidget* editor) {
    const QImage shown = onScreen(editor);
    editor->viewport()->repaint();
    const QImage full = onScreen(editor);
    return !shown.isNull() && shown == full;
}

TMDIChild* childShowing(TMainForm& form, const std::string& path) {
    for (TMDIChild* child : form.children())
        if (child->logic().filePath() == path)
            return child;
    return nullptr;
}

// Clicks at the start of the 0-based line, as a user would.
void clickLine(EditorWidget* editor, int line) {
    const TRudivoVoru& ctl = editor->control();
    QTest::mouseClick(editor->viewport(), Qt::LeftButton, {},
                      QPoint(ctl.LeftRefPoint() + 2, line * ctl.GetLineHeight() + ctl.GetLineHeight() / 2));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    test::TempDir root;
    ::setenv("XDG_RUNTIME_DIR", root.path().c_str(), 1);
    const std::string work = root.file("work");
    QDir().mkpath(QString::fromStdString(work));
    const std::string five = work + "/five.txt";
    const std::string java = work + "/A.java";
    std::ofstream(five, std::ios::binary) << "line one\nline two\nline three\nline four\nline five\n";
    std::ofstream(java, std::ios::binary) << "package com.example;\nimport java.util.List;\n";

    Hive hive(root.file("hkcu.reg"));
    test::FakeShellUi ui;
    TMainForm::Options o;
    o.args = {"A.java", "five.txt"};
    o.currentDirectory = work;
    o.programDirectory = root.path();
    o.hive = &hive;
    o.ui = &ui;
    TMainForm form(std::move(o));
    form.resize(1000, 700);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 10000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    (void)QTest::qWaitFor([&] { return form.children().size() == 2; }, 5000);
    TMDIChild* doc = childShowing(form, five);
    TMDIChild* javaDoc = childShowing(form, java);
    if (!doc || !javaDoc) {
        std::fprintf(stderr, "the files did not open\n");
        return 1;
    }
    form.mdiArea()->setActiveSubWindow(doc);
    doc->showMaximized();
    EditorWidget* editor = doc->txtMain();
    editor->setFocus();
    QTest::qWait(300);

    // Line 2, End, Enter, type.
    clickLine(editor, 1);
    QTest::keyClick(editor, Qt::Key_End);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClicks(editor, "new line");
    editor->clearFocus(); // no blinking caret in the pictures
    check(screenMatchesFullRepaint(editor), "the screen after Enter shows what a full repaint shows");

    form.shell().commands().run(Command::Save);
    check(fs::readFile(five) == "line one\nline two\nnew line\nline three\nline four\nline five\n",
          "the file on disk holds exactly the edit");

    // Another program appends a line; coming back to the document says so.
    std::ofstream(five, std::ios::binary | std::ios::app) << "line six from elsewhere\n";
    ui.answers = {MsgResult::No};
    form.mdiArea()->setActiveSubWindow(javaDoc);
    form.mdiArea()->setActiveSubWindow(doc);
    QTest::qWait(100);
    check(!ui.boxes.empty() && ui.boxes.back().text.find("changed on disk") != std::string::npos,
          "an external change is reported when the window is activated");
    clickLine(editor, 0);
    QTest::keyClicks(editor, "x");
    ui.answers = {MsgResult::No};
    form.shell().commands().run(Command::Save);
    check(fs::readFile(five).value_or("").find("line six from elsewhere") != std::string::npos,
          "saving over the external change asks first, and No keeps the file");

    // Collapse the first two lines: the marker line shows its gutter mark.
    doc->txtMain()->control().SetSelection({0, 18});
    doc->logic().collapseSection();
    QApplication::processEvents();
    const QImage gutterShot = onScreen(editor);
    const TRudivoVoru& ctl = editor->control();
    int inked = 0;
    for (int y = 0; y < ctl.GetLineHeight(); ++y)
        for (int x = 0; x < ctl.LeftRefPoint() - 2 && x < gutterShot.width(); ++x)
            inked += QColor(gutterShot.pixel(x, y)).value() < 100;
    check(inked > 10, "a collapsed section shows its mark in the gutter");

    // A selection stays visible while something else has the focus (the
    // context menu, the find dialog).
    const std::int32_t secondLine = doc->logic().editor().lineStart(1);
    doc->txtMain()->control().SetSelection({secondLine, secondLine + 5});
    editor->clearFocus();
    const QImage selected = onScreen(editor);
    const QColor selectionBack(0, 0, 0x80); // navy
    int selectedPixels = 0;
    for (int x = ctl.LeftRefPoint(); x < ctl.LeftRefPoint() + 3 * ctl.CellWidth(); ++x)
        selectedPixels += QColor(selected.pixel(x, ctl.GetLineHeight() * 3 / 2)) == selectionBack;
    check(selectedPixels > 0, "the selection shows while the editor has no focus");

    // `package` in the keyword colour, as `import`.
    form.mdiArea()->setActiveSubWindow(javaDoc);
    javaDoc->showMaximized();
    QTest::qWait(300);
    const TRudivoVoru& javaCtl = javaDoc->txtMain()->control();
    const QImage javaShot = onScreen(javaDoc->txtMain());
    check(test::colourOf(javaCtl, 0, 0) == test::colourOf(javaCtl, 1, 0) &&
              test::cellsShow(javaShot, javaCtl, 0, 0, 7, test::colourOf(javaCtl, 1, 0)),
          "package shows in the keyword colour");

    const QImage ownIcon = programIcon().pixmap(32).toImage();
    check(form.windowIcon().pixmap(32).toImage() == ownIcon && doc->windowIcon().pixmap(32).toImage() == ownIcon,
          "the window and the documents show the program's own icon");

    QDir().mkpath(QFileInfo(argv[1]).absolutePath());
    form.mdiArea()->setActiveSubWindow(doc);
    QTest::qWait(200);
    const QRect frame = form.frameGeometry();
    form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(argv[1]);
    for (const auto& box : ui.boxes)
        std::printf("box: %s\n", box.text.c_str());
    return failures == 0 ? 0 : 1;
}
