#include "editor/control/line_track_manager.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qorvi {
namespace {

class LineTracksTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (int i = 1; i <= 6; ++i)
            text += "line" + std::to_string(i) + "\r";
        store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        tracks.SetOnTrackAdd([this](TTrackID id) { added.push_back(id); });
        tracks.SetOnTrackFree([this](TTrackID id) {
            EXPECT_TRUE(tracks.IsLineTrackIDValid(id)); // freed after the event
            freed.push_back(id);
        });
    }
    void TearDown() override { tracks.SetOnTrackFree({}); }

    TTextStore store;
    TLineTrackManager tracks{store};
    std::vector<TTrackID> added, freed;
};

TEST_F(LineTracksTest, AddReturnsRegisteredIdentifiersOrMinusOne) {
    EXPECT_EQ(tracks.AddLineTrack(0, 1), -1);
    EXPECT_EQ(tracks.AddLineTrack(99, 1), -1);
    TTrackID a = tracks.AddLineTrack(3, 7);
    ASSERT_NE(a, -1);
    EXPECT_EQ(added, std::vector<TTrackID>{a});
    EXPECT_TRUE(tracks.IsLineTrackIDValid(a));
    EXPECT_EQ(tracks.GetLineTrackData(a), 7);
    tracks.SetLineTrackData(a, 8);
    EXPECT_EQ(tracks.GetLineTrackData(a), 8);
    EXPECT_EQ(tracks.LineTrackIDToLineNo(a), 3);
    EXPECT_EQ(tracks.GetFirstTrackIDOnLine(3), a);
    EXPECT_EQ(tracks.GetFirstTrackIDOnLine(2), -1);
}

TEST_F(LineTracksTest, RemovedTrackIsAnInvalidId) {
    TTrackID a = tracks.AddLineTrack(2, 1);
    tracks.RemoveLineTrack(a);
    EXPECT_EQ(freed, std::vector<TTrackID>{a});
    EXPECT_FALSE(tracks.IsLineTrackIDValid(a));
    try {
        tracks.GetLineTrackData(a);
        FAIL();
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Invalid track ID (" + std::to_string(static_cast<int>(a)) + ")");
    }
    EXPECT_THROW(tracks.RemoveLineTrack(a), ERudivoVoru);
    EXPECT_THROW(tracks.NextLineTrackID(12345), ERudivoVoru);
}

TEST_F(LineTracksTest, IterationVisitsRecordsInOrder) {
    TTrackID c = tracks.AddLineTrack(5, 3);
    TTrackID a = tracks.AddLineTrack(2, 1);
    TTrackID b = tracks.AddLineTrack(2, 2);
    std::vector<TTrackID> order;
    for (TTrackID id = tracks.GetFirstLineTrackID(); id != -1; id = tracks.NextLineTrackID(id))
        order.push_back(id);
    EXPECT_EQ(order, (std::vector<TTrackID>{a, b, c}));
}

TEST_F(LineTracksTest, TracksFollowTheirRecordAndGoWithIt) {
    TTrackID a = tracks.AddLineTrack(4, 1);
    TTrackID b = tracks.AddLineTrack(5, 2);
    store.InsertStoredText(0, "new\r", 4);
    EXPECT_EQ(tracks.LineTrackIDToLineNo(a), 5);
    const std::int32_t start = store.LineFromLineIndex(4).start;
    store.DeleteText(start, 6); // the record holding a
    EXPECT_EQ(freed, std::vector<TTrackID>{a});
    EXPECT_FALSE(tracks.IsLineTrackIDValid(a));
    EXPECT_EQ(tracks.LineTrackIDToLineNo(b), 5);
    // Joining a line to the one before keeps the tracks of the record that
    // keeps the start of the joined line.
    const std::int32_t end4 = store.LineFromLineIndex(4).start - 1;
    store.DeleteText(end4, 1);
    EXPECT_FALSE(tracks.IsLineTrackIDValid(b));
}

TEST_F(LineTracksTest, ClearFreesEveryTrack) {
    tracks.AddLineTrack(1, 1);
    tracks.AddLineTrack(1, 2);
    tracks.AddLineTrack(6, 3);
    tracks.ClearLineTracks();
    EXPECT_EQ(freed.size(), 3u);
    EXPECT_EQ(tracks.Count(), 0u);
    EXPECT_EQ(tracks.GetFirstLineTrackID(), -1);
}

TEST_F(LineTracksTest, RegisterGoingFirstLeavesItsTracksUnreported) {
    auto store2 = std::make_unique<TTextStore>();
    store2->InsertStoredText(0, "a\rb\r", 4);
    {
        TLineTrackManager first(*store2);
        first.AddLineTrack(1, 1);
    }
    // A later register on the same store hears of its own tracks only: the
    // first register's track, freed with its record, reaches nobody.
    TLineTrackManager later(*store2);
    std::vector<TTrackID> laterFreed;
    later.SetOnTrackFree([&](TTrackID id) { laterFreed.push_back(id); });
    const TTrackID own = later.AddLineTrack(1, 2);
    store2->DeleteText(0, 2);
    EXPECT_EQ(laterFreed, std::vector<TTrackID>{own});
    EXPECT_EQ(later.Count(), 0u);
    later.SetOnTrackFree({});
}

TEST_F(LineTracksTest, IdentifiersAreNeverGivenOutTwice) {
    // A freed track's memory is handed to the next track allocated; a holder
    // of the old identifier must not reach the new track through it.
    std::vector<TTrackID> seen;
    for (int i = 0; i < 50; ++i) {
        const TTrackID id = tracks.AddLineTrack(1 + i % 6, i);
        for (TTrackID old : seen)
            ASSERT_NE(old, id);
        seen.push_back(id);
        tracks.RemoveLineTrack(id);
        EXPECT_FALSE(tracks.IsLineTrackIDValid(id));
    }
}

} // namespace
} // namespace qorvi
