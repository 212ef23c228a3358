// The window messages the application and the later layers send: each
// does what its number means, checks its arguments and never writes past
// the caller's buffer.

#include "editor/undo/undo_stack.h"
#include "tests/editor/control/control_edit_support.h"

#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace qorvi;
using namespace qorvi::test;

namespace {

std::intptr_t msg(TRudivoVoru& ctl, std::uint32_t m, std::intptr_t w = 0, std::intptr_t l = 0) {
    return ctl.perform(m, static_cast<std::uintptr_t>(w), l);
}

TEST(ControlEditMessages, SelectionMessages) {
    ControlFixture f;
    f.ctl.SetText("abc\rdef");
    msg(f.ctl, EM_SETSEL, 5, 1);
    EXPECT_EQ(sel(f.ctl), (TChRange{5, 1}));
    std::int32_t start = -1, end = -1;
    const std::intptr_t packed = f.ctl.perform(EM_GETSEL, reinterpret_cast<std::uintptr_t>(&start),
                                               reinterpret_cast<std::intptr_t>(&end));
    EXPECT_EQ(start, 1);
    EXPECT_EQ(end, 5);
    EXPECT_EQ(packed, 1 | (5 << 16));
    EXPECT_EQ(msg(f.ctl, EM_GETSEL), packed); // null pointers are not written
    msg(f.ctl, EM_SETSEL, 0, -1);
    EXPECT_EQ(sel(f.ctl), (TChRange{0, 7}));
    msg(f.ctl, EM_SETSEL, -1, 0); // -1: no selection, the caret stays
    EXPECT_EQ(sel(f.ctl), (TChRange{7, 7}));
    msg(f.ctl, EM_SETSEL, 2, 99); // clamped
    EXPECT_EQ(sel(f.ctl), (TChRange{2, 7}));
    // 3072: the selection as the control holds it, anchor and caret.
    TChRange r{6, 2};
    EXPECT_EQ(msg(f.ctl, SMM_SELECTION, kSmmSet, reinterpret_cast<std::intptr_t>(&r)), 0);
    TChRange got;
    msg(f.ctl, SMM_SELECTION, 0, reinterpret_cast<std::intptr_t>(&got));
    EXPECT_EQ(got, (TChRange{6, 2}));
    EXPECT_EQ(msg(f.ctl, SMM_SELECTION, 0, 0), 0); // no buffer: nothing written
    r = {-1, 3};                                   // -1 selects everything
    msg(f.ctl, SMM_SELECTION, kSmmSet, reinterpret_cast<std::intptr_t>(&r));
    EXPECT_EQ(sel(f.ctl), (TChRange{0, 7}));
    // A text buffer of the selection, cut to its size.
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(f.ctl.GetSelTextBuf(buffer, 6), 5);
    EXPECT_STREQ(buffer, "abc\r\n");
    EXPECT_EQ(buffer[6], 'Z');
    EXPECT_EQ(f.ctl.GetSelTextBuf(buffer, 0), 0);
    EXPECT_EQ(f.ctl.GetSelTextBuf(nullptr, 8), 0);
}

TEST(ControlEditMessages, LineMessagesCheckTheirRows) {
    ControlFixture f;
    f.ctl.SetText("one\rtwo\r");
    EXPECT_EQ(msg(f.ctl, EM_GETLINECOUNT), 3);
    EXPECT_EQ(msg(f.ctl, EM_LINEINDEX, 1), 4);
    EXPECT_EQ(msg(f.ctl, EM_LINEINDEX, 2), 8); // the row after the final break
    EXPECT_EQ(msg(f.ctl, EM_LINEINDEX, 3), -1);
    EXPECT_EQ(msg(f.ctl, EM_LINEINDEX, -7), -1);
    f.ctl.SetSelection({5, 5});
    EXPECT_EQ(msg(f.ctl, EM_LINEINDEX, -1), 4);
    EXPECT_EQ(msg(f.ctl, EM_LINEFROMCHAR, -1), 1);
    EXPECT_EQ(msg(f.ctl, EM_LINEFROMCHAR, 3), 0);
    EXPECT_EQ(msg(f.ctl, EM_LINEFROMCHAR, 8), 2);
    EXPECT_EQ(msg(f.ctl, EM_LINEFROMCHAR, 500), 2);
    EXPECT_EQ(msg(f.ctl, EM_LINELENGTH, 6), 3);
    EXPECT_EQ(msg(f.ctl, EM_LINELENGTH, -1), 3);
    // EM_GETLINE: the buffer's first word is its size.
    char buffer[8];
    std::memset(buffer, 'Z', sizeof buffer);
    const std::uint16_t size = 2;
    std::memcpy(buffer, &size, sizeof size);
    EXPECT_EQ(msg(f.ctl, EM_GETLINE, 1, reinterpret_cast<std::intptr_t>(buffer)), 2);
    EXPECT_EQ(std::string(buffer, 3), "twZ");
    const std::uint16_t big = 8;
    std::memcpy(buffer, &big, sizeof big);
    EXPECT_EQ(msg(f.ctl, EM_GETLINE, 1, reinterpret_cast<std::intptr_t>(buffer)), 3);
    EXPECT_EQ(msg(f.ctl, EM_GETLINE, 2, reinterpret_cast<std::intptr_t>(buffer)), 0);
    EXPECT_EQ(msg(f.ctl, EM_GETLINE, 9, reinterpret_cast<std::intptr_t>(buffer)), 0);
    EXPECT_EQ(msg(f.ctl, EM_GETLINE, 0, 0), 0);
    // The document window's go to line: index of line n - 1, then into view.
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line\r";
    f.ctl.SetText(text);
    const std::intptr_t at = msg(f.ctl, EM_LINEINDEX, 149);
    msg(f.ctl, EM_SETSEL, at, at);
    EXPECT_EQ(msg(f.ctl, EM_SCROLLCARET), 1);
    EXPECT_LE(f.ctl.TopLine(), 149);
    EXPECT_GT(f.ctl.TopLine() + f.ctl.VisibleRows(), 149);
    EXPECT_EQ(msg(f.ctl, EM_GETFIRSTVISIBLELINE), f.ctl.TopLine());
}

TEST(ControlEditMessages, TextMessagesFitTheBuffer) {
    ControlFixture f;
    EXPECT_EQ(msg(f.ctl, WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>("ab\ncd")), 1);
    EXPECT_EQ(msg(f.ctl, WM_GETTEXTLENGTH), 6);
    char buffer[5];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(msg(f.ctl, WM_GETTEXT, 4, reinterpret_cast<std::intptr_t>(buffer)), 3);
    EXPECT_STREQ(buffer, "ab\r");
    EXPECT_EQ(buffer[4], 'Z');
    EXPECT_EQ(msg(f.ctl, WM_GETTEXT, 0, reinterpret_cast<std::intptr_t>(buffer)), 0);
    EXPECT_EQ(f.ctl.GetTextLen(), 6);
    char all[16];
    EXPECT_EQ(f.ctl.GetTextBuf(all, sizeof all), 6);
    EXPECT_STREQ(all, "ab\r\ncd");
}

TEST(ControlEditMessages, ReplaceMessages) {
    ControlFixture f;
    f.ctl.SetText("abc");
    f.ctl.SetSelection({1, 2});
    msg(f.ctl, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>("XY"));
    EXPECT_EQ(f.ctl.GetText(), "aXYc");
    f.host.invalidated.clear();
    msg(f.ctl, SMM_REPLACESEL, kSmmNoRepaint, reinterpret_cast<std::intptr_t>("-"));
    EXPECT_EQ(f.ctl.GetText(), "aXY-c");
    EXPECT_TRUE(f.host.invalidated.empty());
    msg(f.ctl, SMM_REPLACESEL, 0, 0); // no text: nothing
    EXPECT_EQ(f.ctl.GetText(), "aXY-c");
    EXPECT_EQ(msg(f.ctl, EM_CANUNDO), 1);
    EXPECT_EQ(msg(f.ctl, EM_UNDO), 1);
    EXPECT_EQ(f.ctl.GetText(), "aXYc");
}

TEST(ControlEditMessages, UndoMessages) {
    ControlFixture f;
    EXPECT_EQ(msg(f.ctl, EM_CANUNDO), 0);
    EXPECT_EQ(msg(f.ctl, EM_UNDO), 0);
    typeText(f.ctl, "ab");
    EXPECT_EQ(msg(f.ctl, EM_GETMODIFY), 1);
    EXPECT_EQ(msg(f.ctl, SMM_MODIFIED), 1);
    EXPECT_EQ(msg(f.ctl, WM_UNDO), 1);
    EXPECT_EQ(msg(f.ctl, SMM_CANREDO), 1);
    EXPECT_EQ(msg(f.ctl, SMM_REDO), 1);
    EXPECT_EQ(msg(f.ctl, SMM_CANREDO), 0);
    EXPECT_EQ(msg(f.ctl, SMM_REDO), 0);
    EXPECT_EQ(f.ctl.GetText(), "ab");
    msg(f.ctl, EM_EMPTYUNDOBUFFER);
    EXPECT_EQ(msg(f.ctl, EM_CANUNDO), 0);
    EXPECT_EQ(msg(f.ctl, EM_GETMODIFY), 0);
    typeText(f.ctl, "c");
    msg(f.ctl, SMM_MODIFIED, kSmmSet, 1); // setting it does nothing
    EXPECT_EQ(msg(f.ctl, EM_CANUNDO), 1);
    msg(f.ctl, SMM_MODIFIED, kSmmSet, 0);
    EXPECT_EQ(msg(f.ctl, EM_CANUNDO), 0);
    EXPECT_EQ(reinterpret_cast<TUndoStack*>(msg(f.ctl, SMM_UNDOSTACK)), f.ctl.GetUndoStack());
}

TEST(ControlEditMessages, IndentAndUndentAsTheDocumentWindowSendsThem) {
    ControlFixture f;
    f.ctl.SetText("a\rb\r");
    f.ctl.SetSelection({0, 3});
    msg(f.ctl, 3088, 0, 1);
    EXPECT_EQ(shown(f.ctl.GetText()), "\ta|\tb|"); // flags bit 0: tabs
    msg(f.ctl, 3089, 0, 1);
    EXPECT_EQ(shown(f.ctl.GetText()), "a|b|");
    EXPECT_EQ(msg(f.ctl, EM_UNDO), 1);
    EXPECT_EQ(shown(f.ctl.GetText()), "\ta|\tb|"); // flags bit 0: tabs
}

TEST(ControlEditMessages, TopLineAndLeftColumn) {
    ControlFixture f;
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += std::string(200, 'x') + "\r";
    f.ctl.SetText(text);
    msg(f.ctl, SMM_TOPLINE, kSmmSet, 40);
    EXPECT_EQ(msg(f.ctl, SMM_TOPLINE), 40);
    msg(f.ctl, SMM_TOPLINE, kSmmSet, 5000);
    EXPECT_EQ(msg(f.ctl, SMM_TOPLINE), 99);
    msg(f.ctl, SMM_LEFTCOLUMN, kSmmSet | kSmmNoRepaint, 16);
    EXPECT_EQ(msg(f.ctl, SMM_LEFTCOLUMN), 16);
    msg(f.ctl, SMM_LEFTCOLUMN, kSmmSet, -3);
    EXPECT_EQ(msg(f.ctl, SMM_LEFTCOLUMN), 0);
    // Scrolling by any amount stays inside the text.
    msg(f.ctl, EM_LINESCROLL, INT32_MAX, INT32_MAX);
    EXPECT_EQ(msg(f.ctl, SMM_TOPLINE), 99);
    EXPECT_EQ(msg(f.ctl, SMM_LEFTCOLUMN), 200); // the longest row less one
    msg(f.ctl, EM_LINESCROLL, INT32_MIN, INT32_MIN);
    EXPECT_EQ(msg(f.ctl, SMM_TOPLINE), 0);
    EXPECT_EQ(msg(f.ctl, SMM_LEFTCOLUMN), 0);
}

TEST(ControlEditMessages, ClipboardMessages) {
    ControlFixture f;
    MemoryClipboard clipboard;
    f.ctl.SetClipboard(&clipboard);
    f.ctl.SetText("abc");
    f.ctl.SetSelection({0, 2});
    EXPECT_EQ(msg(f.ctl, EM_CANPASTE, 1), 0);
    msg(f.ctl, WM_COPY);
    EXPECT_EQ(msg(f.ctl, EM_CANPASTE, 1), 1);
    msg(f.ctl, WM_CUT);
    EXPECT_EQ(f.ctl.GetText(), "c");
    msg(f.ctl, WM_PASTE);
    msg(f.ctl, WM_PASTE);
    EXPECT_EQ(f.ctl.GetText(), "ababc");
}

TEST(ControlEditMessages, DoubleClickMessageSelectsTheWordWithWordSelect) {
    ControlFixture f;
    f.ctl.SetText("one two_three, four");
    f.ctl.SetSelection({9, 9});
    msg(f.ctl, WM_LBUTTONDBLCLK);
    EXPECT_EQ(sel(f.ctl), (TChRange{4, 13}));
    f.ctl.SetSelection({13, 13}); // on the comma: the word before it
    msg(f.ctl, WM_LBUTTONDBLCLK);
    EXPECT_EQ(sel(f.ctl), (TChRange{4, 13}));
    f.ctl.SetOptions(f.ctl.GetOptions() & ~smoWordSelect);
    f.ctl.SetSelection({1, 1});
    msg(f.ctl, WM_LBUTTONDBLCLK);
    EXPECT_EQ(sel(f.ctl), (TChRange{1, 1}));
}

TEST(ControlEditMessages, StyleBlocksStayInsideTheirBuffers) {
    ControlFixture f;
    f.ctl.SetText("ab\rcde\rf");
    std::uint8_t in[4] = {1, 2, 3, 4};
    TSMStyleBlock block{0, 2, in, 4};
    EXPECT_EQ(msg(f.ctl, SMM_SETSTYLES, 0, reinterpret_cast<std::intptr_t>(&block)), 4);
    std::uint8_t out[10];
    std::memset(out, 0xEE, sizeof out);
    block = {0, 9, out, 6};
    EXPECT_EQ(msg(f.ctl, SMM_GETSTYLES, 0, reinterpret_cast<std::intptr_t>(&block)), 6);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(out[3], 4);
    EXPECT_EQ(out[6], 0xEE);
    for (TSMStyleBlock bad :
         {TSMStyleBlock{-1, 1, out, 4}, TSMStyleBlock{3, 1, out, 4}, TSMStyleBlock{0, 0, out, 4},
          TSMStyleBlock{0, 1, nullptr, 4}, TSMStyleBlock{0, 1, out, -2}})
        EXPECT_EQ(msg(f.ctl, SMM_GETSTYLES, 0, reinterpret_cast<std::intptr_t>(&bad)), 0);
    EXPECT_EQ(msg(f.ctl, SMM_SETSTYLES, 0, 0), 0);
}

TEST(ControlEditMessages, GetSelPacksOnlySixteenBitEnds) {
    ControlFixture f;
    f.ctl.SetText(std::string(70000, 'x'));
    msg(f.ctl, EM_SETSEL, 65535, 65535);
    EXPECT_EQ(msg(f.ctl, EM_GETSEL), std::intptr_t{0xFFFFFFFF}); // both ends 65535
    msg(f.ctl, EM_SETSEL, 69000, 65536);
    std::int32_t start = -1, end = -1;
    // The packed answer cannot hold 65536: -1, and the pointers the offsets.
    EXPECT_EQ(f.ctl.perform(EM_GETSEL, reinterpret_cast<std::uintptr_t>(&start),
                            reinterpret_cast<std::intptr_t>(&end)),
              -1);
    EXPECT_EQ(start, 65536);
    EXPECT_EQ(end, 69000);
}

TEST(ControlEditMessages, PosFromCharAnswersOnlyForPlacesInTheTextArea) {
    ControlFixture f(640, 360);
    f.ctl.SetText("ab\r" + std::string(300, 'y'));
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, 2), (0 << 16) | (36 + 2 * 8));
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, 3), (18 << 16) | 36);
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, -1), -1);
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, 304), -1);     // past the text
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, 3 + 200), -1); // right of the window
    f.ctl.SetText("ab");
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, 2), (0 << 16) | (36 + 2 * 8)); // the end is a place
    EXPECT_EQ(msg(f.ctl, EM_POSFROMCHAR, 3), -1);
}

TEST(ControlEditMessages, OptionsMessageGetsAndSetsTheOptionWord) {
    ControlFixture f;
    const std::uint32_t options = f.ctl.GetOptions();
    EXPECT_EQ(static_cast<std::uint32_t>(msg(f.ctl, SMM_OPTIONS)), options);
    std::vector<std::uint32_t> reasons;
    f.ctl.OnChange = [&](TCustomRudivoVoru& c) { reasons.push_back(c.ChangeReasons()); };
    f.host.invalidated.clear();
    msg(f.ctl, SMM_OPTIONS, kSmmSet | kSmmNoRepaint, options & ~smoAutoIndent);
    EXPECT_EQ(f.ctl.GetOptions(), options & ~smoAutoIndent);
    EXPECT_EQ(static_cast<std::uint32_t>(msg(f.ctl, SMM_OPTIONS)), options & ~smoAutoIndent);
    // The option word takes effect: Enter no longer indents.
    f.ctl.SetText("  x");
    f.ctl.SetSelection({3, 3});
    typeText(f.ctl, "\r");
    EXPECT_EQ(shown(f.ctl.GetText()), "  x|");
    reasons.clear();
    msg(f.ctl, SMM_OPTIONS, kSmmSet, options | smoWordWrap);
    EXPECT_TRUE(f.ctl.GetWordWrap());
    ASSERT_FALSE(reasons.empty());
    EXPECT_TRUE(reasons.back() & crOptions);
}

TEST(ControlEditMessages, FocusMessagesBindTheSharedKeyMapToTheFocusedControl) {
    // Two controls of one language share its settings and key map: the keys
    // act on the control that has the focus.
    TestParser parser;
    ControlFixture a;
    ControlFixture b;
    a.ctl.SetParser(1, &parser);
    b.ctl.SetParser(1, &parser);
    a.ctl.SetText("abc");
    b.ctl.SetText("abc");
    msg(b.ctl, WM_SETFOCUS);
    EXPECT_TRUE(b.ctl.Focused());
    msg(b.ctl, WM_KILLFOCUS);
    msg(a.ctl, WM_SETFOCUS);
    EXPECT_FALSE(b.ctl.Focused());
    EXPECT_TRUE(a.ctl.Focused());
    std::uint16_t key = VK_END;
    TShiftState shift = 0;
    bool handled = false;
    parser.settings.KeyMap().KeyPressed(key, shift, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(sel(a.ctl), (TChRange{3, 3}));
    EXPECT_EQ(sel(b.ctl), (TChRange{0, 0}));
    a.ctl.SetParser(1, nullptr);
    b.ctl.SetParser(1, nullptr);
}

TEST(ControlEditMessages, SizeMessageSetsTheVisibleRowsAndColumns) {
    ControlFixture f;
    msg(f.ctl, WM_SIZE, 0, (360 << 16) | (36 + 40 * 8));
    EXPECT_EQ(f.ctl.VisibleColumns(), 40);
    EXPECT_EQ(f.ctl.VisibleRows(), 20);
    msg(f.ctl, WM_SIZE, 0, (180 << 16) | (36 + 40 * 8));
    EXPECT_EQ(f.ctl.VisibleRows(), 10);
}

TEST(ControlEditMessages, DialogCodeFollowsWantTabAndWantReturns) {
    ControlFixture f;
    const std::intptr_t all = msg(f.ctl, WM_GETDLGCODE);
    EXPECT_EQ(all & (DLGC_WANTARROWS | DLGC_WANTCHARS), DLGC_WANTARROWS | DLGC_WANTCHARS);
    EXPECT_TRUE(all & DLGC_WANTTAB);
    EXPECT_TRUE(all & DLGC_WANTMESSAGE);
    f.ctl.WantTab = false;
    f.ctl.WantReturns = false;
    const std::intptr_t none = msg(f.ctl, WM_GETDLGCODE);
    EXPECT_EQ(none, DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST(ControlEditMessages, RefreshTakesTheFontFromTheSettingsAgain) {
    ControlFixture f;
    f.ctl.SetText("abc\rdef");
    TFontSpec font = f.ctl.Settings().Font();
    font.Name = "Another Mono";
    font.Size = font.Size + 4;
    f.ctl.Settings().SetFont(font); // the settings change behind the control's back
    EXPECT_NE(f.ctl.Font().Name, "Another Mono");
    std::vector<std::uint32_t> reasons;
    f.ctl.OnChange = [&](TCustomRudivoVoru& c) { reasons.push_back(c.ChangeReasons()); };
    f.host.invalidated.clear();
    msg(f.ctl, SMM_REFRESH);
    EXPECT_EQ(f.ctl.Font().Name, "Another Mono");
    EXPECT_EQ(f.ctl.Font().Size, font.Size);
    ASSERT_FALSE(reasons.empty());
    EXPECT_TRUE(reasons.back() & crFormats);
    EXPECT_FALSE(f.host.invalidated.empty());
    EXPECT_EQ(f.ctl.GetText(), "abc\rdef");
}

TEST(ControlEditMessages, TextStoreMessageShowsAnotherStoreAndComesBack) {
    ControlFixture f;
    f.ctl.SetText("own");
    TTextStore* own = reinterpret_cast<TTextStore*>(msg(f.ctl, SMM_TEXTSTORE));
    EXPECT_EQ(own, &f.ctl.TextStore());
    ControlFixture other;
    other.ctl.SetText("other text");
    msg(f.ctl, SMM_TEXTSTORE, kSmmSet, reinterpret_cast<std::intptr_t>(&other.ctl.TextStore()));
    EXPECT_EQ(f.ctl.GetText(), "other text");
    EXPECT_EQ(reinterpret_cast<TTextStore*>(msg(f.ctl, SMM_TEXTSTORE)), &other.ctl.TextStore());
    msg(f.ctl, SMM_TEXTSTORE, kSmmSet, 0);
    EXPECT_EQ(f.ctl.GetText(), "own");
}

TEST(ControlEditMessages, UndoStackHandedBackIsKept) {
    ControlFixture f;
    typeText(f.ctl, "ab");
    const std::intptr_t history = msg(f.ctl, SMM_UNDOSTACK);
    msg(f.ctl, SMM_UNDOSTACK, kSmmSet, history);
    EXPECT_EQ(msg(f.ctl, SMM_UNDOSTACK), history);
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(f.ctl.GetText(), "a");
    typeText(f.ctl, "c");
    EXPECT_EQ(f.ctl.GetText(), "ac");
}

TEST(ControlEditMessages, ParseStartBeyondTheTextStaysInside) {
    ControlFixture f;
    f.ctl.SetText("a\rb");
    msg(f.ctl, SMM_PARSESTART, 0, 1000);
    msg(f.ctl, SMM_PARSESTART, 0, -1000);
    f.ctl.ParseText();
    EXPECT_EQ(f.ctl.GetText(), "a\rb");
}

TEST(ControlEditMessages, HugeCountsAndLengthsStayInsideTheText) {
    ControlFixture f;
    f.ctl.SetText("  ab\r\tcd\r");
    f.ctl.SetSelection({0, 9});
    msg(f.ctl, SMM_UNDENT, INT32_MAX, 0);
    EXPECT_EQ(shown(f.ctl.GetText()), "ab|cd|");
    msg(f.ctl, SMM_INDENT, INT32_MAX, 0); // at most 255 a line
    EXPECT_EQ(f.ctl.GetText().size(), 6u + 2 * 255);
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(shown(f.ctl.GetText()), "ab|cd|");
    f.ctl.SetSelStart(2);
    f.ctl.SetSelLength(INT32_MAX);
    EXPECT_EQ(sel(f.ctl), (TChRange{2, 6}));
    f.ctl.SetSelLength(INT32_MIN);
    EXPECT_EQ(sel(f.ctl), (TChRange{2, 0}));
    f.ctl.SetCPos({INT32_MAX, INT32_MAX});
    EXPECT_EQ(sel(f.ctl), (TChRange{6, 6}));
    f.ctl.SetCPos({INT32_MIN, INT32_MIN});
    EXPECT_EQ(sel(f.ctl), (TChRange{0, 0}));
}

TEST(ControlEditMessages, LaterLayersMessagesAnswerZeroForNow) {
    ControlFixture f;
    f.ctl.SetText("abc");
    for (std::uint32_t m : {SMM_IMPORT, SMM_EXPORT, SMM_EXPORTTEXT})
        EXPECT_EQ(msg(f.ctl, m, 8, 0), 0);
    EXPECT_EQ(f.ctl.GetText(), "abc");
}

} // namespace
