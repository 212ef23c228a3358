#pragma once

// A timer that fires only when the test says so.

#include "app/shell_timer.h"

namespace qorvi::test {

class FakeShellTimer : public ShellTimer {
public:
    int interval = 0;
    bool running = false;
    void start(int milliseconds) override {
        interval = milliseconds;
        running = true;
    }
    void stop() override { running = false; }
    bool active() const override { return running; }
};

} // namespace qorvi::test
