#include "editor/text/line_break_writer.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qorvi {

namespace {

// Every CR in `p` becomes an LF, sixteen bytes at a time.
void turnBreaksToLF(char* p, std::size_t n) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i flip = _mm_set1_epi8('\r' ^ '\n');
    for (; n >= 16; p += 16, n -= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i breaks = _mm_cmpeq_epi8(v, cr);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_xor_si128(v, _mm_and_si128(breaks, flip)));
    }
#endif
    for (; n > 0; ++p, --n)
        if (*p == '\r')
            *p = '\n';
}

} // namespace

void LineBreakWriter::write(std::string_view stored) {
    if (style_ == LineBreakStyle::CR) {
        put(stored.data(), stored.size());
        return;
    }
    if (style_ == LineBreakStyle::LF) {
        // A break keeps its length: copied whole, then turned over in place
        // (far cheaper than a copy per line for text of short lines).
        while (!stored.empty()) {
            if (buffer_.size() >= kBuffer)
                flush();
            const std::size_t n = std::min(kBuffer - buffer_.size(), stored.size());
            const std::size_t at = buffer_.size();
            buffer_.append(stored.data(), n);
            turnBreaksToLF(buffer_.data() + at, n);
            stored.remove_prefix(n);
        }
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
