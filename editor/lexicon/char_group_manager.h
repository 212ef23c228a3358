#pragma once

// Keeps each distinct character group once and hands out its position as a
// small id. Keyword tables store the ids of their neighbour groups, and the
// parser image interns every group of its tables here.

#include "editor/lexicon/char_group.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi {

class TSM_CharGroupManager : public TSM_Base {
public:
    TSM_CharGroupManager() : generation_(nextGeneration()) {}

    // The id of a group equal to `group`; a copy is appended when there is none.
    int IdOfSet(const TSM_CharGroup& group);
    // The id of an equal group, or -1 (nothing is added).
    int FindSet(const TSM_CharGroup& group) const;
    // The group of `id`; an id outside 0 ... Count() - 1 raises ERudivoVoru
    // "Invalid Set ID (%d)".
    const TSM_CharGroup& GetCharSet(int id) const;
    int Count() const { return static_cast<int>(groups_.size()); }
    void Clear() {
        groups_.clear();
        generation_ = nextGeneration();
    }
    // Changes whenever existing ids may have come to mean other groups
    // (a clear or a load); appending a group keeps every id, so it does not.
    // Values are unique in the process, so a manager made or moved in
    // place of another never repeats its predecessor's. Caches of group
    // members compare it instead of resolving every group on every parse.
    std::uint64_t Generation() const { return generation_; }

    // Count, then each group; loading interns them again.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TSM_CharGroupManager"; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TSM_CharGroupManager>(); }

private:
    std::vector<std::unique_ptr<TSM_CharGroup>> groups_;
    static std::uint64_t nextGeneration();

    std::uint64_t generation_;
};

} // namespace qorvi
