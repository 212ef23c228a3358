// Plain text: web and mail addresses are picked out of the prose, and
// nothing else is coloured.

#include "tests/parser/lang_test_support.h"
#include "tests/parser/script_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class LangTxt : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("txt");
    // Style 32 is the language's mail address.
    test::StyleLetters letters = test::sharedLetters({{32, 'm'}});
};

// clang-format off

TEST_F(LangTxt, WebAddressRunsFromItsSchemeAndLeavesTheFullStopToTheSentence) {
    check("see https://example.org/a?b=1&c=2#top. Next",
          "....uuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuuu......");
    check("(ftp://host.example.net/pub/) file://x/y",
          ".uuuuuuuuuuuuuuuuuuuuuuuuuuu..uuuuuuuuuu");
    check("HTTP://EXAMPLE.ORG, news:comp.editors",
          "uuuuuuuuuuuuuuuuuu..uuuuuuuuuuuuuuuuu");
}

TEST_F(LangTxt, WwwAndFtpHostsAreWebAddressesWithoutAScheme) {
    check("at www.example.org/x, or ftp.example.net.",
          "...uuuuuuuuuuuuuuuuu.....uuuuuuuuuuuuuuu.");
}

TEST_F(LangTxt, SchemeOrPrefixWithNothingAfterItIsPlainText) {
    check("http:// and www. and ftp.",
          ".........................");
    check("email www http",
          "..............");
}

TEST_F(LangTxt, MailAddressIsARunHoldingAnAtSign) {
    check("mail j.smith@example.com.",
          ".....mmmmmmmmmmmmmmmmmmm.");
    check("to qorvi-users@lists.example.org (list)",
          "...mmmmmmmmmmmmmmmmmmmmmmmmmmmmm.......");
    // A mailto: address is a web address as a whole.
    check("mailto:info@example.org",
          "uuuuuuuuuuuuuuuuuuuuuuu");
}

TEST_F(LangTxt, SchemeInsideAWordStartsNothing) {
    check("xhttp://a.b awww.example.org",
          "............................");
}

TEST_F(LangTxt, AddressesEndWithTheirLine) {
    check("www.example.org\nnext line",
          "uuuuuuuuuuuuuuu\n.........");
}

// clang-format on

TEST_F(LangTxt, WordIsOneTokenHoweverLong) {
    // Each character tried on its own would make a long word cost the
    // square of its length.
    const std::string word(5000, 'a');
    EXPECT_EQ(test::tokenise(*parser, word + " b"),
              (std::vector<test::Token>{{0, 5000, 0}, {5000, 1, 3}, {5001, 1, 0}}));
    EXPECT_EQ(test::tokenise(*parser, word + "@example.org").size(), 1u);
}

TEST_F(LangTxt, LanguageSettings) {
    const TSM_Settings& settings = parser->Settings();
    EXPECT_EQ(settings.LanguageName(), "Plain text");
    // Prose is wrapped, and the right margin and wrap column are not drawn.
    EXPECT_EQ(settings.Options() & (0x400 | 0x8000 | 0x20000), 0x400u);
    // Both kinds of address can be followed.
    EXPECT_NE(settings.GetFormatEntry(23).HotSpot, 0);
    EXPECT_NE(settings.GetFormatEntry(32).HotSpot, 0);
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(LangTxt, SampleHasItsAddressesAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("txt.sample"));
    EXPECT_EQ(sample.styleOf("https://downloads.example.org/qorvi/2.4/"), 23);
    EXPECT_EQ(sample.styleOf("www.example.org/qorvi/archive.html"), 23);
    EXPECT_EQ(sample.styleOf("security.team@example.org"), 32);
    // "(archive: ", the address, "). Please give the".
    EXPECT_EQ(sample.linePattern(letters, "(archive:"),
              std::string(10, '.') + std::string(47, 'u') + std::string(18, '.'));
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
