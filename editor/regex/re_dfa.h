#pragma once

// Finding where a match lies, fast: the automaton of a pattern (re_nfa.h)
// run over the text as a deterministic automaton built while it runs - each
// set of ways that can be alive at once becomes one state, and each state
// learns its successor for a character the first time it meets it - so a
// character costs one table lookup once the states are known.
//
// The forward automaton keeps its ways in the order backtracking would try
// them and finds where the first match ends. The reverse one runs the
// pattern backwards from a match's end to find where it starts, or, from
// the end of the text, the last position where any match starts. The
// states the reverse run passes through tell, for every position of the
// match, which instructions still lead to its end: that steers the walk
// that records the match's sections (re_section_walk.h).
//
// The states are kept in a cache of bounded size, emptied when it fills;
// building states counts against the search's budget, so a pattern whose
// states never repeat ends with "Expression too complex".

#include "editor/regex/re_budget.h"
#include "editor/regex/re_nfa.h"
#include "editor/regex/re_text_reader.h"

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace qorvi::re {

class Prefilter;

// States and their transitions, interned by content.
class DfaStates {
public:
    static constexpr int kEnd = 256; // the transition taken at the end of the text
    static constexpr int kColumns = 257;
    static constexpr std::size_t kMaxStates = 4096;
    static constexpr int kDead = 0;

    DfaStates();
    // The state of `insts` (ordered or sorted by the caller) and `flags`.
    int intern(const std::vector<int>& insts, int flags);
    const std::vector<int>& insts(int state) const { return states_[static_cast<std::size_t>(state)].insts; }
    int flags(int state) const { return states_[static_cast<std::size_t>(state)].flags; }
    std::size_t size() const { return states_.size(); }
    // The successor of `state` for column `c`, shifted left by one over a
    // bit of news (forward: a match ended before the character),
    // or -1 when not known yet.
    std::int32_t transition(int state, int c) const {
        return table_[static_cast<std::size_t>(state) * kColumns + static_cast<std::size_t>(c)];
    }
    void setTransition(int state, int c, int next, bool bit) {
        table_[static_cast<std::size_t>(state) * kColumns + static_cast<std::size_t>(c)] = (next << 1) | bit;
    }
    bool full() const { return states_.size() >= kMaxStates; }
    // The steps building new states cost since the last call: a state's row
    // of transitions weighs like the characters it will serve.
    std::int64_t takeCost() {
        const std::int64_t cost = cost_;
        cost_ = 0;
        return cost;
    }
    void clear();
    // How often the cache was emptied: state numbers kept from before are
    // then void.
    std::uint64_t clears() const { return clears_; }

private:
    struct State {
        std::vector<int> insts;
        int flags;
    };
    std::vector<State> states_;
    std::unordered_map<std::string, int> index_;
    std::vector<std::int32_t> table_;
    std::string key_;
    std::uint64_t clears_ = 0;
    std::int64_t cost_ = 0;
};

class ForwardDfa {
public:
    explicit ForwardDfa(const Nfa& nfa);

    static constexpr std::int32_t kGaveUp = -2;

    // Where the match the backtracking matcher finds first - trying every
    // start from `from` on, or only `from` when `anchored` - ends, or -1
    // when there is none. `prefilter`, when given, skips stretches where no
    // match can start. With `stopAt`, kGaveUp when the answer lies beyond
    // it; `reached`, when given, receives where the scan ended.
    std::int32_t findEnd(TextReader& reader, std::int32_t from, Budget& budget, const Prefilter* prefilter,
                         bool anchored = false, std::int32_t stopAt = INT32_MAX,
                         std::int32_t* reached = nullptr);

private:
    // State flags: matches may still start (no match found yet); the state
    // stands at the start of a text that does not begin with a CR.
    static constexpr int kSeeding = 1;
    static constexpr int kTextStart = 2;

    int startState(bool atTextStart, bool seeding = true);
    int seedState();
    // The packed transition of `state` for column `c` (kEnd at the end).
    std::int32_t step(int state, int c, Budget& budget);
    void collect(int pc, bool atTextStart, bool lineEnd, std::vector<std::uint32_t>& marks,
                 std::vector<int>& out);
    void closure(int pc, bool atTextStart);
    // Moves the way waiting at `pc` on over `c`; true when it has matched.
    bool take(int pc, int c, bool atTextStart);

    const Nfa& nfa_;
    DfaStates states_;
    int seedState_ = -1;
    std::vector<std::uint32_t> mark_;   // instructions reached at the next position
    std::vector<std::uint32_t> taken_;  // ways moved on at this position
    std::vector<std::uint32_t> passed_; // steps followed after a line end here
    std::uint32_t generation_ = 0;
    std::vector<int> list_;
    std::vector<int> stack_;
    std::int64_t work_ = 0;
};

class ReverseDfa {
public:
    static constexpr std::size_t kMaxTrail = 1 << 24;

    explicit ReverseDfa(const Nfa& nfa);

    // The first start at or after `limit` of a match that ends at `end`, or
    // -1 when there is none. `trail`, when given, receives the state at each
    // position from `end` back to the first start (trail[k] for end - k), or
    // is left empty when the cache was emptied on the way.
    std::int32_t findStart(TextReader& reader, std::int32_t end, std::int32_t limit, Budget& budget,
                           std::vector<int>* trail = nullptr);
    // Which text a backward scan runs over and from where: a scan of the
    // same text from the same point goes on from where an earlier one
    // passed, so searching backwards match by match scans the text once.
    struct ScanKey {
        const void* text = nullptr;
        std::uint64_t stamp = 0;
        std::int32_t from = -1;
        bool operator==(const ScanKey&) const = default;
    };

    // The last start at or before `last` of any match, or -1; matches may end
    // anywhere up to `key.from`.
    std::int32_t findLastStart(TextReader& reader, std::int32_t last, const ScanKey& key, Budget& budget);
    // Whether the rest of the match follows from `pc` in a state of a trail.
    bool leadsOn(int state, int pc) const {
        if (static_cast<std::size_t>(state) >= members_.size() ||
            members_[static_cast<std::size_t>(state)].empty())
            fillMembers(state);
        return (members_[static_cast<std::size_t>(state)][static_cast<std::size_t>(pc) >> 6] >> (pc & 63)) &
               1u;
    }

private:
    enum class Edge : std::uint8_t { Plain, LineEnd, TextStart };
    struct Pred {
        int pc;
        Edge edge;
    };
    // State flags: a match may end at every position (searching for the
    // last start); the program's start is in the set, so a match starts here.
    static constexpr int kSeeding = 1;
    static constexpr int kAccepting = 2;

    // The state at a position from which `set_` (marked) leads to the end
    // of a match; `lineEnd`: a CR or the end of the text follows.
    int closeAndIntern(bool lineEnd, bool seeding);
    void close(bool lineEnd, bool textStart);
    void addToSet(int pc);
    int initial(TextReader& reader, std::int32_t at, bool seeding);
    std::int32_t step(int state, int c, Budget& budget);
    bool accepts(int state) const { return states_.flags(state) & kAccepting; }
    // `state` at offset 0, where a text that does not begin with a CR
    // starts a line without one: with the ways that open there.
    int atZero(TextReader& reader, int state);
    void fillMembers(int state) const;

    const Nfa& nfa_;
    std::vector<std::vector<Pred>> epsilonPreds_;
    std::vector<std::vector<int>> consumingPreds_;
    std::vector<int> matches_;
    DfaStates states_;
    std::vector<std::uint32_t> mark_;
    std::uint32_t generation_ = 0;
    std::vector<int> set_;
    std::int64_t work_ = 0;
    // The state at every kCheckpoint-th position of the last backward scan.
    static constexpr std::int32_t kCheckpoint = 4096;
    ScanKey scanKey_;
    std::uint64_t scanClears_ = 0;
    std::map<std::int32_t, int> checkpoints_;
    // The instructions of a state as a bit set, made when a walk asks.
    mutable std::vector<std::vector<std::uint64_t>> members_;
    std::int32_t stoppedAt_ = -1; // where the last scan found a start, and its state
    int stoppedState_ = 0;
};

} // namespace qorvi::re
