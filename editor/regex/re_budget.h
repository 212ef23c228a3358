#pragma once

// The work one search may do, shared by every matcher it runs: each counts
// its steps (characters scanned, states built, threads moved) against it,
// and past it the search ends with "Expression too complex".

#include "editor/regex/re_error.h"

#include <cstdint>

namespace qorvi::re {

class Budget {
public:
    explicit Budget(std::int64_t steps) : left_(steps) {}

    void spend(std::int64_t steps) {
        left_ -= steps;
        if (left_ < 0)
            throw ERegExprError(reTooComplex, 0);
    }
    std::int64_t left() const { return left_; }

private:
    std::int64_t left_;
};

} // namespace qorvi::re
