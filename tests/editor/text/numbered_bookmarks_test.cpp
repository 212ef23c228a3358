#include "editor/support/rudivo_voru_error.h"
#include "editor/text/numbered_bookmarks.h"

#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

class NumberedBookmarksTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (int i = 1; i <= 8; ++i)
            text += "row" + std::to_string(i) + "\r";
        store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
    }
    TTextStore store;
    NumberedBookmarks marks{store};
    std::int32_t line = 0, column = 0;
};

TEST_F(NumberedBookmarksTest, SetOnTheSameLineTwiceRemovesIt) {
    EXPECT_TRUE(marks.SetBookmark(3, 5, 2));
    ASSERT_TRUE(marks.IsBookmarkSet(3, line, column));
    EXPECT_EQ(line, 5);
    EXPECT_EQ(column, 2);
    EXPECT_FALSE(marks.SetBookmark(3, 5, 2));
    EXPECT_FALSE(marks.IsBookmarkSet(3, line, column));
}

TEST_F(NumberedBookmarksTest, ARecordCarriesOneBookmark) {
    marks.SetBookmark(3, 5, 1);
    marks.SetBookmark(4, 5, 1); // replaces bookmark 3
    EXPECT_FALSE(marks.IsBookmarkSet(3, line, column));
    ASSERT_TRUE(marks.IsBookmarkSet(4, line, column));
    EXPECT_EQ(line, 5);
    marks.SetBookmark(4, 2, 1); // moves
    EXPECT_EQ(store.LineFromLineIndex(4).line->MarkBits() & kBookmarkMask, 0);
    EXPECT_EQ(store.LineFromLineIndex(1).line->MarkBits() & kBookmarkMask, 1 << 4);
}

TEST_F(NumberedBookmarksTest, LinesAndColumnsAreClamped) {
    marks.SetBookmark(0, -4, 0);
    ASSERT_TRUE(marks.IsBookmarkSet(0, line, column));
    EXPECT_EQ(line, 1);
    EXPECT_EQ(column, 1);
    marks.SetBookmark(1, 3, 40); // remembered as 40, reported within the record
    ASSERT_TRUE(marks.IsBookmarkSet(1, line, column));
    EXPECT_EQ(column, 5);
    EXPECT_EQ(store.GetBookmarkCol(1), 40);
}

TEST_F(NumberedBookmarksTest, BookmarksFollowTheirRecordAndGoWithIt) {
    marks.SetBookmark(2, 4, 1);
    store.InsertStoredText(0, "new\r", 4);
    ASSERT_TRUE(marks.IsBookmarkSet(2, line, column));
    EXPECT_EQ(line, 5);
    std::int32_t start = store.LineFromLineIndex(4).start;
    store.DeleteText(start, 5); // the whole record
    EXPECT_FALSE(marks.IsBookmarkSet(2, line, column));
    marks.SetBookmark(6, 1, 1);
    marks.ClearBookmark(6);
    EXPECT_FALSE(marks.IsBookmarkSet(6, line, column));
}

TEST_F(NumberedBookmarksTest, IndexAboveNineIsARangeError) {
    try {
        marks.SetBookmark(10, 1, 1);
        FAIL();
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Bookmark index range error");
    }
    EXPECT_THROW(marks.IsBookmarkSet(-1, line, column), ERudivoVoru);
    EXPECT_THROW(marks.ClearBookmark(10), ERudivoVoru);
}

TEST_F(NumberedBookmarksTest, WordWrapTargetsTheFirstRecordOfTheTextLine) {
    TTextStore wide;
    std::string text = std::string(3000, 'w') + "\r";
    wide.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
    NumberedBookmarks m(wide);
    ASSERT_TRUE(wide.LineFromLineIndex(1).line->IsContinuation());
    m.SetBookmark(7, 2, 1, true);
    ASSERT_TRUE(m.IsBookmarkSet(7, line, column));
    EXPECT_EQ(line, 1);
}

} // namespace
} // namespace qorvi
