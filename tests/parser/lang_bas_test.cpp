// Visual Basic: comments, strings with doubled quotes, &H numbers and dates,
// keywords of both dialects without regard to case, and member names after
// a full stop.

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class LangBas : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("bas");
    test::StyleLetters letters = test::sharedLetters();
};

// clang-format off

TEST_F(LangBas, CommentsRunToTheEndOfTheLine) {
    check("x = 1 ' it's \"quoted\"",
          "i.o.n.ccccccccccccccc");
    check("REM note\nRemark = 1\nrem",
          "cccccccc\niiiiii.o.n\nccc");
}

TEST_F(LangBas, StringWithDoubledQuotesIsColouredAsOneString) {
    check("s = \"say \"\"hi\"\" now\" & t",
          "i.o.ssssssssssssssss.o.i");
    check("s = \"\"\"\"",
          "i.o.ssss");
}

TEST_F(LangBas, UnterminatedStringEndsWithTheLine) {
    check("s = \"open\nx = 1",
          "i.o.sssss\ni.o.n");
}

TEST_F(LangBas, NumbersInEveryBase) {
    check("n = &HFF + &o17 + &B101 + 12.5E3 + 7",
          "i.o.nnnn.o.nnnn.o.nnnnn.o.nnnnnn.o.n");
}

TEST_F(LangBas, DateBetweenHashSignsButNotAFileNumber) {
    check("d = #3/31/2024#: Print #1, d",
          "i.o.nnnnnnnnnnno.kkkkk..no.i");
}

TEST_F(LangBas, KeywordsAreWholeWordsInAnyCase) {
    check("Dim Endless As Integer: Ifx = Nextx",
          "kkk.iiiiiii.kk.kkkkkkko.iii.o.iiiii");
    check("END FUNCTION\nend function",
          "kkk.kkkkkkkk\nkkk.kkkkkkkk");
}

TEST_F(LangBas, WordAfterAFullStopIsAMemberName) {
    check("rs.Open sql: Me.Close: x.Select(1)",
          "iioiiii.iiio.kkoiiiiio.ioiiiiiiono");
    check("obj. Print\nPrint",
          "iiio.iiiii\nkkkkk");
}

TEST_F(LangBas, ConditionalCompilationDirectives) {
    check("#If DEBUG Then\n#End If",
          "###.iiiii.kkkk\n####.kk");
}

// clang-format on

TEST_F(LangBas, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "Visual Basic");
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(LangBas, SampleAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("bas.sample"));
    EXPECT_EQ(sample.styleOf("' Revision 3: dates are now checked before the lookup."), 1);
    EXPECT_EQ(sample.styleOf("\"He said \"\"stop\"\" twice\""), 3);
    EXPECT_EQ(sample.styleOf("&HFF00&"), -1); // the type character & is a symbol
    EXPECT_EQ(sample.styleOf("&HFF00"), 5);
    // The string is "SELECT Amount FROM OrderLines WHERE OrderId = ".
    EXPECT_EQ(sample.linePattern(letters, "rs.Open"),
              "....iioiiii." + std::string(48, 's') + ".o.iiiiiiio.iiiii");
    EXPECT_EQ(sample.linePattern(letters, "Me.Where"),
              "............kkk.iiiii.o.kkoiiiiiokkkkkkkkoio.ioiiiii.o.nnniooiiiiiiokkkkkkkkoio.ioiio");
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
