// The editor widget in a real X window: a C++ document in syntax colours,
// with line numbers, a bookmark, a breakpoint and a selection. Saves a
// screenshot and fails when the keyword, comment and string colours are not
// on screen where the control put them.

#include "editor/text/numbered_bookmarks.h"
#include "gui/editor_widget.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/gui/painted_colours.h"
#include "tests/screens/window_shot.h"
#include "tests/support/built_in_cpp_parser.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <cstdio>

using namespace qorvi;
using namespace qorvi::test;

namespace {

const char* const kSample = "// Counts the words of a text file.\n"
                            "#include <cstdio>\n"
                            "\n"
                            "static int countWords(const char* text) {\n"
                            "    int words = 0;\n"
                            "    bool inWord = false;\n"
                            "    for (const char* p = text; *p; ++p) {\n"
                            "        const bool blank = *p == ' ' || *p == '\\t' || *p == '\\n';\n"
                            "        if (!blank && !inWord)\n"
                            "            ++words;\n"
                            "        inWord = !blank;\n"
                            "    }\n"
                            "    return words;\n"
                            "}\n"
                            "\n"
                            "/* The program reads one line\n"
                            "   and prints its word count. */\n"
                            "int main() {\n"
                            "    char line[256];\n"
                            "    if (!fgets(line, sizeof line, stdin))\n"
                            "        return 1;\n"
                            "    printf(\"%d words\\n\", countWords(line));\n"
                            "    return 0;\n"
                            "}\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::unique_ptr<TRudivoVoruParser> parser = builtInCppParser();

    EditorWidget widget;
    widget.setWindowTitle("sample.cpp");
    widget.resize(760, 520);
    TRudivoVoru& ctl = widget.control();
    ctl.SetParser1(parser.get());
    ctl.SetOptions(ctl.GetOptions() | smoLineNumbers);
    ctl.SetText(kSample);
    NumberedBookmarks(ctl.TextStore()).SetBookmark(1, 4, 1);
    ctl.TextStore().Breakpoints().EnableBreakpointAtLine(19);
    ctl.SetSelTextColor(clWhite);
    ctl.SetSelTextBack(clNavy);
    ctl.SetHideSelection(false);
    ctl.SetSelection(
        {ctl.TextStore().LineFromLineIndex(6).start + 4, ctl.TextStore().LineFromLineIndex(6).start + 7});
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget, 10000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    (void)QTest::qWaitFor([&] { return !widget.idleStylingPending(); }, 5000);
    QTest::qWait(300);

    if (!test::saveWindowShot(widget, argv[1]))
        return 1;
    const QImage view = widget.viewport()->grab().toImage();
    const QColor keywordColour = colourOf(ctl, 3, 0); // static
    const QColor commentColour = colourOf(ctl, 0, 0);
    const QColor stringColour = colourOf(ctl, 21, 11);
    const QColor plainColour = colourOf(ctl, 3, 11); // countWords
    const bool distinct = keywordColour != plainColour && commentColour != plainColour &&
                          stringColour != plainColour && commentColour != stringColour;
    const bool keyword = cellsShow(view, ctl, 3, 0, 6, keywordColour);
    const bool comment = cellsShow(view, ctl, 0, 0, 20, commentColour);
    const bool block =
        cellsShow(view, ctl, 16, 3, 20, colourOf(ctl, 16, 3)) && colourOf(ctl, 16, 3) != plainColour;
    const bool string = cellsShow(view, ctl, 21, 11, 10, stringColour);
    const bool plain = !cellsShow(view, ctl, 3, 11, 10, keywordColour);
    std::printf("parser=%s keyword=%d comment=%d block=%d string=%d plain=%d distinct=%d fixed=%d png=%s\n",
                FindEmbeddedParserImage("cpp") ? "built-in C++" : "C-like script", keyword, comment, block,
                string, plain, distinct, ctl.FixedPitch(), argv[1]);
    ctl.SetParser1(nullptr);
    return keyword && comment && block && string && plain && distinct && ctl.FixedPitch() &&
                   QImage(argv[1]).width() > 500
               ? 0
               : 1;
}
