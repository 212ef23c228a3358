#include "editor/regex/re_dfa.h"

#include "editor/regex/re_prefilter.h"

#include <algorithm>
#include <cstring>

namespace qorvi::re {

// ---------------------------------------------------------------- states

DfaStates::DfaStates() {
    clear();
}

void DfaStates::clear() {
    ++clears_;
    states_.clear();
    index_.clear();
    table_.clear();
    intern({}, 0); // kDead: no way alive, nothing to start
}

int DfaStates::intern(const std::vector<int>& insts, int flags) {
    key_.assign(reinterpret_cast<const char*>(insts.data()), insts.size() * sizeof(int));
    key_ += static_cast<char>(flags);
    const auto found = index_.find(key_);
    if (found != index_.end())
        return found->second;
    const int id = static_cast<int>(states_.size());
    cost_ += kColumns + static_cast<std::int64_t>(insts.size());
    states_.push_back({insts, flags});
    index_.emplace(key_, id);
    table_.resize(table_.size() + kColumns, -1);
    return id;
}

// ---------------------------------------------------------------- forward

ForwardDfa::ForwardDfa(const Nfa& nfa)
    : nfa_(nfa), mark_(static_cast<std::size_t>(nfa.size()), 0), taken_(mark_), passed_(mark_) {
}

// Appends to `out` the ways that wait for a character from `pc` on, in
// the order backtracking would try them, passing each instruction once (as
// `marks` record). A line end waits too unless `lineEnd` says it holds:
// whether it does depends on the character the next step meets.
void ForwardDfa::collect(int pc, bool atTextStart, bool lineEnd, std::vector<std::uint32_t>& marks,
                         std::vector<int>& out) {
    stack_.clear();
    stack_.push_back(pc);
    while (!stack_.empty()) {
        int at = stack_.back();
        stack_.pop_back();
        for (;;) {
            std::uint32_t& mark = marks[static_cast<std::size_t>(at)];
            if (mark == generation_)
                break;
            mark = generation_;
            ++work_;
            const NfaInst& inst = nfa_.inst(at);
            if (inst.op == NfaOp::Char || inst.op == NfaOp::Match || (inst.op == NfaOp::Eol && !lineEnd) ||
                (inst.op == NfaOp::Bol && !atTextStart)) {
                out.push_back(at);
                break;
            }
            if (inst.op == NfaOp::Split)
                stack_.push_back(inst.alt);
            at = inst.next;
        }
    }
}

void ForwardDfa::closure(int pc, bool atTextStart) {
    collect(pc, atTextStart, false, mark_, list_);
}

bool ForwardDfa::take(int pc, int c, bool atTextStart) {
    std::uint32_t& taken = taken_[static_cast<std::size_t>(pc)];
    if (taken == generation_)
        return false;
    taken = generation_;
    ++work_;
    const NfaInst& inst = nfa_.inst(pc);
    switch (inst.op) {
    case NfaOp::Match:
        return true;
    case NfaOp::Char:
        if (c != DfaStates::kEnd && nfa_.accepts(pc, c))
            closure(inst.next, false);
        return false;
    case NfaOp::Bol:
        if (c == '\r')
            closure(inst.next, false);
        return false;
    case NfaOp::Eol: {
        if (c != '\r' && c != DfaStates::kEnd)
            return false;
        // The line end holds: the ways behind it wait here too, in its
        // place in the order.
        std::vector<int> leaves;
        collect(inst.next, atTextStart, true, passed_, leaves);
        for (int leaf : leaves)
            if (take(leaf, c, atTextStart))
                return true;
        return false;
    }
    default:
        return false;
    }
}

int ForwardDfa::startState(bool atTextStart, bool seeding) {
    list_.clear();
    ++generation_;
    closure(nfa_.start(), atTextStart);
    return states_.intern(list_, (seeding ? kSeeding : 0) | (atTextStart ? kTextStart : 0));
}

int ForwardDfa::seedState() {
    if (seedState_ < 0)
        seedState_ = startState(false);
    return seedState_;
}

std::int32_t ForwardDfa::step(int state, int c, Budget& budget) {
    if (states_.full()) {
        const std::vector<int> insts = states_.insts(state);
        const int flags = states_.flags(state);
        states_.clear();
        seedState_ = -1;
        state = states_.intern(insts, flags);
    }
    const std::vector<int> ways = states_.insts(state);
    const int flags = states_.flags(state);
    list_.clear();
    ++generation_;
    bool matched = false;
    for (int pc : ways) {
        if (take(pc, c, flags & kTextStart)) {
            // Later ways would only have been tried had this one failed.
            matched = true;
            break;
        }
    }
    int next = DfaStates::kDead;
    if (c != DfaStates::kEnd) {
        const bool seeding = (flags & kSeeding) && !matched;
        if (seeding)
            closure(nfa_.start(), false);
        next = states_.intern(list_, seeding ? kSeeding : 0);
    }
    states_.setTransition(state, c, next, matched);
    budget.spend(work_ + states_.takeCost());
    work_ = 0;
    return states_.transition(state, c);
}

std::int32_t ForwardDfa::findEnd(TextReader& reader, std::int32_t from, Budget& budget,
                                 const Prefilter* prefilter, bool anchored, std::int32_t stopAt,
                                 std::int32_t* reached) {
    const std::int32_t count = reader.count();
    if (from < 0 || from > count)
        return -1;
    if (anchored)
        prefilter = nullptr;
    int state = startState(from == 0 && reader.at(0) != '\r', !anchored);
    int seed = prefilter ? seedState() : -2;
    std::int32_t last = -1;
    std::int32_t pos = from;
    auto stop = [&](std::int32_t at, std::int32_t answer) {
        if (reached)
            *reached = at;
        return answer;
    };
    while (pos < count) {
        if (state == seed) {
            // Nothing is alive: go straight to where a match may start.
            pos = prefilter->next(reader, pos);
            if (pos < 0)
                return stop(count, last);
            if (pos >= count)
                break;
        }
        if (pos >= stopAt)
            return stop(pos, kGaveUp);
        reader.locate(pos);
        const unsigned char* text = reinterpret_cast<const unsigned char*>(reader.lineText());
        const std::int32_t lineStart = reader.lineStart();
        const std::int32_t len = static_cast<std::int32_t>(
            std::min<std::int64_t>(reader.lineLength(), std::int64_t{stopAt} - lineStart));
        std::int32_t off = pos - lineStart;
        const std::int32_t first = off;
        while (off < len) {
            std::int32_t t = states_.transition(state, text[off]);
            if (t < 0) {
                t = step(state, text[off], budget);
                if (prefilter)
                    seed = seedState();
            }
            if (t & 1)
                last = lineStart + off;
            state = t >> 1;
            ++off;
            if (state == DfaStates::kDead) {
                budget.spend(off - first);
                return stop(lineStart + off, last);
            }
            if (state == seed)
                break;
        }
        budget.spend(off - first);
        pos = lineStart + off;
    }
    std::int32_t t = states_.transition(state, DfaStates::kEnd);
    if (t < 0)
        t = step(state, DfaStates::kEnd, budget);
    if (t & 1)
        last = count;
    return stop(count, last);
}

// ---------------------------------------------------------------- reverse

ReverseDfa::ReverseDfa(const Nfa& nfa)
    : nfa_(nfa), epsilonPreds_(static_cast<std::size_t>(nfa.size())),
      consumingPreds_(static_cast<std::size_t>(nfa.size())), mark_(static_cast<std::size_t>(nfa.size()), 0) {
    for (int pc = 0; pc < nfa.size(); ++pc) {
        const NfaInst& inst = nfa.inst(pc);
        auto plain = [&](int to) {
            epsilonPreds_[static_cast<std::size_t>(to)].push_back({pc, Edge::Plain});
        };
        switch (inst.op) {
        case NfaOp::Char:
            consumingPreds_[static_cast<std::size_t>(inst.next)].push_back(pc);
            break;
        case NfaOp::Bol:
            consumingPreds_[static_cast<std::size_t>(inst.next)].push_back(pc);
            epsilonPreds_[static_cast<std::size_t>(inst.next)].push_back({pc, Edge::TextStart});
            break;
        case NfaOp::Eol:
            epsilonPreds_[static_cast<std::size_t>(inst.next)].push_back({pc, Edge::LineEnd});
            break;
        case NfaOp::Split:
            plain(inst.next);
            plain(inst.alt);
            break;
        case NfaOp::Match:
            matches_.push_back(pc);
            break;
        default:
            plain(inst.next);
            break;
        }
    }
}

void ReverseDfa::addToSet(int pc) {
    std::uint32_t& mark = mark_[static_cast<std::size_t>(pc)];
    if (mark != generation_) {
        mark = generation_;
        set_.push_back(pc);
    }
}

// Adds every instruction that reaches one in `set_` without consuming.
void ReverseDfa::close(bool lineEnd, bool textStart) {
    for (std::size_t i = 0; i < set_.size(); ++i) {
        for (const Pred& pred : epsilonPreds_[static_cast<std::size_t>(set_[i])]) {
            ++work_;
            if ((pred.edge == Edge::LineEnd && !lineEnd) || (pred.edge == Edge::TextStart && !textStart))
                continue;
            addToSet(pred.pc);
        }
    }
}

int ReverseDfa::closeAndIntern(bool lineEnd, bool seeding) {
    if (seeding)
        for (int pc : matches_)
            addToSet(pc);
    close(lineEnd, false);
    std::sort(set_.begin(), set_.end());
    const bool accepting = std::binary_search(set_.begin(), set_.end(), nfa_.start());
    return states_.intern(set_, (seeding ? kSeeding : 0) | (accepting ? kAccepting : 0));
}

int ReverseDfa::initial(TextReader& reader, std::int32_t at, bool seeding) {
    set_.clear();
    ++generation_;
    if (!seeding)
        for (int pc : matches_)
            addToSet(pc);
    return closeAndIntern(at == reader.count() || reader.at(at) == '\r', seeding);
}

std::int32_t ReverseDfa::step(int state, int c, Budget& budget) {
    if (states_.full()) {
        const std::vector<int> insts = states_.insts(state);
        const int flags = states_.flags(state);
        states_.clear();
        members_.clear();
        state = states_.intern(insts, flags);
    }
    const std::vector<int> ways = states_.insts(state);
    set_.clear();
    ++generation_;
    for (int pc : ways) {
        for (int pred : consumingPreds_[static_cast<std::size_t>(pc)]) {
            ++work_;
            const bool takes = nfa_.inst(pred).op == NfaOp::Char ? nfa_.accepts(pred, c) : c == '\r';
            if (takes)
                addToSet(pred);
        }
    }
    const int next = closeAndIntern(c == '\r', states_.flags(state) & kSeeding);
    states_.setTransition(state, c, next, false);
    budget.spend(work_ + states_.takeCost());
    work_ = 0;
    return states_.transition(state, c);
}

int ReverseDfa::atZero(TextReader& reader, int state) {
    if (reader.at(0) == '\r')
        return state;
    set_ = states_.insts(state);
    ++generation_;
    for (int pc : set_)
        mark_[static_cast<std::size_t>(pc)] = generation_;
    close(reader.count() == 0, true);
    std::sort(set_.begin(), set_.end());
    const bool accepting = std::binary_search(set_.begin(), set_.end(), nfa_.start());
    return states_.intern(set_, (states_.flags(state) & kSeeding) | (accepting ? kAccepting : 0));
}

void ReverseDfa::fillMembers(int state) const {
    if (members_.size() < states_.size())
        members_.resize(states_.size());
    std::vector<std::uint64_t>& bits = members_[static_cast<std::size_t>(state)];
    bits.assign((static_cast<std::size_t>(nfa_.size()) + 63) / 64 + 1, 0);
    for (int pc : states_.insts(state))
        bits[static_cast<std::size_t>(pc) >> 6] |= std::uint64_t{1} << (pc & 63);
}

std::int32_t ReverseDfa::findStart(TextReader& reader, std::int32_t end, std::int32_t limit, Budget& budget,
                                   std::vector<int>* trail) {
    const std::uint64_t clears = states_.clears();
    if (trail)
        trail->clear();
    int state = initial(reader, end, false);
    std::int32_t best = -1;
    std::int32_t pos = end;
    for (;;) {
        if (pos == 0)
            state = atZero(reader, state);
        if (trail) {
            // A trail longer than this is not kept; the Pike VM does without.
            if (trail->size() >= kMaxTrail) {
                trail->clear();
                trail = nullptr;
            } else {
                trail->push_back(state);
            }
        }
        if (accepts(state))
            best = pos;
        if (pos <= limit || state == DfaStates::kDead)
            break;
        const int c = reader.at(pos - 1);
        std::int32_t t = states_.transition(state, c);
        if (t < 0)
            t = step(state, c, budget);
        state = t >> 1;
        --pos;
        budget.spend(1);
    }
    if (trail && states_.clears() != clears)
        trail->clear();
    return best;
}

std::int32_t ReverseDfa::findLastStart(TextReader& reader, std::int32_t last, const ScanKey& key,
                                       Budget& budget) {
    if (!(key == scanKey_) || states_.clears() != scanClears_) {
        checkpoints_.clear();
        stoppedAt_ = -1;
        scanKey_ = key;
        scanClears_ = states_.clears();
    }
    int state;
    std::int32_t pos;
    const auto resume = checkpoints_.lower_bound(last);
    if (stoppedAt_ >= last && (resume == checkpoints_.end() || stoppedAt_ < resume->first)) {
        // Right where the last search found its match.
        pos = stoppedAt_;
        state = stoppedState_;
    } else if (resume != checkpoints_.end()) {
        pos = resume->first;
        state = resume->second;
    } else {
        pos = key.from;
        state = initial(reader, pos, true);
        checkpoints_[pos] = state;
    }
    std::int32_t found = -1;
    if (pos <= last && accepts(pos == 0 ? atZero(reader, state) : state))
        found = pos;
    while (found < 0 && pos > 0) {
        reader.locate(pos - 1);
        const unsigned char* text = reinterpret_cast<const unsigned char*>(reader.lineText());
        const std::int32_t lineStart = reader.lineStart();
        std::int32_t off = pos - 1 - lineStart;
        const std::int32_t first = off;
        for (; off >= 0; --off) {
            std::int32_t t = states_.transition(state, text[off]);
            if (t < 0)
                t = step(state, text[off], budget);
            state = t >> 1;
            const std::int32_t at = lineStart + off;
            if (at % kCheckpoint == 0)
                checkpoints_[at] = state;
            if (at <= last && accepts(at == 0 ? atZero(reader, state) : state)) {
                found = at;
                break;
            }
        }
        budget.spend(first - off + 1);
        pos = lineStart + std::max(off, 0);
    }
    if (found >= 0) {
        stoppedAt_ = found;
        stoppedState_ = state;
    }
    // States kept from before the cache was emptied are void.
    if (states_.clears() != scanClears_) {
        checkpoints_.clear();
        stoppedAt_ = -1;
    }
    return found;
}

} // namespace qorvi::re
