#pragma once

// Compiling scripts from text and tokenising samples, for the compiler
// tests.

#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "parser/script_messages.h"

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace qorvi::test {

// `script` compiled into a fresh parser; `scriptPath` names the script (its
// directory is where #include <...> looks).
inline std::unique_ptr<TRudivoVoruParser> compile(const std::string& script,
                                                  const std::string& scriptPath = {}) {
    auto parser = std::make_unique<TRudivoVoruParser>();
    parser->Script = scriptPath;
    TMemoryStream stream(script);
    CompileFromStream(*parser, stream);
    return parser;
}

// The message of the error compiling `script` raises, or "" when it compiles.
inline std::string compileError(const std::string& script, const std::string& scriptPath = {}) {
    try {
        compile(script, scriptPath);
    } catch (const QorviError& e) {
        return e.message();
    }
    return "";
}

struct Token {
    std::int32_t offset;
    std::int32_t length;
    int value;
    bool operator==(const Token&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Token& t) {
    return os << "{" << t.offset << "," << t.length << "," << t.value << "}";
}

// Every token of `text`, parsed from its start as the control does.
inline std::vector<Token> tokenise(TRudivoVoruParser& parser, const std::string& text) {
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    parser.ParseInit(0);
    std::vector<Token> tokens;
    while (!stream->yyeof()) {
        const std::int32_t start = stream->GetYYpos();
        std::int32_t len = 0;
        const int value = parser.ParseStream(nullptr, *stream, len);
        tokens.push_back({start, len, value});
        if (stream->GetYYpos() <= start)
            break;
    }
    return tokens;
}

} // namespace qorvi::test
