#pragma once

// The extra keyword tables of a language (the script's %%kwTables section),
// kept by the editor settings: up to 21 definitions, each valid in its own
// set of parser states, and one combined trie built from all of them that
// the parser consults after its main keyword table.

#include "editor/lexicon/keywords.h"
#include "editor/support/byte_set.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

class TStream;

// A word with its data value (the token value the table gives it).
using KeywordWordList = std::vector<std::pair<std::string, std::intptr_t>>;

struct KeywordTableDef {
    TByteSet States;
    std::string Terminator; // a character group in the bracket notation, or empty
    bool CaseSensitive = false;
    KeywordWordList Words;
};

class KeywordTableSet {
public:
    static constexpr int kSlots = 21;

    KeywordTableSet() = default;
    KeywordTableSet(const KeywordTableSet&) = delete;
    KeywordTableSet& operator=(const KeywordTableSet&) = delete;

    // Adds a definition, or replaces the one with exactly the same states,
    // and rebuilds the combined trie. An empty state set means {0}. Raises
    // EKeywords "Ambigious key table state definition" for states that
    // overlap another definition's without being equal, and "Too many
    // keyword tables declared" when every slot is taken. When the trie
    // cannot be built from the new definition (a duplicate word, a bad
    // terminator), the previous definitions are kept and the error passed on.
    void DefineKeywordTable(const TByteSet& States, const std::string& TerminatorText, bool CaseSensitive,
                            const KeywordWordList& Words);
    // Rebuilds the combined trie from the definitions.
    void InvalidateKeywordTrie();

    // The combined trie; null while no definition holds a word.
    TKeywords* Trie() const { return trie_.get(); }
    const KeywordTableDef* Slot(int index) const {
        return index >= 0 && index < kSlots ? slots_[static_cast<std::size_t>(index)].get() : nullptr;
    }
    int Count() const;
    void Clear();
    void swap(KeywordTableSet& other) noexcept {
        slots_.swap(other.slots_);
        trie_.swap(other.trie_);
    }

    // Count, then per table: 32-byte states, string terminator, integer case
    // flag, integer word count, per word: string word, integer data. Loading
    // defines every table again and replaces these tables only on success.
    void SaveToStream(TStream& stream) const;
    void LoadFromStream(TStream& stream);

private:
    std::array<std::unique_ptr<KeywordTableDef>, kSlots> slots_;
    std::unique_ptr<TKeywords> trie_;
};

} // namespace qorvi
