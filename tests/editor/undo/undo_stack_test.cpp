#include "editor/support/rudivo_voru_error.h"
#include "editor/undo/undo_stack.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

// One replace record as the control writes it.
void pushReplace(TUndoStack& s, TChRange before, const std::string& removed, const std::string& inserted,
                 TChRange after) {
    s.PushUndoItem(TUndoItem::Marker(kUndoPhaseRecord, kUndoKindReplace));
    s.PushUndoItem(TUndoItem::Range(before));
    s.PushUndoItem(TUndoItem::Chars(removed));
    s.PushUndoItem(TUndoItem::Chars(inserted));
    s.PushUndoItem(TUndoItem::Range(after));
    s.PushUndoItem(TUndoItem::Marker(kUndoPhaseRecord, kUndoKindReplace));
}

void typed(TUndoStack& s, std::int32_t at, char c) {
    s.OpenTransaction(utTyping, {at, at});
    pushReplace(s, {at, at}, "", std::string(1, c), {at + 1, at + 1});
    s.CloseTransaction(utTyping, {at + 1, at + 1});
}

TEST(UndoItems, EveryKindPacksAndUnpacks) {
    const TUndoItem items[] = {
        TUndoItem::Range({5, 5}),
        TUndoItem::Range({7, 300000}),
        TUndoItem::Range({-1, 2}),
        TUndoItem::Chars(""),
        TUndoItem::Chars(std::string("a\r\0b", 4)),
        TUndoItem::Stream("data"),
        TUndoItem::Marker(kUndoPhaseRecord, kUndoKindReplace),
        TUndoItem::Marker(kUndoPhaseBegin, utReplaceSel),
        TUndoItem::Marker(kUndoPhaseEnd, utTyping),
        TUndoItem::Marker(kUndoPhaseEnd, 1000),
        TUndoItem::Marker(7, 3),
    };
    for (const TUndoItem& item : items)
        EXPECT_EQ(DecodeUndoItem(EncodeUndoItem(item)), item);
    // Small markers are one byte; a caret is a tag and its number.
    EXPECT_EQ(EncodeUndoItem(TUndoItem::Marker(kUndoPhaseEnd, utTyping)).size(), 1u);
    EXPECT_EQ(EncodeUndoItem(TUndoItem::Range({1000, 1000})).size(), 3u);
}

TEST(UndoItems, GarbageIsABadStackState) {
    for (const std::string& bytes : {std::string(), std::string("\x01x"), std::string("\x60\x80"),
                                     std::string("\x61\x05\x05"), std::string("\x7f")}) {
        try {
            DecodeUndoItem(bytes);
            FAIL() << "accepted " << bytes.size() << " bytes";
        } catch (const ERudivoVoru& e) {
            EXPECT_EQ(e.message(), "Bad do/undo stack state");
        }
    }
}

TEST(UndoStack, TransactionsDoNotNestAndAnEmptyOneLeavesNothing) {
    TUndoStack s;
    EXPECT_TRUE(s.OpenTransaction(utTyping, {0, 0}));
    EXPECT_FALSE(s.OpenTransaction(utReplaceSel, {0, 0}));
    EXPECT_FALSE(s.CloseTransaction(utReplaceSel, {0, 0}));
    EXPECT_TRUE(s.TransactionOpen());
    EXPECT_EQ(s.TransactionCode(), utTyping);
    EXPECT_TRUE(s.CloseTransaction(utTyping, {0, 0}));
    EXPECT_EQ(s.TotalCount(), 0u);
    EXPECT_FALSE(s.GetModified());
    // With a record the begin triple comes first and the end triple last.
    typed(s, 0, 'a');
    ASSERT_EQ(s.Count(), 12u);
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Marker(kUndoPhaseEnd, utTyping));
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Range({1, 1}));
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Marker(kUndoPhaseEnd, utTyping));
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Marker(kUndoPhaseRecord, kUndoKindReplace));
    for (int i = 0; i < 5; ++i)
        s.PopLeaveItem();
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Marker(kUndoPhaseBegin, utTyping));
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Range({0, 0}));
    EXPECT_EQ(s.PopLeaveItem(), TUndoItem::Marker(kUndoPhaseBegin, utTyping));
}

TEST(UndoStack, ModifiedFollowsTheSavePointAcrossUndoAndNewEdits) {
    TUndoStack s;
    EXPECT_FALSE(s.GetModified());
    typed(s, 0, 'a');
    EXPECT_TRUE(s.GetModified());
    typed(s, 1, 'b');
    s.MarkSavePoint();
    EXPECT_FALSE(s.GetModified());
    // Undo one step (12 items) and redo it: back at the save point.
    for (int i = 0; i < 12; ++i)
        s.PopLeave();
    EXPECT_TRUE(s.GetModified());
    for (int i = 0; i < 12; ++i)
        s.LiftLeave();
    EXPECT_FALSE(s.GetModified());
    // Undo it and type something else of the same size: the same count of
    // items as at the save point, but another text.
    for (int i = 0; i < 12; ++i)
        s.PopLeave();
    typed(s, 1, 'c');
    EXPECT_EQ(s.Count(), 24u);
    EXPECT_TRUE(s.GetModified());
    // Clearing makes the state reached the saved one.
    s.ClearHistory();
    EXPECT_FALSE(s.GetModified());
    EXPECT_EQ(s.Count(), 0u);
}

TEST(UndoStack, AMemoryLimitDropsWholeOldestSteps) {
    TUndoStack s;
    for (int i = 0; i < 10; ++i)
        typed(s, i, 'x');
    const std::int64_t perStep = s.MemoryUsed() / 10;
    s.SetMemoryLimit(perStep * 3 + perStep / 2);
    s.ConstrainMemoryUse();
    EXPECT_EQ(s.Count(), 36u);
    EXPECT_LE(s.MemoryUsed(), s.MemoryLimit());
    // What is left still starts with a transaction begin.
    std::uint64_t value = 0;
    s.Iterator(kUndoIterStart, value);
    int steps = 0;
    while (s.Iterator(kUndoIterOlder, value) == utTyping)
        ++steps;
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(value, s.BottomPosition());
    EXPECT_TRUE(s.GetModified());
    s.SetMemoryLimit(-7);
    EXPECT_EQ(s.MemoryLimit(), -1);
}

TEST(UndoStack, IteratorWalksStepsAndMergesTyping) {
    TUndoStack s;
    typed(s, 0, 'a');
    typed(s, 1, 'b');
    typed(s, 2, 'c');
    s.OpenTransaction(utPaste, {3, 3});
    pushReplace(s, {3, 3}, "", "xyz", {6, 6});
    s.CloseTransaction(utPaste, {6, 6});
    std::uint64_t value = 0;
    EXPECT_EQ(s.Iterator(2, value), kUndoIterUnknownOp);
    s.Iterator(kUndoIterStart, value);
    EXPECT_EQ(s.Iterator(kUndoIterEndBelow, value), 1);
    EXPECT_EQ(value, static_cast<std::uint64_t>(utPaste));
    EXPECT_EQ(s.Iterator(kUndoIterBeginAbove, value), 0);
    EXPECT_EQ(s.Iterator(kUndoIterOlder, value), utPaste);
    EXPECT_EQ(value, 36u);
    // The three typed characters continue one another: one step merged.
    EXPECT_EQ(s.Iterator(kUndoIterOlder | kUndoIterMerge, value), utTyping);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(s.Iterator(kUndoIterOlder, value), kUndoIterNoMore);
    EXPECT_EQ(s.Iterator(kUndoIterNewer, value), utTyping);
    EXPECT_EQ(value, 12u);
    EXPECT_EQ(s.Iterator(kUndoIterNewer | kUndoIterMerge, value), utTyping);
    EXPECT_EQ(value, 36u);
    EXPECT_EQ(s.Iterator(kUndoIterNewer, value), utPaste);
    EXPECT_EQ(s.Iterator(kUndoIterNewer, value), kUndoIterNoMore);
}

} // namespace
} // namespace qorvi
