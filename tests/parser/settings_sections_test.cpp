#include "editor/keys/keyboard_action_controller.h"
#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/settings/editor_settings.h"
#include "parser/parser_tables.h"
#include "platform/keys.h"
#include "tests/parser/script_test_support.h"

#include <gtest/gtest.h>
#include <set>
#include <tuple>

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

// ---- %%language

TEST(LanguageSection, TextKeysAreStoredAndCut) {
    auto p = compile("%%language\n"
                     " name = '0123456789012345678901234567890123456789'\n"
                     " exampletext = 'int x;\\nint y;'\n"
                     " wrapoverride = '>|:!'\n"
                     " fontname = 'Courier New'\n"
                     " GutterFontName = 'Arial'\n");
    const TSM_Settings& s = p->Settings();
    EXPECT_EQ(s.LanguageName(), "01234567890123456789012345678901234");
    EXPECT_EQ(s.ScriptText(), "int x;\rint y;");
    EXPECT_EQ(s.WrapOverride(), ">|:!");
    EXPECT_EQ(s.Font().Name, "Courier New");
    EXPECT_EQ(s.GutterFont().Name, "Arial");
}

TEST(LanguageSection, NumericKeysAreStored) {
    auto p = compile("%%language options = __DEFAULT_OPTIONS or __OPT_LINE_NUMBERS\n"
                     " wordwrapcolumn = 72 gutter = 40 indentstep = 20 rightmargin = 100 marginwidth = 6\n"
                     " fontsize = 12 fontcharset = GREEK_CHARSET tabdefault = 8\n"
                     " GutterFontSize = 9 GutterFontColor = clNavy GutterFontStyle = [fsItalic, 12]\n");
    const TSM_Settings& s = p->Settings();
    EXPECT_EQ(s.Options(), 0x3FFDBF1u);
    EXPECT_EQ(s.WrapAtColumn(), 72);
    EXPECT_EQ(s.Gutter(), 40);
    EXPECT_EQ(s.IndentStep(), 20);
    EXPECT_EQ(s.RightMargin(), 100);
    EXPECT_EQ(s.Margin(), 6);
    EXPECT_EQ(s.Font().Size, 12);
    EXPECT_EQ(s.Font().CharSet, 161);
    EXPECT_EQ(s.TabDefault(), 8);
    EXPECT_EQ(s.GutterFont().Size, 9);
    EXPECT_EQ(s.GutterFont().Color, 0x800000);
    EXPECT_EQ(s.GutterFont().Style, fsItalic);
}

TEST(LanguageSection, ColoursTakeAnOptionalDefaultMark) {
    auto p = compile("%%language seltextcolor = [*] clWhite seltextback = [] clNavy\n"
                     " margincolor = clSilver guttercolor = [*] clGray");
    const TSM_Settings& s = p->Settings();
    EXPECT_EQ(s.SelTextColor(), 0xFFFFFF);
    EXPECT_EQ(s.SelTextBack(), 0x800000);
    EXPECT_EQ(s.MarginColor(), 0xC0C0C0);
    EXPECT_EQ(s.GutterColor(), 0x808080);
    EXPECT_EQ(s.DefaultMark(0), 0); // margin
    EXPECT_EQ(s.DefaultMark(1), 1); // selected text
    EXPECT_EQ(s.DefaultMark(2), 0); // selected background
    EXPECT_EQ(s.DefaultMark(3), 1); // gutter
    EXPECT_EQ(compileError("%%language margincolor = [* 5"), at(1, 30, "']' expected"));
}

TEST(LanguageSection, IndentStepAndCharsetAreRangeChecked) {
    EXPECT_EQ(compileError("%%language indentstep = 21"), "Range error, value outwith 0 .. 20");
    EXPECT_EQ(compileError("%%language fontcharset = 256"), "Range error, value outwith 0 .. 255");
    EXPECT_EQ(compileError("%%language indentstep = 0"), "");
}

TEST(LanguageSection, MissingEqualsOrStringIsReported) {
    EXPECT_EQ(compileError("%%language name 'x'"), at(1, 20, "'=' expected"));
    EXPECT_EQ(compileError("%%language name = 5"), at(1, 20, "String value expected"));
    // An unknown key ends the section.
    EXPECT_EQ(compileError("%%language name = 'x' 5"), at(1, 24, "Script syntax error"));
}

TEST(LanguageSection, StartStateSingleValueJoinsStateZeroAndAListReplaces) {
    EXPECT_EQ(compile("%%language startstate = 3")->Tables().StartState(), (TByteSet{0, 3}));
    EXPECT_EQ(compile("%%language startstate = [3]")->Tables().StartState(), TByteSet{3});
}

TEST(LanguageSection, AnchorEmptyListBecomesZero) {
    EXPECT_EQ(compile("%%language anchor = []")->Tables().Anchor(), TByteSet{0});
    EXPECT_EQ(compile("%%language anchor = [1, 2 3]")->Tables().Anchor(), (TByteSet{1, 2, 3}));
    EXPECT_EQ(compile("%%language anchor = 7")->Tables().Anchor(), TByteSet{7});
}

TEST(LanguageSection, BoundStatesSingleValueAloneAndAListReplaces) {
    EXPECT_EQ(compile("%%language boundstates = 4")->Tables().BoundStates(), TByteSet{4});
    EXPECT_EQ(compile("%%language boundstates = [4, 5]")->Tables().BoundStates(), (TByteSet{4, 5}));
}

TEST(LanguageSection, EditableStylesFillFiftySlots) {
    std::string script = "%%language editablestyles ";
    for (int i = 0; i < 50; ++i)
        script += std::string(i ? ", " : "") + "('Style " + std::to_string(i) + " with a long name', " +
                  std::to_string(i + 1) + ")";
    auto p = compile(script);
    EXPECT_EQ(p->Settings().GetEditableEntry(1).Name, "Style 0 with a long name");
    EXPECT_EQ(p->Settings().GetEditableEntry(1).Value, 1);
    EXPECT_EQ(p->Settings().GetEditableEntry(50).Name, "Style 49 with a long name");
    EXPECT_EQ(p->Settings().GetEditableEntry(50).Value, 50);
    EXPECT_EQ(compileError(script + ", ('One too many', 5)").find("Too many editable styles") !=
                  std::string::npos,
              true);
}

TEST(LanguageSection, EditableStyleNameIsCutTo25Characters) {
    auto p = compile("%%language editablestyles ('abcdefghijklmnopqrstuvwxyz0123', 3)");
    EXPECT_EQ(p->Settings().GetEditableEntry(1).Name, "abcdefghijklmnopqrstuvwxy");
}

TEST(LanguageSection, EditableStyleErrors) {
    EXPECT_EQ(compileError("%%language editablestyles ('a', 256)"), at(1, 37, "Value must be 0..255"));
    EXPECT_EQ(compileError("%%language editablestyles ('a' 2)"), at(1, 33, "',' expected"));
    EXPECT_EQ(compileError("%%language editablestyles 'a', 2"), at(1, 30, "'(' expected"));
    EXPECT_EQ(compileError("%%language editablestyles ('a', 2"), at(1, 34, "')' expected"));
}

TEST(LanguageSection, ContextStatesSetEachValueOnce) {
    auto p = compile("%%language startstate = [1] contextstates = (2, 3 [4, 5]), (6 7)");
    const TParserTables& t = p->Tables();
    EXPECT_EQ(t.ContextStates(2), (TByteSet{4, 5}));
    EXPECT_EQ(t.ContextStates(3), (TByteSet{4, 5}));
    // A group without a state list leaves its values at the start state.
    EXPECT_EQ(t.ContextStates(6), TByteSet{1});
    EXPECT_EQ(t.ContextStates(9), TByteSet{1});
}

TEST(LanguageSection, ContextStatesReSpecifiedRaiseWithoutPosition) {
    EXPECT_EQ(compileError("%%language contextstates = (2 [4]), (2 [5])"),
              "Token value 2 re-specified in ContextState");
    EXPECT_EQ(compileError("%%language contextstates = (2), (2 [5])"),
              "Token value 2 re-specified in ContextState");
}

TEST(LanguageSection, ContextStatesTakeTheStartStateOfTheirMoment) {
    auto before = compile("%%language startstate = [3] contextstates = (1 [2])");
    EXPECT_EQ(before->Tables().ContextStates(5), TByteSet{3});
    auto after = compile("%%language contextstates = (1 [2]) startstate = [3]");
    EXPECT_EQ(after->Tables().ContextStates(5), TByteSet{0});
}

TEST(LanguageSection, TabColumnsComeFromTheLiteral) {
    auto p = compile("%%language tabcolumns = '5 9 13'");
    EXPECT_EQ(p->Settings().GetTabStop(0), 4);
    EXPECT_EQ(p->Settings().GetTabStop(1), 8);
    EXPECT_EQ(p->Settings().GetTabStop(2), 12);
    EXPECT_EQ(p->Settings().GetTabStop(3), -1);
    EXPECT_NE(compileError("%%language tabcolumns = '9 5'").find("** ERROR near line 1"), std::string::npos);
    EXPECT_NE(compileError("%%language tabdefault = 0").find("** ERROR near line 1"), std::string::npos);
}

TEST(LanguageSection, CaseAppliesToWordsCompiledAfterIt) {
    auto p = compile("%%words 'a' '' 1 %%language case = 1 %%words 'b' '' 2");
    EXPECT_TRUE(p->CaseSensitive());
}

// ---- %%keys

using Binding = std::tuple<int, int, int>;

std::set<Binding> bindings(const TKeyboardActionContoller& keys) {
    std::set<Binding> out;
    keys.KeyStore().ForEachBinding([&](TShortCut k1, TShortCut k2, std::int32_t code) {
        out.insert({k1, k2, code});
    });
    return out;
}

TEST(KeysSection, EmptiesTheKeyMapAndBindsKeys) {
    auto p = compile("%%keys\n"
                     " caLEFT (LEFT | [ctrl] 'b') 'Go left'\n"
                     " caUNDO ([ctrl, shift] 'k', 'u')\n"
                     " caDOCEND ([alt] END)\n");
    const TKeyboardActionContoller& keys = p->Settings().KeyMap();
    EXPECT_EQ(bindings(keys),
              (std::set<Binding>{
                  {37, 0, 0}, {scCtrl | 'B', 0, 0}, {scCtrl | scShift | 'K', 'U', 41}, {scAlt | 35, 0, 11}}));
    EXPECT_EQ(keys.GetActionCodeName(0), "Go left");
}

TEST(KeysSection, OneCharacterKeyStandsForItsUpperCaseCode) {
    auto p = compile("%%keys 13 ('a')");
    EXPECT_EQ(bindings(p->Settings().KeyMap()), (std::set<Binding>{{65, 0, 13}}));
}

TEST(KeysSection, Errors) {
    EXPECT_EQ(compileError("%%keys 1 ('ab')"), at(1, 15, "Single character specifier expected"));
    EXPECT_EQ(compileError("%%keys 1 ()"), at(1, 12, "Key specification required"));
    EXPECT_EQ(compileError("%%keys 1 ([ctrl 'a')"), at(1, 20, "']' expected"));
    EXPECT_EQ(compileError("%%keys 1 ('a' 'b')"), at(1, 18, "')' expected"));
    EXPECT_EQ(compileError("%%keys 1 ('a') ''"), at(1, 18, "Key function name cannot be blank"));
    EXPECT_EQ(compileError("%%keys 1 (256)"), at(1, 15, "Value must be 0..255"));
    EXPECT_NE(compileError("%%keys 1 ('a') 2 ('a')").find("Duplicate key sequence definition"),
              std::string::npos);
}

// ---- %%autoreplace and %%templates

TEST(AutoReplaceSection, AddsEntriesAndActivationKeys) {
    auto p = compile("%%autoreplace 'teh' = 'the' 'adn' = 'and\\n' actionkeys = ' .'");
    const TAutoReplace& list = p->Settings().AutoReplace();
    ASSERT_EQ(list.Entries().size(), 2u);
    EXPECT_NE(list.FindEntry("teh"), nullptr);
    EXPECT_EQ(list.ActivateKeyText(), " .");
    EXPECT_EQ(compileError("%%autoreplace 'a' 'b'"), at(1, 22, "'=' expected"));
    EXPECT_EQ(compileError("%%autoreplace 'a' = 5"), at(1, 22, "String value expected"));
}

TEST(TemplatesSection, AddsTemplatesAndTheHotKey) {
    auto p = compile("%%templates\n"
                     " 'for' ('for loop') = 'for (;;) {\\n}'\n"
                     " 'if' = 'if () '\n"
                     " hotkey = ([ctrl, shift] 'j')\n");
    const TCodeTemplates& t = p->Settings().Templates();
    ASSERT_EQ(t.Entries().size(), 2u);
    EXPECT_NE(t.FindEntry("for"), nullptr);
    EXPECT_EQ(t.HotKey, scCtrl | scShift | 'J');
    EXPECT_EQ(compileError("%%templates 'x' ('d' = 'y'"), at(1, 23, "')' expected"));
    EXPECT_EQ(compileError("%%templates 'x' = "), at(1, 19, "String value expected"));
    EXPECT_EQ(compileError("%%templates hotkey = [ctrl] 'j'"), at(1, 23, "'(' expected"));
}

// ---- %%kwTables

TEST(KwTablesSection, DefinesAKeywordTableTheParserConsults) {
    auto p = compile("%%kwTables\n"
                     " forstate [] endswith '[^a-z]' ( 12 is 'select', 'from' 13 is 'where' )\n");
    const KeywordTableSet& tables = p->Settings().KeywordTables();
    ASSERT_EQ(tables.Count(), 1);
    const KeywordTableDef* def = tables.Slot(0);
    ASSERT_NE(def, nullptr);
    EXPECT_EQ(def->States, TByteSet{0});
    EXPECT_EQ(def->Terminator, "[^a-z]");
    ASSERT_EQ(def->Words.size(), 3u);
    EXPECT_EQ(def->Words[2].first, "where");
    EXPECT_EQ(def->Words[2].second, 13);
    EXPECT_EQ(tokenise(*p, "from x"), (Tokens{{0, 4, 12}, {4, 1, 0}, {5, 1, 0}}));
}

TEST(KwTablesSection, Errors) {
    EXPECT_EQ(compileError("%%kwTables forstate endswith 'x' ()"), at(1, 29, "'[' expected"));
    EXPECT_EQ(compileError("%%kwTables forstate [] 'x' ()"), at(1, 27, "'endswith' expected"));
    EXPECT_EQ(compileError("%%kwTables forstate [] endswith ()"), at(1, 34, "String value expected"));
    EXPECT_EQ(compileError("%%kwTables forstate [] endswith 'x' 1 is 'a'"), at(1, 38, "'(' expected"));
    EXPECT_EQ(compileError("%%kwTables forstate [] endswith 'x' (1 'a')"), at(1, 43, "'is' expected"));
    EXPECT_EQ(compileError("%%kwTables forstate [] endswith 'x' (1 is 2)"),
              at(1, 44, "String value expected"));
    EXPECT_EQ(compileError("%%kwTables forstate [] endswith 'x' (1 is 'a'"), at(1, 46, "')' expected"));
}

} // namespace
} // namespace qorvi
