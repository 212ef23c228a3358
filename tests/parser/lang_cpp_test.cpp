// The C/C++ language (document type cpp) as the program carries it: styles
// of every construct, character by character (letters in
// language_test_support.h).

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest-spi.h>

namespace qorvi {
namespace {

class CppLanguage : public ::testing::Test {
protected:
    std::string picture(const std::string& text) { return test::stylePicture(*parser, text); }
    bool oneToken(const std::string& text, const std::string& token) {
        return test::isOneToken(*parser, text, token);
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::embeddedParser("cpp");
};

TEST_F(CppLanguage, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "C/C++");
    EXPECT_NE(parser->Settings().ScriptText().find("#include"), std::string::npos);
    EXPECT_EQ(parser->Settings().Font().Name, "Courier New");
}

TEST_F(CppLanguage, LineCommentSpansExactlyItsCharacters) {
    EXPECT_EQ(picture("x; // note\ny"), "io.ccccccc\ni");
    EXPECT_EQ(picture("a//b"), "iccc");
    // A comment opener inside a string is text of the string.
    EXPECT_EQ(picture("s = \"// no\";"), "i.o.ssssssso");
}

TEST_F(CppLanguage, BlockCommentRunsAcrossLinesUpToItsEnd) {
    EXPECT_EQ(picture("a /* one\ntwo */ b"), "i.ccccccccccccc.i");
    EXPECT_TRUE(oneToken("a /* one\ntwo */ b", "/* one\rtwo */"));
    EXPECT_EQ(picture("/**/x"), "cccci");
    EXPECT_EQ(picture("/* // */x"), "cccccccci");
    // Left open, it runs to the end of the text.
    EXPECT_EQ(picture("x /* open\nint y;"), "i.cccccccccccccc");
}

TEST_F(CppLanguage, DocumentationComments) {
    EXPECT_EQ(picture("/** Doc. */ int"), "ddddddddddd.ttt");
    EXPECT_EQ(picture("/// Doc.\nint"), "dddddddd\nttt");
    EXPECT_EQ(picture("//! Doc."), "dddddddd");
    EXPECT_EQ(picture("//// rule"), "ccccccccc");
}

TEST_F(CppLanguage, StringsWithEscapesAreOneToken) {
    const std::string text = "f(\"say \\\"hi\\\"\\n\");";
    EXPECT_EQ(picture(text), "io" + std::string(14, 's') + "oo");
    EXPECT_TRUE(oneToken(text, "\"say \\\"hi\\\"\\n\""));
    // An unterminated string stops at the end of its line.
    EXPECT_EQ(picture("\"open\nint"), "sssss\nttt");
    // A backslash before the line break continues it.
    EXPECT_EQ(picture("\"a\\\nb\" c"), "ssssss.i");
}

TEST_F(CppLanguage, CharacterLiteralsAndPrefixes) {
    EXPECT_EQ(picture("c = '\\'';"), "i.o.hhhho");
    EXPECT_TRUE(oneToken("c = '\\'';", "'\\''"));
    EXPECT_EQ(picture("'\\t' 'x'"), "hhhh.hhh");
    EXPECT_EQ(picture("L\"w\" u8\"u\" U'c' u'd'"), "ssss.sssss.shhh.shhh");
    // The same letters without a quote after them are identifiers.
    EXPECT_EQ(picture("L + u8 + Lx"), "i.o.ii.o.ii");
}

TEST_F(CppLanguage, RawStrings) {
    EXPECT_EQ(picture("R\"(a\\b \"c\")\" x"), std::string(12, 's') + ".i");
    // With a delimiter, )" inside does not end it; the text may span lines.
    const std::string text = "R\"js(say \")\" here\n)js\";";
    EXPECT_EQ(picture(text), std::string(22, 's') + "o");
    EXPECT_EQ(picture("LR\"(x)\" u8R\"(y)\""), "sssssss.ssssssss");
    // After the raw string the code rules are back.
    EXPECT_EQ(picture("R\"()\" int"), "sssss.ttt");
}

TEST_F(CppLanguage, Numbers) {
    EXPECT_EQ(picture("0 42 007 0x1F 0XffULL 0b1010 1'000'000"), "n.nn.nnn.nnnn.nnnnnnn.nnnnnn.nnnnnnnnn");
    EXPECT_EQ(picture("1.5 .5 1. 2.f 3.0L 1e10 1.5e-3f 6E+2 0x1.8p-3 0x1e+2"),
              "nnn.nn.nn.nnn.nnnn.nnnn.nnnnnnn.nnnn.nnnnnnnn.nnnnon");
    EXPECT_EQ(picture("10u 10ul 10LL 10uz 0xDEAD'BEEFu"), "nnn.nnnn.nnnn.nnnn.nnnnnnnnnnnn");
    // A sign after a number without an exponent is an operator.
    EXPECT_EQ(picture("1-2 x=1 - e"), "non.ion.o.i");
    EXPECT_EQ(picture("1 e5 x1e5"), "n.ii.iiii");
}

TEST_F(CppLanguage, KeywordsOnlyAsWholeWords) {
    EXPECT_EQ(picture("if (iffy) return x_for;"), "kk.oiiiio.kkkkkk.iiiiio");
    EXPECT_EQ(picture("int integer; intx;"), "ttt.iiiiiiio.iiiio");
    EXPECT_EQ(picture("co_await consteval constinit char8_t"), "kkkkkkkk.kkkkkkkkk.kkkkkkkkk.ttttttt");
    EXPECT_EQ(picture("_BitInt _Static_assert typeof_unqual restrict"),
              "ttttttt.kkkkkkkkkkkkkk.kkkkkkkkkkkkk.kkkkkkkk");
    EXPECT_EQ(picture("true nullptr NULL and not_eq"), "kkkk.kkkkkkk.kkkk.kkk.kkkkkk");
    EXPECT_EQ(picture("size_t uint64_t"), "tttttt.tttttttt");
    // Keywords are case-sensitive.
    EXPECT_EQ(picture("If Return"), "ii.iiiiii");
}

TEST_F(CppLanguage, SymbolsAndUnknownCharacters) {
    EXPECT_EQ(picture("a->b::c[0] += ~d;"), "iooiooiono.oo.oio");
    EXPECT_EQ(picture("a @ b ` c"), "i...i...i");
}

TEST_F(CppLanguage, PreprocessorLines) {
    // The whole line is Preprocessor: name, arguments, header, a macro's
    // body with its strings and numbers; only comments keep their style.
    EXPECT_EQ(picture("#include <sys/types.h>"), "pppppppp.ppppppppppppp");
    EXPECT_EQ(picture("#include \"a//b.h\" // x"), "pppppppp.pppppppp.cccc");
    EXPECT_EQ(picture("  #  define N 10\n"), "..p..pppppp.pppp\n");
    EXPECT_EQ(picture("# if defined(X) && X > 1"), "p.pp.ppppppppppppppppppp");
    EXPECT_EQ(picture("#ifdef A\n#else\n#endif"), "pppppp.p\nppppp\npppppp");
    EXPECT_EQ(picture("#error don't \"go\" here\nint"), "pppppppppppppppppppppp\nttt");
    // Stringizing and pasting inside a macro; a backslash continues the
    // line, a block comment may span lines inside it.
    EXPECT_EQ(picture("#define S(a) #a ## b \\\n  a\nint"), "ppppppp.ppppppppppppppp..p\nttt");
    EXPECT_EQ(picture("#define T /* a\nb */ \"s\" 'c' 1\nint"), "ppppppp.ppccccccccc.ppp.ppp.p\nttt");
    // A # that does not start its line opens no directive, and a < after
    // the line is over is no header.
    EXPECT_EQ(picture("x # include <y>"), "i...iiiiiii.oio");
    EXPECT_EQ(picture("#include\n<y>"), "pppppppp\noio");
    // Code keywords are not directive names, nor directive names keywords.
    EXPECT_EQ(picture("define pragma"), "iiiiii.iiiiii");
    EXPECT_EQ(picture("#define int char\nint"), "ppppppp.pppppppp\nttt");
}

TEST_F(CppLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    const std::string sample = test::readSample("cpp");
    EXPECT_GT(test::expectRestartsAgree(*parser, sample), 50);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 10);
}

TEST_F(CppLanguage, RestartCheckFindsAWrongAnchor) {
    // Blanks inside a directive line are no safe restart point: the check
    // must say so.
    parser->Tables().Anchor().Include(1);
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        test::expectRestartsAgree(*parser, "#define S(a) #a\n");
    }
    ASSERT_GT(failures.size(), 0);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message()).find("restart at line 1, column 8"),
              std::string::npos);
}

TEST_F(CppLanguage, TheSampleHasNoUnknownCharacters) {
    // Every character of real code gets a style of the language (blanks and
    // line breaks are text).
    const std::string sample = test::readSample("cpp");
    const test::Parse p = test::parseText(*parser, sample);
    for (std::size_t i = 0; i < p.text.size(); ++i)
        if (p.values[i] == 0)
            ADD_FAILURE() << "offset " << i << " ('" << p.text[i] << "') has no token";
}

} // namespace
} // namespace qorvi
