#include "editor/text/line_breaks.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qorvi {
namespace {

std::string adjust(const std::string& src) {
    std::vector<char> dest(src.size() + 1, '#');
    std::int32_t n =
        RTAdjustLineBreaks_FixedLen(dest.data(), src.data(), static_cast<std::int32_t>(src.size()));
    EXPECT_EQ(dest[static_cast<std::size_t>(n)], '\0');
    return std::string(dest.data(), static_cast<std::size_t>(n));
}

TEST(LineBreaks, EveryBreakStyleBecomesOneCR) {
    EXPECT_EQ(adjust("a\r\nb"), "a\rb");
    EXPECT_EQ(adjust("a\n\rb"), "a\rb");
    EXPECT_EQ(adjust("a\nb"), "a\rb");
    EXPECT_EQ(adjust("a\rb"), "a\rb");
    EXPECT_EQ(adjust("a\r\n\r\nb"), "a\r\rb");
    EXPECT_EQ(adjust("a\n\n\r\rb"), "a\r\r\rb"); // LF, LF CR, CR
    EXPECT_EQ(adjust("\n"), "\r");
    EXPECT_EQ(adjust("a\r\n"), "a\r"); // the last LF of a pair is dropped too
}

TEST(LineBreaks, EveryOtherByteIsKept) {
    EXPECT_EQ(adjust(std::string("\x01\tb\x1f\x7f\xff", 6)), std::string("\x01\tb\x1f\x7f\xff", 6));
    EXPECT_EQ(adjust(std::string("a\0b\0", 4)), std::string("a\0b\0", 4));
    EXPECT_EQ(adjust(""), "");
}

TEST(LineBreaks, PairsCutBetweenPiecesStayOneBreak) {
    LineBreakAdjuster adjuster;
    char out[8];
    std::string text;
    text.append(out, adjuster.adjust(out, "a\r", 2, false));
    text.append(out, adjuster.adjust(out, "\nb\n", 3, false));
    text.append(out, adjuster.adjust(out, "\rc\x02", 3, false));
    text.append(out, adjuster.adjust(out, "\x02", 1, true));
    EXPECT_EQ(text, "a\rb\rc\x02\x02");
}

TEST(LineBreaks, LongRunsPassUnchanged) {
    std::string src;
    for (int i = 0; i < 1000; ++i)
        src += "word\xe9 \t123\r\n";
    std::string expected;
    for (int i = 0; i < 1000; ++i)
        expected += "word\xe9 \t123\r";
    EXPECT_EQ(adjust(src), expected);
}

TEST(LineBreaks, FirstBreakTellsTheFileStyle) {
    LineBreakStyle style = LineBreakStyle::LF;
    EXPECT_TRUE(findLineBreakStyle("ab\r\ncd\n", 7, false, style));
    EXPECT_EQ(style, LineBreakStyle::CRLF);
    EXPECT_TRUE(findLineBreakStyle("ab\rcd\r\n", 7, false, style));
    EXPECT_EQ(style, LineBreakStyle::CR);
    EXPECT_TRUE(findLineBreakStyle("ab\ncd\r\n", 7, false, style));
    EXPECT_EQ(style, LineBreakStyle::LF);
    EXPECT_FALSE(findLineBreakStyle("abc", 3, false, style));
    EXPECT_FALSE(findLineBreakStyle("ab\r", 3, true, style)); // the next piece decides
}

} // namespace
} // namespace qorvi
