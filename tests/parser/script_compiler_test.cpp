#include "editor/lexicon/syntax_keywords.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/file_stream.h"
#include "parser/parser_tables.h"
#include "tests/parser/script_test_support.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::compile;
using test::compileError;
using test::Token;
using test::tokenise;
using Tokens = std::vector<Token>;

std::string at(int line, int column, const std::string& message) {
    return "** ERROR near line " + std::to_string(line) + ", Column " + std::to_string(column) + ": " +
           message;
}

// ---- overall structure and expressions

TEST(ScriptCompiler, LanguageAndEffectsAloneMakeEveryCharacterAToken) {
    auto p = compile("%%language name = 'Plain'\n%%effects 0 [] clBlack clWhite");
    EXPECT_EQ(tokenise(*p, "ab 1("), (Tokens{{0, 1, 0}, {1, 1, 0}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}}));
    EXPECT_EQ(p->Settings().LanguageName(), "Plain");
}

TEST(ScriptCompiler, EmptyScriptCompilesToAnEmptyParser) {
    auto p = compile("// nothing but a comment\n");
    EXPECT_EQ(tokenise(*p, "x"), (Tokens{{0, 1, 0}}));
}

TEST(ScriptCompiler, AnythingButASectionKeywordIsASyntaxError) {
    EXPECT_EQ(compileError("\n  5"), at(2, 4, "Script syntax error"));
    EXPECT_EQ(compileError("%%map 1 2 'x'"), at(1, 14, "Script syntax error"));
}

TEST(ScriptCompiler, ExpressionsEvaluateLeftToRight) {
    auto p = compile("%%map 1 1 + 2 or 4\n 2 (1 or 2) - 1\n 3 (((3)))\n 4 10 - 3 - 2");
    EXPECT_EQ(p->Settings().GetMapEntry(1), 7);
    EXPECT_EQ(p->Settings().GetMapEntry(2), 2);
    EXPECT_EQ(p->Settings().GetMapEntry(3), 3);
    EXPECT_EQ(p->Settings().GetMapEntry(4), 5);
}

TEST(ScriptCompiler, ExpressionErrorsAreReported) {
    EXPECT_EQ(compileError("%%map 1 (2"), at(1, 11, "Expression expected"));
    EXPECT_EQ(compileError("%%map 1 2 +"), at(1, 12, "Expression expected"));
    EXPECT_EQ(compileError("%%map 1 ( )"), at(1, 12, "Expression expected"));
    EXPECT_EQ(compileError("%%map 256 1"), at(1, 12, "Value must be 0..255"));
    EXPECT_EQ(compileError("%%map 0 - 1 1"), at(1, 14, "Value must be 0..255"));
}

TEST(ScriptCompiler, DeeplyNestedParenthesesEndWithAnError) {
    const std::string deep = "%%map 1 " + std::string(100000, '(') + "1";
    EXPECT_EQ(compileError(deep).find("Expression expected") != std::string::npos, true);
}

TEST(ScriptCompiler, SectionsMayRepeatAndAddToTheSameTables) {
    auto p = compile("%%map 1 2 %%effects 3 [] 0 0 %%map 4 5");
    EXPECT_EQ(p->Settings().GetMapEntry(1), 2);
    EXPECT_EQ(p->Settings().GetMapEntry(4), 5);
}

TEST(ScriptCompiler, ErrorsInIncludedFilesCountTheirLines) {
    test::TempDir dir;
    std::ofstream(dir.file("words.inc")) << "%%words\n'if' '' 1\n'else' 'ab' 2\n";
    EXPECT_EQ(compileError("// script\n#include <words.inc>\n", dir.file("lang.syn")),
              at(4, 12, "Single character specifier expected"));
}

TEST(ScriptCompiler, CompileScriptReadsTheNamedFile) {
    test::TempDir dir;
    std::ofstream(dir.file("values.inc")) << "#define STYLE 6\n";
    std::ofstream(dir.file("lang.syn")) << "#include <values.inc>\n%%map 1 STYLE\n";
    TRudivoVoruParser parser;
    parser.Script = dir.file("lang.syn");
    CompileScript(parser);
    EXPECT_EQ(parser.Settings().GetMapEntry(1), 6);
    // A script that is not there is an error, not an empty parser.
    parser.Script = dir.file("missing.syn");
    EXPECT_THROW(CompileScript(parser), EFOpenError);
}

TEST(ScriptCompiler, RangeErrorsCarryNoPosition) {
    EXPECT_EQ(compileError("%%language indentstep = 21"), "Range error, value outwith 0 .. 20");
}

// ---- %%words

TEST(ScriptCompiler, WordWithoutStatesIsValidInStateZeroOnly) {
    auto p = compile("%%words 'if' '[^a-z]' 7\n'else' '' 8 [2, 3]");
    const TParserTables& t = p->Tables();
    ASSERT_NE(t.StateChanges(7), nullptr);
    EXPECT_EQ(t.StateChanges(7)->ValidIn, TByteSet{0});
    EXPECT_EQ(t.StateChanges(7)->NoChange, 1);
    ASSERT_NE(t.StateChanges(8), nullptr);
    EXPECT_EQ(t.StateChanges(8)->ValidIn, (TByteSet{0, 2, 3}));
    ASSERT_EQ(t.Keywords().Words().size(), 2u);
    EXPECT_EQ(t.Keywords().Words()[1].second->States, (TByteSet{2, 3}));
    EXPECT_EQ(tokenise(*p, "if iffy"),
              (Tokens{{0, 2, 7}, {2, 1, 0}, {3, 1, 0}, {4, 1, 0}, {5, 1, 0}, {6, 1, 0}}));
}

TEST(ScriptCompiler, WordsAreCaseInsensitiveUnlessTheLanguageSaysOtherwise) {
    auto loose = compile("%%words 'begin' '' 4");
    EXPECT_EQ(tokenise(*loose, "BEGIN"), (Tokens{{0, 5, 4}}));
    auto strict = compile("%%language case = __sensitive %%words 'begin' '' 4");
    EXPECT_EQ(tokenise(*strict, "BEGIN").size(), 5u);
    EXPECT_EQ(tokenise(*strict, "begin"), (Tokens{{0, 5, 4}}));
}

TEST(ScriptCompiler, WordEntryErrors) {
    EXPECT_EQ(compileError("%%words 'if' 'if' 1"), at(1, 18, "Single character specifier expected"));
    EXPECT_EQ(compileError("%%words 'if' 1"), at(1, 15, "String value expected"));
    EXPECT_EQ(compileError("%%words 'if' '' 1 'IF' '' 2"), at(1, 28, "Duplicate entry in %%word table"));
    EXPECT_EQ(compileError("%%words 'if' '' 1 [1 2"), at(1, 23, "']' expected"));
    EXPECT_EQ(compileError("%%words 'x' 'z-a' 1"),
              at(1, 18, "Characters not in correct order for range specifier"));
    // The same word in other states is another entry.
    EXPECT_EQ(compileError("%%words 'if' '' 1 'if' '' 2 [3]"), "");
}

// ---- %%handlers

TEST(ScriptCompiler, HandlerMakesALineCommentOfAKeyword) {
    auto p = compile("%%words '//' '' 1\n%%handlers 1 '[^\\n]' ? '\\n' 0");
    const TSM_HandlerActions* h = p->Tables().Handler(1);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->Continuation.Optional, 1);
    EXPECT_EQ(h->Continuation.IsHandler, 0);
    EXPECT_EQ(h->Terminator.Count, 1);
    EXPECT_EQ(h->Terminator.Include, 0);
    EXPECT_EQ(tokenise(*p, "a// c\nb"), (Tokens{{0, 1, 0}, {1, 4, 1}, {5, 1, 0}, {6, 1, 0}}));
}

TEST(ScriptCompiler, HandlerWithIncludedTwoCharacterTerminatorScansABlockComment) {
    auto p = compile("%%words '/*' '' 2\n%%handlers 2 '[\\x00-\\xff]' ? '*/' 1");
    EXPECT_EQ(p->Tables().Handler(2)->Terminator.Count, 2);
    EXPECT_EQ(p->Tables().Handler(2)->Terminator.Include, 1);
    EXPECT_EQ(tokenise(*p, "/* a\n*/x"), (Tokens{{0, 7, 2}, {7, 1, 0}}));
}

TEST(ScriptCompiler, HandlerContinuationForms) {
    auto p = compile("%%handlers 3 match(7)\n 4 __STD_C_STRING\n 5 _WEB_CHAR ? match(2) 1\n 6 'a'");
    const TParserTables& t = p->Tables();
    EXPECT_EQ(t.UsesCustomMatch(), 1);
    EXPECT_EQ(t.Handler(3)->Continuation.IsCustom, 1);
    EXPECT_EQ(t.Handler(3)->Continuation.HandlerIndex, 7);
    EXPECT_FALSE(t.Handler(3)->Terminator.Present());
    EXPECT_EQ(t.Handler(4)->Continuation.IsHandler, 1);
    EXPECT_EQ(t.Handler(4)->Continuation.HandlerIndex, 13);
    EXPECT_EQ(t.Handler(5)->Continuation.Optional, 1);
    EXPECT_EQ(t.Handler(5)->Terminator.IsCustom, 1);
    EXPECT_EQ(t.Handler(5)->Terminator.HandlerIndex, 2);
    EXPECT_EQ(t.Handler(5)->Terminator.Include, 1);
    EXPECT_FALSE(t.Handler(6)->Terminator.Present());
}

TEST(ScriptCompiler, HandlerEntryErrors) {
    EXPECT_EQ(compileError("%%handlers 1 'a' 1 'b'"), at(1, 23, "Duplicate entry in %%handler table"));
    EXPECT_EQ(compileError("%%handlers 1 'a' 'abcde' 0"),
              at(1, 25, "Maximum of 4 character specifier allowed"));
    EXPECT_EQ(compileError("%%handlers 1 match 3"), at(1, 21, "'(' expected"));
    EXPECT_EQ(compileError("%%handlers 1 match(3"), at(1, 21, "')' expected"));
}

TEST(ScriptCompiler, HandlerNumbersWithoutAHandlerAreRefused) {
    EXPECT_EQ(compileError("%%handlers 1 3"),
              at(1, 15, "Continuation handler number must be 0..2 or 10..20"));
    EXPECT_EQ(compileError("%%handlers 1 21"),
              at(1, 16, "Continuation handler number must be 0..2 or 10..20"));
    EXPECT_EQ(compileError("%%handlers 1 2 2 10"), "");
    EXPECT_EQ(compileError("%%tokens 1 'a' 10 'b' 0"), at(1, 22, "Character handler number must be 0..2"));
    EXPECT_EQ(compileError("%%tokens 1 'a' 'b' 3 0"), at(1, 23, "Character handler number must be 0..2"));
    EXPECT_EQ(compileError("%%tokens 1 'a' 'b' 2 0"), "");
}

// ---- %%tokens

TEST(ScriptCompiler, TokenDeclaredByAWholeTokenHandlerStartsOnItsGroup) {
    auto p = compile("%%tokens 3 __STD_IDENTIFIER\n 5 __STD_NUMBER_OR_FP");
    const TSM_StatesTable& start = p->Tables().StartTable();
    for (char c : std::string("azAZ_")) {
        ASSERT_NE(start.Slots[static_cast<unsigned char>(c)], nullptr) << c;
        EXPECT_EQ(start.Slots[static_cast<unsigned char>(c)]->Start.IsHandler, 1);
        EXPECT_EQ(start.Slots[static_cast<unsigned char>(c)]->Start.HandlerIndex, 10);
        EXPECT_EQ(start.Slots[static_cast<unsigned char>(c)]->TokenValue, 3);
        EXPECT_EQ(start.Slots[static_cast<unsigned char>(c)]->ValidStates, TByteSet{0});
    }
    EXPECT_EQ(start.Slots['0']->TokenValue, 5);
    EXPECT_EQ(start.Slots['.']->TokenValue, 5);
    EXPECT_EQ(start.Slots['$'], nullptr);
    EXPECT_EQ(tokenise(*p, "ab1 2.5"), (Tokens{{0, 3, 3}, {3, 1, 0}, {4, 3, 5}}));
}

TEST(ScriptCompiler, WholeTokenHandlersStartOnTheirOwnCharacters) {
    struct Case {
        int number;
        std::string starts;
        std::string doesNotStart;
    };
    const Case cases[] = {
        {10, "aZ_", "0.'"}, {11, "09.", "a+'"}, {12, "'", "\"a"}, {13, "\"", "'a"},
        {14, "'", "\"a"},   {15, "+-.7", "a'"}, {16, "09", ".a"}, {17, "aZ09", "_.@"},
        {18, "\"", "'a"},   {19, "/", "*a"},    {20, "'", "\"a"},
    };
    for (const Case& c : cases) {
        auto p = compile("%%tokens 9 " + std::to_string(c.number));
        const TSM_StatesTable& start = p->Tables().StartTable();
        for (char ch : c.starts)
            EXPECT_NE(start.Slots[static_cast<unsigned char>(ch)], nullptr) << c.number << " " << ch;
        for (char ch : c.doesNotStart)
            EXPECT_EQ(start.Slots[static_cast<unsigned char>(ch)], nullptr) << c.number << " " << ch;
    }
}

TEST(ScriptCompiler, StartHandlerNumberOutside10To20IsASyntaxError) {
    EXPECT_EQ(compileError("%%tokens 1 9"), at(1, 13, "Script syntax error"));
    EXPECT_EQ(compileError("%%tokens 1 21"), at(1, 14, "Script syntax error"));
}

TEST(ScriptCompiler, TokenWithContinuationAndLookAheadTerminator) {
    // A run of digits that stops before the first non-digit; with '?' a
    // single digit is a token.
    auto p = compile("%%tokens 6 '[0-9]' '[0-9]' ? '[^0-9]' 0");
    EXPECT_EQ(tokenise(*p, "12a3"), (Tokens{{0, 2, 6}, {2, 1, 0}, {3, 1, 6}}));
}

TEST(ScriptCompiler, OverlappingStartGroupsInOneTableAreAmbiguous) {
    EXPECT_EQ(compileError("%%tokens 1 '[a-c]' 'x' ? '' 0\n 2 '[c-e]' 'x' ? '' 0"),
              at(2, 22, "Ambigious start set in %%token table"));
    EXPECT_EQ(compileError("%%tokens 1 __STD_C_CHAR 2 __STD_PASCALSTRING"),
              at(1, 49, "Ambigious start set in %%token table"));
    EXPECT_EQ(compileError("%%tokens InState 4 (1 'a' 'x' ? '' 0) InState 4 (2 'a' 'x' ? '' 0)"),
              at(1, 67, "Ambigious start set in %%token table"));
    // Different tables do not conflict.
    EXPECT_EQ(
        compileError("%%tokens 1 'a' 'x' ? '' 0 InState 4 (2 'a' 'x' ? '' 0) InState 5 (3 'a' 'x' ? '' 0)"),
        "");
}

TEST(ScriptCompiler, TokenInsideInStateIsValidInThatState) {
    auto p = compile("%%tokens InState 5 ( 9 'q' 'x' ? '' 0 [7] )");
    const TParserTables& t = p->Tables();
    EXPECT_TRUE(t.StateTableSet().Contains(5));
    EXPECT_FALSE(t.NoStateTables());
    ASSERT_NE(t.StateTable(5), nullptr);
    ASSERT_NE(t.StateTable(5)->Slots['q'], nullptr);
    EXPECT_EQ(t.StateTable(5)->Slots['q']->ValidStates, (TByteSet{5, 7}));
    EXPECT_EQ(t.StartTable().Slots['q'], nullptr);
    ASSERT_NE(t.StateChanges(9), nullptr);
    EXPECT_EQ(t.StateChanges(9)->ValidIn, (TByteSet{5, 7}));
}

TEST(ScriptCompiler, TokenEntryErrors) {
    EXPECT_EQ(compileError("%%tokens InState 4 1 'a' 'b' 'c' 0"), at(1, 21, "'(' expected"));
    EXPECT_EQ(compileError("%%tokens InState 4 ( 1 'a' 'b' 'c' 0 %%map"), at(1, 43, "')' expected"));
    EXPECT_EQ(compileError("%%tokens 1 'ab' 'b' 'c' 0"), at(1, 16, "Single character specifier expected"));
    EXPECT_EQ(compileError("%%tokens 1 'a' 'b' 'c'"), at(1, 23, "Expression expected"));
}

// ---- %%states and %%containers

TEST(ScriptCompiler, StateChangeWithPushAndPop) {
    auto p =
        compile("%%states 1 pop ( + 3 ) push\n 2 push ( + 3 ) pop\n 3 ( + [4, 5] - [6] - 7 )\n 4 push ()");
    const TParserTables& t = p->Tables();
    EXPECT_EQ(t.StateChanges(1)->StackOps, 4);
    EXPECT_EQ(t.StateChanges(1)->Enter, TByteSet{3});
    EXPECT_EQ(t.StateChanges(1)->NoChange, 0);
    EXPECT_EQ(t.StateChanges(2)->StackOps, 8);
    EXPECT_TRUE(t.StateChanges(2)->Enter.IsEmpty());
    EXPECT_EQ(t.StateChanges(2)->NoChange, 1);
    EXPECT_EQ(t.StateChanges(3)->Enter, (TByteSet{4, 5}));
    EXPECT_EQ(t.StateChanges(3)->Leave, (TByteSet{6, 7}));
    EXPECT_EQ(t.StateChanges(3)->StackOps, 0);
    EXPECT_EQ(t.StateChanges(3)->ValidIn, TByteSet{0});
    ASSERT_NE(t.StateChanges(4), nullptr);
    EXPECT_EQ(t.StateChanges(4)->StackOps, 1);
    EXPECT_EQ(t.StateChanges(4)->NoChange, 1);
}

TEST(ScriptCompiler, StateItemsFollowEachOther) {
    // A single value is one operand: "+ 5 - 1" enters 5 and leaves 1, and
    // arithmetic needs parentheses.
    auto p = compile("%%states 1 ( + 5 - 1 ) 2 ( + (5 - 1) - [1] + 3 )");
    EXPECT_EQ(p->Tables().StateChanges(1)->Enter, TByteSet{5});
    EXPECT_EQ(p->Tables().StateChanges(1)->Leave, TByteSet{1});
    EXPECT_EQ(p->Tables().StateChanges(2)->Enter, (TByteSet{3, 4}));
    EXPECT_EQ(p->Tables().StateChanges(2)->Leave, TByteSet{1});
    EXPECT_EQ(compileError("%%states 1 ( + 1 or 2 )"), at(1, 20, "')' expected"));
}

TEST(ScriptCompiler, StatesAddToAWordsEntry) {
    auto p = compile("%%words 'x' '' 1 [2] %%states 1 ( + 9 )");
    EXPECT_EQ(p->Tables().StateChanges(1)->ValidIn, (TByteSet{0, 2}));
    EXPECT_EQ(p->Tables().StateChanges(1)->Enter, TByteSet{9});
}

TEST(ScriptCompiler, ContainerEntryIsMarked) {
    auto p = compile("%%containers 7 ( + 2 )\n 8 ()");
    EXPECT_EQ(p->Tables().StateChanges(7)->IsContainer, 1);
    EXPECT_EQ(p->Tables().StateChanges(7)->Enter, TByteSet{2});
    EXPECT_EQ(p->Tables().StateChanges(8)->IsContainer, 1);
    EXPECT_EQ(compileError("%%containers 7 push ( + 2 )"), at(1, 20, "'(' expected"));
}

TEST(ScriptCompiler, StateEntryErrors) {
    EXPECT_EQ(compileError("%%states 1 + 2"), at(1, 15, "'(' expected"));
    EXPECT_EQ(compileError("%%states 1 ( + 2 "), at(1, 18, "')' expected"));
    EXPECT_EQ(compileError("%%states 1 ( + 256 )"), at(1, 21, "Value must be 0..255"));
}

TEST(ScriptCompiler, StatesDriveTheRuntime) {
    // '<' enters state 1, where '>' is valid; '>' goes back to state 0.
    auto q = compile("%%tokens 4 '<' 'x' ? '' 0\n 5 '>' 'x' ? '' 0 [1]\n 6 __STD_NUMBER\n"
                     "%%states 4 ( + 1 - 0 )\n 5 ( + 0 - 1 )\n");
    EXPECT_EQ(tokenise(*q, "1<2>3"), (Tokens{{0, 1, 6}, {1, 1, 4}, {2, 1, 0}, {3, 1, 5}, {4, 1, 6}}));
}

// ---- %%map and %%effects

TEST(ScriptCompiler, EffectsStoreStylesColoursAndMarks) {
    auto p = compile("%%effects 4 [fsBold, fsUnderline, 9] clRed * clWhite 'HotSpot'\n"
                     " 5 [] 1 2 *");
    const TFormatEntry& e = p->Settings().GetFormatEntry(4);
    EXPECT_EQ(e.Style, fsBold | fsUnderline);
    EXPECT_EQ(e.TextColor, 0x0000FF);
    EXPECT_EQ(e.BackColor, 0xFFFFFF);
    EXPECT_EQ(e.DefaultText, 1);
    EXPECT_EQ(e.DefaultBack, 0);
    EXPECT_EQ(e.HotSpot, 1);
    EXPECT_NE(e.InUse, 0);
    const TFormatEntry& f = p->Settings().GetFormatEntry(5);
    EXPECT_EQ(f.DefaultText, 0);
    EXPECT_EQ(f.DefaultBack, 1);
    EXPECT_EQ(f.HotSpot, 0);
}

TEST(ScriptCompiler, EffectZeroMayBeGivenTwiceOthersNot) {
    EXPECT_EQ(compileError("%%effects 0 [] 0 0 0 [] 1 1"), "");
    EXPECT_EQ(compileError("%%effects 3 [] 0 0\n 3 [] 1 1"), at(2, 10, "Duplicate %%effect entry"));
}

TEST(ScriptCompiler, EffectEntryErrors) {
    EXPECT_EQ(compileError("%%effects 1 0 0 0"), at(1, 14, "'[' expected"));
    EXPECT_EQ(compileError("%%effects 1 ['b'] 0 0"), at(1, 17, "Bad font style specifier"));
    EXPECT_EQ(compileError("%%effects 1 [0 1] 0 0"), at(1, 17, "']' expected"));
    // Another string ends the section.
    EXPECT_EQ(compileError("%%effects 1 [] 0 0 'cold'"), at(1, 26, "Script syntax error"));
}

TEST(ScriptCompiler, MapSendsTokenValuesToStyles) {
    auto p = compile("%%map 10 3 11 4");
    EXPECT_EQ(p->Settings().GetMapEntry(10), 3);
    EXPECT_EQ(p->Settings().GetMapEntry(11), 4);
    EXPECT_EQ(p->Settings().GetMapEntry(12), 0);
    EXPECT_EQ(compileError("%%map 10 300"), at(1, 13, "Value must be 0..255"));
}

TEST(ScriptCompiler, ContextSetsLeftEmptyBecomeTheStartState) {
    auto p = compile("%%language startstate = [2]");
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(p->Tables().ContextStates(static_cast<std::uint8_t>(v)), TByteSet{2});
}

} // namespace
} // namespace qorvi
