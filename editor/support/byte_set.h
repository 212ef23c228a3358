#pragma once

// A set of byte values 0-255: the parser states a keyword or token is valid
// in, or the members of a character group. Streams hold it as 32 bytes, bit
// (n mod 8) of byte (n div 8) standing for member n; in memory it is four
// 64-bit words so that two sets meet in four ANDs, which keeps the keyword
// matcher's per-character cost flat.

#include <array>
#include <cstdint>
#include <initializer_list>

namespace qorvi {

class TByteSet {
public:
    static constexpr int kBytes = 32;

    constexpr TByteSet() = default;
    constexpr TByteSet(std::initializer_list<int> members) {
        for (int m : members)
            Include(static_cast<std::uint8_t>(m));
    }
    static constexpr TByteSet All() {
        TByteSet s;
        for (auto& w : s.words_)
            w = ~std::uint64_t{0};
        return s;
    }

    constexpr bool Contains(std::uint8_t n) const { return (words_[n >> 6] >> (n & 63)) & 1u; }
    constexpr void Include(std::uint8_t n) { words_[n >> 6] |= std::uint64_t{1} << (n & 63); }
    constexpr void Exclude(std::uint8_t n) { words_[n >> 6] &= ~(std::uint64_t{1} << (n & 63)); }
    constexpr void Clear() { words_ = {}; }

    constexpr bool IsEmpty() const { return (words_[0] | words_[1] | words_[2] | words_[3]) == 0; }
    // Two sets meet when they have a member in common.
    constexpr bool Meets(const TByteSet& o) const {
        return ((words_[0] & o.words_[0]) | (words_[1] & o.words_[1]) | (words_[2] & o.words_[2]) |
                (words_[3] & o.words_[3])) != 0;
    }
    constexpr TByteSet& operator|=(const TByteSet& o) {
        for (int i = 0; i < 4; ++i)
            words_[i] |= o.words_[i];
        return *this;
    }
    constexpr TByteSet& operator&=(const TByteSet& o) {
        for (int i = 0; i < 4; ++i)
            words_[i] &= o.words_[i];
        return *this;
    }
    // Removes every member of `o` (AND-NOT).
    constexpr TByteSet& Subtract(const TByteSet& o) {
        for (int i = 0; i < 4; ++i)
            words_[i] &= ~o.words_[i];
        return *this;
    }
    friend constexpr TByteSet operator&(TByteSet a, const TByteSet& b) { return a &= b; }
    friend constexpr TByteSet operator|(TByteSet a, const TByteSet& b) { return a |= b; }
    constexpr bool operator==(const TByteSet& o) const { return words_ == o.words_; }
    constexpr bool operator!=(const TByteSet& o) const { return !(*this == o); }

    // Lowest and highest member; -1 when the set is empty.
    int Lowest() const;
    int Highest() const;

    // The 32-byte stream form.
    std::array<std::uint8_t, kBytes> ToBytes() const;
    static TByteSet FromBytes(const std::uint8_t* bytes);

private:
    std::array<std::uint64_t, 4> words_{};
};

} // namespace qorvi
