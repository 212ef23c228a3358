// The editor widget on screen (offscreen platform): a C++ file in syntax
// colours, checked on the widget's pixels, and the widget driving the core's
// scrolling and idle styling.

#include "gui/editor_widget.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/gui/painted_colours.h"
#include "tests/gui/test_application.h"
#include "tests/support/built_in_cpp_parser.h"
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

struct WidgetFixture {
    std::unique_ptr<TRudivoVoruParser> parser = builtInCppParser();
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
    ASSERT_TRUE(last->IsStyled());
    EXPECT_EQ(last->StyleAt(0), ctl.TextStore().Buffer()->StyleAt(0));
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
