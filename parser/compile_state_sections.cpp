// The sections that say what a token does to the parser's states
// (%%states, %%containers) and how each token value is painted (%%map,
// %%effects).

#include "editor/settings/editor_settings.h"
#include "editor/settings/format_entry.h"
#include "parser/parser_tables.h"
#include "parser/script_compiler.h"
#include "parser/script_messages.h"
#include "parser/sym_compiler.h"
#include "parser/sym_lexemes.h"

namespace qorvi {

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c | 0x20);
    return text;
}

} // namespace

// ---- %%states: value [push|pop] ( {(+|-) (operand | state-list)} ) [push|pop]
// ---- %%containers: value ( {(+|-) (operand | state-list)} )

void TScriptCompiler::CompileStatesSection(bool containers) {
    const char* section = containers ? "%%Containers" : "%%States";
    setItem(section);
    Fetch();
    while (atExpression()) {
        const std::uint8_t value = ReadValue();
        setItem(section, value);
        std::uint8_t leading = 0;
        if (!containers && lexeme_ == kLexPush) {
            leading = kPushBefore;
            Fetch();
        } else if (!containers && lexeme_ == kLexPop) {
            leading = kPopBefore;
            Fetch();
        }
        Accept(kLexOpenParen, kMsgOpenParenExpected);
        TSM_StateChanges& sc = stateChangesOf(value, TByteSet{0});
        if (leading)
            sc.StackOps = leading;
        if (containers)
            sc.IsContainer = 1;
        while (lexeme_ == kLexPlus || lexeme_ == kLexMinus) {
            const bool enter = lexeme_ == kLexPlus;
            Fetch();
            // A single value is one operand, so that "+ 1 - 0" enters 1 and
            // leaves 0; arithmetic goes in parentheses.
            TByteSet states;
            if (lexeme_ == kLexOpenBracket) {
                states = ReadByteSet();
            } else {
                const std::int32_t v = Operand();
                if (v < 0 || v > 255)
                    Error(kMsgValueRange);
                states.Include(static_cast<std::uint8_t>(v));
            }
            (enter ? sc.Enter : sc.Leave) |= states;
            sc.NoChange = sc.Enter.IsEmpty() && sc.Leave.IsEmpty();
        }
        Accept(kLexCloseParen, kMsgCloseParenExpected);
        if (!containers && lexeme_ == kLexPush) {
            sc.StackOps = kPushAfter;
            Fetch();
        } else if (!containers && lexeme_ == kLexPop) {
            // A pop afterwards restores the states: any change is moot.
            sc.StackOps = kPopAfter;
            sc.Enter.Clear();
            sc.Leave.Clear();
            sc.NoChange = 1;
            Fetch();
        }
    }
}

// ---- %%map: value style

void TScriptCompiler::CompileMapSection() {
    setItem("%%Map");
    Fetch();
    while (atExpression()) {
        const std::uint8_t value = ReadValue();
        setItem("%%Map", value);
        settings().SetMapEntry(value, ReadValue());
    }
}

// ---- %%effects: value [ font-styles ] foreground [*] background [*] [hot-spot string]

std::uint8_t TScriptCompiler::ReadFontStyles() {
    Accept(kLexOpenBracket, kMsgOpenBracketExpected);
    std::uint8_t style = 0;
    while (lexeme_ != kLexCloseBracket) {
        if (!atExpression())
            Error(kMsgBadFontStyle);
        const std::int32_t n = Expression();
        // Numbers up to 7 name a bit of the style byte; others are ignored.
        if (n >= 0 && n <= 7)
            style = static_cast<std::uint8_t>(style | (1u << n));
        if (lexeme_ == kLexComma)
            Fetch();
        else if (lexeme_ != kLexCloseBracket)
            Error(kMsgCloseBracketExpected);
    }
    Fetch();
    return style;
}

void TScriptCompiler::CompileEffectsSection() {
    setItem("%%Effects");
    Fetch();
    while (atExpression()) {
        const std::uint8_t value = ReadValue();
        setItem("%%Effects", value);
        TFormatEntry entry;
        entry.Style = ReadFontStyles();
        entry.TextColor = Expression();
        if (lexeme_ == kLexStar) {
            entry.DefaultText = 1;
            Fetch();
        }
        entry.BackColor = Expression();
        if (lexeme_ == kLexStar) {
            entry.DefaultBack = 1;
            Fetch();
        }
        // Any other string is left for the section loop.
        if (lexeme_ == kLexString && lowerCase(pp_->GetStrLiteral()) == "hotspot") {
            entry.HotSpot = 1;
            Fetch();
        }
        if (value != 0 && settings().GetFormatEntry(value).InUse)
            Error(kMsgDuplicateEffect);
        entry.InUse = 1;
        settings().SetFormatEntry(value, entry);
    }
}

} // namespace qorvi
