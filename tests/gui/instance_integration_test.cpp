// Real qorvi processes: the first runs offscreen in debug mode (its
// "debug.log" names every file it opens), later ones hand their files over
// and exit - many at the same moment, to a stopped instance, or past a crowd
// of silent connections.

#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <signal.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

using qorvi::test::readFile;

const std::string kQorvi = std::string(QORVI_BINARY_DIR) + "/bin/qorvi";

struct Process {
    pid_t pid = -1;
    Process() = default;
    Process(Process&& other) noexcept : pid(std::exchange(other.pid, -1)) {}
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
    // How a start is made beyond its arguments: a pipe it takes a byte from
    // before it runs (to start many at the same moment), a file for its
    // error output, a descriptor limit.
    struct Options {
        int gate = -1;
        std::string errors;
        rlim_t maxFiles = 0;
    };
    Process start(const std::vector<std::string>& args, const std::string& cwd) {
        return start(args, cwd, {});
    }
    Process start(const std::vector<std::string>& args, const std::string& cwd, const Options& options) {
        Process p;
        p.pid = ::fork();
        if (p.pid == 0) {
            if (options.gate >= 0) {
                char byte;
                (void)::read(options.gate, &byte, 1);
                ::close(options.gate);
            }
            if (!options.errors.empty()) {
                int fd = ::open(options.errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
                ::dup2(fd, 2);
                ::close(fd);
            }
            if (options.maxFiles) {
                rlimit limit{options.maxFiles, options.maxFiles};
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
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

// The documents the instance opened, in order, from its debug log.
std::vector<std::string> openedNames(const std::string& log) {
    std::vector<std::string> names;
    std::istringstream lines(readFile(log));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("opened ", 0) == 0)
            names.push_back(line.substr(7));
    return names;
}

// CPU time (user and system) a process has used so far, in seconds.
double cpuSeconds(pid_t pid) {
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i)
        if (i >= 14)
            ticks += std::stol(field);
    return static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

bool ignoresSignal(pid_t pid, int signal) {
    std::istringstream status(readFile("/proc/" + std::to_string(pid) + "/status"));
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigIgn:", 0) == 0)
            return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
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

TEST(SingleInstance, TwentySimultaneousStartsOpenEveryFileExactlyOnce) {
    IsolatedUser user;
    Process first = user.start({"-G"}, user.root.file("first"));
    const std::string log = user.root.file("first/debug.log");
    ASSERT_TRUE(waitFor([&] { return ::access(log.c_str(), F_OK) == 0; }, 20000));
    // A save cut short by a file-size limit or a write to a closed
    // connection is an error box, not the end of every unsaved document.
    EXPECT_TRUE(ignoresSignal(first.pid, SIGXFSZ));
    EXPECT_TRUE(ignoresSignal(first.pid, SIGPIPE));

    std::vector<std::string> expected;
    for (int round = 0; round < 2; ++round) {
        int gate[2];
        ASSERT_EQ(::pipe(gate), 0);
        std::vector<Process> starts;
        for (int i = 0; i < 20; ++i) {
            // One name ends in a carriage return; its sibling without one must stay shut.
            std::string name =
                "r" + std::to_string(round) + "-" + std::to_string(i) + ".txt" + (i == 0 ? "\r" : "");
            std::ofstream(user.root.file("second/" + name)) << name;
            expected.push_back(user.root.file("second/" + name));
            starts.push_back(user.start({name}, user.root.file("second"), {gate[0], "", 0}));
        }
        std::ofstream(user.root.file("second/r" + std::to_string(round) + "-0.txt")) << "sibling";
        const std::string go(starts.size(), 'g'); // all at once
        ASSERT_EQ(::write(gate[1], go.data(), go.size()), static_cast<ssize_t>(go.size()));
        ::close(gate[0]);
        ::close(gate[1]);
        for (auto& start : starts)
            EXPECT_EQ(start.waitExit(60000), 0);
    }
    ASSERT_TRUE(waitFor([&] { return openedNames(log).size() >= expected.size(); }, 60000)) << readFile(log);
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // time for a name to open twice
    std::vector<std::string> opened = openedNames(log);
    std::sort(opened.begin(), opened.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);
}

TEST(SingleInstance, TwentyStartsWithNoInstanceRunningMakeOneThatOpensEveryFile) {
    IsolatedUser user;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<Process> starts;
    std::vector<std::string> expected;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "cold-" + std::to_string(i) + ".txt";
        std::ofstream(user.root.file("second/" + name)) << name;
        expected.push_back(user.root.file("second/" + name));
        // Whichever runs keeps a debug log; the others hand "-G" over as a name that matches nothing.
        starts.push_back(user.start({name, "-G"}, user.root.file("second"), {gate[0], "", 0}));
    }
    const std::string go(starts.size(), 'g');
    ASSERT_EQ(::write(gate[1], go.data(), go.size()), static_cast<ssize_t>(go.size()));
    ::close(gate[0]);
    ::close(gate[1]);
    int handedOver = 0;
    ASSERT_TRUE(waitFor(
        [&] {
            for (auto& start : starts)
                if (start.pid > 0 && start.waitExit(0) == 0)
                    ++handedOver;
            return handedOver == 19;
        },
        60000))
        << handedOver << " of the 19 that should hand over did";
    const std::string log = user.root.file("second/debug.log");
    ASSERT_TRUE(waitFor([&] { return openedNames(log).size() >= expected.size(); }, 30000)) << readFile(log);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    std::vector<std::string> opened = openedNames(log);
    std::sort(opened.begin(), opened.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(opened, expected);
}

TEST(SingleInstance, AStoppedInstanceIsReportedInsteadOfWaitedFor) {
    IsolatedUser user;
    Process first = user.start({"-G"}, user.root.file("first"));
    ASSERT_TRUE(
        waitFor([&] { return ::access(user.root.file("first/debug.log").c_str(), F_OK) == 0; }, 20000));
    std::ofstream(user.root.file("second/a.txt")) << "a";
    ::kill(first.pid, SIGSTOP);
    // Offscreen, the question whether to start another editor is answered No.
    // An instance this young may still be building its window, so the
    // start waits for it somewhat longer than for one long running.
    Process second = user.start({"a.txt"}, user.root.file("second"), {-1, user.root.file("errors"), 0});
    const int code = second.waitExit(60000);
    ::kill(first.pid, SIGCONT);
    EXPECT_EQ(code, 1) << "the start neither hung nor claimed a hand-over";
    EXPECT_NE(readFile(user.root.file("errors")).find("does not answer"), std::string::npos)
        << readFile(user.root.file("errors"));
}

TEST(SingleInstance, SilentConnectionsNeitherSpinTheInstanceNorKeepOutAHandOver) {
    IsolatedUser user;
    Process first = user.start({"-G"}, user.root.file("first"), {-1, "", 128});
    const std::string log = user.root.file("first/debug.log");
    ASSERT_TRUE(waitFor([&] { return ::access(log.c_str(), F_OK) == 0; }, 20000));
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    for (const auto& entry : std::filesystem::directory_iterator(user.root.file("run/qorvi")))
        if (entry.is_socket())
            std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", entry.path().c_str());
    // More silent connections than the instance has descriptors.
    std::vector<int> silent;
    for (int i = 0; i < 264; ++i) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
            silent.push_back(fd);
        else
            ::close(fd);
    }
    EXPECT_GT(silent.size(), 128u);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const double before = cpuSeconds(first.pid);
    std::this_thread::sleep_for(std::chrono::seconds(3));
    EXPECT_LT(cpuSeconds(first.pid) - before, 1.0) << "the instance spins while the connections wait";

    std::ofstream(user.root.file("second/b.txt")) << "b";
    Process second = user.start({"b.txt"}, user.root.file("second"));
    EXPECT_EQ(second.waitExit(30000), 0);
    EXPECT_TRUE(waitFor(
        [&] { return openedNames(log) == std::vector<std::string>{user.root.file("second/b.txt")}; }, 20000))
        << readFile(log);
    for (int fd : silent)
        ::close(fd);
}
