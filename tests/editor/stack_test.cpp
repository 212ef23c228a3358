#include "editor/stack.h"

#include <gtest/gtest.h>
#include <vector>

namespace qorvi {
namespace {

std::vector<int> freed;

void recordFree(void* item) {
    freed.push_back(*static_cast<int*>(item));
    delete static_cast<int*>(item);
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

} // namespace
} // namespace qorvi
