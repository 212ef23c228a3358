#pragma once

// A regular-expression matcher that runs in time linear in the text and
// reports exactly what the backtracking matcher would: the same match and
// the same sections.
//
// It moves all the ways through the automaton (re_nfa.h) at once, one
// character at a time, keeping them in the order in which backtracking
// would try them. Two ways that reach the same instruction at the same
// position have the same future, so only the earlier one is kept; and once
// a way reaches the end, the later ones are dropped, since backtracking
// would never have tried them. What each way has recorded is a chain of
// sections shared with the ways it split from, so a split copies nothing.

#include "editor/regex/re_budget.h"
#include "editor/regex/re_nfa.h"
#include "editor/regex/re_text_reader.h"

#include <cstdint>
#include <vector>

namespace qorvi::re {

class PikeVm {
public:
    explicit PikeVm(const Nfa& nfa);

    // The match found by trying each start from `first` to `last` in turn,
    // as the backtracking matcher does; false when there is none.
    bool search(TextReader& reader, Budget& budget, std::int32_t first, std::int32_t last);

    std::int32_t end() const { return end_; }
    int sectionCount() const { return static_cast<int>(sections_.size()); }
    // Section `index`; the section count is the end of the match.
    std::int32_t section(int index) const {
        return index < sectionCount() ? sections_[static_cast<std::size_t>(index)] : end_;
    }

private:
    struct Thread {
        int pc;
        int head; // the last section recorded, or -1
    };
    // One recorded section: where, what came before, and the group or
    // repeat slot it opened (-1 for a consuming node's section).
    struct Section {
        std::int32_t pos;
        int parent;
        int slot;
    };

    void addThread(TextReader& reader, std::vector<Thread>& list, int pc, int head, std::int32_t pos);
    int record(std::int32_t pos, int parent, int slot);
    void collectGarbage(std::vector<Thread>& live, int& best);

    const Nfa& nfa_;
    std::vector<Section> arena_;
    std::vector<Section> spare_;
    std::vector<int> moved_;
    std::size_t collectAt_;
    std::vector<std::uint32_t> mark_;
    std::uint32_t generation_ = 0;
    std::vector<Thread> stack_;
    std::vector<Thread> current_;
    std::vector<Thread> next_;
    std::int64_t work_ = 0;
    std::int32_t end_ = -1;
    std::vector<std::int32_t> sections_;
};

} // namespace qorvi::re
