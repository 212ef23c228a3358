#include "editor/support/byte_set.h"

namespace qorvi {

int TByteSet::Lowest() const {
    for (int i = 0; i < 4; ++i)
        if (words_[i])
            return i * 64 + __builtin_ctzll(words_[i]);
    return -1;
}

int TByteSet::Highest() const {
    for (int i = 3; i >= 0; --i)
        if (words_[i])
            return i * 64 + 63 - __builtin_clzll(words_[i]);
    return -1;
}

std::array<std::uint8_t, TByteSet::kBytes> TByteSet::ToBytes() const {
    std::array<std::uint8_t, kBytes> out{};
    for (int i = 0; i < kBytes; ++i)
        out[i] = static_cast<std::uint8_t>(words_[i >> 3] >> ((i & 7) * 8));
    return out;
}

TByteSet TByteSet::FromBytes(const std::uint8_t* bytes) {
    TByteSet s;
    for (int i = 0; i < kBytes; ++i)
        s.words_[i >> 3] |= std::uint64_t{bytes[i]} << ((i & 7) * 8);
    return s;
}

} // namespace qorvi
