// Editing as the user does it: typing in insert and overwrite mode,
// auto-indent, smart tab and padding, block indent and unindent, template
// and auto-replace expansion, the clipboard, and what read-only stops.

#include "editor/control/rudivo_voru_strings.h"
#include "editor/settings/editor_settings.h"
#include "tests/editor/control/control_edit_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

// ---------------------------------------------------------------- typing

TEST(ControlTyping, TypingReplacesTheSelectionInOneStep) {
    Editor e("abcdef", {1, 4});
    typeText(e.ctl, "X");
    EXPECT_EQ(e.text(), "aXef");
    EXPECT_EQ(e.caret(), 2);
    EXPECT_EQ(e.undoSteps(), 1);
    EXPECT_EQ(e.text(), "abcdef");
}

TEST(ControlTyping, OverwriteReplacesTheCharacterButNotTheLineEnd) {
    Editor e("ab|cd", {1, 1});
    e.ctl.SetInsMode(false);
    typeText(e.ctl, "xyz");
    EXPECT_EQ(e.text(), "axyz|cd");
    typeText(e.ctl, "\r"); // a line break is inserted
    EXPECT_EQ(e.text(), "axyz||cd");
    e.ctl.SetSelection({6, 8});
    typeText(e.ctl, "Q"); // over a selection: the selection goes
    EXPECT_EQ(e.text(), "axyz||Q");
}

TEST(ControlTyping, OnlyPrintableCharactersAreTyped) {
    Editor e;
    for (char c : {'\x01', '\x1b', '\x7f', '\n'})
        e.ctl.KeyPress(c);
    EXPECT_EQ(e.text(), "");
    e.ctl.KeyPress('\xe9');
    e.ctl.KeyPress('\r');
    EXPECT_EQ(e.text(), "\xe9|");
    // Without WantReturns a line feed is the line break.
    e.ctl.WantReturns = false;
    e.ctl.KeyPress('\r');
    e.ctl.KeyPress('\n');
    EXPECT_EQ(e.text(), "\xe9||");
}

TEST(ControlTyping, ReadOnlyStopsTheUserButNotTheProgram) {
    Editor e("abc|def", {1, 1});
    e.ctl.SetReadOnly(true);
    typeText(e.ctl, "x\t\r");
    press(e.ctl, VK_DELETE);
    press(e.ctl, VK_BACK, ssCtrl);
    ctrl(e.ctl, 'Y');
    e.ctl.SetSelection({0, 5});
    ctrl(e.ctl, 'X');
    ctrl(e.ctl, 'V');
    e.ctl.perform(SMM_INDENT, 0, 0);
    e.ctl.perform(SMM_UNDENT, 0, 0);
    e.ctl.ClearSelection();
    EXPECT_EQ(e.text(), "abc|def");
    // Moving and copying still work.
    press(e.ctl, VK_END, ssShift);
    ctrl(e.ctl, 'C');
    EXPECT_EQ(e.ctl.Clipboard().data(ClipFormat::Text), "abc\r\ndef");
    // The program's edits (watching a file) go through.
    e.ctl.SetSelection({7, 7});
    e.ctl.DoReplaceSel("\rghi");
    EXPECT_EQ(e.text(), "abc|def|ghi");
}

TEST(ControlTyping, WithoutATabStopNothingIsTypedOrClicked) {
    Editor e("abc", {3, 3});
    e.ctl.TabStop = false;
    typeText(e.ctl, "x");
    MouseInput click{36 + 8 + 1, 4, MouseButton::Left, ssLeft, 1000};
    e.ctl.MouseDown(click);
    e.ctl.MouseUp(click);
    EXPECT_EQ(e.text(), "abc");
    EXPECT_EQ(sel(e.ctl), (TChRange{3, 3}));
    press(e.ctl, VK_LEFT); // keys of the key map still act
    EXPECT_EQ(e.caret(), 2);
}

TEST(ControlTyping, InsertSelPutsTextAtTheSelectionStartAsOneEdit) {
    Editor e("abcd", {3, 1});
    e.ctl.InsertSel("XYZ", 2);
    EXPECT_EQ(e.text(), "aXYbcd");
    EXPECT_EQ(sel(e.ctl), (TChRange{3, 3}));
    e.ctl.InsertSel("1\n2", -1);
    EXPECT_EQ(e.text(), "aXY1|2bcd");
    e.ctl.InsertSel(nullptr, 4);
    e.ctl.InsertSel("Q", 0);
    e.ctl.InsertSel("Q", -7);
    EXPECT_EQ(e.text(), "aXY1|2bcd");
    EXPECT_EQ(e.undoSteps(), 2);
    EXPECT_EQ(e.text(), "abcd");
}

// ---------------------------------------------------------------- auto-indent

TEST(ControlTyping, EnterKeepsTheIndentAsTabsOnlyWithSmartFill) {
    Editor e("\t\t", {2, 2});
    typeText(e.ctl, "\r");
    EXPECT_EQ(e.text(), "\t\t|\t\t");
    EXPECT_EQ(e.undoSteps(), 1);
    e.options(0, smoSmartFill);
    e.ctl.SetSelection({2, 2});
    typeText(e.ctl, "\r");
    EXPECT_EQ(e.text(), "\t\t|        ");
    e.options(smoSmartFill, smoUseTAB);
    e.ctl.SetText("\t\tx");
    e.ctl.SetSelection({3, 3});
    typeText(e.ctl, "\r");
    EXPECT_EQ(e.text(), "\t\tx|        ");
    e.options(0, smoAutoIndent);
    typeText(e.ctl, "\r");
    EXPECT_EQ(e.text(), "\t\tx|        |");
}

TEST(ControlTyping, TheIndentIsMeasuredUpToTheCaretOnTheLinesFirstRow) {
    Editor e("    code", {2, 2});
    typeText(e.ctl, "\r");
    EXPECT_EQ(e.text(), "  |    code");
    // With word wrap the indent of a continuation row is its line's.
    Editor w;
    w.ctl.ViewResize(36 + 14 * 8 + 20, 200);
    w.ctl.SetWrapColumn(14);
    w.ctl.SetWordWrap(true);
    w.ctl.SetText("  alpha beta gamma delta");
    ASSERT_GT(w.ctl.TextStore().NumLines(), 1);
    w.ctl.SetSelection({24, 24});
    typeText(w.ctl, "\r");
    EXPECT_EQ(w.text(), "  alpha beta gamma delta|  ");
}

// ---------------------------------------------------------------- tabs and padding

TEST(ControlTyping, SmartTabGoesToTheNextWordOfTheLineAbove) {
    Editor e("int    value;   // note||", {25, 25});
    e.options(0, smoSmartFill);
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.text(), "int    value;   // note||       ");
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.text(), "int    value;   // note||                ");
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.ctl.CaretColumn(), 19); // "note"
    typeText(e.ctl, "\t");              // the rest of that line is blank: its end
    EXPECT_EQ(e.ctl.CaretColumn(), 23);
    typeText(e.ctl, "\t"); // past every line above: the next tab stop
    EXPECT_EQ(e.ctl.CaretColumn(), 24);
    EXPECT_EQ(e.undoSteps(), 5);
    // Without tab-to-column: the next tab stop, filled with tabs.
    e.options(smoSmartFill, smoTabToColumn);
    e.ctl.SetText("ab");
    e.ctl.SetSelection({2, 2});
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.text(), "ab\t");
    // Without smoUseTAB too: blanks.
    e.options(0, smoUseTAB);
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.text(), "ab\t    ");
}

TEST(ControlTyping, SmartTabPassesShortLinesAndMeasuresTabsOnLongerOnes) {
    // "ab" is too short for column 5; the line above it, "    x   yyy" on
    // screen, has its next word at column 8.
    Editor e("\tx   yyy|ab|abcde", {17, 17});
    e.options(0, smoSmartFill);
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.ctl.CaretColumn(), 8);
    EXPECT_EQ(e.text(), "\tx   yyy|ab|abcde   ");
}

TEST(ControlTyping, ATabIsACharacterWithUseTabAndNoTabToColumn) {
    Editor e("abc|", {4, 4});
    e.options(smoUseTAB, smoTabToColumn);
    typeText(e.ctl, "\t");
    EXPECT_EQ(e.text(), "abc|\t");
}

TEST(ControlTyping, PaddingFillsWithTabsWhereATabStopFits) {
    Editor e;
    std::string text;
    e.ctl.FormPadding(1, 10, true, text);
    EXPECT_EQ(text, "\t\t  ");
    e.ctl.SetTabColumns("3 7");
    e.ctl.FormPadding(0, 9, true, text);
    EXPECT_EQ(text, "\t\t\t ");
    e.options(0, smoSmartFill);
    e.ctl.FormPadding(0, 3, true, text);
    EXPECT_EQ(text, "   ");
    e.ctl.FormPadding(5, 2, true, text);
    EXPECT_EQ(text, "");
    EXPECT_EQ(e.text(), "");
    e.ctl.FormPadding(0, 2, false, text);
    EXPECT_EQ(e.text(), "  ");
}

// ---------------------------------------------------------------- block indent

TEST(ControlBlockIndent, OneStepIsInTheCharacterTheTextIndentsWith) {
    // text | selection | tab option | step | text after one step in, after one step out
    struct Case {
        const char* text;
        TChRange at;
        bool tabs;
        int step;
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"one|two|three|four", {5, 10}, false, 3, "one|   two|   three|four", "one|two|three|four"},
        {"one|two|three|four", {5, 10}, true, 3, "one|\ttwo|\tthree|four", "one|two|three|four"},
        // The text says tabs or blanks, whatever the option.
        {"a|\tb|c|d", {7, 8}, false, 4, "a|\tb|c|\td", "a|\tb|c|d"},
        {"a|  b|c", {6, 7}, true, 2, "a|  b|  c", "a|  b|c"},
        // Out removes one tab, or up to a step of blanks, and never text.
        {"\t\tx|      y|z", {0, 13}, true, 4, "\t\t\tx|\t      y|\tz", "\t\tx|      y|z"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Editor e(c.text, c.at);
        const std::uint32_t tab = smoUseTAB;
        e.options(c.tabs ? tab : 0u, c.tabs ? 0u : tab);
        e.ctl.SetIndentStep(static_cast<std::uint8_t>(c.step));
        e.ctl.perform(SMM_INDENT, 0, 1); // the menu's command
        EXPECT_EQ(e.text(), c.in);
        e.ctl.perform(SMM_UNDENT, 0, 1);
        EXPECT_EQ(e.text(), c.out);
        e.ctl.perform(SMM_INDENT, 0, 0); // the key map's command does the same
        EXPECT_EQ(e.text(), c.in);
    }
    Editor blanks("      y|z", {0, 9});
    blanks.ctl.SetIndentStep(4);
    blanks.ctl.perform(SMM_UNDENT, 0, 0);
    EXPECT_EQ(blanks.text(), "  y|z");
}

TEST(ControlBlockIndent, AGivenCountIndentsThatManyCharactersInOneUndoStep) {
    Editor e("one|two|three|four", {5, 10});
    e.ctl.perform(SMM_INDENT, 3, 0);
    EXPECT_EQ(e.text(), "one|   two|   three|four");
    EXPECT_EQ(sel(e.ctl), (TChRange{4, 19})); // the indented lines
    e.ctl.perform(SMM_INDENT, 2, 1); // tabs with smoUseTAB
    EXPECT_EQ(e.text(), "one|\t\t   two|\t\t   three|four");
    EXPECT_EQ(e.undoSteps(), 2);
    EXPECT_EQ(e.text(), "one|two|three|four");
    EXPECT_EQ(sel(e.ctl), (TChRange{5, 10}));
}

TEST(ControlBlockIndent, ASelectionEndingAtALineStartLeavesThatLineOut) {
    Editor e("a|b|c", {4, 0}); // right to left, ending where "c" begins
    e.ctl.perform(SMM_INDENT, 1, 0);
    EXPECT_EQ(e.text(), " a| b|c");
    EXPECT_EQ(sel(e.ctl), (TChRange{6, 0}));
    Editor none("abc", {1, 1});
    none.ctl.perform(SMM_INDENT, 1, 0); // no selection: nothing
    EXPECT_EQ(none.text(), "abc");
    EXPECT_FALSE(none.ctl.CanUndo());
}

TEST(ControlBlockIndent, UnindentRemovesCharactersNotColumns) {
    Editor e("\t   x|  y|z|", {0, 10});
    e.ctl.perform(SMM_UNDENT, 4, 0);
    EXPECT_EQ(e.text(), "x|y|z|");
    EXPECT_EQ(e.undoSteps(), 1);
    EXPECT_EQ(e.text(), "\t   x|  y|z|");
    // Non-breaking spaces count; lines that are only a line end are left.
    Editor nb("\xa0\xa0x||\t", {0, 6});
    nb.ctl.perform(SMM_UNDENT, 1, 0);
    EXPECT_EQ(nb.text(), "\xa0x||");
}

TEST(ControlBlockIndent, WordWrapIndentsLinesNotRows) {
    Editor e;
    e.ctl.ViewResize(36 + 12 * 8 + 20, 200);
    e.ctl.SetWrapColumn(12);
    e.ctl.SetWordWrap(true);
    e.ctl.SetText("alpha beta gamma\rx");
    ASSERT_EQ(e.ctl.TextStore().NumLines(), 3);
    e.ctl.SetSelection({0, 18});
    e.ctl.perform(SMM_INDENT, 2, 0);
    EXPECT_EQ(e.text(), "  alpha beta gamma|  x");
}

// ---------------------------------------------------------------- templates

struct PickListHost : RecordingHost {
    std::vector<std::string> items;
    int selected = -2;
    int hidden = 0;
    void showPickList(const std::vector<std::string>& list, int chosen, const CanvasRect&) override {
        items = list;
        selected = chosen;
    }
    void hidePickList() override { ++hidden; }
};

TEST(ControlTemplates, HotKeyExpandsTheNameBeforeTheCaretInOneStep) {
    Editor e;
    e.ctl.Settings().Templates().Define("for", "for loop", "for (|;;) {\r}");
    typeText(e.ctl, "  for");
    ctrl(e.ctl, 'J');
    EXPECT_EQ(e.text(), "  for (;;) {|  }");
    EXPECT_EQ(e.caret(), 7);
    EXPECT_TRUE(e.ctl.DoUndo());
    EXPECT_EQ(e.text(), "  for");
    EXPECT_EQ(e.caret(), 5);
}

TEST(ControlTemplates, LaterLinesAreIndentedToTheInsertionColumn) {
    Editor e("1234567 ", {8, 8}); // column 9
    e.ctl.Settings().Templates().Define("two", "", "first\rsecond");
    typeText(e.ctl, "two");
    ctrl(e.ctl, 'J');
    EXPECT_EQ(e.text(), "1234567 first|        second");
    // A name glued to the word before it is no template.
    e.ctl.SetText("x");
    e.ctl.SetSelection({1, 1});
    typeText(e.ctl, "two");
    ctrl(e.ctl, 'J');
    EXPECT_EQ(e.text(), "xtwo");
}

TEST(ControlTemplates, TheEventMayChangeTheText) {
    Editor e;
    e.ctl.Settings().Templates().Define("x", "", "ex");
    std::string seen;
    e.ctl.OnTemplateEvent = [&](TCustomRudivoVoru&, const std::string& name, std::string& text) {
        seen = name;
        text = "changed";
    };
    typeText(e.ctl, "X");
    ctrl(e.ctl, 'J');
    EXPECT_EQ(seen, "X");
    EXPECT_EQ(e.text(), "changed");
}

TEST(ControlTemplates, WithoutAMatchThePickListOpensOnTheTypedWord) {
    PickListHost host;
    Editor e("say wh");
    e.ctl.SetHost(&host);
    TCodeTemplates& templates = e.ctl.Settings().Templates();
    templates.Define("if", "if", "if (|)");
    templates.Define("while", "while loop", "while (|)");
    templates.Define("switch", "switch", "switch (|)");
    e.ctl.SetSelection({6, 6});
    ctrl(e.ctl, 'J');
    ASSERT_TRUE(e.ctl.PickListShown());
    EXPECT_EQ(host.items, (std::vector<std::string>{"if\tif", "switch\tswitch", "while loop\twhile"}));
    EXPECT_EQ(host.selected, 2);
    EXPECT_EQ(sel(e.ctl), (TChRange{4, 6})); // the typed word, shown selected
    EXPECT_FALSE(e.ctl.HideSelection());
    // Escape: nothing changes but the selection collapses.
    e.ctl.PickListClosed();
    EXPECT_FALSE(e.ctl.PickListShown());
    EXPECT_EQ(host.hidden, 1);
    EXPECT_TRUE(e.ctl.HideSelection());
    EXPECT_EQ(e.text(), "say wh");
    EXPECT_EQ(sel(e.ctl), (TChRange{6, 6}));
    // Again, and this time search by typing and choose with Return.
    ctrl(e.ctl, 'J');
    EXPECT_EQ(e.ctl.PickListKey('s'), 1);
    EXPECT_EQ(e.ctl.PickListKey('x'), -1);
    e.ctl.PickListChosen(1);
    EXPECT_FALSE(e.ctl.PickListShown());
    // "wh" does not occur in "switch": it stays, the template follows it.
    EXPECT_EQ(e.text(), "say whswitch ()");
    EXPECT_EQ(e.caret(), 14);
    e.ctl.SetHost(&e.host);
}

TEST(ControlTemplates, ChoosingAnEntryThatHoldsTheWordReplacesIt) {
    PickListHost host;
    Editor e("wh");
    e.ctl.SetHost(&host);
    e.ctl.Settings().Templates().Define("while", "", "while (|)");
    e.ctl.SetSelection({2, 2});
    ctrl(e.ctl, 'J');
    e.ctl.PickListChosen(host.selected);
    EXPECT_EQ(e.text(), "while ()");
    EXPECT_EQ(e.undoSteps(), 1);
    EXPECT_EQ(e.text(), "wh");
    e.ctl.SetHost(&e.host);
}

// ---------------------------------------------------------------- auto-replace

TEST(ControlAutoReplace, AWordIsReplacedWhenAnActivationKeyFollows) {
    Editor e;
    e.ctl.Settings().AutoReplace().AddEntry("teh", "the");
    typeText(e.ctl, "teh cat");
    EXPECT_EQ(e.text(), "the cat");
    typeText(e.ctl, " ateh ");
    EXPECT_EQ(e.text(), "the cat ateh ");
    typeText(e.ctl, "(teh)");
    EXPECT_EQ(e.text(), "the cat ateh (the)");
    // The expansion and the key that set it off are one step each.
    e.ctl.SetText("");
    typeText(e.ctl, "teh.");
    EXPECT_EQ(e.text(), "the.");
    e.ctl.DoUndo();
    EXPECT_EQ(e.text(), "the");
    e.ctl.DoUndo();
    EXPECT_EQ(e.text(), "teh");
}

TEST(ControlAutoReplace, TheEventMayRefuse) {
    Editor e;
    e.ctl.Settings().AutoReplace().AddEntry("teh", "the");
    std::int32_t itemStart = -1;
    e.ctl.OnAutoReplace = [&](TCustomRudivoVoru&, std::int32_t start, const std::string& item, std::string&,
                              bool& can) {
        itemStart = start;
        EXPECT_EQ(item, "teh");
        can = false;
    };
    typeText(e.ctl, "x teh ");
    EXPECT_EQ(itemStart, 2);
    EXPECT_EQ(e.text(), "x teh ");
}

// ---------------------------------------------------------------- clipboard

TEST(ControlClipboard, CopyWritesCrLfAndPasteTakesAnyLineBreaks) {
    Editor e("one|two", {0, 7});
    MemoryClipboard clipboard;
    e.ctl.SetClipboard(&clipboard);
    e.ctl.CopyToClipboard();
    EXPECT_EQ(clipboard.data(ClipFormat::Text), "one\r\ntwo");
    EXPECT_TRUE(e.ctl.CanPaste());
    EXPECT_EQ(e.ctl.perform(EM_CANPASTE, 0), 1);
    EXPECT_EQ(e.ctl.perform(EM_CANPASTE, 7), 0);
    // Pasting it back reproduces the selection exactly.
    e.ctl.PasteFromClipboard();
    EXPECT_EQ(e.text(), "one|two");
    for (const char* data : {"a\nb", "a\r\nb", "a\rb"}) {
        clipboard.setContents({{ClipFormat::Text, data}});
        e.ctl.SetText("");
        e.ctl.PasteFromClipboard();
        EXPECT_EQ(e.text(), "a|b") << data;
    }
    // CF_TEXT ends at its zero.
    clipboard.setContents({{ClipFormat::Text, std::string("ab\0cd", 5)}});
    e.ctl.SetText("");
    e.ctl.PasteFromClipboard();
    EXPECT_EQ(e.text(), "ab");
}

TEST(ControlClipboard, AnEmptySelectionCopiesNothingAndAnEmptyClipboardPastesNothing) {
    Editor e("abc", {1, 1});
    MemoryClipboard clipboard;
    e.ctl.SetClipboard(&clipboard);
    clipboard.setContents({{ClipFormat::Text, "kept"}});
    e.ctl.CopyToClipboard();
    e.ctl.CutToClipboard();
    EXPECT_EQ(clipboard.data(ClipFormat::Text), "kept");
    EXPECT_FALSE(e.ctl.CanUndo());
    clipboard.setContents({});
    e.ctl.PasteFromClipboard();
    EXPECT_EQ(e.text(), "abc");
    // HTML alone is pasted as its text, though EM_CANPASTE asks for CF_TEXT.
    clipboard.setContents({{ClipFormat::Html, "<b>x</b>"}});
    EXPECT_FALSE(e.ctl.CanPaste());
    e.ctl.PasteFromClipboard();
    EXPECT_EQ(e.text(), "a<b>x</b>bc");
}

TEST(ControlClipboard, ControlsShareTheDefaultClipboard) {
    Editor a("shared", {0, 6});
    Editor b;
    a.ctl.CopyToClipboard();
    b.ctl.PasteFromClipboard();
    EXPECT_EQ(b.text(), "shared");
}

} // namespace
