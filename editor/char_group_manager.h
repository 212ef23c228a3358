#pragma once

// Keeps each distinct character group once and hands out its position as a
// small id. Keyword tables store the ids of their neighbour groups, and the
// parser image interns every group of its tables here.

#include "editor/char_group.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi {

class TSM_CharGroupManager : public TSM_Base {
public:
    TSM_CharGroupManager() = default;

    // The id of a group equal to `group`; a copy is appended when there is none.
    int IdOfSet(const TSM_CharGroup& group);
    // The id of an equal group, or -1 (nothing is added).
    int FindSet(const TSM_CharGroup& group) const;
    // The group of `id`; an id outside 0 ... Count() - 1 raises ERudivoVoru
    // "Invalid Set ID (%d)".
    const TSM_CharGroup& GetCharSet(int id) const;
    int Count() const { return static_cast<int>(groups_.size()); }
    void Clear() { groups_.clear(); }

    // Count, then each group; loading interns them again.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TSM_CharGroupManager"; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TSM_CharGroupManager>(); }

private:
    std::vector<std::unique_ptr<TSM_CharGroup>> groups_;
};

} // namespace qorvi
