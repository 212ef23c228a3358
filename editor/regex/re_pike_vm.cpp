#include "editor/regex/re_pike_vm.h"

#include <algorithm>

namespace qorvi::re {

namespace {

// Sections of ways that have died pile up; they are swept out once there
// are this many (and, after that, four times as many as were still in use).
constexpr std::size_t kFirstCollection = 1 << 20;

} // namespace

PikeVm::PikeVm(const Nfa& nfa)
    : nfa_(nfa), collectAt_(kFirstCollection), mark_(static_cast<std::size_t>(nfa.size()), 0) {
}

int PikeVm::record(std::int32_t pos, int parent, int slot) {
    arena_.push_back({pos, parent, slot});
    return static_cast<int>(arena_.size()) - 1;
}

// Follows every step that consumes nothing from `pc` at `pos`, in the order
// backtracking would take them, and appends the ways that wait for a
// character (or have matched) to `list`.
void PikeVm::addThread(TextReader& reader, std::vector<Thread>& list, int pc, int head, std::int32_t pos) {
    const NfaInst* insts = nfa_.insts().data();
    std::uint32_t* marks = mark_.data();
    const std::uint32_t generation = generation_;
    // At the start of a text that does not begin with a CR a line starts
    // without one; a line end is a CR ahead or the end of the text.
    const bool textStart = pos == 0 && reader.at(0) != '\r';
    int lineEnd = -1; // not looked at yet
    stack_.clear();
    for (;;) {
        while (marks[pc] != generation) {
            marks[pc] = generation;
            ++work_;
            const NfaInst& inst = insts[pc];
            switch (inst.op) {
            case NfaOp::Char:
            case NfaOp::Match:
                list.push_back({pc, head});
                goto waiting;
            case NfaOp::Bol:
                if (!textStart) {
                    list.push_back({pc, head});
                    goto waiting;
                }
                break;
            case NfaOp::Eol:
                if (lineEnd < 0)
                    lineEnd = pos == reader.count() || reader.at(pos) == '\r';
                if (!lineEnd)
                    goto waiting;
                break;
            case NfaOp::Split:
                stack_.push_back({inst.alt, head});
                break;
            case NfaOp::Record:
                head = record(pos, head, -1);
                break;
            case NfaOp::Open:
                head = record(pos, head, inst.arg);
                break;
            case NfaOp::Close:
                while (head >= 0 && arena_[static_cast<std::size_t>(head)].slot != inst.arg)
                    head = arena_[static_cast<std::size_t>(head)].parent;
                break;
            case NfaOp::Jump:
                break;
            }
            pc = inst.next;
        }
    waiting:
        if (stack_.empty())
            return;
        pc = stack_.back().pc;
        head = stack_.back().head;
        stack_.pop_back();
    }
}

// Keeps only the sections the live ways (and the best match) still reach.
void PikeVm::collectGarbage(std::vector<Thread>& live, int& best) {
    std::vector<int>& moved = moved_;
    moved.assign(arena_.size(), -1);
    std::vector<Section>& kept = spare_;
    kept.clear();
    std::vector<int> chain;
    auto keep = [&](int head) {
        chain.clear();
        for (int h = head; h >= 0 && moved[static_cast<std::size_t>(h)] < 0;
             h = arena_[static_cast<std::size_t>(h)].parent)
            chain.push_back(h);
        for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
            Section s = arena_[static_cast<std::size_t>(*it)];
            if (s.parent >= 0)
                s.parent = moved[static_cast<std::size_t>(s.parent)];
            moved[static_cast<std::size_t>(*it)] = static_cast<int>(kept.size());
            kept.push_back(s);
        }
        return head >= 0 ? moved[static_cast<std::size_t>(head)] : -1;
    };
    for (Thread& t : live)
        t.head = keep(t.head);
    best = keep(best);
    std::swap(arena_, spare_);
    collectAt_ = std::max(kFirstCollection, 4 * arena_.size());
}

bool PikeVm::search(TextReader& reader, Budget& budget, std::int32_t first, std::int32_t last) {
    arena_.clear();
    collectAt_ = kFirstCollection;
    end_ = -1;
    sections_.clear();
    std::vector<Thread>& current = current_;
    std::vector<Thread>& next = next_;
    current.clear();
    int best = -1;
    bool matched = false;

    ++generation_;
    addThread(reader, current, nfa_.start(), -1, first);
    const std::int32_t count = reader.count();
    for (std::int32_t pos = first;; ++pos) {
        const int c = reader.at(pos);
        next.clear();
        ++generation_;
        for (const Thread& t : current) {
            const NfaInst& inst = nfa_.inst(t.pc);
            if (inst.op == NfaOp::Match) {
                // Ways after this one would only have been tried had it failed.
                matched = true;
                best = t.head;
                end_ = pos;
                break;
            }
            const bool takes = inst.op == NfaOp::Char ? c >= 0 && nfa_.accepts(t.pc, c) : c == '\r';
            if (takes)
                addThread(reader, next, inst.next, t.head, pos + 1);
        }
        if (!matched && pos < last && pos < count)
            addThread(reader, next, nfa_.start(), -1, pos + 1);
        budget.spend(work_ + static_cast<std::int64_t>(current.size()));
        work_ = 0;
        if (pos >= count || (next.empty() && (matched || pos >= last)))
            break;
        if (arena_.size() >= collectAt_)
            collectGarbage(next, best);
        std::swap(current, next);
    }
    if (!matched)
        return false;
    for (int h = best; h >= 0; h = arena_[static_cast<std::size_t>(h)].parent)
        sections_.push_back(arena_[static_cast<std::size_t>(h)].pos);
    std::reverse(sections_.begin(), sections_.end());
    return true;
}

} // namespace qorvi::re
