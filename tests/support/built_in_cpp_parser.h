#pragma once

// The C++ parser of this build: the built-in image when the build carries
// one, else the C-like test script compiled on the spot, so that colour
// tests, screenshots and benchmarks run in either build.

#include "editor/support/memory_stream.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "tests/support/c_like_script.h"

#include <memory>
#include <string>

namespace qorvi::test {

// `label`, when given, receives which of the two it is.
inline std::unique_ptr<TRudivoVoruParser> builtInCppParser(std::string* label = nullptr) {
    auto parser = std::make_unique<TRudivoVoruParser>();
    if (const EmbeddedParserImage* image = FindEmbeddedParserImage("cpp")) {
        TMemoryStream stream(std::string(reinterpret_cast<const char*>(image->data), image->size));
        parser->ReadParserData(stream);
        if (label)
            *label = "built-in C++ image";
    } else {
        TMemoryStream script(kCLikeScript);
        CompileFromStream(*parser, script);
        if (label)
            *label = "C-like test script";
    }
    return parser;
}

} // namespace qorvi::test
