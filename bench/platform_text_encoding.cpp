// Checking a file for UTF-8 while it loads: all-ASCII text (the word-at-a-
// time path), text with 30 % multi-byte characters, and the check over the
// 8192-byte pieces a file is read in. The check must stay well above 1 GB/s
// so that loading hardly notices it.

#include "bench/bench_support.h"
#include "platform/text_encoding.h"

#include <benchmark/benchmark.h>
#include <string>

namespace qorvi {
namespace {

const std::string& text(std::int64_t mix) {
    static const std::string ascii = bench::makeCppText(bench::scaled(64u << 20, 1u << 20));
    static const std::string mixed = [] {
        static const char* const kChars[] = {"\xC3\xA9", "\xE4\xB8\xAD", "\xC3\xBC", "\xF0\x9F\x98\x80"};
        std::string out;
        std::size_t k = 0;
        for (char c : ascii) {
            if (c != '\n' && k++ % 10 < 3)
                out += kChars[k % 4];
            else
                out += c;
        }
        return out;
    }();
    return mix == 0 ? ascii : mixed;
}

void BM_ValidateUtf8(benchmark::State& state) {
    const std::string& bytes = text(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(isValidUtf8(bytes));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(state.range(0) == 0 ? "ascii" : "30% multi-byte");
}
BENCHMARK(BM_ValidateUtf8)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DetectEncodingInPieces(benchmark::State& state) {
    const std::string& bytes = text(state.range(0));
    for (auto _ : state) {
        EncodingDetector detector;
        for (std::size_t at = 0; at < bytes.size(); at += 8192)
            detector.feed(std::string_view(bytes).substr(at, 8192));
        benchmark::DoNotOptimize(detector.result());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.SetLabel(state.range(0) == 0 ? "ascii" : "30% multi-byte");
}
BENCHMARK(BM_DetectEncodingInPieces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qorvi
