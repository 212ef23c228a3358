#pragma once

// Tokenising with the languages built into the program (the embedded
// images, read as the main window reads them at start-up), for the language
// tests.
//
// Style pictures: a text's styles as one letter per character, so a test
// states the colour of every character of a construct and a reader can check
// it by eye against the text above it:
//   .  Text          c  Comment      d  Doc comment   s  String
//   h  Character     n  Number       k  Keyword       t  Type
//   i  Identifier    o  Symbol       p  Preprocessor  f  Function
//   g  Tag           a  Attribute    v  Attribute value
//   e  Entity        $  Variable     x  Script        u  URL
//   @  Annotation    ?  any other style
// A line break shows as a line break when it is plain text, else as the
// letter of its style (a line break inside a block comment is a 'c').

#include "editor/support/byte_set.h"
#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"

#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace qorvi::test {

// The letter of a style number shared by the language scripts
// (parser/scripts/common.inc); styles of other languages show as '?'.
inline char letterOfStyle(int style) {
    static const std::string letters = ".cdshnktiopfgave$?????xu@m";
    return style >= 0 && static_cast<std::size_t>(style) < letters.size()
               ? letters[static_cast<std::size_t>(style)]
               : '?';
}

// The parser of `key` read from its embedded image; null (with a test
// failure) when the program carries no image for it.
inline std::unique_ptr<TRudivoVoruParser> embeddedParser(const std::string& key) {
    const EmbeddedParserImage* image = FindEmbeddedParserImage(key);
    if (!image) {
        ADD_FAILURE() << "no embedded parser image for '" << key << "'";
        return nullptr;
    }
    auto parser = std::make_unique<TRudivoVoruParser>();
    TMemoryStream data(std::string(reinterpret_cast<const char*>(image->data), image->size));
    parser->ReadParserData(data);
    return parser;
}

inline std::string readSample(const std::string& key) {
    std::ifstream in(std::string(QORVI_SOURCE_DIR) + "/tests/parser/samples/" + key + ".sample",
                     std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    if (s.str().empty())
        ADD_FAILURE() << "missing sample tests/parser/samples/" << key << ".sample";
    return s.str();
}

struct Parse {
    std::string text;                 // as stored: every line break one CR
    std::vector<int> values;          // token value of each character
    std::vector<std::int32_t> starts; // offset of every token
};

// Tokenises `text` from its start as the control does after loading it.
inline Parse parseText(TRudivoVoruParser& parser, const std::string& text) {
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    Parse result;
    result.text = store.GetText();
    result.values.assign(result.text.size(), -1);
    auto stream = store.GetTextStream(0);
    parser.ParseInit(0);
    while (!stream->yyeof()) {
        const std::int32_t start = stream->GetYYpos();
        std::int32_t len = 0;
        const int value = parser.ParseStream(nullptr, *stream, len);
        const std::int32_t end = stream->GetYYpos();
        if (end <= start || len != end - start) {
            ADD_FAILURE() << "token at " << start << " did not move the scanner properly";
            break;
        }
        result.starts.push_back(start);
        for (std::int32_t i = start; i < end; ++i)
            result.values[static_cast<std::size_t>(i)] = value;
    }
    return result;
}

// The style picture of `text` (see the top of this file).
inline std::string stylePicture(TRudivoVoruParser& parser, const std::string& text) {
    const Parse p = parseText(parser, text);
    std::string picture;
    for (std::size_t i = 0; i < p.text.size(); ++i) {
        const int style = parser.Settings().GetMapEntry(static_cast<std::uint8_t>(p.values[i]));
        picture += (p.text[i] == '\r' && style == 0) ? '\n' : letterOfStyle(style);
    }
    return picture;
}

// The text of every token of `text` (line breaks as stored, CR).
inline std::vector<std::string> tokenTexts(TRudivoVoruParser& parser, const std::string& text) {
    const Parse p = parseText(parser, text);
    std::vector<std::string> tokens;
    for (std::size_t i = 0; i < p.starts.size(); ++i) {
        const std::size_t start = static_cast<std::size_t>(p.starts[i]);
        const std::size_t end =
            i + 1 < p.starts.size() ? static_cast<std::size_t>(p.starts[i + 1]) : p.text.size();
        tokens.push_back(p.text.substr(start, end - start));
    }
    return tokens;
}

// True when `token` is exactly one of the tokens of `text`.
inline bool isOneToken(TRudivoVoruParser& parser, const std::string& text, const std::string& token) {
    for (const std::string& t : tokenTexts(parser, text))
        if (t == token)
            return true;
    return false;
}

// The restart points the control uses (the first character of every run of
// equal values that is in the anchor set, and a row's first character when
// the anchor set holds 0 and the row starts with a 0), and at each the
// styles a parse from there reaches, compared with the parse from the top
// to the end of the text. Returns the number of restart points tried.
inline int expectRestartsAgree(TRudivoVoruParser& parser, const std::string& text) {
    const Parse top = parseText(parser, text);
    TByteSet anchor;
    parser.GetAnchor(anchor);
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    const std::size_t n = top.values.size();
    int tried = 0, failures = 0;
    for (std::size_t p = 0; p < n && failures < 5; ++p) {
        const int v = top.values[p];
        const bool runStart =
            anchor.Contains(static_cast<std::uint8_t>(v)) && (p == 0 || top.values[p - 1] != v);
        const bool rowStart = anchor.Contains(0) && v == 0 && p > 0 && top.text[p - 1] == '\r';
        if (!runStart && !rowStart)
            continue;
        ++tried;
        stream->SetYYpos(static_cast<std::int32_t>(p));
        parser.ParseInit(static_cast<std::uint8_t>(v));
        std::size_t at = p;
        while (!stream->yyeof()) {
            const std::int32_t start = stream->GetYYpos();
            std::int32_t len = 0;
            const int value = parser.ParseStream(nullptr, *stream, len);
            std::size_t end = static_cast<std::size_t>(stream->GetYYpos());
            if (end <= static_cast<std::size_t>(start))
                break;
            for (std::size_t i = at; i < end; ++i) {
                if (top.values[i] != value) {
                    std::size_t lineStart = top.text.rfind('\r', i == 0 ? 0 : i - 1);
                    lineStart = lineStart == std::string::npos ? 0 : lineStart + 1;
                    std::size_t lineEnd = top.text.find('\r', i);
                    ADD_FAILURE() << "restart at offset " << p << " (value " << v << ") gives value " << value
                                  << " instead of " << top.values[i] << " at offset " << i
                                  << " in the line \"" << top.text.substr(lineStart, lineEnd - lineStart)
                                  << "\"";
                    ++failures;
                    end = n; // stop this restart
                    break;
                }
            }
            if (end >= n)
                break;
            at = end;
        }
    }
    return tried;
}

} // namespace qorvi::test
