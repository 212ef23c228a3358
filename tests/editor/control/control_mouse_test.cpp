// The mouse on the control: clicks place the caret, drags select, double
// and triple clicks select a word and a row, Shift extends, the gutter
// reports its line, the margin strip selects a row, a press inside the
// selection waits for a drag, the right margin can be dragged, and
// hyperlink styles report their text.

#include "editor/settings/editor_settings.h"
#include "tests/editor/control/control_edit_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

constexpr int kLeft = 36;
constexpr int kCell = 8;
constexpr int kLine = 18;

struct Mouse : ControlFixture {
    std::int64_t now = 100000;
    explicit Mouse(const std::string& text) { ctl.SetText(text); }
    // The point of character `column` of row `row` (its left half).
    static int x(int column) { return kLeft + column * kCell + 1; }
    static int y(int row) { return row * kLine + 5; }
    void down(int px, int py, TShiftState shift = 0, std::int64_t after = 1000) {
        now += after;
        ctl.MouseDown({px, py, MouseButton::Left, shift | ssLeft, now});
    }
    void move(int px, int py, bool held = true) {
        ctl.MouseMove({px, py, MouseButton::None, held ? ssLeft : 0u, now});
    }
    void up(int px, int py) { ctl.MouseUp({px, py, MouseButton::Left, 0, now}); }
    void click(int px, int py, TShiftState shift = 0, std::int64_t after = 1000) {
        down(px, py, shift, after);
        up(px, py);
    }
};

TEST(ControlMouse, AClickPlacesTheCaretAndADragSelects) {
    Mouse m("hello world\rsecond");
    m.click(Mouse::x(3), Mouse::y(0));
    EXPECT_EQ(sel(m.ctl), (TChRange{3, 3}));
    m.down(Mouse::x(2), Mouse::y(0));
    m.move(Mouse::x(4), Mouse::y(1));
    EXPECT_EQ(sel(m.ctl), (TChRange{2, 16}));
    m.up(Mouse::x(4), Mouse::y(1));
    m.move(Mouse::x(0), Mouse::y(0), false); // no button: no selection change
    EXPECT_EQ(sel(m.ctl), (TChRange{2, 16}));
    // Past the end of a row: its end.
    m.click(Mouse::x(40), Mouse::y(0));
    EXPECT_EQ(sel(m.ctl), (TChRange{11, 11}));
    // Leaving the text while dragging starts scrolling.
    m.down(Mouse::x(1), Mouse::y(0));
    m.move(Mouse::x(1), -5);
    EXPECT_EQ(m.host.autoScrollStarts, 1);
    m.up(Mouse::x(1), -5);
}

TEST(ControlMouse, ShiftClickMovesTheNearerEndOfTheOrderedSelection) {
    Mouse m("abcdefghij");
    m.ctl.SetSelection({6, 3});
    m.click(Mouse::x(1), Mouse::y(0), ssShift);
    EXPECT_EQ(sel(m.ctl), (TChRange{1, 6}));
    m.click(Mouse::x(8), Mouse::y(0), ssShift);
    EXPECT_EQ(sel(m.ctl), (TChRange{1, 8}));
}

TEST(ControlMouse, DoubleAndTripleClicksSelectAWordAndARow) {
    Mouse m("one two three\rnext");
    m.click(Mouse::x(5), Mouse::y(0));
    m.click(Mouse::x(5), Mouse::y(0), 0, 100);
    EXPECT_EQ(sel(m.ctl), (TChRange{4, 7}));
    m.click(Mouse::x(5), Mouse::y(0), 0, 100);
    EXPECT_EQ(sel(m.ctl), (TChRange{0, 14})); // the row with its line end
    // Slow clicks are single clicks.
    m.click(Mouse::x(5), Mouse::y(0), 0, 5000);
    m.click(Mouse::x(9), Mouse::y(0), 0, 600);
    EXPECT_EQ(sel(m.ctl), (TChRange{9, 9}));
    // A handler takes the triple click instead.
    int triples = 0;
    m.ctl.OnTripleClick = [&](TCustomRudivoVoru&, int, int, std::int32_t index) {
        ++triples;
        EXPECT_EQ(index, 16);
    };
    m.click(Mouse::x(2), Mouse::y(1), 0, 5000);
    m.click(Mouse::x(2), Mouse::y(1), 0, 100);
    m.click(Mouse::x(2), Mouse::y(1), 0, 100);
    EXPECT_EQ(triples, 1);
    EXPECT_EQ(sel(m.ctl), (TChRange{14, 18}));
    // Without word select a double click only places the caret.
    m.ctl.SetOptions(m.ctl.GetOptions() & ~smoWordSelect);
    m.click(Mouse::x(5), Mouse::y(0), 0, 5000);
    m.click(Mouse::x(5), Mouse::y(0), 0, 100);
    EXPECT_EQ(sel(m.ctl), (TChRange{5, 5}));
}

TEST(ControlMouse, TheGutterReportsItsLineAndTheMarginStripSelectsTheRow) {
    Mouse m("one\rtwo\rthree");
    std::vector<std::int32_t> lines;
    m.ctl.OnGutterClick = [&](TCustomRudivoVoru&, std::int32_t line) { lines.push_back(line); };
    m.ctl.SetSelection({1, 1});
    m.click(10, Mouse::y(1));
    EXPECT_EQ(lines, (std::vector<std::int32_t>{2}));
    EXPECT_EQ(sel(m.ctl), (TChRange{1, 1})); // the caret does not move
    m.click(kLeft - 1, Mouse::y(2));
    EXPECT_EQ(sel(m.ctl), (TChRange{8, 13}));
    // With word wrap the gutter reports the line's first row.
    m.ctl.ViewResize(kLeft + 10 * kCell + 20, 300);
    m.ctl.SetWrapColumn(10);
    m.ctl.SetWordWrap(true);
    m.ctl.SetText("aaaa bbbb cccc dddd\rx");
    ASSERT_GE(m.ctl.TextStore().NumLines(), 3);
    lines.clear();
    m.click(10, Mouse::y(1));
    EXPECT_EQ(lines, (std::vector<std::int32_t>{1}));
}

TEST(ControlMouse, APressInsideTheSelectionWaitsForADrag) {
    Mouse m("abcdefghij");
    m.ctl.SetSelection({2, 8});
    m.down(Mouse::x(4), Mouse::y(0));
    EXPECT_EQ(sel(m.ctl), (TChRange{2, 8}));
    m.up(Mouse::x(4), Mouse::y(0)); // no drag: the caret goes there
    EXPECT_EQ(sel(m.ctl), (TChRange{4, 4}));
    m.ctl.SetSelection({2, 8});
    m.down(Mouse::x(4), Mouse::y(0));
    m.move(Mouse::x(4) + 1, Mouse::y(0)); // within the drag distance
    EXPECT_EQ(sel(m.ctl), (TChRange{2, 8}));
    m.move(Mouse::x(9), Mouse::y(0)); // no drag layer took it: it selects
    EXPECT_EQ(sel(m.ctl), (TChRange{4, 9}));
    m.up(Mouse::x(9), Mouse::y(0));
}

TEST(ControlMouse, TheRightMarginCanBeDraggedToAnotherColumn) {
    Mouse m("short");
    ASSERT_EQ(m.ctl.GetRightMargin(), 80);
    m.ctl.SetRightMargin(20);
    struct ShapeHost : RecordingHost {
        PointerShape shape = PointerShape::Text;
        void setPointerShape(PointerShape s) override { shape = s; }
    } host;
    m.ctl.SetHost(&host);
    const int marginX = kLeft + 20 * kCell;
    m.move(marginX + 1, Mouse::y(0), false);
    EXPECT_EQ(host.shape, PointerShape::ColumnSizing);
    m.move(marginX + 20, Mouse::y(0), false);
    EXPECT_EQ(host.shape, PointerShape::Text);
    m.down(marginX, Mouse::y(0));
    m.move(kLeft + 30 * kCell, Mouse::y(0));
    m.up(kLeft + 30 * kCell, Mouse::y(0));
    EXPECT_EQ(m.ctl.GetRightMargin(), 30);
    EXPECT_EQ(sel(m.ctl), (TChRange{0, 0}));
    m.ctl.SetHost(&m.host);
}

TEST(ControlMouse, AHyperlinkStyleReportsItsTextWhenClicked) {
    Mouse m("see http://x.org now");
    TFormatEntry link;
    link.InUse = 1;
    link.HotSpot = 1;
    m.ctl.SetFormatEntry(9, link);
    m.ctl.SetMapEntry(9, 9);
    std::uint8_t styles[20] = {0};
    for (int i = 4; i < 16; ++i)
        styles[i] = 9;
    TSMStyleBlock block{0, 1, styles, 20};
    m.ctl.perform(SMM_SETSTYLES, 0, reinterpret_cast<std::intptr_t>(&block));
    int hovers = 0;
    std::string clicked;
    m.ctl.OnHyperlinkHover = [&](TCustomRudivoVoru&) { ++hovers; };
    m.ctl.OnHyperlinkClick = [&](TCustomRudivoVoru&, const std::string& text, int style) {
        clicked = text;
        EXPECT_EQ(style, 9);
    };
    m.move(Mouse::x(6), Mouse::y(0), false);
    EXPECT_EQ(hovers, 1);
    m.click(Mouse::x(6), Mouse::y(0));
    EXPECT_EQ(clicked, "http://x.org");
    EXPECT_EQ(sel(m.ctl), (TChRange{6, 6}));
    // Off the link a click is a click.
    clicked.clear();
    m.move(Mouse::x(1), Mouse::y(0), false);
    m.click(Mouse::x(1), Mouse::y(0));
    EXPECT_TRUE(clicked.empty());
}

} // namespace
