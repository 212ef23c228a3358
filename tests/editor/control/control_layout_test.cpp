// The control's screen: metrics, gutter, margin and text geometry, token
// runs in their colours, the selection, gutter glyphs and line numbers, and
// the painter's bounds on wide windows, drawn on a recording canvas.

#include "editor/marks/code_break.h"
#include "editor/support/rudivo_voru_error.h"
#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

// Character 8 x 16, line height 18; gutter 34 and margin 2 put column 0 at
// x = 36.
constexpr int kLine = 18;
constexpr int kLeft = 36;

struct Painted : ControlFixture {
    TestParser parser;
    explicit Painted(int width = 800, int height = 360) : ControlFixture(width, height) {
        giveColours(parser.settings);
        ctl.SetParser1(&parser);
    }
    ~Painted() { ctl.SetParser1(nullptr); }
};

} // namespace

TEST(ControlMetrics, FixedPitchFontGivesCellsAndLineHeightWithLeading) {
    ControlFixture f(640, 360);
    EXPECT_TRUE(f.ctl.FixedPitch());
    EXPECT_EQ(f.ctl.CellWidth(), 8);
    EXPECT_EQ(f.ctl.CharWidth(), 8);
    EXPECT_EQ(f.ctl.GetLineHeight(), 16 + 1 + 1);
    EXPECT_EQ(f.ctl.LeftRefPoint(), 36);
    EXPECT_EQ(f.ctl.VisibleColumns(), (640 - 36) / 8);
    EXPECT_EQ(f.ctl.VisibleRows(), 360 / 18);
    // Metrics are taken in bold italic, then the cell in the regular form.
    const auto& fonts = f.host.canvas.fontsSelected();
    ASSERT_GE(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].weight, 700);
    EXPECT_TRUE(fonts[0].italic);
    EXPECT_EQ(fonts[1].weight, 400);
    EXPECT_EQ(fonts[0].name, "Courier New");
    EXPECT_EQ(fonts[0].height, -13);
}

TEST(ControlMetrics, ProportionalFontUsesMeasuredRunsAndNoCellTable) {
    ProportionalFixture f;
    TRudivoVoru& ctl = f.ctl;
    EXPECT_FALSE(ctl.FixedPitch());
    EXPECT_EQ(ctl.CellWidth(), 8);
    ctl.SetText("iiW");
    f.host.proportional.clearCalls();
    ctl.PaintTo(f.host.proportional, {0, 0, 640, 360});
    // One run, measured: 3 + 3 + 8 pixels, drawn without cell widths.
    EXPECT_TRUE(hasCall(f.host.proportional.calls(), "text 36,0 [36,0,50,18] opaque 'iiW' 00000000/00FFFFFF"));
    EXPECT_EQ(ctl.ColumnToXCoord(2, ctl.TopRow()), 36 + 6);
    EXPECT_EQ(ctl.XCoordToColumn(36 + 4, ctl.TopRow()), 1);
    EXPECT_EQ(ctl.XCoordToColumn(36 + 1, ctl.TopRow()), 0);
}

TEST(ControlMetrics, WithoutWindowTheFallbackMetricsAndEightyByForty) {
    TRudivoVoru ctl;
    EXPECT_EQ(ctl.CharWidth(), 7);
    EXPECT_EQ(ctl.TextHeight(), 17);
    EXPECT_FALSE(ctl.FixedPitch());
    EXPECT_EQ(ctl.VisibleColumns(), 80);
    EXPECT_EQ(ctl.VisibleRows(), 40);
}

TEST(ControlGeometry, GutterMarginAndTextAreaOfARow) {
    ControlFixture f(800, 36);
    f.ctl.SetText("int x;\r");
    const auto& calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "fill [0,0,34,18] 8000000F"));
    EXPECT_TRUE(hasCall(calls, "line 32,0 32,18 00FFFFFF"));
    EXPECT_TRUE(hasCall(calls, "fill [34,0,36,18] 00FFFFFF"));
    // The carriage return takes its cell but is not drawn.
    EXPECT_TRUE(hasCall(calls, "text 36,0 [36,0,92,18] opaque cells 'int x;' 00000000/00FFFFFF"));
    EXPECT_TRUE(hasCall(calls, "fill [92,0,800,18] 00FFFFFF"));
    // Right margin at column 80.
    EXPECT_TRUE(hasCall(calls, "line 676,0 676,18 00C0C0C0"));
    // The row past the end: empty gutter, margin, background.
    EXPECT_TRUE(hasCall(calls, "fill [0,18,34,36] 8000000F"));
    EXPECT_TRUE(hasCall(calls, "fill [36,18,800,36] 00FFFFFF"));
}

TEST(ControlGeometry, GutterWidthRulesAndZeroGutterMovesTextToTheMargin) {
    ControlFixture f(640, 36);
    f.ctl.SetText("ab");
    f.ctl.SetGutter(20);
    EXPECT_EQ(f.ctl.GetGutter(), 34);
    f.ctl.SetGutter(-1);
    EXPECT_EQ(f.ctl.GetGutter(), 34);
    f.ctl.SetGutter(129); // above 20 % of 640
    EXPECT_EQ(f.ctl.GetGutter(), 34);
    f.ctl.SetGutter(128);
    EXPECT_EQ(f.ctl.GetGutter(), 128);
    f.ctl.SetGutter(0);
    EXPECT_EQ(f.ctl.GetGutter(), 0);
    EXPECT_EQ(f.ctl.LeftRefPoint(), 2);
    const auto& calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "text 2,0 [2,0,18,18] opaque cells 'ab' 00000000/00FFFFFF"));
    EXPECT_FALSE(hasCallStarting(calls, "fill [0,0,0,"));
    // A margin wider than a character is refused.
    f.ctl.SetMargin(9);
    EXPECT_EQ(f.ctl.GetMargin(), 2);
    f.ctl.SetMargin(8);
    EXPECT_EQ(f.ctl.GetMargin(), 8);
}

TEST(ControlGeometry, GutterOfAControlWithoutWidthStays) {
    TRudivoVoru ctl;
    ctl.SetGutter(50);
    EXPECT_EQ(ctl.GetGutter(), 34);
}

TEST(ControlPainting, TokenRunsTakeTheirStylesFontsAndColours) {
    Painted f(800, 18);
    f.ctl.SetText("int x; // hi\r");
    const auto calls = f.paint();
    const auto texts = textCalls(calls);
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(texts[0], "text 36,0 [36,0,60,18] opaque cells 'int' 00FF0000/00FFFFFF");
    EXPECT_EQ(texts[1], "text 60,0 [60,0,68,18] opaque cells ' ' 00000000/00FFFFFF");
    EXPECT_EQ(texts[2], "text 68,0 [68,0,76,18] opaque cells 'x' 00000000/00FFFFFF");
    EXPECT_EQ(texts[3], "text 76,0 [76,0,92,18] opaque cells '; ' 00000000/00FFFFFF");
    EXPECT_EQ(texts[4], "text 92,0 [92,0,132,18] opaque cells '// hi' 00008000/00FFFFFF");
    // Fonts follow the formats: bold for the keyword, italic for the comment.
    std::vector<std::string> fonts;
    for (const auto& c : calls)
        if (c.rfind("font ", 0) == 0)
            fonts.push_back(c);
    EXPECT_TRUE(hasCall(fonts, "font 'Courier New' -13 bold"));
    EXPECT_TRUE(hasCall(fonts, "font 'Courier New' -13 italic"));
}

TEST(ControlPainting, SyntaxHighlightOffDrawsEverythingInFormatZero) {
    Painted f(800, 18);
    f.ctl.SetText("int x;");
    f.ctl.SetOptions(f.ctl.GetOptions() & ~smoSyntaxHighlight);
    const auto texts = textCalls(f.paint());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], "text 36,0 [36,0,84,18] opaque cells 'int x;' 00000000/00FFFFFF");
}

TEST(ControlPainting, SelectionIsDrawnInItsColoursOnlyWithFocusUnlessShownAlways) {
    Painted f(800, 18);
    f.ctl.SetText("int x;\r");
    f.ctl.SetSelTextColor(clWhite);
    f.ctl.SetSelTextBack(clNavy);
    f.ctl.SetSelection({1, 5});
    // Without the focus and with HideSelection the selection is hidden.
    auto texts = textCalls(f.paint());
    EXPECT_EQ(texts[0], "text 36,0 [36,0,60,18] opaque cells 'int' 00FF0000/00FFFFFF");
    f.ctl.ViewFocus(true);
    texts = textCalls(f.paint());
    ASSERT_GE(texts.size(), 5u);
    EXPECT_EQ(texts[0], "text 36,0 [36,0,44,18] opaque cells 'i' 00FF0000/00FFFFFF");
    EXPECT_EQ(texts[1], "text 44,0 [44,0,60,18] opaque cells 'nt' 00FFFFFF/00800000");
    EXPECT_EQ(texts[2], "text 60,0 [60,0,68,18] opaque cells ' ' 00FFFFFF/00800000");
    EXPECT_EQ(texts[3], "text 68,0 [68,0,76,18] opaque cells 'x' 00FFFFFF/00800000");
    EXPECT_EQ(texts[4], "text 76,0 [76,0,92,18] opaque cells ';' 00000000/00FFFFFF");
    f.ctl.ViewFocus(false);
    f.ctl.SetHideSelection(false);
    texts = textCalls(f.paint());
    EXPECT_EQ(texts[1], "text 44,0 [44,0,60,18] opaque cells 'nt' 00FFFFFF/00800000");
}

TEST(ControlPainting, SelectionRunningPastTheRowEndFillsTheRestInSelectionColour) {
    Painted f(800, 36);
    f.ctl.SetText("ab\rcd");
    f.ctl.SetSelTextBack(clNavy);
    f.ctl.SetHideSelection(false);
    f.ctl.SetSelection({1, 4});
    const auto& calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "fill [60,0,800,18] 00800000"));
    // The second row's selection ends inside it: the rest is plain.
    EXPECT_TRUE(hasCall(calls, "fill [52,18,800,36] 00FFFFFF"));
}

TEST(ControlPainting, OnlyRowsCarryingRepaintOrChangedBitsAreDrawn) {
    Painted f(800, 54);
    f.ctl.SetText("a\rb\rc");
    f.paint();
    // Nothing flagged: DoPaint draws no row.
    f.host.canvas.clearCalls();
    TRenderData rd;
    rd.Rect = {0, 0, 800, 54};
    rd.canvas = &f.host.canvas;
    f.ctl.DoPaint(rd);
    EXPECT_TRUE(textCalls(f.host.canvas.calls()).empty());
    f.ctl.TextStore().Next(f.ctl.TextStore().Buffer())->AddFlags(lfRepaint);
    f.host.canvas.clearCalls();
    f.ctl.DoPaint(rd);
    const auto texts = textCalls(f.host.canvas.calls());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("'b'"), std::string::npos);
}

TEST(ControlPainting, RunsLongerThanTheCellTableAreDrawnInPieces) {
    ControlFixture f(36 + 1000 * 8, 18);
    f.ctl.SetText(std::string(1000, 'a'));
    const auto texts = textCalls(f.paint());
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].rfind("text 36,0 [36,0,2444,18] opaque cells '", 0), 0u);
    EXPECT_NE(texts[0].find("'" + std::string(301, 'a') + "'"), std::string::npos);
    EXPECT_EQ(texts[3].rfind("text 7260,0 [7260,0,8036,18] opaque cells '", 0), 0u);
    EXPECT_NE(texts[3].find("'" + std::string(97, 'a') + "'"), std::string::npos);
}

TEST(ControlPainting, AtTheRightEdgeOnlyOneAndAHalfScreensOfCharactersAreDrawn) {
    ControlFixture f(36 + 160, 18); // 20 columns
    f.ctl.SetText(std::string(100, 'a'));
    const auto texts = textCalls(f.paint());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("'" + std::string(30, 'a') + "'"), std::string::npos);
    EXPECT_NE(texts[0].find("[36,0,196,18]"), std::string::npos);
}

TEST(ControlPainting, TabsAreExpandedToTheDefaultWidthAndTabColumns) {
    ControlFixture f(800, 18);
    f.ctl.SetText("\tx\ty");
    auto texts = textCalls(f.paint());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("'    x   y'"), std::string::npos);
    f.ctl.SetTabColumns("3 9");
    texts = textCalls(f.paint());
    EXPECT_NE(texts[0].find("'  x     y'"), std::string::npos);
}

TEST(ControlPainting, ShowAllCharactersMarksBlanksAndLineEnds) {
    ControlFixture f(800, 18);
    f.ctl.SetText("a b\r");
    f.ctl.SetOptions(f.ctl.GetOptions() | smoShowAllChars);
    const auto& calls = f.paint();
    // A raised dot over the blank, the paragraph mark at the line end.
    EXPECT_TRUE(hasCallStarting(calls, "text 44,-4 [44,0,52,18] '.'"));
    EXPECT_TRUE(hasCallStarting(calls, "text 60,0 [60,0,68,18] '\xB6'"));
}

TEST(ControlPainting, CustomMarksGetTheSpellingZigzagOrTheirHandler) {
    ControlFixture f(800, 18);
    f.ctl.SetText("hello world");
    f.ctl.TextStore().SetObjectList(std::make_unique<TMarkList>());
    TMark* mark = f.ctl.TextStore().ObjectList()->AddMark(6, 5, 0);
    auto calls = f.paint();
    // x 84 ... 124 along the bottom (y 16), 2 pixels high in 3-pixel steps.
    EXPECT_TRUE(hasCall(calls, "line 84,16 87,14 000000FF"));
    EXPECT_TRUE(hasCall(calls, "line 87,14 90,16 000000FF"));
    std::vector<CanvasRect> drawn;
    f.ctl.OnDrawMark = [&](TCustomRudivoVoru&, Canvas&, TMark* m, const CanvasRect& r) {
        EXPECT_EQ(m, mark);
        drawn.push_back(r);
    };
    f.ctl.ScreenInvalid();
    calls = f.paint();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0], (CanvasRect{84, 0, 124, 17}));
    EXPECT_FALSE(hasCall(calls, "line 84,16 87,14 000000FF"));
}

TEST(ControlPainting, OnDrawLineMayDrawARowItself) {
    ControlFixture f(800, 36);
    f.ctl.SetText("one\r\ttwo");
    std::vector<std::string> seen;
    f.ctl.OnDrawLine = [&](TCustomRudivoVoru&, TDrawLineData& d) {
        seen.push_back(std::string(d.Text));
        EXPECT_EQ(d.Version, 1);
        d.Handled = d.CharIndex == 4;
    };
    const auto texts = textCalls(f.paint());
    EXPECT_EQ(seen, (std::vector<std::string>{"one\r", "    two"}));
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_NE(texts[0].find("'one'"), std::string::npos);
}

TEST(ControlGutter, HighestMarkBitPicksTheGlyphAndTheWrapGlyphNeedsItsOption) {
    ControlFixture f(800, 18);
    f.ctl.SetText("x");
    TLine* row = f.ctl.TextStore().Buffer();
    row->SetMarkBits(1 | kContinuationMark);
    auto calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "glyph wrapped 0 1,1"));
    EXPECT_FALSE(hasCallStarting(calls, "glyph gutter"));
    f.ctl.SetOptions(f.ctl.GetOptions() & ~smoShowWrapGlyph);
    calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "glyph gutter 0 1,1"));
    EXPECT_FALSE(hasCallStarting(calls, "glyph wrapped"));
}

TEST(ControlGutter, LineNumbersSkipMarkedLinesAndFollowTextLinesNotRows) {
    ControlFixture f(800, 90);
    // A line of 3000 characters takes two rows even without word wrap.
    f.ctl.SetText("a\r" + std::string(3000, 'b') + "\rc\rd\re");
    f.ctl.SetOptions(f.ctl.GetOptions() | smoLineNumbers);
    ASSERT_EQ(f.ctl.TextStore().NumLines(), 6);
    f.ctl.TextStore().LineFromLineIndex(4).line->SetMarkBits(1 << 3); // bookmark 3 on line "d"
    f.ctl.AddLineGlyph(2, 6);                                         // user glyph on line "e"
    const auto& calls = f.paint();
    EXPECT_TRUE(hasCallStarting(calls, "text 2,5 [0,0,32,18] '1'"));
    EXPECT_TRUE(hasCallStarting(calls, "text 2,23 [0,18,32,36] '2'"));
    EXPECT_FALSE(hasCallStarting(calls, "text 2,41 ")); // continuation row
    EXPECT_TRUE(hasCallStarting(calls, "text 2,59 [0,54,32,72] '3'"));
    EXPECT_TRUE(hasCall(calls, "glyph gutter 3 1,73"));
    EXPECT_FALSE(hasCallStarting(calls, "text 2,77 "));
    // Scrolled down, the top row still knows its line number.
    f.ctl.NewScrollPos(0, 3, false, false);
    const auto& scrolled = f.paint();
    EXPECT_TRUE(hasCallStarting(scrolled, "text 2,5 [0,0,32,18] '3'"));
    EXPECT_TRUE(hasCall(scrolled, "glyph user 1 17,37"));
}

TEST(ControlGutter, BreakpointRowsTakeTheirGlyphAndLineColours) {
    ControlFixture f(800, 36);
    f.ctl.SetText("a\rb\r");
    f.ctl.TextStore().Breakpoints().EnableBreakpointAtLine(2);
    const auto& calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "glyph gutter 11 1,19"));
    EXPECT_TRUE(hasCall(calls, "text 36,18 [36,18,52,36] opaque cells 'b' 00FFFFFF/000000FF"));
    f.ctl.TextStore().CodeBreak().MoveCodeBreakLineTo(1);
    f.ctl.ScreenInvalid();
    EXPECT_TRUE(
        hasCallStarting(f.paint(), "glyph gutter " + std::to_string(f.ctl.TextStore().CodeBreak().Glyph())));
}

TEST(ControlGutter, LineGlyphCallsIgnoreLinesBeyondTheText) {
    ControlFixture f(800, 36);
    f.ctl.SetText("a\rb");
    f.ctl.AddLineGlyph(1, 9);
    EXPECT_EQ(f.ctl.GetLineGlyph(9), 0);
    f.ctl.AddLineGlyph(1, 0); // 0 counts as 1
    EXPECT_TRUE(f.ctl.LineHasGlyph(1, 1));
    f.ctl.RemoveLineGlyph(1, 1);
    EXPECT_FALSE(f.ctl.LineHasGlyph(1, 1));
    f.ctl.SetLineColor(2, clYellow);
    const auto texts = textCalls(f.paint());
    EXPECT_TRUE(hasCallStarting(texts, "text 36,18 [36,18,44,36] opaque cells 'b' 00000000/0000FFFF"));
}

TEST(ControlPositions, IndexAndClientPointMapThroughColumnsAndRows) {
    ControlFixture f(800, 90);
    f.ctl.SetText("ab\r\tcd\rlast");
    int x = 0;
    int y = 0;
    ASSERT_TRUE(f.ctl.PosFromIndex(4, x, y)); // 'c' after a tab: column 4
    EXPECT_EQ(x, kLeft + 4 * 8);
    EXPECT_EQ(y, kLine);
    EXPECT_EQ(f.ctl.IndexFromPos(kLeft + 4 * 8 + 1, kLine + 3), 4);
    // Inside the tab's blanks: its nearer edge.
    EXPECT_EQ(f.ctl.IndexFromPos(kLeft + 1 * 8, kLine), 3);
    EXPECT_EQ(f.ctl.IndexFromPos(kLeft + 3 * 8, kLine), 4);
    // Past the row end: its carriage return.
    EXPECT_EQ(f.ctl.IndexFromPos(kLeft + 40 * 8, 0), 2);
    EXPECT_EQ(f.ctl.perform(EM_CHARFROMPOS, 0, (kLine * 2 << 16) | (kLeft + 8)), 8);
    EXPECT_EQ(f.ctl.perform(EM_CHARFROMPOS, 0, 5), -1);
    EXPECT_EQ(f.ctl.perform(EM_POSFROMCHAR, 1), (0 << 16) | (kLeft + 8));
    // Before the top row there is no point.
    f.ctl.NewScrollPos(0, 1, false, false);
    EXPECT_FALSE(f.ctl.PosFromIndex(1, x, y));
    EXPECT_EQ(x, -1);
}

TEST(ControlChange, DoChangeRaisesOnChangeWithTheReasonsCollected) {
    ControlFixture f(800, 90);
    std::vector<std::uint32_t> reasons;
    f.ctl.OnChange = [&](TCustomRudivoVoru& c) { reasons.push_back(c.ChangeReasons()); };
    f.ctl.SetText("abc");
    reasons.clear();
    f.ctl.SetSelection({1, 1});
    f.ctl.DoReplaceSel("x");
    ASSERT_FALSE(reasons.empty());
    EXPECT_EQ(reasons.back() & (crSelection | crText), crSelection | crText);
    reasons.clear();
    f.ctl.DoChange();
    EXPECT_TRUE(reasons.empty());
    // Under the update lock nothing is raised until it is released.
    f.ctl.perform(SMM_LOCKUPDATE, kSmmSet, 1);
    f.ctl.DoReplaceSel("y");
    EXPECT_TRUE(reasons.empty());
    f.ctl.perform(SMM_LOCKUPDATE, kSmmSet, 0);
    ASSERT_EQ(reasons.size(), 1u);
    EXPECT_TRUE(reasons[0] & crSize);
}

TEST(ControlMessages, IdentifyTextLinesAndRows) {
    ControlFixture f(800, 90);
    EXPECT_STREQ(reinterpret_cast<const char*>(f.ctl.perform(SMM_IDENTIFY)), "<TRudivoVoru>:3.00.39");
    f.ctl.SetText("ab\ncd\r\nef");
    EXPECT_EQ(f.ctl.perform(EM_GETLINECOUNT), 3);
    EXPECT_EQ(f.ctl.perform(EM_LINEINDEX, 2), 6);
    EXPECT_EQ(f.ctl.perform(EM_LINELENGTH, 4), 2);
    EXPECT_EQ(f.ctl.perform(EM_LINEFROMCHAR, 7), 2);
    EXPECT_EQ(f.ctl.perform(WM_GETTEXTLENGTH), 8 + 2);
    char buffer[32];
    EXPECT_EQ(f.ctl.perform(WM_GETTEXT, sizeof buffer, reinterpret_cast<std::intptr_t>(buffer)), 10);
    EXPECT_STREQ(buffer, "ab\r\ncd\r\nef");
    f.ctl.perform(EM_SETSEL, 0, -1);
    std::int32_t a = 0;
    std::int32_t b = 0;
    f.ctl.perform(EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 8);
    EXPECT_EQ(f.ctl.GetSelLength(), 10); // CR LF counted twice
    TChRange r{5, 2};
    f.ctl.perform(SMM_SELECTION, kSmmSet, reinterpret_cast<std::intptr_t>(&r));
    TChRange got;
    f.ctl.perform(SMM_SELECTION, 0, reinterpret_cast<std::intptr_t>(&got));
    EXPECT_EQ(got, (TChRange{5, 2}));
}

TEST(ControlPainting, DisabledAndReadOnlyControlsApplyTheirColours) {
    Painted f(800, 18);
    f.ctl.SetText("int x;");
    f.ctl.SetEnabled(false);
    auto texts = textCalls(f.paint());
    // Disabled: the background is applied, the text colour is not.
    EXPECT_EQ(texts[0], "text 36,0 [36,0,60,18] opaque cells 'int' 00FF0000/00C0C0C0");
    f.ctl.SetEnabled(true);
    f.ctl.SetReadOnly(true);
    texts = textCalls(f.paint());
    EXPECT_EQ(texts[0], "text 36,0 [36,0,60,18] opaque cells 'int' 00FF0000/00FFFFFF");
    f.ctl.SetReadOnlyClrChange(true);
    texts = textCalls(f.paint());
    EXPECT_EQ(texts[0], "text 36,0 [36,0,60,18] opaque cells 'int' 00C0C0C0/00FFFFFF");
}

TEST(ControlPainting, FocusLinesFrameTheCaretRowAndTheCaretFollowsTheInsertMode) {
    ControlFixture f(800, 54);
    f.ctl.SetText("one\rtwo\rthree");
    f.ctl.ViewFocus(true);
    f.ctl.SetSelection({5, 5});
    f.ctl.SetShowFocusLine(true);
    const auto& calls = f.paint();
    EXPECT_TRUE(hasCall(calls, "line 36,18 800,18 00FFFFFF xor"));
    EXPECT_TRUE(hasCall(calls, "line 36,35 800,35 00FFFFFF xor"));
    EXPECT_TRUE(f.host.caretShown);
    EXPECT_EQ(f.host.caret, (CanvasRect{44, 18, 46, 36}));
    // Overwrite mode with the block cursor: as wide as the character.
    f.ctl.SetInsMode(false);
    f.paint();
    EXPECT_EQ(f.host.caret, (CanvasRect{44, 18, 52, 36}));
    f.ctl.ViewFocus(false);
    EXPECT_FALSE(f.host.caretShown);
}

TEST(ControlPainting, DeletingRowsRepaintsTheWholeClientArea) {
    ControlFixture f(800, 90);
    f.ctl.SetText("a\rb\rc\rd");
    f.paint();
    f.host.invalidated.clear();
    f.ctl.SetSelection({1, 7});
    f.ctl.DoReplaceSel("");
    ASSERT_FALSE(f.host.invalidated.empty());
    EXPECT_EQ(f.host.invalidated.back(), (CanvasRect{0, 0, 800, 90}));
    const auto& calls = f.paint();
    // The rows that went are background now.
    EXPECT_TRUE(hasCall(calls, "fill [36,18,800,36] 00FFFFFF"));
}

namespace {
struct PrintingControl : TRudivoVoru {
    using TRudivoVoru::DrawRow;
};
} // namespace

TEST(ControlPrinting, RowsDrawnForThePrinterAreMonochromeWithoutTheSelection) {
    RecordingHost host;
    TestParser parser;
    giveColours(parser.settings);
    PrintingControl ctl;
    ctl.SetHost(&host);
    ctl.ViewResize(800, 18);
    ctl.SetParser1(&parser);
    ctl.SetText("int x; // c\r");
    ctl.SetHideSelection(false);
    ctl.SetSelection({0, 3});
    RecordingCanvas printer(300);
    TRenderData rd;
    rd.Rect = {100, 100, 2000, 3000};
    rd.canvas = &printer;
    rd.Printing = true;
    ctl.DrawRow(rd, ctl.TextStore().Buffer(), 0, 200);
    const auto texts = textCalls(printer.calls());
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], "text 136,200 [136,200,160,218] opaque cells 'int' 00000000/00FFFFFF");
    // The printer's fonts are made for its resolution.
    EXPECT_TRUE(hasCall(printer.calls(), "font 'Courier New' -42 bold"));
    ctl.MonoPrint = false;
    printer.clearCalls();
    ctl.DrawRow(rd, ctl.TextStore().Buffer(), 0, 200);
    EXPECT_EQ(textCalls(printer.calls())[0],
              "text 136,200 [136,200,160,218] opaque cells 'int' 00FF0000/00FFFFFF");
    ctl.SetParser1(nullptr);
    ctl.SetHost(nullptr);
}

TEST(ControlPainting, AHugeTabExpansionIsDrawnOnlyAsFarAsTheWindowAndTheCaretFindsItsEnd) {
    ControlFixture f(800, 36);
    f.ctl.SetDefTabStop(4096);
    f.ctl.SetText(std::string(2000, '\t') + "x");
    const auto texts = textCalls(f.paint());
    ASSERT_EQ(texts.size(), 1u);
    // One piece of at most 1.5 screens of blanks, clipped to the window.
    EXPECT_NE(texts[0].find("[36,0,800,18]"), std::string::npos);
    EXPECT_LT(texts[0].size(), 200u);
    f.ctl.SetSelection({2000, 2000});
    EXPECT_EQ(f.ctl.CharOffsetToColumn(2000, f.ctl.TextStore().Buffer()), 2000 * 4096);
    EXPECT_GT(f.ctl.LeftColumn(), 2000 * 4096 - f.ctl.VisibleColumns());
    EXPECT_LE(f.ctl.LeftColumn(), 2000 * 4096);
    const auto shown = textCalls(f.paint());
    ASSERT_FALSE(shown.empty());
    EXPECT_NE(shown.back().find("x"), std::string::npos);
}

TEST(ControlPrinting, MetricsComeFromThePrinterWhilePrintingAndGoBackAfter) {
    ControlFixture f(800, 90);
    f.ctl.SetText("abc");
    RecordingCanvas printer(300);
    f.ctl.UsePrinterCanvas(&printer);
    // The printer's font is asked for at its resolution.
    ASSERT_FALSE(printer.fontsSelected().empty());
    EXPECT_EQ(printer.fontsSelected().front().height, -42);
    // Nothing is painted on the screen meanwhile.
    f.host.invalidated.clear();
    f.ctl.ScreenInvalid();
    f.ctl.Paint();
    EXPECT_TRUE(f.host.invalidated.empty());
    f.ctl.UsePrinterCanvas(nullptr);
    EXPECT_EQ(f.host.canvas.fontsSelected().back().height, -13);
    EXPECT_FALSE(f.host.invalidated.empty());
}
