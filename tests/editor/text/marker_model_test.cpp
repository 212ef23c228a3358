// Random edits against a plain model of every marker's rules: after each
// edit, every custom mark, named bookmark and breakpoint must sit where the
// model says, and the offset indexes must be consistent.

#include "editor/marks/breakpoints.h"
#include "editor/text/marker_edits.h"
#include "editor/text/store_breakpoint_lines.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace qorvi {
namespace {

struct ModelMark {
    TMark* id;
    std::int64_t start, end;
};

std::int32_t lineStartIn(const std::string& text, std::int32_t offset) {
    while (offset > 0 && text[static_cast<std::size_t>(offset) - 1] != '\r')
        --offset;
    return offset;
}

std::int32_t lineEndIn(const std::string& text, std::int32_t offset) {
    const std::size_t cr = text.find('\r', static_cast<std::size_t>(offset));
    return cr == std::string::npos ? static_cast<std::int32_t>(text.size())
                                   : static_cast<std::int32_t>(cr) + 1;
}

class MarkerModel : public ::testing::TestWithParam<unsigned> {
protected:
    void SetUp() override {
        rng.seed(GetParam());
        store.SetObjectList(std::make_unique<TMarkList>());
        store.Breakpoints().SetEditControl(&lines);
    }
    void TearDown() override { store.Breakpoints().SetEditControl(nullptr); }

    std::string randomText(std::size_t length) {
        static const char alphabet[] = "abc\r";
        std::string s;
        for (std::size_t i = 0; i < length; ++i)
            s += alphabet[rng() % 4];
        return s;
    }
    std::int32_t randomOffset() { return static_cast<std::int32_t>(rng() % (text.size() + 1)); }

    void addMarkers() {
        TMarkList& marks = *store.ObjectList();
        for (int i = 0; i < 40; ++i) {
            const std::int32_t start = randomOffset();
            const std::int32_t length = static_cast<std::int32_t>(rng() % 12);
            TMark* id = marks.AddMark(start, length, i);
            model.push_back({id, start, start + length});
        }
        for (int i = 0; i < 15; ++i) {
            const std::string name = "bm" + std::to_string(nextName++);
            const std::int32_t at = randomOffset();
            store.CustomBookmarks().AddBookmark(name, at);
            named[name] = at;
        }
        for (int i = 0; i < 3; ++i) {
            const std::int32_t line = static_cast<std::int32_t>(rng() % std::max(1, store.NumLines())) + 1;
            if (store.Breakpoints().EnableBreakpointAtLine(line)) {
                const std::int32_t at = lines.lineStart(line);
                if (std::find(breaks.begin(), breaks.end(), at) == breaks.end())
                    breaks.push_back(at);
            }
        }
        std::sort(breaks.begin(), breaks.end());
    }

    void insert() {
        const std::int32_t pos = randomOffset();
        const std::string piece = randomText(1 + rng() % 8);
        const std::int32_t n = static_cast<std::int32_t>(piece.size());
        store.InsertStoredText(pos, piece.data(), n);
        markersInserted(store, pos, n);
        text.insert(static_cast<std::size_t>(pos), piece);
        for (ModelMark& m : model) {
            if (m.start >= pos) {
                m.start += n;
                m.end += n;
            } else if (m.end >= pos) {
                m.end += n;
            }
        }
        for (auto& [name, at] : named)
            if (at >= pos)
                at += n;
        for (std::int32_t& b : breaks)
            if (b > pos || (b == pos && piece.back() == '\r'))
                b += n;
    }

    void erase() {
        if (text.empty())
            return;
        const std::int32_t pos = static_cast<std::int32_t>(rng() % text.size());
        const std::int32_t n = std::min<std::int32_t>(1 + static_cast<std::int32_t>(rng() % 10),
                                                      static_cast<std::int32_t>(text.size()) - pos);
        const std::int64_t stop = pos + n;
        const std::string before = text;
        markersRemoving(store, pos, n);
        store.DeleteText(pos, n);
        markersRemoved(store, pos, n);
        text.erase(static_cast<std::size_t>(pos), static_cast<std::size_t>(n));

        std::vector<ModelMark> kept;
        for (ModelMark m : model) {
            if (m.start < pos) {
                if (m.end > pos)
                    m.end = std::max<std::int64_t>(pos, m.end - n);
            } else if (m.start < stop) {
                if (m.end <= stop)
                    continue; // freed
                m.start = pos;
                m.end -= n;
            } else {
                m.start -= n;
                m.end -= n;
            }
            kept.push_back(m);
        }
        model = kept;
        for (auto it = named.begin(); it != named.end();) {
            if (it->second >= pos && it->second < stop) {
                it = named.erase(it);
                continue;
            }
            if (it->second >= stop)
                it->second -= n;
            ++it;
        }
        const std::int32_t home =
            lineStartIn(text, std::min<std::int32_t>(pos, static_cast<std::int32_t>(text.size())));
        std::vector<std::int32_t> next;
        bool haveHome = false;
        std::vector<std::int32_t> movers;
        for (std::int32_t b : breaks) {
            if (b < pos) {
                next.push_back(b);
                haveHome = haveHome || b == home;
            } else if (b < stop) {
                if (lineEndIn(before, b) > stop)
                    movers.push_back(b);
            } else {
                if (b - n == pos)
                    movers.push_back(b);
                else
                    next.push_back(b - n);
            }
        }
        if (!movers.empty() && !haveHome)
            next.push_back(home);
        std::sort(next.begin(), next.end());
        breaks = next;
    }

    void check(int step) {
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_EQ(store.GetText(), text);
        const TMarkList& marks = *store.ObjectList();
        ASSERT_STREQ(marks.Index().verify(), "");
        ASSERT_EQ(marks.Count(), model.size());
        for (const ModelMark& m : model) {
            ASSERT_TRUE(marks.IsMarkIDValid(m.id));
            ASSERT_EQ(marks.GetMarkStartPos(m.id), m.start) << "mark " << m.id->UserData;
            ASSERT_EQ(marks.GetMarkEndPos(m.id), m.end) << "mark " << m.id->UserData;
        }
        ASSERT_STREQ(store.CustomBookmarks().Index().verify(), "");
        std::vector<std::pair<std::string, std::int32_t>> expected(named.begin(), named.end());
        ASSERT_EQ(store.CustomBookmarks().RetrieveBookmarks(), expected);
        ASSERT_STREQ(store.Breakpoints().Index().verify(), "");
        std::vector<std::int32_t> actual;
        for (TSM_BreakpointData* d = store.Breakpoints().First(); d; d = store.Breakpoints().Next(d))
            actual.push_back(d->Offset());
        ASSERT_EQ(actual, breaks);
    }

    std::mt19937 rng;
    TTextStore store;
    StoreBreakpointLines lines{store};
    std::string text;
    std::vector<ModelMark> model;
    std::map<std::string, std::int32_t> named;
    std::vector<std::int32_t> breaks;
    int nextName = 0;
};

TEST_P(MarkerModel, RandomEditsKeepEveryMarkerWhereTheModelSays) {
    text = randomText(3000);
    store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
    for (int round = 0; round < 30; ++round)
        addMarkers(); // enough marks to split the index into several blocks
    for (int step = 0; step < 600; ++step) {
        if (step % 50 == 0)
            addMarkers();
        if (rng() % 2)
            insert();
        else
            erase();
        check(step);
        if (HasFatalFailure())
            return;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, MarkerModel, ::testing::Values(1u, 2u, 3u, 4u));

} // namespace
} // namespace qorvi
