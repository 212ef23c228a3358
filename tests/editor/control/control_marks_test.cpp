// Line tracks, glyphs and line colours through the control, as the document
// window uses them for collapsed sections: a track follows its line through
// edits, goes with the line, and a stale identifier is refused.

#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "tests/editor/control/control_edit_support.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

TEST(ControlLineTracks, ATrackFollowsItsLineAndGoesWithIt) {
    ControlFixture f;
    f.ctl.SetText("one\rtwo\rthree\rfour");
    std::vector<TTrackID> added, freed;
    f.ctl.OnTrackAdd = [&](TCustomRudivoVoru&, TTrackID id) { added.push_back(id); };
    f.ctl.OnTrackFree = [&](TCustomRudivoVoru&, TTrackID id) { freed.push_back(id); };
    EXPECT_EQ(f.ctl.AddLineTrack(0, 1), -1);
    EXPECT_EQ(f.ctl.AddLineTrack(9, 1), -1);
    const TTrackID three = f.ctl.AddLineTrack(3, 7);
    const TTrackID two = f.ctl.AddLineTrack(2, 5);
    ASSERT_NE(three, -1);
    EXPECT_EQ(added, (std::vector<TTrackID>{three, two}));
    EXPECT_EQ(f.ctl.GetFirstLineTrackID(), two);
    EXPECT_EQ(f.ctl.NextLineTrackID(two), three);
    EXPECT_EQ(f.ctl.NextLineTrackID(three), -1);
    EXPECT_EQ(f.ctl.GetFirstTrackIDOnLine(3), three);
    EXPECT_EQ(f.ctl.GetFirstTrackIDOnLine(4), -1);
    EXPECT_EQ(f.ctl.GetLineTrackData(three), 7);
    f.ctl.SetLineTrackData(three, 8);
    EXPECT_EQ(f.ctl.GetLineTrackData(three), 8);
    // Lines inserted above move the track down with its line.
    f.ctl.SetSelection({0, 0});
    f.ctl.DoReplaceSel("zero\r");
    EXPECT_EQ(f.ctl.LineTrackIDToLineNo(three), 4);
    // Deleting the line frees its track; the identifier is then refused.
    const auto start = static_cast<std::int32_t>(f.ctl.perform(EM_LINEINDEX, 2));
    f.ctl.SetSelection({start, start + 4});
    f.ctl.DoReplaceSel("");
    EXPECT_EQ(freed, (std::vector<TTrackID>{two}));
    EXPECT_FALSE(f.ctl.IsLineTrackIDValid(two));
    try {
        f.ctl.GetLineTrackData(two);
        FAIL();
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message().rfind("Invalid track ID (", 0), 0u);
    }
    f.ctl.RemoveLineTrack(three);
    EXPECT_EQ(freed.size(), 2u);
    EXPECT_EQ(f.ctl.GetFirstLineTrackID(), -1);
    f.ctl.AddLineTrack(1, 0);
    f.ctl.ClearLineTracks();
    EXPECT_EQ(f.ctl.GetFirstLineTrackID(), -1);
}

TEST(ControlLineTracks, WithWordWrapATrackGoesToTheLinesFirstRow) {
    ControlFixture f(36 + 10 * 8 + 20, 200);
    f.ctl.SetWrapColumn(10);
    f.ctl.SetWordWrap(true);
    f.ctl.SetText("aaaa bbbb cccc\rx");
    ASSERT_EQ(f.ctl.TextStore().NumLines(), 3);
    const TTrackID id = f.ctl.AddLineTrack(2, 1); // a continuation row
    EXPECT_EQ(f.ctl.LineTrackIDToLineNo(id), 1);
    EXPECT_EQ(f.ctl.GetFirstTrackIDOnLine(2), id);
}

TEST(ControlLineTracks, CollapsingMarksALineWithAGlyphAndColours) {
    ControlFixture f;
    f.ctl.SetText("1\r2\r3\r4\r5\r6\r7\r");
    // The document window's collapse: the lines go, a marker line stands
    // for them, carrying a track, glyph 1 and grey on white.
    f.ctl.perform(EM_SETSEL, static_cast<std::uintptr_t>(f.ctl.perform(EM_LINEINDEX, 2)),
                  f.ctl.perform(EM_LINEINDEX, 5) - 1);
    f.ctl.DoReplaceSel("--- 3 lines collapsed ---");
    const TTrackID id = f.ctl.AddLineTrack(3, 1);
    f.ctl.AddLineGlyph(1, 3);
    f.ctl.SetLineColor(3, 0x808080);
    f.ctl.SetLineTextColor(3, 0xFFFFFF);
    EXPECT_TRUE(f.ctl.LineHasGlyph(1, 3));
    EXPECT_EQ(f.ctl.GetLineColor(3), 0x808080);
    EXPECT_EQ(f.ctl.GetLineTextColor(3), 0xFFFFFF);
    EXPECT_EQ(f.ctl.GetFirstTrackIDOnLine(3), id);
    // Expanding: glyph and colours back to default, the text put back.
    f.ctl.RemoveLineGlyph(1, 3);
    f.ctl.SetLineColor(3, -1);
    f.ctl.SetLineTextColor(3, -1);
    const auto start = static_cast<std::int32_t>(f.ctl.perform(EM_LINEINDEX, 2));
    f.ctl.SetSelection({start, start + static_cast<std::int32_t>(f.ctl.perform(EM_LINELENGTH, start))});
    f.ctl.DoReplaceSel("3\r4\r5");
    EXPECT_EQ(shown(f.ctl.GetText()), "1|2|3|4|5|6|7|");
    EXPECT_FALSE(f.ctl.LineHasGlyph(1, 3));
    EXPECT_EQ(f.ctl.GetLineColor(3), -1);
}

} // namespace
