#pragma once

// Helpers for the tests of the language scripts: a language's parser from
// its built-in image (read as the main window reads them at start-up), its
// styles written out one letter per character, and the check that a parse
// restarted where the editor control would restart it colours the rest of
// the text as a parse from the top does.
//
// Style pictures (stylePicture): a text's styles as one letter per character, so a test
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


#include "editor/settings/editor_settings.h"
#include "editor/support/byte_set.h"
#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_load.h"
#include "editor/text/text_store.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/embedded_images.h"
#include "tests/support/file_bytes.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
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

// A letter for each style number, for the style patterns of the tests.
using StyleLetters = std::map<int, char>;

// The letters of the styles every language shares (the numbers of
// parser/scripts/common.inc), with a language's own styles added:
//   .  Text        c  Comment     s  String      h  Character   n  Number
//   k  Keyword     t  Type        i  Identifier  o  Symbol      p  Preprocessor
//   f  Function    $  Variable    S  Section     K  Key         V  Value
//   L  Label       #  Directive   u  URL
inline StyleLetters sharedLetters(const StyleLetters& own = {}) {
    StyleLetters letters = {{0, '.'},  {1, 'c'},  {3, 's'},  {4, 'h'},  {5, 'n'},  {6, 'k'},
                            {7, 't'},  {8, 'i'},  {9, 'o'},  {10, 'p'}, {11, 'f'}, {16, '$'},
                            {17, 'S'}, {18, 'K'}, {19, 'V'}, {20, 'L'}, {21, '#'}, {23, 'u'}};
    for (const auto& [style, letter] : own)
        letters[style] = letter;
    return letters;
}

// The parser of `typeKey` read from the image built into the programs.
inline std::unique_ptr<TRudivoVoruParser> languageParser(const std::string& typeKey) {
    auto parser = embeddedParser(typeKey);
    if (!parser)
        throw std::runtime_error("no built-in parser image for '" + typeKey + "'");
    return parser;
}

inline std::string sampleFile(const std::string& name) {
    return std::string(QORVI_SOURCE_DIR) + "/tests/parser/samples/" + name;
}

// A text as the editor holds it (every line break one CR) with the token
// value of each character, parsed from the top.
class StyledText {
public:
    StyledText(TRudivoVoruParser& parser, const std::string& text) : parser_(parser) {
        SetStoreText(store_, text.c_str());
        parse();
    }
    static StyledText fromFile(TRudivoVoruParser& parser, const std::string& path) {
        return StyledText(parser, path, 0);
    }

    const std::string& text() const { return text_; }
    const std::vector<std::uint8_t>& values() const { return values_; }
    // Where each token of the parse from the top starts.
    const std::vector<std::int32_t>& tokenStarts() const { return starts_; }
    // Tokens of the parse from the top that did not move the scanner by
    // the length they reported.
    int misreportedTokens() const { return misreported_; }
    std::int32_t size() const { return static_cast<std::int32_t>(text_.size()); }

    // The token values from `from` to the end (or, with `until`, at least up
    // to that offset), parsed after ParseInit(init).
    // `starts`, when given, receives the start of every token, and
    // `misreported` counts tokens whose length was not how far they moved.
    std::vector<std::uint8_t> valuesFrom(std::int32_t from, std::uint8_t init, std::int32_t until = -1,
                                         std::vector<std::int32_t>* starts = nullptr, int* misreported = nullptr) {
        std::vector<std::uint8_t> values(text_.size() - static_cast<std::size_t>(from), 0);
        auto stream = store_.GetTextStream(from);
        parser_.ParseInit(init);
        while (!stream->yyeof() && (until < 0 || stream->GetYYpos() < until)) {
            const std::int32_t start = stream->GetYYpos();
            std::int32_t len = 0;
            const std::uint8_t value = parser_.ParseStream(nullptr, *stream, len);
            if (starts)
                starts->push_back(start);
            if (misreported && (stream->GetYYpos() <= start || len != stream->GetYYpos() - start))
                ++*misreported;
            // The control advances by one character itself after an empty token.
            if (stream->GetYYpos() <= start)
                stream->SetYYpos(start + 1);
            for (std::int32_t i = start; i < stream->GetYYpos() && i < size(); ++i)
                values[static_cast<std::size_t>(i - from)] = value;
        }
        return values;
    }

    // The styles of the characters, one letter each by `legend` (style number
    // to letter, '?' for a style not in it); every stored line break is shown
    // as a line feed whatever its style, so a pattern reads like the text.
    std::string pattern(const StyleLetters& legend, std::int32_t from = 0, std::int32_t count = -1) const {
        const TSM_Settings& settings = parser_.Settings();
        const std::int32_t end = count < 0 ? size() : std::min(size(), from + count);
        std::string out;
        for (std::int32_t i = from; i < end; ++i) {
            if (text_[static_cast<std::size_t>(i)] == '\r') {
                out += '\n';
                continue;
            }
            auto it = legend.find(settings.GetMapEntry(values_[static_cast<std::size_t>(i)]));
            out += it == legend.end() ? '?' : it->second;
        }
        return out;
    }

    // The pattern of the first line holding `fragment`, and that line.
    std::string linePattern(const StyleLetters& legend, const std::string& fragment) const {
        const std::size_t at = text_.find(fragment);
        if (at == std::string::npos)
            return "<no line holds '" + fragment + "'>";
        const std::size_t start = text_.rfind('\r', at) == std::string::npos ? 0 : text_.rfind('\r', at) + 1;
        std::size_t end = text_.find('\r', at);
        if (end == std::string::npos)
            end = text_.size();
        return pattern(legend, static_cast<std::int32_t>(start), static_cast<std::int32_t>(end - start));
    }

    // The style number of every character of the `occurrence`-th `fragment`
    // when they are all the same, else -1; -2 when there is no such fragment.
    int styleOf(const std::string& fragment, int occurrence = 1) const {
        std::size_t at = std::string::npos;
        for (std::size_t from = 0; occurrence > 0; --occurrence, from = at + 1)
            if ((at = text_.find(fragment, from)) == std::string::npos)
                return -2;
        const int style = parser_.Settings().GetMapEntry(values_[at]);
        for (std::size_t i = at; i < at + fragment.size(); ++i)
            if (parser_.Settings().GetMapEntry(values_[i]) != style)
                return -1;
        return style;
    }

    // How the editor control restarts a parse at the start of a run of equal
    // anchored values: ParseInit with that value, there; but at the start of
    // the run's row with value 0 when the anchors hold 0 and the row starts
    // with a character of value 0. (The control looks for the last anchored
    // character before the row it must parse and goes back to the start of
    // its run; rows are lines here, every sample line being short.)
    struct Restart {
        std::int32_t position;
        std::uint8_t init;
    };
    Restart restartFor(std::int32_t runStart) const {
        TByteSet anchor;
        parser_.GetAnchor(anchor);
        const std::int32_t rowStart = lineStart(runStart);
        if (anchor.Contains(0) && values_[static_cast<std::size_t>(rowStart)] == 0)
            return {rowStart, 0};
        return {runStart, values_[static_cast<std::size_t>(runStart)]};
    }

    // Every restart the control may choose in this text: the start of the
    // text, and each run of equal anchored values (see restartFor).
    std::vector<Restart> restarts() const {
        TByteSet anchor;
        parser_.GetAnchor(anchor);
        std::vector<Restart> out{{0, 0}};
        for (std::int32_t i = 0; i < size(); ++i) {
            const std::uint8_t v = values_[static_cast<std::size_t>(i)];
            if (!anchor.Contains(v) || (i > 0 && values_[static_cast<std::size_t>(i - 1)] == v))
                continue;
            out.push_back(restartFor(i));
        }
        return out;
    }

    std::int32_t lineStart(std::int32_t offset) const {
        while (offset > 0 && text_[static_cast<std::size_t>(offset - 1)] != '\r')
            --offset;
        return offset;
    }

    // The line (1-based) and column (1-based) of an offset, for messages.
    std::string where(std::int32_t offset) const {
        int line = 1;
        std::int32_t start = 0;
        for (std::int32_t i = 0; i < offset; ++i)
            if (text_[static_cast<std::size_t>(i)] == '\r') {
                ++line;
                start = i + 1;
            }
        return "line " + std::to_string(line) + ", column " + std::to_string(offset - start + 1);
    }

private:
    StyledText(TRudivoVoruParser& parser, const std::string& path, int) : parser_(parser) {
        LoadTextFromFile(store_, path);
        parse();
    }
    void parse() {
        text_ = store_.GetText();
        values_ = valuesFrom(0, 0, -1, &starts_, &misreported_);
    }

    TRudivoVoruParser& parser_;
    TTextStore store_;
    std::string text_;
    std::vector<std::uint8_t> values_;
    std::vector<std::int32_t> starts_;
    int misreported_ = 0;
};

// The style pattern of `text` parsed from the top (see StyledText::pattern).
inline std::string stylesOf(TRudivoVoruParser& parser, const std::string& text, const StyleLetters& letters) {
    return StyledText(parser, text).pattern(letters);
}

// The example text of the options dialog shows every editable style, and
// every style it shows can be edited by name; every editable style is a
// defined effect.
inline void expectExampleShowsEveryStyle(TRudivoVoruParser& parser) {
    const TSM_Settings& settings = parser.Settings();
    ASSERT_FALSE(settings.ScriptText().empty());
    StyledText example(parser, settings.ScriptText());
    std::set<int> shown;
    for (std::uint8_t value : example.values())
        shown.insert(settings.GetMapEntry(value));
    std::set<int> editable;
    for (int i = 1; i <= kEditableCount; ++i) {
        const TEditableEntry& e = settings.GetEditableEntry(i);
        if (e.Name.empty())
            continue;
        editable.insert(e.Value);
        EXPECT_TRUE(shown.count(e.Value)) << "the example text shows no '" << e.Name << "'";
        EXPECT_NE(settings.GetFormatEntry(e.Value).InUse, 0) << "'" << e.Name << "' has no effect";
    }
    for (int style : shown)
        EXPECT_TRUE(editable.count(style))
            << "style " << style << " of the example text has no editable name";
}

// Restarting at every point the control may choose gives, from there to the
// end, the values a parse from the top gave. A text with fewer than
// `minimum` restart points would prove little.
// With `span`, each restart is followed for that many characters only (for
// long texts, where parsing to the end from every restart takes too long).
inline void expectRestartsAgree(StyledText& styled, int minimum = 10, std::int32_t span = -1) {
    int checked = 0;
    for (const StyledText::Restart& r : styled.restarts()) {
        const std::int32_t until = span < 0 ? -1 : r.position + span;
        const std::vector<std::uint8_t> again = styled.valuesFrom(r.position, r.init, until);
        const std::size_t count =
            until < 0 ? again.size() : std::min(again.size(), static_cast<std::size_t>(span));
        for (std::size_t i = 0; i < count; ++i) {
            const std::int32_t at = r.position + static_cast<std::int32_t>(i);
            if (again[i] != styled.values()[static_cast<std::size_t>(at)]) {
                ADD_FAILURE() << "restart at " << styled.where(r.position) << " with value " << int(r.init)
                              << " differs first at " << styled.where(at) << ": " << int(again[i])
                              << " instead of " << int(styled.values()[static_cast<std::size_t>(at)]);
                break;
            }
        }
        ++checked;
    }
    EXPECT_GE(checked, minimum);
}

// The sample text of a language (tests/parser/samples/KEY.sample).
inline std::string readSample(const std::string& key) {
    const std::string text = readFile(sampleFile(key + ".sample"));
    if (text.empty())
        ADD_FAILURE() << "missing sample tests/parser/samples/" << key << ".sample";
    return text;
}

// A text parsed from the top: as stored (every line break one CR), the
// token value of each character and where each token starts.
struct Parse {
    std::string text;
    std::vector<int> values;
    std::vector<std::int32_t> starts;
};

inline Parse parseText(TRudivoVoruParser& parser, const std::string& text) {
    StyledText styled(parser, text);
    if (styled.misreportedTokens())
        ADD_FAILURE() << styled.misreportedTokens() << " tokens did not move the scanner by their length";
    return {styled.text(), std::vector<int>(styled.values().begin(), styled.values().end()), styled.tokenStarts()};
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

// True when `token` is exactly one of the tokens of `text`.
inline bool isOneToken(TRudivoVoruParser& parser, const std::string& text, const std::string& token) {
    const Parse p = parseText(parser, text);
    for (std::size_t i = 0; i < p.starts.size(); ++i) {
        const std::size_t start = static_cast<std::size_t>(p.starts[i]);
        const std::size_t end = i + 1 < p.starts.size() ? static_cast<std::size_t>(p.starts[i + 1]) : p.text.size();
        if (p.text.compare(start, end - start, token) == 0)
            return true;
    }
    return false;
}

// expectRestartsAgree over `text`; returns how many restarts were tried.
inline int expectRestartsAgree(TRudivoVoruParser& parser, const std::string& text) {
    StyledText styled(parser, text);
    expectRestartsAgree(styled, 0);
    return static_cast<int>(styled.restarts().size());
}

} // namespace qorvi::test
