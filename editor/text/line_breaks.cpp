#include "editor/text/line_breaks.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace qorvi {

namespace {

// Length of the leading run of `src` that needs no attention: no character
// below 32 (CR and LF among them, since they need a look).
std::size_t plainRun(const char* src, std::size_t count) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i high = _mm_set1_epi8(static_cast<char>(0xE0));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= count; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, high), zero));
        if (mask)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < count && (static_cast<unsigned char>(src[i]) & 0xE0) != 0)
        ++i;
    return i;
}

} // namespace

std::size_t LineBreakAdjuster::adjust(char* dest, const char* src, std::size_t count, bool last) {
    std::size_t in = 0;
    std::size_t out = 0;
    while (in < count) {
        if (!partner_) {
            std::size_t run = plainRun(src + in, count - in);
            std::memcpy(dest + out, src + in, run);
            in += run;
            out += run;
            if (in == count)
                break;
        }
        char c = src[in];
        ++in;
        if (partner_) {
            char partner = partner_;
            partner_ = 0;
            if (c == partner)
                continue;
        }
        if (c == '\r') {
            dest[out++] = '\r';
            partner_ = '\n';
        } else if (c == '\n') {
            dest[out++] = '\r';
            partner_ = '\r';
        } else {
            // Every other byte, control characters and NUL included, is the
            // user's text and is kept as it came.
            dest[out++] = c;
        }
    }
    if (last)
        partner_ = 0;
    return out;
}

std::int32_t RTAdjustLineBreaks_FixedLen(char* dest, const char* src, std::int32_t count) {
    std::size_t written = 0;
    if (count > 0) {
        LineBreakAdjuster adjuster;
        written = adjuster.adjust(dest, src, static_cast<std::size_t>(count), true);
    }
    dest[written] = '\0';
    return static_cast<std::int32_t>(written);
}

bool findLineBreakStyle(const char* data, std::size_t count, bool moreFollows, LineBreakStyle& style) {
    for (std::size_t i = 0; i < count; ++i) {
        if (data[i] == '\n') {
            style = LineBreakStyle::LF;
            return true;
        }
        if (data[i] == '\r') {
            if (i + 1 == count && moreFollows)
                return false; // the next piece tells CR from CR LF
            style = (i + 1 < count && data[i + 1] == '\n') ? LineBreakStyle::CRLF : LineBreakStyle::CR;
            return true;
        }
    }
    return false;
}

} // namespace qorvi
