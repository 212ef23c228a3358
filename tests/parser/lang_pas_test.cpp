// Object Pascal: three kinds of comment, compiler directives, strings with
// doubled quotes and character codes, numbers in three bases, keywords in
// any case.

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class LangPas : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("pas");
    test::StyleLetters letters = test::sharedLetters();
};

// clang-format off

TEST_F(LangPas, BraceCommentSpansLinesUpToItsBrace) {
    check("a { one\ntwo } b",
          "i.ccccc\nccccc.i");
    // The line break inside is part of the comment.
    EXPECT_EQ(StyledText(*parser, "{ a\nb }").styleOf("a\rb"), 1);
}

TEST_F(LangPas, ParenStarCommentEndsAtStarParen) {
    check("(* x\n*) y (*)*) z",
          "cccc\ncc.i.ccccc.i");
    // Neither kind ends the other.
    check("{ (* } x (* } *) y",
          "cccccc.i.ccccccc.i");
}

TEST_F(LangPas, LineCommentEndsWithTheLine) {
    check("x := 1; // note {\ny",
          "i.oo.no.ccccccccc\ni");
}

TEST_F(LangPas, CompilerDirectivesAreNotComments) {
    // A blank after the brace makes it a comment again.
    check("{$R+} {$IFDEF X} (*$H-*) { $R+ }",
          "#####.##########.#######.ccccccc");
}

TEST_F(LangPas, StringsWithDoubledQuotesAndCharacterCodes) {
    check("s := 'It''s' + #13#10 + #$0D + 'x';",
          "i.oo.sssssss.o.ssssss.o.ssss.o.ssso");
    check("s := 'open\nx",
          "i.oo.sssss\ni");
}

TEST_F(LangPas, NumbersInThreeBases) {
    check("x := $FF + %101 + &17 + 1.5E-3 + 10;",
          "i.oo.nnn.o.nnnn.o.nnn.o.nnnnnn.o.nno");
    // A range between two numbers is two full stops.
    check("a: array[1..10] of Integer;",
          "io.kkkkkonoonno.kk.ttttttto");
}

TEST_F(LangPas, KeywordsAreWholeWordsInAnyCase) {
    check("beginning := endx + ifx;",
          "iiiiiiiii.oo.iiii.o.iiio");
    check("BEGIN End; end.",
          "kkkkk.kkko.kkko");
    // & makes a reserved word a name.
    check("&Type := &begin1;",
          "iiiii.oo.iiiiiiio");
}

// clang-format on

// Built-in types are types; directives are keywords where they act as
// directives, and the same words elsewhere are names.
TEST_F(LangPas, BuiltInTypesAndDirectives) {
    const struct {
        const char* text;
        const char* styles;
    } cases[] = {
        {"b := True or False; p: Pointer; d: Double; s: Single; c: Cardinal;",
         "i.oo.kkkk.kk.kkkkko.io.ttttttto.io.tttttto.io.tttttto.io.tttttttto"},
        {"procedure P(out X: Integer); overload; inline;",
         "kkkkkkkkk.iokkk.io.tttttttoo.kkkkkkkko.kkkkkko"},
        {"function F: PChar; cdecl; external 'c' name 'strdup';",
         "kkkkkkkk.io.ttttto.kkkkko.kkkkkkkk.sss.kkkk.sssssssso"},
        {"exports Foo name 'foo' index 3;",
         "kkkkkkk.iii.kkkk.sssss.kkkkk.no"},
        {"property Count: LongInt read FCount write SetCount default 0;",
         "kkkkkkkk.iiiiio.ttttttt.kkkk.iiiiii.kkkkk.iiiiiiii.kkkkkkk.no"},
        {"property Items[I: Integer]: Byte read Get; default;",
         "kkkkkkkk.iiiiioio.tttttttoo.tttt.kkkk.iiio.kkkkkkko"},
        // Outside those declarations they are names.
        {"Write(Name, Index, Default); Read(x);",
         "iiiiioiiiio.iiiiio.iiiiiiioo.iiiioioo"},
    };
    for (const auto& c : cases)
        check(c.text, c.styles);
}

TEST_F(LangPas, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "Pascal");
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(LangPas, SampleAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("pas.sample"));
    EXPECT_EQ(sample.styleOf("(* The list grows by a quarter\r   of its size when it is full. *)"), 1);
    EXPECT_EQ(sample.styleOf("{ An order line: article and amount. }"), 1);
    EXPECT_EQ(sample.styleOf("{$MODE DELPHI}{$H+}"), 21);
    EXPECT_EQ(sample.linePattern(letters, "WriteLn('Added"),
              "..iiiiiiiossssssssss.o.iiiiiii.o.sssso.iiiio.ssssssso.iiiiiioo");
    EXPECT_EQ(sample.linePattern(letters, "{$IFDEF DEBUG}"),
              "..##############.iiiiiiiossssssssso.iiiiiiononoo.########");
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
