#include "parser/style_string.h"

#include "editor/settings/editor_settings.h"
#include "editor/support/rudivo_voru_error.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace qorvi {

namespace {

// Indexes of the four default marks in the settings.
constexpr int kMarkMargin = 0;
constexpr int kMarkSelText = 1;
constexpr int kMarkSelBack = 2;
constexpr int kMarkGutter = 3;

// Bounds that keep a value from the registry within what layout and
// painting compute with.
constexpr std::int64_t kMaxPixels = 4096;
constexpr std::int64_t kMaxColumn = 65535;
constexpr std::int64_t kMaxFontSize = 1000;

[[noreturn]] void invalid() {
    throw ERudivoVoru(kMsgInvalidStyleString);
}

std::string colourText(TColor colour) {
    // Colours are written unsigned, so system colours (0x8000000F) stay digits.
    return std::to_string(static_cast<std::uint32_t>(colour));
}

std::string fontStyleLetters(std::uint8_t style) {
    std::string letters;
    if (style & fsItalic)
        letters += 'I';
    if (style & fsBold)
        letters += 'B';
    if (style & fsUnderline)
        letters += 'U';
    if (style & fsStrikeOut)
        letters += 'S';
    return letters;
}

std::string effectsText(const TSM_Settings& s) {
    std::string entries;
    int count = 0;
    for (int i = 0; i < kFormatCount; ++i) {
        const TFormatEntry& e = s.GetFormatEntry(i);
        if (!e.InUse)
            continue;
        ++count;
        entries += std::to_string(i) + ',' + colourText(e.TextColor) + ',' + colourText(e.BackColor) + ',';
        if (e.DefaultBack)
            entries += 'X';
        if (e.DefaultText)
            entries += 'Y';
        if (e.Style & fsBold)
            entries += 'B';
        if (e.Style & fsItalic)
            entries += 'I';
        if (e.Style & fsUnderline)
            entries += 'U';
        entries += ';';
    }
    // The true count, also when all 256 are defined.
    return count ? std::to_string(count) + ',' + entries : "0";
}

// One style read from EFF; its other properties keep their values.
struct Effect {
    int index = 0;
    TColor text = 0;
    TColor back = 0;
    std::uint8_t style = 0;
    bool defaultText = false;
    bool defaultBack = false;
};

// Everything a style string sets, checked before any of it is applied.
struct StyleFields {
    std::optional<std::uint32_t> options;
    std::optional<std::int32_t> gutter, fontSize, tabDefault, rightMargin, gutterFontSize;
    std::optional<TColor> gutterColor, selText, selBack, gutterFontColor, marginColor;
    std::optional<std::uint16_t> wrapColumn;
    std::optional<std::uint8_t> indentStep, charset, gutterCharset, gutterFontStyle;
    std::optional<std::string> wrapOverride, fontName, gutterFontName;
    std::optional<TTabColumns> tabs;
    std::array<std::optional<std::uint8_t>, 4> marks;
    std::vector<Effect> effects;
};

// A whole field value as a decimal number within [low, high].
std::int64_t number(std::string_view v, std::int64_t low, std::int64_t high) {
    std::size_t i = 0;
    const bool negative = !v.empty() && v[0] == '-';
    if (negative)
        ++i;
    if (i == v.size())
        invalid();
    std::int64_t n = 0;
    for (; i < v.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(v[i])))
            invalid();
        n = n * 10 + (v[i] - '0');
        if (n > std::int64_t{0xFFFFFFFF} + 1)
            invalid();
    }
    if (negative)
        n = -n;
    if (n < low || n > high)
        invalid();
    return n;
}

TColor colour(std::string_view v) {
    const std::int64_t n = number(v, std::numeric_limits<std::int32_t>::min(), 0xFFFFFFFF);
    return static_cast<TColor>(static_cast<std::uint32_t>(n));
}

std::uint8_t fontStyle(std::string_view v) {
    std::uint8_t style = 0;
    for (char c : v) {
        switch (c) {
        case 'I':
            style |= fsItalic;
            break;
        case 'B':
            style |= fsBold;
            break;
        case 'U':
            style |= fsUnderline;
            break;
        case 'S':
            style |= fsStrikeOut;
            break;
        default:
            invalid();
        }
    }
    return style;
}

// The numbers of EFF: a run of digits, then at most one comma, which is
// skipped; no digits give the default.
class EffectReader {
public:
    explicit EffectReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    std::int64_t number(std::int64_t missing) {
        std::int64_t n = 0;
        bool digits = false;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            n = n * 10 + (text_[pos_++] - '0');
            if (n > 0xFFFFFFFF)
                invalid();
            digits = true;
        }
        if (!atEnd() && text_[pos_] == ',')
            ++pos_;
        return digits ? n : missing;
    }

    // The letters up to and including ";"; any other character ends them.
    void letters(Effect& e) {
        while (!atEnd()) {
            const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text_[pos_])));
            if (c == 'b')
                e.style |= fsBold;
            else if (c == 'i')
                e.style |= fsItalic;
            else if (c == 'u')
                e.style |= fsUnderline;
            else if (c == 'x')
                e.defaultBack = true;
            else if (c == 'y')
                e.defaultText = true;
            else if (c != ';')
                return;
            ++pos_;
            if (c == ';')
                return;
        }
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::vector<Effect> effects(std::string_view v) {
    EffectReader r(v);
    const std::int64_t count = r.number(0);
    if (count > kFormatCount)
        invalid();
    std::vector<Effect> out;
    for (std::int64_t i = 0; i < count; ++i) {
        // A list that ends before its count is cut off.
        if (r.atEnd())
            invalid();
        Effect e;
        const std::int64_t index = r.number(255);
        if (index >= kFormatCount)
            invalid();
        e.index = static_cast<int>(index);
        e.text = static_cast<TColor>(static_cast<std::uint32_t>(r.number(0)));
        e.back = static_cast<TColor>(static_cast<std::uint32_t>(r.number(0xFFFFFF)));
        r.letters(e);
        out.push_back(e);
    }
    return out;
}

void storeField(StyleFields& f, std::string_view tag, std::string_view v) {
    auto i32 = [&](std::int64_t low, std::int64_t high) {
        return static_cast<std::int32_t>(number(v, low, high));
    };
    auto mark = [&] { return static_cast<std::uint8_t>(v == "1" ? 1 : 0); };
    if (tag == "OPT")
        f.options =
            static_cast<std::uint32_t>(number(v, std::numeric_limits<std::int32_t>::min(), 0xFFFFFFFF));
    else if (tag == "GWD")
        f.gutter = i32(0, kMaxPixels);
    else if (tag == "GCL")
        f.gutterColor = colour(v);
    else if (tag == "WRC")
        f.wrapColumn = static_cast<std::uint16_t>(number(v, 0, kMaxColumn));
    else if (tag == "IDS")
        f.indentStep = static_cast<std::uint8_t>(number(v, 0, 255));
    else if (tag == "WRO")
        f.wrapOverride = std::string(v);
    else if (tag == "FON")
        f.fontName = std::string(v);
    else if (tag == "FOS")
        f.fontSize = i32(-kMaxFontSize, kMaxFontSize);
    else if (tag == "STC")
        f.selText = colour(v);
    else if (tag == "STB")
        f.selBack = colour(v);
    else if (tag == "TBC") {
        TTabColumns columns;
        try {
            TextToTabColumns(v, columns);
        } catch (const ERudivoVoru&) {
            invalid();
        }
        f.tabs = columns;
    } else if (tag == "TBD")
        f.tabDefault = i32(1, kMaxTabColumn);
    else if (tag == "EFF")
        f.effects = effects(v);
    else if (tag == "GDF")
        f.marks[kMarkGutter] = mark();
    else if (tag == "MDF")
        f.marks[kMarkMargin] = mark();
    else if (tag == "SDF")
        f.marks[kMarkSelText] = mark();
    else if (tag == "BDF")
        f.marks[kMarkSelBack] = mark();
    else if (tag == "FOC")
        f.charset = static_cast<std::uint8_t>(number(v, 0, 255));
    else if (tag == "RMG")
        f.rightMargin = i32(0, kMaxColumn);
    else if (tag == "LNN")
        f.gutterFontName = std::string(v);
    else if (tag == "LNS")
        f.gutterFontSize = i32(-kMaxFontSize, kMaxFontSize);
    else if (tag == "LNC")
        f.gutterFontColor = colour(v);
    else if (tag == "LNT")
        f.gutterCharset = static_cast<std::uint8_t>(number(v, 0, 255));
    else if (tag == "LNE")
        f.gutterFontStyle = fontStyle(v);
    else if (tag == "MGC")
        f.marginColor = colour(v);
}

bool knownTag(std::string_view tag) {
    static constexpr std::array<std::string_view, 25> kTags = {
        "OPT", "GWD", "GCL", "WRC", "IDS", "WRO", "FON", "FOS", "STC", "STB", "TBC", "TBD", "EFF",
        "GDF", "MDF", "SDF", "BDF", "FOC", "RMG", "LNN", "LNS", "LNC", "LNT", "LNE", "MGC"};
    for (std::string_view t : kTags)
        if (t == tag)
            return true;
    return false;
}

StyleFields readFields(std::string_view text) {
    if (text.size() < 7 || text.substr(0, 6) != "Trelix" || text[6] < '1' || text[6] > '9')
        invalid();
    // The older layout of versions 1-4 is not read.
    if (text[6] < '5')
        invalid();
    StyleFields f;
    std::size_t pos = 8;
    auto isDigit = [&](std::size_t p) {
        return p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]));
    };
    while (pos < text.size()) {
        const std::size_t tagStart = pos;
        while (pos < text.size() && pos - tagStart < 4 && std::isalnum(static_cast<unsigned char>(text[pos])))
            ++pos;
        if (pos >= text.size() || text[pos] != '#')
            break;
        const std::string_view tag = text.substr(tagStart, pos - tagStart);
        ++pos;
        if (!isDigit(pos))
            break; // "#END#" forms no field
        std::size_t length = 0;
        while (isDigit(pos)) {
            length = length * 10 + static_cast<std::size_t>(text[pos++] - '0');
            if (length > text.size())
                invalid();
        }
        if (pos >= text.size() || text[pos] != '#')
            break;
        ++pos;
        if (length > text.size() - pos)
            invalid();
        const std::string_view value = text.substr(pos, length);
        pos += length;
        if (!knownTag(tag))
            break;
        storeField(f, tag, value);
    }
    return f;
}

void apply(TSM_Settings& s, const StyleFields& f) {
    if (f.options)
        s.SetOptions(*f.options);
    if (f.gutter)
        s.SetGutter(*f.gutter);
    if (f.gutterColor)
        s.SetGutterColor(*f.gutterColor);
    if (f.wrapColumn)
        s.SetWrapAtColumn(*f.wrapColumn);
    if (f.indentStep)
        s.SetIndentStep(*f.indentStep);
    if (f.wrapOverride)
        s.SetWrapOverride(*f.wrapOverride);
    TFontSpec font = s.Font();
    if (f.fontName)
        font.Name = *f.fontName;
    if (f.fontSize)
        font.Size = *f.fontSize;
    if (f.charset)
        font.CharSet = *f.charset;
    s.SetFont(font);
    if (f.selText)
        s.SetSelTextColor(*f.selText);
    if (f.selBack)
        s.SetSelTextBack(*f.selBack);
    if (f.tabs)
        s.SetTabStops(*f.tabs);
    if (f.tabDefault)
        s.SetTabDefault(*f.tabDefault);
    for (const Effect& e : f.effects) {
        TFormatEntry entry = s.GetFormatEntry(e.index);
        // Strike-out is not written, so it keeps what it was.
        entry.Style = static_cast<std::uint8_t>((entry.Style & fsStrikeOut) | e.style);
        entry.TextColor = e.text;
        entry.BackColor = e.back;
        entry.DefaultText = e.defaultText ? 1 : 0;
        entry.DefaultBack = e.defaultBack ? 1 : 0;
        if (!entry.InUse)
            entry.InUse = 1;
        s.SetFormatEntry(e.index, entry);
    }
    for (int i = 0; i < 4; ++i)
        if (f.marks[static_cast<std::size_t>(i)])
            s.SetDefaultMark(i, *f.marks[static_cast<std::size_t>(i)]);
    if (f.rightMargin)
        s.SetRightMargin(*f.rightMargin);
    if (f.marginColor)
        s.SetMarginColor(*f.marginColor);
    if (f.gutterFontName || f.gutterFontSize || f.gutterFontColor || f.gutterCharset || f.gutterFontStyle) {
        TFontSpec gutterFont = s.GutterFont();
        if (f.gutterFontName)
            gutterFont.Name = *f.gutterFontName;
        if (f.gutterFontSize)
            gutterFont.Size = *f.gutterFontSize;
        if (f.gutterFontColor)
            gutterFont.Color = *f.gutterFontColor;
        if (f.gutterCharset)
            gutterFont.CharSet = *f.gutterCharset;
        if (f.gutterFontStyle)
            gutterFont.Style = *f.gutterFontStyle;
        s.SetGutterFont(gutterFont);
    }
}

void field(std::string& out, const char* tag, const std::string& value) {
    out += tag;
    out += '#';
    out += std::to_string(value.size());
    out += '#';
    out += value;
}

} // namespace

std::string StylesAsString(const TSM_Settings& s) {
    const auto n = [](auto v) { return std::to_string(v); };
    const auto mark = [&](int i) { return std::string(s.DefaultMark(i) ? "1" : "0"); };
    std::string out = "Trelix6:";
    field(out, "OPT", n(s.Options()));
    field(out, "GWD", n(s.Gutter()));
    field(out, "GCL", colourText(s.GutterColor()));
    field(out, "WRC", n(s.WrapAtColumn()));
    field(out, "IDS", n(s.IndentStep()));
    field(out, "WRO", s.WrapOverride());
    field(out, "FON", s.Font().Name);
    field(out, "FOS", n(s.Font().Size));
    field(out, "STC", colourText(s.SelTextColor()));
    field(out, "STB", colourText(s.SelTextBack()));
    field(out, "TBC", TabColumnsAsText(s.GetTabStops()));
    field(out, "TBD", n(s.TabDefault()));
    field(out, "EFF", effectsText(s));
    field(out, "GDF", mark(kMarkGutter));
    field(out, "MDF", mark(kMarkMargin));
    field(out, "SDF", mark(kMarkSelText));
    field(out, "BDF", mark(kMarkSelBack));
    field(out, "FOC", n(s.Font().CharSet));
    field(out, "RMG", n(s.RightMargin()));
    field(out, "LNN", s.GutterFont().Name);
    field(out, "LNS", n(s.GutterFont().Size));
    field(out, "LNC", colourText(s.GutterFont().Color));
    field(out, "LNT", n(s.GutterFont().CharSet));
    field(out, "LNE", fontStyleLetters(s.GutterFont().Style));
    // The margin colour comes last, where a reader that does not know the
    // tag stops without harm; without it the colour would not survive.
    field(out, "MGC", colourText(s.MarginColor()));
    out += "#END#";
    return out;
}

void StylesFromString(TSM_Settings& settings, std::string_view text) {
    apply(settings, readFields(text));
}

} // namespace qorvi
