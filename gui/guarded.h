#pragma once

// No exception may cross Qt's event loop: every slot, event handler and
// timer of the windows runs its work through guarded(), which turns any
// exception - the system's own, the library's or an unknown one - into a
// report (a message box) and lets the event loop go on.

#include <exception>
#include <string>

namespace qorvi {

// Runs `action`; true when it ended normally. On any exception `report`
// gets its message ("Unexpected error" for one that carries none).
template <class Action, class Report> bool guarded(Action&& action, Report&& report) {
    try {
        action();
        return true;
    } catch (const std::exception& e) {
        report(std::string(e.what()));
    } catch (...) {
        report(std::string("Unexpected error"));
    }
    return false;
}

} // namespace qorvi
