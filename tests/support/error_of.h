#pragma once

// The message of the QorviError an action throws, or "(no error)".

#include "platform/qorvi_error.h"

#include <string>

namespace qorvi::test {

template <typename F> std::string errorOf(F&& action) {
    try {
        action();
    } catch (const QorviError& e) {
        return e.message();
    }
    return "(no error)";
}

} // namespace qorvi::test
