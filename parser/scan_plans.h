#pragma once

// What a token does, worked out once per set of current states and first
// character instead of once per token. Most tokens of a script are plain:
// no handler, a start-table entry that takes a run of one character group up
// to a look-ahead group (or no entry: one character of value 0), and a state
// change without stack operations or containers. For those, the start table,
// the validity tests and the state change are the same every time the same
// character starts a token in the same states, so the parser looks them up
// here and only scans the characters. A handler of value 0 that takes a run
// (it goes on after every token no keyword starts) is planned as such a run.
// Everything else (other handlers, containers, stack operations, extra
// keyword tables) stays with the general path.
//
// The plans are derived from the tables and must be dropped whenever the
// tables change. A step is a few bytes so that the steps of the states in
// use stay in the processor's nearest cache.

#include "editor/support/byte_set.h"
#include "parser/parser_records.h"
#include "parser/scan_words.h"

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

namespace qorvi {

class TParserTables;
struct TSM_StatesTable;
class TScanPlan;

// How a token of one value ends in one set of states.
struct TScanOutcome {
    // The state change needs no general path (no container).
    bool Plain = false;
    // Plain, and a keyword of this value has no handler to go on with.
    bool KeywordPlain = false;
    // Plain, and a keyword of this value goes on with a run (its handler is
    // a run of one group up to a look-ahead group): KeywordRun of the plan.
    bool KeywordThenRun = false;
    bool KeywordRunOptional = false;
    std::uint16_t KeywordRun = 0;
    // The value's state change is not valid in these states: the token
    // shrinks to its first character, of value 0, and nothing changes.
    bool OneChar = false;
    // A state change with a stack operation, made as the general path makes
    // it; NextStates and Next do not apply.
    const TSM_StateChanges* Stacked = nullptr;
    std::uint8_t Value = 0;
    TByteSet NextStates;
    // The plan of NextStates, found on first use.
    TScanPlan* Next = nullptr;
};

// The groups of a run: it goes on over More up to a character of Stop,
// which ends it as a look-ahead, or as its last character with Include.
struct TScanRun {
    // Class bits of a character: a byte per character reads faster in the
    // scanning loop than a bit of a set.
    static constexpr std::uint8_t kMore = 1;
    static constexpr std::uint8_t kStop = 2;
    // More without Stop: what the run goes on over once the look-ahead is tested.
    static constexpr std::uint8_t kGo = 4;

    std::array<std::uint8_t, 256> Class{};
    bool Include = false;

    bool More(unsigned char c) const { return Class[c] & kMore; }
    bool Stop(unsigned char c) const { return Class[c] & kStop; }
    bool Go(unsigned char c) const { return Class[c] & kGo; }
};

// How a token starting with one character is scanned in one set of states.
struct TScanStep {
    enum Kind : std::uint8_t { General, Single, Run, ZeroOrGeneral };

    // Single: the token is its first character alone. Run: the first
    // character, then the run `RunIndex`; a character of neither group ends
    // it as one character of value 0. (A run that takes its last character
    // is read only in place.) ZeroOrGeneral: a keyword, or the run
    // of the handler of value 0; when neither stands, the general path.
    Kind Type = General;
    // The main keyword table has words starting with this character in
    // these states: it is matched first.
    bool TryKeywords = false;
    // Run: the look-ahead group is tested before the first character.
    bool Optional = false;
    // Single or Run with nothing tried before it (no keyword, no handler of
    // value 0).
    bool Direct = false;
    // Run with TryKeywords: every keyword this character may start runs
    // exactly as far as the run and is accepted only by a character that
    // ends it, so the run is taken first and looked up as a whole word.
    bool KeywordsAreRuns = false;
    // The value of the token when it stands.
    std::uint8_t Value = 0;
    std::uint16_t RunIndex = 0;
};

class TScanPlan {
public:
    TScanPlan(const TParserTables& tables, const TScanWords& words, const TByteSet& states);

    const TByteSet& States() const { return states_; }
    // The start table the general path uses in these states.
    const TSM_StatesTable* ActiveTable() const { return activeTable_; }
    const TScanStep& Step(unsigned char c) const { return steps_[c]; }
    const TScanRun& RunOf(const TScanStep& step) const { return runs_[step.RunIndex]; }
    const TScanRun& RunAfterKeyword(const TScanOutcome& out) const { return runs_[out.KeywordRun]; }
    // The run of the handler of value 0, tried after the first character
    // of every token no keyword starts; null without such a handler.
    const TScanRun* ZeroRun() const { return hasZeroRun_ ? &zeroRun_ : nullptr; }
    // Its look-ahead is tested before its first character.
    bool ZeroRunOptional() const { return zeroRunOptional_; }
    TScanOutcome& Outcome(std::uint8_t value) { return outcomes_[value]; }

private:
    TScanStep planStep(const TParserTables& tables, unsigned char c);
    void markKeywordRuns(const TScanWords& words);
    TScanStep zeroOrGeneral(TScanStep step) const;
    std::uint16_t internRun(const TScanRun& run);

    TByteSet states_;
    const TSM_StatesTable* activeTable_ = nullptr;
    std::array<TScanStep, 256> steps_;
    std::array<TScanOutcome, 256> outcomes_;
    std::vector<TScanRun> runs_;
    bool hasZeroRun_ = false;
    bool zeroRunOptional_ = false;
    TScanRun zeroRun_;
};

class TScanPlans {
public:
    // Plans are kept for this many state sets; a script that passes through
    // more takes the general path in the others.
    static constexpr std::size_t kMaxPlans = 64;

    // The plan of `states`, made on first use; null past kMaxPlans.
    TScanPlan* Find(const TParserTables& tables, const TByteSet& states);
    void Clear() {
        plans_.clear();
        words_.Clear();
    }
    // The main keyword table's words, indexed with the first plan.
    const TScanWords& Words() const { return words_; }

private:
    std::deque<TScanPlan> plans_;
    TScanWords words_;
};

} // namespace qorvi
