#pragma once

// The words of a keyword table by their whole text. When every word a token
// may start with runs exactly as far as the token's own run of characters
// (an identifier and the language's keywords), the scanner takes the run
// first and looks it up once, instead of walking the keyword trie character
// by character beside it.

#include "editor/lexicon/keywords.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qorvi {

class TScanWords {
public:
    // Indexes every word of `trie`, which must stay unchanged while used.
    void Build(const TKeywords& trie);
    bool Built() const { return trie_ != nullptr; }
    void Clear();

    // The entry of the word `at[0..len)` (case folded as the table is) that
    // is valid in `states` and accepts `at[len]` after it; null when none.
    // `avail` characters from `at` may be read (more than `len`).
    const TEndData* Match(const unsigned char* at, std::int32_t len, std::int32_t avail,
                          const TByteSet& states) const;

    // Calls `visit` with each entry and its word (as stored).
    void ForEachEntry(const std::function<void(const std::string&, const TEndData&)>& visit) const;
    bool FoldsCase() const { return fold_; }

private:
    struct Slot {
        // A word of up to eight characters, as the eight bytes it starts
        // (the rest zero): most words are found by one compare.
        std::uint64_t Key = 0;
        std::uint32_t Hash = 0;
        std::uint32_t Node = kNoKeywordNode;
        std::uint32_t FirstEntry = kNoEndData;
        std::uint32_t Offset = 0;
        std::uint32_t Length = 0;
    };

    std::uint32_t hashOf(const unsigned char* at, std::int32_t len) const;
    // The key of a word of up to eight characters; `readable` characters
    // from `at` may be read.
    std::uint64_t keyOf(const unsigned char* at, std::int32_t len, std::int32_t readable) const;
    bool sameWord(const Slot& slot, const unsigned char* at, std::int32_t len) const;

    // A word's shape: its first and last characters (folded) and its length.
    // Bit n of shapes_[shapeOf(first, last)] is set when a word of n
    // characters (bit 0: of 16 or more) has that first and last character,
    // or one that shares the slot; most runs that are no word fail this
    // test before any hashing.
    static std::size_t shapeOf(unsigned char first, unsigned char last) {
        return ((std::size_t{first} << 5) ^ last) & (kShapes - 1);
    }
    static std::uint16_t lengthBit(std::int32_t len) {
        return static_cast<std::uint16_t>(len < 16 ? 1u << len : 1u);
    }
    static constexpr std::size_t kShapes = 4096;
    std::array<std::uint16_t, kShapes> shapes_{};
    const TKeywords* trie_ = nullptr;
    bool fold_ = false;
    std::vector<Slot> slots_;
    std::string words_;
};

} // namespace qorvi
