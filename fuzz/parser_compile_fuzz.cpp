// Feeds arbitrary bytes as a parser script to the script compiler. A script
// must either compile or be refused with a QorviError; a compiled parser must
// write an image that reads back into a second parser, and both must
// tokenise a sample without failing in any other way.
//
// Scripts that would #include a path outside the (empty) working directory
// are skipped: reading arbitrary system files proves nothing here.

#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

using namespace qorvi;

void tokenise(TRudivoVoruParser& parser, TTextStore& store) {
    auto stream = store.GetTextStream(0);
    parser.ParseInit(0);
    for (int steps = 0; steps < 1000 && !stream->yyeof(); ++steps) {
        const std::int32_t start = stream->GetYYpos();
        std::int32_t len = 0;
        parser.ParseStream(nullptr, *stream, len);
        if (stream->GetYYpos() <= start)
            std::abort(); // every token moves the scanner on
    }
}

bool readsOutside(const std::string& script) {
    return script.find("include") != std::string::npos && script.find_first_of("/\\") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool inEmptyDirectory = [] {
        char dir[] = "/tmp/qorvi-compile-fuzz-XXXXXX";
        return ::mkdtemp(dir) && ::chdir(dir) == 0;
    }();
    const std::string script(reinterpret_cast<const char*>(data), size);
    if (!inEmptyDirectory || readsOutside(script))
        return 0;

    TRudivoVoruParser parser;
    TMemoryStream in(script);
    try {
        CompileFromStream(parser, in);
    } catch (const QorviError&) {
        return 0;
    }

    TTextStore store;
    const std::string sample =
        "int main() { /* c */ // x\r\n  return a1 + 2.5e3 - 'c' \"s\\\"\" @x <b>; }\r#if\r";
    store.InsertText(0, sample.data(), static_cast<std::int64_t>(sample.size()));
    TMemoryStream image;
    parser.WriteParserData(image);
    image.SetPosition(0);
    TRudivoVoruParser copy;
    copy.ReadParserData(image);
    for (TRudivoVoruParser* p : {&parser, &copy}) {
        try {
            tokenise(*p, store);
        } catch (const QorviError&) {
            // A pop with an empty state stack ("Stack underflow") is the
            // script's fault and reported as such.
        }
    }
    return 0;
}
