// Word wrap into rows (at the wrap column or the window edge, blanks kept at
// the row end, override marks, lines of 2048 characters and more), the
// store's re-cut of a line, tab stops and the offset/column mapping.

#include "editor/support/rudivo_voru_error.h"
#include "editor/text/numbered_bookmarks.h"
#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

std::vector<std::string> rowTexts(const TTextStore& store) {
    std::vector<std::string> rows;
    for (TLine* row = store.Buffer(); row; row = store.Next(row))
        rows.emplace_back(row->View());
    return rows;
}

struct Wrapped : ControlFixture {
    explicit Wrapped(std::uint16_t column = 20) : ControlFixture(640, 360) {
        ctl.SetWrapColumn(column);
        ctl.SetWordWrap(true);
    }
};

} // namespace

TEST(ControlWordWrap, AWordLongerThanTheRowIsCutAtTheColumn) {
    Wrapped f;
    f.ctl.SetText(std::string(30, 'a') + "\r");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()),
              (std::vector<std::string>{std::string(20, 'a'), std::string(10, 'a') + "\r"}));
    TLine* second = f.ctl.TextStore().Next(f.ctl.TextStore().Buffer());
    EXPECT_TRUE(second->IsContinuation());
    EXPECT_FALSE(f.ctl.TextStore().Buffer()->IsContinuation());
}

TEST(ControlWordWrap, ALineBreaksAfterTheLastBlankAndBlanksStayAtTheRowEnd) {
    Wrapped f;
    f.ctl.SetText("aaaa " + std::string(25, 'b'));
    EXPECT_EQ(rowTexts(f.ctl.TextStore()),
              (std::vector<std::string>{"aaaa ", std::string(20, 'b'), "bbbbb"}));
    f.ctl.SetText(std::string(20, 'a') + "   bbb\r");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{std::string(20, 'a') + "   ", "bbb\r"}));
}

TEST(ControlWordWrap, LinesOf2048CharactersOrMoreAreCutEvenWithoutWordWrap) {
    ControlFixture f;
    f.ctl.SetText(std::string(3000, 'x'));
    const auto rows = rowTexts(f.ctl.TextStore());
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].size(), 2047u);
    EXPECT_EQ(rows[1].size(), 953u);
}

TEST(ControlWordWrap, OverrideMarksExemptALine) {
    Wrapped f;
    const std::string quoted = "> " + std::string(30, 'q');
    f.ctl.SetText(quoted + "\r" + std::string(30, 'a'));
    // "> " alone fits before the q's, which take two rows of their own.
    EXPECT_EQ(f.ctl.TextStore().NumLines(), 5);
    f.ctl.SetOptions(f.ctl.GetOptions() | smoWrapOverride);
    EXPECT_EQ(rowTexts(f.ctl.TextStore())[0], quoted + "\r");
    EXPECT_EQ(f.ctl.TextStore().NumLines(), 3);
    f.ctl.SetWROverrideMarks("|");
    EXPECT_EQ(f.ctl.TextStore().NumLines(), 5);
}

TEST(ControlWordWrap, TheWindowEdgeWrapsWhenNoColumnIsSetAndFollowsResizing) {
    ControlFixture f(36 + 10 * 8, 360); // 10 columns
    f.ctl.SetWordWrap(true);
    f.ctl.SetText("aaaaa bbbbb ccccc");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"aaaaa ", "bbbbb ", "ccccc"}));
    f.ctl.ViewResize(36 + 12 * 8, 360);
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"aaaaa bbbbb ", "ccccc"}));
}

TEST(ControlWordWrap, TurningWrapOffJoinsTheRowsAndStylesSurviveRewrapping) {
    TestParser parser;
    ControlFixture f;
    f.ctl.SetParser1(&parser);
    f.ctl.SetText("int alpha; int beta; int gamma;\r");
    f.idle();
    const std::string styles = rowStyles(f.ctl.TextStore())[0];
    f.ctl.SetWrapColumn(12);
    f.ctl.SetWordWrap(true);
    f.idle();
    const auto wrapped = rowStyles(f.ctl.TextStore());
    EXPECT_EQ(wrapped.size(), 3u);
    std::string joined;
    for (const auto& s : wrapped)
        joined += s;
    EXPECT_EQ(joined, styles);
    f.ctl.SetWordWrap(false);
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"int alpha; int beta; int gamma;\r"}));
    f.idle();
    EXPECT_EQ(rowStyles(f.ctl.TextStore())[0], styles);
    f.ctl.SetParser1(nullptr);
}

TEST(ControlWordWrap, TypingInAWrappedLineWrapsItAgain) {
    Wrapped f(10);
    f.ctl.SetText("aaaa bbbb cccc\r");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"aaaa bbbb ", "cccc\r"}));
    f.ctl.SetSelection({0, 0});
    f.ctl.DoReplaceSel("zz");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"zzaaaa ", "bbbb cccc\r"}));
    f.ctl.SetSelection({0, 2});
    f.ctl.DoReplaceSel("");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"aaaa bbbb ", "cccc\r"}));
}

TEST(ControlWordWrap, LogicalLinesAndViewRowsConvertBothWays) {
    Wrapped f(10);
    f.ctl.SetText("one\raaaa bbbb cccc\rlast");
    // Line 2 column 12 is the second 'c'... on row 3, column 2.
    std::int32_t column = 0;
    std::int32_t row = 0;
    f.ctl.UnwrappedToCurrentView(2, 12, column, row);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(column, 2);
    std::int32_t offset = 0;
    std::int32_t line = 0;
    f.ctl.CurrentViewToUnwrapped(3, 2, offset, line);
    EXPECT_EQ(line, 2);
    EXPECT_EQ(offset, 12);
    EXPECT_EQ(f.ctl.UnwrappedCharOffset(3, 2), 4 + 15 + 1);
    EXPECT_EQ(f.ctl.UnwrappedCharOffset(2, 99), 4 + 14); // clamped to the carriage return
    EXPECT_EQ(f.ctl.TextLineOfRow(f.ctl.TextStore().LineFromLineIndex(3).start), 3);
}

TEST(ControlWordBreak, BreakTestKindsAndAReplacementProcedure) {
    ControlFixture f;
    const char* text = "ab  cd";
    EXPECT_EQ(f.ctl.DoWordBreakTest(text, 0, 1, 6), 4);
    EXPECT_EQ(f.ctl.DoWordBreakTest(text, 2, 2, 6), 1);
    EXPECT_EQ(f.ctl.DoWordBreakTest(text, 1, 2, 6), 0);
    EXPECT_EQ(f.ctl.DoWordBreakTest(text, 5, 0, 6), 4);
    EXPECT_EQ(f.ctl.DoWordBreakTest("\xA0x", 0, 2, 2), 1);
    f.ctl.OnWordBreakProc = [](const char*, std::int32_t, int, std::int32_t) { return 3; };
    f.ctl.SetWrapColumn(5);
    f.ctl.SetWordWrap(true);
    f.ctl.SetText("abcdefghij");
    EXPECT_EQ(rowTexts(f.ctl.TextStore()), (std::vector<std::string>{"abc", "def", "ghij"}));
}

TEST(TextStoreRecut, RecordsAreReusedAndBookmarksStayWithTheirCharacters) {
    TTextStore store;
    const std::string text = std::string(10, 'a') + std::string(10, 'b') + "\rnext\r";
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    TLine* first = store.Buffer();
    ASSERT_NE(store.RecutLine(first, {10, 11}), nullptr);
    TLine* second = store.Next(first);
    NumberedBookmarks marks(store);
    marks.SetBookmark(4, 2, 3); // on the record holding the b's
    ASSERT_NE(store.RecutLine(first, {5, 5, 5, 6}), nullptr);
    EXPECT_EQ(store.Buffer(), first);
    EXPECT_EQ(store.NumLines(), 5);
    std::int32_t line = 0;
    std::int32_t column = 0;
    ASSERT_TRUE(marks.IsBookmarkSet(4, line, column));
    EXPECT_EQ(line, 3); // the record starting at the first 'b'
    EXPECT_EQ(std::string(store.LineFromLineIndex(2).line->View()), "bbbbb");
    EXPECT_TRUE(store.LineFromLineIndex(3).line->IsContinuation());
    EXPECT_FALSE(store.LineFromLineIndex(4).line->IsContinuation());
    // Back to one record: the bookmark comes with it.
    ASSERT_NE(store.RecutLine(first, {21}), nullptr);
    EXPECT_EQ(store.NumLines(), 2);
    ASSERT_TRUE(marks.IsBookmarkSet(4, line, column));
    EXPECT_EQ(line, 1);
    (void)second;
    EXPECT_EQ(store.GetText(), text);
    EXPECT_EQ(store.Chain().verify(), "");
}

TEST(TextStoreRecut, LengthsThatDoNotFitTheLineOrAMidLineStartAreRefused) {
    TTextStore store;
    const std::string text = "abcdef\rgh";
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(store.RecutLine(store.Buffer(), {3, 3}), nullptr);
    EXPECT_EQ(store.RecutLine(store.Buffer(), {3, 5}), nullptr);
    EXPECT_EQ(store.RecutLine(store.Buffer(), {0, 7}), nullptr);
    ASSERT_NE(store.RecutLine(store.Buffer(), {3, 4}), nullptr);
    EXPECT_EQ(store.RecutLine(store.Next(store.Buffer()), {4}), nullptr); // a continuation
    EXPECT_EQ(store.GetText(), text);
}

TEST(ControlTabs, NextTabStopUsesTheColumnsThenTheDefaultWidth) {
    ControlFixture f;
    f.ctl.SetTabColumns("5;9 13");
    EXPECT_EQ(f.ctl.GetTabColumns(), "5 9 13");
    EXPECT_EQ(f.ctl.NextTabStop(10), 12);
    EXPECT_EQ(f.ctl.NextTabStop(12), 16);
    EXPECT_EQ(f.ctl.NextTabStop(2), 4);
    f.ctl.SetDefTabStop(8);
    EXPECT_EQ(f.ctl.NextTabStop(13), 16);
    try {
        f.ctl.SetDefTabStop(0);
        FAIL() << "no exception";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "=Illegal default tab stop value, must be > 0");
    }
    EXPECT_THROW(f.ctl.SetTabColumns("5 5"), ERudivoVoru);
    EXPECT_EQ(f.ctl.GetDefTabStop(), 8);
}

TEST(ControlTabs, OffsetsAndColumnsMapThroughTabsAndRowEnds) {
    ControlFixture f;
    f.ctl.SetText("a\tb\rxyz\rend");
    TLine* tabbed = f.ctl.TextStore().Buffer();
    TLine* plain = f.ctl.TextStore().Next(tabbed);
    TLine* last = f.ctl.TextStore().Next(plain);
    EXPECT_EQ(f.ctl.CharOffsetToColumn(2, tabbed), 4);
    EXPECT_EQ(f.ctl.CharOffsetToColumn(1, tabbed), 1);
    EXPECT_EQ(f.ctl.ColumnToCharOffset(4, tabbed), 2);
    EXPECT_EQ(f.ctl.ColumnToCharOffset(2, tabbed), 2);  // inside the tab: the character reaching it
    EXPECT_EQ(f.ctl.ColumnToCharOffset(30, tabbed), 3); // the carriage return
    EXPECT_EQ(f.ctl.CharOffsetToColumn(9, plain), 3);   // past the end: on the carriage return
    EXPECT_EQ(f.ctl.ColumnToCharOffset(30, last), 3);   // the last row has none
    EXPECT_EQ(f.ctl.CharOffsetToColumn(3, last), 3);
    DisplayRow shown;
    f.ctl.ExpandTabs(tabbed, shown);
    EXPECT_EQ(shown.Text(), "a   b\r");
    EXPECT_EQ(shown.CharAtColumn(2), 1);
}

TEST(ControlWordWrap, AProportionalFontWrapsByMeasuredWidth) {
    ProportionalFixture f(36 + 80, 360); // 80 pixels of text
    TRudivoVoru& ctl = f.ctl;
    ctl.SetWordWrap(true);
    // Ten "i" take 30 pixels; "wwwwwwwwww" 80: the i's fit more to a row.
    ctl.SetText(std::string(30, 'i') + " " + std::string(12, 'w'));
    EXPECT_EQ(rowTexts(ctl.TextStore()),
              (std::vector<std::string>{std::string(26, 'i'), std::string(4, 'i') + " ", std::string(10, 'w'),
                                        "ww"}));
    // A tab is measured as the blanks it stands for (here 32 and 32 pixels)
    // and, like a blank, stays at the end of its row.
    ctl.SetText("\tiiii\tw");
    EXPECT_EQ(rowTexts(ctl.TextStore()), (std::vector<std::string>{"\tiiii\t", "w"}));
}
