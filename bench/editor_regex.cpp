// Regular-expression figures: searching a 100 MB C++ file for every match of
// a literal-prefixed pattern and of a character-class pattern, each beside
// `grep -c -E` with the same pattern on the same file, timed in the same run
// (the counter grep_ratio is our time over grep's), forward and backward; and
// the worst cases over 10 MB, forward and backward, each of which must come
// to its answer (found, not found, or "Expression too complex" for a pattern
// left to backtracking) within a second. bench/regex_vs_grep.sh prints them.

#include "bench/bench_support.h"
#include "editor/regex/re_parser.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_load.h"
#include "editor/text/text_store.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>

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
// The count goes to a file: with its output on /dev/null grep stops at the
// first match.
struct Seconds {
    double wall = 1e9;
    double cpu = 1e9;
};

double childCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

Seconds grepSeconds(const std::string& pattern) {
    static const std::string out = bench::writeTempFile("", ".count");
    const std::string command = "grep -c -E '" + pattern + "' " + sourceFile() + " > " + out;
    Seconds best;
    for (int i = 0; i < 3; ++i) {
        const double cpuBefore = childCpuSeconds();
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) < 0)
            return {0, 0};
        best.wall = std::min(best.wall,
                             std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        best.cpu = std::min(best.cpu, childCpuSeconds() - cpuBefore);
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

// Every match, forward from the start (second argument 0) or backward from
// the end (1), each search going on from the last match.
void BM_RegexSearch(benchmark::State& state) {
    const SearchCase& c = kCases[state.range(0)];
    const bool forward = state.range(1) == 0;
    TTextStore& store = sourceStore();
    TREParser re;
    if (!re.Compile(c.ours)) {
        state.SkipWithError("pattern did not compile");
        return;
    }
    auto stream = store.GetTextStream(0);
    std::int64_t matches = 0;
    double seconds = 0;
    double cpu = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpuStart = std::clock();
        matches = 0;
        stream->SetYYpos(forward ? 0 : store.NumChars());
        while (re.Search(*stream, forward)) {
            ++matches;
            if (!forward)
                stream->SetYYpos(re.GetSection(0));
        }
        cpu += static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double bytes = static_cast<double>(store.NumChars());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.NumChars());
    state.SetLabel(std::string(c.name) + (forward ? " forward" : " backward"));
    state.counters["matches"] = static_cast<double>(matches);
    // Wall-clock and CPU figures: on a busy machine the CPU ratio is the
    // steadier one.
    const double ours = seconds / static_cast<double>(state.iterations());
    const double oursCpu = cpu / static_cast<double>(state.iterations());
    state.counters["MB_per_s"] = bytes / ours / 1e6;
    state.counters["cpu_MB_per_s"] = bytes / oursCpu / 1e6;
    const Seconds grep = grepSeconds(c.grep);
    state.counters["grep_MB_per_s"] = grep.wall > 0 ? bytes / grep.wall / 1e6 : 0;
    state.counters["grep_ratio"] = grep.wall > 0 ? ours / grep.wall : 0;
    state.counters["grep_cpu_ratio"] = grep.cpu > 0 ? oursCpu / grep.cpu : 0;
}
BENCHMARK(BM_RegexSearch)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(3);

// The texts of the worst cases, 10 MB each: one line of 'a'; random words
// over a-x in lines of about 60 characters; one line of random 'a' and 'b',
// on which an automaton of a pattern such as (a|b)*a(a|b){20}c needs a new
// state at nearly every character.
enum class WorstText { LineOfA, RandomWords, RandomAB };

TTextStore& worstCaseStore(WorstText kind) {
    static std::unique_ptr<TTextStore> stores[3];
    std::unique_ptr<TTextStore>& store = stores[static_cast<int>(kind)];
    if (!store) {
        const std::size_t size = bench::scaled(10'000'000);
        std::string text;
        std::mt19937 rng(5);
        text.reserve(size);
        if (kind == WorstText::RandomWords) {
            while (text.size() < size) {
                const std::size_t r = rng() % 64;
                text += r < 6 ? ' ' : r == 6 ? '\r' : static_cast<char>('a' + r % 24);
            }
        } else if (kind == WorstText::RandomAB) {
            while (text.size() < size)
                text += static_cast<char>('a' + rng() % 2);
        } else {
            text.assign(size, 'a');
        }
        store = std::make_unique<TTextStore>();
        store->InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
    }
    return *store;
}

const char* const kWorstTextNames[] = {"one line of a", "random words", "random a and b"};

struct WorstCase {
    const char* pattern;
    WorstText text;
};

const WorstCase kWorstCases[] = {
    {"(a+)+[^a]", WorstText::LineOfA},
    {"(a+)*[bc]", WorstText::LineOfA},
    {"(a+)+b", WorstText::LineOfA},
    {"((a{1,2})+)+c", WorstText::LineOfA},
    {"\\w+\\d", WorstText::LineOfA},
    {".*[bc]", WorstText::LineOfA},
    {".*b", WorstText::LineOfA},
    {"a.*b", WorstText::LineOfA},
    {"(a|aa)+$", WorstText::LineOfA},
    {"(a|b| |x)*[yz]", WorstText::RandomWords},
    {"[a-x ]+\\n\\d", WorstText::RandomWords},
    {"\\w+q\\w*\\s", WorstText::RandomWords},
    {"(a|b)*a(a|b){20}c", WorstText::RandomAB},
    {"((a{1,300}){1,300})+b", WorstText::LineOfA},
};

// Forward from the start (argument 0) or backward from the end (1) through
// 10 MB; the counters say what the search came to.
void BM_RegexWorstCase(benchmark::State& state) {
    const WorstCase& c = kWorstCases[state.range(0)];
    const bool forward = state.range(1) == 0;
    TTextStore& store = worstCaseStore(c.text);
    TREParser re;
    if (!re.Compile(c.pattern)) {
        state.SkipWithError("pattern did not compile");
        return;
    }
    auto stream = store.GetTextStream(0);
    int found = 0, notFound = 0, tooComplex = 0;
    double slowest = 0;
    for (auto _ : state) {
        stream->SetYYpos(forward ? 0 : store.NumChars());
        const auto start = std::chrono::steady_clock::now();
        try {
            (re.Search(*stream, forward) ? found : notFound) += 1;
        } catch (const ERegExprError&) {
            ++tooComplex;
        }
        slowest = std::max(slowest,
                           std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetLabel(std::string(c.pattern) + (forward ? " forward" : " backward") + " over " +
                   kWorstTextNames[static_cast<int>(c.text)]);
    state.counters["found"] = found;
    state.counters["not_found"] = notFound;
    state.counters["too_complex"] = tooComplex;
    state.counters["linear"] = re.Linear() ? 1 : 0;
    state.counters["slowest_s"] = slowest;
}
BENCHMARK(BM_RegexWorstCase)
    ->ArgsProduct({benchmark::CreateDenseRange(0, std::size(kWorstCases) - 1, 1), {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

} // namespace
} // namespace qorvi
