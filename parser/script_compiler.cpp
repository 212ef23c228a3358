#include "parser/script_compiler.h"

#include "editor/lexicon/char_group.h"
#include "editor/support/file_stream.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "parser/parser_tables.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_messages.h"
#include "parser/sym_compiler.h"
#include "parser/sym_lexemes.h"
#include "platform/file_system.h"

namespace qorvi {

void CompileScript(TRudivoVoruParser& parser) {
    if (parser.Script.empty())
        return;
    TFileStream file(parser.Script);
    CompileFromStream(parser, file);
    parser.UpdateEditors();
}

void CompileFromStream(TRudivoVoruParser& parser, TStream& stream) {
    TScriptCompiler compiler(parser);
    compiler.CompileFromStream(stream,
                               parser.Script.empty() ? std::string() : fs::directoryPart(parser.Script));
}

TScriptCompiler::TScriptCompiler(TRudivoVoruParser& parser) : parser_(parser) {
}

TScriptCompiler::~TScriptCompiler() = default;

TParserTables& TScriptCompiler::tables() {
    return parser_.Tables();
}

TSM_Settings& TScriptCompiler::settings() {
    return parser_.Settings();
}

void TScriptCompiler::CompileFromStream(TStream& stream, const std::string& baseDirectory) {
    parser_.Reset();
    item_ = "Header";
    expressionDepth_ = 0;
    pp_ = std::make_unique<TSYM_Compiler>(stream, baseDirectory);
    struct KeepPosition {
        TScriptCompiler& c;
        ~KeepPosition() {
            c.finalLine_ = c.pp_->Line();
            c.finalColumn_ = c.pp_->Column();
            c.pp_.reset();
        }
    } keep{*this};

    Fetch();
    while (lexeme_ != kLexEnd) {
        switch (lexeme_) {
        case kLexLanguage:
            CompileLanguageSection();
            break;
        case kLexWords:
            CompileWordsSection();
            break;
        case kLexHandlers:
            CompileHandlersSection();
            break;
        case kLexTokens:
            CompileTokensSection();
            break;
        case kLexMap:
            CompileMapSection();
            break;
        case kLexEffects:
            CompileEffectsSection();
            break;
        case kLexStates:
            CompileStatesSection(false);
            break;
        case kLexContainers:
            CompileStatesSection(true);
            break;
        case kLexKeys:
            CompileKeysSection();
            break;
        case kLexAutoReplace:
            CompileAutoReplaceSection();
            break;
        case kLexTemplates:
            CompileTemplatesSection();
            break;
        case kLexKwTables:
            CompileKwTablesSection();
            break;
        default:
            Error(kMsgScriptSyntaxError);
        }
    }
    tables().CompleteCompiledTables();
}

// ---- primitives

void TScriptCompiler::Fetch() {
    lexeme_ = pp_->yylex();
}

void TScriptCompiler::Accept(int code, const char* message) {
    if (lexeme_ != code)
        Error(message);
    Fetch();
}

void TScriptCompiler::FetchAccept(int code, const char* message) {
    Fetch();
    Accept(code, message);
}

bool TScriptCompiler::FetchCheck(int code) {
    Fetch();
    return Check(code);
}

std::int32_t TScriptCompiler::CheckRange(std::int32_t value, std::int32_t low, std::int32_t high) {
    if (value < low || value > high)
        throw ERudivoVoru(formatMsg(kMsgRangeError, low, high));
    return value;
}

void TScriptCompiler::SkipComma() {
    if (lexeme_ == kLexComma)
        Fetch();
}

void TScriptCompiler::Error(const std::string& message) const {
    pp_->RaiseError(message);
}

bool TScriptCompiler::atExpression() const {
    return lexeme_ == kLexNumber || lexeme_ == kLexOpenParen;
}

std::int32_t TScriptCompiler::Operand() {
    if (lexeme_ == kLexNumber) {
        const std::int32_t v = pp_->Number();
        Fetch();
        return v;
    }
    if (lexeme_ != kLexOpenParen)
        Error(kMsgExpressionExpected);
    if (expressionDepth_ >= kMaxExpressionDepth)
        Error(kMsgExpressionExpected);
    ++expressionDepth_;
    Fetch();
    const std::int32_t v = Expression();
    if (lexeme_ != kLexCloseParen)
        Error(kMsgExpressionExpected);
    Fetch();
    --expressionDepth_;
    return v;
}

std::int32_t TScriptCompiler::Expression() {
    // Evaluated strictly left to right in 32-bit arithmetic that wraps.
    std::uint32_t value = static_cast<std::uint32_t>(Operand());
    for (;;) {
        const int op = lexeme_;
        if (op != kLexPlus && op != kLexMinus && op != kLexOr)
            break;
        Fetch();
        const std::uint32_t rhs = static_cast<std::uint32_t>(Operand());
        if (op == kLexPlus)
            value += rhs;
        else if (op == kLexMinus)
            value -= rhs;
        else
            value |= rhs;
    }
    return static_cast<std::int32_t>(value);
}

TByteSet TScriptCompiler::ReadByteSet() {
    Accept(kLexOpenBracket, kMsgOpenBracketExpected);
    TByteSet set;
    while (lexeme_ != kLexCloseBracket) {
        if (!atExpression())
            Error(kMsgCloseBracketExpected);
        set.Include(ReadValue());
        SkipComma();
    }
    Fetch();
    return set;
}

// ---- helpers

std::uint8_t TScriptCompiler::ReadValue() {
    const std::int32_t v = Expression();
    if (v < 0 || v > 255)
        Error(kMsgValueRange);
    return static_cast<std::uint8_t>(v);
}

TByteSet TScriptCompiler::ReadSetOrValue() {
    if (lexeme_ == kLexOpenBracket)
        return ReadByteSet();
    TByteSet set;
    set.Include(ReadValue());
    return set;
}

std::string TScriptCompiler::ReadString() {
    if (lexeme_ != kLexString)
        Error(kMsgStringExpected);
    std::string s = pp_->GetStrLiteral();
    Fetch();
    return s;
}

std::string TScriptCompiler::ReadRawString() {
    if (lexeme_ != kLexString)
        Error(kMsgStringExpected);
    std::string s = pp_->RawString();
    Fetch();
    return s;
}

// Specifiers are checked before the next lexeme is read, so that an error
// points at the string.
TSM_CharGroup TScriptCompiler::ReadSingleSpecifier() {
    if (lexeme_ != kLexString)
        Error(kMsgStringExpected);
    const std::string raw = pp_->RawString();
    TSM_CharGroup group;
    if (!raw.empty()) {
        int pos = 1;
        try {
            TSM_CharGroup_SetFromString(raw, pos, group);
        } catch (const ERudivoVoru& e) {
            Error(e.message());
        }
        if (pos != static_cast<int>(raw.size()) + 1)
            Error(kMsgSingleCharSpec);
    }
    Fetch();
    return group;
}

std::uint8_t TScriptCompiler::ReadSpecifiers(std::array<std::uint16_t, 4>& ids) {
    if (lexeme_ != kLexString)
        Error(kMsgStringExpected);
    const std::string raw = pp_->RawString();
    std::uint8_t count = 0;
    int pos = 1;
    while (pos <= static_cast<int>(raw.size())) {
        if (count == ids.size())
            Error(kMsgMaxFourCharSpecs);
        TSM_CharGroup group;
        try {
            TSM_CharGroup_SetFromString(raw, pos, group);
        } catch (const ERudivoVoru& e) {
            Error(e.message());
        }
        ids[count++] = intern(group);
    }
    Fetch();
    return count;
}

std::uint16_t TScriptCompiler::intern(const TSM_CharGroup& group) {
    try {
        return tables().InternGroup(group);
    } catch (const ERudivoVoru& e) {
        Error(e.message());
    }
}

std::int32_t TScriptCompiler::ReadCustomMatch() {
    Fetch(); // match
    Accept(kLexOpenParen, kMsgOpenParenExpected);
    const std::int32_t id = Expression();
    Accept(kLexCloseParen, kMsgCloseParenExpected);
    tables().SetUsesCustomMatch(1);
    return id;
}

void TScriptCompiler::setItem(const char* section) {
    item_ = section;
}

void TScriptCompiler::setItem(const char* section, int value) {
    item_ = std::string(section) + " - " + std::to_string(value);
}

} // namespace qorvi
