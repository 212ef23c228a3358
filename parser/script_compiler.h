#pragma once

// The compiler of parser scripts. It reads a script through the
// preprocessor, which has already turned every name into a number, and fills
// a parser's tables (keywords, handlers, start tables, state changes,
// context sets) and its settings (language options, styles, key map,
// auto-replace, templates, extra keyword tables).
//
// A script is a sequence of sections, each a keyword followed by entries;
// an entry begins with the lexeme its section expects, and any other lexeme
// ends the section and goes back to the section loop. Sections may come in
// any order and more than once; later entries add to the same tables. The
// parser is Reset first, and an error stops the compilation at once, leaving
// whatever was built so far.
//
// This class holds the parsing primitives and the section loop; the
// sections themselves live in the compile_*_section(s).cpp files.

#include "editor/support/byte_set.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace qorvi {

class TCodeTemplates;
class TParserTables;
class TRudivoVoruParser;
class TSM_CharGroup;
class TSM_Settings;
struct TSM_StatesTable;
class TStream;
class TSYM_Compiler;
struct TSM_SpecRec;
struct TSM_EndsAction;
struct TSM_StateChanges;

// Compiles the file named by the parser's Script and then lets every
// attached control take the new tables. An empty name does nothing; a file
// that cannot be read raises EFOpenError.
void CompileScript(TRudivoVoruParser& parser);
// Compiles one script read from `stream`; #include <name> looks in the
// directory of the parser's Script.
void CompileFromStream(TRudivoVoruParser& parser, TStream& stream);

class TScriptCompiler {
public:
    // Parentheses nested deeper than this in an expression end the
    // compilation with a script error rather than exhausting the stack.
    static constexpr int kMaxExpressionDepth = 200;

    explicit TScriptCompiler(TRudivoVoruParser& parser);
    ~TScriptCompiler();
    TScriptCompiler(const TScriptCompiler&) = delete;
    TScriptCompiler& operator=(const TScriptCompiler&) = delete;

    void CompileFromStream(TStream& stream, const std::string& baseDirectory);

    // The preprocessor's zero-based line and column when the compilation
    // ended, also after an error.
    int FinalLine() const { return finalLine_; }
    int FinalColumn() const { return finalColumn_; }
    // What was being compiled: "Header", a section ("%%Tokens"), or an entry
    // ("%%Tokens - 5").
    const std::string& ItemDescription() const { return item_; }

private:
    // ---- primitives
    void Fetch();
    // The current lexeme must be `code`; then fetches.
    void Accept(int code, const char* message);
    void FetchAccept(int code, const char* message);
    bool Check(int code) const { return lexeme_ == code; }
    bool FetchCheck(int code);
    // Raises ERudivoVoru "Range error, value outwith %d .. %d", without a
    // position, when `value` is outside low ... high.
    static std::int32_t CheckRange(std::int32_t value, std::int32_t low, std::int32_t high);
    void SkipComma();
    // `[` values `]`.
    TByteSet ReadByteSet();
    std::int32_t Expression();
    // A number or a parenthesised expression.
    std::int32_t Operand();
    [[noreturn]] void Error(const std::string& message) const;

    // ---- helpers shared by the sections
    bool atExpression() const;
    // An expression that must be 0-255 ("Value must be 0..255").
    std::uint8_t ReadValue();
    // A single expression as a one-member set, or a state list.
    TByteSet ReadSetOrValue();
    // The current string literal, decoded, then fetches; "String value
    // expected" when the lexeme is not a string.
    std::string ReadString();
    std::string ReadRawString();
    // The current string literal as exactly one character specifier.
    TSM_CharGroup ReadSingleSpecifier();
    // The current string literal as up to four specifiers; returns the count.
    std::uint8_t ReadSpecifiers(std::array<std::uint16_t, 4>& ids);
    std::uint16_t intern(const TSM_CharGroup& group);
    // `match` `(` expression `)` as a custom handler spec.
    std::int32_t ReadCustomMatch();
    // A continuation (custom match, character group or handler number).
    void ReadContinuation(TSM_SpecRec& spec, bool tokenHandlersAllowed);
    // `[` style numbers `]` as a font style byte.
    std::uint8_t ReadFontStyles();
    // Optional `[` [`*`] `]` before a colour; returns the default mark.
    std::uint8_t ReadDefaultMark();
    // [`[` modifiers `]`] key: a key code or a one-character string.
    std::uint16_t ReadKeyBinding();
    std::uint8_t ReadKey();
    void setItem(const char* section);
    void setItem(const char* section, int value);
    // The state-change entry of `value`, created with the defaults when missing.
    TSM_StateChanges& stateChangesOf(std::uint8_t value, const TByteSet& validIn);

    // ---- sections
    void CompileLanguageSection();
    void CompileEditableStyles();
    void CompileContextStates();
    void CompileWordsSection();
    void CompileHandlersSection();
    void CompileTokensSection();
    void CompileTokenEntry(TSM_StatesTable& table, const TByteSet& validStates);
    void CompileStatesSection(bool containers);
    void CompileMapSection();
    void CompileEffectsSection();
    void CompileKeysSection();
    void CompileAutoReplaceSection();
    void CompileTemplatesSection();
    void CompileKwTablesSection();

    TParserTables& tables();
    TSM_Settings& settings();

    TRudivoVoruParser& parser_;
    std::unique_ptr<TSYM_Compiler> pp_;
    int lexeme_ = 0;
    int expressionDepth_ = 0;
    std::string item_ = "Header";
    int finalLine_ = 0;
    int finalColumn_ = 0;
};

} // namespace qorvi
