// The sections that fill the language's editing aids: %%keys (the key
// map), %%autoreplace, %%templates and %%kwTables (extra keyword tables).

#include "editor/keys/keyboard_action_controller.h"
#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "parser/script_messages.h"
#include "parser/sym_compiler.h"
#include "parser/sym_lexemes.h"
#include "platform/keys.h"

namespace qorvi {

// ---- keys: an expression 0-255 or a one-character string

std::uint8_t TScriptCompiler::ReadKey() {
    if (lexeme_ == kLexString) {
        const std::string text = pp_->GetStrLiteral();
        if (text.size() != 1)
            Error(kMsgSingleCharSpec);
        Fetch();
        unsigned char c = static_cast<unsigned char>(text[0]);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        return c;
    }
    if (!atExpression())
        Error(kMsgKeySpecRequired);
    return ReadValue();
}

// [ `[` modifiers `]` ] key: the key's shortcut with the modifiers.
std::uint16_t TScriptCompiler::ReadKeyBinding() {
    TShiftState shift = 0;
    if (lexeme_ == kLexOpenBracket) {
        Fetch();
        for (;;) {
            if (lexeme_ == kLexShift)
                shift |= ssShift;
            else if (lexeme_ == kLexAlt)
                shift |= ssAlt;
            else if (lexeme_ == kLexCtrl)
                shift |= ssCtrl;
            else
                break;
            Fetch();
            SkipComma();
        }
        Accept(kLexCloseBracket, kMsgCloseBracketExpected);
    }
    return makeShortCut(ReadKey(), shift);
}

// ---- %%keys: action [( binding { | binding } )] [name-string]

void TScriptCompiler::CompileKeysSection() {
    setItem("%%Keys");
    TKeyboardActionContoller& keys = settings().KeyMap();
    keys.Clear();
    Fetch();
    while (atExpression()) {
        const std::int32_t action = Expression();
        setItem("%%Keys", action);
        if (lexeme_ == kLexOpenParen) {
            Fetch();
            for (;;) {
                const TShortCut key1 = ReadKeyBinding();
                TShortCut key2 = 0;
                if (lexeme_ == kLexComma) {
                    Fetch();
                    key2 = ReadKey();
                }
                try {
                    keys.DefineKeyAction(key1, key2, action);
                } catch (const ERudivoVoru& e) {
                    Error(e.message());
                }
                if (lexeme_ != kLexBar)
                    break;
                Fetch();
            }
            Accept(kLexCloseParen, kMsgCloseParenExpected);
        }
        if (lexeme_ == kLexString) {
            const std::string name = ReadString();
            if (name.empty())
                Error(kMsgKeyNameBlank);
            keys.SetActionCodeName(action, name);
        }
    }
}

// ---- %%autoreplace: from = to | actionkeys = keys

void TScriptCompiler::CompileAutoReplaceSection() {
    setItem("%%AutoReplace");
    TAutoReplace& list = settings().AutoReplace();
    list.Clear();
    Fetch();
    for (;;) {
        if (lexeme_ == kLexActionKeys) {
            FetchAccept(kLexEquals, kMsgEqualsExpected);
            const std::string keysText = ReadRawString();
            try {
                list.SetActivateKeys(keysText);
            } catch (const ERudivoVoru& e) {
                Error(e.message());
            }
        } else if (lexeme_ == kLexString) {
            const std::string from = ReadString();
            Accept(kLexEquals, kMsgEqualsExpected);
            const std::string to = ReadString();
            try {
                list.AddEntry(from, to);
            } catch (const ERudivoVoru& e) {
                Error(e.message());
            }
        } else {
            return;
        }
    }
}

// ---- %%templates: name [( description )] = text | hotkey = ( binding )

void TScriptCompiler::CompileTemplatesSection() {
    setItem("%%Templates");
    TCodeTemplates& templates = settings().Templates();
    templates.Reset();
    Fetch();
    for (;;) {
        if (lexeme_ == kLexHotKey) {
            FetchAccept(kLexEquals, kMsgEqualsExpected);
            Accept(kLexOpenParen, kMsgOpenParenExpected);
            const TShortCut key = ReadKeyBinding();
            Accept(kLexCloseParen, kMsgCloseParenExpected);
            templates.HotKey = key;
        } else if (lexeme_ == kLexString) {
            const std::string name = ReadString();
            std::string description;
            if (lexeme_ == kLexOpenParen) {
                Fetch();
                description = ReadString();
                Accept(kLexCloseParen, kMsgCloseParenExpected);
            }
            Accept(kLexEquals, kMsgEqualsExpected);
            const std::string text = ReadString();
            try {
                templates.AddMacro(name, description, text, false);
            } catch (const ERudivoVoru& e) {
                Error(e.message());
            }
        } else {
            return;
        }
    }
}

// ---- %%kwTables: forstate [ states ] endswith string ( { value is string {, string} } )

void TScriptCompiler::CompileKwTablesSection() {
    setItem("%%kwTables");
    Fetch();
    while (lexeme_ == kLexForState) {
        Fetch();
        if (lexeme_ != kLexOpenBracket)
            Error(kMsgOpenBracketExpected);
        TByteSet states = ReadByteSet();
        if (states.IsEmpty())
            states.Include(0);
        if (lexeme_ != kLexEndsWith)
            Error(kMsgEndsWithExpected);
        Fetch();
        const std::string terminator = ReadRawString();
        Accept(kLexOpenParen, kMsgOpenParenExpected);
        KeywordWordList words;
        while (atExpression()) {
            const std::uint8_t value = ReadValue();
            setItem("%%kwTables", value);
            if (lexeme_ != kLexIs)
                Error(kMsgIsExpected);
            Fetch();
            words.emplace_back(ReadRawString(), value);
            while (lexeme_ == kLexComma) {
                Fetch();
                words.emplace_back(ReadRawString(), value);
            }
        }
        Accept(kLexCloseParen, kMsgCloseParenExpected);
        try {
            settings().DefineKeywordTable(states, terminator, parser_.CaseSensitive(), words);
        } catch (const ERudivoVoru& e) {
            Error(e.message());
        }
    }
}

} // namespace qorvi
