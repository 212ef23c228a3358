#include "editor/support/memory_stream.h"
#include "parser/script_messages.h"
#include "parser/sym_compiler.h"
#include "parser/sym_lexemes.h"
#include "tests/support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace qorvi {
namespace {

// A lexeme as the compiler sees it: its code and, for numbers and strings,
// the value.
struct Lexeme {
    int code;
    std::int32_t number = 0;
    std::string text;
    bool operator==(const Lexeme&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Lexeme& l) {
    return os << "{" << l.code << "," << l.number << ",'" << l.text << "'}";
}

std::vector<Lexeme> lexAll(const std::string& script, const std::string& baseDir = {}) {
    TMemoryStream stream(script);
    TSYM_Compiler pp(stream, baseDir);
    std::vector<Lexeme> out;
    for (;;) {
        const int code = pp.yylex();
        if (code == kLexEnd)
            break;
        Lexeme l{code, 0, {}};
        if (code == kLexNumber)
            l.number = pp.Number();
        if (code == kLexString)
            l.text = pp.GetStrLiteral();
        out.push_back(l);
        if (out.size() > 10000)
            break;
    }
    return out;
}

// The message of the script error `script` raises, or "" when none.
std::string errorOf(const std::string& script, const std::string& baseDir = {}) {
    try {
        lexAll(script, baseDir);
    } catch (const ESYM_COMP_ERROR& e) {
        return e.message();
    }
    return "";
}

Lexeme num(std::int32_t n) {
    return {kLexNumber, n, ""};
}
Lexeme str(const std::string& s) {
    return {kLexString, 0, s};
}
Lexeme lex(int code) {
    return {code, 0, {}};
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(SymPreprocessor, MacroChainExpandsToItsFinalNumberAndReadingGoesOn) {
    EXPECT_EQ(lexAll("#define A B\n#define B C\n#define C 5\nA ( A"),
              (std::vector<Lexeme>{num(5), lex(kLexOpenParen), num(5)}));
}

TEST(SymPreprocessor, MacroNamesAreCaseInsensitiveAndRedefinitionReplaces) {
    EXPECT_EQ(lexAll("#define Big 1\nbig #define BIG 2\nbIg"), (std::vector<Lexeme>{num(1), num(2)}));
}

TEST(SymPreprocessor, MacroTextEndsAtLineEndWithoutTrailingBlanksAndKeepsComments) {
    EXPECT_EQ(lexAll("#define P ( 1 /* c */ )   \t\nP"),
              (std::vector<Lexeme>{lex(kLexOpenParen), num(1), lex(kLexCloseParen)}));
    // An empty macro expands to nothing.
    EXPECT_EQ(lexAll("#define E\nE 3 E"), (std::vector<Lexeme>{num(3)}));
}

TEST(SymPreprocessor, DefineOfItsOwnNameDefinesNothing) {
    EXPECT_EQ(errorOf("#define X x\nX"), "** ERROR near line 2, Column 2: Identifier \"X\" Unknown");
}

TEST(SymPreprocessor, MutuallyRecursiveMacrosRaiseTheRecursionError) {
    EXPECT_EQ(errorOf("#define X X1\n#define X1 X\n  X"),
              "** ERROR near line 3, Column 7: Recursive expansion of macro 'X'");
}

TEST(SymPreprocessor, MacroUsedTwiceInOneExpansionIsNoRecursion) {
    EXPECT_EQ(lexAll("#define ONE 1\n#define TWO ONE + ONE\nTWO"),
              (std::vector<Lexeme>{num(1), lex(kLexPlus), num(1)}));
}

TEST(SymPreprocessor, VersionMacroIsDefinedButCannotBeUsedAsAValue) {
    EXPECT_EQ(lexAll("#ifdef ver200\n1\n#else\n2\n#endif"), (std::vector<Lexeme>{num(1)}));
    EXPECT_EQ(lexAll("#ifdef VER200\n1\n#endif"), (std::vector<Lexeme>{num(1)}));
    EXPECT_NE(errorOf("ver200").find("Recursive expansion of macro 'ver200'"), std::string::npos);
}

TEST(SymPreprocessor, PredefinedNamesExpandToTheirValues) {
    EXPECT_EQ(lexAll("clRed __STD_C_STRING caDELNEXTWORD F12 OEM_CHARSET __DEFAULT_OPTIONS __sensitive"),
              (std::vector<Lexeme>{num(0xFF), num(13), num(45), num(123), num(255), num(67099632), num(1)}));
}

TEST(SymPreprocessor, DefineRedefiningTheMacroBeingExpandedKeepsReadingTheOldText) {
    // The second use of A reads the new text; the first goes on in the old
    // one after the directive replaced it.
    EXPECT_EQ(lexAll("#define A 1 #define A 2\nA 5 A"), (std::vector<Lexeme>{num(1), num(5), num(2)}));
}

TEST(SymPreprocessor, FalseBranchNestedThreeDeepSkipsToTheOutermostEndif) {
    const std::string script = "#ifdef NOPE\n"
                               " 1\n"
                               " #ifdef clRed\n"
                               "  2\n"
                               "  #ifndef NOPE\n"
                               "   3\n"
                               "   #ifdef clRed 4 #else 5 #endif\n"
                               "  #else\n"
                               "   6\n"
                               "  #endif\n"
                               " #else\n"
                               "  7\n"
                               " #endif\n"
                               "#else\n"
                               " 8\n"
                               "#endif\n"
                               "9";
    EXPECT_EQ(lexAll(script), (std::vector<Lexeme>{num(8), num(9)}));
}

TEST(SymPreprocessor, IfndefAndElseChooseTheRightBranch) {
    EXPECT_EQ(lexAll("#ifndef NOPE 1 #else 2 #endif #ifndef clRed 3 #else 4 #endif"),
              (std::vector<Lexeme>{num(1), num(4)}));
}

TEST(SymPreprocessor, SkippedTextYieldsNothingNotEvenErrors) {
    EXPECT_EQ(lexAll("#ifdef NOPE\n unknown $ ` 'literal' #pragma \n#define Z 9\n#endif\n#ifdef Z 1 #endif"),
              std::vector<Lexeme>{});
}

TEST(SymPreprocessor, OpenConditionalAtTheEndIsNotReported) {
    EXPECT_EQ(lexAll("1 #ifdef NOPE 2"), (std::vector<Lexeme>{num(1)}));
}

TEST(SymPreprocessor, ElseAndEndifWithoutAnOpenConditionalAreErrors) {
    EXPECT_EQ(errorOf("1\n #else"), "** ERROR near line 2, Column 7: #else without #ifdef or #ifndef");
    EXPECT_EQ(errorOf("#ifdef X #endif #endif"),
              "** ERROR near line 1, Column 23: #endif without #ifdef or #ifndef");
}

TEST(SymPreprocessor, DirectivesNeedAMacroName) {
    EXPECT_EQ(errorOf("#define 5 6"), "** ERROR near line 1, Column 9: Macro name expected");
    EXPECT_EQ(errorOf("#define"), "** ERROR near line 1, Column 8: Macro name expected");
    EXPECT_EQ(errorOf("#ifdef (X)"), "** ERROR near line 1, Column 8: Macro name expected after #ifdef");
    EXPECT_EQ(errorOf("#ifndef 1"), "** ERROR near line 1, Column 9: Macro name expected after #ifdef");
}

TEST(SymPreprocessor, HashBeforeAnUnknownWordIsAnUnknownCharacter) {
    EXPECT_EQ(errorOf("#pragma once"),
              "** ERROR near line 1, Column 2: Unknown character in input stream: #$23");
    // Directive names are case-sensitive.
    EXPECT_NE(errorOf("#Define X 1").find("#$23"), std::string::npos);
}

TEST(SymPreprocessor, KeywordFollowedByALetterIsAnUnknownIdentifier) {
    EXPECT_EQ(errorOf("1 order"), "** ERROR near line 1, Column 8: Identifier \"order\" Unknown");
    EXPECT_EQ(lexAll("1 or 2"), (std::vector<Lexeme>{num(1), lex(kLexOr), num(2)}));
}

TEST(SymPreprocessor, KeywordsAreCaseInsensitiveAndTheLongestWins) {
    EXPECT_EQ(lexAll("%%HANDLER %%handlers %%KwTables instate GUTTERFONTNAME gutter(|*?)"),
              (std::vector<Lexeme>{lex(kLexHandlers), lex(kLexHandlers), lex(kLexKwTables), lex(kLexInState),
                                   lex(kLexGutterFontName), lex(kLexGutter), lex(kLexOpenParen), lex(kLexBar),
                                   lex(kLexStar), lex(kLexQuestion), lex(kLexCloseParen)}));
}

TEST(SymPreprocessor, NumbersAreDecimalAndWrapAt32Bits) {
    EXPECT_EQ(lexAll("0 007 4294967297 2147483648"),
              (std::vector<Lexeme>{num(0), num(7), num(1), num(INT32_MIN)}));
}

TEST(SymPreprocessor, CommentsAreRemovedAndCountLines) {
    EXPECT_EQ(lexAll("1 // 2 \n/* 3 \n 4 */ 5 /* unterminated 6"), (std::vector<Lexeme>{num(1), num(5)}));
    EXPECT_EQ(errorOf("/* a\n\n */ $"),
              "** ERROR near line 3, Column 6: Unknown character in input stream: #$24");
    // A lone slash starts no lexeme.
    EXPECT_NE(errorOf("1 / 2").find("#$2f"), std::string::npos);
}

TEST(SymPreprocessor, StringLiteralEscapesDecode) {
    EXPECT_EQ(lexAll(R"('a\'b')"), (std::vector<Lexeme>{str("a'b")}));
    EXPECT_EQ(lexAll(R"('\x41\101')"), (std::vector<Lexeme>{str("AA")}));
    EXPECT_EQ(lexAll(R"('\n\r\t\s\b\e\N\\\q\x\0')"),
              (std::vector<Lexeme>{str(std::string("\r\n\t \x08\x1B\r\\q") + '\0')}));
    EXPECT_EQ(lexAll(R"('\4012')"), (std::vector<Lexeme>{str("\x0A")})); // 04012 octal, low byte
}

TEST(SymPreprocessor, RawTextOfALiteralKeepsItsEscapes) {
    TMemoryStream stream(R"('[\t\s]' 'x\')");
    TSYM_Compiler pp(stream, {});
    ASSERT_EQ(pp.yylex(), kLexString);
    EXPECT_EQ(pp.RawString(), R"([\t\s])");
    ASSERT_EQ(pp.yylex(), kLexString);
    EXPECT_EQ(pp.RawString(), R"(x\')");
    EXPECT_EQ(pp.GetStrLiteral(), "x'");
}

TEST(SymPreprocessor, DecodingDropsABackslashAtTheEnd) {
    EXPECT_EQ(DecodeStrLiteral("ab\\"), "ab");
    EXPECT_EQ(DecodeStrLiteral("\\x4g"), "\x04g");
}

TEST(SymPreprocessor, LiteralSpansLinesAndBackslashJoinsThem) {
    EXPECT_EQ(lexAll("'a\nb'"), (std::vector<Lexeme>{str("a\rb")}));
    EXPECT_EQ(lexAll("'one \\\n     \\two' 1"), (std::vector<Lexeme>{str("one two"), num(1)}));
    EXPECT_EQ(errorOf("'a\n\\\n\n  b'\n $"),
              "** ERROR near line 5, Column 3: Unknown character in input stream: #$24");
    // Left open it ends with the text.
    EXPECT_EQ(lexAll("1 'open"), (std::vector<Lexeme>{num(1), str("open")}));
}

TEST(SymPreprocessor, AdjacentLiteralsAreTwoLexemes) {
    EXPECT_EQ(lexAll("'a''b'"), (std::vector<Lexeme>{str("a"), str("b")}));
}

TEST(SymPreprocessor, LfCrLfAndCrScriptsReadAlike) {
    const std::string lf = "#define A 1 // c\n\n'x\n' A\n  $";
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    const std::vector<Lexeme> expected{str("x\r"), num(1)};
    for (const std::string& s : {lf, crlf, cr}) {
        EXPECT_EQ(lexAll(s.substr(0, s.size() - 3)), expected);
        EXPECT_EQ(errorOf(s), "** ERROR near line 5, Column 4: Unknown character in input stream: #$24");
    }
}

TEST(SymPreprocessor, NulEndsTheScript) {
    EXPECT_EQ(lexAll(std::string("1\0$", 3)), (std::vector<Lexeme>{num(1)}));
}

TEST(SymPreprocessor, ControlCharactersOtherThanTabAreUnknown) {
    EXPECT_EQ(lexAll("\t1\xA0"
                     "2"),
              (std::vector<Lexeme>{num(1), num(2)}));
    EXPECT_NE(errorOf("1 \x01 2").find("Unknown character"), std::string::npos);
}

TEST(SymPreprocessor, ErrorColumnCountsTheCharactersOfTheLine) {
    EXPECT_EQ(errorOf("1\n\t  2 @"),
              "** ERROR near line 2, Column 7: Unknown character in input stream: #$40");
}

class SymInclude : public ::testing::Test {
protected:
    test::TempDir dir;
};

TEST_F(SymInclude, AngleBracketsLookInTheBaseDirectory) {
    writeFile(dir.file("colours.inc"), "#define MYCOL 77\n");
    EXPECT_EQ(lexAll("#include <colours.inc>\nMYCOL", dir.path()), (std::vector<Lexeme>{num(77)}));
    EXPECT_EQ(errorOf("#include <missing.inc>", dir.path()),
              "** ERROR near line 1, Column 23: Unable to open #include file <" + dir.file("missing.inc") +
                  ">");
}

TEST_F(SymInclude, QuotedNameIsFoundBesideTheIncludingFile) {
    std::filesystem::create_directory(dir.file("sub"));
    writeFile(dir.file("sub/outer.inc"), "1 #include \"inner.inc\" 3");
    writeFile(dir.file("sub/inner.inc"), "2");
    EXPECT_EQ(lexAll("#include \"sub\\outer.inc\" 4", dir.path()),
              (std::vector<Lexeme>{num(1), num(2), num(3), num(4)}));
    EXPECT_EQ(lexAll("#include \"" + dir.file("sub/inner.inc") + "\""), (std::vector<Lexeme>{num(2)}));
    EXPECT_EQ(errorOf("#include \"nothere.inc\"", dir.path()),
              "** ERROR near line 1, Column 23: Unable to open #include file \"nothere.inc\"");
}

TEST_F(SymInclude, BadIncludeNamesAreReported) {
    EXPECT_EQ(errorOf("#include colours.inc"),
              "** ERROR near line 1, Column 10: #include filename not enclosed in \"...\" or <...>");
    EXPECT_EQ(errorOf("#include <colours.inc\n>"),
              "** ERROR near line 1, Column 22: #include filename missing terminating >");
    EXPECT_EQ(errorOf("#include \"colours.inc"),
              "** ERROR near line 1, Column 22: #include filename missing terminating \"");
    EXPECT_NE(errorOf("#include <>", dir.path()).find("Unable to open #include file"), std::string::npos);
    EXPECT_NE(errorOf("#include <.>", dir.path()).find("Unable to open #include file"), std::string::npos);
}

TEST_F(SymInclude, IncludedLinesCountInErrorPositions) {
    writeFile(dir.file("three.inc"), "1\n2\n3\n");
    // Columns count every character read, the included ones too.
    EXPECT_EQ(errorOf("#include <three.inc>\n\n  $", dir.path()),
              "** ERROR near line 6, Column 4: Unknown character in input stream: #$24");
    writeFile(dir.file("bad.inc"), "\r\n\r\n  1 $\r\n");
    EXPECT_EQ(errorOf("0\n#include <bad.inc>", dir.path()),
              "** ERROR near line 4, Column 6: Unknown character in input stream: #$24");
}

TEST_F(SymInclude, IncludeInASkippedBranchIsIgnored) {
    EXPECT_EQ(lexAll("#ifdef NOPE\n#include <missing.inc>\n#endif 1", dir.path()),
              (std::vector<Lexeme>{num(1)}));
}

TEST_F(SymInclude, FileIncludingItselfRaisesTheRecursionError) {
    writeFile(dir.file("self.inc"), "1 #include <self.inc>");
    EXPECT_EQ(errorOf("#include <self.inc>", dir.path()),
              "** ERROR near line 1, Column 41: Recursive expansion of macro '-file-: " +
                  dir.file("self.inc") + "'");
}

TEST_F(SymInclude, DeepIncludeChainEndsWithAnError) {
    // Every file includes the next under another name, which the recursion
    // check cannot see.
    for (int i = 0; i < 300; ++i)
        writeFile(dir.file("f" + std::to_string(i)), "#include <f" + std::to_string(i + 1) + ">");
    writeFile(dir.file("f300"), "1");
    EXPECT_NE(errorOf("#include <f0>", dir.path()).find("nesting deeper than 256 levels"), std::string::npos);
    EXPECT_EQ(lexAll("#include <f100>", dir.path()), (std::vector<Lexeme>{num(1)}));
}

TEST(SymPreprocessor, DeepMacroChainEndsWithAnError) {
    std::string script;
    for (int i = 0; i < 1000; ++i)
        script += "#define M" + std::to_string(i) + " M" + std::to_string(i + 1) + "\n";
    script += "#define M1000 42\n";
    EXPECT_NE(errorOf(script + "M0").find("nesting deeper than 256 levels"), std::string::npos);
    EXPECT_EQ(lexAll(script + "M800"), (std::vector<Lexeme>{num(42)}));
}

TEST(SymPreprocessor, ExponentialExpansionEndsWithAnError) {
    std::string script = "#define E0 1\n";
    for (int i = 1; i <= 40; ++i)
        script += "#define E" + std::to_string(i) + " E" + std::to_string(i - 1) + " E" +
                  std::to_string(i - 1) + "\n";
    TMemoryStream stream(script + "E40");
    TSYM_Compiler pp(stream, {});
    try {
        while (pp.yylex() != kLexEnd) {
        }
        FAIL() << "no error";
    } catch (const ESYM_COMP_ERROR& e) {
        EXPECT_NE(e.message().find("expansion longer than"), std::string::npos);
    }
}

TEST(SymPreprocessor, OverlongNamesAndLinesAreScriptErrors) {
    // A name is stored one trie node per character: a megabyte-long one
    // took gigabytes.
    const std::string name(1 << 20, 'a');
    EXPECT_EQ(errorOf("#define " + name + " 1"),
              "** ERROR near line 1, Column 264: Identifier longer than 255 characters");
    EXPECT_EQ(errorOf("1 " + name),
              "** ERROR near line 1, Column 258: Identifier longer than 255 characters");
    EXPECT_EQ(errorOf("#define X " + std::string(100000, '1')),
              "** ERROR near line 1, Column 65537: Line longer than 65536 characters");
    EXPECT_EQ(errorOf("1 /* " + std::string(100000, ' ') + " */ 2"),
              "** ERROR near line 1, Column 65537: Line longer than 65536 characters");
    const std::string longest(255, 'b');
    EXPECT_EQ(lexAll("#define " + longest + " 7\n" + longest + " " + std::string(65000, ' ') + "8"),
              (std::vector<Lexeme>{num(7), num(8)}));
}

TEST_F(SymInclude, OnlyWhatARegularFileHoldsIsIncluded) {
    // A pseudo-file that never ends held the compiler for ever; it is read
    // only as far as its size says, without waiting. The compile runs on a
    // thread so that a hang fails the test instead of the suite.
    struct Outcome {
        std::atomic<bool> done{false};
        std::string error;
        std::vector<Lexeme> lexemes;
    };
    auto outcome = std::make_shared<Outcome>();
    std::thread([outcome] {
        try {
            outcome->lexemes = lexAll("#include \"/proc/kmsg\" 1");
        } catch (const ESYM_COMP_ERROR& e) {
            outcome->error = e.message();
        }
        outcome->done = true;
    }).detach();
    for (int i = 0; i < 500 && !outcome->done; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(outcome->done) << "#include \"/proc/kmsg\" is still reading";
    // Without the right to read the kernel log the file cannot be opened.
    if (outcome->error.empty())
        EXPECT_EQ(outcome->lexemes, (std::vector<Lexeme>{num(1)}));
    else
        EXPECT_NE(outcome->error.find("Unable to open #include file \"/proc/kmsg\""), std::string::npos);

    ASSERT_EQ(::mkfifo(dir.file("pipe.inc").c_str(), 0600), 0);
    EXPECT_EQ(errorOf("#include <pipe.inc>", dir.path()),
              "** ERROR near line 1, Column 20: Unable to open #include file <" + dir.file("pipe.inc") + ">");
}

} // namespace
} // namespace qorvi
