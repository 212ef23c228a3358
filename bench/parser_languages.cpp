// Tokenising with the languages built into the program, as the editor
// control does while it paints: every built-in image (BM_Tokenise/<type
// key>) read as at start-up, run over about 10 MB of its language from
// start to end. C++ uses the generated C++ text; the other languages repeat
// their test sample (tests/parser/samples/<key>.sample) or, without one, the
// language's own example text.

#include "bench/bench_support.h"
#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fstream>
#include <sstream>
#include <string>

namespace qorvi {
namespace {

std::string sampleOf(const std::string& key, const TRudivoVoruParser& parser) {
    std::ifstream in(std::string(QORVI_SOURCE_DIR) + "/tests/parser/samples/" + key + ".sample",
                     std::ios::binary);
    std::ostringstream s;
    if (in)
        s << in.rdbuf();
    std::string sample = s.str();
    if (sample.empty())
        sample = parser.Settings().ScriptText();
    if (sample.empty())
        sample = "text\n";
    if (sample.back() != '\n' && sample.back() != '\r')
        sample += '\n';
    return sample;
}

std::string languageText(const std::string& key, const TRudivoVoruParser& parser, std::size_t bytes) {
    if (key == "cpp")
        return bench::makeCppText(bytes);
    const std::string sample = sampleOf(key, parser);
    std::string text;
    text.reserve(bytes + sample.size());
    while (text.size() < bytes)
        text += sample;
    return text;
}

void tokeniseLanguage(benchmark::State& state, const EmbeddedParserImage* image) {
    TRudivoVoruParser parser;
    TMemoryStream data(std::string(reinterpret_cast<const char*>(image->data), image->size));
    parser.ReadParserData(data);
    std::string text = languageText(image->typeKey, parser, bench::scaled(10'000'000));
    // A loaded document's line breaks are single CRs in the store; an LF
    // would be an ordinary character to the scripts.
    std::replace(text.begin(), text.end(), '\n', '\r');
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    std::int64_t tokens = 0;
    for (auto _ : state) {
        stream->SetYYpos(0);
        parser.ParseInit(0);
        while (!stream->yyeof()) {
            std::int32_t len = 0;
            benchmark::DoNotOptimize(parser.ParseStream(nullptr, *stream, len));
            ++tokens;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * store.NumChars());
    state.counters["tokens"] =
        benchmark::Counter(static_cast<double>(tokens), benchmark::Counter::kAvgIterations);
}

const bool registered = [] {
    for (const EmbeddedParserImage& image : EmbeddedParserImages())
        benchmark::RegisterBenchmark((std::string("BM_Tokenise/") + image.typeKey).c_str(), tokeniseLanguage,
                                     &image)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
} // namespace qorvi
