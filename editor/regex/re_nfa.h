#pragma once

// The compiled node program of a regular expression, rewritten as a plain
// automaton for the matchers that run in time linear in the text: a list of
// instructions, each consuming one character or taking one step that
// consumes nothing. Alternatives and repeats become ordered splits (the
// preferred way first, as the backtracking matcher tries them), and every
// counted repeat is unrolled into as many copies of its body as its bounds
// allow, so no instruction depends on a counter.
//
// The instructions keep what the backtracking matcher records: Record, Open
// and Close leave the same sections behind, so a simulation that follows the
// preferred way first reports the same match and the same sections.
//
// A pattern the backtracking matcher has to keep is refused (build returns
// null): one whose unrolled repeats would make the automaton too large, and
// one that may record more than 255 sections, which is an error whose moment
// depends on the order in which backtracking tries the ways.

#include "editor/support/byte_set.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi::re {

enum class NfaOp : std::uint8_t {
    Char,   // one character of `arg`'s set
    Bol,    // a CR, consumed; at the start of a text that does not begin with CR, nothing
    Eol,    // nothing, where a CR or the end of the text follows
    Split,  // `next` first, then `alt`
    Jump,   // on to `next`
    Record, // a section where a consuming node begins
    Open,   // a section where group or repeat `arg` begins
    Close,  // the sections since Open `arg` collapse into its one
    Match,  // the end of a match
};

struct NfaInst {
    NfaOp op;
    int next = -1;
    int alt = -1;
    int arg = 0;
};

class Nfa {
public:
    static constexpr int kMaxInsts = 40000;

    // Null when the pattern needs the backtracking matcher.
    static std::unique_ptr<Nfa> build(const std::uint8_t* program, std::size_t size);

    const std::vector<NfaInst>& insts() const { return insts_; }
    const NfaInst& inst(int pc) const { return insts_[static_cast<std::size_t>(pc)]; }
    int size() const { return static_cast<int>(insts_.size()); }
    int start() const { return start_; }
    // One more than the highest group or repeat slot.
    int slotCount() const { return slotCount_; }
    bool accepts(int pc, int c) const {
        return sets_[static_cast<std::size_t>(insts_[static_cast<std::size_t>(pc)].arg)].Contains(
            static_cast<std::uint8_t>(c));
    }
    // True when a match may hold a CR anywhere but at its first character:
    // otherwise no match that starts before a CR runs past the next one.
    bool crAfterFirst() const { return crAfterFirst_; }

private:
    friend class NfaBuilder;

    std::vector<NfaInst> insts_;
    std::vector<TByteSet> sets_;
    int start_ = 0;
    int slotCount_ = 0;
    bool crAfterFirst_ = true;
};

} // namespace qorvi::re
