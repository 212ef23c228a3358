// Editing in the editor control: one character typed in the middle of a
// large C++ document (the undo record, the markers, the re-parse of the rows
// on screen, the caret brought into view - everything until the control
// returns to the event loop, painting aside), undoing one transaction that
// changed 100 000 places, and the undo history's memory after typing 1 MB
// character by character (one undo step per character).

#include "bench/bench_editor.h"
#include "bench/bench_support.h"
#include "editor/settings/editor_settings.h"
#include "editor/undo/undo_stack.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <string>

namespace qorvi {
namespace {

// C++ text of `lines` lines.
std::string cppLines(std::size_t lines) {
    std::string text = bench::makeCppText(lines * 40);
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && ++count == lines) {
            text.resize(i + 1);
            break;
        }
    return text;
}

using Editor = bench::BenchEditor;

void BM_TypeChar(benchmark::State& state) {
    Editor e(bench::withMultiByte(cppLines(bench::scaled(static_cast<std::size_t>(state.range(0)), 2'000)),
                                  state.range(1)),
             bench::encodingOfMix(state.range(1)));
    const auto middle =
        static_cast<std::int32_t>(e.ctl.perform(EM_LINEINDEX, e.ctl.TextStore().NumLines() / 2));
    e.ctl.SetSelection({middle + 4, middle + 4});
    e.finishStyling();
    for (auto _ : state) {
        e.ctl.KeyPress('x');
        // Take it back, so that every character is typed into the same text.
        state.PauseTiming();
        e.ctl.DoUndo();
        e.finishStyling();
        state.ResumeTiming();
    }
    state.SetLabel(e.label + ", " + bench::nameOfMix(state.range(1)));
    state.counters["lines"] = e.ctl.TextStore().NumLines();
    benchmark::DoNotOptimize(e.ctl.GetUndoMemUsed());
}
BENCHMARK(BM_TypeChar)
    ->ArgsProduct({{10'000, 1'000'000}, {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

void BM_UndoReplaceAll(benchmark::State& state) {
    const std::size_t places = bench::scaled(100'000, 2'000);
    std::string text;
    for (std::size_t i = 0; i < places; ++i)
        text += "    value = value + " + std::to_string(i) + "; // count\n";
    Editor e(text);
    // One transaction as replace-all makes it: every "count" becomes
    // "total", each place selected and replaced without repainting.
    e.ctl.UndoTransBegin(utReplace);
    for (std::size_t i = 0; i < places; ++i) {
        const auto at =
            static_cast<std::int32_t>(e.ctl.perform(EM_LINEINDEX, static_cast<std::uintptr_t>(i)));
        const std::string line = e.ctl.TextStore().GetText(at, 60);
        const auto found = static_cast<std::int32_t>(line.find("count"));
        e.ctl.SetSelection({at + found, at + found + 5}, true);
        e.ctl.DoReplaceSel("total", true);
    }
    e.ctl.UndoTransEnd(utReplace);
    e.finishStyling();
    for (auto _ : state) {
        e.ctl.DoUndo();
        state.PauseTiming();
        e.ctl.DoReDo();
        e.finishStyling();
        state.ResumeTiming();
    }
    state.SetLabel(e.label);
    state.counters["places"] = static_cast<double>(places);
}
BENCHMARK(BM_UndoReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(bench::smokeRun() ? 1 : 5);

void BM_UndoMemoryTyping1MB(benchmark::State& state) {
    std::string text = bench::makeCppText(bench::scaled(1 << 20, 16 * 1024));
    for (char& c : text)
        if (c == '\n')
            c = '\r';
    for (auto _ : state) {
        const std::size_t heapBefore = mallinfo2().uordblks;
        {
            TRudivoVoru ctl;
            ctl.SetOptions(ctl.GetOptions() & ~(smoAutoIndent | smoTabToColumn));
            for (char c : text)
                ctl.KeyPress(c);
            const std::size_t heapAfter = mallinfo2().uordblks;
            state.counters["historyMB"] = static_cast<double>(ctl.GetUndoMemUsed()) / (1 << 20);
            state.counters["steps"] = static_cast<double>(text.size());
            // The heap the history takes, with the text's own records
            // measured apart.
            TTextStore plain;
            const std::size_t textBefore = mallinfo2().uordblks;
            plain.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
            const std::size_t textAfter = mallinfo2().uordblks;
            state.counters["heapMB"] =
                (static_cast<double>(heapAfter - heapBefore) - static_cast<double>(textAfter - textBefore)) /
                (1 << 20);
            benchmark::DoNotOptimize(ctl.GetText().size());
        }
    }
    state.counters["typedMB"] = static_cast<double>(text.size()) / (1 << 20);
}
BENCHMARK(BM_UndoMemoryTyping1MB)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace qorvi
