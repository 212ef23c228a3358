#include "editor/text/text_save.h"

#include "editor/text/line_break_writer.h"

#include "editor/support/rudivo_voru_error.h"
#include "editor/support/safe_file_stream.h"
#include "editor/support/stream.h"
#include "platform/safe_file_writer.h"

#include <algorithm>

namespace qorvi {


TextOutputStyle OutputStyleFor(LineBreakStyle style) {
    switch (style) {
    case LineBreakStyle::CRLF:
        return {sfTEXT, lsCRLF};
    case LineBreakStyle::CR:
        return {sfTEXT, lsLF};
    case LineBreakStyle::LF:
        break;
    }
    return {sfUNIX, lsCRLF};
}

void ExportPlainText(const TTextStore& store, std::int32_t from, std::int32_t to, TStream& stream,
                     TSaveFormat format, TSelLineStyle lineStyle) {
    from = std::clamp(from, 0, store.NumChars());
    to = std::clamp(to, from, store.NumChars());
    if (from == to)
        return;
    const LineBreakStyle breaks = format == sfUNIX        ? LineBreakStyle::LF
                                  : lineStyle == lsCRLF ? LineBreakStyle::CRLF
                                                        : LineBreakStyle::CR;
    // A stream that takes fewer bytes than offered fails the export at once
    // rather than leaving a silently shortened copy.
    LineBreakWriter out(breaks, [&](const char* data, std::size_t count) {
        if (stream.Write(data, static_cast<std::int64_t>(count)) != static_cast<std::int64_t>(count))
            throw EFileSaveError(kMsgCouldNotSave);
    });
    TTextStore::LineInfo info = store.InfoFromIndex(from);
    std::int32_t skip = from - info.start;
    std::int32_t left = to - from;
    for (const TLine* line = info.line; line && left > 0; line = store.Next(line)) {
        const std::int32_t take = std::min<std::int32_t>(line->Len() - skip, left);
        out.write(std::string_view(line->Text() + skip, static_cast<std::size_t>(take)));
        left -= take;
        skip = 0;
    }
    out.flush();
}

void SaveTextToStream(const TTextStore& store, TStream* stream, TSaveFormat format, TSelLineStyle lineStyle) {
    if (!stream)
        throw EFileSaveError(kMsgBadStream);
    ExportPlainText(store, 0, store.NumChars(), *stream, format, lineStyle);
}

void SaveTextToFile(const TTextStore& store, const std::string& path) {
    SafeFileWriter writer(path);
    SafeFileStream stream(writer);
    TextOutputStyle style = OutputStyleFor(store.FileLineBreaks());
    SaveTextToStream(store, &stream, style.format, style.lineStyle);
    writer.commit();
}

} // namespace qorvi
