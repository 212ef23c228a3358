#include "parser/parser_tables.h"

#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"

namespace qorvi {

namespace {
constexpr const char* kMsgTooManyGroups = "Too many character groups in parser tables (at most 65536)";
const TByteSet kNoMembers;
} // namespace

void TSM_StatesTable::Clear() {
    for (auto& slot : Slots)
        slot.reset();
    Wide.clear();
}

TParserTables::TParserTables() {
    Reset();
}

void TParserTables::Reset() {
    touch();
    keywords_ = std::make_unique<TSyntaxKeywords>();
    for (auto& h : handlers_)
        h.reset();
    startTable_.Clear();
    for (auto& t : stateTables_)
        t.reset();
    stateTableSet_.Clear();
    for (auto& s : stateChanges_)
        s.reset();
    for (auto& c : contextStates_)
        c.Clear();
    anchor_ = TByteSet{0};
    startState_ = TByteSet{0};
    boundStates_.Clear();
    usesCustomMatch_ = 0;
    noStateTables_ = true;
    groupMembers_.clear();
}

std::uint16_t TParserTables::InternGroup(const TSM_CharGroup& group) {
    touch();
    const int existing = keywords_->CharGroups().FindSet(group);
    if (existing >= 0)
        return static_cast<std::uint16_t>(existing);
    if (keywords_->GetMaxCS() >= 65536)
        throw ERudivoVoru(kMsgTooManyGroups);
    return static_cast<std::uint16_t>(keywords_->GetCharSetID(group));
}

const TSM_CharGroup& TParserTables::GroupOf(std::uint16_t id) const {
    return keywords_->CharGroups().GetCharSet(id);
}

const TSM_StatesTable& TParserTables::StartTableFor(const TByteSet& states) const {
    if (noStateTables_)
        return startTable_;
    const int lowest = (stateTableSet_ & states).Lowest();
    if (lowest >= 0)
        if (const TSM_StatesTable* table = stateTables_[static_cast<std::size_t>(lowest)].get())
            return *table;
    return startTable_;
}

void TParserTables::RefreshGroupCache() const {
    if (keywords_->CharGroups().Generation() != groupsGeneration_)
        groupMembers_.clear();
}

const TByteSet& TParserTables::membersSlow(std::uint16_t id) const {
    const TSM_CharGroupManager& groups = keywords_->CharGroups();
    if (groups.Generation() != groupsGeneration_) {
        groupMembers_.clear();
        groupsGeneration_ = groups.Generation();
    }
    if (id >= groups.Count())
        return kNoMembers;
    for (int g = static_cast<int>(groupMembers_.size()); g < groups.Count(); ++g) {
        const TSM_CharGroup& group = groups.GetCharSet(g);
        TByteSet members;
        for (int c = 0; c < 256; ++c)
            if (group.ContainsChar(static_cast<std::uint8_t>(c)))
                members.Include(static_cast<std::uint8_t>(c));
        groupMembers_.push_back(members);
    }
    return groupMembers_[id];
}

void TParserTables::SetHandler(std::uint8_t value, const TSM_HandlerActions& actions) {
    touch();
    handlers_[value] = std::make_unique<TSM_HandlerActions>(actions);
}

TSM_StatesTable& TParserTables::EnsureStateTable(std::uint8_t state) {
    touch();
    if (!stateTables_[state])
        stateTables_[state] = std::make_unique<TSM_StatesTable>();
    stateTableSet_.Include(state);
    return *stateTables_[state];
}

TSM_StatesTable& TParserTables::NewStateTable(std::uint8_t state) {
    touch();
    stateTables_[state] = std::make_unique<TSM_StatesTable>();
    stateTableSet_.Include(state);
    return *stateTables_[state];
}

void TParserTables::SetTokenActions(TSM_StatesTable& table, std::uint8_t c, const TSM_TokenActions& actions) {
    if (table.Slots[c])
        *table.Slots[c] = actions;
    else
        table.Slots[c] = std::make_unique<TSM_TokenActions>(actions);
}

void TParserTables::AddWideActions(TSM_StatesTable& table, std::uint16_t lo, std::uint16_t hi,
                                   const TSM_TokenActions& actions) {
    table.Wide.push_back(TSM_WideActions{lo, hi, std::make_unique<TSM_TokenActions>(actions)});
}

TSM_StateChanges& TParserTables::SetStateChanges(std::uint8_t value, const TSM_StateChanges& changes) {
    touch();
    stateChanges_[value] = std::make_unique<TSM_StateChanges>(changes);
    return *stateChanges_[value];
}

void TParserTables::CompleteCompiledTables() {
    touch();
    for (auto& c : contextStates_)
        if (c.IsEmpty())
            c = startState_;
    UpdateNoStateTables();
}

} // namespace qorvi
