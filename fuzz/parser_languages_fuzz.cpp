// Feeds arbitrary text to the languages built into the program. The first
// byte picks the language (modulo their number), the second the token value
// the parse restarts at (as the editor control restarts at an anchor); the
// rest is the text. Every call must move the scanner on by the length it
// reports, so no input can crash the parser or make it loop.

#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using namespace qorvi;

namespace {

// Read once: reading an image is not what is being tried here.
std::vector<std::unique_ptr<TRudivoVoruParser>>& parsers() {
    static std::vector<std::unique_ptr<TRudivoVoruParser>> all = [] {
        std::vector<std::unique_ptr<TRudivoVoruParser>> v;
        for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
            auto p = std::make_unique<TRudivoVoruParser>();
            TMemoryStream data(std::string(reinterpret_cast<const char*>(image.data), image.size));
            p->ReadParserData(data);
            v.push_back(std::move(p));
        }
        return v;
    }();
    return all;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto& all = parsers();
    if (all.empty() || size < 2)
        return 0;
    TRudivoVoruParser& parser = *all[data[0] % all.size()];
    TTextStore store;
    store.InsertText(0, reinterpret_cast<const char*>(data + 2), static_cast<std::int64_t>(size - 2));
    auto stream = store.GetTextStream(0);
    parser.ParseInit(data[1]);
    const std::int32_t count = store.NumChars();
    std::int32_t calls = 0;
    while (!stream->yyeof()) {
        const std::int32_t start = stream->GetYYpos();
        std::int32_t len = 0;
        parser.ParseStream(nullptr, *stream, len);
        const std::int32_t end = stream->GetYYpos();
        if (end <= start || len != end - start || ++calls > count)
            std::abort();
    }
    return 0;
}
