#include "platform/text_encoding.h"

#include <gtest/gtest.h>

using namespace qorvi;

namespace {

// What a sequence of 2-4 bytes means by the definition of UTF-8: its code
// point, when its lead and continuation bytes have the right form.
bool validByDefinition(const std::string& s) {
    const auto b0 = static_cast<unsigned char>(s[0]);
    const int length = b0 >= 0xF0 ? 4 : b0 >= 0xE0 ? 3 : 2;
    if (static_cast<int>(s.size()) != length || (b0 & 0xC0) != 0xC0 || b0 >= 0xF8)
        return false;
    char32_t cp = b0 & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        const auto c = static_cast<unsigned char>(s[static_cast<std::size_t>(k)]);
        if ((c & 0xC0) != 0x80)
            return false;
        cp = (cp << 6) | (c & 0x3F);
    }
    const char32_t shortest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    return cp >= shortest && cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF);
}

} // namespace

TEST(TextEncoding, ValidatorAgreesWithTheDefinitionOnEveryMultiByteSequence) {
    // Each sequence alone and inside ASCII at every offset of the 16- and
    // 64-byte blocks, so that no block edge or ASCII skip hides a bad byte.
    std::string s;
    int checked = 0;
    for (int b0 = 0xC0; b0 <= 0xFF; ++b0)
        for (int b1 = 0x70; b1 <= 0xC0; b1 += (b0 >= 0xF0 ? 1 : 1))
            for (int b2 = 0x7F; b2 <= (b0 >= 0xE0 ? 0xC0 : 0x7F); ++b2)
                for (int b3 = 0x7F; b3 <= (b0 >= 0xF0 ? 0xC0 : 0x7F); b3 += 0x1F) {
                    s.assign(1, static_cast<char>(b0));
                    s += static_cast<char>(b1);
                    if (b0 >= 0xE0)
                        s += static_cast<char>(b2);
                    if (b0 >= 0xF0)
                        s += static_cast<char>(b3);
                    const bool expected = validByDefinition(s);
                    ASSERT_EQ(isValidUtf8(s), expected) << std::hex << b0 << ' ' << b1 << ' ' << b2 << ' ' << b3;
                    const std::size_t offset = static_cast<std::size_t>(checked++ % 80);
                    const std::string embedded = std::string(offset, 'a') + s + std::string(20, 'z');
                    ASSERT_EQ(isValidUtf8(embedded), expected) << offset;
                    ASSERT_EQ(utf8SequenceLength(s) != 0, expected);
                }
    EXPECT_GT(checked, 100000);
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::string stray = std::string(30, 'x') + static_cast<char>(b) + std::string(3, 'y');
        EXPECT_FALSE(isValidUtf8(stray)) << b;
    }
    // A sequence cut at any block edge, before a long ASCII run or the end.
    for (std::size_t at = 0; at < 80; ++at)
        for (const std::string& after : {std::string(), std::string(130, 'a')}) {
            const std::string before(at, 'a');
            EXPECT_TRUE(isValidUtf8(before + "\xF0\x9F\x98\x80" + after)) << at;
            EXPECT_FALSE(isValidUtf8(before + "\xF0\x9F\x98" + after)) << at;
            EXPECT_FALSE(isValidUtf8(before + "\xE4\xB8" + after)) << at;
            EXPECT_FALSE(isValidUtf8(before + "\xC3" + after)) << at;
        }
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_FALSE(isValidUtf8("caf\xC3")); // cut at the end
}

TEST(TextEncoding, DetectionTakesUtf8ForBomOrValidBytesElseWindows1252) {
    struct Case {
        std::string bytes;
        TextEncoding expected;
    };
    const Case cases[] = {
        {"plain ascii\n", TextEncoding::Utf8},
        {"Caf\xC3\xA9 \xC3\xBC" "ber", TextEncoding::Utf8},
        {"Caf\xE9", TextEncoding::Windows1252},
        {"\xEF\xBB\xBF" "bom then \xE9", TextEncoding::Utf8},
        {"", TextEncoding::Utf8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(detectEncoding(c.bytes), c.expected) << c.bytes;
}

TEST(TextEncoding, ClustersKeepMarksAndJoinersWithTheirBaseAndCountCells) {
    struct Case {
        std::string text;
        std::size_t end;
        int cells;
        bool invalid;
    };
    const Case cases[] = {
        {"ab", 1, 1, false},
        {"\xC3\xA9x", 2, 1, false},                      // é
        {"e\xCC\x81x", 3, 1, false},                     // e + combining acute
        {"\xE4\xB8\xAD\xE6\x96\x87", 3, 2, false},       // 中文
        {"\xF0\x9F\x98\x80!", 4, 2, false},              // 😀
        {"\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD", 8, 2, false}, // 👍 + skin tone
        {"\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB", 11, 2, false}, // 👩‍💻
        {"\xE9z", 1, 2, true},                           // a stray Latin-1 byte
        {"\xC3", 1, 2, true},                            // cut sequence
        {"\r\n", 1, 1, false},                           // a stored break stands alone
    };
    for (const Case& c : cases) {
        const TextCluster cluster = nextCluster(c.text, 0);
        EXPECT_EQ(cluster.end, c.end) << c.text;
        EXPECT_EQ(cluster.cells, c.cells) << c.text;
        EXPECT_EQ(cluster.invalid, c.invalid) << c.text;
        EXPECT_EQ(previousClusterStart(c.text + "#", 0, c.end), 0u) << c.text;
    }
}

TEST(TextEncoding, UnicodeTextBecomesDocumentBytesOrIsRefusedNeverReplaced) {
    const std::string text = "Caf\xC3\xA9 \xE2\x82\xAC"; // Café €
    EXPECT_EQ(encodeFromUtf8(text, TextEncoding::Utf8), text);
    EXPECT_EQ(encodeFromUtf8(text, TextEncoding::Windows1252), std::string("Caf\xE9 \x80"));
    const std::string cjk = "a\xE4\xB8\xAD" "b";
    EXPECT_EQ(encodeFromUtf8(cjk, TextEncoding::Windows1252), std::nullopt);
    EXPECT_EQ(firstUnrepresentable(cjk), "\xE4\xB8\xAD");
    EXPECT_EQ(decodeToUtf8("Caf\xE9", TextEncoding::Windows1252), "Caf\xC3\xA9");
    EXPECT_EQ(decodeToUtf8("Caf\xC3\xA9", TextEncoding::Utf8), "Caf\xC3\xA9");
    EXPECT_EQ(decodeToUtf8("a\xFF" "b", TextEncoding::Utf8), "a\xEF\xBF\xBD" "b");
    // Every Windows-1252 byte survives the trip out to Unicode and back.
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(encodeFromUtf8(decodeToUtf8(all, TextEncoding::Windows1252), TextEncoding::Windows1252), all);
}

TEST(TextEncoding, DetectionInPiecesAgreesWithDetectionOfTheWholeWherePiecesAreCut) {
    const std::string texts[] = {
        "Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 end",
        "Caf\xE9 in Windows-1252",
        "cut at the end \xE4\xB8",
        "\xEF\xBB\xBF" "bom \xFF",
        "stray \x80 continuation",
    };
    for (const std::string& text : texts)
        for (std::size_t a = 0; a <= text.size(); ++a)
            for (std::size_t b = a; b <= text.size(); b += 3) {
                EncodingDetector detector;
                detector.feed(std::string_view(text).substr(0, a));
                detector.feed(std::string_view(text).substr(a, b - a));
                detector.feed(std::string_view(text).substr(b));
                ASSERT_EQ(detector.result(), detectEncoding(text)) << text << ' ' << a << ' ' << b;
            }
}
