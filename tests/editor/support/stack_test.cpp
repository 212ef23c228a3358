#include "editor/support/stack.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qorvi {
namespace {

std::vector<int> freed;

void recordFree(void* item) {
    freed.push_back(*static_cast<int*>(item));
    delete static_cast<int*>(item);
}

void pushText(TStack& stack, const std::string& text) {
    stack.Push(text.data(), static_cast<std::uint32_t>(text.size()));
}

TEST(Stack, PopsInReverseOrderAndRefusesWhenEmpty) {
    TStack stack;
    int a = 1, b = 2;
    stack.Push(&a);
    stack.Push(&b);
    EXPECT_EQ(stack.Count(), 2u);
    EXPECT_EQ(stack.Peek(), &b);
    EXPECT_EQ(stack.Pop(), &b);
    EXPECT_EQ(stack.Pop(), &a);
    EXPECT_TRUE(stack.IsEmpty());
    EXPECT_EQ(stack.Peek(), nullptr);
    try {
        stack.Pop();
        FAIL();
    } catch (const EStackError& e) {
        EXPECT_EQ(e.message(), "Stack underflow");
    }
}

TEST(Stack, ClearAndDestructionFreeTheItemsLeftTopFirst) {
    freed.clear();
    {
        TStack stack(&recordFree);
        stack.Push(new int(1));
        stack.Push(new int(2));
        stack.Clear();
        EXPECT_EQ(freed, (std::vector<int>{2, 1}));
        stack.Push(new int(3));
        delete static_cast<int*>(stack.Pop());
        stack.Push(new int(4));
    }
    EXPECT_EQ(freed, (std::vector<int>{2, 1, 4}));
}

TEST(Stack, PositionWalksDownAndUpAndAPushDiscardsWhatWasAbove) {
    freed.clear();
    TStack stack(&recordFree);
    for (int i = 1; i <= 4; ++i)
        stack.Push(new int(i));
    EXPECT_TRUE(stack.InsAtTop());
    std::string item = stack.PopLeave();
    int* four = nullptr;
    std::memcpy(&four, item.data(), sizeof four);
    EXPECT_EQ(*four, 4);
    stack.PopLeave();
    EXPECT_EQ(stack.Count(), 2u);
    EXPECT_EQ(stack.RedoCount(), 2u);
    EXPECT_FALSE(stack.InsAtTop());
    EXPECT_EQ(*static_cast<int*>(stack.Peek()), 2);
    stack.LiftLeave();
    EXPECT_EQ(*static_cast<int*>(stack.Peek()), 3);
    EXPECT_EQ(stack.Count(), 3u);
    // The newest item is still 4; pushing drops it.
    stack.Push(new int(5));
    EXPECT_EQ(freed, (std::vector<int>{4}));
    EXPECT_TRUE(stack.InsAtTop());
    EXPECT_THROW(stack.LiftLeave(), EStackError);
    EXPECT_EQ(stack.TotalCount(), 4u);
}

TEST(Stack, ByteItemsOfEverySizeComeBackWhole) {
    TStack stack;
    std::vector<std::string> items = {"",
                                      "a",
                                      std::string(127, 'b'),
                                      std::string(128, 'c'),
                                      std::string(70000, 'd'),
                                      std::string("x\0y", 3)};
    for (const std::string& s : items)
        pushText(stack, s);
    // Walk down, then up, then down again.
    for (std::size_t i = items.size(); i-- > 0;)
        EXPECT_EQ(stack.PopLeave(), items[i]);
    EXPECT_THROW(stack.PopLeave(), EStackError);
    for (const std::string& s : items)
        EXPECT_EQ(stack.LiftLeave(), s);
    EXPECT_EQ(stack.GetStackTopItem(), items.back());
    EXPECT_EQ(stack.PopItem(), items.back());
    EXPECT_EQ(stack.Current(), items[items.size() - 2]);
}

TEST(Stack, MemoryCountsTheItemsAndTheirFrames) {
    TStack stack;
    EXPECT_EQ(stack.MemoryUsed(), 0);
    pushText(stack, "abc");
    EXPECT_EQ(stack.MemoryUsed(), 3 + 2);
    pushText(stack, std::string(200, 'x')); // a frame of two bytes each side
    EXPECT_EQ(stack.MemoryUsed(), 5 + 200 + 4);
    stack.PopLeave();
    pushText(stack, "z");
    EXPECT_EQ(stack.MemoryUsed(), 5 + 3);
    EXPECT_TRUE(stack.DropBottom());
    EXPECT_EQ(stack.MemoryUsed(), 3);
    EXPECT_EQ(stack.Current(), "z");
}

TEST(Stack, IdentitiesAreNeverReused) {
    TStack stack;
    const std::uint64_t empty = stack.CurrentId();
    pushText(stack, "a");
    const std::uint64_t a = stack.CurrentId();
    pushText(stack, "b");
    const std::uint64_t b = stack.CurrentId();
    EXPECT_NE(a, b);
    stack.PopLeave();
    EXPECT_EQ(stack.CurrentId(), a);
    stack.PopLeave();
    EXPECT_EQ(stack.CurrentId(), empty);
    stack.LiftLeave();
    stack.LiftLeave();
    EXPECT_EQ(stack.CurrentId(), b);
    // Undo b and push another item where it stood: a new identity.
    stack.PopLeave();
    pushText(stack, "c");
    EXPECT_NE(stack.CurrentId(), b);
    EXPECT_NE(stack.CurrentId(), a);
    const std::uint64_t c = stack.CurrentId();
    stack.PopItem();
    pushText(stack, "d");
    EXPECT_NE(stack.CurrentId(), c);
    // Dropping the oldest item: the state below the bottom is the one after it.
    EXPECT_TRUE(stack.DropBottom());
    stack.PopLeave();
    EXPECT_EQ(stack.CurrentId(), a);
    EXPECT_FALSE(stack.DropBottom());
    // A cleared stack starts from a state never seen before.
    stack.Clear();
    EXPECT_NE(stack.CurrentId(), empty);
    EXPECT_NE(stack.CurrentId(), a);
}

} // namespace
} // namespace qorvi
