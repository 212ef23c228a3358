#pragma once

// What a token does, worked out once per set of current states and first
// character instead of once per token. Most tokens of a script are plain:
// no handler, a start-table entry that takes a run of one character group up
// to a look-ahead group (or no entry: one character of value 0), and a state
// change without stack operations or containers. For those, the start table,
// the validity tests and the state change are the same every time the same
// character starts a token in the same states, so the parser looks them up
// here and only scans the characters. Everything else (handlers, containers,
// stack operations, extra keyword tables) stays with the general path.
//
// The plans are derived from the tables and must be dropped whenever the
// tables change.

#include "editor/support/byte_set.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace qorvi {

class TParserTables;
struct TSM_StatesTable;
class TScanPlan;

// The result of a plain token: its value and the states after it.
struct TScanOutcome {
    // False when the token needs the general path (a handler, a container
    // or a stack operation).
    bool Plain = false;
    std::uint8_t Value = 0;
    // The value's state change is not valid in these states: the token
    // shrinks to its first character, of value 0, and nothing changes.
    bool OneChar = false;
    TByteSet NextStates;
    // The plan of NextStates, found on first use.
    TScanPlan* Next = nullptr;
};

// How a token starting with one character is scanned in one set of states.
struct TScanStep {
    enum Kind : std::uint8_t { General, Single, Run };

    Kind Type = General;
    // Single: the token is its first character alone. Run: the first
    // character, then characters of More up to one of Stop (look-ahead).
    // The main keyword table has words starting with this character in
    // these states: it is matched first, and a keyword leaves the plan.
    bool TryKeywords = false;
    // Run: the look-ahead group is tested before the first character.
    bool Optional = false;
    TByteSet More;
    TByteSet Stop;
    // What the run goes on over once the look-ahead is tested: More without Stop.
    TByteSet Go;
    TScanOutcome Success;
    // A run that met a character of neither group: one character, value 0.
    TScanOutcome Failure;
};

class TScanPlan {
public:
    TScanPlan(const TParserTables& tables, const TByteSet& states);

    const TByteSet& States() const { return states_; }
    // The start table the general path uses in these states.
    const TSM_StatesTable* ActiveTable() const { return activeTable_; }
    const TScanStep& Step(unsigned char c) const { return steps_[c]; }
    TScanStep& Step(unsigned char c) { return steps_[c]; }
    // What a keyword of `value` from the main keyword table finishes with.
    TScanOutcome& KeywordOutcome(std::uint8_t value) { return keywordOutcomes_[value]; }

private:
    TByteSet states_;
    const TSM_StatesTable* activeTable_ = nullptr;
    std::array<TScanStep, 256> steps_;
    std::array<TScanOutcome, 256> keywordOutcomes_;
};

class TScanPlans {
public:
    // Plans are kept for this many state sets; a script that passes through
    // more takes the general path in the others.
    static constexpr std::size_t kMaxPlans = 64;

    // The plan of `states`, made on first use; null past kMaxPlans.
    TScanPlan* Find(const TParserTables& tables, const TByteSet& states);
    void Clear() { plans_.clear(); }

private:
    std::deque<TScanPlan> plans_;
};

} // namespace qorvi
