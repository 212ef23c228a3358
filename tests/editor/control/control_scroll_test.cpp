// Scrolling: the scroll bars and their scale factor, scroll messages, the
// wheel, keeping the caret in view in steps of 8 columns, and scrolling
// while a drag leaves the text.

#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

std::string numberedRows(int n) {
    std::string text;
    for (int i = 0; i < n; ++i)
        text += "row " + std::to_string(i) + "\r";
    return text;
}

} // namespace

TEST(ControlScrollBars, LongTextsScaleTheVerticalBarBelow32000) {
    ControlFixture f(640, 360); // 20 rows
    f.ctl.SetText(numberedRows(100000));
    f.ctl.NewScrollPos(0, 400, false, true);
    EXPECT_EQ(f.ctl.ScaleFactor(), 4);
    EXPECT_EQ(f.host.vertical.max, 25000);
    EXPECT_EQ(f.host.vertical.page, 5);
    EXPECT_EQ(f.host.vertical.position, 100);
    // The thumb position maps back times the scale factor.
    f.ctl.perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 1000));
    EXPECT_EQ(f.ctl.TopLine(), 4000);
    EXPECT_EQ(f.ctl.TopRow(), f.ctl.TextStore().LineFromLineIndex(4000).line);
}

TEST(ControlScrollBars, HorizontalRangeIsTheLongestRowUnlessWordWrapIsOn) {
    ControlFixture f(36 + 80, 360); // 10 columns
    f.ctl.SetText("short\r" + std::string(50, 'x'));
    f.ctl.UpdateScrollBars();
    EXPECT_EQ(f.host.horizontal.max, 50);
    EXPECT_EQ(f.host.horizontal.page, 10);
    f.ctl.SetWordWrap(true);
    EXPECT_EQ(f.host.horizontal.max, 0);
}

TEST(ControlScrolling, MessagesMoveTheViewAndAreClampedToTheText) {
    ControlFixture f(640, 180); // 10 rows
    f.ctl.SetText(numberedRows(100));
    std::vector<std::uint32_t> reasons;
    f.ctl.OnChange = [&](TCustomRudivoVoru& c) { reasons.push_back(c.ChangeReasons()); };
    f.ctl.perform(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(f.ctl.TopLine(), 1);
    ASSERT_FALSE(reasons.empty());
    EXPECT_TRUE(reasons.back() & crScrolled);
    f.ctl.perform(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(f.ctl.TopLine(), 11);
    f.ctl.perform(WM_VSCROLL, SB_PAGEUP);
    f.ctl.perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(f.ctl.TopLine(), 0);
    f.ctl.perform(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(f.ctl.TopLine(), 0);
    f.ctl.perform(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(f.ctl.TopLine(), 90);
    f.ctl.perform(EM_LINESCROLL, 3, 500);
    EXPECT_EQ(f.ctl.TopLine(), 99);
    EXPECT_EQ(f.ctl.LeftColumn(), 3);
    EXPECT_EQ(f.ctl.perform(EM_GETFIRSTVISIBLELINE), 99);
    f.ctl.perform(SMM_TOPLINE, kSmmSet, 5);
    EXPECT_EQ(f.ctl.perform(SMM_TOPLINE), 5);
    f.ctl.perform(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(f.ctl.perform(SMM_LEFTCOLUMN), 4);
    f.ctl.perform(WM_HSCROLL, SB_TOP);
    EXPECT_EQ(f.ctl.LeftColumn(), 0);
    f.ctl.NewScrollPos(-5, -5, false, false);
    EXPECT_EQ(f.ctl.TopLine(), 0);
    EXPECT_EQ(f.ctl.LeftColumn(), 0);
}

TEST(ControlScrolling, TheWheelScrollsByItsLinesUnlessAHandlerTakesIt) {
    ControlFixture f(640, 180);
    f.ctl.SetText(numberedRows(100));
    f.ctl.ViewWheel({0, 0, 3, 0, 0});
    EXPECT_EQ(f.ctl.TopLine(), 3);
    f.ctl.ViewWheel({0, 0, -1, 0, 0});
    EXPECT_EQ(f.ctl.TopLine(), 2);
    int taken = 0;
    f.ctl.OnMouseWheelDown = [&](TCustomRudivoVoru&, std::uint32_t, int, int) {
        ++taken;
        return true;
    };
    f.ctl.ViewWheel({0, 0, 3, 0, 0});
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(f.ctl.TopLine(), 2);
}

TEST(ControlCaretInView, TypingPastTheRightEdgeScrollsEightColumnsAtOnce) {
    ControlFixture f(36 + 20 * 8, 180); // 20 columns
    f.ctl.SetText(std::string(19, 'a'));
    f.ctl.SetSelection({19, 19});
    EXPECT_EQ(f.ctl.LeftColumn(), 0);
    f.ctl.DoReplaceSel("b"); // caret at column 20
    EXPECT_EQ(f.ctl.LeftColumn(), 8);
    for (int i = 0; i < 7; ++i)
        f.ctl.DoReplaceSel("c"); // up to column 27
    EXPECT_EQ(f.ctl.LeftColumn(), 8);
    f.ctl.DoReplaceSel("d");
    EXPECT_EQ(f.ctl.LeftColumn(), 16);
    // Back to the start: in steps of 8, down to 0.
    f.ctl.SetSelection({3, 3});
    EXPECT_EQ(f.ctl.LeftColumn(), 0);
}

TEST(ControlCaretInView, ACaretBelowTheScreenBecomesItsLastRow) {
    ControlFixture f(640, 180); // 10 rows
    f.ctl.SetText(numberedRows(50));
    const std::int32_t row30 = f.ctl.TextStore().LineFromLineIndex(30).start;
    f.ctl.SetSelection({row30, row30});
    EXPECT_EQ(f.ctl.TopLine(), 21);
    f.ctl.SetSelection({0, 0});
    EXPECT_EQ(f.ctl.TopLine(), 0);
}

TEST(ControlCaretInView, InWordWrapModeTheViewReturnsToColumnZero) {
    ControlFixture f(36 + 20 * 8, 180);
    f.ctl.SetText(std::string(40, 'a'));
    f.ctl.SetSelection({40, 40});
    EXPECT_GT(f.ctl.LeftColumn(), 0);
    f.ctl.SetWordWrap(true);
    f.ctl.SetSelection({5, 5});
    EXPECT_EQ(f.ctl.LeftColumn(), 0);
}

TEST(ControlAutoScroll, ADragBelowTheTextScrollsAndExtendsTheSelection) {
    ControlFixture f(640, 180);
    f.ctl.SetText(numberedRows(50));
    f.ctl.ViewFocus(true);
    f.ctl.MouseDown({36 + 8, 2, MouseButton::Left, ssLeft});
    EXPECT_EQ(f.ctl.GetSelection(), (TChRange{1, 1}));
    f.ctl.MouseMove({36 + 8, 400, MouseButton::None, ssLeft});
    EXPECT_EQ(f.host.autoScrollStarts, 1);
    EXPECT_TRUE(f.ctl.AutoScrollStep(36 + 8, 400, true));
    EXPECT_TRUE(f.ctl.AutoScrollStep(36 + 8, 400, true));
    EXPECT_EQ(f.ctl.TopLine(), 2);
    // The caret follows to the bottom row on screen.
    const TTextStore::LineInfo bottom = f.ctl.TextStore().InfoFromIndex(f.ctl.GetSelection().chEnd);
    EXPECT_EQ(bottom.index, 2 + 9);
    EXPECT_EQ(f.ctl.GetSelection().chStart, 1);
    // Back inside, or the button released: the loop ends.
    EXPECT_FALSE(f.ctl.AutoScrollStep(100, 50, true));
    EXPECT_FALSE(f.ctl.AutoScrollStep(36 + 8, 400, false));
    f.ctl.MouseUp({36 + 8, 400, MouseButton::Left, 0});
    EXPECT_FALSE(f.ctl.AutoScrollStep(36 + 8, 400, true));
}

TEST(ControlGutterClick, AClickInTheGutterReportsItsLine) {
    ControlFixture f(640, 180);
    f.ctl.SetText(numberedRows(5));
    std::int32_t clicked = 0;
    f.ctl.OnGutterClick = [&](TCustomRudivoVoru&, std::int32_t line) { clicked = line; };
    f.ctl.MouseDown({10, 18 * 2 + 3, MouseButton::Left, ssLeft});
    EXPECT_EQ(clicked, 3);
    EXPECT_EQ(f.ctl.GetSelection(), (TChRange{0, 0}));
}

TEST(ControlPaintRequests, EditsAskTheWindowToRepaintOnlyTheRowsInvolved) {
    ControlFixture f(640, 180);
    f.ctl.SetText(numberedRows(20));
    f.paint();
    f.host.invalidated.clear();
    const std::int32_t at = f.ctl.TextStore().LineFromLineIndex(3).start + 1;
    f.ctl.SetSelection({at, at});
    f.host.invalidated.clear();
    f.ctl.DoReplaceSel("z");
    ASSERT_FALSE(f.host.invalidated.empty());
    EXPECT_EQ(f.host.invalidated.back(), (CanvasRect{0, 54, 640, 72}));
    // The window's paint draws them and the caret follows.
    f.ctl.ViewFocus(true);
    f.paint();
    EXPECT_TRUE(f.host.caretShown);
    EXPECT_EQ(f.host.caret, (CanvasRect{36 + 16, 54, 36 + 18, 72}));
}

TEST(ControlScrollBars, APageOfFewerRowsThanTheScreenWhenEverythingFits) {
    ControlFixture f(640, 180); // 10 rows
    f.ctl.SetText(numberedRows(6));
    f.ctl.NewScrollPos(0, 2, false, true);
    EXPECT_EQ(f.host.vertical.max, 6);
    EXPECT_EQ(f.host.vertical.page, 4);
    EXPECT_EQ(f.host.vertical.position, 2);
    f.ctl.SetScrollBars(ssNone);
    EXPECT_EQ(f.host.vertical.max, 0);
    EXPECT_EQ(f.host.horizontal.max, 0);
}

TEST(ControlScrolling, RedrawOffHoldsBackPaintingAndScrollBarsUntilSwitchedOn) {
    ControlFixture f(640, 180);
    f.ctl.SetText(numberedRows(30));
    f.ctl.perform(WM_SETREDRAW, 0);
    f.host.invalidated.clear();
    f.host.vertical = {};
    f.ctl.NewScrollPos(0, 5, false, true);
    EXPECT_TRUE(f.host.invalidated.empty());
    EXPECT_FALSE(f.host.vertical.set);
    f.ctl.perform(WM_SETREDRAW, 1);
    EXPECT_FALSE(f.host.invalidated.empty());
    EXPECT_EQ(f.host.vertical.position, 5);
}

TEST(ControlSharedStore, RowsDeletedThroughOneControlLeaveTheOtherNoFreedTopRow) {
    ControlFixture a(640, 180);
    ControlFixture b(640, 180);
    a.ctl.SetText(numberedRows(40));
    b.ctl.SetTextStore(&a.ctl.TextStore());
    b.ctl.NewScrollPos(0, 20, false, false);
    const std::int32_t row20 = a.ctl.TextStore().LineFromLineIndex(20).start;
    EXPECT_EQ(b.ctl.TopRowStart(), row20);
    // Rows above b's top row go.
    a.ctl.SetSelection({0, a.ctl.TextStore().LineFromLineIndex(5).start});
    b.host.invalidated.clear();
    a.ctl.DoReplaceSel("");
    EXPECT_FALSE(b.host.invalidated.empty());
    EXPECT_EQ(b.ctl.TopRow(), b.ctl.TextStore().InfoFromIndex(b.ctl.TopRowStart()).line);
    const auto texts = textCalls(b.paint());
    ASSERT_FALSE(texts.empty());
    b.ctl.SetTextStore(nullptr);
}
