// qorvi-syntax dump IMAGE: the settings and tables of a compiled parser, in
// the notation scripts use (character groups as in strings, names of
// handlers and actions), for people writing scripts.

#include "editor/keys/keyboard_action_controller.h"
#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/settings/editor_settings.h"
#include "parser/parser_tables.h"
#include "parser/predefined_names.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/keys.h"
#include "tools/syntax/syntax_tool.h"

#include <cstdio>
#include <iostream>
#include <sstream>

namespace qorvi::syntax {

const char* const kDumpHelp = "Usage: qorvi-syntax dump IMAGE\n"
                              "\n"
                              "Prints what the parser image IMAGE holds: the language settings (options,\n"
                              "fonts, colours, margins, tab stops, effects, style map, editable styles,\n"
                              "key map, templates, auto-replace, extra keyword tables) and the parser's\n"
                              "tables (keywords, handlers, start tables, state changes, context, anchor,\n"
                              "bound and start states). Character groups are shown in the notation of\n"
                              "script strings.\n";

namespace {

std::string hex(std::int64_t value, int digits = 6) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%0*llX", digits,
                  static_cast<unsigned long long>(value) & 0xFFFFFFFFull);
    return buffer;
}

// A character as the group notation writes it.
std::string charText(int c) {
    switch (c) {
    case '\t':
        return "\\t";
    case '\r':
        return "\\n";
    case '\n':
        return "\\r";
    case ' ':
        return "\\s";
    case 8:
        return "\\b";
    case 27:
        return "\\e";
    case '\\':
    case '[':
    case ']':
    case '^':
    case '-':
    case '\'':
        return std::string("\\") + static_cast<char>(c);
    default:
        break;
    }
    if (c > 32 && c < 127)
        return std::string(1, static_cast<char>(c));
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
    return buffer;
}

// Calls `run(first, last)` for each run of members, in order.
template <class F> void forEachRun(const TByteSet& set, F run) {
    for (int c = 0; c < 256;) {
        if (!set.Contains(static_cast<std::uint8_t>(c))) {
            ++c;
            continue;
        }
        int end = c;
        while (end + 1 < 256 && set.Contains(static_cast<std::uint8_t>(end + 1)))
            ++end;
        run(c, end);
        c = end + 1;
    }
}

// Members as runs: "a-z_".
std::string membersText(const TByteSet& set) {
    std::string out;
    forEachRun(set, [&](int first, int last) {
        out += charText(first);
        if (last > first + 1) {
            out += '-';
            out += charText(last);
        } else if (last == first + 1)
            out += charText(last);
    });
    return out;
}

std::string groupText(const TSM_CharGroup& g) {
    std::string out(g.Negate() ? "[^" : "[");
    out.append(membersText(g.CharSet())).append("]");
    for (const TSM_CharGroup::Range& r : g.Ranges())
        out.append(" +").append(std::to_string(r.first)).append("-").append(std::to_string(r.second));
    return out;
}

std::string setText(const TByteSet& set) {
    std::string out;
    forEachRun(set, [&](int first, int last) {
        out += (out.empty() ? "" : ", ") + std::to_string(first);
        if (last > first)
            out += (last == first + 1 ? ", " : "-") + std::to_string(last);
    });
    return "{" + out + "}";
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (unsigned char c : text) {
        if (c == '\'' || c == '\\')
            out += std::string("\\") + static_cast<char>(c);
        else if (c == '\r')
            out += "\\n";
        else if (c == '\n')
            out += "\\r";
        else if (c == '\t')
            out += "\\t";
        else if (c < 32 || c == 127)
            out += charText(c);
        else
            out += static_cast<char>(c);
    }
    return out + "'";
}

// The script name of a predefined value in a group of names sharing a prefix.
std::string predefinedName(std::int64_t value, const std::string& prefix, std::int64_t low,
                           std::int64_t high) {
    if (value >= low && value <= high)
        for (const PredefinedName& n : predefinedNames())
            if (n.value == value && std::string(n.name).rfind(prefix, 0) == 0)
                return n.name;
    return std::to_string(value);
}

std::string handlerName(std::int32_t number) {
    static const char* const kNames[] = {"_PASCAL_CHAR", "_WEB_CHAR", "_ORIGINAL_CHAR"};
    static const char* const kTokenNames[] = {
        "__STD_IDENTIFIER",  "__STD_NUMBER_OR_FP",          "__STD_PASCALSTRING", "__STD_C_STRING",
        "__STD_C_CHAR",      "__STD_C_NUMBER_OR_FP_SIGNED", "__STD_NUMBER",       "__STD_MAIL_URL",
        "__STD_HTML_STRING", "__STD_JS_LINE_COMMENT",       "__STD_C_STRING_SQ"};
    if (number >= 0 && number <= 2)
        return kNames[number];
    if (number >= 10 && number <= 20)
        return kTokenNames[number - 10];
    return "handler " + std::to_string(number);
}

// Texts the compiler takes raw (escapes left to their reader) are shown as
// written.
std::string rawQuoted(const std::string& text) {
    return "'" + text + "'";
}

std::string styleText(std::uint8_t style) {
    static const char* const kNames[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeout"};
    std::string out;
    for (int bit = 0; bit < 8; ++bit)
        if (style & (1u << bit))
            out += (out.empty() ? "" : ", ") + std::string(bit < 4 ? kNames[bit] : std::to_string(bit));
    return "[" + out + "]";
}

class Dumper {
public:
    Dumper(const TRudivoVoruParser& parser, std::ostream& out)
        : p_(parser), t_(parser.Tables()), s_(parser.Settings()), out_(out) {}

    void run() {
        settings();
        styles();
        keywords();
        handlers();
        startTables();
        stateChanges();
        keyMap();
        templates();
        keywordTables();
    }

private:
    std::string group(std::uint16_t id) const {
        try {
            return groupText(t_.GroupOf(id));
        } catch (const QorviError&) {
            return "<group " + std::to_string(id) + "?>";
        }
    }

    std::string specText(const TSM_SpecRec& spec) const {
        std::string out;
        if (spec.IsHandler && spec.IsCustom)
            out = "match(" + std::to_string(spec.HandlerIndex) + ")";
        else if (spec.IsHandler)
            out = handlerName(spec.HandlerIndex);
        else
            out = group(spec.CharSet);
        return out + (spec.Optional ? " ?" : "");
    }

    std::string terminatorText(const TSM_EndsAction& t) const {
        if (!t.Present())
            return "none";
        std::string out;
        if (t.IsHandler && t.IsCustom) {
            out = "match(" + std::to_string(t.HandlerIndex) + ")";
        } else if (t.IsHandler) {
            out = handlerName(t.HandlerIndex);
        } else {
            for (int i = 0; i < t.Count && i < TSM_EndsAction::kMaxCharSets; ++i)
                out += group(t.CharSets[static_cast<std::size_t>(i)]);
        }
        return out + (t.Include ? " included" : " look-ahead");
    }

    std::string tokenText(const TSM_TokenActions& e) const {
        std::string out = "value " + std::to_string(e.TokenValue);
        if (e.Start.IsHandler)
            out += " by " + handlerName(e.Start.HandlerIndex);
        else
            out += " continues " + specText(e.Continuation) + " ends " + terminatorText(e.Terminator);
        return out + " in " + setText(e.ValidStates);
    }

    void settings() {
        out_ << "[language]\n";
        out_ << "  name            " << quoted(s_.LanguageName()) << "\n";
        out_ << "  example text    " << quoted(s_.ScriptText()) << "\n";
        out_ << "  case            " << (p_.CaseSensitive() ? "sensitive" : "insensitive") << "\n";
        std::string options;
        for (const PredefinedName& n : predefinedNames()) {
            const std::string name = n.name;
            if ((name.rfind("__OPT_", 0) == 0 || name == "__WORD_SELECT") && name != "__OPT_SHOW_RMARGIN" &&
                (s_.Options() & static_cast<std::uint32_t>(n.value)))
                options += " " + name;
        }
        out_ << "  options         " << hex(s_.Options(), 8) << options << "\n";
        out_ << "  font            " << quoted(s_.Font().Name) << " size " << s_.Font().Size << " charset "
             << int(s_.Font().CharSet) << "\n";
        out_ << "  gutter font     " << quoted(s_.GutterFont().Name) << " size " << s_.GutterFont().Size
             << " colour " << hex(s_.GutterFont().Color) << " style " << styleText(s_.GutterFont().Style)
             << "\n";
        out_ << "  margin width    " << s_.Margin() << "\n";
        out_ << "  right margin    " << s_.RightMargin() << "\n";
        out_ << "  wrap column     " << s_.WrapAtColumn() << "\n";
        out_ << "  wrap override   " << quoted(s_.WrapOverride()) << "\n";
        out_ << "  gutter          " << s_.Gutter() << "\n";
        out_ << "  indent step     " << int(s_.IndentStep()) << "\n";
        out_ << "  tab default     " << s_.TabDefault() << "\n";
        std::string stops;
        for (std::int32_t c : s_.GetTabStops()) {
            if (c < 0)
                break;
            stops.append(" ").append(std::to_string(c + 1));
        }
        out_ << "  tab columns    " << (stops.empty() ? " none" : stops) << "\n";
        const auto colour = [this](const char* label, TColor c, int mark) {
            out_ << "  " << label << hex(c) << (s_.DefaultMark(mark) ? " (default)" : "") << "\n";
        };
        colour("margin colour   ", s_.MarginColor(), 0);
        colour("sel. text       ", s_.SelTextColor(), 1);
        colour("sel. background ", s_.SelTextBack(), 2);
        colour("gutter colour   ", s_.GutterColor(), 3);
        out_ << "  anchor          " << setText(t_.Anchor()) << "\n";
        out_ << "  start state     " << setText(t_.StartState()) << "\n";
        out_ << "  bound states    " << setText(t_.BoundStates()) << "\n";
        out_ << "  custom matches  " << (t_.UsesCustomMatch() ? "used" : "none") << "\n";
        for (int v = 0; v < 256; ++v) {
            const TByteSet& context = t_.ContextStates(static_cast<std::uint8_t>(v));
            if (!context.IsEmpty() && context != t_.StartState())
                out_ << "  context of " << v << "   " << setText(context) << "\n";
        }
    }

    void styles() {
        out_ << "\n[effects]\n";
        for (int v = 0; v < kFormatCount; ++v) {
            const TFormatEntry& e = s_.GetFormatEntry(v);
            if (!e.InUse)
                continue;
            out_ << "  " << v << " " << styleText(e.Style) << " " << hex(e.TextColor)
                 << (e.DefaultText ? " *" : "") << " " << hex(e.BackColor) << (e.DefaultBack ? " *" : "")
                 << (e.HotSpot ? " 'hotspot'" : "") << "\n";
        }
        out_ << "\n[map]\n";
        for (int v = 0; v < 256; ++v)
            if (s_.GetMapEntry(v))
                out_ << "  " << v << " " << int(s_.GetMapEntry(v)) << "\n";
        out_ << "\n[editable styles]\n";
        for (int i = 1; i <= kEditableCount; ++i) {
            const TEditableEntry& e = s_.GetEditableEntry(i);
            if (!e.Name.empty())
                out_ << "  " << i << " " << quoted(e.Name) << " " << int(e.Value) << "\n";
        }
    }

    void keywords() {
        const TSyntaxKeywords& kw = t_.Keywords();
        out_ << "\n[words] (" << (kw.CaseSensitive() ? "case-sensitive" : "case-insensitive") << ")\n";
        for (const auto& [word, entry] : kw.Words())
            out_ << "  " << quoted(word) << " " << groupText(entry->CharGroup) << " " << entry->Data << " "
                 << setText(entry->States) << "\n";
    }

    void handlers() {
        out_ << "\n[handlers]\n";
        for (int v = 0; v < 256; ++v)
            if (const TSM_HandlerActions* h = t_.Handler(static_cast<std::uint8_t>(v)))
                out_ << "  " << v << " continues " << specText(h->Continuation) << " ends "
                     << terminatorText(h->Terminator) << "\n";
    }

    // First characters with the same actions share one line.
    void startTable(const TSM_StatesTable& table) {
        TByteSet shown;
        for (int c = 0; c < 256; ++c) {
            const TSM_TokenActions* e = table.Slots[static_cast<std::size_t>(c)].get();
            if (!e || shown.Contains(static_cast<std::uint8_t>(c)))
                continue;
            TByteSet chars;
            for (int d = c; d < 256; ++d) {
                const TSM_TokenActions* other = table.Slots[static_cast<std::size_t>(d)].get();
                if (other && *other == *e)
                    chars.Include(static_cast<std::uint8_t>(d));
            }
            shown |= chars;
            out_ << "  [" << membersText(chars) << "] " << tokenText(*e) << "\n";
        }
        for (const TSM_WideActions& w : table.Wide)
            if (w.Actions)
                out_ << "  range " << w.Lo << "-" << w.Hi << " " << tokenText(*w.Actions) << "\n";
    }

    void startTables() {
        out_ << "\n[tokens]\n";
        startTable(t_.StartTable());
        for (int s = 0; s < 256; ++s)
            if (const TSM_StatesTable* table = t_.StateTable(static_cast<std::uint8_t>(s))) {
                out_ << "\n[tokens in state " << s << "]\n";
                startTable(*table);
            }
    }

    void stateChanges() {
        out_ << "\n[state changes]\n";
        static const char* const kOps[] = {"", " push before", " pop before", "", " push after", "", "",
                                           "", " pop after"};
        for (int v = 0; v < 256; ++v) {
            const TSM_StateChanges* sc = t_.StateChanges(static_cast<std::uint8_t>(v));
            if (!sc)
                continue;
            out_ << "  " << v << " valid in " << setText(sc->ValidIn);
            if (!sc->NoChange)
                out_ << " enter " << setText(sc->Enter) << " leave " << setText(sc->Leave);
            out_ << (sc->StackOps <= 8 ? kOps[sc->StackOps] : " stack?")
                 << (sc->IsContainer ? " container" : "") << "\n";
        }
    }

    void keyMap() {
        const TKeyboardActionContoller& keys = s_.KeyMap();
        out_ << "\n[keys]\n";
        keys.KeyStore().ForEachBindingInTreeOrder(
            [this, &keys](TShortCut k1, TShortCut k2, std::int32_t code) {
                std::string binding = shortCutToText(k1);
                if (k2)
                    binding.append(", ").append(keyName(k2 & 0xFF));
                out_ << "  " << predefinedName(code, "ca", 0, 47) << " (" << binding << ")";
                const std::string name = keys.GetActionCodeName(code);
                if (!name.empty())
                    out_ << " " << quoted(name);
                out_ << "\n";
            });
    }

    void templates() {
        const TCodeTemplates& t = s_.Templates();
        out_ << "\n[templates] hot key " << shortCutToText(t.HotKey) << "\n";
        for (const auto& e : t.Entries())
            out_ << "  " << quoted(e->Name)
                 << (e->Description.empty() ? "" : " (" + quoted(e->Description) + ")") << " = "
                 << quoted(e->Replacement) << "\n";
        const TAutoReplace& a = s_.AutoReplace();
        out_ << "\n[autoreplace] activation keys " << rawQuoted(a.ActivateKeyText()) << "\n";
        for (const auto& e : a.Entries())
            out_ << "  " << quoted(e->Name) << " = " << quoted(e->Replacement) << "\n";
    }

    void keywordTables() {
        const KeywordTableSet& tables = s_.KeywordTables();
        out_ << "\n[keyword tables]\n";
        for (int i = 0; i < KeywordTableSet::kSlots; ++i) {
            const KeywordTableDef* def = tables.Slot(i);
            if (!def)
                continue;
            out_ << "  for " << setText(def->States) << " ending " << rawQuoted(def->Terminator)
                 << (def->CaseSensitive ? " case-sensitive" : "") << "\n";
            for (const auto& [word, value] : def->Words)
                out_ << "    " << rawQuoted(word) << " " << value << "\n";
        }
    }

    const TRudivoVoruParser& p_;
    const TParserTables& t_;
    const TSM_Settings& s_;
    std::ostream& out_;
};

} // namespace

int runDump(const Args& args) {
    if (wantsHelp(args)) {
        std::cout << kDumpHelp;
        return kExitOk;
    }
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-'))
        return usage("one image file is required", kDumpHelp);
    const std::string bytes = readBinaryFile(args[0]);
    auto parser = parserFromImage(bytes, args[0]); // refuses anything shorter than the header
    std::ostringstream out;
    std::uint32_t imageSize = 0;
    for (int i = 5; i >= 2 && bytes.size() >= 6; --i)
        imageSize = imageSize << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    out << "# " << args[0] << ": version "
        << (static_cast<unsigned char>(bytes[0]) | static_cast<unsigned char>(bytes[1]) << 8) << ", image "
        << imageSize << " bytes, stored in " << bytes.size() << "\n\n";
    Dumper(*parser, out).run();
    std::cout << out.str();
    return std::cout.flush() ? kExitOk : fail("cannot write the output");
}

} // namespace qorvi::syntax
