// %%language: the language's name, sample text, options, fonts, colours,
// margins, tab stops and the anchor, start, context and bound states.
// Entries are key = value in any order; the section ends at the first
// lexeme that is no key.

#include "editor/settings/editor_settings.h"
#include "editor/settings/format_entry.h"
#include "editor/settings/tab_columns.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "parser/parser_tables.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "parser/script_messages.h"
#include "parser/sym_compiler.h"
#include "parser/sym_lexemes.h"

namespace qorvi {

namespace {

constexpr std::size_t kLanguageNameLength = 35;
constexpr std::size_t kWrapOverrideLength = 35;
constexpr std::size_t kEditableNameLength = 25;
constexpr int kMaxIndentStep = 20;

// The settings' default marks, in their order.
constexpr int kMarkMarginColor = 0;
constexpr int kMarkSelTextColor = 1;
constexpr int kMarkSelTextBack = 2;
constexpr int kMarkGutterColor = 3;

} // namespace

std::uint8_t TScriptCompiler::ReadDefaultMark() {
    if (lexeme_ != kLexOpenBracket)
        return 0;
    Fetch();
    std::uint8_t mark = 0;
    if (lexeme_ == kLexStar) {
        mark = 1;
        Fetch();
    }
    Accept(kLexCloseBracket, kMsgCloseBracketExpected);
    return mark;
}

void TScriptCompiler::CompileLanguageSection() {
    setItem("%%Language");
    Fetch();
    TSM_Settings& s = settings();
    for (;;) {
        const int key = lexeme_;
        if (key == kLexEditableStyles) {
            Fetch();
            CompileEditableStyles();
            continue;
        }
        switch (key) {
        case kLexName:
        case kLexCase:
        case kLexOptions:
        case kLexExampleText:
        case kLexWordWrapColumn:
        case kLexGutter:
        case kLexAnchor:
        case kLexIndentStep:
        case kLexWrapOverride:
        case kLexStartState:
        case kLexSelTextColor:
        case kLexSelTextBack:
        case kLexRightMargin:
        case kLexFontName:
        case kLexFontSize:
        case kLexFontCharset:
        case kLexTabColumns:
        case kLexTabDefault:
        case kLexContextStates:
        case kLexBoundStates:
        case kLexGutterColor:
        case kLexMarginColor:
        case kLexMarginWidth:
        case kLexGutterFontName:
        case kLexGutterFontSize:
        case kLexGutterFontColor:
        case kLexGutterFontStyle:
            break;
        default:
            return;
        }
        FetchAccept(kLexEquals, kMsgEqualsExpected);
        switch (key) {
        case kLexName:
            s.SetLanguageName(ReadString().substr(0, kLanguageNameLength));
            break;
        case kLexCase:
            parser_.SetCaseSensitive(Expression() != 0);
            break;
        case kLexOptions:
            s.SetOptions(static_cast<std::uint32_t>(Expression()));
            break;
        case kLexExampleText:
            s.SetScriptText(ReadString());
            break;
        case kLexWordWrapColumn:
            s.SetWrapAtColumn(static_cast<std::uint16_t>(Expression()));
            break;
        case kLexGutter:
            s.SetGutter(Expression());
            break;
        case kLexAnchor: {
            TByteSet anchor = ReadSetOrValue();
            if (anchor.IsEmpty())
                anchor.Include(0);
            tables().Anchor() = anchor;
            break;
        }
        case kLexIndentStep:
            s.SetIndentStep(static_cast<std::uint8_t>(CheckRange(Expression(), 0, kMaxIndentStep)));
            break;
        case kLexWrapOverride:
            s.SetWrapOverride(ReadString().substr(0, kWrapOverrideLength));
            break;
        case kLexStartState:
            if (lexeme_ == kLexOpenBracket) {
                tables().StartState() = ReadByteSet();
            } else {
                TByteSet start{0};
                start.Include(ReadValue());
                tables().StartState() = start;
            }
            break;
        case kLexSelTextColor: {
            const std::uint8_t mark = ReadDefaultMark();
            s.SetSelTextColor(Expression());
            s.SetDefaultMark(kMarkSelTextColor, mark);
            break;
        }
        case kLexSelTextBack: {
            const std::uint8_t mark = ReadDefaultMark();
            s.SetSelTextBack(Expression());
            s.SetDefaultMark(kMarkSelTextBack, mark);
            break;
        }
        case kLexGutterColor: {
            const std::uint8_t mark = ReadDefaultMark();
            s.SetGutterColor(Expression());
            s.SetDefaultMark(kMarkGutterColor, mark);
            break;
        }
        case kLexMarginColor: {
            const std::uint8_t mark = ReadDefaultMark();
            s.SetMarginColor(Expression());
            s.SetDefaultMark(kMarkMarginColor, mark);
            break;
        }
        case kLexRightMargin:
            s.SetRightMargin(Expression());
            break;
        case kLexMarginWidth:
            s.SetMargin(Expression());
            break;
        case kLexFontName: {
            TFontSpec font = s.Font();
            font.Name = ReadString();
            s.SetFont(font);
            break;
        }
        case kLexFontSize: {
            TFontSpec font = s.Font();
            font.Size = Expression();
            s.SetFont(font);
            break;
        }
        case kLexFontCharset: {
            TFontSpec font = s.Font();
            font.CharSet = static_cast<std::uint8_t>(CheckRange(Expression(), 0, 255));
            s.SetFont(font);
            break;
        }
        case kLexTabColumns: {
            // The raw text, as the tab-column reader expects it.
            const std::string text = ReadRawString();
            try {
                TTabColumns columns = emptyTabColumns();
                TextToTabColumns(text, columns);
                s.SetTabStops(columns);
            } catch (const ERudivoVoru& e) {
                Error(e.message());
            }
            break;
        }
        case kLexTabDefault: {
            const std::int32_t width = Expression();
            try {
                s.SetTabDefault(width);
            } catch (const ERudivoVoru& e) {
                Error(e.message());
            }
            break;
        }
        case kLexContextStates:
            CompileContextStates();
            break;
        case kLexBoundStates:
            if (lexeme_ == kLexOpenBracket) {
                tables().BoundStates() = ReadByteSet();
            } else {
                TByteSet bound;
                bound.Include(ReadValue());
                tables().BoundStates() = bound;
            }
            break;
        case kLexGutterFontName: {
            TFontSpec font = s.GutterFont();
            font.Name = ReadString();
            s.SetGutterFont(font);
            break;
        }
        case kLexGutterFontSize: {
            TFontSpec font = s.GutterFont();
            font.Size = Expression();
            s.SetGutterFont(font);
            break;
        }
        case kLexGutterFontColor: {
            TFontSpec font = s.GutterFont();
            font.Color = Expression();
            s.SetGutterFont(font);
            break;
        }
        case kLexGutterFontStyle: {
            TFontSpec font = s.GutterFont();
            font.Style = ReadFontStyles();
            s.SetGutterFont(font);
            break;
        }
        default:
            break;
        }
    }
}

// editablestyles ( name , value ) { , ( name , value ) }

void TScriptCompiler::CompileEditableStyles() {
    TSM_Settings& s = settings();
    for (;;) {
        Accept(kLexOpenParen, kMsgOpenParenExpected);
        const std::string name = ReadString().substr(0, kEditableNameLength);
        Accept(kLexComma, kMsgCommaExpected);
        const std::int32_t value = Expression();
        if (value < 0 || value > 255)
            Error(kMsgValueRange);
        Accept(kLexCloseParen, kMsgCloseParenExpected);
        int slot = 0;
        for (int i = 1; i <= kEditableCount && !slot; ++i)
            if (s.GetEditableEntry(i).Name.empty())
                slot = i;
        if (!slot)
            Error(kMsgTooManyEditableStyles);
        TEditableEntry entry;
        entry.Name = name;
        entry.Value16 = static_cast<std::uint16_t>(value);
        entry.Value = static_cast<std::uint8_t>(value);
        s.SetEditableEntry(slot, entry);
        if (lexeme_ != kLexComma)
            return;
        Fetch();
    }
}

// contextstates = ( values [state-list] ) { , ( ... ) }

void TScriptCompiler::CompileContextStates() {
    TByteSet listed;
    for (;;) {
        Accept(kLexOpenParen, kMsgOpenParenExpected);
        TByteSet values;
        while (atExpression()) {
            values.Include(ReadValue());
            SkipComma();
        }
        TByteSet states;
        if (lexeme_ == kLexOpenBracket)
            states = ReadByteSet();
        Accept(kLexCloseParen, kMsgCloseParenExpected);
        for (int v = 0; v < 256; ++v) {
            const auto value = static_cast<std::uint8_t>(v);
            if (!values.Contains(value))
                continue;
            // A value listed twice is refused even when its first group
            // left it empty.
            if (!tables().ContextStates(value).IsEmpty() || listed.Contains(value))
                throw ESYM_COMP_ERROR(formatMsg(kMsgContextRespecified, v));
            listed.Include(value);
            tables().ContextStates(value) = states;
        }
        if (lexeme_ != kLexComma)
            break;
        Fetch();
    }
    // What is still empty starts where the script starts.
    for (int v = 0; v < 256; ++v) {
        TByteSet& context = tables().ContextStates(static_cast<std::uint8_t>(v));
        if (context.IsEmpty())
            context = tables().StartState();
    }
}

} // namespace qorvi
