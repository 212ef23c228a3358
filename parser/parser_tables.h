#pragma once

// Everything a compiled parser script amounts to, apart from the editor
// settings: the main keyword table (whose group manager holds every character
// group the tables refer to), the handler table by token value, the global
// start table and one start table per state, the state changes and context
// sets by token value, and the anchor, bound and start states. The script
// compiler fills these through the building calls below, the image reader
// rebuilds them, and the runtime only reads them.

#include "editor/lexicon/syntax_keywords.h"
#include "editor/support/byte_set.h"
#include "parser/parser_records.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi {

class TParserTables {
public:
    TParserTables();
    TParserTables(const TParserTables&) = delete;
    TParserTables& operator=(const TParserTables&) = delete;

    // Releases every table and record; the keyword table is replaced by an
    // empty one. Anchor and StartState become {0}; BoundStates, the state
    // table set and every context set become empty; UsesCustomMatch 0.
    void Reset();

    // Every call that may change the tables (the non-const accessors among
    // them) counts up this number, so that what is derived from the tables
    // knows when to derive it again.
    std::uint64_t Generation() const { return generation_; }

    // The main keyword table; its group manager holds the groups of all tables.
    TSyntaxKeywords& Keywords() {
        touch();
        return *keywords_;
    }
    const TSyntaxKeywords& Keywords() const { return *keywords_; }
    // The keyword table as the scanner matches with it: only its current
    // states change per token, which is no change of the tables.
    TSyntaxKeywords& KeywordsForScan() const { return *keywords_; }
    // The id of a group equal to `group`, added when missing. Raises
    // ERudivoVoru when the manager would pass 65536 groups.
    std::uint16_t InternGroup(const TSM_CharGroup& group);
    // The group of `id`; raises ERudivoVoru "Invalid Set ID (%d)" for an
    // unknown id.
    const TSM_CharGroup& GroupOf(std::uint16_t id) const;
    // The characters the group `id` lets through; empty for an unknown id.
    // Resolved once per group and cached (see InvalidateGroupCache).
    const TByteSet& Members(std::uint16_t id) const {
        if (id < groupMembers_.size())
            return groupMembers_[id];
        return membersSlow(id);
    }
    // Forgets the cached group members; the next look-up resolves them again.
    void InvalidateGroupCache() const { groupMembers_.clear(); }
    // Forgets them only when the groups have changed since they were
    // resolved: a parse starts often (each re-styled stretch), and
    // resolving every group each time costs more than the parse.
    void RefreshGroupCache() const;

    // Handler table, by token value. Setting a slot replaces (and frees) its record.
    const TSM_HandlerActions* Handler(std::uint8_t value) const { return handlers_[value].get(); }
    void SetHandler(std::uint8_t value, const TSM_HandlerActions& actions);

    // The global start table.
    TSM_StatesTable& StartTable() {
        touch();
        return startTable_;
    }
    const TSM_StatesTable& StartTable() const { return startTable_; }
    // The start table of `state`, or null when the state owns none.
    const TSM_StatesTable* StateTable(std::uint8_t state) const { return stateTables_[state].get(); }
    // The start table of `state`, created (empty) when missing; the state
    // joins the state table set.
    TSM_StatesTable& EnsureStateTable(std::uint8_t state);
    // A fresh, empty start table for `state`, replacing any it had; the
    // state joins the state table set.
    TSM_StatesTable& NewStateTable(std::uint8_t state);
    const TByteSet& StateTableSet() const { return stateTableSet_; }
    // True exactly when no state owns a table.
    bool NoStateTables() const { return noStateTables_; }
    void UpdateNoStateTables() {
        touch();
        noStateTables_ = stateTableSet_.IsEmpty();
    }
    // The start table a token uses in `states`: the table of the lowest of
    // them that owns one, else the global start table.
    const TSM_StatesTable& StartTableFor(const TByteSet& states) const;

    // Puts a copy of `actions` in the slot of `c` (an existing record is
    // overwritten in place).
    static void SetTokenActions(TSM_StatesTable& table, std::uint8_t c, const TSM_TokenActions& actions);
    // Appends a range node with its own copy of `actions`.
    static void AddWideActions(TSM_StatesTable& table, std::uint16_t lo, std::uint16_t hi,
                               const TSM_TokenActions& actions);

    // State changes, by token value. Setting a slot replaces its record.
    const TSM_StateChanges* StateChanges(std::uint8_t value) const { return stateChanges_[value].get(); }
    TSM_StateChanges* StateChanges(std::uint8_t value) {
        touch();
        return stateChanges_[value].get();
    }
    TSM_StateChanges& SetStateChanges(std::uint8_t value, const TSM_StateChanges& changes);

    // The states a parse restarting at a token of `value` begins in; empty
    // means StartState.
    TByteSet& ContextStates(std::uint8_t value) {
        touch();
        return contextStates_[value];
    }
    const TByteSet& ContextStates(std::uint8_t value) const { return contextStates_[value]; }

    TByteSet& Anchor() {
        touch();
        return anchor_;
    }
    const TByteSet& Anchor() const { return anchor_; }
    TByteSet& BoundStates() {
        touch();
        return boundStates_;
    }
    const TByteSet& BoundStates() const { return boundStates_; }
    TByteSet& StartState() {
        touch();
        return startState_;
    }
    const TByteSet& StartState() const { return startState_; }
    std::uint8_t UsesCustomMatch() const { return usesCustomMatch_; }
    void SetUsesCustomMatch(std::uint8_t uses) {
        touch();
        usesCustomMatch_ = uses;
    }

    // The end of a compilation: every context set still empty becomes
    // StartState, and the no-state-tables flag is recomputed.
    void CompleteCompiledTables();

private:
    void touch() { ++generation_; }
    const TByteSet& membersSlow(std::uint16_t id) const;

    std::unique_ptr<TSyntaxKeywords> keywords_;
    std::array<std::unique_ptr<TSM_HandlerActions>, 256> handlers_;
    TSM_StatesTable startTable_;
    std::array<std::unique_ptr<TSM_StatesTable>, 256> stateTables_;
    TByteSet stateTableSet_;
    std::array<std::unique_ptr<TSM_StateChanges>, 256> stateChanges_;
    std::array<TByteSet, 256> contextStates_;
    TByteSet anchor_;
    TByteSet boundStates_;
    TByteSet startState_;
    std::uint8_t usesCustomMatch_ = 0;
    bool noStateTables_ = true;
    mutable std::vector<TByteSet> groupMembers_;
    mutable std::uint64_t groupsGeneration_ = 0;
    std::uint64_t generation_ = 0;
};

} // namespace qorvi
