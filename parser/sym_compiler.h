#pragma once

// The preprocessor of parser scripts. It reads the script text, removes
// comments, performs #define, #ifdef, #ifndef, #else, #endif and #include,
// expands macros (so that names such as clRed become numbers) and hands the
// script compiler one lexeme at a time through yylex. Every script error,
// also those the compiler finds, is raised through RaiseError, which adds
// the line and column reached.
//
// Texts are NUL-terminated buffers; the cursor walks the innermost one. A
// macro expansion or an included file pushes a nest record that remembers
// where to resume in the enclosing text; reaching the NUL of a nested text
// pops it. Nothing here recurses, and the nest depth and the total size of
// nested text are bounded, so a hostile script ends with a script error
// rather than a stack overflow or an endless expansion.
//
// Scripts pass through the same line-break normalisation as documents, so
// LF, CR LF and CR scripts read alike: comments and #define lines end at CR,
// lines are counted at CR.

#include "parser/word_store.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace qorvi {

class TStream;

enum TSYM_CompilerState : std::uint8_t {
    symcsNOEXPAND = 1,    // no macro expansion, '#' is an ordinary character
    symcsCONDITIONAL = 2, // declared, never set
    symcsSKIPPING = 4,    // inside the false branch of a conditional
};

class TSYM_Compiler {
public:
    static constexpr int kMaxNestDepth = 256;
    // Texts read through nest records, each counting kNestCost more, so that
    // an exponential expansion or a flood of empty macros ends quickly.
    static constexpr std::int64_t kMaxNestedBytes = 4 << 20;
    static constexpr std::int64_t kNestCost = 16;
    // Names are stored in a trie of one node per character, and a line is
    // read character by character: both are bounded, so a crafted script
    // ends with a script error instead of taking gigabytes.
    static constexpr int kMaxIdentifierLength = 255;
    static constexpr int kMaxLineLength = 65536;

    // Copies the stream from its position to its end. `baseDirectory` is the
    // directory of the script, where #include <name> looks.
    TSYM_Compiler(TStream& script, std::string baseDirectory);
    TSYM_Compiler(const TSYM_Compiler&) = delete;
    TSYM_Compiler& operator=(const TSYM_Compiler&) = delete;

    // The next lexeme code (parser/sym_lexemes.h); 93 at the end, also when
    // a conditional was left open. An identifier that is neither a macro nor
    // a keyword, and a character that starts no lexeme, raise script errors.
    int yylex();

    // Details of the last lexeme.
    int Lexeme() const { return lexeme_; }
    std::int32_t Number() const { return number_; }
    const std::string& Identifier() const { return identifier_; }
    // A string literal exactly as written between its quotes.
    const std::string& RawString() const { return rawString_; }
    // The last string literal with its escapes decoded.
    std::string GetStrLiteral() const;

    // Raises ESYM_COMP_ERROR "** ERROR near line %d, Column %d: %s".
    [[noreturn]] void RaiseError(const std::string& message) const;

    // Zero-based counters of the position reached.
    int Line() const { return line_; }
    int Column() const { return column_; }
    std::uint8_t State() const { return state_; }

    void DefineMacro(std::string_view name, std::string_view text) { macros_.InsertMacro(name, text); }
    bool IsMacroDefined(std::string_view name) const { return macros_.IsDefined(name); }

private:
    struct NestRecord {
        std::string name;
        TWordStore::MacroText text;
        const char* resume;    // where the enclosing text goes on
        std::string directory; // an included file's directory, else empty
        bool isFile;
    };

    // The character at the cursor, leaving every finished nested text first.
    unsigned char CChar();
    // Steps over one character of the current text, counting lines and columns.
    void step();
    void countColumns(int n);
    // Skips white space, comments and directives and expands macros.
    void NextChar();
    int NextLexeme();
    void Nest(const std::string& name, TWordStore::MacroText text, std::string directory = {});

    void DoDefine();
    void DoIFDEF(bool wantDefined);
    void DoELSE();
    void DoENDIF();
    void DoINCLUDE();

    // Reads an identifier of the current text at the cursor.
    std::string ReadIdentifier();
    void ReadDecimalNumber();
    void ReadStringLiteral();
    // The directory #include "name" resolves a relative name against.
    std::string includingDirectory() const;

    std::string script_;
    const char* cursor_ = nullptr;
    std::string baseDirectory_;
    int line_ = 0;
    int column_ = 0;
    int fileColumn_ = 0; // characters of the current line of a file text
    std::uint8_t state_ = 0;
    std::vector<std::uint8_t> conditions_;
    std::vector<NestRecord> nest_;
    std::unordered_set<std::string> nestNames_; // lower-cased names on the nest stack
    std::int64_t nestedBytes_ = 0;
    TWordStore macros_;
    TWordStore keywords_;

    int lexeme_ = 0;
    std::int32_t number_ = 0;
    std::string identifier_;
    std::string rawString_;
    unsigned char character_ = 0;
};

// The decoding of a string literal's raw text (GetStrLiteral).
std::string DecodeStrLiteral(std::string_view raw);

// A whole stream from its position, with its line breaks normalised to CR
// and cut at the first NUL, as the preprocessor reads scripts.
std::string ReadScriptText(TStream& stream);
// The same for text already read.
std::string NormaliseScriptText(std::string raw);

} // namespace qorvi
