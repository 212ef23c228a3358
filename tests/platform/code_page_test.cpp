#include "platform/code_page.h"

#include <gtest/gtest.h>

using namespace qorvi;

TEST(CodePage, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(CodePage, EuroSignAndQuotesMapToTheirCodePoints) {
    EXPECT_EQ(cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(cp1252ToUnicode(0x93), U'\u201C');
    EXPECT_EQ(unicodeToCp1252(U'\u20AC'), 0x80);
    EXPECT_EQ(cp1252ToUtf8("\xE9"), "\xC3\xA9");
}

TEST(CodePage, UnmappableAndBrokenUtf8BecomeTheFallback) {
    EXPECT_EQ(utf8ToCp1252("a\xE4\xB8\xAD" "b"), "a?b"); // CJK ideograph
    EXPECT_EQ(utf8ToCp1252("x\xC3"), "x?");              // cut sequence
    EXPECT_EQ(utf8ToCp1252("\xFF"), "?");
}

TEST(CodePage, CaseMappingCoversLatin1Letters) {
    EXPECT_EQ(lowerCase("ABC\xC9\xD7"), "abc\xE9\xD7");
    EXPECT_EQ(upperCase("xyz\xE9\xF7\xFF"), "XYZ\xC9\xF7\x9F");
}
