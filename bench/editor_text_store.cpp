// Text store figures: loading a large file, look-ups by offset and by record
// number on a 2-million-line document, a one-character insertion in its
// middle, and writing the text out. BM_WcLines times `wc -l` on the same
// file for comparison. Set QORVI_BENCH_1GB=1 to also load a 1 GB file.

#include "bench/bench_support.h"
#include "editor/support/file_stream.h"
#include "editor/support/memory_stream.h"
#include "editor/text/text_load.h"
#include "editor/text/text_save.h"
#include "editor/text/text_store.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace qorvi {
namespace {

const std::string& sourceFile() {
    static const std::string path =
        bench::writeTempFile(bench::makeCppText(bench::scaled(100'000'000)), ".cpp");
    return path;
}

std::size_t fileSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    return static_cast<std::size_t>(in.tellg());
}

// A document of `lines` records of about 35 characters.
TTextStore& bigDocument() {
    static std::unique_ptr<TTextStore> store = [] {
        auto s = std::make_unique<TTextStore>();
        std::string text = bench::makeCppText(bench::scaled(2'000'000, 20'000) * 35);
        SetStoreText(*s, text.c_str());
        return s;
    }();
    return *store;
}

void BM_LoadFile(benchmark::State& state) {
    const std::string& path = sourceFile();
    const std::size_t bytes = fileSize(path);
    double before = bench::residentBytes();
    double loaded = 0;
    // Argument 1 loads as documents open (finding the encoding); 0 reads
    // the same file without that check, for comparison.
    const bool detect = state.range(0) == 1;
    for (auto _ : state) {
        TTextStore store;
        if (detect) {
            LoadTextFromFile(store, path);
        } else {
            TFileStream stream(path);
            LoadTextFromStream(store, stream);
        }
        // Styles as the parsing pass would write them: a few runs a line.
        state.PauseTiming();
        std::uint8_t styles[kMaxLineLen];
        for (TLine* line = store.Buffer(); line; line = store.Next(line)) {
            for (int i = 0; i < line->Len(); ++i)
                styles[i] = static_cast<std::uint8_t>(i / 7 % 5);
            store.SetLineStyles(line, styles);
        }
        loaded = bench::residentBytes();
        state.counters["lines"] = store.NumLines();
        state.counters["bytes_per_record"] =
            static_cast<double>(store.Chain().memoryUse()) / std::max(1, store.NumLines());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["rss_over_file"] = (loaded - before) / static_cast<double>(bytes);
}
BENCHMARK(BM_LoadFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WcLines(benchmark::State& state) {
    const std::string& path = sourceFile();
    const std::string command = "wc -l '" + path + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("wc failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fileSize(path)));
}
BENCHMARK(BM_WcLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OffsetLookupRandom(benchmark::State& state) {
    TTextStore& store = bigDocument();
    std::mt19937 rng(1);
    std::uniform_int_distribution<std::int32_t> pick(0, store.NumChars() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.InfoFromIndex(pick(rng)).line);
    state.counters["lines"] = store.NumLines();
}
BENCHMARK(BM_OffsetLookupRandom);

void BM_LineLookupRandom(benchmark::State& state) {
    TTextStore& store = bigDocument();
    std::mt19937 rng(2);
    std::uniform_int_distribution<std::int32_t> pick(0, store.NumLines() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(store.LineFromLineIndex(pick(rng)).line);
}
BENCHMARK(BM_LineLookupRandom);

void BM_InsertMiddle(benchmark::State& state) {
    TTextStore& store = bigDocument();
    std::int32_t middle = store.NumChars() / 2;
    bool insert = true;
    for (auto _ : state) {
        // Alternate insertion and removal so the document stays the same size.
        if (insert)
            store.InsertText(middle, "x", 1);
        else
            store.DeleteText(middle, 1);
        insert = !insert;
    }
}
BENCHMARK(BM_InsertMiddle);

void BM_ExportText(benchmark::State& state) {
    TTextStore& store = bigDocument();
    for (auto _ : state) {
        TMemoryStream stream;
        SaveTextToStream(store, &stream, sfUNIX, lsCRLF);
        benchmark::DoNotOptimize(stream.DataString().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.NumChars());
}
BENCHMARK(BM_ExportText)->Unit(benchmark::kMillisecond);

void BM_LoadOneGigabyte(benchmark::State& state) {
    const char* wanted = std::getenv("QORVI_BENCH_1GB");
    if (!wanted || std::string(wanted) != "1" || bench::smokeRun()) {
        state.SkipWithError("set QORVI_BENCH_1GB=1 to run");
        for (auto _ : state) {
        }
        return;
    }
    std::string path;
    {
        std::string text = bench::makeCppText(1'000'000'000);
        path = bench::writeTempFile(text, ".cpp");
    }
    // Argument 1 loads as documents open (finding the encoding); 0 reads
    // the same file without that check, for comparison.
    const bool detect = state.range(0) == 1;
    for (auto _ : state) {
        TTextStore store;
        if (detect) {
            LoadTextFromFile(store, path);
        } else {
            TFileStream stream(path);
            LoadTextFromStream(store, stream);
        }
        state.counters["lines"] = store.NumLines();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 1'000'000'000);
    state.counters["peak_rss_gb"] = bench::peakResidentBytes() / 1e9;
}
BENCHMARK(BM_LoadOneGigabyte)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace qorvi
