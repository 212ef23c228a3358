#include "editor/re_pike_vm.h"

#include <algorithm>

namespace qorvi::re {

namespace {

// Sections of ways that have died pile up; they are swept out once there
// are this many (and, after that, twice as many as were still in use).
constexpr std::size_t kFirstCollection = 1 << 16;

} // namespace

PikeVm::PikeVm(const Nfa& nfa, TextReader& reader, Budget& budget)
    : nfa_(nfa), reader_(reader), budget_(budget), collectAt_(kFirstCollection),
      mark_(static_cast<std::size_t>(nfa.size()), 0) {
}

int PikeVm::record(std::int32_t pos, int parent, int slot) {
    arena_.push_back({pos, parent, slot});
    return static_cast<int>(arena_.size()) - 1;
}

// Follows every step that consumes nothing from `pc` at `pos`, in the order
// backtracking would take them, and appends the ways that wait for a
// character (or have matched) to `list`.
void PikeVm::addThread(std::vector<Thread>& list, int pc, int head, std::int32_t pos) {
    stack_.clear();
    stack_.push_back({pc, head});
    while (!stack_.empty()) {
        Thread t = stack_.back();
        stack_.pop_back();
        for (;;) {
            std::uint32_t& mark = mark_[static_cast<std::size_t>(t.pc)];
            if (mark == generation_)
                break;
            mark = generation_;
            ++work_;
            const NfaInst& inst = nfa_.inst(t.pc);
            bool onward = true;
            switch (inst.op) {
            case NfaOp::Char:
            case NfaOp::Match:
                list.push_back(t);
                onward = false;
                break;
            case NfaOp::Bol:
                // At the start of a text that does not begin with a CR the
                // line starts without one.
                if (!(pos == 0 && reader_.at(0) != '\r')) {
                    list.push_back(t);
                    onward = false;
                }
                break;
            case NfaOp::Eol:
                onward = pos == reader_.count() || reader_.at(pos) == '\r';
                break;
            case NfaOp::Split:
                stack_.push_back({inst.alt, t.head});
                break;
            case NfaOp::Record:
                t.head = record(pos, t.head, -1);
                break;
            case NfaOp::Open:
                t.head = record(pos, t.head, inst.arg);
                break;
            case NfaOp::Close:
                while (t.head >= 0 && arena_[static_cast<std::size_t>(t.head)].slot != inst.arg)
                    t.head = arena_[static_cast<std::size_t>(t.head)].parent;
                break;
            case NfaOp::Jump:
                break;
            }
            if (!onward)
                break;
            t.pc = inst.next;
        }
    }
}

// Keeps only the sections the live ways (and the best match) still reach.
void PikeVm::collectGarbage(std::vector<Thread>& live, int& best) {
    std::vector<int> moved(arena_.size(), -1);
    std::vector<Section> kept;
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
    arena_ = std::move(kept);
    collectAt_ = std::max(kFirstCollection, 2 * arena_.size());
}

bool PikeVm::search(std::int32_t first, std::int32_t last) {
    arena_.clear();
    collectAt_ = kFirstCollection;
    end_ = -1;
    sections_.clear();
    std::vector<Thread> current, next;
    int best = -1;
    bool matched = false;

    ++generation_;
    addThread(current, nfa_.start(), -1, first);
    const std::int32_t count = reader_.count();
    for (std::int32_t pos = first;; ++pos) {
        const int c = reader_.at(pos);
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
                addThread(next, inst.next, t.head, pos + 1);
        }
        if (!matched && pos < last && pos < count)
            addThread(next, nfa_.start(), -1, pos + 1);
        budget_.spend(work_ + static_cast<std::int64_t>(current.size()));
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
