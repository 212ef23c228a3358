#pragma once

// A shell timer on QTimer. What it runs is guarded by its owner: nothing
// may leave a timer event.

#include "app/shell_timer.h"

#include <QTimer>
#include <functional>

namespace qorvi {

class QtShellTimer : public ShellTimer {
public:
    explicit QtShellTimer(std::function<void()> onTimer) {
        QObject::connect(&timer_, &QTimer::timeout, [f = std::move(onTimer)] { f(); });
    }
    void start(int milliseconds) override { timer_.start(milliseconds); }
    void stop() override { timer_.stop(); }
    bool active() const override { return timer_.isActive(); }
    QTimer& timer() { return timer_; }

private:
    QTimer timer_;
};

} // namespace qorvi
