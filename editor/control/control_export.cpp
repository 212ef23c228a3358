// The selection written out as plain text, Unix text, RTF or HTML, the whole
// text saved in the control's SaveFormat, and text read in at the
// selection. RTF and HTML carry the colours and font styles the parser gave
// the text, one run per stretch of equal style; every character either
// format gives a meaning is escaped, so the output reads back as the text.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/safe_file_stream.h"
#include "editor/support/stream.h"
#include "editor/text/line.h"
#include "editor/text/text_save.h"
#include "platform/code_page.h"
#include "platform/colors.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace qorvi {
namespace {

constexpr std::size_t kFlushAt = 256 * 1024;

// Buffers the output and hands it to the stream in large pieces.
class ExportSink {
public:
    explicit ExportSink(TStream& stream) : stream_(stream) { buffer_.reserve(kFlushAt + 1024); }
    void put(std::string_view text) {
        buffer_.append(text);
        if (buffer_.size() >= kFlushAt)
            flush();
    }
    void put(char c) {
        buffer_.push_back(c);
        if (buffer_.size() >= kFlushAt)
            flush();
    }
    void flush() {
        if (!buffer_.empty())
            stream_.WriteBuffer(buffer_.data(), static_cast<std::int64_t>(buffer_.size()));
        buffer_.clear();
    }

private:
    TStream& stream_;
    std::string buffer_;
};

template <class... Args> std::string format(const char* pattern, Args... args) {
    char text[512];
    const int n = std::snprintf(text, sizeof text, pattern, args...);
    return std::string(text, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof text) - 1)));
}

// RRGGBB as HTML writes it.
unsigned htmlColor(TColor color) {
    const TColor c = resolveSystemColor(color);
    return static_cast<unsigned>(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
}

std::string todayText() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return text;
}

} // namespace

TCustomRudivoVoru::ExportRun TCustomRudivoVoru::exportRunFor(const std::uint8_t* styles, std::int32_t at) const {
    ExportRun run;
    int formatIndex = 0;
    if (styles) {
        formatIndex = settings_->GetMapEntry(styles[at]);
        if (!settings_->GetFormatEntry(formatIndex).InUse)
            formatIndex = 0;
    }
    const TFormatEntry& entry = settings_->GetFormatEntry(formatIndex);
    run.style = entry.Style;
    run.text = resolveSystemColor(entry.DefaultText ? def_TextColor : entry.TextColor);
    run.back = resolveSystemColor(entry.DefaultBack ? def_BackColor : entry.BackColor);
    return run;
}

// Calls `row(line, from, to)` for the selected part of each record.
template <class Row> void TCustomRudivoVoru::forSelectedRows(Row&& row) const {
    const std::int32_t from = std::min(sel_.chStart, sel_.chEnd);
    const std::int32_t to = std::max(sel_.chStart, sel_.chEnd);
    if (to <= from)
        return;
    TTextStore::LineInfo info = store_->InfoFromIndex(from);
    TLine* line = info.line;
    std::int32_t start = info.start;
    while (line && start < to) {
        const std::int32_t a = std::max(from - start, 0);
        const std::int32_t b = std::min<std::int32_t>(to - start, line->Len());
        if (b > a)
            row(*line, a, b);
        start += line->Len();
        line = store_->Next(line);
    }
}

void TCustomRudivoVoru::DoExportRTF(TStream& stream) {
    ParseAllRequired();
    ExportSink out(stream);
    const TFontSpec& font = settings_->Font();
    out.put("{\\rtf1 \\deff1{\\fonttbl ");
    out.put(format("{\\f1 \\fnil\\fcharset%d %s;}", font.CharSet, font.Name.c_str()));
    out.put("}\r\n{\\colortbl");
    // Default text and background first, then each colour a format uses.
    std::vector<TColor> colors{resolveSystemColor(def_TextColor), resolveSystemColor(def_BackColor)};
    const auto addColor = [&](TColor c) {
        if (colors.size() < 256 && std::find(colors.begin(), colors.end(), c) == colors.end())
            colors.push_back(c);
    };
    for (int i = 0; i < 256; ++i) {
        const TFormatEntry& entry = settings_->GetFormatEntry(i);
        if (!entry.InUse)
            continue;
        addColor(resolveSystemColor(entry.DefaultText ? def_TextColor : entry.TextColor));
        addColor(resolveSystemColor(entry.DefaultBack ? def_BackColor : entry.BackColor));
    }
    for (TColor c : colors)
        out.put(format("\\red%d\\green%d\\blue%d;", GetRValue(c), GetGValue(c), GetBValue(c)));
    const int points = font.Size < 0 ? -font.Size * 72 / 96 : font.Size;
    out.put(format("}\r\n{\\f1\\fs%d\\cf0\\cb1 ", points * 2));
    const auto indexOf = [&](TColor c, int absent) {
        const auto it = std::find(colors.begin(), colors.end(), c);
        return it == colors.end() ? absent : static_cast<int>(it - colors.begin());
    };
    int bold = 0, italic = 0, underline = 0, fore = 0, back = 1;
    forSelectedRows([&](const TLine& line, std::int32_t a, std::int32_t b) {
        const LineStyles lineStyles(line);
        const std::uint8_t* styles = lineStyles.data();
        const char* text = line.Text();
        for (std::int32_t i = a; i < b; ++i) {
            if (styles && (i == a || styles[i] != styles[i - 1])) {
                const ExportRun run = exportRunFor(styles, i);
                const auto flip = [&](int& state, int bit, const char* on, const char* off) {
                    const int now = (run.style & bit) ? 1 : 0;
                    if (now != state)
                        out.put(now ? on : off);
                    state = now;
                };
                flip(bold, fsBold, "\\b1 ", "\\b0 ");
                flip(italic, fsItalic, "\\i1 ", "\\i0 ");
                flip(underline, fsUnderline, "\\ul1 ", "\\ul0 ");
                if (const int f = indexOf(run.text, 0); f != fore)
                    out.put(format("\\cf%d ", fore = f));
                if (const int k = indexOf(run.back, 1); k != back)
                    out.put(format("\\cb%d ", back = k));
            }
            const unsigned char c = static_cast<unsigned char>(text[i]);
            switch (c) {
            case '\t': out.put("\\tab "); break;
            case '\f': out.put("\\page "); break;
            case '\r': out.put("\\line "); break;
            case '\'': out.put("\\'27"); break;
            case '\\': out.put("\\\\"); break;
            case '{': out.put("\\{"); break;
            case '}': out.put("\\}"); break;
            case 0: break;
            default:
                if (const int n = c >= 128 ? utf8Length(line, i, b) : 0; n > 0) {
                    // A UTF-8 character as its code point (two halves past
                    // U+FFFF), with "?" for readers without Unicode.
                    const char32_t cp = decodeUtf8Sequence(std::string_view(text + i, static_cast<std::size_t>(n)), n);
                    if (cp > 0xFFFF)
                        out.put(format("\\u%d?\\u%d?", static_cast<std::int16_t>(0xD800 + ((cp - 0x10000) >> 10)),
                                       static_cast<std::int16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))));
                    else
                        out.put(format("\\u%d?", static_cast<std::int16_t>(cp)));
                    i += n - 1;
                } else if (c < 32 || c >= 128)
                    out.put(format("\\'%02x", c));
                else
                    out.put(static_cast<char>(c));
            }
        }
        out.put("\r\n");
    });
    out.put("}}");
    out.flush();
}

int TCustomRudivoVoru::utf8Length(const TLine& line, std::int32_t at, std::int32_t end) const {
    if (Encoding() != TextEncoding::Utf8)
        return 0;
    return utf8SequenceLength(line.View().substr(static_cast<std::size_t>(at), static_cast<std::size_t>(end - at)));
}

void TCustomRudivoVoru::DoExportHTML(TStream& stream) {
    ParseAllRequired();
    ExportSink out(stream);
    const TFontSpec& font = settings_->Font();
    out.put("<HTML><HEAD>\r\n");
    if (Encoding() == TextEncoding::Utf8)
        out.put("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n");
    out.put("<META NAME=\"Generator\" CONTENT=\"TCustomRudivoVoru (qorvi-editor@users.noreply.invalid)\">\r\n");
    std::string title;
    for (char c : HTMLTitle) // the title is text too
        title += c == '<' ? "&lt;" : c == '>' ? "&gt;" : c == '&' ? "&amp;" : std::string(1, c);
    out.put("<TITLE>" + title + "</TITLE>\r\n");
    out.put("<META NAME=\"Date\" CONTENT=\"" + todayText() + "\">\r\n");
    out.put("</HEAD>\r\n");
    out.put(format("<BODY TEXT=\"#%.6x\" BGCOLOR=\"#%.6x\">\r\n", htmlColor(def_TextColor), htmlColor(def_BackColor)));
    out.put(format("<PRE><FONT FACE=\"%s\">", font.Name.c_str()));
    unsigned fore = htmlColor(def_TextColor);
    int style = 0;
    const auto setStyle = [&](int next) {
        // Closed innermost first, opened outermost first.
        if ((style & fsUnderline) && !(next & fsUnderline))
            out.put("</U>");
        if ((style & fsItalic) && !(next & fsItalic))
            out.put("</I>");
        if ((style & fsBold) && !(next & fsBold))
            out.put("</B>");
        if (!(style & fsBold) && (next & fsBold))
            out.put("<B>");
        if (!(style & fsItalic) && (next & fsItalic))
            out.put("<I>");
        if (!(style & fsUnderline) && (next & fsUnderline))
            out.put("<U>");
        style = next;
    };
    forSelectedRows([&](const TLine& line, std::int32_t a, std::int32_t b) {
        const LineStyles lineStyles(line);
        const std::uint8_t* styles = lineStyles.data();
        const char* text = line.Text();
        for (std::int32_t i = a; i < b; ++i) {
            if (styles && (i == a || styles[i] != styles[i - 1])) {
                const ExportRun run = exportRunFor(styles, i);
                const unsigned color = htmlColor(run.text);
                if (color != fore) {
                    setStyle(0); // a tag open across the FONT change would nest wrongly
                    out.put(format("</FONT><FONT COLOR=\"#%.6x\">", color));
                    fore = color;
                }
                setStyle(run.style & (fsBold | fsItalic | fsUnderline));
            }
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const bool utf8 = Encoding() == TextEncoding::Utf8;
            if (c == '\t' || (c == 160 && !utf8))
                out.put("&nbsp;");
            else if (c < 32)
                continue; // line breaks end the row below; other controls have no HTML form
            else if (c == '"')
                out.put("&quot;");
            else if (c == '<')
                out.put("&lt;");
            else if (c == '>')
                out.put("&gt;");
            else if (c == '&')
                out.put("&amp;");
            else if (const int n = c >= 128 ? utf8Length(line, i, b) : 0; n > 0) {
                out.put(std::string(text + i, static_cast<std::size_t>(n)));
                i += n - 1;
            } else if (c >= 128) {
                // The character the byte stands for: 0x80 is the euro sign in
                // Windows-1252, not the control U+0080; in UTF-8 a stray byte
                // stands for nothing.
                out.put(format("&#%u;", utf8 ? 0xFFFDu : static_cast<unsigned>(cp1252ToUnicode(c))));
            }
            else
                out.put(static_cast<char>(c));
        }
        out.put("\r\n");
    });
    setStyle(0);
    out.put("</PRE></FONT></BODY></HTML>\r\n");
    out.flush();
}

void TCustomRudivoVoru::DoExport(TStream& stream, int flags) {
    const std::int32_t from = std::min(sel_.chStart, sel_.chEnd);
    const std::int32_t to = std::max(sel_.chStart, sel_.chEnd);
    if (flags & kExportRTF)
        DoExportRTF(stream);
    else if (flags & kExportHTML)
        DoExportHTML(stream);
    else if (flags & kExportUnix)
        ExportPlainText(*store_, from, to, stream, sfUNIX, lsCRLF);
    else
        ExportPlainText(*store_, from, to, stream, sfTEXT, (flags & kExportLineFeeds) ? lsCRLF : lsLF);
}

void TCustomRudivoVoru::DoExportUNIX(TStream& stream) {
    DoExport(stream, kExportUnix);
}

std::string TCustomRudivoVoru::ExportText(int flags) {
    TMemoryStream stream;
    DoExport(stream, flags);
    return stream.DataString();
}

void TCustomRudivoVoru::DoImport(TStream& stream) {
    // The text replaces the selection piece by piece; a piece never ends
    // between a CR and the LF that may follow it.
    constexpr std::int64_t kChunk = 8192;
    std::string piece(static_cast<std::size_t>(kChunk), '\0');
    std::string carry;
    bool any = false;
    for (;;) {
        const std::int64_t got = stream.Read(piece.data(), kChunk - static_cast<std::int64_t>(carry.size()));
        if (got <= 0 && carry.empty())
            break;
        std::string chunk = carry + piece.substr(0, static_cast<std::size_t>(std::max<std::int64_t>(got, 0)));
        carry.clear();
        if (got > 0 && chunk.size() == static_cast<std::size_t>(kChunk) && chunk.back() == '\r') {
            carry.assign(1, '\r'); // not = "\r": GCC 12 warns falsely about overlap there
            chunk.pop_back();
        }
        DoReplaceSel(chunk, true);
        any = true;
        const std::int32_t caret = std::max(sel_.chStart, sel_.chEnd);
        SetSelection({caret, caret}, true);
        if (got <= 0)
            break;
    }
    if (!any)
        DoReplaceSel("", true);
    ScreenInvalid();
    showEdit(false);
}

void TCustomRudivoVoru::exportAll(TStream* stream) {
    if (SaveFormat != sfRTF && SaveFormat != sfHTML) {
        SaveTextToStream(*store_, stream, SaveFormat, store_->SelLineStyle());
        return;
    }
    if (!stream)
        throw EFileSaveError("Bad TStream instance");
    const TChRange kept = sel_;
    sel_ = {0, store_->NumChars()};
    try {
        SaveFormat == sfRTF ? DoExportRTF(*stream) : DoExportHTML(*stream);
    } catch (...) {
        sel_ = kept;
        throw;
    }
    sel_ = kept;
}

void TCustomRudivoVoru::SaveToStream(TStream* stream) {
    exportAll(stream);
    if (TUndoStack* history = store_->UndoStack())
        history->ClearHistory();
}

void TCustomRudivoVoru::SaveToFile(const std::string& path) {
    // The file is replaced, and the history cleared, only when every byte
    // was written: a failed save leaves file, text and history as they were.
    SafeFileWriter writer(path);
    SafeFileStream stream(writer);
    exportAll(&stream);
    writer.commit();
    if (TUndoStack* history = store_->UndoStack())
        history->ClearHistory();
}

} // namespace qorvi
