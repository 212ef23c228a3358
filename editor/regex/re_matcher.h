#pragma once

// The backtracking matcher of compiled regular expressions. It runs the node
// program at one candidate position with its own stack of choice points
// and a trail of the registers (sections, group slots, counters) each choice
// must restore, so a repetition over a long line never deepens the C++
// stack. Every node executed and every character a repeat passes counts
// against a step budget shared by all attempts of one search; past the
// budget, or past the stack limits, the search ends with "Expression too
// complex".

#include "editor/regex/re_text_reader.h"

#include <cstdint>
#include <vector>

namespace qorvi::re {

struct ProgramInfo {
    const std::uint8_t* program = nullptr;
    int slots = 0;    // section slots (groups 1-9, then repeats)
    int counters = 0; // counters of counted repeats
};

class Matcher {
public:
    static constexpr std::size_t kMaxChoices = 1u << 20;
    static constexpr std::size_t kMaxTrail = 1u << 22;

    Matcher(const ProgramInfo& info, TextReader& reader, std::int64_t stepBudget);

    // Runs the program at `start`; true on a match, whose sections and end
    // are then available.
    bool attempt(std::int32_t start);

    std::int32_t end() const { return end_; }
    int sectionCount() const { return sections_; }
    std::int32_t section(int index) const { return regs_[static_cast<std::size_t>(index)]; }
    // Highest section index written by the last attempt, + 1.
    int sectionsTouched() const { return touched_; }
    std::int64_t stepsUsed() const { return steps_; }

private:
    enum ChoiceKind : std::uint8_t { ckBranch, ckStar, ckExit };
    struct Choice {
        ChoiceKind kind;
        int node;           // branch: the next branch node; star: the star node; exit: the exit node
        std::int32_t pos;   // where to resume (star: where the repetitions start)
        std::int32_t count; // star: repetitions taken now
        int sections;
        std::uint32_t trail;
    };

    void setReg(int index, std::int32_t value) {
        if (!choices_.empty()) {
            if (trail_.size() >= kMaxTrail)
                tooComplex();
            trail_.push_back({index, regs_[static_cast<std::size_t>(index)]});
        }
        regs_[static_cast<std::size_t>(index)] = value;
    }
    void record(std::int32_t pos);
    void pushChoice(ChoiceKind kind, int node, std::int32_t pos, std::int32_t count);
    bool backtrack(int& pc, std::int32_t& pos);
    void undoTo(std::uint32_t mark);
    std::int32_t repeatCount(int atom, std::int32_t pos);
    // The largest count in [min, from] after which the star's follower can
    // start, or -1.
    std::int32_t fitCount(int star, std::int32_t start, std::int32_t from, int min);
    [[noreturn]] void tooComplex() const;

    const std::uint8_t* prog_;
    TextReader& reader_;
    const int slotBase_;
    const int counterBase_;
    std::vector<std::int32_t> regs_;
    std::vector<std::pair<int, std::int32_t>> trail_;
    std::vector<Choice> choices_;
    int sections_ = 0;
    int touched_ = 0;
    std::int32_t end_ = -1;
    std::int64_t steps_ = 0;
    const std::int64_t budget_;
};

} // namespace qorvi::re
