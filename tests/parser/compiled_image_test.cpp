#include "editor/keys/keyboard_action_controller.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"
#include "parser/parser_tables.h"
#include "tests/parser/script_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::compile;
using test::tokenise;

// A small C-like language that uses every kind of table: keywords with a
// line-comment and a block-comment handler, whole-token handlers, a string
// state entered by a container-free state change, a preprocessor state with
// its own start table, a container, an extra keyword table, effects, map,
// keys, templates and auto-replace.
const char* const kScript = R"(
#define KEYWORD 1
#define COMMENT 2
#define IDENT 3
#define STRING 4
#define NUMBER 5
#define HASH 6
#define DIRECTIVE 7
#define OPERATOR 8
#define AT 9
#define SQL 20
#define PP_STATE 1

%%language
  name = 'Mini C'
  case = __sensitive
  options = __DEFAULT_OPTIONS or __OPT_LINE_NUMBERS
  exampletext = '// sample\nint x = 1;'
  anchor = [0, COMMENT]
  startstate = [0]
  contextstates = (DIRECTIVE [PP_STATE])
  boundstates = [PP_STATE]
  editablestyles ('Keyword', KEYWORD), ('Comment', COMMENT), ('String', STRING)
  tabcolumns = '5 9'
  indentstep = 4

%%words
  'int'    '[^a-zA-Z0-9_]' KEYWORD
  'return' '[^a-zA-Z0-9_]' KEYWORD
  '//'     ''              COMMENT
  '/*'     ''              COMMENT + 10
  '#'      ''              HASH

%%handlers
  COMMENT      '[^\n]' ? '\n' 0
  COMMENT + 10 '[\x00-\xff]' ? '*/' 1

%%tokens
  IDENT  __STD_IDENTIFIER
  NUMBER __STD_NUMBER_OR_FP
  STRING __STD_C_STRING
  OPERATOR '[-+*/=;(){}<>]' '[=]' ? '' 0
  AT '@' '[a-z]' ? '[^a-z]' 0
  InState PP_STATE (
    DIRECTIVE '[a-z]' '[a-z]' ? '[^a-z]' 0
  )

%%states
  HASH ( + PP_STATE )
  DIRECTIVE ( - PP_STATE )

%%containers
  AT ( + PP_STATE - 0 )

%%map
  KEYWORD 1 COMMENT 2 COMMENT + 10 2 STRING 3 NUMBER 4 DIRECTIVE 5 SQL 6

%%effects
  0 [] clBlack clWhite
  1 [fsBold] clNavy clWhite *
  2 [fsItalic] clGreen clWhite
  3 [] clMaroon clWhite
  4 [] clRed clWhite
  5 [fsBold, fsUnderline] clPurple clWhite 'hotspot'
  6 [] clTeal clWhite

// The extra keyword tables match with their own case flag, which the image
// carries (the parser's flag is not part of it).
%%language case = __insensitive
%%kwTables
  forstate [0] endswith '[^a-zA-Z]' ( SQL is 'select', 'from' )

%%keys
  caLEFT (LEFT) 'Left'
  caUNDO ([ctrl] 'z' | [alt] BACKSPACE) 'Undo'

%%templates
  'fori' ('for loop') = 'for (int i = 0; i < |; ++i)'

%%autoreplace
  'teh' = 'the'
)";

const char* const kSample = "#include <x>\n"
                            "int main() { // start\n"
                            "  /* block\n"
                            "     comment */ return x + 12.5e3 - \"s\\\"q\";\n"
                            "  @abc SELECT y FROM z; #define\n"
                            "}\n";

std::unique_ptr<TRudivoVoruParser> readBack(TRudivoVoruParser& source, std::string* bytes = nullptr) {
    TMemoryStream image;
    source.WriteParserData(image);
    if (bytes)
        *bytes = image.DataString();
    image.SetPosition(0);
    auto copy = std::make_unique<TRudivoVoruParser>();
    copy->ReadParserData(image);
    return copy;
}

TEST(CompiledImage, ReadBackParserTokenisesLikeTheCompilingParser) {
    auto compiled = compile(kScript);
    auto copy = readBack(*compiled);
    const auto expected = tokenise(*compiled, kSample);
    EXPECT_EQ(tokenise(*copy, kSample), expected);
    // The sample exercises more than one-character tokens of value 0.
    int distinct = 0;
    std::vector<bool> seen(256);
    for (const test::Token& t : expected)
        if (!seen[static_cast<std::size_t>(t.value)]) {
            seen[static_cast<std::size_t>(t.value)] = true;
            ++distinct;
        }
    EXPECT_GE(distinct, 9);
}

TEST(CompiledImage, SettingsTravelWithTheImage) {
    auto compiled = compile(kScript);
    auto copy = readBack(*compiled);
    const TSM_Settings& a = compiled->Settings();
    const TSM_Settings& b = copy->Settings();
    EXPECT_EQ(b.LanguageName(), "Mini C");
    EXPECT_EQ(b.ScriptText(), a.ScriptText());
    EXPECT_EQ(b.Options(), a.Options());
    EXPECT_EQ(b.IndentStep(), 4);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(b.GetMapEntry(i), a.GetMapEntry(i)) << i;
        EXPECT_EQ(b.GetFormatEntry(i), a.GetFormatEntry(i)) << i;
    }
    for (int i = 1; i <= kEditableCount; ++i)
        EXPECT_EQ(b.GetEditableEntry(i).Name, a.GetEditableEntry(i).Name);
    EXPECT_EQ(b.GetTabStops(), a.GetTabStops());
    EXPECT_EQ(b.KeyMap().KeyStore().BindingCount(), 3);
    EXPECT_EQ(b.KeyMap().GetActionCodeName(41), "Undo");
    EXPECT_EQ(b.Templates().Entries().size(), 1u);
    EXPECT_EQ(b.AutoReplace().Entries().size(), 1u);
    EXPECT_EQ(b.KeywordTables().Count(), 1);
    EXPECT_EQ(copy->Tables().Anchor(), (TByteSet{0, 2}));
    EXPECT_EQ(copy->Tables().BoundStates(), TByteSet{1});
    EXPECT_EQ(copy->Tables().ContextStates(7), TByteSet{1});
}

TEST(CompiledImage, ImageOfTheReadBackParserReadsBackTheSame) {
    auto compiled = compile(kScript);
    auto copy = readBack(*compiled);
    auto again = readBack(*copy);
    EXPECT_EQ(tokenise(*again, kSample), tokenise(*compiled, kSample));
}

} // namespace
} // namespace qorvi
