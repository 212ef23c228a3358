// The caret and the selection at line ends, after a final line break,
// beyond the line end, over wrapped rows and long lines, and the caret as
// 1-based lines and columns (TSM_CaretControl).

#include "editor/control/rudivo_voru_strings.h"
#include "editor/control/sm_caret_control.h"
#include "editor/settings/editor_settings.h"
#include "tests/editor/control/control_edit_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

constexpr int kLeft = 36; // gutter 34 + margin 2
constexpr int kCell = 8;
constexpr int kLine = 18;

TEST(ControlCaret, AfterAFinalLineBreakTheCaretIsOnARowOfItsOwn) {
    ControlFixture f;
    f.ctl.SetText("ab\r");
    f.ctl.SetSelection({3, 3});
    EXPECT_EQ(f.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 1);
    EXPECT_EQ(f.ctl.perform(EM_GETLINECOUNT), 2);
    EXPECT_EQ(f.ctl.perform(EM_LINEINDEX, 1), 3);
    EXPECT_EQ(f.ctl.perform(EM_LINELENGTH, 3), 0);
    const CanvasRect caret = f.ctl.CaretRect();
    EXPECT_EQ(caret.left, kLeft);
    EXPECT_EQ(caret.top, kLine);
    // A click below the text lands there.
    EXPECT_EQ(f.ctl.IndexFromPos(kLeft + 40, kLine * 3), 3);
    EXPECT_EQ(f.ctl.IndexFromPos(kLeft + 40, 2), 2);
    // Typing Enter at the end of a line moves the caret to the next row.
    f.ctl.SetText("ab");
    f.ctl.SetSelection({2, 2});
    typeText(f.ctl, "\r");
    EXPECT_EQ(f.ctl.CaretRect().top, kLine);
    EXPECT_EQ(f.ctl.GetCPos(), (TCustomRudivoVoru::TPoint{1, 2}));
}

TEST(ControlCaret, SelectingWholeLinesCountsCrLfTwice) {
    ControlFixture f;
    f.ctl.SetText("abc\rdef\rghi");
    f.ctl.SetSelection({0, 8});
    EXPECT_EQ(f.ctl.GetSelLength(), 10);
    f.ctl.TextStore().SetSelLineStyle(lsLF);
    EXPECT_EQ(f.ctl.GetSelLength(), 8);
    f.ctl.SetSelLength(2);
    EXPECT_EQ(sel(f.ctl), (TChRange{0, 2}));
    f.ctl.SetSelStart(5);
    EXPECT_EQ(sel(f.ctl), (TChRange{5, 5}));
    f.ctl.SetSelText("X");
    EXPECT_EQ(shown(f.ctl.GetText()), "abc|dXef|ghi");
}

TEST(ControlCaret, ALongLineIsCutIntoRowsThatStayOneLine) {
    ControlFixture f;
    f.ctl.DoReplaceSel(std::string(5000, 'a'));
    const TTextStore& store = f.ctl.TextStore();
    ASSERT_EQ(store.NumLines(), 3);
    EXPECT_EQ(store.LineFromLineIndex(0).line->Len(), 2047);
    EXPECT_EQ(store.LineFromLineIndex(1).line->Len(), 2047);
    EXPECT_EQ(store.LineFromLineIndex(2).line->Len(), 906);
    EXPECT_EQ(f.ctl.Lines().Count(), 1);
    EXPECT_EQ(f.ctl.Lines().Get(0).size(), 5000u);
    // The caret never stands on the end of a row that the next one
    // continues: that place belongs to the next row.
    f.ctl.SetSelection({0, 0});
    press(f.ctl, VK_END);
    EXPECT_EQ(sel(f.ctl).chEnd, 2046);
    press(f.ctl, VK_RIGHT);
    EXPECT_EQ(f.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 1);
}

TEST(ControlCaret, WrappedRowsAreMovedOverRowByRow) {
    ControlFixture f(kLeft + 12 * kCell + 20, 200);
    f.ctl.SetWrapColumn(12);
    f.ctl.SetWordWrap(true);
    f.ctl.SetText("alpha beta gamma delta\rx");
    const TTextStore& store = f.ctl.TextStore();
    ASSERT_EQ(store.NumLines(), 3);
    EXPECT_EQ(store.LineFromLineIndex(0).line->View(), "alpha beta ");
    f.ctl.SetSelection({2, 2});
    press(f.ctl, VK_DOWN);
    EXPECT_EQ(sel(f.ctl).chEnd, 13);
    press(f.ctl, VK_UP);
    press(f.ctl, VK_END); // before the blank the row ends with
    EXPECT_EQ(sel(f.ctl).chEnd, 10);
    press(f.ctl, VK_END, ssShift);
    press(f.ctl, VK_DOWN, ssShift);
    EXPECT_EQ(sel(f.ctl), (TChRange{10, 21}));
    // Home on a continuation row goes to the row's start, not the line's.
    f.ctl.SetSelection({14, 14});
    press(f.ctl, VK_HOME);
    EXPECT_EQ(sel(f.ctl).chEnd, 11);
    // A selection over the wrap is one range of characters.
    f.ctl.SetSelection({6, 13});
    EXPECT_EQ(f.ctl.GetSelText(), "beta ga");
}

TEST(ControlCaret, BeyondTheLineEndTheCaretStandsOnAVirtualColumn) {
    ControlFixture f;
    f.ctl.SetText("ab\rcdefgh");
    f.ctl.SetOptions(f.ctl.GetOptions() | smoCaretAfterEOL);
    ASSERT_TRUE(f.ctl.CanProcessCaretAfterEOL());
    f.ctl.SetSelection({2, 2});
    press(f.ctl, VK_RIGHT);
    press(f.ctl, VK_RIGHT);
    EXPECT_TRUE(f.ctl.CaretBeyondEOL());
    EXPECT_EQ(sel(f.ctl).chEnd, 2);
    EXPECT_EQ(f.ctl.CaretColumn(), 4);
    EXPECT_EQ(f.ctl.CaretRect().left, kLeft + 4 * kCell);
    press(f.ctl, VK_LEFT);
    EXPECT_EQ(f.ctl.CaretColumn(), 3);
    // Down keeps the column; up comes back to it beyond the end.
    press(f.ctl, VK_DOWN);
    EXPECT_EQ(sel(f.ctl).chEnd, 6);
    EXPECT_FALSE(f.ctl.CaretBeyondEOL());
    press(f.ctl, VK_UP);
    EXPECT_TRUE(f.ctl.CaretBeyondEOL());
    // Backspace there is a move left; Delete pads and joins the next line.
    press(f.ctl, VK_BACK);
    EXPECT_EQ(f.ctl.CaretColumn(), 2);
    EXPECT_FALSE(f.ctl.CaretBeyondEOL());
    press(f.ctl, VK_RIGHT);
    press(f.ctl, VK_RIGHT);
    press(f.ctl, VK_DELETE);
    EXPECT_EQ(f.ctl.GetText(), "ab\t"
                               "cdefgh");
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(f.ctl.GetText(), "ab\rcdefgh");
    // A click past the end of a row puts the caret there too.
    f.ctl.MouseDown({kLeft + 6 * kCell + 1, 2, MouseButton::Left, ssLeft, 10000});
    f.ctl.MouseUp({kLeft + 6 * kCell + 1, 2, MouseButton::Left, 0, 10010});
    EXPECT_TRUE(f.ctl.CaretBeyondEOL());
    EXPECT_EQ(f.ctl.CaretColumn(), 6);
    // Without the option the caret stays at the line end.
    f.ctl.SetOptions(f.ctl.GetOptions() & ~smoCaretAfterEOL);
    f.ctl.SetSelection({2, 2});
    press(f.ctl, VK_RIGHT);
    EXPECT_EQ(sel(f.ctl).chEnd, 3);
    EXPECT_FALSE(f.ctl.CaretBeyondEOL());
}

TEST(ControlCaret, TheOverwriteCaretCoversTheCharacter) {
    ControlFixture f;
    f.ctl.SetText("a\tb");
    f.ctl.SetSelection({1, 1});
    EXPECT_EQ(f.ctl.CaretRect().right - f.ctl.CaretRect().left, 2);
    f.ctl.SetInsMode(false);
    EXPECT_EQ(f.ctl.CaretRect().right - f.ctl.CaretRect().left, 3 * kCell); // the tab's cells
}

TEST(ControlCaret, TheCaretControlSpeaksInOneBasedLinesAndColumns) {
    ControlFixture f;
    f.ctl.SetText("\tab\rcd\r");
    TSM_CaretControl& caret = f.ctl.CaretControl();
    f.ctl.SetSelection({2, 2});
    EXPECT_EQ(caret.GetOffsetColumn(), 3);
    EXPECT_EQ(caret.GetVisibleColumn(), 6);
    EXPECT_EQ(caret.GetVisibleRow(), 1);
    EXPECT_EQ(caret.GetOffsetLocation(), (TSM_CaretControl::TPoint{3, 1}));
    caret.SetVisibleRow(2);
    EXPECT_EQ(sel(f.ctl).chEnd, 6); // column 6 of "cd": its end
    caret.SetOffsetLocation({1, 1});
    EXPECT_EQ(sel(f.ctl).chEnd, 0);
    caret.SetVisibleColumn(3); // inside the tab: the character after it
    EXPECT_EQ(caret.GetOffsetColumn(), 2);
    caret.SetVisibleLocation({2, 9}); // past the last line: after the final break
    EXPECT_EQ(sel(f.ctl).chEnd, 7);
    EXPECT_EQ(caret.GetOffsetLocation(), (TSM_CaretControl::TPoint{1, 3}));
    caret.SetOffsetColumn(50); // clamped to the row
    EXPECT_EQ(sel(f.ctl).chEnd, 7);
    // Beyond the end only when allowed.
    caret.SetCaretAfterEOL(true);
    EXPECT_TRUE(caret.GetCaretAfterEOL());
    caret.SetVisibleLocation({7, 2});
    EXPECT_TRUE(f.ctl.CaretBeyondEOL());
    EXPECT_EQ(caret.GetVisibleColumn(), 7);
    caret.SetTopLine(2);
    EXPECT_EQ(caret.GetTopLine(), 2);
    EXPECT_EQ(caret.GetByteOffsetFromCharOffset(12), 12);
    f.ctl.SetText(std::string(3000, 'x'));
    EXPECT_TRUE(caret.IsLineWrapped(1));
    EXPECT_FALSE(caret.IsLineWrapped(2));
}

} // namespace

namespace {

TEST(ControlCaret, TextLinesAreCountedRightAfterTheLastRowGoes) {
    ControlFixture f;
    f.ctl.SetText("zero\rone\rthree\rfour");
    EXPECT_EQ(f.ctl.UnwrappedCharOffset(4, 1), 15); // remembers the row at 15
    f.ctl.SetSelection({15, 19});
    f.ctl.DoReplaceSel("");
    EXPECT_EQ(f.ctl.TextLineOfRow(15), 4);
    EXPECT_EQ(f.ctl.TextLineOfRow(9), 3);
}

} // namespace
