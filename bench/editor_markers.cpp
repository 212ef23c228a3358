// Marker figures: the cost of keeping custom marks, named bookmarks,
// breakpoints and line tracks in step with one edit (a character typed in
// the middle of the document and deleted again), for 1 000 to 100 000
// markers of each kind. An edit costs in proportion to the markers it
// reaches, so the figures stay nearly flat as the count grows;
// BM_MarkerShiftAll shows what touching every marker would cost instead.

#include "bench/bench_support.h"
#include "editor/control/line_track_manager.h"
#include "editor/text/marker_edits.h"
#include "editor/text/store_breakpoint_lines.h"
#include "editor/text/text_store.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {
namespace {

struct MarkedDocument {
    TTextStore store;
    StoreBreakpointLines lines{store};
    std::unique_ptr<TLineTrackManager> tracks;

    explicit MarkedDocument(std::int32_t markers) {
        std::string text;
        for (std::int32_t i = 0; i < markers; ++i)
            text.append("int value").append(std::to_string(i % 1000)).append(" = 0;\r");
        store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        store.SetObjectList(std::make_unique<TMarkList>());
        store.Breakpoints().SetEditControl(&lines);
        tracks = std::make_unique<TLineTrackManager>(store);
        const std::int32_t step = store.NumChars() / markers;
        for (std::int32_t i = 0; i < markers; ++i) {
            store.ObjectList()->AddMark(i * step, 3, i);
            store.CustomBookmarks().AddBookmark(std::string("b").append(std::to_string(i)), i * step + 1);
            tracks->AddLineTrack(i + 1, i);
            if (i % 100 == 0)
                store.Breakpoints().EnableBreakpointAtLine(i + 1);
        }
    }
    ~MarkedDocument() { store.Breakpoints().SetEditControl(nullptr); }
};

void BM_MarkerAdjust(benchmark::State& state) {
    const auto markers = static_cast<std::int32_t>(bench::smokeRun() ? state.range(0) / 100 : state.range(0));
    MarkedDocument doc(markers);
    const std::int32_t middle = doc.store.NumChars() / 2 + 3;
    for (auto _ : state) {
        markersInserted(doc.store, middle, 1);
        markersRemoving(doc.store, middle, 1);
        markersRemoved(doc.store, middle, 1);
    }
    state.counters["markers_each"] = markers;
    state.counters["edits_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 2, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MarkerAdjust)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// The alternative: one pass over every mark per edit.
void BM_MarkerShiftAll(benchmark::State& state) {
    const auto markers = static_cast<std::size_t>(bench::smokeRun() ? state.range(0) / 100 : state.range(0));
    std::vector<std::int32_t> starts(markers), ends(markers);
    for (std::size_t i = 0; i < markers; ++i) {
        starts[i] = static_cast<std::int32_t>(i * 20);
        ends[i] = starts[i] + 3;
    }
    const std::int32_t middle = static_cast<std::int32_t>(markers * 10);
    for (auto _ : state) {
        for (int delta : {1, -1}) {
            for (std::size_t i = 0; i < markers; ++i) {
                if (starts[i] >= middle) {
                    starts[i] += delta;
                    ends[i] += delta;
                }
            }
        }
        benchmark::DoNotOptimize(starts.data());
    }
}
BENCHMARK(BM_MarkerShiftAll)->Arg(1'000)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace qorvi
