#include "editor/text/line_break_writer.h"

#include <cstring>

namespace qorvi {

void LineBreakWriter::write(std::string_view stored) {
    if (style_ == LineBreakStyle::CR) {
        put(stored.data(), stored.size());
        return;
    }
    const char* p = stored.data();
    const char* end = p + stored.size();
    while (p < end) {
        const auto* cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(end - p)));
        if (!cr) {
            put(p, static_cast<std::size_t>(end - p));
            break;
        }
        put(p, static_cast<std::size_t>(cr - p));
        if (style_ == LineBreakStyle::CRLF)
            put("\r\n", 2);
        else
            put("\n", 1);
        p = cr + 1;
    }
}

void LineBreakWriter::flush() {
    if (buffer_.empty())
        return;
    sink_(buffer_.data(), buffer_.size());
    buffer_.clear();
}

void LineBreakWriter::put(const char* data, std::size_t count) {
    if (buffer_.size() + count > kBuffer)
        flush();
    if (count > kBuffer)
        sink_(data, count);
    else
        buffer_.append(data, count);
}

std::string withLineBreaks(std::string_view stored, LineBreakStyle style) {
    std::string out;
    out.reserve(stored.size() + (style == LineBreakStyle::CRLF ? stored.size() / 16 : 0));
    // Appended directly: the one-shot form needs no buffer of its own.
    LineBreakWriter writer(style, [&](const char* data, std::size_t count) { out.append(data, count); });
    writer.write(stored);
    writer.flush();
    return out;
}

} // namespace qorvi
