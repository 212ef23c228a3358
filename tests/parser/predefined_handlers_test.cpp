#include "parser/predefined_handlers.h"
#include "tests/parser/parser_builder.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using qorvi::testing::Text;

struct Outcome {
    bool accepted;
    std::string taken; // the characters consumed
    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << (o.accepted ? "accepted \"" : "refused \"") << o.taken << '"';
}

// Runs `slot` at `at` in `text` (the token starting at `tokenStart`, by
// default where the handler starts) and checks that Len matches what the
// scanner moved, and that a refusal moves nothing.
Outcome run(int slot, const std::string& text, std::int32_t at = 0, std::int32_t tokenStart = -1) {
    Text t(text);
    t.stream->SetYYpos(at);
    std::int32_t len = 5;
    const bool ok = PredefinedHandler(slot)(*t.stream, len, tokenStart < 0 ? at : tokenStart);
    const std::int32_t moved = t.stream->GetYYpos() - at;
    EXPECT_EQ(len - 5, moved) << "slot " << slot << " on " << text;
    if (!ok) {
        EXPECT_EQ(moved, 0) << "slot " << slot << " refused but moved";
    }
    return {ok, text.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(moved))};
}

Outcome yes(const std::string& taken) {
    return {true, taken};
}
const Outcome no{false, ""};

TEST(PredefinedHandlers, PascalCharTakesOneUnitAndRefusesQuoteOrLineEnd) {
    EXPECT_EQ(run(0, "ab"), yes("a"));
    EXPECT_EQ(run(0, "''x"), yes("''"));
    EXPECT_EQ(run(0, "'x"), no);
    EXPECT_EQ(run(0, "'"), no);
    EXPECT_EQ(run(0, "\rx"), no);
    EXPECT_EQ(run(0, ""), no);
}

TEST(PredefinedHandlers, WebCharTakesARunAndGivesBackAFinalDot) {
    EXPECT_EQ(run(1, "www.x.org/a?b=1&c#d|e~f\\g_h:i@j-k. rest"), yes("www.x.org/a?b=1&c#d|e~f\\g_h:i@j-k"));
    EXPECT_EQ(run(1, "a.b"), yes("a.b"));
    EXPECT_EQ(run(1, "."), no);
    EXPECT_EQ(run(1, " a"), no);
    EXPECT_EQ(run(1, "abc"), yes("abc"));
}

TEST(PredefinedHandlers, OriginalCharOnlyAtTheStartOfALine) {
    EXPECT_EQ(run(2, "#if x\rnext"), yes("#if x"));
    EXPECT_EQ(run(2, "a\r#if x", 2), yes("#if x"));
    EXPECT_EQ(run(2, "a #if", 2), no);
    // What counts is where the token began, not where the handler runs.
    EXPECT_EQ(run(2, "a\r#if x", 3, 2), yes("if x"));
    EXPECT_EQ(run(2, "x#if y", 2, 1), no);
    EXPECT_EQ(run(2, "\r", 0), yes(""));
}

TEST(PredefinedHandlers, IdentifierIsALetterOrUnderscoreThenWordCharacters) {
    EXPECT_EQ(run(3, "_a1b2+c"), yes("_a1b2"));
    EXPECT_EQ(run(3, "Zz"), yes("Zz"));
    EXPECT_EQ(run(3, "1a"), no);
    EXPECT_EQ(run(3, "\xE9t\xE9"), no);
}

TEST(PredefinedHandlers, NumberOrFloatGivesBackADotWithoutDigits) {
    EXPECT_EQ(run(4, "123;"), yes("123"));
    EXPECT_EQ(run(4, "1.5e+10x"), yes("1.5e+10"));
    EXPECT_EQ(run(4, "2E7"), yes("2E7"));
    EXPECT_EQ(run(4, "1.a"), yes("1"));
    EXPECT_EQ(run(4, "1."), yes("1"));
    EXPECT_EQ(run(4, "1..2"), yes("1"));
    EXPECT_EQ(run(4, "3else"), yes("3"));
    EXPECT_EQ(run(4, "3e+"), yes("3"));
    EXPECT_EQ(run(4, ".5"), no);
}

TEST(PredefinedHandlers, PascalStringKeepsDoubledQuotesAndStopsBeforeTheLineEnd) {
    EXPECT_EQ(run(5, "'it''s' x"), yes("'it''s'"));
    EXPECT_EQ(run(5, "'open\rx"), yes("'open"));
    EXPECT_EQ(run(5, "''"), yes("''"));
    EXPECT_EQ(run(5, "'abc"), yes("'abc"));
}

TEST(PredefinedHandlers, CStringAndCharTakeEscapes) {
    EXPECT_EQ(run(6, "\"a\\\"b\" c"), yes("\"a\\\"b\""));
    EXPECT_EQ(run(6, "\"a\\\\\"b"), yes("\"a\\\\\""));
    EXPECT_EQ(run(6, "\"open\rx"), yes("\"open"));
    EXPECT_EQ(run(6, "\"a\\\rb\" c"), yes("\"a\\\rb\""));
    EXPECT_EQ(run(7, "'\\''x"), yes("'\\''"));
    EXPECT_EQ(run(7, "'a'b'"), yes("'a'"));
    EXPECT_EQ(run(13, "'x\\'y'z"), yes("'x\\'y'"));
    // The opening quote is taken without looking at it.
    EXPECT_EQ(run(6, "x\"y"), yes("x\""));
    EXPECT_EQ(run(6, ""), no);
}

TEST(PredefinedHandlers, SignedNumberNeedsADigitAfterTheSign) {
    EXPECT_EQ(run(8, "-12.5e3)"), yes("-12.5e3"));
    EXPECT_EQ(run(8, "+7"), yes("+7"));
    EXPECT_EQ(run(8, "42"), yes("42"));
    EXPECT_EQ(run(8, "+a"), no);
    EXPECT_EQ(run(8, "-"), no);
    EXPECT_EQ(run(8, "1.x"), yes("1"));
}

TEST(PredefinedHandlers, NumberIsDigitsOnly) {
    EXPECT_EQ(run(9, "0123.5"), yes("0123"));
    EXPECT_EQ(run(9, "x1"), no);
}

TEST(PredefinedHandlers, MailUrlNeedsAnAtSign) {
    EXPECT_EQ(run(10, "john.doe@example.org. More"), yes("john.doe@example.org"));
    EXPECT_EQ(run(10, "a~b-c_d@e"), yes("a~b-c_d@e"));
    EXPECT_EQ(run(10, "example.org"), no);
    EXPECT_EQ(run(10, "@"), yes("@"));
}

TEST(PredefinedHandlers, HtmlStringEndsAtTheNextQuote) {
    EXPECT_EQ(run(11, "\"a\\\"b"), yes("\"a\\\""));
    EXPECT_EQ(run(11, "\"x\ry\""), yes("\"x"));
}

TEST(PredefinedHandlers, JsLineCommentLeavesTheHtmlCommentEnd) {
    EXPECT_EQ(run(12, "// text\rnext"), yes("// text"));
    EXPECT_EQ(run(12, "// a --> b"), yes("// a "));
    EXPECT_EQ(run(12, "// a ---> b"), yes("// a -"));
    EXPECT_EQ(run(12, "// a -> b"), yes("// a -> b"));
    EXPECT_EQ(run(12, "-->"), yes(""));
    EXPECT_EQ(run(12, ""), yes(""));
}

TEST(PredefinedHandlers, SlotsOutsideTheTableHaveNoHandler) {
    EXPECT_EQ(PredefinedHandler(-1), nullptr);
    EXPECT_EQ(PredefinedHandler(14), nullptr);
    EXPECT_EQ(PredefinedHandler(1LL << 40), nullptr);
    for (int slot = 0; slot < kPredefinedHandlerCount; ++slot)
        EXPECT_NE(PredefinedHandler(slot), nullptr);
}

} // namespace
} // namespace qorvi
