// The editor widget on screen (offscreen platform): a C++ file in syntax
// colours, checked on the widget's pixels, and the widget driving the core's
// scrolling and idle styling.

#include "editor/memory_stream.h"
#include "gui/editor_widget.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "tests/support/c_like_script.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

QApplication& app() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

// The built-in C++ parser when the build carries it, else the C-like test
// script compiled here.
std::unique_ptr<TRudivoVoruParser> cppParser() {
    auto parser = std::make_unique<TRudivoVoruParser>();
    if (const EmbeddedParserImage* image = FindEmbeddedParserImage("cpp")) {
        TMemoryStream stream(std::string(reinterpret_cast<const char*>(image->data), image->size));
        parser->ReadParserData(stream);
    } else {
        TMemoryStream script(kCLikeScript);
        CompileFromStream(*parser, script);
    }
    return parser;
}

// The colour the control paints the character at `column` of `row` in.
QColor colourOf(const TRudivoVoru& ctl, int row, int column) {
    const TLine* line = ctl.TextStore().LineFromLineIndex(row).line;
    const std::uint8_t style = line->Styles() ? line->Styles()[column] : 0;
    const TSM_Settings& s = ctl.Settings();
    int format = s.GetMapEntry(style);
    if (!s.GetFormatEntry(format).InUse)
        format = 0;
    const TFormatEntry& e = s.GetFormatEntry(format);
    const TColor c = resolveSystemColor(e.DefaultText ? ctl.def_TextColor : e.TextColor);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Whether some pixel of the cells [column, column + count) of `row` shows
// ink of `color` on the white background: text is antialiased, so a pixel
// is the colour blended with white, and its difference from white points
// the same way as the colour's.
bool cellsShow(const QImage& image, const TRudivoVoru& ctl, int row, int column, int count, QColor color) {
    const double cr = 255 - color.red(), cg = 255 - color.green(), cb = 255 - color.blue();
    const double cn = std::sqrt(cr * cr + cg * cg + cb * cb);
    const int x0 = ctl.LeftRefPoint() + column * ctl.CellWidth();
    const int y0 = row * ctl.GetLineHeight();
    for (int y = y0; y < y0 + ctl.GetLineHeight() && y < image.height(); ++y)
        for (int x = x0; x < x0 + count * ctl.CellWidth() && x < image.width(); ++x) {
            const QColor p(image.pixel(x, y));
            const double pr = 255 - p.red(), pg = 255 - p.green(), pb = 255 - p.blue();
            const double pn = std::sqrt(pr * pr + pg * pg + pb * pb);
            if (pn >= 0.5 * cn && (pr * cr + pg * cg + pb * cb) / (pn * cn) >= 0.995)
                return true;
        }
    return false;
}

struct WidgetFixture {
    std::unique_ptr<TRudivoVoruParser> parser = cppParser();
    EditorWidget widget;
    WidgetFixture() {
        widget.resize(640, 300);
        widget.control().SetParser1(parser.get());
    }
    ~WidgetFixture() { widget.control().SetParser1(nullptr); }
    void settle() {
        (void)QTest::qWaitFor([&] { return !widget.idleStylingPending(); }, 5000);
        QApplication::processEvents();
    }
};

} // namespace

TEST(EditorWidget, ShowsACppFileInItsSyntaxColours) {
    app();
    test::TempDir dir;
    const std::string path = dir.file("sample.cpp");
    std::ofstream(path) << "int main() {\n"
                           "    // greet the world\n"
                           "    puts(\"hello\");\n"
                           "    return 0;\n"
                           "}\n";
    WidgetFixture f;
    f.widget.control().LoadFromFile(path);
    f.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.widget));
    f.settle();
    const TRudivoVoru& ctl = f.widget.control();
    ASSERT_TRUE(ctl.FixedPitch());
    const QImage image = f.widget.viewport()->grab().toImage();
    const QColor type = colourOf(ctl, 0, 0);    // int
    const QColor keyword = colourOf(ctl, 3, 4); // return
    const QColor comment = colourOf(ctl, 1, 4);
    const QColor string = colourOf(ctl, 2, 9);
    const QColor plain = colourOf(ctl, 0, 4);
    // They stand apart from each other and from plain text.
    for (const QColor& c : {type, keyword, comment, string})
        EXPECT_NE(c, plain);
    EXPECT_NE(keyword, comment);
    EXPECT_NE(comment, string);
    EXPECT_NE(keyword, string);
    EXPECT_TRUE(cellsShow(image, ctl, 0, 0, 3, type));
    EXPECT_TRUE(cellsShow(image, ctl, 3, 4, 6, keyword));
    EXPECT_TRUE(cellsShow(image, ctl, 1, 4, 18, comment)); // the comment
    EXPECT_TRUE(cellsShow(image, ctl, 2, 9, 7, string));   // "hello"
    EXPECT_TRUE(cellsShow(image, ctl, 2, 4, 4, plain));    // puts
    // An identifier shows none of the token colours.
    EXPECT_FALSE(cellsShow(image, ctl, 2, 4, 4, keyword));
    EXPECT_FALSE(cellsShow(image, ctl, 2, 4, 4, string));
    EXPECT_FALSE(cellsShow(image, ctl, 2, 4, 4, comment));
    // Background, gutter and margin.
    EXPECT_EQ(QColor(image.pixel(ctl.LeftRefPoint() + 60 * ctl.CellWidth(), 4 * ctl.GetLineHeight() + 3)),
              QColor(Qt::white));
    EXPECT_NE(QColor(image.pixel(5, 3)), QColor(Qt::white));
}

TEST(EditorWidget, ScrollBarsAndTheWheelMoveTheCoreAndIdleTimeStylesTheRest) {
    app();
    WidgetFixture f;
    f.widget.control().SyncMarginRows = 2;
    std::string text = "/*\n";
    for (int i = 0; i < 3000; ++i)
        text += "int value" + std::to_string(i) + " = " + std::to_string(i) + ";\n";
    f.widget.control().SetText(text);
    f.widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f.widget));
    f.settle();
    TRudivoVoru& ctl = f.widget.control();
    // The whole text became comment in idle time.
    EXPECT_FALSE(ctl.StylingPending());
    const TLine* last = ctl.TextStore().LineFromLineIndex(2999).line;
    ASSERT_NE(last->Styles(), nullptr);
    EXPECT_EQ(last->Styles()[0], ctl.TextStore().Buffer()->Styles()[0]);
    EXPECT_EQ(colourOf(ctl, 2999, 0), colourOf(ctl, 0, 0));
    QScrollBar* bar = f.widget.verticalScrollBar();
    EXPECT_EQ(bar->maximum(), 3001 - ctl.VisibleRows() + 1);
    bar->setValue(500);
    EXPECT_EQ(ctl.TopLine(), 500);
    QWheelEvent down(QPointF(50, 50), f.widget.mapToGlobal(QPoint(50, 50)), QPoint(), QPoint(0, -120),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.widget.viewport(), &down);
    EXPECT_EQ(ctl.TopLine(), 500 + QApplication::wheelScrollLines());
    EXPECT_EQ(bar->value(), ctl.TopLine());
}
