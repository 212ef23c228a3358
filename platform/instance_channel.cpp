#include "platform/instance_channel.h"

#include "platform/instance_scope.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace qorvi {

namespace {

using SteadyClock = std::chrono::steady_clock;

void putLe(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::uint64_t getLe(const char* p, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

bool privateDirectory(const std::string& dir) {
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

bool fillAddress(const std::string& path, sockaddr_un& addr) {
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.data(), path.size());
    return true;
}

const std::size_t kMaxSocketPath = sizeof(sockaddr_un::sun_path) - 1;

// Milliseconds left until `deadline`, at least 0.
int remainingMs(SteadyClock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until `fd` is ready for `events` or the deadline passes.
bool waitReady(int fd, short events, SteadyClock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        int n = ::poll(&p, 1, remainingMs(deadline));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool outOfDescriptors(int error) {
    return error == EMFILE || error == ENFILE || error == ENOBUFS || error == ENOMEM;
}

// An exclusive lock on a file beside the socket, held while it lives. A
// holder that is stopped is waited for only so long; then the start goes on
// without its turn.
class BindLock {
public:
    explicit BindLock(const std::string& path) {
        fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(2 * InstanceConnection::kTimeoutMs);
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0 && SteadyClock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ~BindLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    BindLock(const BindLock&) = delete;
    BindLock& operator=(const BindLock&) = delete;

private:
    int fd_ = -1;
};

} // namespace

std::string encodePostedMessage(const PostedMessage& m) {
    std::string out;
    putLe(out, m.msg, 4);
    putLe(out, m.text.size(), 4);
    putLe(out, static_cast<std::uint64_t>(m.wParam), 8);
    putLe(out, static_cast<std::uint64_t>(m.lParam), 8);
    return out + m.text;
}

void PostedMessageReader::feed(const char* data, std::size_t size) {
    // Bytes already taken are dropped here, not one record at a time.
    buffer_.erase(0, read_);
    read_ = 0;
    buffer_.append(data, size);
}

std::optional<PostedMessage> PostedMessageReader::next() {
    const std::size_t available = buffer_.size() - read_;
    if (broken_ || available < kPostedMessageSize)
        return std::nullopt;
    const char* record = buffer_.data() + read_;
    const std::size_t textSize = static_cast<std::size_t>(getLe(record + 4, 4));
    if (textSize > kMaxPostedText) {
        broken_ = true;
        return std::nullopt;
    }
    if (available < kPostedMessageSize + textSize)
        return std::nullopt;
    PostedMessage m;
    m.msg = static_cast<std::uint32_t>(getLe(record, 4));
    m.wParam = static_cast<std::uintptr_t>(getLe(record + 8, 8));
    m.lParam = static_cast<std::intptr_t>(getLe(record + 16, 8));
    m.text.assign(record + kPostedMessageSize, textSize);
    read_ += kPostedMessageSize + textSize;
    return m;
}

InstanceConnection::InstanceConnection(InstanceConnection&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), answerTimeoutMs_(other.answerTimeoutMs_) {}

InstanceConnection::~InstanceConnection() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceConnection::writeAllWithin(const std::string& bytes) {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(kTimeoutMs);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd_, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitReady(fd_, POLLOUT, deadline))
            continue;
        return false;
    }
    return true;
}

bool InstanceConnection::awaitAnswer() {
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(answerTimeoutMs_);
    for (;;) {
        char answer = 0;
        ssize_t n = ::recv(fd_, &answer, 1, MSG_DONTWAIT);
        if (n == 1)
            return answer == kPostedAnswer;
        if (n == 0)
            return false;
        if (errno == EINTR)
            continue;
        if ((errno != EAGAIN && errno != EWOULDBLOCK) || !waitReady(fd_, POLLIN, deadline))
            return false;
    }
}

bool InstanceConnection::post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    return fd_ >= 0 && writeAllWithin(encodePostedMessage({msg, wParam, lParam, {}}));
}

bool InstanceConnection::send(const PostedMessage& message) {
    if (fd_ < 0 || message.text.empty() || message.text.size() > kMaxPostedText)
        return false;
    return writeAllWithin(encodePostedMessage(message)) && awaitAnswer();
}

std::optional<std::string> InstanceChannel::socketDirectory() {
    const std::string name = "QorviSingle." + instanceScope();
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') {
        std::string dir = std::string(runtime) + "/qorvi";
        if (dir.size() + 1 + name.size() <= kMaxSocketPath && privateDirectory(dir))
            return dir;
    }
    std::string dir = "/tmp/qorvi-" + std::to_string(::getuid());
    if (privateDirectory(dir))
        return dir;
    return std::nullopt;
}

std::optional<std::string> InstanceChannel::socketPath() {
    auto dir = socketDirectory();
    if (!dir)
        return std::nullopt;
    return *dir + "/QorviSingle." + instanceScope();
}

InstanceChannel::Lookup InstanceChannel::findRunning() {
    Lookup out;
    auto path = socketPath();
    sockaddr_un addr;
    if (!path || !fillAddress(*path, addr))
        return out;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(InstanceConnection::kTimeoutMs);
    for (;;) {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return out;
        int error = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 ? 0 : errno;
        if (error == EINPROGRESS && waitReady(fd, POLLOUT, deadline)) {
            socklen_t len = sizeof error;
            if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0)
                error = errno;
        }
        if (error == 0) {
            out.result = Lookup::Result::Found;
            out.connection.emplace(fd);
            // The socket is made as an instance begins to start; one made
            // moments ago belongs to an instance still building its window.
            struct stat st {};
            if (::stat(path->c_str(), &st) == 0) {
                using namespace std::chrono;
                const auto age = duration_cast<milliseconds>(system_clock::now().time_since_epoch() -
                                                             seconds(st.st_mtim.tv_sec) -
                                                             nanoseconds(st.st_mtim.tv_nsec));
                const auto young = milliseconds(InstanceConnection::kStartingMs);
                if (age < young)
                    out.connection->peerIsStarting(
                        static_cast<int>((young - std::max(age, milliseconds(0))).count()));
            }
            return out;
        }
        ::close(fd);
        // A full queue of connections (EAGAIN) means an instance holds the
        // socket but does not take connections now: try again until the
        // deadline. Anything else means nobody is there.
        if (error != EAGAIN && error != EINPROGRESS && error != EINTR)
            return out;
        if (remainingMs(deadline) == 0) {
            out.result = Lookup::Result::NotAnswering;
            return out;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

InstanceChannel::~InstanceChannel() {
    for (auto& [fd, client] : clients_)
        ::close(fd);
    if (listenFd_ >= 0) {
        ::close(listenFd_);
        // Remove the socket only while it is still the one we bound.
        struct stat st;
        if (::lstat(boundPath_.c_str(), &st) == 0 && st.st_ino == boundInode_)
            ::unlink(boundPath_.c_str());
    }
}

InstanceChannel::ListenResult InstanceChannel::listen() {
    auto path = socketPath();
    sockaddr_un addr;
    if (!path || !fillAddress(*path, addr))
        return ListenResult::Failed;
    // Starts at the same moment take turns here: otherwise one could find
    // the winner's socket bound but not yet listening, take it for a dead
    // instance's and remove it.
    const BindLock turn(*path + ".lock");
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return ListenResult::Failed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            ::chmod(path->c_str(), 0600);
            if (::listen(fd, kBacklog) != 0)
                break;
            struct stat st;
            if (::lstat(path->c_str(), &st) == 0)
                boundInode_ = st.st_ino;
            listenFd_ = fd;
            boundPath_ = *path;
            return ListenResult::Listening;
        }
        if (errno != EADDRINUSE)
            break;
        // A stopped or busy instance still owns its socket.
        if (findRunning().result != Lookup::Result::NoInstance) {
            ::close(fd);
            return ListenResult::InUse;
        }
        // Nobody answers: a socket left by an instance that died.
        ::unlink(path->c_str());
    }
    ::close(fd);
    return ListenResult::Failed;
}

InstanceChannel::Accepted InstanceChannel::acceptPending() {
    Accepted out;
    if (listenFd_ < 0)
        return out;
    for (;;) {
        if (clients_.size() >= kMaxClients) {
            pollfd p{listenFd_, POLLIN, 0};
            out.full = ::poll(&p, 1, 0) > 0;
            break;
        }
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            // The connection stays queued while no descriptor is free;
            // trying again at once would only spin.
            out.backOff = outOfDescriptors(errno);
            break;
        }
        ucred cred{};
        socklen_t len = sizeof cred;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) {
            ::close(fd);
            continue;
        }
        clients_[fd].lastHeardMs = clock_.steadyMs();
        out.clients.push_back(fd);
    }
    return out;
}

int InstanceChannel::clientToMakeRoom() const {
    int quietest = -1;
    std::int64_t heard = 0;
    for (const auto& [fd, client] : clients_)
        if (quietest < 0 || client.lastHeardMs < heard) {
            quietest = fd;
            heard = client.lastHeardMs;
        }
    return quietest;
}

std::vector<int> InstanceChannel::idleClients() const {
    std::vector<int> out;
    const std::int64_t now = clock_.steadyMs();
    for (const auto& [fd, client] : clients_)
        if (now - client.lastHeardMs >= kIdleTimeoutMs)
            out.push_back(fd);
    return out;
}

bool InstanceChannel::readClient(int fd, const std::function<void(const PostedMessage&)>& deliver) {
    auto it = clients_.find(fd);
    if (it == clients_.end())
        return false;
    char buf[16 * 1024];
    // A peer that never stops writing must not hold the event loop: the
    // rest is read when the connection is readable again.
    for (int reads = 0; reads < 8; ++reads) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            it->second.lastHeardMs = clock_.steadyMs();
            it->second.reader.feed(buf, static_cast<std::size_t>(n));
            while (auto m = it->second.reader.next()) {
                // The answer goes first: a sender that has given up meanwhile
                // (it reported that the instance does not answer) has
                // closed, and its names must not open after all.
                if (!m->text.empty() && ::send(fd, &kPostedAnswer, 1, MSG_NOSIGNAL | MSG_DONTWAIT) != 1) {
                    closeClient(fd);
                    return false;
                }
                deliver(*m);
                // `deliver` may have run a nested event loop; look the client up again.
                it = clients_.find(fd);
                if (it == clients_.end())
                    return false;
            }
            if (it->second.reader.broken()) {
                closeClient(fd);
                return false;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        closeClient(fd);
        return false;
    }
    return true;
}

void InstanceChannel::closeClient(int fd) {
    if (clients_.erase(fd))
        ::close(fd);
}

} // namespace qorvi
