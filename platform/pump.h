#pragma once

// Lets the event loop run during a blocking wait (socket operations, a busy
// parser), so painting, timers and commands go on. Waits that pump allow
// re-entry: callers must not delete objects whose waits are on the stack.

namespace qorvi {

class Pump {
public:
    virtual ~Pump() = default;
    // Processes pending events once and returns; never blocks for long.
    virtual void pump() = 0;
};

// For tests and command-line tools: there is no event loop to run.
class NullPump : public Pump {
public:
    void pump() override {}
};

} // namespace qorvi
