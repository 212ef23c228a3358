#include "tests/net/fake_ftp_server.h"

#include <arpa/inet.h>
#include <cstdio>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace qorvi::test {

namespace {

constexpr int kReadTimeoutSeconds = 8;

void limitWaits(int fd) {
    timeval tv{kReadTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

int listenOn(const char* address, int& port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    ::inet_pton(AF_INET, address, &a.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 5) != 0)
        throw std::runtime_error("fake server cannot listen");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    port = ntohs(a.sin_port);
    limitWaits(fd);
    return fd;
}

int acceptOn(int listenFd) {
    int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd >= 0)
        limitWaits(fd);
    return fd;
}

} // namespace

FakeConnection::FakeConnection(int fd) : fd_(fd) {
}

FakeConnection::~FakeConnection() {
    close();
}

FakeConnection::FakeConnection(FakeConnection&& other) noexcept
    : fd_(other.fd_), pending_(std::move(other.pending_)) {
    other.fd_ = -1;
}

FakeConnection& FakeConnection::operator=(FakeConnection&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        pending_ = std::move(other.pending_);
        other.fd_ = -1;
    }
    return *this;
}

bool FakeConnection::send(const std::string& bytes) {
    std::size_t done = 0;
    while (fd_ >= 0 && done < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return fd_ >= 0;
}

std::string FakeConnection::readLine() {
    for (;;) {
        std::size_t lf = pending_.find('\n');
        if (lf != std::string::npos) {
            std::string line = pending_.substr(0, lf);
            pending_.erase(0, lf + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        char block[4096];
        ssize_t n = fd_ >= 0 ? ::recv(fd_, block, sizeof block, 0) : 0;
        if (n <= 0)
            return {};
        pending_.append(block, static_cast<std::size_t>(n));
    }
}

std::string FakeConnection::readAll() {
    std::string all = std::move(pending_);
    pending_.clear();
    char block[65536];
    for (;;) {
        ssize_t n = fd_ >= 0 ? ::recv(fd_, block, sizeof block, 0) : 0;
        if (n <= 0)
            return all;
        all.append(block, static_cast<std::size_t>(n));
    }
}

void FakeConnection::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void FakeConnection::reset() {
    if (fd_ >= 0) {
        linger immediate{1, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
    }
    close();
}

FakeFtpServer::FakeFtpServer(Script script) {
    listenFd_ = listenOn("127.0.0.1", port_);
    thread_ = std::thread([this, script = std::move(script)] {
        FakeConnection control(acceptOn(listenFd_));
        if (!control.valid()) {
            note("no client connected");
            return;
        }
        try {
            script(*this, control);
        } catch (const std::exception& e) {
            note(e.what());
        }
    });
}

FakeFtpServer::~FakeFtpServer() {
    finish();
    if (listenFd_ >= 0)
        ::close(listenFd_);
    if (dataListenFd_ >= 0)
        ::close(dataListenFd_);
}

void FakeFtpServer::finish() {
    if (thread_.joinable())
        thread_.join();
}

std::string FakeFtpServer::expect(FakeConnection& control, const std::string& prefix) {
    std::string line = control.readLine();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        commands_.push_back(line);
    }
    if (line.compare(0, prefix.size(), prefix) != 0)
        note("expected \"" + prefix + "\", got \"" + line + "\"");
    return line;
}

void FakeFtpServer::login(FakeConnection& control) {
    control.reply("220 Fake server ready");
    expect(control, "USER ");
    control.reply("331 Password required");
    expect(control, "PASS ");
    control.reply("230 Logged in");
}

int FakeFtpServer::listenData() {
    if (dataListenFd_ >= 0)
        ::close(dataListenFd_);
    int port = 0;
    dataListenFd_ = listenOn("127.0.0.1", port);
    return port;
}

FakeConnection FakeFtpServer::acceptData() {
    FakeConnection data(acceptOn(dataListenFd_));
    if (!data.valid())
        note("the client opened no data connection");
    return data;
}

FakeConnection FakeFtpServer::connectTo(const std::string& portArgument, const std::string& from) {
    int h[4] = {}, p[2] = {};
    if (std::sscanf(portArgument.c_str(), "%d,%d,%d,%d,%d,%d", &h[0], &h[1], &h[2], &h[3], &p[0], &p[1]) !=
        6) {
        note("bad PORT argument " + portArgument);
        return FakeConnection();
    }
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    limitWaits(fd);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(p[0] * 256 + p[1]));
    char address[32];
    std::snprintf(address, sizeof address, "%d.%d.%d.%d", h[0], h[1], h[2], h[3]);
    ::inet_pton(AF_INET, address, &remote.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        note(std::string("cannot connect to ") + address);
        return FakeConnection();
    }
    return FakeConnection(fd);
}

std::vector<std::string> FakeFtpServer::commands() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return commands_;
}

std::string FakeFtpServer::problems() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return problems_;
}

void FakeFtpServer::note(const std::string& problem) {
    std::lock_guard<std::mutex> lock(mutex_);
    problems_ += problem + "\n";
}

std::string passiveReply(int port, const std::string& address) {
    return "227 Entering Passive Mode (" + address + "," + std::to_string(port / 256) + "," +
           std::to_string(port % 256) + ")";
}

} // namespace qorvi::test
