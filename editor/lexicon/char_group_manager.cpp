#include "editor/lexicon/char_group_manager.h"

#include <atomic>

#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

namespace qorvi {

int TSM_CharGroupManager::FindSet(const TSM_CharGroup& group) const {
    for (std::size_t i = 0; i < groups_.size(); ++i)
        if (groups_[i]->EqualTo(group))
            return static_cast<int>(i);
    return -1;
}

int TSM_CharGroupManager::IdOfSet(const TSM_CharGroup& group) {
    if (int id = FindSet(group); id >= 0)
        return id;
    if (groups_.size() == groups_.capacity())
        groups_.reserve(groups_.size() + 16);
    groups_.push_back(std::make_unique<TSM_CharGroup>(group));
    return static_cast<int>(groups_.size()) - 1;
}

const TSM_CharGroup& TSM_CharGroupManager::GetCharSet(int id) const {
    if (id < 0 || id >= Count())
        throw ERudivoVoru(formatMsg(kMsgInvalidSetId, id));
    return *groups_[static_cast<std::size_t>(id)];
}

void TSM_CharGroupManager::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, Count());
    for (const auto& group : groups_)
        group->SaveToStream(stream);
}

void TSM_CharGroupManager::LoadFromStream(TStream& stream) {
    TSM_CharGroupManager loaded;
    const std::int32_t count = SReadCount(stream, TSM_CharGroup::kMinStreamBytes);
    for (std::int32_t i = 0; i < count; ++i) {
        TSM_CharGroup group;
        group.LoadFromStream(stream);
        loaded.IdOfSet(group);
    }
    groups_ = std::move(loaded.groups_);
    generation_ = nextGeneration();
}

std::uint64_t TSM_CharGroupManager::nextGeneration() {
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

} // namespace qorvi
