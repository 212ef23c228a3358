// Batch files: REM and :: comments, labels, variables of every form,
// commands where a command may stand, if and for with their keywords,
// blocks, strings and escapes; case-insensitive.

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class LangBat : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("bat");
    // Style 32 is the language's command.
    test::StyleLetters letters = test::sharedLetters({{32, 'C'}});
};

// clang-format off

TEST_F(LangBat, EchoOff) {
    check("@echo off",
          "oCCCC.kkk");
    check("@ECHO OFF",
          "oCCCC.kkk");
}

TEST_F(LangBat, CommentsStartWhereACommandMay) {
    check("rem note\n  :: note\necho rem is text",
          "cccccccc\n..ccccccc\nCCCC............");
    check("REM\ndir & rem x",
          "ccc\nCCC.o.ccccc");
}

TEST_F(LangBat, LabelsAndTheirReferences) {
    check(":usage\ngoto :usage\ngoto end\ncall :sub x",
          "LLLLLL\nCCCC.LLLLLL\nCCCC.LLL\nCCCC.LLLL..");
    check("goto:eof",
          "CCCCLLLL");
}

TEST_F(LangBat, VariablesOfEveryForm) {
    check("echo %PATH% %1 %~dp0 %%i %%~nxi !x! 100%% x",
          "CCCC.$$$$$$.$$.$$$$$.$$$.$$$$$$.$$$........");
    // A single % or ! without its partner on the line is text.
    check("echo 50% done! ok",
          "CCCC.............");
}

TEST_F(LangBat, CommandNamesAreCommandsOnlyWhereACommandMayStand) {
    check("echo set if\nset x=1 & dir",
          "CCCC.......\nCCC.$o..o.CCC");
    check("mydir /s & echoes",
          ".........o.......");
}

TEST_F(LangBat, IfConditionThenCommand) {
    check("if not exist x.txt del x.txt",
          "kk.kkk.kkkkk.......CCC......");
    check("if %x%==1 (echo a) else (echo b)",
          "kk.$$$oon.oCCCC..o.kkkk.oCCCC..o");
}

TEST_F(LangBat, ForHeadUpToDo) {
    check("for %%f in (*.txt) do echo %%f",
          "kkk.$$$.kk.o.....o.kk.CCCC.$$$");
    check("for /f \"tokens=*\" %%a in ('dir /b') do set x=%%a",
          "kkk.kk.ssssssssss.$$$.kk.osssssssso.kk.CCC.$o$$$");
}

TEST_F(LangBat, StringsAndEscapesHideSeparators) {
    check("echo \"a & b\" & exit",
          "CCCC.sssssss.o.CCCC");
    check("echo a ^& b",
          "CCCC...oo..");
    // A ^ at the end of a line carries the command on to the next.
    check("echo a ^\n  b\ndir",
          "CCCC...o\n...\nCCC");
}

// clang-format on

// The field's conventions: the name after set is a variable, variables keep
// their style inside quoted strings, numbers are numbers where a number is
// meant, labels are labels.
TEST_F(LangBat, NamesVariablesInStringsNumbersAndLabels) {
    const struct {
        const char* text;
        const char* styles;
    } cases[] = {
        {"set X=1", "CCC.$o."},
        {"set /a n+=10", "CCC....$$onn"},
        {"set /p answer=Go? ", "CCC....$$$$$$o...."},
        {"echo \"%PATH% %%i !x! %1 %~dp0 50%\"", "CCCC.s$$$$$$s$$$s$$$s$$s$$$$$sssss"},
        // A string left open ends with its line; the next line is code.
        {"echo \"open\ndir", "CCCC.sssss\nCCC"},
        {"for /f %%i in ('dir /b \"%X%\"') do echo 1",
         "kkk.kk.$$$.kk.osssssssss$$$sso.kk.CCCC.."},
        {"if defined X (exit /b 1)", "kk.kkkkkkk.$.oCCCC.....o"},
        {"if %n% geq 10 goto :end\n:end", "kk.$$$.kkk.nn.CCCC.LLLL\nLLLL"},
    };
    for (const auto& c : cases)
        check(c.text, c.styles);
}

TEST_F(LangBat, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "MSDOS Batch file");
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(LangBat, SampleAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("bat.sample"));
    EXPECT_EQ(sample.styleOf(":: Start from an empty output folder."), 1);
    EXPECT_EQ(sample.styleOf(":failed"), 20);
    EXPECT_EQ(sample.linePattern(letters, "for %%f"), "kkk.$$$.kk.o" + std::string(19, '.') + "o.kk.o");
    EXPECT_EQ(sample.linePattern(letters, "copy /y"), "....CCCC....s$$$s.s$$$$$s$$$$$$s.okkk..oo.");
    EXPECT_EQ(sample.linePattern(letters, "echo Copied"),
              "CCCC........$$$$$$$...........$$$$$$$$.o$$$$$$$$oo.........$$$$$$$$$.");
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
