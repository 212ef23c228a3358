#include "platform/text_encoding.h"

#include "platform/code_page.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utf8proc.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace qorvi {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t load64(const unsigned char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// What a lead byte allows: the sequence length (0: no lead byte) and the
// range of the second byte, which excludes overlong forms, surrogates and
// code points past U+10FFFF.
struct LeadByte {
    std::uint8_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
};

constexpr std::array<LeadByte, 256> makeLeadBytes() {
    std::array<LeadByte, 256> table{};
    for (int c = 0; c < 0x80; ++c)
        table[static_cast<std::size_t>(c)].length = 1;
    for (int c = 0xC2; c <= 0xDF; ++c)
        table[static_cast<std::size_t>(c)].length = 2;
    for (int c = 0xE0; c <= 0xEF; ++c)
        table[static_cast<std::size_t>(c)].length = 3;
    for (int c = 0xF0; c <= 0xF4; ++c)
        table[static_cast<std::size_t>(c)].length = 4;
    table[0xE0].low = 0xA0;
    table[0xED].high = 0x9F;
    table[0xF0].low = 0x90;
    table[0xF4].high = 0x8F;
    return table;
}

constexpr std::array<LeadByte, 256> kLeadBytes = makeLeadBytes();

// The length of the valid sequence at `p` (at most `available` bytes), or 0.
inline int sequenceLength(const unsigned char* p, std::size_t available) {
    const LeadByte lead = kLeadBytes[p[0]];
    const std::size_t length = lead.length;
    if (length <= 1)
        return static_cast<int>(length);
    if (available < length || p[1] < lead.low || p[1] > lead.high)
        return 0;
    if (length > 2 && (p[2] & 0xC0) != 0x80)
        return 0;
    if (length > 3 && (p[3] & 0xC0) != 0x80)
        return 0;
    return static_cast<int>(length);
}

} // namespace

std::string_view encodingName(TextEncoding encoding) {
    return encoding == TextEncoding::Utf8 ? "UTF-8" : "Windows-1252";
}

bool startsWithUtf8Bom(std::string_view bytes) { return bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom; }

bool isAscii(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    for (; i + 16 <= n; i += 16)
        if ((load64(p + i) | load64(p + i + 8)) & kHighBits)
            return false;
    for (; i < n; ++i)
        if (p[i] & 0x80)
            return false;
    return true;
}

namespace {

// The scalar check: ASCII a word at a time, other characters one by one.
bool isValidUtf8Scalar(const unsigned char* p, std::size_t n) {
    std::size_t i = 0;
    while (i < n) {
        // Most text is ASCII: 16 bytes at a time while no high bit shows.
        if (i + 16 <= n && !((load64(p + i) | load64(p + i + 8)) & kHighBits)) {
            i += 16;
            continue;
        }
        // Else the next 16 bytes or so character by character.
        for (const std::size_t stop = std::min(n, i + 16); i < stop;) {
            if (p[i] < 0x80) {
                ++i;
                continue;
            }
            const int length = sequenceLength(p + i, n - i);
            if (length == 0)
                return false;
            i += static_cast<std::size_t>(length);
        }
    }
    return true;
}

#if defined(__x86_64__) || defined(__i386__)
#define QORVI_VECTOR_UTF8 1

// Sixteen bytes at a time with table look-ups (the byte shuffle of SSSE3):
// every error shows in a pair of neighbouring bytes, found from the high
// nibble of the first byte, its low nibble and the high nibble of the second;
// each table gives the errors that nibble allows, so a pair is bad when all
// three agree on one. A continuation byte expected by a lead two or three
// bytes back is checked against the pair result. Each error kind is one bit.
constexpr std::uint8_t kTooShort = 1 << 0;   // lead then no continuation
constexpr std::uint8_t kTooLong = 1 << 1;    // ASCII then continuation
constexpr std::uint8_t kOverlong3 = 1 << 2;  // E0 80..9F
constexpr std::uint8_t kTooLarge = 1 << 3;   // F4 90..BF, F5..FF
constexpr std::uint8_t kSurrogate = 1 << 4;  // ED A0..BF
constexpr std::uint8_t kOverlong2 = 1 << 5;  // C0, C1
constexpr std::uint8_t kTooLarge1000 = 1 << 6; // F5..FF 80..8F
constexpr std::uint8_t kOverlong4 = 1 << 6;  // F0 80..8F
constexpr std::uint8_t kTwoConts = 1 << 7;   // continuation then continuation
constexpr std::uint8_t kCarry = kTooShort | kTooLong | kTwoConts;

__attribute__((target("ssse3"))) inline __m128i lookup(__m128i nibbles, const std::uint8_t (&table)[16]) {
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(table)), nibbles);
}

__attribute__((target("ssse3"))) inline __m128i highNibbles(__m128i v) {
    return _mm_and_si128(_mm_srli_epi16(v, 4), _mm_set1_epi8(0x0F));
}

// The errors of the sixteen bytes of `input`, given the block before them.
__attribute__((target("ssse3"))) inline __m128i blockErrors(__m128i input, __m128i previous) {
    static constexpr std::uint8_t kByte1High[16] = {
        kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong, kTooLong,
        kTwoConts, kTwoConts, kTwoConts, kTwoConts,
        kTooShort | kOverlong2, kTooShort, kTooShort | kOverlong3 | kSurrogate,
        kTooShort | kTooLarge | kTooLarge1000 | kOverlong4};
    static constexpr std::uint8_t kByte1Low[16] = {
        kCarry | kOverlong3 | kOverlong2 | kOverlong4, kCarry | kOverlong2, kCarry, kCarry,
        kCarry | kTooLarge, kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000 | kSurrogate, kCarry | kTooLarge | kTooLarge1000,
        kCarry | kTooLarge | kTooLarge1000};
    static constexpr std::uint8_t kByte2High[16] = {
        kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort, kTooShort,
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge1000 | kOverlong4,
        kTooLong | kOverlong2 | kTwoConts | kOverlong3 | kTooLarge,
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
        kTooLong | kOverlong2 | kTwoConts | kSurrogate | kTooLarge,
        kTooShort, kTooShort, kTooShort, kTooShort};
    const __m128i prev1 = _mm_alignr_epi8(input, previous, 15);
    const __m128i pairs = _mm_and_si128(
        _mm_and_si128(lookup(highNibbles(prev1), kByte1High),
                      lookup(_mm_and_si128(prev1, _mm_set1_epi8(0x0F)), kByte1Low)),
        lookup(highNibbles(input), kByte2High));
    // A byte two after a lead of three or four, or three after a lead of
    // four, must be a continuation: exactly where the pairs saw two in a row.
    const __m128i prev2 = _mm_alignr_epi8(input, previous, 14);
    const __m128i prev3 = _mm_alignr_epi8(input, previous, 13);
    const __m128i third = _mm_subs_epu8(prev2, _mm_set1_epi8(static_cast<char>(0xE0 - 0x80)));
    const __m128i fourth = _mm_subs_epu8(prev3, _mm_set1_epi8(static_cast<char>(0xF0 - 0x80)));
    const __m128i must = _mm_and_si128(_mm_or_si128(third, fourth), _mm_set1_epi8(static_cast<char>(0x80)));
    return _mm_xor_si128(must, pairs);
}

// Non-zero where the block's last bytes start a sequence that needs more.
__attribute__((target("ssse3"))) inline __m128i unfinished(__m128i input) {
    const __m128i limits = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1,
                                         static_cast<char>(0xF0 - 1), static_cast<char>(0xE0 - 1),
                                         static_cast<char>(0xC0 - 1));
    return _mm_subs_epu8(input, limits);
}

__attribute__((target("ssse3"))) bool isValidUtf8Vector(const unsigned char* p, std::size_t n) {
    __m128i errors = _mm_setzero_si128();
    __m128i previous = _mm_setzero_si128();
    __m128i previousUnfinished = _mm_setzero_si128();
    std::size_t i = 0;
    const auto load = [p](std::size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)); };
    while (i + 16 <= n) {
        // ASCII runs 64 bytes at a time; a sequence left open before one is an error.
        if (i + 64 <= n) {
            const __m128i a = load(i), b = load(i + 16), c = load(i + 32), d = load(i + 48);
            if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) == 0) {
                errors = _mm_or_si128(errors, previousUnfinished);
                previousUnfinished = _mm_setzero_si128();
                previous = d;
                i += 64;
                continue;
            }
        }
        const __m128i input = load(i);
        if (_mm_movemask_epi8(input) == 0) {
            errors = _mm_or_si128(errors, previousUnfinished);
            previousUnfinished = _mm_setzero_si128();
        } else {
            errors = _mm_or_si128(errors, blockErrors(input, previous));
            previousUnfinished = unfinished(input);
        }
        previous = input;
        i += 16;
        // Stop early on a bad file rather than reading all of it.
        if ((i & 4095) == 0 && _mm_movemask_epi8(_mm_cmpeq_epi8(errors, _mm_setzero_si128())) != 0xFFFF)
            return false;
    }
    // The last bytes padded with ASCII: a cut sequence then shows as too short.
    alignas(16) unsigned char tail[16] = {};
    std::memcpy(tail, p + i, n - i);
    const __m128i input = _mm_load_si128(reinterpret_cast<const __m128i*>(tail));
    errors = _mm_or_si128(errors, blockErrors(input, previous));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(errors, _mm_setzero_si128())) == 0xFFFF;
}

bool haveVectorUtf8() {
    static const bool have = __builtin_cpu_supports("ssse3");
    return have;
}
#endif

} // namespace

bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
#ifdef QORVI_VECTOR_UTF8
    if (haveVectorUtf8())
        return isValidUtf8Vector(p, bytes.size());
#endif
    return isValidUtf8Scalar(p, bytes.size());
}

TextEncoding detectEncoding(std::string_view bytes) {
    return startsWithUtf8Bom(bytes) || isValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

namespace {

// The length a lead byte announces (1 for anything else).
std::size_t announcedLength(unsigned char lead) {
    return lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xC2 && lead <= 0xDF ? 2 : 1;
}

} // namespace

void EncodingDetector::feed(std::string_view piece) {
    if (head_.size() < kUtf8Bom.size())
        head_.append(piece.substr(0, kUtf8Bom.size() - head_.size()));
    if (!valid_)
        return;
    if (!carry_.empty()) {
        const std::size_t need = announcedLength(static_cast<unsigned char>(carry_[0])) - carry_.size();
        const std::size_t take = std::min(need, piece.size());
        carry_.append(piece.substr(0, take));
        piece.remove_prefix(take);
        if (take < need)
            return;
        valid_ = isValidUtf8(carry_);
        carry_.clear();
        if (!valid_)
            return;
    }
    // A sequence that the piece's end cuts waits for the next piece.
    std::size_t cut = piece.size();
    for (std::size_t back = 1; back <= 3 && back <= piece.size(); ++back) {
        const auto c = static_cast<unsigned char>(piece[piece.size() - back]);
        if (c >= 0xC0) {
            if (announcedLength(c) > back)
                cut = piece.size() - back;
            break;
        }
        if (c < 0x80)
            break;
    }
    carry_.assign(piece.substr(cut));
    valid_ = isValidUtf8(piece.substr(0, cut));
}

TextEncoding EncodingDetector::result() const {
    return head_ == kUtf8Bom || (valid_ && carry_.empty()) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

int utf8SequenceLength(std::string_view bytes) {
    if (bytes.empty())
        return 0;
    return sequenceLength(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

char32_t decodeUtf8Sequence(std::string_view bytes, int length) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    if (length <= 1)
        return p[0];
    char32_t cp = p[0] & (0x7F >> length);
    for (int k = 1; k < length; ++k)
        cp = (cp << 6) | (p[k] & 0x3F);
    return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

int codePointCells(char32_t cp) {
    // The C0 and C1 controls are shown as one-cell symbols.
    if (cp < 0xA0)
        return 1;
    const int width = utf8proc_charwidth(static_cast<utf8proc_int32_t>(cp));
    return width < 0 ? 1 : (width > 2 ? 2 : width);
}

TextCluster nextCluster(std::string_view text, std::size_t at) {
    TextCluster cluster;
    if (at >= text.size()) {
        cluster.end = text.size();
        return cluster;
    }
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    if (p[at] < 0x80 && (at + 1 >= text.size() || p[at + 1] < 0x80)) {
        cluster.end = at + 1;
        return cluster;
    }
    int length = sequenceLength(p + at, text.size() - at);
    if (length == 0) {
        cluster.end = at + 1;
        cluster.cells = 2;
        cluster.invalid = true;
        return cluster;
    }
    auto previous = static_cast<utf8proc_int32_t>(decodeUtf8Sequence(text.substr(at), length));
    cluster.cells = std::max(1, codePointCells(static_cast<char32_t>(previous)));
    utf8proc_int32_t state = 0;
    std::size_t i = at + static_cast<std::size_t>(length);
    while (i < text.size()) {
        length = sequenceLength(p + i, text.size() - i);
        if (length == 0)
            break;
        const auto next = static_cast<utf8proc_int32_t>(decodeUtf8Sequence(text.substr(i), length));
        if (utf8proc_grapheme_break_stateful(previous, next, &state))
            break;
        previous = next;
        i += static_cast<std::size_t>(length);
    }
    cluster.end = i;
    return cluster;
}

std::size_t previousClusterStart(std::string_view text, std::size_t from, std::size_t at) {
    at = std::min(at, text.size());
    std::size_t start = std::min(from, at);
    for (std::size_t i = start; i < at;) {
        start = i;
        i = nextCluster(text, i).end;
    }
    return start;
}

std::string decodeToUtf8(std::string_view bytes, TextEncoding encoding) {
    if (encoding == TextEncoding::Windows1252)
        return cp1252ToUtf8(bytes);
    if (isValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    for (std::size_t i = 0; i < bytes.size();) {
        const int length = utf8SequenceLength(bytes.substr(i));
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
        } else {
            out.append(bytes.substr(i, static_cast<std::size_t>(length)));
            i += static_cast<std::size_t>(length);
        }
    }
    return out;
}

namespace {

// Calls `each(cp, length)` for each sequence; an invalid byte gives length 0.
template <class Each> void forEachCodePoint(std::string_view utf8, Each each) {
    for (std::size_t i = 0; i < utf8.size();) {
        const int length = utf8SequenceLength(utf8.substr(i));
        if (!each(length ? decodeUtf8Sequence(utf8.substr(i), length) : char32_t{0}, length, i))
            return;
        i += static_cast<std::size_t>(length ? length : 1);
    }
}

} // namespace

std::optional<std::string> encodeFromUtf8(std::string_view utf8, TextEncoding encoding) {
    if (encoding == TextEncoding::Utf8 || isAscii(utf8))
        return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    bool representable = true;
    forEachCodePoint(utf8, [&](char32_t cp, int length, std::size_t) {
        const unsigned char byte = length ? unicodeToCp1252(cp, 0) : 0;
        if (length == 0 || (byte == 0 && cp != 0)) {
            representable = false;
            return false;
        }
        out += static_cast<char>(byte);
        return true;
    });
    if (!representable)
        return std::nullopt;
    return out;
}

std::string firstUnrepresentable(std::string_view utf8) {
    std::string found;
    forEachCodePoint(utf8, [&](char32_t cp, int length, std::size_t at) {
        if (length == 0 || (unicodeToCp1252(cp, 0) == 0 && cp != 0)) {
            found = std::string(utf8.substr(at, static_cast<std::size_t>(length ? length : 1)));
            return false;
        }
        return true;
    });
    return found;
}

} // namespace qorvi
