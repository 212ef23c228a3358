// Every language built into the program (each entry of the embedded image
// table, so a language added to parser/scripts/scripts.cmake is covered
// without a change here): its image reads and writes back unchanged, its
// settings are complete, and no input makes it crash or stop advancing.

#include "editor/settings/editor_settings.h"
#include "tests/parser/lang_test_support.h"

#include <array>
#include <cctype>
#include <cstdlib>
#include <random>
#include <set>

namespace qorvi {
namespace {

std::string imageBytes(const EmbeddedParserImage& image) {
    return std::string(reinterpret_cast<const char*>(image.data), image.size);
}

std::string written(TRudivoVoruParser& parser) {
    TMemoryStream out;
    parser.WriteParserData(out);
    return out.DataString();
}

std::unique_ptr<TRudivoVoruParser> readBytes(const std::string& bytes) {
    auto parser = std::make_unique<TRudivoVoruParser>();
    TMemoryStream in(bytes);
    parser->ReadParserData(in);
    return parser;
}

TEST(EmbeddedImages, TheProgramCarriesTheLanguages) {
    EXPECT_FALSE(EmbeddedParserImages().empty());
    for (const char* key :
         {"cpp", "java", "htm", "sql", "txt", "bas", "pas", "idl", "bat", "ini", "sh", "4gl", "php3"})
        EXPECT_NE(FindEmbeddedParserImage(key), nullptr) << key;
}

TEST(EmbeddedImages, EveryImageWritesBackUnchangedAfterReading) {
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        SCOPED_TRACE(image.typeKey);
        const std::string original = imageBytes(image);
        auto first = readBytes(original);
        const std::string once = written(*first);
        auto second = readBytes(once);
        const std::string twice = written(*second);
        // The built image itself may differ from `once`: a parser read from
        // an image leaves the context sets the image did not carry empty
        // (meaning the start state), and writing stores them.
        EXPECT_TRUE(twice == once) << "the second writing has " << twice.size() << " bytes, the first "
                                   << once.size();
        EXPECT_EQ(first->Tables().Anchor(), second->Tables().Anchor());
        EXPECT_EQ(first->Tables().StartState(), second->Tables().StartState());
        EXPECT_EQ(first->Tables().BoundStates(), second->Tables().BoundStates());
        // The tables behave the same too: the example text tokenises alike.
        const std::string sample = first->Settings().ScriptText();
        EXPECT_EQ(test::parseText(*first, sample).values, test::parseText(*second, sample).values);
    }
}

TEST(EmbeddedImages, EveryLanguageIsNamedAndDescribed) {
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        SCOPED_TRACE(image.typeKey);
        auto parser = readBytes(imageBytes(image));
        const TSM_Settings& s = parser->Settings();
        EXPECT_NE(s.LanguageName(), "<Custom language>");
        EXPECT_FALSE(s.LanguageName().empty());
        EXPECT_FALSE(s.ScriptText().empty()) << "no example text for the options dialog";
        int editable = 0;
        for (int i = 1; i <= kEditableCount; ++i) {
            const TEditableEntry& e = s.GetEditableEntry(i);
            if (e.Name.empty())
                continue;
            ++editable;
            EXPECT_TRUE(s.GetFormatEntry(e.Value).InUse) << "editable style '" << e.Name << "' has no effect";
        }
        EXPECT_GT(editable, 1);
        // Every style a token value is painted in has an effect of its own.
        for (int value = 0; value < 256; ++value) {
            const int style = s.GetMapEntry(static_cast<std::uint8_t>(value));
            EXPECT_TRUE(s.GetFormatEntry(static_cast<std::uint8_t>(style)).InUse)
                << "value " << value << " is painted in style " << style << ", which has no effect";
        }
    }
}

// The options dialog previews the styles on the example text: it shows
// every style the user may edit.
TEST(EmbeddedImages, EveryExampleTextShowsEveryEditableStyle) {
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        SCOPED_TRACE(image.typeKey);
        auto parser = readBytes(imageBytes(image));
        const TSM_Settings& s = parser->Settings();
        const test::Parse p = test::parseText(*parser, s.ScriptText());
        std::set<int> shown;
        for (int value : p.values)
            shown.insert(s.GetMapEntry(static_cast<std::uint8_t>(value)));
        for (int i = 1; i <= kEditableCount; ++i) {
            const TEditableEntry& e = s.GetEditableEntry(i);
            if (!e.Name.empty()) {
                EXPECT_TRUE(shown.count(e.Value)) << "the example text shows no '" << e.Name << "'";
            }
        }
    }
}

// Tokenises `text` from its start in the parser's start state and from a
// restart at every token value, checking that every call moves the scanner
// on by the length it reports.
void expectProgress(TRudivoVoruParser& parser, const std::string& text, bool everyRestart) {
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    const std::int32_t count = store.NumChars();
    for (int restart = 0; restart < (everyRestart ? 256 : 1); ++restart) {
        stream->SetYYpos(0);
        parser.ParseInit(static_cast<std::uint8_t>(restart));
        std::int64_t calls = 0;
        while (!stream->yyeof()) {
            const std::int32_t start = stream->GetYYpos();
            std::int32_t len = 0;
            parser.ParseStream(nullptr, *stream, len);
            const std::int32_t end = stream->GetYYpos();
            ASSERT_GT(end, start) << "no progress at " << start << " after restarting at value " << restart;
            ASSERT_EQ(len, end - start);
            ASSERT_LE(++calls, count);
        }
    }
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

bool longTests() {
    const char* v = std::getenv("QORVI_LONG_TESTS");
    return v && *v && std::string(v) != "0";
}

TEST(EmbeddedImages, BinaryAndMalformedInputAlwaysMakesProgress) {
    std::string everyByte;
    for (int c = 0; c < 256; ++c)
        everyByte += static_cast<char>(c);
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        SCOPED_TRACE(image.typeKey);
        auto parser = readBytes(imageBytes(image));
        expectProgress(*parser, randomBytes(16 * 1024, 7), false);
        expectProgress(*parser, randomBytes(512, 11), true);
        expectProgress(*parser, everyByte, true);
        expectProgress(*parser, std::string(4096, '\0'), false);
        // Every way of cutting the example text short leaves a construct open.
        const std::string sample = parser->Settings().ScriptText();
        for (std::size_t cut = 0; cut < sample.size(); cut += 13)
            expectProgress(*parser, sample.substr(0, cut), false);
        // Openers left open to the end of the text.
        for (const char* opener :
             {"/*", "\"", "'", "<!--", "<script>", "<?php", "<%", "R\"x(", "\"\"\"", "{"})
            expectProgress(*parser, std::string(opener) + randomBytes(4096, 3), false);
    }
}

// Each token as (start, length, value), from a restart at `restart`.
std::vector<std::array<std::int32_t, 3>> tokensOf(TRudivoVoruParser& parser, const std::string& text,
                                                  std::uint8_t restart) {
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    parser.ParseInit(restart);
    std::vector<std::array<std::int32_t, 3>> tokens;
    while (!stream->yyeof()) {
        const std::int32_t start = stream->GetYYpos();
        std::int32_t len = 0;
        const int value = parser.ParseStream(nullptr, *stream, len);
        tokens.push_back({start, len, value});
    }
    return tokens;
}

// Plain tokens are scanned from plans worked out per set of states; every
// other token takes the general path. Both must give the same tokens on any
// text: pieces of the language's example text in random order, with random
// bytes among them and letters of either case, from the start and from
// restarts.
TEST(EmbeddedImages, PlannedScanningGivesTheGeneralPathsTokens) {
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        SCOPED_TRACE(image.typeKey);
        auto planned = readBytes(imageBytes(image));
        auto general = readBytes(imageBytes(image));
        general->SetScanPlans(false);
        const std::string sample = planned->Settings().ScriptText();
        std::mt19937 rng(5);
        for (int round = 0; round < 12; ++round) {
            std::string text;
            while (text.size() < 3000) {
                if (rng() % 8 == 0) {
                    text += static_cast<char>(rng() & 0xFF);
                    continue;
                }
                const std::size_t at = rng() % sample.size();
                text += sample.substr(at, rng() % 200);
            }
            // Keywords of the languages that ignore case, in any case.
            if (round % 2)
                for (char& c : text)
                    if (std::isalpha(static_cast<unsigned char>(c)) && rng() % 3 == 0)
                        c = static_cast<char>(c ^ 0x20);
            for (int restart : {0, 1, 2, 7, 30, 100})
                ASSERT_EQ(tokensOf(*planned, text, static_cast<std::uint8_t>(restart)),
                          tokensOf(*general, text, static_cast<std::uint8_t>(restart)))
                    << "round " << round << ", restart " << restart;
        }
    }
}

// One line of 5 MB (200 KB unless QORVI_LONG_TESTS is set: the sanitizers
// make the full size slow, and progress does not depend on the length).
TEST(EmbeddedImages, OneVeryLongLineTokenises) {
    const std::size_t size = longTests() ? 5 * 1024 * 1024 : 200 * 1024;
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        SCOPED_TRACE(image.typeKey);
        auto parser = readBytes(imageBytes(image));
        std::string sample = parser->Settings().ScriptText();
        for (char& c : sample)
            if (c == '\r' || c == '\n')
                c = ' ';
        std::string line;
        line.reserve(size + sample.size());
        while (line.size() < size)
            line += sample;
        expectProgress(*parser, line, false);
    }
}

} // namespace
} // namespace qorvi
