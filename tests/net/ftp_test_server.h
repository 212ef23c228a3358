#pragma once

// A real FTP server (pyftpdlib run by Debian's /usr/bin/python3) for the
// tests and the benchmark: a temp root directory, a user with a password and
// a port the system picked, stopped and removed again on destruction.

#include "tests/support/temp_dir.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qorvi::test {

class FtpTestServer {
public:
    static constexpr const char* kUser = "tester";
    static constexpr const char* kPassword = "s3cret pass";

    struct Options {
        int idleSeconds = 0;     // 0: the server's default
        std::string readOnlyDir; // relative to the root; listed and read, never written
    };

    FtpTestServer() : FtpTestServer(Options{}) {}
    explicit FtpTestServer(const Options& options) {
        std::string script = scriptPath();
        const std::string idle = std::to_string(options.idleSeconds);
        int out[2];
        if (::pipe(out) != 0)
            throw std::runtime_error("pipe failed");
        pid_ = ::fork();
        if (pid_ < 0)
            throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            ::dup2(out[1], 1);
            int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0)
                ::dup2(null, 2);
            ::close(out[0]);
            ::execl("/usr/bin/python3", "python3", script.c_str(), root_.path().c_str(), kUser, kPassword,
                    idle.c_str(), options.readOnlyDir.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(out[1]);
        std::string line;
        char c;
        while (::read(out[0], &c, 1) == 1 && c != '\n')
            line += c;
        ::close(out[0]);
        port_ = std::atoi(line.c_str());
        if (port_ <= 0) {
            stop();
            throw std::runtime_error("the FTP test server did not start (is python3-pyftpdlib installed?)");
        }
        waitUntilAccepting();
    }
    ~FtpTestServer() { stop(); }
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    int port() const { return port_; }
    pid_t pid() const { return pid_; }
    const std::string& root() const { return root_.path(); }
    std::string file(const std::string& name) const { return root_.file(name); }

    // Freezes and thaws the server, for time-out tests.
    void pause() const { ::kill(pid_, SIGSTOP); }
    void resume() const { ::kill(pid_, SIGCONT); }

    void stop() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGCONT);
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 200; ++i) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            ::usleep(10000);
        }
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    static std::string scriptPath() {
        std::string here = __FILE__;
        std::string dir = here.substr(0, here.rfind('/') + 1);
        if (::access((dir + "ftp_server.py").c_str(), R_OK) == 0)
            return dir + "ftp_server.py";
#ifdef QORVI_SOURCE_DIR
        return std::string(QORVI_SOURCE_DIR) + "/tests/net/ftp_server.py";
#else
        return "tests/net/ftp_server.py";
#endif
    }

    void waitUntilAccepting() const {
        for (int i = 0; i < 500; ++i) {
            int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(static_cast<std::uint16_t>(port_));
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
            ::close(fd);
            if (ok)
                return;
            ::usleep(10000);
        }
        throw std::runtime_error("the FTP test server does not accept connections");
    }

    TempDir root_;
    pid_t pid_ = -1;
    int port_ = 0;
};

} // namespace qorvi::test
