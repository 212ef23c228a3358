#pragma once

// A scripted FTP server for what a real one will not do on request: odd
// replies, broken data connections, foreign addresses, endless lines. It runs
// its script on a thread over blocking loopback sockets (each read gives up
// after a few seconds, so a client fault cannot hang the suite) while the
// client under test runs on the test's own thread.

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qorvi::test {

class FakeConnection {
public:
    FakeConnection() = default;
    explicit FakeConnection(int fd);
    ~FakeConnection();
    FakeConnection(FakeConnection&& other) noexcept;
    FakeConnection& operator=(FakeConnection&& other) noexcept;

    bool valid() const { return fd_ >= 0; }
    // False once the peer is gone.
    bool send(const std::string& bytes);
    bool reply(const std::string& line) { return send(line + "\r\n"); }
    // The next line without its line break; empty at end of stream.
    std::string readLine();
    // Everything until the peer closes.
    std::string readAll();
    void close();
    // Closes with a reset instead of an orderly end.
    void reset();

private:
    int fd_ = -1;
    std::string pending_;
};

class FakeFtpServer {
public:
    using Script = std::function<void(FakeFtpServer& server, FakeConnection& control)>;

    explicit FakeFtpServer(Script script);
    ~FakeFtpServer();

    int port() const { return port_; }

    // Script helpers. expect() reads the next command, records it and notes
    // a mismatch when it does not start with `prefix`.
    std::string expect(FakeConnection& control, const std::string& prefix);
    void login(FakeConnection& control);
    // A passive-mode listener on 127.0.0.1; returns its port.
    int listenData();
    FakeConnection acceptData();
    // Connects to the address of a PORT argument "h1,h2,h3,h4,p1,p2" from
    // the local address `from`.
    FakeConnection connectTo(const std::string& portArgument, const std::string& from = "127.0.0.1");

    // For the test, after finish(): every command received, and the script's
    // complaints.
    void finish();
    std::vector<std::string> commands() const;
    std::string problems() const;

private:
    void note(const std::string& problem);

    int listenFd_ = -1;
    int dataListenFd_ = -1;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<std::string> commands_;
    std::string problems_;
};

// "227 Entering Passive Mode (h1,h2,h3,h4,p1,p2)" for `port` at `address`
// (given with commas).
std::string passiveReply(int port, const std::string& address = "127,0,0,1");

} // namespace qorvi::test
