#include "net/sock_client.h"

#include "net/sock_errors.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace qorvi {

namespace {

// Longest single poll; the event loop runs at least this often during a wait.
constexpr int kSliceMs = 20;
constexpr std::size_t kClearInputLimit = 16;

const char* const kLineTooLong = "Received line too long";

NullPump& nullPump() {
    static NullPump pump;
    return pump;
}

std::string dotted(const in_addr& address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

// The state of one name lookup, shared with the thread that runs the
// blocking getaddrinfo so a cancelled wait can simply walk away from it.
struct NameLookup {
    int pipe[2] = {-1, -1};
    std::atomic<bool> done{false};
    bool found = false;
    in_addr address{};

    ~NameLookup() {
        for (int fd : pipe)
            if (fd >= 0)
                ::close(fd);
    }
};

} // namespace

// Runs the inactivity timer for the duration of one blocking operation.
class TSockClient::TimerScope {
public:
    explicit TimerScope(TSockClient& client) : client_(client), was_(client.timerOn_) {
        if (!was_) {
            client_.StatusMessage(8, "Timer On");
            client_.timerOn_ = true;
            client_.touch();
        }
    }
    ~TimerScope() {
        if (!was_ && client_.timerOn_) {
            client_.timerOn_ = false;
            client_.StatusMessage(8, "Timer Off");
        }
    }

private:
    TSockClient& client_;
    bool was_;
};

TSockClient::Deadline::Deadline(TSockClient& client, int ms) : client_(client), saved_(client.deadline_) {
    const std::int64_t until = client_.clock_->steadyMs() + std::max(ms, 1);
    if (saved_ < 0 || until < saved_)
        client_.deadline_ = until;
}

TSockClient::Deadline::~Deadline() {
    client_.deadline_ = saved_;
}

TSockClient::TSockClient(Pump* pump, Clock* clock)
    : pump_(pump ? pump : &nullPump()), clock_(clock ? clock : &SystemClock::instance()) {
    lastPump_ = clock_->steadyMs();
    StatusMessage(8, "Create");
}

TSockClient::~TSockClient() {
    closeSocket();
}

void TSockClient::Connect() {
    StatusMessage(4, "Connecting");
    clearCancel();
    buffer_.Clear();
    if (connected_)
        throw ESockError("Already connected");
    closeSocket();
    peerClosed_ = false;
    closeImmediate_ = false;
    bytesRcvd_ = bytesSent_ = 0;

    TimerScope timer(*this);
    const bool viaProxy = !Proxy.empty();
    in_addr address = resolve(viaProxy ? Proxy : Host);
    const int port = viaProxy ? ProxyPort : Port;

    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_addr = address;
    remote.sin_port = htons(static_cast<std::uint16_t>(port));
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        throw ESockError(SocketErrorStr(errno));
    int error = 0;
    if (port <= 0 || port > 65535)
        error = EINVAL;
    else if (::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0)
        error = errno;
    if (error == EINPROGRESS) {
        if (waitFor(fd_, POLLOUT) != Ready::Yes) {
            closeSocket();
            throw ESockError(timedOut_ ? "Connection Timed out" : "Connection Canceled");
        }
        socklen_t len = sizeof error;
        if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &len) != 0)
            error = errno;
    }
    if (error != 0) {
        closeSocket();
        StatusMessage(4, SocketErrorStr(error));
        if (OnConnectionFailed)
            OnConnectionFailed(*this);
        throw ESockError("Connection Failed");
    }
    int on = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    connected_ = true;
    touch();
    connectedNotify();
}

in_addr TSockClient::resolve(const std::string& target) {
    in_addr address{};
    bool triedHandler = false;
    std::string name = target;
    for (;;) {
        if (!name.empty() && ::inet_pton(AF_INET, name.c_str(), &address) == 1)
            break;
        if (!name.empty() && lookupName(name, address))
            break;
        StatusMessage(1, "Host Lookup Failed");
        bool handled = false;
        if (!triedHandler && OnInvalidHost) {
            triedHandler = true;
            OnInvalidHost(*this, handled);
        }
        if (!handled)
            throw ESockError("Null Remote Address");
        name = Proxy.empty() ? Host : Proxy;
    }
    if (OnHostResolved)
        OnHostResolved(*this);
    return address;
}

bool TSockClient::lookupName(const std::string& name, in_addr& address) {
    auto lookup = std::make_shared<NameLookup>();
    if (::pipe2(lookup->pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        throw ESockError(SocketErrorStr(errno));
    // getaddrinfo blocks; a helper thread keeps the event loop live, and a
    // cancelled lookup leaves it to finish on its own.
    std::thread([lookup, name] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* result = nullptr;
        if (::getaddrinfo(name.c_str(), nullptr, &hints, &result) == 0 && result) {
            lookup->address = reinterpret_cast<sockaddr_in*>(result->ai_addr)->sin_addr;
            lookup->found = true;
        }
        if (result)
            ::freeaddrinfo(result);
        lookup->done.store(true, std::memory_order_release);
        char byte = 1;
        [[maybe_unused]] ssize_t n = ::write(lookup->pipe[1], &byte, 1);
    }).detach();
    while (!lookup->done.load(std::memory_order_acquire)) {
        if (waitFor(lookup->pipe[0], POLLIN) != Ready::Yes)
            throw ESockError(timedOut_ ? "Host Lookup Timed Out" : "Host Lookup Canceled");
    }
    address = lookup->address;
    return lookup->found;
}

void TSockClient::Disconnect() {
    StatusMessage(4, "Disconnecting");
    if (connected_)
        RequestCloseSocket();
    else
        closeSocket();
}

void TSockClient::CertifyConnect() {
    StatusMessage(8, "Checking Connection");
    if (!connected_ && OnConnectionRequired) {
        bool handled = false;
        OnConnectionRequired(*this, handled);
    }
    if (!connected_)
        throw ESockError("Not Connected");
}

void TSockClient::Write(const std::string& text) {
    StatusMessage(8, "Write");
    sendBytes(text.data(), text.size(), "Socket send aborted");
}

void TSockClient::Writeln(const std::string& text) {
    StatusMessage(8, "Writeln");
    sendBytes((text + "\r\n").data(), text.size() + 2, "Socket send aborted");
}

std::string TSockClient::Read(std::size_t n) {
    StatusMessage(8, "Read");
    TimerScope timer(*this);
    while (buffer_.Count() < n && !peerClosed_ && fd_ >= 0) {
        if (cancel_)
            throw EAbortError("Socket send aborted");
        if (receiveBlock() < 0 && waitFor(fd_, POLLIN) != Ready::Yes)
            throw EAbortError("Socket send aborted");
    }
    return buffer_.RemoveString(n == 0 ? buffer_.Count() : std::min(n, buffer_.Count()));
}

std::string TSockClient::ReadLn() {
    StatusMessage(8, "ReadLn");
    TimerScope timer(*this);
    for (;;) {
        // A peer that sends lines faster than they are read still meets the
        // deadline, though no wait ever begins.
        if (DeadlinePassed()) {
            checkTimer();
            throw EAbortError("Socket readln aborted");
        }
        std::size_t lineFeed = buffer_.findByte('\n', kMaxLineLength);
        if (lineFeed != std::string::npos)
            return buffer_.RemoveString(lineFeed + 1);
        if (buffer_.Count() >= kMaxLineLength)
            throw ELineTooLong(kLineTooLong);
        if (peerClosed_ || fd_ < 0)
            return buffer_.RemoveString(buffer_.Count());
        if (cancel_)
            throw EAbortError("Socket readln aborted");
        if (receiveBlock() < 0 && waitFor(fd_, POLLIN) != Ready::Yes)
            throw EAbortError("Socket readln aborted");
    }
}

std::string TSockClient::Transaction(const std::string& command) {
    StatusMessage(8, "Transaction");
    Writeln(command);
    return ReadLn();
}

bool TSockClient::DataAvailable() {
    if (buffer_.Count() > 0)
        return true;
    if (fd_ < 0)
        return false;
    return receiveBlock() > 0;
}

void TSockClient::ClearInput() {
    StatusMessage(8, "Clearing Input");
    buffer_.Clear();
    // A server that never stops sending must not hold the caller here.
    for (std::size_t i = 0; i < kClearInputLimit && fd_ >= 0; ++i) {
        long n = receiveBlock();
        buffer_.Clear();
        if (n <= 0)
            break;
    }
}

void TSockClient::CaptureFile(const std::string& path) {
    StatusMessage(8, "CaptureFile");
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw ESockError("Can't create " + path + ": " + SocketErrorStr(errno));
    try {
        captureTo(fd);
    } catch (...) {
        ::close(fd);
        throw;
    }
    if (::close(fd) != 0)
        throw ESockError(SocketErrorStr(errno));
}

void TSockClient::captureTo(int fd) {
    captureTo([fd](const char* data, std::size_t n) { writeAllOrRaise(fd, data, n); });
}

void TSockClient::captureTo(const std::function<void(const char*, std::size_t)>& sink) {
    TimerScope timer(*this);
    std::vector<char> block(kBlockSize);
    while (buffer_.Count() > 0) {
        std::size_t n = std::min(block.size(), buffer_.Count());
        buffer_.Remove(block.data(), n);
        sink(block.data(), n);
    }
    while (!peerClosed_ && fd_ >= 0) {
        if (cancel_)
            throw EAbortError("Socket capture aborted");
        ssize_t n = ::recv(fd_, block.data(), block.size(), MSG_DONTWAIT);
        if (n > 0) {
            sink(block.data(), static_cast<std::size_t>(n));
            bytesRcvd_ += static_cast<std::uint64_t>(n);
            touch();
            packetReceivedNotify();
            pumpIfDue();
        } else if (n == 0) {
            onPeerClosed();
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (waitFor(fd_, POLLIN) != Ready::Yes)
                throw EAbortError("Socket capture aborted");
        } else if (errno != EINTR) {
            int error = errno;
            onPeerClosed();
            throw ESockError(SocketErrorStr(error));
        }
    }
}

void TSockClient::SendFile(const std::string& path) {
    StatusMessage(8, "SendFile");
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw ESockError("Can't open " + path + ": " + SocketErrorStr(errno));
    try {
        sendFrom(fd);
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
}

void TSockClient::sendFrom(int fd) {
    TimerScope timer(*this);
    std::vector<char> block(kBlockSize);
    for (;;) {
        ssize_t n = ::read(fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw ESockError(SocketErrorStr(errno));
        if (n == 0)
            return;
        sendBytes(block.data(), static_cast<std::size_t>(n), "Socket send aborted");
    }
}

std::size_t TSockClient::sendSome(const char* data, std::size_t n) {
    if (fd_ < 0)
        throw ESockError("Not Connected");
    if (cancel_)
        throw EAbortError("Socket send aborted");
    const ssize_t done = ::send(fd_, data, n, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (done > 0) {
        bytesSent_ += static_cast<std::uint64_t>(done);
        touch();
        packetSentNotify();
        return static_cast<std::size_t>(done);
    }
    if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return 0;
    const int error = done < 0 ? errno : EIO;
    onPeerClosed();
    throw ESockError(SocketErrorStr(error));
}

void TSockClient::sendBytes(const char* data, std::size_t n, const char* abortMessage) {
    if (fd_ < 0)
        throw ESockError("Not Connected");
    TimerScope timer(*this);
    while (n > 0) {
        if (cancel_)
            throw EAbortError(abortMessage);
        ssize_t done = ::send(fd_, data, std::min(n, kBlockSize), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (done > 0) {
            data += done;
            n -= static_cast<std::size_t>(done);
            bytesSent_ += static_cast<std::uint64_t>(done);
            touch();
            packetSentNotify();
            pumpIfDue();
        } else if (done < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            if (waitFor(fd_, POLLOUT) != Ready::Yes)
                throw EAbortError(abortMessage);
        } else if (done < 0 && errno == EINTR) {
            continue;
        } else {
            int error = done < 0 ? errno : EIO;
            onPeerClosed();
            throw ESockError(SocketErrorStr(error));
        }
    }
}

void TSockClient::Listen(bool acceptNow, const std::string& address) {
    StatusMessage(4, "Listening");
    closeSocket();
    peerClosed_ = false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(Port));
    if (Port < 0 || Port > 65535 || ::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1)
        throw ESockError("Error creating Data Connection");
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0)
        throw ESockError(SocketErrorStr(errno));
    int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        ::listen(listenFd_, 5) != 0) {
        int error = errno;
        closeSocket();
        throw ESockError(SocketErrorStr(error));
    }
    if (acceptNow)
        Accept();
}

void TSockClient::Accept() {
    StatusMessage(4, "Accepting");
    if (listenFd_ < 0)
        throw ESockError("Error creating Data Connection");
    TimerScope timer(*this);
    for (;;) {
        if (cancel_ || waitFor(listenFd_, POLLIN) != Ready::Yes)
            throw EAbortError("Accepting Canceled");
        sockaddr_in peer{};
        socklen_t len = sizeof peer;
        int fd = ::accept4(listenFd_, reinterpret_cast<sockaddr*>(&peer), &len, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR || errno == ECONNABORTED)
                continue;
            throw ESockError("Error creating Data Connection");
        }
        if (!acceptFrom_.empty() && dotted(peer.sin_addr) != acceptFrom_) {
            // Only the server we talk to may deliver the data.
            StatusMessage(4, "Refused connection from " + dotted(peer.sin_addr));
            ::close(fd);
            continue;
        }
        ::close(listenFd_);
        listenFd_ = -1;
        fd_ = fd;
        connected_ = true;
        touch();
        connectedNotify();
        return;
    }
}

std::string TSockClient::peerAddress() const {
    sockaddr_in peer{};
    socklen_t len = sizeof peer;
    if (fd_ < 0 || ::getpeername(fd_, reinterpret_cast<sockaddr*>(&peer), &len) != 0)
        return {};
    return dotted(peer.sin_addr);
}

std::string TSockClient::localAddress() const {
    sockaddr_in local{};
    socklen_t len = sizeof local;
    int fd = fd_ >= 0 ? fd_ : listenFd_;
    if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0)
        return {};
    return dotted(local.sin_addr);
}

int TSockClient::localPort() const {
    sockaddr_in local{};
    socklen_t len = sizeof local;
    int fd = fd_ >= 0 ? fd_ : listenFd_;
    if (fd < 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) != 0)
        return 0;
    return ntohs(local.sin_port);
}

std::string TSockClient::GetLocalAddress() const {
    std::string address = localAddress();
    if (address.empty())
        address = "0.0.0.0";
    std::replace(address.begin(), address.end(), '.', ',');
    return address;
}

std::string TSockClient::GetPortString() const {
    int port = localPort();
    char text[16];
    std::snprintf(text, sizeof text, ",%d,%d", port >> 8, port & 0xFF);
    return text;
}

void TSockClient::CloseAfterData() {
    closeImmediate_ = false;
}

void TSockClient::CloseImmediate() {
    closeImmediate_ = true;
}

void TSockClient::RequestCloseSocket() {
    StatusMessage(4, "Request Close Socket");
    bool wasOpen = connected_ || fd_ >= 0 || listenFd_ >= 0;
    connected_ = false;
    closeSocket();
    if (wasOpen)
        disconnectedNotify();
}

void TSockClient::Cancel() {
    StatusMessage(8, "Canceling");
    cancel_ = true;
}

void TSockClient::Abort() {
    StatusMessage(8, "Abort");
    Cancel();
}

void TSockClient::Wait(int ms) {
    int fd = fd_ >= 0 ? fd_ : listenFd_;
    if (fd < 0) {
        pumpNow();
        return;
    }
    waitFor(fd, POLLIN, ms);
}

void TSockClient::StatusMessage(int level, const std::string& text) {
    if (ReportLevel < level)
        return;
    status_ = text;
    if (OnStatus)
        OnStatus(*this, text);
}

void TSockClient::connectedNotify() {
    if (OnConnect)
        OnConnect(*this);
}

void TSockClient::packetReceivedNotify() {
    if (OnPacketRecvd)
        OnPacketRecvd(*this);
}

void TSockClient::packetSentNotify() {
    if (OnPacketSent)
        OnPacketSent(*this);
}

void TSockClient::disconnectedNotify() {
    if (OnDisconnect)
        OnDisconnect(*this);
}

TSockClient::Ready TSockClient::waitFor(int fd, short events, int limitMs) {
    const std::int64_t until = limitMs < 0 ? -1 : clock_->steadyMs() + limitMs;
    for (;;) {
        if (cancel_)
            return Ready::Cancelled;
        checkTimer();
        if (cancel_)
            return Ready::Cancelled;
        std::int64_t now = clock_->steadyMs();
        if (until >= 0 && now >= until)
            return Ready::Elapsed;
        std::int64_t slice = kSliceMs;
        if (timerOn_)
            slice = std::min<std::int64_t>(
                slice, std::max<std::int64_t>(1, lastActivity_ + effectiveTimeOut() - now));
        if (deadline_ >= 0)
            slice = std::min<std::int64_t>(slice, std::max<std::int64_t>(1, deadline_ - now));
        if (until >= 0)
            slice = std::min<std::int64_t>(slice, std::max<std::int64_t>(1, until - now));
        pollfd p{fd, events, 0};
        int ready = ::poll(&p, 1, static_cast<int>(slice));
        if (ready > 0) {
            pumpIfDue();
            return Ready::Yes;
        }
        if (ready < 0 && errno != EINTR)
            throw ESockError(SocketErrorStr(errno));
        pumpNow();
    }
}

void TSockClient::checkTimer() {
    const std::int64_t now = clock_->steadyMs();
    const bool idle = timerOn_ && now - lastActivity_ >= effectiveTimeOut();
    if (!idle && !(deadline_ >= 0 && now >= deadline_))
        return;
    StatusMessage(8, "Timer Triggered");
    timerOn_ = false;
    timedOut_ = true;
    Abort();
}

void TSockClient::pumpNow() {
    lastPump_ = clock_->steadyMs();
    pump_->pump();
}

void TSockClient::pumpIfDue() {
    if (clock_->steadyMs() - lastPump_ >= kSliceMs)
        pumpNow();
}

void TSockClient::touch() {
    lastActivity_ = clock_->steadyMs();
}

long TSockClient::receiveBlock() {
    if (fd_ < 0)
        return 0;
    char block[kBlockSize];
    for (;;) {
        ssize_t n = ::recv(fd_, block, sizeof block, MSG_DONTWAIT);
        if (n > 0) {
            buffer_.Append(block, static_cast<std::size_t>(n));
            bytesRcvd_ += static_cast<std::uint64_t>(n);
            touch();
            packetReceivedNotify();
            return static_cast<long>(n);
        }
        if (n == 0) {
            onPeerClosed();
            return 0;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return -1;
        if (errno != EINTR) {
            int error = errno;
            onPeerClosed();
            throw ESockError(SocketErrorStr(error));
        }
    }
}

void TSockClient::onPeerClosed() {
    peerClosed_ = true;
    bool was = connected_;
    connected_ = false;
    closeSocket();
    if (was)
        disconnectedNotify();
}

void TSockClient::closeSocket() {
    if (fd_ >= 0) {
        if (closeImmediate_) {
            linger immediate{1, 0};
            ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &immediate, sizeof immediate);
        }
        ::close(fd_);
        fd_ = -1;
    }
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        listenFd_ = -1;
    }
    connected_ = false;
}

} // namespace qorvi
