// Every built-in language over its sample with UTF-8 characters of two,
// three and four bytes (and a lone combining mark) put between its bytes
// all through: in identifiers, numbers, strings, comments, tags and between
// symbols. The bytes of one character never part at a token boundary, so
// a character is always painted in one colour.

#include "parser/embedded_images.h"
#include "platform/text_encoding.h"
#include "tests/parser/lang_test_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace qorvi::test {
namespace {

// The sample with a character after every third byte that sits between two
// ASCII bytes (the samples may hold Windows-1252 letters, left alone).
std::string withMultiByteCharacters(const std::string& sample) {
    static const char* const kCharacters[] = {"\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "\xCC\x81",
                                              "\xC3\x9F"};
    std::string text;
    std::size_t next = 0;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        text += sample[i];
        const bool asciiPair = static_cast<unsigned char>(sample[i]) < 0x80 &&
                               (i + 1 == sample.size() || static_cast<unsigned char>(sample[i + 1]) < 0x80);
        if (i % 3 == 0 && asciiPair && sample[i] != '\r' && sample[i] != '\n')
            text += kCharacters[next++ % std::size(kCharacters)];
    }
    return text;
}

TEST(MultiByteTokens, NoLanguageStartsATokenInsideAUtf8Character) {
    int languages = 0;
    for (const EmbeddedParserImage& image : EmbeddedParserImages()) {
        const std::string path = sampleFile(std::string(image.typeKey) + ".sample");
        if (!std::filesystem::exists(path))
            continue;
        ++languages;
        auto parser = languageParser(image.typeKey);
        const StyledText styled(*parser, withMultiByteCharacters(readFile(path)));
        const std::string& text = styled.text();
        // Which offsets lie inside a character, past its first byte.
        std::vector<bool> inside(text.size() + 1, false);
        for (std::size_t at = 0; at < text.size();) {
            const int length = utf8SequenceLength(std::string_view(text).substr(at));
            for (int k = 1; k < length; ++k)
                inside[at + static_cast<std::size_t>(k)] = true;
            at += static_cast<std::size_t>(std::max(length, 1));
        }
        int split = 0;
        for (const std::int32_t start : styled.tokenStarts())
            if (inside[static_cast<std::size_t>(start)] && split++ < 3)
                ADD_FAILURE() << image.typeKey << ": a token starts inside a character at " << styled.where(start);
        EXPECT_EQ(split, 0) << image.typeKey << ": tokens that start inside a character";
    }
    EXPECT_GE(languages, 13);
}

} // namespace
} // namespace qorvi::test
