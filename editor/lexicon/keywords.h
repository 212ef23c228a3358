#pragma once

// A keyword table: a character trie whose entries carry a data value (for a
// parser, the token value of the word), the parser states the entry is valid
// in, and the character group the neighbouring character must belong to.
// The parser matches its words at the scanning position; templates and
// auto-replace match reversed names backwards from the caret.
//
// Nodes live in one array and refer to each other by index. Beside the
// sorted sibling chains (which fix the order of Clear and of enumeration),
// every child is also entered in an open-addressed index keyed by parent and
// character, and the first level in a 256-entry table, so a match touches
// one node per character and never walks a sibling chain. A node's state set
// is the union of the states of every word through it, so words of other
// states are cut off without looking at their entries.

#include "editor/lexicon/char_group_manager.h"
#include "editor/support/byte_set.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class TEdStream;

inline constexpr std::uint32_t kNoKeywordNode = 0xFFFFFFFFu;
inline constexpr std::uint32_t kNoEndData = 0xFFFFFFFFu;

// One word ending at a node.
struct TEndData {
    TByteSet States;
    // The characters the entry's group lets through (every character for an
    // empty group), kept beside the id so a match needs no group look-up.
    TByteSet Accepted;
    std::intptr_t Data = 0;
    std::uint32_t Next = kNoEndData; // the next entry at the same node
    std::uint8_t CharGroup = 0;      // id in the table's group manager
};

struct TKeywordNode {
    TByteSet States;
    std::uint32_t Sibling = kNoKeywordNode; // next node of the level, by ascending character
    std::uint32_t Child = kNoKeywordNode;   // first node of the next character
    std::uint32_t Ends = kNoEndData;        // first entry ending here
    unsigned char Character = ' ';
};

// Called by Clear with each entry's data.
using TKeywordNodeKill = std::function<void(std::intptr_t SomeInfo)>;

class TKeywords : public TSM_Base {
public:
    TKeywords();
    ~TKeywords() override;
    // Entries may carry data the kill notification frees: never two owners.
    TKeywords(const TKeywords&) = delete;
    TKeywords& operator=(const TKeywords&) = delete;

    // Inserts a word. A case-insensitive word is lower-cased (A-Z only). The
    // table's case flag becomes `CaseSensitive`. Raises EKeywords "Duplicate
    // keyword - '%s'" when the word already has an entry whose states meet
    // `States`, and EKeywords when the entry's group would need an id above
    // 255. An empty word is ignored.
    virtual void Add(std::string_view Keyword, bool CaseSensitive, const TSM_CharGroup& CharGroup,
                     const TByteSet& States, std::intptr_t Data);

    // Matches the longest word at the scanner's position whose entry admits
    // the current states and the neighbouring character (the one after the
    // word going forward, before it going backward; the text's start or end
    // counts as a line break, CR). On success the scanner stands after the
    // word (forward) or on its first character (backward), MatchLen is its
    // length and the entry is returned. Otherwise the scanner is one
    // character past StartPos, MatchLen is 1 and null is returned. Allocates
    // nothing.
    virtual const TEndData* MatchStream(TEdStream& Stream, bool CaseSensitive, bool Forward,
                                        std::int32_t& MatchLen, std::int32_t& StartPos,
                                        std::int32_t& StartOffset) const;

    // The node reached by following `Keyword` from the first-character
    // index: the walk stops when the characters run out or at the first one
    // without a matching child, and returns the last node reached (null for
    // an empty word or an unknown first character). Callers test the node's
    // entries themselves.
    const TKeywordNode* MatchKeyword(std::string_view Keyword, bool CaseSensitive) const;

    // Frees every node and entry (calling OnKill with each entry's data),
    // empties the group manager and resets the case flag.
    virtual void Clear();

    // The id of an equal group in the manager, adding a copy when missing.
    int GetCharSetID(const TSM_CharGroup& group) { return groups_.IdOfSet(group); }
    int GetMaxCS() const { return groups_.Count(); }
    TSM_CharGroupManager& CharGroups() { return groups_; }
    const TSM_CharGroupManager& CharGroups() const { return groups_; }

    const TByteSet& CurrentStates() const { return currentStates_; }
    void SetCurrentStates(const TByteSet& states) { currentStates_ = states; }
    bool CaseSensitive() const { return caseSensitive_; }
    void SetOnKill(TKeywordNodeKill onKill) { onKill_ = std::move(onKill); }

    // Read access to the trie.
    bool IsEmpty() const { return nodes_.empty(); }
    const TKeywordNode* Root() const { return nodeAt(root_); }
    const TKeywordNode* FirstNodeOf(unsigned char c) const { return nodeAt(first_[c]); }
    // MatchStream's forward walk (with `states` as the current states) over
    // the characters `at[0..avail)` of one record, for a scanner that reads
    // them in place: false when the walk needs a character past them;
    // otherwise `best` is the longest match (null when none) and `bestLen`
    // its length.
    bool MatchInPlace(const unsigned char* at, std::int32_t avail, bool CaseSensitive, const TByteSet& states,
                      const TEndData*& best, std::int32_t& bestLen) const;
    // The first entry of the chain starting at `entry` whose states meet
    // `states` and that accepts `next` after its word; null when none.
    const TEndData* EntryAccepting(std::uint32_t entry, const TByteSet& states, unsigned char next) const {
        for (std::uint32_t e = entry; e != kNoEndData; e = ends_[e].Next)
            if (ends_[e].States.Meets(states) && ends_[e].Accepted.Contains(next))
                return &ends_[e];
        return nullptr;
    }
    // Lower-cases A-Z only, as the tables are defined.
    static unsigned char foldCase(unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
    }
    // The node a match starting with `c` begins at, under the table's own case flag.
    const TKeywordNode* FirstNodeMatching(unsigned char c) const {
        return FirstNodeOf(caseSensitive_ ? c : foldCase(c));
    }
    const TKeywordNode* NodeAt(std::uint32_t index) const { return nodeAt(index); }
    const TEndData* EndAt(std::uint32_t index) const {
        return index < ends_.size() ? &ends_[index] : nullptr;
    }
    std::size_t NodeCount() const { return nodes_.size(); }
    std::size_t EntryCount() const { return ends_.size(); }

    // Every entry as (word as stored, entry), in trie order: a level by
    // ascending character, a node's own entries before its children's.
    void ForEachEntry(const std::function<void(const std::string&, const TEndData&)>& visit) const;

    // The TSyntaxKeywords stream form, written from the trie in trie order.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TKeywords"; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TKeywords>(); }

    // A fresh node; the trie's index is not touched.
    std::uint32_t NewTreeNode(unsigned char c);
    // The node of `c` in the level below `parent` (kNoKeywordNode: the first
    // level), created in sibling order when missing.
    std::uint32_t GetNode(std::uint32_t parent, unsigned char c);
    // Moves the trie (not the kill notification or current states) in from
    // `other`, which is left empty.
    void takeTrie(TKeywords& other);
    // Reads the keyword stream form, adding every entry to `target` through
    // its Add with the case flag read. Stops at the first empty word.
    static void readEntries(TStream& stream, TKeywords& target);

private:
    const TKeywordNode* nodeAt(std::uint32_t index) const {
        return index < nodes_.size() ? &nodes_[index] : nullptr;
    }
    std::uint32_t findChild(std::uint32_t parent, unsigned char c) const;
    void indexChild(std::uint32_t parent, unsigned char c, std::uint32_t child);
    void growChildIndex();
    void killEntries();

    std::vector<TKeywordNode> nodes_;
    std::vector<TEndData> ends_;
    std::array<std::uint32_t, 256> first_;
    std::uint32_t root_ = kNoKeywordNode;
    // Open-addressed (parent + 1) << 8 | character -> child; 0 marks a free slot.
    std::vector<std::uint64_t> childIndex_;
    std::uint32_t childShift_ = 32;
    TSM_CharGroupManager groups_;
    TByteSet currentStates_;
    TKeywordNodeKill onKill_;
    bool caseSensitive_ = false;
};

} // namespace qorvi
