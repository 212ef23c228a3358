// The Java language (document type java) as the program carries it: styles
// of every construct, character by character (letters in
// language_test_support.h).

#include "tests/parser/lang_test_support.h"

namespace qorvi {
namespace {

class JavaLanguage : public ::testing::Test {
protected:
    std::string picture(const std::string& text) { return test::stylePicture(*parser, text); }
    bool oneToken(const std::string& text, const std::string& token) {
        return test::isOneToken(*parser, text, token);
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::embeddedParser("java");
};

TEST_F(JavaLanguage, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "Java");
    EXPECT_NE(parser->Settings().ScriptText().find("\"\"\""), std::string::npos);
}

TEST_F(JavaLanguage, Comments) {
    EXPECT_EQ(picture("x++; // done\ny"), "iooo.ccccccc\ni");
    EXPECT_EQ(picture("a /* b\nc */ d"), "i.ccccccccc.i");
    EXPECT_EQ(picture("/** Doc {@code x}. */ class"), "ddddddddddddddddddddd.kkkkk");
    EXPECT_EQ(picture("/// Markdown doc\nint"), "dddddddddddddddd\nttt");
}

TEST_F(JavaLanguage, StringsAndCharacters) {
    EXPECT_EQ(picture("s = \"a\\\"b\";"), "i.o.sssssso");
    EXPECT_TRUE(oneToken("s = \"a\\\"b\";", "\"a\\\"b\""));
    EXPECT_EQ(picture("c = '\\'' + 'x';"), "i.o.hhhh.o.hhho");
    EXPECT_EQ(picture("\"open\nint"), "sssss\nttt");
}

TEST_F(JavaLanguage, TextBlocksSpanLinesUpToTheirClosingQuotes) {
    const std::string text = "t = \"\"\"\n  say \"hi\" \\\"\"\"\n  \"\"\"; int";
    // """ and CR, the 15 characters of the second line and CR, 5 of the last.
    EXPECT_EQ(picture(text), "i.o." + std::string(3 + 1 + 15 + 1 + 5, 's') + "o.ttt");
    EXPECT_TRUE(oneToken(text, "\"\"\"\r  say \"hi\" \\\"\"\"\r  \"\"\""));
}

TEST_F(JavaLanguage, Numbers) {
    EXPECT_EQ(picture("1_000_000L 0x7fff_ffff 0b1010 0777 3.5e-2d 1e10f .5 2.0"),
              "nnnnnnnnnn.nnnnnnnnnnn.nnnnnn.nnnn.nnnnnnn.nnnnn.nn.nnn");
    EXPECT_EQ(picture("0x1e+2"), "nnnnon");
}

TEST_F(JavaLanguage, KeywordsAnnotationsAndTypes) {
    EXPECT_EQ(picture("public final class A extends B"), "kkkkkk.kkkkk.kkkkk.i.kkkkkkk.i");
    EXPECT_EQ(picture("sealed interface S permits X {}"), "kkkkkk.kkkkkkkkk.i.kkkkkkk.i.oo");
    EXPECT_EQ(picture("non-sealed record var yield"), "kkkkkkkkkk.kkkkkk.kkk.kkkkk");
    EXPECT_EQ(picture("int integer; boolean done = true;"), "ttt.iiiiiiio.ttttttt.iiii.o.kkkko");
    EXPECT_EQ(picture("@Override @java.lang.Deprecated"), "@@@@@@@@@.@@@@@@@@@@@@@@@@@@@@@");
    EXPECT_EQ(picture("@interface Tag {}"), "kkkkkkkkkk.iii.oo");
    // Keywords only as whole words, and in their own case.
    EXPECT_EQ(picture("classic Class forEach"), "iiiiiii.iiiii.iiiiiii");
    EXPECT_EQ(picture("my$var _x"), "iiiiii.ii");
}

TEST_F(JavaLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    EXPECT_GT(test::expectRestartsAgree(*parser, test::readSample("java")), 40);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 5);
    const test::Parse p = test::parseText(*parser, test::readSample("java"));
    for (std::size_t i = 0; i < p.text.size(); ++i)
        if (p.values[i] == 0)
            ADD_FAILURE() << "offset " << i << " ('" << p.text[i] << "') has no token";
}

} // namespace
} // namespace qorvi
