// The store's markers through the control's public interface, with two
// controls showing one store: random edits through either control, undos
// and redos keep every custom mark and named bookmark where a model says,
// and each control hears of every change exactly once.

#include "editor/control/rudivo_voru.h"
#include "editor/marks/mark_list.h"
#include "editor/support/memory_stream.h"
#include "tests/editor/control/control_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace qorvi {
namespace {

// What one control heard.
struct Heard {
    std::vector<TMark*> changed, freed;
    std::vector<std::string> bookmarksFreed;
    std::vector<TSM_BreakpointData*> breakpointsFreed, breakpointsSwitched;
    std::vector<int> bookmarksCleared;
    void listen(TRudivoVoru& ctl) {
        ctl.OnMarkChange = [this](TCustomRudivoVoru&, TMark* m) { changed.push_back(m); };
        ctl.OnMarkFree = [this](TCustomRudivoVoru&, TMark* m) { freed.push_back(m); };
        ctl.OnCustomBookmarkFree = [this](TCustomRudivoVoru&, const std::string& n) { bookmarksFreed.push_back(n); };
        ctl.OnBreakpointFree = [this](TCustomRudivoVoru&, TSM_BreakpointData* d) { breakpointsFreed.push_back(d); };
        ctl.OnBookmarkClear = [this](TCustomRudivoVoru&, int i) { bookmarksCleared.push_back(i); };
        ctl.OnBreakpointStateChange = [this](TCustomRudivoVoru&, TSM_BreakpointData* d) {
            breakpointsSwitched.push_back(d);
        };
    }
    void clear() { *this = Heard{}; }
};

template <class T> std::vector<T> sorted(std::vector<T> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct Range {
    std::int64_t start, end;
    bool operator==(const Range&) const = default;
};

class SharedStoreMarkers : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        rng.seed(GetParam());
        std::string text;
        for (int i = 0; i < 400; ++i)
            text += "abc\r"[rng() % 4];
        a.ctl.SetText(text);
        b.ctl.SetTextStore(&a.ctl.TextStore());
        heardA.listen(a.ctl);
        heardB.listen(b.ctl);
        // Every edit, of either control and of undo and redo, moves the model.
        for (TRudivoVoru* c : {&a.ctl, &b.ctl})
            c->OnTextChange = [this](TCustomRudivoVoru&, std::int32_t at, std::int32_t delta) { follow(at, delta); };
    }
    void TearDown() override { b.ctl.SetTextStore(nullptr); }

    std::int32_t length() { return a.ctl.TextStore().NumChars(); }
    std::int32_t anywhere() { return static_cast<std::int32_t>(rng() % (length() + 1)); }

    void follow(std::int32_t at, std::int32_t delta) {
        const std::int64_t stop = static_cast<std::int64_t>(at) - std::min(delta, 0);
        for (auto it = marks.begin(); it != marks.end();) {
            Range r = it->second;
            if (delta > 0) {
                if (r.start >= at)
                    r = {r.start + delta, r.end + delta};
                else if (r.end >= at)
                    r.end += delta;
            } else if (r.start < at) {
                if (r.end > at)
                    r.end = std::max<std::int64_t>(at, r.end + delta);
            } else if (r.start < stop) {
                if (r.end <= stop) {
                    expectedFreed.push_back(it->first);
                    it = marks.erase(it);
                    continue;
                }
                r = {at, r.end + delta};
            } else {
                r = {r.start + delta, r.end + delta};
            }
            if (!(r == it->second))
                expectedChanged.push_back(it->first);
            it->second = r;
            ++it;
        }
        for (auto it = named.begin(); it != named.end();) {
            if (delta < 0 && it->second >= at && it->second < stop) {
                expectedNamesFreed.push_back(it->first);
                it = named.erase(it);
                continue;
            }
            if (delta > 0 ? it->second >= at : it->second >= stop)
                it->second += delta;
            ++it;
        }
    }

    void step() {
        switch (rng() % 7) {
        case 0: { // a new mark, named bookmark or breakpoint
            const std::int32_t at = anywhere();
            const std::int32_t len = static_cast<std::int32_t>(rng() % 9);
            TMark* m = a.ctl.AddMark(at, len, static_cast<std::int32_t>(marks.size()));
            marks[m] = {std::min(at, length()), std::min(at + len, length())};
            const std::string name = "n" + std::to_string(names++);
            b.ctl.AddCustomBookmark(name, at);
            named[name] = at;
            // Switching a breakpoint on or off is heard only when its state changes.
            const std::int32_t line = 1 + static_cast<std::int32_t>(rng() % 20);
            TSM_BreakpointData* was = nullptr;
            const bool existed = a.ctl.Breakpoints().BreakpointExistsAtLine(line, was);
            const bool wasOn = existed && was->GetEnabled();
            if (rng() % 3 == 0) {
                a.ctl.Breakpoints().DisableBreakpointAtLine(line);
                if (wasOn)
                    expectedSwitched.push_back(was);
            } else {
                TSM_BreakpointData* now = a.ctl.Breakpoints().EnableBreakpointAtLine(line);
                if (now && !wasOn) // no breakpoint past the last line
                    expectedSwitched.push_back(now);
            }
            break;
        }
        case 1:
            a.ctl.DoUndo();
            break;
        case 2:
            a.ctl.DoReDo();
            break;
        default: { // an edit through either control
            TRudivoVoru& c = rng() % 2 ? a.ctl : b.ctl;
            const std::int32_t at = anywhere();
            c.SetSelection({at, std::min(length(), at + static_cast<std::int32_t>(rng() % 12))});
            c.SetSelText(std::string(rng() % 5, "xy\r"[rng() % 3]));
            break;
        }
        }
    }

    std::mt19937 rng;
    test::ControlFixture a, b;
    Heard heardA, heardB;
    std::map<TMark*, Range> marks;
    std::map<std::string, std::int32_t> named;
    std::vector<TMark*> expectedChanged, expectedFreed;
    std::vector<TSM_BreakpointData*> expectedSwitched;
    std::vector<std::string> expectedNamesFreed;
    int names = 0;
};

TEST_P(SharedStoreMarkers, EveryControlHearsEachChangeOnceAndMarkersFollowTheText) {
    for (int i = 0; i < 300; ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        std::vector<TSM_BreakpointData*> breakpointsBefore;
        for (TSM_BreakpointData* d = a.ctl.Breakpoints().First(); d; d = a.ctl.Breakpoints().Next(d))
            breakpointsBefore.push_back(d);
        step();
        for (const auto& [id, r] : marks) {
            ASSERT_TRUE(b.ctl.IsMarkIDValid(id));
            ASSERT_EQ((Range{a.ctl.GetMarkStartPos(id), b.ctl.GetMarkEndPos(id)}), r);
        }
        for (const auto& [name, at] : named)
            ASSERT_EQ(b.ctl.HasCustomBookmark(name), at) << name;
        for (TMark* gone : expectedFreed)
            ASSERT_FALSE(a.ctl.IsMarkIDValid(gone));
        std::vector<TSM_BreakpointData*> breakpointsFreed;
        for (TSM_BreakpointData* d : breakpointsBefore) {
            bool alive = false;
            for (TSM_BreakpointData* e = a.ctl.Breakpoints().First(); e; e = a.ctl.Breakpoints().Next(e))
                alive = alive || e == d;
            if (!alive)
                breakpointsFreed.push_back(d);
        }
        for (Heard* heard : {&heardA, &heardB}) {
            ASSERT_EQ(sorted(heard->changed), sorted(expectedChanged));
            ASSERT_EQ(sorted(heard->freed), sorted(expectedFreed));
            ASSERT_EQ(sorted(heard->bookmarksFreed), sorted(expectedNamesFreed));
            ASSERT_EQ(sorted(heard->breakpointsFreed), sorted(breakpointsFreed));
            ASSERT_EQ(heard->breakpointsSwitched, expectedSwitched);
            heard->clear();
        }
        expectedChanged.clear();
        expectedFreed.clear();
        expectedNamesFreed.clear();
        expectedSwitched.clear();
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, SharedStoreMarkers, ::testing::Range(1u, 9u));

TEST(ControlMarks, ExtentsAreRowsAndDisplayColumnsAndOutOfRangeValuesAreClamped) {
    test::ControlFixture f;
    f.ctl.SetText("\tab\rcdef\r");
    TMark* m = f.ctl.AddMark(1, 6, 7); // "ab\rcde"
    std::int32_t sl, sc, el, ec;
    ASSERT_TRUE(f.ctl.GetMarkExtents(m, sl, sc, el, ec));
    EXPECT_EQ((std::vector<std::int32_t>{sl, sc, el, ec}), (std::vector<std::int32_t>{1, 5, 2, 4}));
    f.ctl.SetMarkExtents(m, 2, 4, 1, 1); // reversed: swapped
    EXPECT_EQ(f.ctl.GetMarkStartPos(m), 0);
    EXPECT_EQ(f.ctl.GetMarkEndPos(m), 7);
    f.ctl.SetMarkExtents(m, -5, -5, 99, 99);
    EXPECT_EQ(f.ctl.GetMarkEndPos(m), f.ctl.TextStore().NumChars());
    // Extents read back set the same range, wherever it lies.
    for (std::int32_t from = 0; from <= f.ctl.TextStore().NumChars(); ++from)
        for (std::int32_t to = from; to <= f.ctl.TextStore().NumChars(); ++to) {
            TMark* r = f.ctl.AddMark(from, to - from, 0);
            ASSERT_TRUE(f.ctl.GetMarkExtents(r, sl, sc, el, ec));
            f.ctl.SetMarkExtents(r, sl, sc, el, ec);
            ASSERT_EQ(f.ctl.GetMarkStartPos(r), from);
            ASSERT_EQ(f.ctl.GetMarkEndPos(r), to);
            f.ctl.RemoveMark(r);
        }
    TMark* far = f.ctl.AddMark(1000, 50, 0);
    EXPECT_EQ(f.ctl.GetMarkStartPos(far), f.ctl.TextStore().NumChars());
    f.ctl.RemoveMark(far);
    f.ctl.RemoveMark(far); // stale: nothing happens
    EXPECT_FALSE(f.ctl.IsMarkIDValid(far));
    EXPECT_FALSE(f.ctl.GetMarkExtents(far, sl, sc, el, ec));
    // The view-column conversions count display columns of a row.
    EXPECT_EQ(f.ctl.CharOffsetToCurrentViewColumn(1, 1), f.ctl.GetDefTabStop() + 1);
    EXPECT_EQ(f.ctl.CurrentViewColumnToCharOffset(f.ctl.GetDefTabStop() + 2, 1), 2);
    EXPECT_EQ(f.ctl.CurrentViewColumnToCharOffset(99, 2), 4) << "past the row end: its end";
    // On a wrapped line each row counts its own columns.
    f.ctl.SetText("abcdefghij klmnopqrst uvwxyz");
    f.ctl.SetWordWrap(true);
    f.ctl.SetWrapColumn(11);
    ASSERT_GT(f.ctl.TextStore().NumLines(), 1);
    EXPECT_EQ(f.ctl.CharOffsetToCurrentViewColumn(3, 2), 4);
    EXPECT_EQ(f.ctl.CurrentViewColumnToCharOffset(4, 2), 3);
    int freed = 0;
    f.ctl.OnMarkFree = [&](TCustomRudivoVoru&, TMark*) { ++freed; };
    f.ctl.ClearCustomMarks();
    EXPECT_EQ(freed, 1);
    EXPECT_EQ(f.ctl.GetFirstMark(), nullptr);
}

TEST(ControlMarks, NamedBookmarksStreamAndNumberedOnesReportBeingCleared) {
    test::ControlFixture f;
    f.ctl.SetText("one\rtwo\rthree\r");
    f.ctl.SetSelection({5, 5});
    f.ctl.AddCustomBookmark("here");
    f.ctl.AddCustomBookmark("end", 999);
    EXPECT_EQ(f.ctl.HasCustomBookmark("here"), 5);
    EXPECT_EQ(f.ctl.HasCustomBookmark("end"), f.ctl.TextStore().NumChars());
    EXPECT_EQ(f.ctl.GetCustBMList().size(), 2u);
    TMemoryStream saved;
    f.ctl.CustomBookmarksToStream(saved);
    test::ControlFixture g;
    g.ctl.SetText("one\rtwo\rthree\r");
    saved.Seek(0, soFromBeginning);
    g.ctl.CustomBookmarksFromStream(saved);
    EXPECT_TRUE(g.ctl.GotoCustomBookmark("here"));
    EXPECT_EQ(g.ctl.GetSelection().chEnd, 5);
    EXPECT_FALSE(g.ctl.GotoCustomBookmark("nowhere"));

    std::vector<int> cleared;
    f.ctl.OnBookmarkClear = [&](TCustomRudivoVoru&, int i) { cleared.push_back(i); };
    f.ctl.SetBookmark(3, 2);
    f.ctl.SetBookmark(4, 2); // replaces 3 on that line
    f.ctl.SetBookmark(4, 2); // set again on its own line: goes
    f.ctl.ClearBookmark(5);  // was never set: nothing
    EXPECT_EQ(cleared, (std::vector<int>{3, 4}));
}

TEST(ControlMarks, TypedWordsAreOfferedForSpellingOnceTheyEnd) {
    test::ControlFixture f;
    std::vector<std::pair<std::string, std::int32_t>> words;
    f.ctl.OnSpellWord = [&](TCustomRudivoVoru&, const std::string& w, std::int32_t at) { words.push_back({w, at}); };
    for (char c : std::string("teh cat, "))
        f.ctl.TypeChar(c);
    EXPECT_EQ(words, (std::vector<std::pair<std::string, std::int32_t>>{{"teh", 0}, {"cat", 4}}));
}

} // namespace
} // namespace qorvi
