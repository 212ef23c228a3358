// Keyword matching as the parser does it: a table of 500 words (the C++
// keywords plus generated identifiers) matched at every scanning position of
// a large C++ text, each failed match stepping one character on.

#include "bench/bench_support.h"
#include "editor/lexicon/char_group.h"
#include "editor/lexicon/keywords.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace qorvi {
namespace {

std::vector<std::string> tableWords() {
    std::vector<std::string> words = {
        "alignas", "alignof",  "auto",      "bool",     "break",    "case",      "catch",    "char",
        "class",   "const",    "constexpr", "continue", "decltype", "default",   "delete",   "do",
        "double",  "else",     "enum",      "explicit", "extern",   "false",     "float",    "for",
        "friend",  "goto",     "if",        "inline",   "int",      "long",      "mutable",  "namespace",
        "new",     "noexcept", "nullptr",   "operator", "private",  "protected", "public",   "return",
        "short",   "signed",   "sizeof",    "static",   "struct",   "switch",    "template", "this",
        "throw",   "true",     "try",       "typedef",  "typename", "union",     "unsigned", "using",
        "virtual", "void",     "volatile",  "while",    "std",      "string",    "vector",   "size_t",
        "include", "define",   "ifdef",     "ifndef",   "endif",    "pragma"};
    std::mt19937 rng(7);
    const std::string letters = "abcdefghijklmnopqrstuvwxyz_";
    while (words.size() < 500) {
        std::string w;
        const std::size_t len = 3 + rng() % 9;
        for (std::size_t i = 0; i < len; ++i)
            w.push_back(letters[rng() % letters.size()]);
        if (std::find(words.begin(), words.end(), w) == words.end())
            words.push_back(w);
    }
    return words;
}

void BM_KeywordMatch(benchmark::State& state) {
    const std::string text = bench::makeCppText(bench::scaled(10'000'000));
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    TKeywords table;
    TSM_CharGroup terminator;
    int pos = 1;
    TSM_CharGroup_SetFromString("[^a-zA-Z0-9_]", pos, terminator);
    int value = 1;
    for (const std::string& w : tableWords())
        table.Add(w, true, terminator, {0}, value++);
    table.SetCurrentStates({0});
    auto stream = store.GetTextStream(0);
    std::int64_t matched = 0;
    for (auto _ : state) {
        stream->SetYYpos(0);
        std::int32_t len = 0, start = 0, offset = 0;
        while (!stream->yyeof())
            matched += table.MatchStream(*stream, true, true, len, start, offset) != nullptr;
        benchmark::DoNotOptimize(matched);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.NumChars());
    state.counters["keywords_found"] =
        benchmark::Counter(static_cast<double>(matched), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_KeywordMatch)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qorvi
