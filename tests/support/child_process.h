#pragma once

// Runs a piece of a test in a forked child, for faults that end or stall a
// process (a kill, a signal, a read that never returns) and for checks that
// need another user: the child reports through its exit code, and a child
// that has not finished by the deadline is killed, so a test of a hang fails
// instead of hanging.

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace qorvi::test {

struct ChildResult {
    bool finished = false; // false: killed at the deadline
    bool exited = false;   // ended by _exit / return, not by a signal
    int exitCode = -1;
    int signal = 0;
};

// Runs `body` in a child; its return value is the exit code.
inline ChildResult runInChild(const std::function<int()>& body, int deadlineSeconds = 60) {
    pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    ChildResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(deadlineSeconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    result.finished = true;
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

// The user a root test drops to, so that file permissions apply to it.
constexpr uid_t kUnprivilegedUser = 65534;

// Runs `body` in a child as a user without privileges: as "nobody" when the
// tests run as root (after giving it `ownDirectory`), as the test's own user
// otherwise.
inline ChildResult runUnprivileged(const std::string& ownDirectory, const std::function<int()>& body,
                                   int deadlineSeconds = 60) {
    return runInChild(
        [&] {
            if (::geteuid() == 0) {
                if (::chown(ownDirectory.c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0 ||
                    ::setgid(kUnprivilegedUser) != 0 || ::setuid(kUnprivilegedUser) != 0)
                    return 100;
            }
            return body();
        },
        deadlineSeconds);
}

} // namespace qorvi::test
