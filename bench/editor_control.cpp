// The editor control on large C++ documents: painting a screen, typing at
// the top and at the end of a million lines (until the control returns to
// the event loop: the edit, the part of the re-parse done at once and the
// paint), word wrap over 100 MB, and paging down. Colours come from the
// built-in C++ image when there is one, else from a C-like script compiled
// here; the label says which.

#include "bench/bench_editor.h"
#include "bench/bench_support.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace qorvi {
namespace {

// C++ text of about `lines` lines in which nothing closes a block comment,
// so that one opened at the top reaches the end.
std::string cppLines(std::size_t lines) {
    std::string text = bench::makeCppText(lines * 40);
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && ++count == lines) {
            text.resize(i + 1);
            break;
        }
        if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '*')
            text[i + 1] = '/';
        else if (text[i] == '*' && i + 1 < text.size() && text[i + 1] == '/')
            text[i] = ' ';
    }
    return text;
}

using Editor = bench::BenchEditor;
using bench::kHeight;
using bench::kRows;
using bench::kWidth;

const std::string& millionLines() {
    static const std::string text = cppLines(bench::scaled(1'000'000, 2'000));
    return text;
}

void BM_PaintScreen(benchmark::State& state) {
    Editor e(bench::withMultiByte(cppLines(kRows * 4), state.range(0)), bench::encodingOfMix(state.range(0)));
    for (auto _ : state) {
        e.ctl.ScreenInvalid();
        e.paint();
        benchmark::DoNotOptimize(e.host.canvas.calls().data());
    }
    state.SetLabel(e.label);
    state.counters["rows"] = kRows;
    state.counters["canvasCalls"] = static_cast<double>(e.host.canvas.calls().size());
    state.SetLabel(e.label + ", " + bench::nameOfMix(state.range(0)));
}
BENCHMARK(BM_PaintScreen)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

void BM_TypeAtTop(benchmark::State& state) {
    Editor e(millionLines());
    e.paint();
    for (auto _ : state) {
        e.ctl.SetSelection({0, 0});
        e.ctl.DoReplaceSel("/*");
        e.paint();
        state.PauseTiming();
        // Take it out again (and let the rows agree once more).
        e.ctl.SetSelection({0, 2});
        e.ctl.DoReplaceSel("");
        e.finishStyling();
        state.ResumeTiming();
    }
    state.SetLabel(e.label);
    state.counters["lines"] = e.ctl.TextStore().NumLines();
}
BENCHMARK(BM_TypeAtTop)->Unit(benchmark::kMillisecond);

// What the idle slices then do: every later row becomes comment.
void BM_TypeAtTopIdleRestyle(benchmark::State& state) {
    Editor e(millionLines());
    for (auto _ : state) {
        state.PauseTiming();
        e.ctl.SetSelection({0, 0});
        e.ctl.DoReplaceSel("/*");
        state.ResumeTiming();
        e.finishStyling();
        state.PauseTiming();
        e.ctl.SetSelection({0, 2});
        e.ctl.DoReplaceSel("");
        e.finishStyling();
        state.ResumeTiming();
    }
    state.SetLabel(e.label);
    state.counters["lines"] = e.ctl.TextStore().NumLines();
}
BENCHMARK(BM_TypeAtTopIdleRestyle)->Unit(benchmark::kMillisecond)->Iterations(bench::smokeRun() ? 1 : 3);

void BM_TypeAtEnd(benchmark::State& state) {
    Editor e(millionLines());
    const std::int32_t end = e.ctl.TextStore().NumChars();
    e.ctl.SetSelection({end, end});
    e.paint();
    for (auto _ : state) {
        e.ctl.SetSelection({end, end});
        e.ctl.DoReplaceSel("x");
        e.paint();
        state.PauseTiming();
        e.ctl.SetSelection({end, end + 1});
        e.ctl.DoReplaceSel("");
        e.finishStyling();
        state.ResumeTiming();
    }
    state.SetLabel(e.label);
    state.counters["lines"] = e.ctl.TextStore().NumLines();
}
BENCHMARK(BM_TypeAtEnd)->Unit(benchmark::kMillisecond);

void BM_RewrapAll(benchmark::State& state) {
    const std::string text = cppLines(bench::scaled(100'000'000, 64 * 1024) / 36);
    Editor e(text);
    const auto column = static_cast<std::uint16_t>(state.range(0));
    e.ctl.SetWrapColumn(column);
    for (auto _ : state) {
        e.ctl.SetWordWrap(true);
        state.PauseTiming();
        const std::int32_t rows = e.ctl.TextStore().NumLines();
        e.ctl.SetWordWrap(false);
        state.ResumeTiming();
        state.counters["rows"] = rows;
    }
    state.SetLabel(column ? "wrap at column " + std::to_string(column) : "wrap at the window edge");
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_RewrapAll)
    ->Arg(0)
    ->Arg(24)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(bench::smokeRun() ? 1 : 3);

void BM_ScrollPage(benchmark::State& state) {
    static const std::string multiByte = bench::withMultiByte(millionLines(), 2);
    Editor e(state.range(0) == 2 ? multiByte : millionLines(), bench::encodingOfMix(state.range(0)));
    e.paint();
    const std::int32_t last = e.ctl.TextStore().NumLines() - kRows;
    for (auto _ : state) {
        if (e.ctl.TopLine() >= last)
            e.ctl.perform(WM_VSCROLL, SB_TOP);
        e.ctl.perform(WM_VSCROLL, SB_PAGEDOWN);
        e.paint();
    }
    state.SetLabel(e.label + ", " + bench::nameOfMix(state.range(0)));
}
BENCHMARK(BM_ScrollPage)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace qorvi
