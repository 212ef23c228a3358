// INI files: sections, keys, values and comment lines, read line by line.

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class LangIni : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("ini");
    test::StyleLetters letters = test::sharedLetters();
};

// clang-format off

TEST_F(LangIni, SectionKeyAndValue) {
    check("[Database]\nServer=db.example.org",
          "SSSSSSSSSS\nKKKKKKoVVVVVVVVVVVVVV");
    // A key may hold blanks; a value runs to the end of its line, = and all.
    check("Some Key = a=b",
          "KKKKKKKKKo.VVV");
}

TEST_F(LangIni, CommentsStartLinesOnly) {
    check("; a\n  # b\nk=v ; not a comment",
          "ccc\n..ccc\nKoVVVVVVVVVVVVVVVVV");
    check("[sec] ; note",
          "SSSSS.cccccc");
}

TEST_F(LangIni, UnterminatedSectionEndsWithItsLine) {
    check("[abc\nk=v",
          "SSSS\nKoV");
}

TEST_F(LangIni, KeyWithoutValueAndValueWithoutKey) {
    check("justkey\n=v\nkey=\nnext=1",
          "KKKKKKK\noV\nKKKo\nKKKKoV");
}

// clang-format on

TEST_F(LangIni, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "Windows INI file");
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(LangIni, SampleAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("ini.sample"));
    EXPECT_EQ(sample.styleOf("[Recent Files]"), 17);
    EXPECT_EQ(sample.styleOf("# Connection to the database server"), 1);
    EXPECT_EQ(sample.linePattern(letters, "Options="), "KKKKKKKo" + std::string(17, 'V'));
    // "Archive " is the key; the ; and the words after it belong to the value.
    EXPECT_EQ(sample.linePattern(letters, "Archive"), "..KKKKKKKKo." + std::string(35, 'V'));
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
