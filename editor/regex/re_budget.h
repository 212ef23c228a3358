#pragma once

// The work one search may do, shared by every matcher it runs: each counts
// its steps (characters scanned, states built, threads moved) against it,
// and past it the search ends with "Expression too complex". A search may
// also be interrupted by its caller (the user pressed Escape): every few
// hundred thousand steps the budget asks, and a yes ends the search with
// SearchInterrupted.

#include "editor/regex/re_error.h"

#include <cstdint>
#include <functional>

namespace qorvi::re {

// Thrown through the matchers when the caller stops a search.
struct SearchInterrupted {};

class Budget {
public:
    using Interrupt = std::function<bool()>;

    explicit Budget(std::int64_t steps, const Interrupt* interrupt = nullptr)
        : left_(steps), interrupt_(interrupt && *interrupt ? interrupt : nullptr) {}

    void spend(std::int64_t steps) {
        left_ -= steps;
        if (left_ < 0)
            throw ERegExprError(reTooComplex, 0);
        if (interrupt_ && (sincePoll_ += steps) >= kPollSteps) {
            sincePoll_ = 0;
            poll();
        }
    }
    // Asks at once whether the caller stopped the search.
    void poll() const {
        if (interrupt_ && (*interrupt_)())
            throw SearchInterrupted{};
    }
    std::int64_t left() const { return left_; }

private:
    static constexpr std::int64_t kPollSteps = 1 << 18;
    std::int64_t left_;
    std::int64_t sincePoll_ = 0;
    const Interrupt* interrupt_;
};

} // namespace qorvi::re
