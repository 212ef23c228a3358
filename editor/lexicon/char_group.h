#pragma once

// A character group: a set of characters with an optional negation, written
// in a small bracket notation ("a", "a-z", "[^a-z_]", "[\t\s]"). Keyword
// tables use groups to say which character may follow a word; the parser
// image and its tables refer to interned groups by id.
//
// Notation (TSM_CharGroup_SetFromString), letter case of escapes ignored:
// \t TAB, \b 8, \n CR (the stored line break), \r LF, \s blank, \e 27,
// \x or \u + hex digits, \ + octal digits (values modulo 256); \ before any
// other character stands for that character. Without "[" the text is one
// character or one range; "[" opens a set, "^" right after it negates, an
// unescaped "]" closes it.

#include "editor/support/byte_set.h"
#include "editor/support/data_object_base.h"

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace qorvi {

class TSM_CharGroup : public TSM_Base {
public:
    using Range = std::pair<std::uint8_t, std::uint8_t>;

    TSM_CharGroup() = default;

    void Clear();
    void AddChar(std::uint8_t c);
    // Adds From..To; nothing when To is below From.
    void AddRange(std::uint8_t from, std::uint8_t to);
    // Adds every member of `set`; lowest becomes 0 and highest 255.
    void AddCharSet(const TByteSet& set);

    // Membership, inverted when the group is negated.
    bool ContainsChar(std::uint8_t c) const { return set_.Contains(c) != negate_; }
    // No members and no ranges; the negation does not count.
    bool IsEmpty() const { return set_.IsEmpty() && ranges_.empty(); }
    bool EqualTo(const TSM_CharGroup& other) const;

    // The characters this group lets through as a neighbour of a keyword:
    // every character for an empty group, else the members (negation applied).
    TByteSet AcceptedChars() const;

    const TByteSet& CharSet() const { return set_; }
    bool Negate() const { return negate_; }
    void SetNegate(bool negate) { negate_ = negate; }
    int Lowest() const { return lowest_; }
    int Highest() const { return highest_; }
    // Saved and compared, never filled by this program.
    const std::vector<Range>& Ranges() const { return ranges_; }

    // 32 bytes set, 32-bit range count, negation byte, two bytes per range.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TSM_CharGroup"; }

    // The fewest bytes a group takes in a stream.
    static constexpr int kMinStreamBytes = 32 + 4 + 1;

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TSM_CharGroup>(); }

private:
    TByteSet set_;
    bool negate_ = false;
    int lowest_ = -1;
    int highest_ = 0;
    std::vector<Range> ranges_;
};

// Reads one group from `text` starting at the one-based position `pos`,
// which is left where reading stopped. `group` is cleared first. A range
// whose end is below its start raises ERudivoVoru "Characters not in correct
// order for range specifier".
void TSM_CharGroup_SetFromString(std::string_view text, int& pos, TSM_CharGroup& group);

} // namespace qorvi
