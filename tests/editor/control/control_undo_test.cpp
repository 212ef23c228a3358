// Undo and redo through the control: every kind of change goes back and
// comes again in one step with its selection, transactions group changes,
// the modified flag follows the save point, and a history that does not
// match the text is never replayed.

#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/undo/undo_stack.h"
#include "tests/editor/control/control_edit_support.h"

#include <functional>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

struct Change {
    const char* name;
    const char* text;
    TChRange selection;
    std::function<void(TRudivoVoru&)> act;
    const char* after;
};

TEST(ControlUndo, EveryKindOfChangeGoesBackAndComesAgainInOneStep) {
    const Change changes[] = {
        {"typing", "ab|cd", {2, 2}, [](TRudivoVoru& c) { typeText(c, "x"); }, "abx|cd"},
        {"typing over a selection", "abcd", {3, 1}, [](TRudivoVoru& c) { typeText(c, "x"); }, "axd"},
        {"enter with auto-indent", "  ab", {4, 4}, [](TRudivoVoru& c) { typeText(c, "\r"); }, "  ab|  "},
        {"smart tab", "ab cd|", {6, 6}, [](TRudivoVoru& c) { typeText(c, "\t"); }, "ab cd|   "},
        {"overwrite",
         "abcd",
         {1, 1},
         [](TRudivoVoru& c) {
             c.SetInsMode(false);
             typeText(c, "x");
         },
         "axcd"},
        {"template",
         "  fn",
         {4, 4},
         [](TRudivoVoru& c) {
             c.Settings().Templates().Define("fn", "function", "f(|)\r{\r}");
             ctrl(c, 'J');
         },
         "  f()|  {|  }"},
        {"delete", "abc", {1, 1}, [](TRudivoVoru& c) { press(c, VK_DELETE); }, "ac"},
        {"backspace", "abc", {1, 1}, [](TRudivoVoru& c) { press(c, VK_BACK); }, "bc"},
        {"delete a selection", "abcdef", {1, 4}, [](TRudivoVoru& c) { press(c, VK_DELETE); }, "aef"},
        {"previous word", "one two", {7, 7}, [](TRudivoVoru& c) { ctrl(c, VK_BACK); }, "one "},
        {"next word", "one two", {0, 0}, [](TRudivoVoru& c) { ctrl(c, VK_DELETE); }, "two"},
        {"delete line", "a|b|c", {2, 2}, [](TRudivoVoru& c) { ctrl(c, 'Y'); }, "a|c"},
        {"insert at the selection start",
         "abcd",
         {3, 1},
         [](TRudivoVoru& c) { c.InsertSel("x\ny", -1); },
         "ax|ybcd"},
        {"cut", "abcdef", {4, 1}, [](TRudivoVoru& c) { ctrl(c, 'X'); }, "aef"},
        {"paste",
         "ab",
         {1, 1},
         [](TRudivoVoru& c) {
             c.Clipboard().setContents({{ClipFormat::Text, "X\r\nY"}});
             ctrl(c, 'V');
         },
         "aX|Yb"},
        {"block indent", "a|b|c", {0, 3}, [](TRudivoVoru& c) { c.perform(SMM_INDENT, 2, 0); }, "  a|  b|c"},
        {"block unindent", "\ta| b|c", {0, 5}, [](TRudivoVoru& c) { c.perform(SMM_UNDENT, 1, 0); }, "a|b|c"},
        {"replace message",
         "abc",
         {0, 3},
         [](TRudivoVoru& c) { c.perform(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("x\ny")); },
         "x|y"},
        {"padding beyond the line end",
         "ab|cd",
         {2, 2},
         [](TRudivoVoru& c) {
             c.SetOptions(c.GetOptions() | smoCaretAfterEOL);
             press(c, VK_RIGHT);
             press(c, VK_RIGHT);
             typeText(c, "x");
         },
         "ab\tx|cd"},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.name);
        ControlFixture f;
        std::string text = change.text;
        for (char& c : text)
            if (c == '|')
                c = '\r';
        f.ctl.SetText(text);
        f.ctl.SetSelection(change.selection);
        change.act(f.ctl);
        EXPECT_EQ(shown(f.ctl.GetText()), change.after);
        const TChRange afterSel = sel(f.ctl);
        ASSERT_TRUE(f.ctl.CanUndo());
        EXPECT_TRUE(f.ctl.DoUndo());
        EXPECT_EQ(f.ctl.GetText(), text);
        EXPECT_EQ(sel(f.ctl), change.selection);
        EXPECT_FALSE(f.ctl.CanUndo()) << "more than one step";
        EXPECT_FALSE(f.ctl.GetModified());
        EXPECT_TRUE(f.ctl.DoReDo());
        EXPECT_EQ(shown(f.ctl.GetText()), change.after);
        EXPECT_EQ(sel(f.ctl), afterSel);
        EXPECT_FALSE(f.ctl.CanRedo());
    }
}

TEST(ControlUndo, TypedLettersAreStepsEachAndAPasteIsOne) {
    ControlFixture f;
    typeText(f.ctl, "abc");
    int steps = 0;
    while (f.ctl.DoUndo())
        ++steps;
    EXPECT_EQ(steps, 3);
    f.ctl.Clipboard().setContents({{ClipFormat::Text, "abc"}});
    f.ctl.PasteFromClipboard();
    steps = 0;
    while (f.ctl.DoUndo())
        ++steps;
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(f.ctl.GetText(), "");
}

TEST(ControlUndo, ANewEditDiscardsWhatCouldBeRedone) {
    ControlFixture f;
    typeText(f.ctl, "abc");
    f.ctl.DoUndo();
    f.ctl.DoUndo();
    EXPECT_TRUE(f.ctl.CanRedo());
    EXPECT_EQ(f.ctl.perform(SMM_CANREDO), 1);
    typeText(f.ctl, "x");
    EXPECT_EQ(f.ctl.GetText(), "ax");
    EXPECT_FALSE(f.ctl.CanRedo());
    EXPECT_FALSE(f.ctl.DoReDo());
    f.ctl.DoUndo();
    EXPECT_EQ(f.ctl.GetText(), "a");
}

TEST(ControlUndo, UndoRestoresASelectionMadeRightToLeft) {
    ControlFixture f;
    f.ctl.SetText("abcdef");
    f.ctl.SetSelection({5, 2});
    typeText(f.ctl, "x");
    EXPECT_EQ(f.ctl.GetText(), "abxf");
    f.ctl.DoUndo();
    EXPECT_EQ(sel(f.ctl), (TChRange{5, 2}));
}

TEST(ControlUndo, TransactionsGroupChangesAndDoNotNest) {
    ControlFixture f;
    f.ctl.SetText("abc");
    f.ctl.UndoTransBegin(utReplace);
    f.ctl.SetSelection({0, 1});
    f.ctl.DoReplaceSel("X");
    f.ctl.UndoTransBegin(utPaste); // ignored: one is open
    f.ctl.SetSelection({2, 3});
    f.ctl.DoReplaceSel("YY");
    f.ctl.UndoTransEnd(utPaste); // not the open one: ignored
    f.ctl.SetSelection({1, 1});
    f.ctl.DoReplaceSel("-");
    f.ctl.UndoTransEnd(utReplace);
    EXPECT_EQ(f.ctl.GetText(), "X-bYY");
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(f.ctl.GetText(), "abc");
    EXPECT_FALSE(f.ctl.CanUndo());
    EXPECT_TRUE(f.ctl.DoReDo());
    EXPECT_EQ(f.ctl.GetText(), "X-bYY");
    // A transaction in which nothing changed leaves no step behind and
    // keeps what can be redone.
    f.ctl.DoUndo();
    f.ctl.UndoTransBegin(utTyping);
    f.ctl.UndoTransEnd(utTyping);
    press(f.ctl, VK_BACK); // at index 0: nothing
    EXPECT_TRUE(f.ctl.CanRedo());
    EXPECT_FALSE(f.ctl.CanUndo());
}

TEST(ControlUndo, ModifiedFollowsTheSavePoint) {
    ControlFixture f;
    f.ctl.SetText("abc");
    EXPECT_FALSE(f.ctl.GetModified());
    f.ctl.SetSelection({3, 3});
    typeText(f.ctl, "de");
    EXPECT_TRUE(f.ctl.GetModified());
    EXPECT_EQ(f.ctl.perform(EM_GETMODIFY), 1);
    f.ctl.MarkSavePoint(); // saved "abcde"
    EXPECT_FALSE(f.ctl.GetModified());
    f.ctl.DoUndo();
    EXPECT_TRUE(f.ctl.GetModified());
    f.ctl.DoReDo();
    EXPECT_FALSE(f.ctl.GetModified());
    // Undo one letter and type another: the same number of steps as at the
    // save point, but not the saved text.
    f.ctl.DoUndo();
    typeText(f.ctl, "X");
    EXPECT_EQ(f.ctl.GetText(), "abcdX");
    EXPECT_TRUE(f.ctl.GetModified());
    // Back to the saved text by undoing to the save point's predecessor and
    // typing the same letter is still another state.
    f.ctl.DoUndo();
    typeText(f.ctl, "e");
    EXPECT_EQ(f.ctl.GetText(), "abcde");
    EXPECT_TRUE(f.ctl.GetModified());
    // Modified := false empties the history; true changes nothing.
    f.ctl.perform(SMM_MODIFIED, kSmmSet, 0);
    EXPECT_FALSE(f.ctl.GetModified());
    EXPECT_EQ(f.ctl.perform(EM_CANUNDO), 0);
    f.ctl.SetModified(true);
    EXPECT_FALSE(f.ctl.GetModified());
    EXPECT_EQ(f.ctl.perform(SMM_MODIFIED), 0);
    // Loading a text starts clean.
    typeText(f.ctl, "z");
    f.ctl.SetText("new");
    EXPECT_FALSE(f.ctl.GetModified());
    EXPECT_FALSE(f.ctl.CanUndo());
}

TEST(ControlUndo, OnChangeSeesTheModifiedFlagOfTheChangeItReports) {
    ControlFixture f;
    std::vector<bool> seen;
    f.ctl.OnChange = [&](TCustomRudivoVoru& c) { seen.push_back(c.GetModified()); };
    typeText(f.ctl, "a");
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(seen.back());
    f.ctl.DoUndo();
    EXPECT_FALSE(seen.back());
}

TEST(ControlUndo, ReadOnlyBlocksUndoAndRedo) {
    ControlFixture f;
    typeText(f.ctl, "ab");
    f.ctl.SetReadOnly(true);
    EXPECT_FALSE(f.ctl.DoUndo());
    EXPECT_EQ(f.ctl.perform(EM_UNDO), 0);
    EXPECT_EQ(f.ctl.GetText(), "ab");
    f.ctl.SetReadOnly(false);
    EXPECT_EQ(f.ctl.perform(WM_UNDO), 1);
    f.ctl.SetReadOnly(true);
    EXPECT_EQ(f.ctl.perform(SMM_REDO), 0);
    EXPECT_EQ(f.ctl.GetText(), "a");
}

TEST(ControlUndo, AnEditMadeWhileRecordingIsOffEmptiesTheHistory) {
    ControlFixture f;
    typeText(f.ctl, "ab");
    f.ctl.DoUndoNotify(7, 0, 0);
    f.ctl.SetSelection({0, 0});
    f.ctl.DoReplaceSel("x");
    f.ctl.DoUndoNotify(6, 0, 0);
    // Replaying "ab" against "xab" would put the letters in the wrong place.
    EXPECT_FALSE(f.ctl.CanUndo());
    typeText(f.ctl, "y");
    f.ctl.DoUndo();
    EXPECT_EQ(f.ctl.GetText(), "xab");
}

TEST(ControlUndo, ARecordThatDoesNotMatchTheTextIsRefusedAndTheHistoryEmptied) {
    ControlFixture f;
    int beeps = 0;
    struct BeepHost : RecordingHost {
        int* count;
        void beep() override { ++*count; }
    } host;
    host.count = &beeps;
    f.ctl.SetHost(&host);
    typeText(f.ctl, "abc");
    // The text changes behind the history's back.
    f.ctl.TextStore().DeleteText(0, 3);
    f.ctl.TextStore().InsertText(0, "zzzz", 4);
    f.ctl.TextStore().UpdateEditors();
    try {
        f.ctl.DoUndo();
        FAIL() << "replayed a damaged history";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Bad do/undo stack state");
    }
    EXPECT_EQ(f.ctl.TextStore().GetText(), "zzzz");
    EXPECT_FALSE(f.ctl.CanUndo());
    EXPECT_EQ(beeps, 1);
    // An item where a marker belongs.
    f.ctl.SetSelection({4, 4});
    typeText(f.ctl, "q");
    f.ctl.PushDoUndoOp(uitRange, 0, 0);
    EXPECT_THROW(f.ctl.DoUndo(), ERudivoVoru);
    EXPECT_FALSE(f.ctl.CanUndo());
    EXPECT_EQ(f.ctl.TextStore().GetText(), "zzzzq");
    f.ctl.SetHost(&f.host);
}

TEST(ControlUndo, AReplaceStartedInsideAReplaceIsABadLogEntry) {
    ControlFixture f;
    typeText(f.ctl, "ab");
    bool inner = true;
    f.ctl.OnTextChange = [&](TCustomRudivoVoru& c, std::int32_t, std::int32_t) {
        if (inner) {
            inner = false;
            c.DoReplaceSel("!");
        }
    };
    try {
        f.ctl.DoReplaceSel("x");
        FAIL();
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Bad transaction log entry");
    }
    f.ctl.OnTextChange = nullptr;
    EXPECT_FALSE(f.ctl.CanUndo());
    // Recording works again afterwards.
    typeText(f.ctl, "q");
    EXPECT_TRUE(f.ctl.DoUndo());
}

TEST(ControlUndo, ControlsOnOneStoreShareTheirHistory) {
    ControlFixture a;
    ControlFixture b;
    b.ctl.SetTextStore(&a.ctl.TextStore());
    typeText(a.ctl, "abc");
    EXPECT_TRUE(b.ctl.CanUndo());
    EXPECT_TRUE(b.ctl.GetModified());
    b.ctl.DoUndo();
    EXPECT_EQ(a.ctl.GetText(), "ab");
    a.ctl.DoReDo();
    EXPECT_EQ(b.ctl.GetText(), "abc");
    b.ctl.SetTextStore(nullptr);
}

TEST(ControlUndo, WithoutAHistoryNothingIsRecorded) {
    ControlFixture f;
    typeText(f.ctl, "a");
    EXPECT_NE(f.ctl.perform(SMM_UNDOSTACK), 0);
    f.ctl.perform(SMM_UNDOSTACK, kSmmSet, 0);
    EXPECT_EQ(f.ctl.perform(SMM_UNDOSTACK), 0);
    typeText(f.ctl, "b");
    EXPECT_FALSE(f.ctl.CanUndo());
    EXPECT_FALSE(f.ctl.GetModified());
    EXPECT_EQ(f.ctl.GetUndoMemUsed(), 0);
    auto* history = new TUndoStack;
    f.ctl.perform(SMM_UNDOSTACK, kSmmSet, reinterpret_cast<std::intptr_t>(history));
    EXPECT_EQ(f.ctl.GetUndoStack(), history);
    typeText(f.ctl, "c");
    EXPECT_GT(f.ctl.GetUndoMemUsed(), 0);
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(f.ctl.GetText(), "ab");
}

TEST(ControlUndo, ExecuteToWalksToAStepOfTheList) {
    ControlFixture f;
    typeText(f.ctl, "ab cd");
    TUndoStack& history = *f.ctl.GetUndoStack();
    std::uint64_t position = 0;
    history.Iterator(kUndoIterStart, position);
    // Merged: "cd" is one step of typing, " " continues it too.
    ASSERT_EQ(history.Iterator(kUndoIterOlder | kUndoIterMerge, position), utTyping);
    f.ctl.ExecuteTo(position);
    EXPECT_EQ(f.ctl.GetText(), "");
    history.Iterator(kUndoIterStart, position);
    ASSERT_EQ(history.Iterator(kUndoIterNewer, position), utTyping);
    ASSERT_EQ(history.Iterator(kUndoIterNewer, position), utTyping);
    f.ctl.ExecuteTo(position);
    EXPECT_EQ(f.ctl.GetText(), "ab");
}

TEST(ControlUndo, UndoWorksOverWrappedRows) {
    ControlFixture f(36 + 10 * 8 + 20, 200);
    f.ctl.SetWrapColumn(10);
    f.ctl.SetWordWrap(true);
    f.ctl.SetText("aaaa bbbb cccc dddd");
    EXPECT_GT(f.ctl.TextStore().NumLines(), 1);
    f.ctl.SetSelection({5, 5});
    typeText(f.ctl, "xxxxxxxx ");
    EXPECT_EQ(f.ctl.GetText(), "aaaa xxxxxxxx bbbb cccc dddd");
    while (f.ctl.DoUndo()) {
    }
    EXPECT_EQ(f.ctl.GetText(), "aaaa bbbb cccc dddd");
    EXPECT_EQ(sel(f.ctl), (TChRange{5, 5}));
}

TEST(ControlUndo, TheMemoryLimitKeepsTheNewestSteps) {
    ControlFixture f;
    f.ctl.GetUndoStack()->SetMemoryLimit(600);
    typeText(f.ctl, std::string(100, 'x'));
    EXPECT_LE(f.ctl.GetUndoMemUsed(), 600);
    int steps = 0;
    while (f.ctl.DoUndo())
        ++steps;
    EXPECT_GT(steps, 5);
    EXPECT_LT(steps, 100);
    EXPECT_EQ(f.ctl.GetText(), std::string(100 - steps, 'x'));
    // The history no longer reaches the empty text.
    EXPECT_TRUE(f.ctl.GetModified());
}

} // namespace
