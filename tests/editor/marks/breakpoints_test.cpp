#include "editor/marks/breakpoints.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/marker_edits.h"
#include "editor/text/store_breakpoint_lines.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qorvi {
namespace {

struct RecordingControl : StoreBreakpointLines {
    using StoreBreakpointLines::StoreBreakpointLines;
    void repaintBreakpoints() override { ++repaints; }
    int repaints = 0;
};

class BreakpointsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Lines of 6 characters: line n starts at 6 * (n - 1).
        std::string text;
        for (int i = 1; i <= 9; ++i)
            text += "line" + std::to_string(i) + "\r";
        store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        bp().SetEditControl(&control);
        bp().SetOnFree([this](TSM_BreakpointData* d) { freed.push_back(d->LineNumber()); });
        bp().SetOnStateChange([this](TSM_BreakpointData*) { reasons.push_back(bp().ChangeReason()); });
        store.CodeBreak().SetEditControl(&control);
    }
    void TearDown() override {
        // The store outlives this fixture's recorders.
        bp().SetOnFree({});
        bp().SetEditControl(nullptr);
        store.CodeBreak().SetEditControl(nullptr);
    }
    TSM_Breakpoints& bp() { return store.Breakpoints(); }
    void erase(std::int32_t pos, std::int32_t count) {
        markersRemoving(store, pos, count);
        store.DeleteText(pos, count);
        markersRemoved(store, pos, count);
    }
    void insert(std::int32_t pos, const std::string& text) {
        store.InsertStoredText(pos, text.data(), static_cast<std::int64_t>(text.size()));
        markersInserted(store, pos, static_cast<std::int32_t>(text.size()));
    }
    std::vector<std::int32_t> lines() {
        std::vector<std::int32_t> out;
        for (TSM_BreakpointData* d = bp().First(); d; d = bp().Next(d)) {
            EXPECT_TRUE(control.isLineStart(d->Offset()));
            out.push_back(d->GetCurrentLine());
        }
        return out;
    }

    TTextStore store;
    RecordingControl control{store};
    std::vector<std::int32_t> freed;
    std::vector<int> reasons;
};

TEST_F(BreakpointsTest, AddEnableDisableRemoveByLine) {
    TSM_BreakpointData* b = bp().EnableBreakpointAtLine(3);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->Offset(), 12);
    EXPECT_TRUE(b->GetEnabled());
    EXPECT_EQ(reasons, std::vector<int>{bpci_CREATE});
    EXPECT_EQ(bp().ChangeReason(), bpci_NONE); // reset after the notification
    bp().DisableBreakpointAtLine(3);
    EXPECT_FALSE(b->GetEnabled());
    EXPECT_EQ(reasons.back(), bpci_ENABLE);
    EXPECT_EQ(bp().EnableBreakpointAtLine(3), b);
    TSM_BreakpointData* found = nullptr;
    EXPECT_TRUE(bp().BreakpointExistsAtLine(3, found));
    EXPECT_EQ(found, b);
    EXPECT_FALSE(bp().BreakpointExistsAtLine(4, found));
    EXPECT_EQ(bp().LocateBPAtCharOffset(12), b);
    EXPECT_EQ(bp().LocateBPAtCharOffset(13), nullptr);
    bp().RemoveBreakpointAtLine(3);
    EXPECT_EQ(freed, std::vector<std::int32_t>{3});
    EXPECT_EQ(bp().Count(), 0u);
    EXPECT_EQ(bp().EnableBreakpointAtLine(99), nullptr); // no such line
}

TEST_F(BreakpointsTest, AddingAtAnOccupiedLineFreesTheOldOne) {
    bp().AddBreakpoint(std::make_unique<TSM_BreakpointData>(2, true, "first", 1));
    TSM_BreakpointData* second =
        bp().AddBreakpoint(std::make_unique<TSM_BreakpointData>(2, false, "second", 2));
    EXPECT_EQ(freed, std::vector<std::int32_t>{2});
    EXPECT_EQ(bp().Count(), 1u);
    EXPECT_EQ(bp().First(), second);
    EXPECT_EQ(second->UserTextData(), "second");
}

TEST_F(BreakpointsTest, PrepareLineDrawGivesGlyphsAndColours) {
    bp().EnableBreakpointAtLine(1);
    bp().AddBreakpoint(std::make_unique<TSM_BreakpointData>(2, false));
    int glyph = 0;
    std::int32_t line = 0, text = 0;
    ASSERT_TRUE(bp().PrepareLineDraw(0, glyph, line, text));
    EXPECT_EQ(glyph, 11);
    EXPECT_EQ(line, 0x0000FF);
    EXPECT_EQ(text, 0xFFFFFF);
    ASSERT_TRUE(bp().PrepareLineDraw(6, glyph, line, text));
    EXPECT_EQ(glyph, 12);
    EXPECT_EQ(line, 0x008000);
    EXPECT_EQ(text, 0x00FFFF);
    EXPECT_FALSE(bp().PrepareLineDraw(12, glyph, line, text));
    const int before = control.repaints;
    bp().SetEnabledLineColor(0x0000FF); // unchanged: no repaint
    EXPECT_EQ(control.repaints, before);
    bp().SetEnabledLineColor(0x123456);
    EXPECT_EQ(control.repaints, before + 1);
}

TEST_F(BreakpointsTest, DeletingAWholeLineFreesItsBreakpoint) {
    bp().EnableBreakpointAtLine(2);
    bp().EnableBreakpointAtLine(5);
    erase(6, 6); // line 2 entirely
    EXPECT_EQ(freed, std::vector<std::int32_t>{2});
    EXPECT_EQ(lines(), std::vector<std::int32_t>{4});
}

TEST_F(BreakpointsTest, DeletingPartOfALineMovesOnlyLaterBreakpoints) {
    bp().EnableBreakpointAtLine(2);
    bp().EnableBreakpointAtLine(5);
    erase(7, 2);
    EXPECT_TRUE(freed.empty());
    EXPECT_EQ(bp().First()->Offset(), 6);
    EXPECT_EQ(bp().Next(bp().First())->Offset(), 22);
    EXPECT_EQ(lines(), (std::vector<std::int32_t>{2, 5}));
}

TEST_F(BreakpointsTest, LineThatLosesItsStartKeepsItsBreakpointAtTheJoinedLine) {
    bp().EnableBreakpointAtLine(3); // offset 12
    erase(9, 5);                    // from inside line 2 into line 3: lines 2 and 3 join
    EXPECT_TRUE(freed.empty());
    ASSERT_EQ(bp().Count(), 1u);
    EXPECT_EQ(bp().First()->Offset(), 6); // the start of the joined line
}

TEST_F(BreakpointsTest, JoiningTwoBreakpointLinesKeepsTheFirst) {
    bp().EnableBreakpointAtLine(2);
    bp().EnableBreakpointAtLine(3);
    erase(11, 1); // the line break between them
    EXPECT_EQ(freed, std::vector<std::int32_t>{3});
    EXPECT_EQ(lines(), std::vector<std::int32_t>{2});
}

TEST_F(BreakpointsTest, TypingAtTheStartOfALineKeepsItsBreakpoint) {
    bp().EnableBreakpointAtLine(2);
    insert(6, "xy");
    EXPECT_EQ(bp().First()->Offset(), 6);
    insert(6, "new line\r"); // a whole line in front pushes it down
    EXPECT_EQ(bp().First()->Offset(), 15);
    insert(0, "ab");
    EXPECT_EQ(bp().First()->Offset(), 17);
    EXPECT_EQ(lines(), std::vector<std::int32_t>{3});
}

TEST_F(BreakpointsTest, CodeBreakFollowsTextAndIsDisabledWithItsLine) {
    TSM_CodeBreak& cb = store.CodeBreak();
    EXPECT_FALSE(cb.GetEnabled());
    cb.MoveCodeBreakLineTo(4);
    EXPECT_TRUE(cb.GetEnabled());
    EXPECT_EQ(cb.Offset(), 18);
    int glyph = 0;
    std::int32_t line = 0, text = 0;
    ASSERT_TRUE(cb.PrepareLineDraw(18, glyph, line, text));
    EXPECT_EQ(glyph, 12);
    EXPECT_EQ(line, 0x800000);
    EXPECT_EQ(text, 0xFFFFFF);
    insert(0, "abc\r");
    EXPECT_EQ(cb.GetLineNumber(), 5);
    erase(4, 6); // the old line 1
    EXPECT_EQ(cb.GetLineNumber(), 4);
    EXPECT_TRUE(cb.GetEnabled());
    erase(cb.Offset(), 6); // its own line
    EXPECT_FALSE(cb.GetEnabled());
    cb.MoveCodeBreakLineTo(1);
    cb.ClearLastCodeBreakLine();
    EXPECT_FALSE(cb.PrepareLineDraw(0, glyph, line, text));
}

TEST_F(BreakpointsTest, CodeBreakStreamFormAndSetters) {
    TSM_CodeBreak& cb = store.CodeBreak();
    cb.MoveCodeBreakLineTo(3);
    const int before = control.repaints;
    cb.SetLineColor(0x800000); // unchanged: no repaint
    EXPECT_EQ(control.repaints, before);
    cb.SetLineColor(0x112233);
    cb.SetGlyph(4);
    EXPECT_EQ(control.repaints, before + 2);
    std::unique_ptr<TSM_Base> copy = cb.Clone();
    auto& other = dynamic_cast<TSM_CodeBreak&>(*copy);
    EXPECT_TRUE(other.GetEnabled());
    EXPECT_EQ(other.Offset(), 12);
    EXPECT_EQ(other.LineColor(), 0x112233);
    EXPECT_EQ(other.Glyph(), 4);
    EXPECT_EQ(other.TextColor(), 0xFFFFFF);
    EXPECT_THROW(other.Assign(bp()), ERudivoVoru); // another class's stream form
}

TEST_F(BreakpointsTest, StreamFormRoundTripsThroughClone) {
    bp().AddBreakpoint(std::make_unique<TSM_BreakpointData>(2, false, "cond", 42));
    bp().EnableBreakpointAtLine(7);
    bp().SetDisabledGlyph(5);
    std::unique_ptr<TSM_Base> copy = bp().Clone();
    auto& other = dynamic_cast<TSM_Breakpoints&>(*copy);
    ASSERT_EQ(other.Count(), 2u);
    EXPECT_EQ(other.First()->Offset(), 6);
    EXPECT_EQ(other.First()->UserTextData(), "cond");
    EXPECT_EQ(other.First()->UserIntData(), 42);
    EXPECT_FALSE(other.First()->GetEnabled());
    EXPECT_EQ(other.DisabledGlyph(), 5);

    TMemoryStream cut;
    bp().SaveToStream(cut);
    TMemoryStream shorter;
    shorter.WriteBuffer(cut.Memory(), cut.GetSize() - 3);
    shorter.SetPosition(0);
    TSM_Breakpoints target;
    EXPECT_THROW(target.LoadFromStream(shorter), EStreamError);
}

} // namespace
} // namespace qorvi
