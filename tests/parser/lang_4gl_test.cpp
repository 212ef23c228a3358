// Informix 4GL: #, -- and { } comments, strings with backslash escapes,
// keywords in any case, and record members after a full stop.

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class Lang4gl : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("4gl");
    test::StyleLetters letters = test::sharedLetters();
};

// clang-format off

TEST_F(Lang4gl, HashAndDashCommentsRunToTheEndOfTheLine) {
    check("LET x = 1 # note\nLET y = 2 -- note",
          "kkk.i.o.n.cccccc\nkkk.i.o.n.ccccccc");
    check("LET n = n-1 --x",
          "kkk.i.o.ion.ccc");
}

TEST_F(Lang4gl, BraceCommentSpansLines) {
    check("{ a\n b } LET",
          "ccc\ncccc.kkk");
}

TEST_F(Lang4gl, StringsWithEscapedQuotes) {
    check("DISPLAY \"a \\\"b\\\" c\", 'it\\'s'",
          "kkkkkkk.ssssssssssso.sssssss");
    check("LET s = \"open\nEND IF",
          "kkk.i.o.sssss\nkkk.kk");
}

TEST_F(Lang4gl, WordAfterAFullStopIsARecordMember) {
    check("DISPLAY p_rec.date, orders.*",
          "kkkkkkk.iiiiioiiiio.iiiiiioo");
}

TEST_F(Lang4gl, KeywordsAreWholeWordsInAnyCase) {
    check("LET end_date = today",
          "kkk.iiiiiiii.o.kkkkk");
    check("main\nEnd Main",
          "kkkk\nkkk.kkkk");
}

TEST_F(Lang4gl, Numbers) {
    check("LET x = 12.50 + 3",
          "kkk.i.o.nnnnn.o.n");
}

// clang-format on

TEST_F(Lang4gl, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "Informix 4GL");
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(Lang4gl, SampleAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("4gl.sample"));
    EXPECT_EQ(sample.styleOf("{ The customer is asked for first;\r      an empty answer ends the program. }"),
              1);
    EXPECT_EQ(sample.styleOf("-- and totals them."), 1);
    EXPECT_EQ(sample.linePattern(letters, "DISPLAY \"Order \""),
              "........kkkkkkk.sssssssso.iiiiiiioiiiiiiiii.kkkkk.sssssssso");
    EXPECT_EQ(sample.linePattern(letters, "MESSAGE 'Orders"),
              "....kkkkkkk." + std::string(16, 's') + "o.io." + std::string(18, 's'));
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
