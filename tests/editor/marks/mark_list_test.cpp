#include "editor/marks/mark_list.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace qorvi {
namespace {

std::pair<int, int> rangeOf(const TMarkList& list, const TMark* id) {
    return {list.GetMarkStartPos(id), list.GetMarkEndPos(id)};
}

using Range = std::pair<int, int>;

TEST(MarkList, AddNormalisesAndLinksInStartOrder) {
    TMarkList list;
    TMark* b = list.AddMark(20, 5, 2);
    TMark* a = list.AddMark(15, -5, 1); // normalised to [10, 15)
    TMark* c = list.AddMark(20, 1, 3);  // behind the mark with the same start
    EXPECT_EQ(rangeOf(list, a), Range(10, 15));
    TMark* id = list.GetFirstMark();
    EXPECT_EQ(id, a);
    ASSERT_TRUE(list.NextMark(id));
    EXPECT_EQ(id, b);
    ASSERT_TRUE(list.NextMark(id));
    EXPECT_EQ(id, c);
    EXPECT_FALSE(list.NextMark(id));
    EXPECT_EQ(list.GetLastMark(), c);
    ASSERT_TRUE(list.PrevMark(id));
    EXPECT_EQ(id, b);
    EXPECT_EQ(list.GetMarkUserData(b), 2);
    list.SetMarkUserData(b, 7);
    EXPECT_EQ(list.GetMarkUserData(b), 7);
}

TEST(MarkList, StaleIdentifiersReadAsNothing) {
    TMarkList list;
    int freed = 0;
    list.SetOnMarkFree([&](TMark*) { ++freed; });
    TMark* m = list.AddMark(1, 2, 0);
    TMark* keep = list.AddMark(5, 1, 0);
    list.RemoveMark(m);
    EXPECT_EQ(freed, 0); // removal does not notify
    EXPECT_FALSE(list.IsMarkIDValid(m));
    EXPECT_EQ(list.GetMarkStartPos(m), -1);
    EXPECT_EQ(list.GetMarkUserData(m), 0);
    list.SetMarkStartPos(m, 3); // ignored
    EXPECT_FALSE(list.NextMark(m));
    EXPECT_TRUE(list.IsMarkIDValid(keep));
    list.ClearMarks();
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(list.GetFirstMark(), nullptr);
    EXPECT_FALSE(list.IsMarkIDValid(keep));
}

TEST(MarkList, SettersSwapReversedRangesAndRelink) {
    TMarkList list;
    TMark* a = list.AddMark(10, 10, 0);
    TMark* b = list.AddMark(30, 5, 0);
    list.SetMarkStartPos(a, 25); // beyond the end: swapped
    EXPECT_EQ(rangeOf(list, a), Range(20, 25));
    list.SetMarkEndPos(b, 28); // before the start: swapped
    EXPECT_EQ(rangeOf(list, b), Range(28, 30));
    list.SetMarkStartPos(a, 40);
    EXPECT_EQ(rangeOf(list, a), Range(25, 40));
    list.SetMarkRange(a, 50, 60);
    EXPECT_EQ(list.GetFirstMark(), b);
    EXPECT_EQ(list.GetLastMark(), a);
}

TEST(MarkList, PresenceLooksAtOverlapsIncludingTheEnds) {
    TMarkList list;
    TMark* a = list.AddMark(10, 10, 0);
    TMark* id = nullptr;
    EXPECT_TRUE(list.IsMarkPresent(15, 0, id));
    EXPECT_EQ(id, a);
    EXPECT_TRUE(list.IsMarkPresent(5, 5, id));
    EXPECT_TRUE(list.IsMarkPresent(20, 3, id));
    EXPECT_FALSE(list.IsMarkPresent(21, 3, id));
    EXPECT_FALSE(list.IsMarkPresent(0, 9, id));
}

TEST(MarkList, InsertionMovesAndGrowsMarks) {
    TMarkList list;
    std::vector<TMark*> changed;
    list.SetOnMarkChange([&](TMark* m) { changed.push_back(m); });
    TMark* m = list.AddMark(10, 10, 0);
    TMark* before = list.AddMark(0, 5, 0);
    list.Inserted(15, 3);
    EXPECT_EQ(rangeOf(list, m), Range(10, 23));
    EXPECT_EQ(rangeOf(list, before), Range(0, 5));
    EXPECT_EQ(changed, std::vector<TMark*>{m});
    list.Inserted(10, 3);
    EXPECT_EQ(rangeOf(list, m), Range(13, 26));
    list.Inserted(26, 1); // at the end: the mark grows
    EXPECT_EQ(rangeOf(list, m), Range(13, 27));
}

TEST(MarkList, DeletionNeverLeavesAnEndBeforeTheStart) {
    TMarkList list;
    TMark* spans = list.AddMark(0, 10, 0);      // covers the deletion start
    TMark* tailCut = list.AddMark(2, 6, 0);     // [2, 8): its end is deleted
    TMark* headCut = list.AddMark(7, 8, 0);     // [7, 15): its start is deleted
    TMark* inside = list.AddMark(6, 2, 0);      // [6, 8): wholly inside
    TMark* after = list.AddMark(12, 3, 0);      // [12, 15)
    TMark* emptyAtEnd = list.AddMark(10, 0, 0); // empty, at the deletion end
    std::vector<TMark*> freed;
    list.SetOnMarkFree([&](TMark* m) {
        EXPECT_TRUE(list.IsMarkIDValid(m)); // still readable in the handler
        freed.push_back(m);
    });
    list.Deleted(5, 5); // [5, 10)
    EXPECT_EQ(rangeOf(list, spans), Range(0, 5));
    EXPECT_EQ(rangeOf(list, tailCut), Range(2, 5));
    EXPECT_EQ(rangeOf(list, headCut), Range(5, 10));
    EXPECT_EQ(rangeOf(list, after), Range(7, 10));
    EXPECT_EQ(rangeOf(list, emptyAtEnd), Range(5, 5));
    EXPECT_EQ(freed, std::vector<TMark*>{inside});
    EXPECT_FALSE(list.IsMarkIDValid(inside));
    EXPECT_STREQ(list.Index().verify(), "");
}

} // namespace
} // namespace qorvi
