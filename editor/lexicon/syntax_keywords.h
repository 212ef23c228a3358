#pragma once

// A keyword table that also keeps its entries in insertion order, so that
// it can be written to a stream and read back: the parser's main keyword
// table, which travels inside the compiled parser image.

#include "editor/lexicon/keywords.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

// One recorded entry: its own copy of the neighbour group, the states and
// the data value.
class TEndStyleObject {
public:
    TEndStyleObject(const TSM_CharGroup& charGroup, const TByteSet& states, std::int32_t data)
        : CharGroup(charGroup), States(states), Data(data) {}

    TSM_CharGroup CharGroup;
    TByteSet States;
    std::int32_t Data;
};

class TSyntaxKeywords : public TKeywords {
public:
    TSyntaxKeywords() = default;

    // Records the word, then inserts it like TKeywords::Add. Words longer
    // than 255 characters are refused (EKeywords): the stream form holds
    // each word in a short string.
    void Add(std::string_view Keyword, bool CaseSensitive, const TSM_CharGroup& CharGroup,
             const TByteSet& States, std::intptr_t Data) override;
    void Clear() override;

    // The words as added, with their recorded entries.
    const std::vector<std::pair<std::string, std::unique_ptr<TEndStyleObject>>>& Words() const {
        return words_;
    }

    // Case flag, entry count, entries in insertion order (short string word,
    // group, 32-byte states, integer data), then an empty short string.
    // Loading builds a new table and replaces this one only on success.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TSyntaxKeywords"; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TSyntaxKeywords>(); }

private:
    std::vector<std::pair<std::string, std::unique_ptr<TEndStyleObject>>> words_;
};

} // namespace qorvi
