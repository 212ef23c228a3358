#pragma once

// Time as the shell and the FTP client need it: a monotonic millisecond count
// for time-outs and a wall-clock time for "last success" stamps.

#include <chrono>
#include <cstdint>

namespace qorvi {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a steady clock; only differences mean anything.
    virtual std::int64_t steadyMs() const = 0;
    // Seconds since the epoch (wall clock).
    virtual std::int64_t wallSeconds() const = 0;
};

class SystemClock : public Clock {
public:
    std::int64_t steadyMs() const override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
    std::int64_t wallSeconds() const override {
        using namespace std::chrono;
        return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
    }
    static SystemClock& instance() {
        static SystemClock clock;
        return clock;
    }
};

// A clock the tests move by hand.
class ManualClock : public Clock {
public:
    std::int64_t steadyMs() const override { return ms_; }
    std::int64_t wallSeconds() const override { return ms_ / 1000; }
    void advance(std::int64_t ms) { ms_ += ms; }

private:
    std::int64_t ms_ = 1000000;
};

} // namespace qorvi
