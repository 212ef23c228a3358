// The sections that say how tokens are recognised: %%words (keywords),
// %%handlers (how a keyword's token goes on) and %%tokens (tokens by their
// first character, at top level or inside InState blocks).

#include "editor/lexicon/char_group.h"
#include "editor/lexicon/syntax_keywords.h"
#include "editor/support/rudivo_voru_error.h"
#include "parser/parser_tables.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "parser/script_messages.h"
#include "parser/std_token_data.h"
#include "parser/sym_compiler.h"
#include "parser/sym_lexemes.h"

#include <string_view>

namespace qorvi {

namespace {

// Character handlers a continuation or terminator may name (slots 0-2), and
// the whole-token handlers a %%handlers continuation or a token start may.
constexpr int kLastCharHandler = 2;
constexpr int kFirstTokenHandlerNumber = 10;
constexpr int kLastTokenHandlerNumber = 20;

bool isTokenHandler(std::int32_t n) {
    return n >= kFirstTokenHandlerNumber && n <= kLastTokenHandlerNumber;
}

} // namespace

TSM_StateChanges& TScriptCompiler::stateChangesOf(std::uint8_t value, const TByteSet& validIn) {
    if (TSM_StateChanges* existing = tables().StateChanges(value))
        return *existing;
    TSM_StateChanges fresh;
    fresh.ValidIn = validIn;
    return tables().SetStateChanges(value, fresh);
}

void TScriptCompiler::ReadContinuation(TSM_SpecRec& spec, bool tokenHandlersAllowed) {
    if (lexeme_ == kLexMatch) {
        spec.IsHandler = 1;
        spec.IsCustom = 1;
        spec.HandlerIndex = ReadCustomMatch();
        return;
    }
    if (lexeme_ == kLexString) {
        spec.CharSet = intern(ReadSingleSpecifier());
        return;
    }
    const std::int32_t n = Expression();
    // The runtime uses the number as a handler slot; anything else would
    // name no handler or the wrong one.
    if (tokenHandlersAllowed) {
        if (!(n >= 0 && n <= kLastCharHandler) && !isTokenHandler(n))
            Error(kMsgBadContinuationHandler);
    } else if (n < 0 || n > kLastCharHandler) {
        Error(kMsgBadCharHandler);
    }
    spec.IsHandler = 1;
    spec.HandlerIndex = n;
}

// ---- %%words: word-string follow-string value [state-list]

void TScriptCompiler::CompileWordsSection() {
    setItem("%%Words");
    Fetch();
    while (lexeme_ == kLexString) {
        const std::string word = ReadString();
        const TSM_CharGroup follow = ReadSingleSpecifier();
        const std::uint8_t value = ReadValue();
        setItem("%%Words", value);
        TByteSet states{0};
        if (lexeme_ == kLexOpenBracket)
            states = ReadByteSet();
        try {
            tables().Keywords().Add(word, parser_.CaseSensitive(), follow, states, value);
        } catch (const EKeywords& e) {
            const std::string text = e.message();
            Error(text.rfind("Duplicate keyword", 0) == 0 ? std::string(kMsgDuplicateWord) : text);
        }
        TByteSet validIn{0};
        validIn |= states;
        TSM_StateChanges& sc = stateChangesOf(value, validIn);
        sc.ValidIn |= states;
    }
}

// ---- %%handlers: value continuation [?] [terminator include]

void TScriptCompiler::CompileHandlersSection() {
    setItem("%%Handlers");
    Fetch();
    while (atExpression()) {
        const std::uint8_t value = ReadValue();
        setItem("%%Handlers", value);
        TSM_HandlerActions h;
        ReadContinuation(h.Continuation, true);
        if (lexeme_ == kLexQuestion) {
            h.Continuation.Optional = 1;
            Fetch();
        }
        if (!h.Continuation.IsCustom) {
            TSM_EndsAction& t = h.Terminator;
            if (lexeme_ == kLexMatch) {
                t.IsHandler = 1;
                t.IsCustom = 1;
                t.HandlerIndex = ReadCustomMatch();
                t.Include = Expression() != 0;
            } else if (lexeme_ == kLexString) {
                t.Count = ReadSpecifiers(t.CharSets);
                t.Include = Expression() != 0;
            }
        }
        if (tables().Handler(value))
            Error(kMsgDuplicateHandler);
        tables().SetHandler(value, h);
    }
}

// ---- %%tokens: value start [continuation [?] terminator include] [state-list]

void TScriptCompiler::CompileTokensSection() {
    setItem("%%Tokens");
    Fetch();
    for (;;) {
        if (atExpression()) {
            CompileTokenEntry(tables().StartTable(), TByteSet{0});
        } else if (lexeme_ == kLexInState) {
            Fetch();
            const std::uint8_t state = ReadValue();
            Accept(kLexOpenParen, kMsgOpenParenExpected);
            TSM_StatesTable& table = tables().EnsureStateTable(state);
            TByteSet valid;
            valid.Include(state);
            while (atExpression())
                CompileTokenEntry(table, valid);
            Accept(kLexCloseParen, kMsgCloseParenExpected);
        } else {
            break;
        }
    }
}

void TScriptCompiler::CompileTokenEntry(TSM_StatesTable& table, const TByteSet& validStates) {
    const std::uint8_t value = ReadValue();
    setItem("%%Tokens", value);
    TSM_TokenActions e;
    e.TokenValue = value;
    TSM_CharGroup start;
    if (lexeme_ == kLexString) {
        start = ReadSingleSpecifier();
        e.Start.CharSet = intern(start);
        ReadContinuation(e.Continuation, false);
        if (!e.Continuation.IsCustom) {
            if (lexeme_ == kLexQuestion) {
                e.Continuation.Optional = 1;
                Fetch();
            }
            TSM_EndsAction& t = e.Terminator;
            if (lexeme_ == kLexMatch) {
                t.IsHandler = 1;
                t.IsCustom = 1;
                t.HandlerIndex = ReadCustomMatch();
            } else if (lexeme_ == kLexString) {
                t.Count = ReadSpecifiers(t.CharSets);
            } else {
                const std::int32_t n = Expression();
                if (n < 0 || n > kLastCharHandler)
                    Error(kMsgBadCharHandler);
                t.IsHandler = 1;
                t.HandlerIndex = n;
            }
            t.Include = Expression() != 0;
        }
    } else {
        const std::int32_t n = Expression();
        if (!isTokenHandler(n))
            Error(kMsgScriptSyntaxError);
        start = STD_TokenData(n);
        e.Start.IsHandler = 1;
        e.Start.HandlerIndex = n;
        e.Start.CharSet = intern(start);
    }

    e.ValidStates = validStates;
    if (lexeme_ == kLexOpenBracket)
        e.ValidStates |= ReadByteSet();
    TSM_StateChanges& sc = stateChangesOf(value, e.ValidStates);
    sc.ValidIn |= e.ValidStates;

    for (int c = 0; c < 256; ++c) {
        if (start.ContainsChar(static_cast<std::uint8_t>(c)) && table.Slots[static_cast<std::size_t>(c)])
            Error(kMsgAmbiguousStartSet);
    }
    for (const TSM_CharGroup::Range& r : start.Ranges()) {
        for (const TSM_WideActions& w : table.Wide)
            if (r.first <= w.Hi && w.Lo <= r.second)
                Error(kMsgAmbiguousStartSet);
    }
    for (int c = 0; c < 256; ++c)
        if (start.ContainsChar(static_cast<std::uint8_t>(c)))
            TParserTables::SetTokenActions(table, static_cast<std::uint8_t>(c), e);
    for (const TSM_CharGroup::Range& r : start.Ranges())
        TParserTables::AddWideActions(table, r.first, r.second, e);
}

} // namespace qorvi
