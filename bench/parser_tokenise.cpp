// Tokenising as the editor control does it while painting: a parser with the
// C++ keywords, line and block comments, strings, characters, numbers and
// identifiers, run over a large C++ text from start to end.

#include "bench/bench_support.h"
#include "editor/lexicon/char_group.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/rudivo_voru_parser.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace qorvi {
namespace {

TSM_CharGroup group(const char* notation) {
    TSM_CharGroup g;
    int pos = 1;
    TSM_CharGroup_SetFromString(notation, pos, g);
    return g;
}

void addValid(TParserTables& t, std::uint8_t value) {
    if (!t.StateChanges(value)) {
        TSM_StateChanges sc;
        sc.ValidIn = {0};
        t.SetStateChanges(value, sc);
    }
}

void addHandlerToken(TParserTables& t, std::uint8_t value, int handler, const char* start) {
    TSM_TokenActions e;
    e.Start.CharSet = t.InternGroup(group(start));
    e.Start.IsHandler = 1;
    e.Start.HandlerIndex = handler;
    e.ValidStates = {0};
    e.TokenValue = value;
    const TSM_CharGroup g = group(start);
    for (int c = 0; c < 256; ++c)
        if (g.ContainsChar(static_cast<std::uint8_t>(c)))
            TParserTables::SetTokenActions(t.StartTable(), static_cast<std::uint8_t>(c), e);
    addValid(t, value);
}

// The stand-in for the C++ script: values 1 keyword, 2 line comment,
// 3 block comment, 4 identifier, 5 number, 6 string, 7 character.
void buildCpp(TRudivoVoruParser& p) {
    TParserTables& t = p.Tables();
    const char* keywords[] = {"alignas",     "alignof",      "asm",
                              "auto",        "bool",         "break",
                              "case",        "catch",        "char",
                              "class",       "const",        "constexpr",
                              "const_cast",  "continue",     "decltype",
                              "default",     "delete",       "do",
                              "double",      "dynamic_cast", "else",
                              "enum",        "explicit",     "export",
                              "extern",      "false",        "float",
                              "for",         "friend",       "goto",
                              "if",          "inline",       "int",
                              "long",        "mutable",      "namespace",
                              "new",         "noexcept",     "nullptr",
                              "operator",    "private",      "protected",
                              "public",      "register",     "reinterpret_cast",
                              "return",      "short",        "signed",
                              "sizeof",      "static",       "static_assert",
                              "static_cast", "struct",       "switch",
                              "template",    "this",         "thread_local",
                              "throw",       "true",         "try",
                              "typedef",     "typeid",       "typename",
                              "union",       "unsigned",     "using",
                              "virtual",     "void",         "volatile",
                              "wchar_t",     "while"};
    const TSM_CharGroup follow = group("[^a-zA-Z0-9_]");
    for (const char* k : keywords)
        t.Keywords().Add(k, true, follow, {0}, 1);
    addValid(t, 1);

    t.Keywords().Add("//", true, TSM_CharGroup(), {0}, 2);
    TSM_HandlerActions line;
    line.Continuation.CharSet = t.InternGroup(group("[^\\n]"));
    line.Continuation.Optional = 1;
    line.Terminator.Count = 1;
    line.Terminator.CharSets[0] = t.InternGroup(group("\\n"));
    t.SetHandler(2, line);
    addValid(t, 2);

    t.Keywords().Add("/*", true, TSM_CharGroup(), {0}, 3);
    TSM_HandlerActions block;
    block.Continuation.CharSet = t.InternGroup(group("[^]"));
    block.Continuation.Optional = 1;
    block.Terminator.Count = 2;
    block.Terminator.Include = 1;
    block.Terminator.CharSets[0] = t.InternGroup(group("*"));
    block.Terminator.CharSets[1] = t.InternGroup(group("/"));
    t.SetHandler(3, block);
    addValid(t, 3);

    addHandlerToken(t, 4, 10, "[a-zA-Z_]");
    addHandlerToken(t, 5, 11, "[0-9]");
    addHandlerToken(t, 6, 13, "\"");
    addHandlerToken(t, 7, 14, "'");
    t.CompleteCompiledTables();
}

void BM_Tokenise(benchmark::State& state) {
    std::string text = bench::makeCppText(bench::scaled(10'000'000));
    // The store holds CR line breaks.
    std::replace(text.begin(), text.end(), '\n', '\r');
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    TRudivoVoruParser parser;
    buildCpp(parser);
    auto stream = store.GetTextStream(0);
    std::int64_t tokens = 0;
    std::int64_t keywords = 0;
    for (auto _ : state) {
        stream->SetYYpos(0);
        parser.ParseInit(0);
        while (!stream->yyeof()) {
            std::int32_t len = 0;
            keywords += parser.ParseStream(nullptr, *stream, len) == 1;
            ++tokens;
        }
        benchmark::DoNotOptimize(tokens);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.NumChars());
    state.counters["tokens"] =
        benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kAvgIterations);
    state.counters["keywords"] =
        benchmark::Counter(static_cast<double>(keywords), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_Tokenise)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qorvi
