// The editor widget on screen (offscreen platform): a C++ file in syntax
// colours, checked on the widget's pixels, and the widget driving the core's
// scrolling and idle styling.

#include "editor/memory_stream.h"
#include "gui/editor_widget.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "tests/support/c_like_script.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
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

std::unique_ptr<TRudivoVoruParser> cLikeParser() {
    auto parser = std::make_unique<TRudivoVoruParser>();
    TMemoryStream script(kCLikeScript);
    CompileFromStream(*parser, script);
    return parser;
}

// Whether some pixel of the cells [column, column + count) of `row` has
// exactly `color`.
bool cellsHold(const QImage& image, const TRudivoVoru& ctl, int row, int column, int count, QColor color) {
    const int x0 = ctl.LeftRefPoint() + column * ctl.CellWidth();
    const int y0 = row * ctl.GetLineHeight();
    for (int y = y0; y < y0 + ctl.GetLineHeight() && y < image.height(); ++y)
        for (int x = x0; x < x0 + count * ctl.CellWidth() && x < image.width(); ++x)
            if (QColor(image.pixel(x, y)) == color)
                return true;
    return false;
}

struct WidgetFixture {
    std::unique_ptr<TRudivoVoruParser> parser = cLikeParser();
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
    const QColor keyword(0, 0, 255);
    const QColor comment(0, 128, 0);
    const QColor string(128, 0, 0);
    EXPECT_TRUE(cellsHold(image, ctl, 0, 0, 3, keyword));  // int
    EXPECT_TRUE(cellsHold(image, ctl, 3, 4, 6, keyword));  // return
    EXPECT_TRUE(cellsHold(image, ctl, 1, 4, 18, comment)); // the comment
    EXPECT_TRUE(cellsHold(image, ctl, 2, 9, 7, string));   // "hello"
    // An identifier is drawn in the default colour only.
    EXPECT_FALSE(cellsHold(image, ctl, 0, 4, 4, keyword));
    EXPECT_FALSE(cellsHold(image, ctl, 2, 4, 4, string));
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
    EXPECT_EQ(last->Styles()[0], kCBlockComment);
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
