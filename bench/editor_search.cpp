// Plain search and replace all in the editor control over 100 MB of C++:
// one search for a word found only near the end, with and without match
// case, beside `grep -c -F` (and `-i`) on the same file in the same run
// (grep_ratio is our time over grep's); and 100 000 replacements in one
// undo step, then their undo, with the undo history's size.

#include "bench/bench_support.h"
#include "editor/control/rudivo_voru.h"
#include "editor/undo/undo_stack.h"
#include "tests/support/quiet_control_host.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

namespace qorvi {
namespace {

constexpr const char* kNeedle = "QorviNeedleWord";

const std::string& searchText() {
    static const std::string text = [] {
        std::string t = bench::makeCppText(bench::scaled(100'000'000));
        const std::size_t at = t.find('\n', t.size() * 99 / 100);
        t.insert(at == std::string::npos ? t.size() : at + 1, std::string(kNeedle) + "();\n");
        return t;
    }();
    return text;
}

struct Editor {
    test::QuietControlHost host;
    TRudivoVoru ctl;
    explicit Editor(const std::string& text) {
        ctl.SetHost(&host);
        ctl.ViewResize(1000, 800);
        ctl.SetText(text);
    }
    ~Editor() { ctl.SetHost(nullptr); }
};

double grepSeconds(const std::string& options, const std::string& path) {
    static const std::string out = bench::writeTempFile("", ".count");
    const std::string command = "grep -c " + options + " " + kNeedle + " " + path + " > " + out;
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
            return 0;
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

// Argument 0: match case; 1: without.
void BM_FindPlain(benchmark::State& state) {
    const bool matchCase = state.range(0) == 0;
    static const std::string path = bench::writeTempFile(searchText(), ".cpp");
    static Editor editor(searchText());
    double seconds = 0;
    std::int32_t found = -1;
    for (auto _ : state) {
        editor.ctl.SetSelection({0, 0});
        const auto start = std::chrono::steady_clock::now();
        found = editor.ctl.DoFindText(kFindNow | (matchCase ? kFindMatchCase : 0), kNeedle);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (found < 0)
        state.SkipWithError("the word was not found");
    const double bytes = static_cast<double>(searchText().size());
    const double ours = seconds / static_cast<double>(state.iterations());
    const double grep = grepSeconds(matchCase ? "-F" : "-i -F", path);
    state.SetLabel(matchCase ? "match case" : "any case");
    state.counters["MB_per_s"] = bytes / ours / 1e6;
    state.counters["grep_MB_per_s"] = grep > 0 ? bytes / grep / 1e6 : 0;
    state.counters["grep_ratio"] = grep > 0 ? ours / grep : 0;
}
BENCHMARK(BM_FindPlain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(5);

// 100 000 replacements (fewer in a smoke run) in one undo step, then undone.
void BM_ReplaceAll(benchmark::State& state) {
    const std::size_t count = bench::smokeRun() ? 100 : 100'000;
    std::string text = bench::makeCppText(bench::scaled(100'000'000));
    const std::size_t step = text.size() / count;
    std::string marked;
    marked.reserve(text.size() + count * 12);
    for (std::size_t i = 0; i < count; ++i)
        marked.append(text, i * step, step).append(" qorviword ");
    double replaceSeconds = 0, undoSeconds = 0;
    std::int32_t replaced = 0;
    std::size_t historyBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Editor editor(marked);
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        replaced = editor.ctl.DoReplaceAll(0, editor.ctl.TextStore().NumChars(), true, true, "qorvi_word", "qorviword");
        replaceSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        historyBytes = static_cast<std::size_t>(editor.ctl.TextStore().UndoStack()->MemoryUsed());
        start = std::chrono::steady_clock::now();
        editor.ctl.DoUndo();
        undoSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        if (editor.ctl.GetText().size() != marked.size())
            state.SkipWithError("the undo did not restore the text");
        state.ResumeTiming();
    }
    if (replaced != static_cast<std::int32_t>(count))
        state.SkipWithError("not every word was replaced");
    const double n = static_cast<double>(state.iterations());
    state.counters["replacements"] = replaced;
    state.counters["replace_s"] = replaceSeconds / n;
    state.counters["undo_s"] = undoSeconds / n;
    state.counters["history_MB"] = static_cast<double>(historyBytes) / 1e6;
}
BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace qorvi
