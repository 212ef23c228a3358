// Regular-expression figures: searching a 100 MB C++ file for every match of
// a literal-prefixed pattern and of a character-class pattern, each beside
// `grep -c -E` with the same pattern on the same file, timed in the same run
// (the counter grep_ratio is our time over grep's); and the time a
// pathological pattern takes to end with "Expression too complex".

#include "bench/bench_support.h"
#include "editor/ed_stream.h"
#include "editor/re_parser.h"
#include "editor/text_load.h"
#include "editor/text_store.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

namespace qorvi {
namespace {

const std::string& sourceFile() {
    static const std::string path =
        bench::writeTempFile(bench::makeCppText(bench::scaled(100'000'000)), ".cpp");
    return path;
}

TTextStore& sourceStore() {
    static std::unique_ptr<TTextStore> store = [] {
        auto s = std::make_unique<TTextStore>();
        LoadTextFromFile(*s, sourceFile());
        return s;
    }();
    return *store;
}

// Seconds for grep to count the matching lines (the best of three runs).
double grepSeconds(const std::string& pattern) {
    const std::string command = "grep -c -E '" + pattern + "' " + sourceFile() + " > /dev/null";
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) < 0)
            return 0;
        best =
            std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

struct SearchCase {
    const char* name;
    const char* ours;
    const char* grep;
};

const SearchCase kCases[] = {
    {"literal-prefixed", "return\\s+\\w+", "return[[:space:]]+[[:alnum:]_]+"},
    {"character-class", "[0-9]x[0-9A-F]+", "[0-9]x[0-9A-F]+"},
};

void BM_RegexSearch(benchmark::State& state) {
    const SearchCase& c = kCases[state.range(0)];
    TTextStore& store = sourceStore();
    TREParser re;
    if (!re.Compile(c.ours)) {
        state.SkipWithError("pattern did not compile");
        return;
    }
    auto stream = store.GetTextStream(0);
    std::int64_t matches = 0;
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        matches = 0;
        stream->SetYYpos(0);
        while (re.Search(*stream, true))
            ++matches;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double bytes = static_cast<double>(store.NumChars());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.NumChars());
    state.SetLabel(c.name);
    state.counters["matches"] = static_cast<double>(matches);
    const double ours = seconds / static_cast<double>(state.iterations());
    state.counters["MB_per_s"] = bytes / ours / 1e6;
    const double grep = grepSeconds(c.grep);
    state.counters["grep_MB_per_s"] = grep > 0 ? bytes / grep / 1e6 : 0;
    state.counters["grep_ratio"] = grep > 0 ? ours / grep : 0;
}
BENCHMARK(BM_RegexSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Patterns that backtrack exponentially over 100 000 characters: the time
// until the search gives up with "Expression too complex".
void BM_RegexPathological(benchmark::State& state) {
    static const char* const patterns[] = {"(a+)+b", "(a|aa)+$", "((a{1,2})+)+c"};
    const char* pattern = patterns[state.range(0)];
    const std::string text = std::string(bench::scaled(100'000, 2'000), 'a') + "!bc";
    TTextStore store;
    store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
    TREParser re;
    if (bench::smokeRun())
        re.SetStepBudget(1 << 18, 16);
    re.Compile(pattern);
    auto stream = store.GetTextStream(0);
    int errors = 0;
    for (auto _ : state) {
        stream->SetYYpos(0);
        try {
            re.Search(*stream, true);
        } catch (const ERegExprError&) {
            ++errors;
        }
    }
    state.SetLabel(pattern);
    state.counters["too_complex"] = errors == static_cast<int>(state.iterations()) ? 1 : 0;
}
BENCHMARK(BM_RegexPathological)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qorvi
