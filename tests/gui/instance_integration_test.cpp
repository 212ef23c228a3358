// Two real qorvi processes: the first runs offscreen in debug mode, the
// second hands its file over and exits.

#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

namespace {

using qorvi::test::readFile;

const std::string kQorvi = std::string(QORVI_BINARY_DIR) + "/bin/qorvi";

struct Process {
    pid_t pid = -1;
    ~Process() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            int st;
            ::waitpid(pid, &st, 0);
        }
    }
    // Waits up to `ms` for the exit; the exit code, or -1 when still running.
    int waitExit(int ms) {
        for (int waited = 0; waited <= ms; waited += 10) {
            int st = 0;
            if (::waitpid(pid, &st, WNOHANG) == pid) {
                pid = -1;
                return WIFEXITED(st) ? WEXITSTATUS(st) : 128;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }
};

// An isolated user: HOME, XDG directories and display of its own.
struct IsolatedUser {
    qorvi::test::TempDir root;
    std::string home = root.file("home");
    IsolatedUser() {
        ::mkdir(home.c_str(), 0700);
        ::mkdir(root.file("run").c_str(), 0700);
        ::mkdir(root.file("first").c_str(), 0700);
        ::mkdir(root.file("second").c_str(), 0700);
    }
    Process start(const std::vector<std::string>& args, const std::string& cwd) {
        Process p;
        p.pid = ::fork();
        if (p.pid == 0) {
            ::chdir(cwd.c_str());
            ::setenv("HOME", home.c_str(), 1);
            ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
            ::setenv("XDG_RUNTIME_DIR", root.file("run").c_str(), 1);
            ::setenv("DISPLAY", (":it-" + root.path()).c_str(), 1);
            ::unsetenv("WAYLAND_DISPLAY");
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            std::vector<char*> argv{const_cast<char*>(kQorvi.c_str())};
            for (const auto& a : args)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(kQorvi.c_str(), argv.data());
            ::_exit(127);
        }
        return p;
    }
};

bool waitFor(const std::function<bool()>& cond, int ms) {
    for (int waited = 0; waited <= ms; waited += 20) {
        if (cond())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

TEST(SingleInstance, SecondStartHandsItsFileToTheFirstAndExitsAtOnce) {
    IsolatedUser user;
    std::ofstream(user.root.file("second/a.txt")) << "hello";
    Process first = user.start({"-G"}, user.root.file("first"));
    std::string socket = user.root.file("run/qorvi");
    ASSERT_TRUE(waitFor([&] { return ::access(user.root.file("first/debug.log").c_str(), F_OK) == 0; }, 20000))
        << "the first instance did not start";

    // A full second instance would keep running; one that hands over exits.
    Process second = user.start({"a.txt"}, user.root.file("second"));
    EXPECT_EQ(second.waitExit(5000), 0);

    std::string expected = user.root.file("second/a.txt");
    EXPECT_TRUE(waitFor([&] { return readFile(user.root.file("first/debug.log")).find(expected) != std::string::npos; },
                        5000))
        << readFile(user.root.file("first/debug.log"));
    EXPECT_EQ(first.waitExit(0), -1) << "the first instance keeps running";
}

TEST(SingleInstance, DashMStartsAFullSecondInstance) {
    IsolatedUser user;
    Process first = user.start({"-G"}, user.root.file("first"));
    ASSERT_TRUE(waitFor([&] { return ::access(user.root.file("first/debug.log").c_str(), F_OK) == 0; }, 20000));
    Process second = user.start({"-m", "-G"}, user.root.file("second"));
    EXPECT_TRUE(waitFor([&] { return ::access(user.root.file("second/debug.log").c_str(), F_OK) == 0; }, 20000))
        << "a -m start runs its own main window";
    EXPECT_EQ(second.waitExit(300), -1);
}

TEST(SingleInstance, HelpAndVersionNeedNoDisplayAndAreNeverHandedOver) {
    IsolatedUser user;
    Process help = user.start({"--help"}, user.root.file("first"));
    EXPECT_EQ(help.waitExit(5000), 0);
    Process version = user.start({"--version"}, user.root.file("first"));
    EXPECT_EQ(version.waitExit(5000), 0);
}
