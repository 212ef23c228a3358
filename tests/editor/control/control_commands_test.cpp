// The keyboard action codes through the default key map: each key or
// chord reaches its action, movement keys with Shift extend the selection,
// and the editing actions change the text as the user expects.

#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "tests/editor/control/control_edit_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

TEST(ControlCommands, LeftAndRightMoveOneCharacterAndShiftExtends) {
    Editor e("ab|cd", {1, 1});
    press(e.ctl, VK_RIGHT);
    press(e.ctl, VK_RIGHT);
    EXPECT_EQ(e.caret(), 3); // over the line end
    press(e.ctl, VK_LEFT, ssShift);
    press(e.ctl, VK_LEFT, ssShift);
    EXPECT_EQ(sel(e.ctl), (TChRange{3, 1}));
    press(e.ctl, VK_LEFT);
    EXPECT_EQ(sel(e.ctl), (TChRange{0, 0}));
    press(e.ctl, VK_LEFT);
    EXPECT_EQ(e.caret(), 0);
    e.ctl.SetSelection({5, 5});
    press(e.ctl, VK_RIGHT);
    EXPECT_EQ(e.caret(), 5);
}

TEST(ControlCommands, HomeAndEndStayInTheRowAndEndStopsBeforeTrailingBlanks) {
    Editor e("abc  |\tx", {1, 1});
    press(e.ctl, VK_END);
    EXPECT_EQ(e.caret(), 3);
    press(e.ctl, VK_HOME, ssShift);
    EXPECT_EQ(sel(e.ctl), (TChRange{3, 0}));
    e.ctl.SetSelection({7, 7});
    press(e.ctl, VK_HOME);
    EXPECT_EQ(e.caret(), 6);
    press(e.ctl, VK_END);
    EXPECT_EQ(e.caret(), 8);
    // After a final line break the caret is on an empty row of its own.
    Editor f("ab|", {3, 3});
    press(f.ctl, VK_HOME);
    EXPECT_EQ(f.caret(), 3);
    press(f.ctl, VK_UP);
    EXPECT_EQ(f.caret(), 0);
    press(f.ctl, VK_END);
    press(f.ctl, VK_DOWN);
    EXPECT_EQ(f.caret(), 3);
}

TEST(ControlCommands, UpAndDownAimForTheRememberedColumn) {
    Editor e("abcdef|ab|abcdef|", {5, 5});
    press(e.ctl, VK_DOWN);
    EXPECT_EQ(e.caret(), 9); // the end of "ab"
    press(e.ctl, VK_DOWN);
    EXPECT_EQ(e.caret(), 15); // column 5 again
    press(e.ctl, VK_UP, ssShift);
    press(e.ctl, VK_UP, ssShift);
    EXPECT_EQ(sel(e.ctl), (TChRange{15, 5}));
    press(e.ctl, VK_UP);
    EXPECT_EQ(e.caret(), 5); // the first row: it stays
    // Past the last row: the end of the text.
    e.ctl.SetSelection({14, 14});
    press(e.ctl, VK_DOWN);
    press(e.ctl, VK_DOWN);
    EXPECT_EQ(e.caret(), 17);
    // Without column tracking the column is the one the caret has now.
    e.ctl.SetOptions(e.ctl.GetOptions() & ~smoColumnTrack);
    e.ctl.SetSelection({5, 5});
    press(e.ctl, VK_DOWN);
    press(e.ctl, VK_DOWN);
    EXPECT_EQ(e.caret(), 12);
}

TEST(ControlCommands, UpAndDownCountDisplayColumnsOverTabs) {
    Editor e("\tx|abcdefgh", {1, 1}); // the caret after the tab: column 4
    press(e.ctl, VK_DOWN);
    EXPECT_EQ(e.caret(), 3 + 4);
    press(e.ctl, VK_UP);
    EXPECT_EQ(e.caret(), 1);
}

TEST(ControlCommands, UpAndDownKeepTheXWithAProportionalFont) {
    ProportionalFixture f;
    TRudivoVoru& ctl = f.ctl;
    ctl.SetText("iiiiiiii\rabcdefgh");
    ctl.SetSelection({8, 8}); // x = 24 past the left edge
    press(ctl, VK_DOWN);
    EXPECT_EQ(ctl.GetSelection().chEnd, 9 + 3);
}

TEST(ControlCommands, PagesMoveByTheVisibleRowsAndScroll) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "line|";
    Editor e(text, {0, 0});
    const std::int32_t rows = e.ctl.VisibleRows();
    ASSERT_EQ(rows, 20);
    press(e.ctl, VK_NEXT);
    EXPECT_EQ(e.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), rows);
    EXPECT_EQ(e.ctl.TopLine(), rows);
    press(e.ctl, VK_NEXT, ssShift);
    EXPECT_EQ(sel(e.ctl), (TChRange{rows * 5, rows * 2 * 5}));
    press(e.ctl, VK_PRIOR);
    EXPECT_EQ(e.caret(), rows * 5);
    EXPECT_EQ(e.ctl.TopLine(), rows);
}

TEST(ControlCommands, WordLeftAndRightStopAtWordStarts) {
    Editor e("one, two_2 3x  ", {0, 0});
    press(e.ctl, VK_RIGHT, ssCtrl);
    EXPECT_EQ(e.caret(), 5);
    press(e.ctl, VK_RIGHT, ssCtrl);
    EXPECT_EQ(e.caret(), 12); // "3x": the word starts at "x"
    press(e.ctl, VK_RIGHT, ssCtrl);
    EXPECT_EQ(e.caret(), 12); // no further word: it stays
    press(e.ctl, VK_LEFT, ssCtrl);
    EXPECT_EQ(e.caret(), 5);
    press(e.ctl, VK_LEFT, ssCtrl | ssShift);
    EXPECT_EQ(sel(e.ctl), (TChRange{5, 0}));
    EXPECT_EQ(e.ctl.WordBefore(0), -1);
    EXPECT_EQ(e.ctl.WordAfter(15), -1);
    // Word characters can be replaced.
    e.ctl.fn_CharIsInWord = [](unsigned char c) { return c != ' ' && c != ','; };
    e.ctl.fn_CharStartsWord = e.ctl.fn_CharIsInWord;
    EXPECT_EQ(e.ctl.WordAfter(5), 11);
}

TEST(ControlCommands, DocumentStartAndEnd) {
    Editor e("ab|cd", {2, 2});
    press(e.ctl, VK_END, ssCtrl);
    EXPECT_EQ(e.caret(), 5);
    press(e.ctl, VK_HOME, ssCtrl | ssShift);
    EXPECT_EQ(sel(e.ctl), (TChRange{5, 0}));
}

TEST(ControlCommands, DeleteAndBackspace) {
    Editor e("ab|cd", {2, 2});
    press(e.ctl, VK_DELETE);
    EXPECT_EQ(e.text(), "abcd");
    press(e.ctl, VK_BACK);
    EXPECT_EQ(e.text(), "acd");
    EXPECT_EQ(e.caret(), 1);
    e.ctl.SetSelection({3, 3});
    press(e.ctl, VK_DELETE); // at the end: nothing
    e.ctl.SetSelection({0, 0});
    press(e.ctl, VK_BACK); // at 0: nothing
    EXPECT_EQ(e.text(), "acd");
    e.ctl.SetSelection({3, 1});
    press(e.ctl, VK_BACK);
    EXPECT_EQ(e.text(), "a");
    e.ctl.SetReadOnly(true);
    press(e.ctl, VK_BACK);
    press(e.ctl, VK_DELETE, ssCtrl);
    EXPECT_EQ(e.text(), "a");
}

TEST(ControlCommands, DeleteWordsFromTheCaret) {
    Editor e("alpha beta gamma", {8, 8});
    press(e.ctl, VK_BACK, ssCtrl);
    EXPECT_EQ(e.text(), "alpha ta gamma");
    press(e.ctl, VK_DELETE, ssCtrl);
    EXPECT_EQ(e.text(), "alpha gamma");
    press(e.ctl, VK_DELETE, ssCtrl); // no next word: to the end
    EXPECT_EQ(e.text(), "alpha ");
    e.ctl.SetSelection({0, 0});
    press(e.ctl, VK_BACK, ssCtrl); // already there: nothing
    EXPECT_EQ(e.text(), "alpha ");
}

TEST(ControlCommands, DeleteLineTakesTheRowWithItsLineEnd) {
    Editor e("one|two|three", {5, 5});
    ctrl(e.ctl, 'Y');
    EXPECT_EQ(e.text(), "one|three");
    EXPECT_EQ(e.caret(), 4);
    ctrl(e.ctl, 'Y'); // the last line without a line end: its text goes
    EXPECT_EQ(e.text(), "one|");
    e.ctl.SetSelection({0, 2}); // only with an empty selection
    ctrl(e.ctl, 'Y');
    EXPECT_EQ(e.text(), "one|");
}

TEST(ControlCommands, DeleteLineTakesTheWholeTextLineHoweverItIsCutIntoRows) {
    Editor e("", {0, 0});
    e.ctl.ViewResize(36 + 14 * 8 + 20, 200);
    e.ctl.SetWrapColumn(14);
    e.ctl.SetWordWrap(true);
    e.ctl.SetText("one\ralpha beta gamma delta\rtwo");
    ASSERT_GT(e.ctl.TextStore().NumLines(), 3);
    e.ctl.SetSelection({17, 17}); // in "gamma", on the line's second row
    ctrl(e.ctl, 'Y');
    EXPECT_EQ(e.text(), "one|two");
    EXPECT_TRUE(e.ctl.DoUndo());
    EXPECT_EQ(e.text(), "one|alpha beta gamma delta|two");
    // Without word wrap a line past 2047 characters is cut into records.
    Editor l("a|" + std::string(5000, 'x') + "|b", {3000, 3000});
    ctrl(l.ctl, 'Y');
    EXPECT_EQ(l.text(), "a|b");
    EXPECT_EQ(l.caret(), 2);
}

TEST(ControlCommands, EveryActionCodeHasItsDefaultKey) {
    Editor e("abc", {0, 0});
    std::vector<std::int32_t> seen;
    e.ctl.OnCommandRecognised = [&](TCustomRudivoVoru&, std::int32_t& action) {
        seen.push_back(action);
        action = -1; // only the key map is under test here
    };
    struct Stroke {
        std::uint16_t key;
        TShiftState shift;
        std::uint16_t chord; // a Ctrl key before it
    };
    std::vector<Stroke> strokes = {
        {VK_LEFT, 0, 0},      {VK_RIGHT, 0, 0},      {VK_HOME, 0, 0},      {VK_END, 0, 0},
        {VK_UP, 0, 0},        {VK_DOWN, 0, 0},       {VK_PRIOR, 0, 0},     {VK_NEXT, 0, 0},
        {VK_LEFT, ssCtrl, 0}, {VK_RIGHT, ssCtrl, 0}, {VK_HOME, ssCtrl, 0}, {VK_END, ssCtrl, 0},
        {'X', ssCtrl, 0},     {'C', ssCtrl, 0},      {'V', ssCtrl, 0},     {VK_DELETE, 0, 0},
        {VK_BACK, 0, 0},      {'I', 0, 'K'},         {'U', 0, 'K'},        {VK_INSERT, 0, 0}};
    for (std::uint16_t digit = '0'; digit <= '9'; ++digit)
        strokes.push_back({digit, 0, 'K'});
    for (std::uint16_t digit = '0'; digit <= '9'; ++digit)
        strokes.push_back({digit, 0, 'Q'});
    const std::vector<Stroke> rest = {{'Y', ssCtrl, 0},     {'Z', ssCtrl, 0},    {'Z', ssCtrl | ssShift, 0},
                                      {VK_BACK, ssCtrl, 0}, {'P', 0, 'K'},       {VK_DELETE, ssCtrl, 0},
                                      {VK_UP, ssCtrl, 0},   {VK_DOWN, ssCtrl, 0}};
    strokes.insert(strokes.end(), rest.begin(), rest.end());
    ASSERT_EQ(strokes.size(), static_cast<std::size_t>(kCommandActionCount));
    for (std::size_t code = 0; code < strokes.size(); ++code) {
        const Stroke& s = strokes[code];
        if (s.chord)
            ctrl(e.ctl, s.chord);
        seen.clear();
        press(e.ctl, s.key, s.shift);
        EXPECT_EQ(seen, (std::vector<std::int32_t>{static_cast<std::int32_t>(code)})) << "action " << code;
    }
    // Nothing was carried out: the handler turned every action into none.
    EXPECT_EQ(e.text(), "abc");
}

TEST(ControlCommands, EveryBookmarkKeySetsAndJumpsToItsOwnBookmark) {
    std::string text;
    for (int i = 0; i < 50; ++i)
        text += "line" + std::to_string(i) + "|";
    Editor e(text, {0, 0});
    std::vector<std::int32_t> places;
    for (int n = 0; n < 10; ++n) {
        const auto at =
            static_cast<std::int32_t>(e.ctl.perform(EM_LINEINDEX, static_cast<std::uintptr_t>(n * 5))) + 1 +
            n % 3;
        places.push_back(at);
        e.ctl.SetSelection({at, at});
        ctrl(e.ctl, 'K');
        press(e.ctl, static_cast<std::uint16_t>('0' + n));
    }
    for (int n = 9; n >= 0; --n) {
        e.ctl.SetSelection({0, 0});
        ctrl(e.ctl, 'Q');
        press(e.ctl, static_cast<std::uint16_t>('0' + n));
        EXPECT_EQ(e.caret(), places[static_cast<std::size_t>(n)]) << "bookmark " << n;
    }
}

TEST(ControlCommands, TheEditorWantsTheKeysItsMapsBindAndTheChordsSecondKey) {
    Editor e("abc", {0, 0});
    EXPECT_TRUE(e.ctl.KeyWanted(VK_LEFT, 0));
    EXPECT_TRUE(e.ctl.KeyWanted(VK_LEFT, ssShift)); // a movement key extends
    EXPECT_TRUE(e.ctl.KeyWanted('Y', ssCtrl));
    EXPECT_TRUE(e.ctl.KeyWanted('K', ssCtrl)); // a chord's first key
    EXPECT_TRUE(e.ctl.KeyWanted('J', ssCtrl)); // the template hot key
    EXPECT_FALSE(e.ctl.KeyWanted('S', ssCtrl));
    EXPECT_FALSE(e.ctl.KeyWanted('I', ssCtrl));
    EXPECT_FALSE(e.ctl.KeyWanted('A', 0));
    ctrl(e.ctl, 'K');
    EXPECT_TRUE(e.ctl.KeyWanted('I', ssCtrl)); // the chord waits for it
    press(e.ctl, VK_ESCAPE);
    EXPECT_FALSE(e.ctl.KeyWanted('I', ssCtrl));
    e.ctl.SetReadOnly(true);
    EXPECT_FALSE(e.ctl.KeyWanted('J', ssCtrl)); // no templates when read-only
    EXPECT_TRUE(e.ctl.KeyWanted(VK_RIGHT, 0));
    e.ctl.SetEnabled(false);
    EXPECT_FALSE(e.ctl.KeyWanted(VK_RIGHT, 0));
}

TEST(ControlCommands, ChordsReachBlockIndentAndOtherKeysPassOn) {
    Editor e("ab|cd|", {0, 4});
    ctrl(e.ctl, 'K');
    press(e.ctl, 'I', 0, 'i');
    EXPECT_EQ(e.text(), "\tab|\tcd|");
    ctrl(e.ctl, 'K');
    press(e.ctl, VK_CONTROL, ssCtrl); // Ctrl pressed again ends no chord
    ctrl(e.ctl, 'U');                 // the second key's Ctrl is dropped
    EXPECT_EQ(e.text(), "ab|cd|");
    // Ctrl+K then X: the chord is over and X types.
    e.ctl.SetSelection({0, 0});
    ctrl(e.ctl, 'K');
    press(e.ctl, 'X', 0, 'x');
    EXPECT_EQ(e.text(), "xab|cd|");
}

TEST(ControlCommands, InsertTogglesOverwrite) {
    Editor e("abc|d", {0, 0});
    press(e.ctl, VK_INSERT);
    EXPECT_FALSE(e.ctl.GetInsMode());
    EXPECT_TRUE(e.ctl.ChangeReasons() & crInsertMode);
    typeText(e.ctl, "XYZW");
    // At the line end overwrite inserts.
    EXPECT_EQ(e.text(), "XYZW|d");
    press(e.ctl, VK_INSERT);
    typeText(e.ctl, "!");
    EXPECT_EQ(e.text(), "XYZW!|d");
}

TEST(ControlCommands, BookmarksAreSetToggledAndJumpedTo) {
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += "row" + std::to_string(i) + "|";
    Editor e(text, {0, 0});
    int setEvents = 0;
    e.ctl.OnBookmarkSet = [&](TCustomRudivoVoru&, int index) { setEvents += index; };
    const std::int32_t row70 = static_cast<std::int32_t>(e.ctl.perform(EM_LINEINDEX, 70));
    e.ctl.SetSelection({row70 + 2, row70 + 2});
    ctrl(e.ctl, 'K');
    press(e.ctl, '3');
    EXPECT_EQ(setEvents, 3);
    std::int32_t line = 0, column = 0;
    ASSERT_TRUE(e.ctl.IsBookmarkSet(3, line, column));
    EXPECT_EQ(line, 71);
    EXPECT_EQ(column, 3);
    e.ctl.SetSelection({0, 0});
    ctrl(e.ctl, 'Q');
    press(e.ctl, '3');
    EXPECT_EQ(e.caret(), row70 + 2);
    EXPECT_EQ(e.ctl.TopLine(), 70 - e.ctl.VisibleRows() / 2);
    // Set again on its own line: removed.
    ctrl(e.ctl, 'K');
    press(e.ctl, '3');
    EXPECT_FALSE(e.ctl.IsBookmarkSet(3, line, column));
    e.ctl.SetSelection({0, 0});
    ctrl(e.ctl, 'Q');
    press(e.ctl, '3'); // nothing to jump to
    EXPECT_EQ(e.caret(), 0);
    // The document window's form: a 1-based line, column 1.
    e.ctl.SetBookmark(0, 5);
    e.ctl.JumpToBookmark(0);
    EXPECT_EQ(e.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 4);
    EXPECT_THROW(e.ctl.JumpToBookmark(10), ERudivoVoru);
    try {
        e.ctl.SetBookmark(12, 1);
        FAIL();
    } catch (const ERudivoVoru& ex) {
        EXPECT_EQ(ex.message(), "Bookmark index range error");
    }
}

TEST(ControlCommands, UndoAndRedoKeys) {
    Editor e("", {0, 0});
    typeText(e.ctl, "ab");
    ctrl(e.ctl, 'Z');
    EXPECT_EQ(e.text(), "a");
    ctrl(e.ctl, 'Z', ssShift);
    EXPECT_EQ(e.text(), "ab");
}

TEST(ControlCommands, ScrollLinesCarryTheCaretAlongAtTheEdge) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "x|";
    Editor e(text, {0, 0});
    press(e.ctl, VK_DOWN, ssCtrl);
    EXPECT_EQ(e.ctl.TopLine(), 1);
    EXPECT_EQ(e.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 1);
    press(e.ctl, VK_UP, ssCtrl);
    EXPECT_EQ(e.ctl.TopLine(), 0);
    EXPECT_EQ(e.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 1);
    e.ctl.SetSelection({2 * 19, 2 * 19}); // the bottom row
    press(e.ctl, VK_UP, ssCtrl);          // nothing above: no scroll
    press(e.ctl, VK_DOWN, ssCtrl);
    EXPECT_EQ(e.ctl.TopLine(), 1);
    EXPECT_EQ(e.ctl.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1)), 19);
}

TEST(ControlCommands, ARecognisedCommandCanBeChanged) {
    Editor e("abc", {1, 1});
    std::vector<std::int32_t> seen;
    e.ctl.OnCommandRecognised = [&](TCustomRudivoVoru&, std::int32_t& action) {
        seen.push_back(action);
        if (action == caLEFT)
            action = caDOCEND;
    };
    press(e.ctl, VK_LEFT);
    EXPECT_EQ(seen, (std::vector<std::int32_t>{caLEFT}));
    EXPECT_EQ(e.caret(), 3);
}

TEST(ControlCommands, ClipboardKeys) {
    Editor e("one|two", {0, 3});
    MemoryClipboard clipboard;
    e.ctl.SetClipboard(&clipboard);
    ctrl(e.ctl, 'C');
    EXPECT_EQ(clipboard.data(ClipFormat::Text), "one");
    e.ctl.SetSelection({2, 5});
    ctrl(e.ctl, 'X');
    EXPECT_EQ(clipboard.data(ClipFormat::Text), "e\r\nt");
    EXPECT_EQ(e.text(), "onwo");
    e.ctl.SetSelection({4, 4});
    ctrl(e.ctl, 'V');
    EXPECT_EQ(e.text(), "onwoe|t");
}

} // namespace
