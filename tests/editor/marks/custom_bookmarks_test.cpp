#include "editor/marks/custom_bookmarks.h"
#include "editor/support/memory_stream.h"
#include "editor/support/stream.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qorvi {
namespace {

using List = std::vector<std::pair<std::string, std::int32_t>>;

TEST(CustomBookmarks, DeletionRemovesInsideAndMovesBehind) {
    TCustomBookmarks bm;
    std::vector<std::string> freed;
    bm.SetOnFree([&](TCustomBookmarks* sender, const std::string& name) {
        EXPECT_EQ(sender, &bm);
        freed.push_back(name);
    });
    bm.AddBookmark("in", 102);
    bm.AddBookmark("after", 110);
    bm.AddBookmark("before", 99);
    bm.AddBookmark("edge", 105);
    bm.Removing(5, 100);
    EXPECT_EQ(freed, std::vector<std::string>{"in"});
    EXPECT_EQ(bm.SeekBookmarkByName("in"), -1);
    EXPECT_EQ(bm.SeekBookmarkByName("after"), 105);
    EXPECT_EQ(bm.SeekBookmarkByName("before"), 99);
    EXPECT_EQ(bm.SeekBookmarkByName("edge"), 100);
}

TEST(CustomBookmarks, InsertionMovesFromThePositionOn) {
    TCustomBookmarks bm;
    bm.AddBookmark("at", 10);
    bm.AddBookmark("before", 9);
    bm.Adding(4, 10);
    EXPECT_EQ(bm.SeekBookmarkByName("at"), 14);
    EXPECT_EQ(bm.SeekBookmarkByName("before"), 9);
}

TEST(CustomBookmarks, SameNameReplacesWithoutNotification) {
    TCustomBookmarks bm;
    int freed = 0;
    bm.SetOnFree([&](TCustomBookmarks*, const std::string&) { ++freed; });
    bm.AddBookmark("x", 5);
    bm.AddBookmark("x", 50);
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(bm.Count(), 1u);
    EXPECT_EQ(bm.SeekBookmarkByName("x"), 50);
    bm.DeleteBookmark("x");
    EXPECT_EQ(freed, 0);
    EXPECT_EQ(bm.SeekBookmarkByName("x"), -1);
}

TEST(CustomBookmarks, ChainIsInOffsetOrderNewestFirstAmongEquals) {
    TCustomBookmarks bm;
    bm.AddBookmark("b", 7);
    bm.AddBookmark("a", 3);
    bm.AddBookmark("c", 7);
    std::vector<std::string> order;
    for (TCustBookmark* b = bm.First(); b; b = bm.Next(b))
        order.push_back(b->Name);
    EXPECT_EQ(order, (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(bm.RetrieveBookmarks(), (List{{"a", 3}, {"b", 7}, {"c", 7}}));
    int freed = 0;
    bm.SetOnFree([&](TCustomBookmarks*, const std::string&) { ++freed; });
    bm.ClearAll();
    EXPECT_EQ(freed, 3);
    EXPECT_EQ(bm.Count(), 0u);
}

TEST(CustomBookmarks, StreamRoundTripAndDamagedStreamsChangeNothing) {
    TCustomBookmarks bm;
    bm.AddBookmark("one", 1);
    bm.AddBookmark("two", 2000000);
    TMemoryStream stream;
    bm.SaveToStream(stream);
    EXPECT_EQ(stream.GetSize(), 4 + (1 + 3 + 4) * 2);
    stream.SetPosition(0);
    TCustomBookmarks copy;
    copy.LoadFromStream(stream);
    EXPECT_EQ(copy.RetrieveBookmarks(), bm.RetrieveBookmarks());

    // Cut the stream short: nothing is added.
    TMemoryStream cut;
    cut.WriteBuffer(stream.Memory(), stream.GetSize() - 2);
    cut.SetPosition(0);
    TCustomBookmarks target;
    target.AddBookmark("kept", 9);
    EXPECT_THROW(target.LoadFromStream(cut), EStreamError);
    EXPECT_EQ(target.RetrieveBookmarks(), (List{{"kept", 9}}));

    TMemoryStream negative;
    const std::int32_t count = -1;
    negative.WriteBuffer(&count, 4);
    negative.SetPosition(0);
    EXPECT_THROW(target.LoadFromStream(negative), EStreamError);

    TCustomBookmarks longName;
    longName.AddBookmark(std::string(256, 'n'), 1);
    TMemoryStream out;
    EXPECT_THROW(longName.SaveToStream(out), EStreamError);
}

} // namespace
} // namespace qorvi
