#pragma once

#include "platform/pump.h"

#include <functional>

namespace qorvi::test {

// Runs a callback each time a client lets the event loop run.
class CallbackPump : public Pump {
public:
    std::function<void()> onPump;
    int calls = 0;
    void pump() override {
        ++calls;
        if (onPump)
            onPump();
    }
};

} // namespace qorvi::test
