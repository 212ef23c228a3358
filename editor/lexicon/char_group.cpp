#include "editor/lexicon/char_group.h"

#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "platform/hex_digit.h"

namespace qorvi {

void TSM_CharGroup::Clear() {
    set_.Clear();
    negate_ = false;
    lowest_ = -1;
    highest_ = 0;
    ranges_.clear();
}

void TSM_CharGroup::AddChar(std::uint8_t c) {
    set_.Include(c);
    if (lowest_ < 0 || c < lowest_)
        lowest_ = c;
    if (c > highest_)
        highest_ = c;
}

void TSM_CharGroup::AddRange(std::uint8_t from, std::uint8_t to) {
    for (int c = from; c <= to; ++c)
        AddChar(static_cast<std::uint8_t>(c));
}

void TSM_CharGroup::AddCharSet(const TByteSet& set) {
    set_ |= set;
    lowest_ = 0;
    highest_ = 255;
}

bool TSM_CharGroup::EqualTo(const TSM_CharGroup& other) const {
    return set_ == other.set_ && negate_ == other.negate_ && ranges_ == other.ranges_;
}

TByteSet TSM_CharGroup::AcceptedChars() const {
    if (IsEmpty())
        return TByteSet::All();
    TByteSet accepted;
    for (int c = 0; c < 256; ++c)
        if (ContainsChar(static_cast<std::uint8_t>(c)))
            accepted.Include(static_cast<std::uint8_t>(c));
    return accepted;
}

void TSM_CharGroup::SaveToStream(TStream& stream) const {
    SWriteSet(stream, set_);
    SWriteLongint(stream, static_cast<std::int32_t>(ranges_.size()));
    SWriteByte(stream, negate_ ? 1 : 0);
    for (const Range& r : ranges_) {
        SWriteByte(stream, r.first);
        SWriteByte(stream, r.second);
    }
}

void TSM_CharGroup::LoadFromStream(TStream& stream) {
    const TByteSet set = SReadSet(stream);
    const std::int32_t rangeCount = SReadCount(stream, 2);
    const bool negate = SReadByte(stream) != 0;
    std::vector<Range> ranges;
    ranges.reserve(static_cast<std::size_t>(rangeCount));
    for (std::int32_t i = 0; i < rangeCount; ++i) {
        const std::uint8_t from = SReadByte(stream);
        ranges.emplace_back(from, SReadByte(stream));
    }
    set_ = set;
    negate_ = negate;
    ranges_ = std::move(ranges);
    lowest_ = set_.Lowest();
    highest_ = lowest_ < 0 ? 0 : set_.Highest();
}

namespace {

// Reads one character of the notation at the zero-based index `i`, decoding
// an escape, and moves `i` past it. `escaped` tells whether it was written
// with a backslash (an escaped "]" or "[" is a plain member).
std::uint8_t readChar(std::string_view text, std::size_t& i, bool& escaped) {
    escaped = false;
    const auto c = static_cast<unsigned char>(text[i++]);
    if (c != '\\' || i >= text.size())
        return c;
    escaped = true;
    const auto e = static_cast<unsigned char>(text[i++]);
    switch (e) {
    case 't':
    case 'T':
        return '\t';
    case 'b':
    case 'B':
        return 8;
    case 'n':
    case 'N':
        return '\r';
    case 'r':
    case 'R':
        return '\n';
    case 's':
    case 'S':
        return ' ';
    case 'e':
    case 'E':
        return 27;
    case 'x':
    case 'X':
    case 'u':
    case 'U': {
        if (i >= text.size() || hexDigitValue(text[i]) < 0)
            return e;
        unsigned value = 0;
        while (i < text.size() && hexDigitValue(text[i]) >= 0)
            value = (value * 16 + static_cast<unsigned>(hexDigitValue(text[i++]))) & 0xFF;
        return static_cast<std::uint8_t>(value);
    }
    default:
        break;
    }
    if (e >= '0' && e <= '7') {
        unsigned value = e - '0';
        while (i < text.size() && text[i] >= '0' && text[i] <= '7')
            value = (value * 8 + static_cast<unsigned>(text[i++] - '0')) & 0xFF;
        return static_cast<std::uint8_t>(value);
    }
    return e;
}

// Reads a character or a range "a-b" at `i` into `group`. Inside a set a "-"
// before the closing "]" is a plain member.
void readMember(std::string_view text, std::size_t& i, TSM_CharGroup& group, bool inSet) {
    bool escaped = false;
    const std::uint8_t from = readChar(text, i, escaped);
    const bool rangeFollows = i + 1 < text.size() && text[i] == '-' && !(inSet && text[i + 1] == ']');
    if (!rangeFollows) {
        group.AddChar(from);
        return;
    }
    ++i;
    const std::uint8_t to = readChar(text, i, escaped);
    if (to < from)
        throw ERudivoVoru(kMsgRangeOrder);
    group.AddRange(from, to);
}

} // namespace

void TSM_CharGroup_SetFromString(std::string_view text, int& pos, TSM_CharGroup& group) {
    group.Clear();
    if (pos < 1)
        pos = 1;
    std::size_t i = static_cast<std::size_t>(pos) - 1;
    if (i >= text.size()) {
        pos = static_cast<int>(text.size()) + 1;
        return;
    }
    if (text[i] != '[') {
        readMember(text, i, group, false);
        pos = static_cast<int>(i) + 1;
        return;
    }
    ++i;
    if (i < text.size() && text[i] == '^') {
        group.SetNegate(true);
        ++i;
    }
    while (i < text.size()) {
        if (text[i] == ']') {
            ++i;
            break;
        }
        readMember(text, i, group, true);
    }
    pos = static_cast<int>(i) + 1;
}

} // namespace qorvi
