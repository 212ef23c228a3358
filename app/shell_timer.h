#pragma once

// A timer of the shell's logic: the window system's timer in the program
// (QTimer), a hand-driven one in tests. It fires on the user-interface
// thread; what it runs is the owner's business.

namespace qorvi {

class ShellTimer {
public:
    virtual ~ShellTimer() = default;
    // Starts (or restarts) firing every `milliseconds`.
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

} // namespace qorvi
