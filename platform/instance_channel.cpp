#include "platform/instance_channel.h"

#include "platform/instance_scope.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace qorvi {

namespace {

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

} // namespace

std::string encodePostedMessage(const PostedMessage& m) {
    std::string out;
    putLe(out, m.msg, 4);
    putLe(out, 0, 4);
    putLe(out, static_cast<std::uint64_t>(m.wParam), 8);
    putLe(out, static_cast<std::uint64_t>(m.lParam), 8);
    return out;
}

void PostedMessageReader::feed(const char* data, std::size_t size) { buffer_.append(data, size); }

std::optional<PostedMessage> PostedMessageReader::next() {
    if (buffer_.size() < kPostedMessageSize)
        return std::nullopt;
    PostedMessage m;
    m.msg = static_cast<std::uint32_t>(getLe(buffer_.data(), 4));
    m.wParam = static_cast<std::uintptr_t>(getLe(buffer_.data() + 8, 8));
    m.lParam = static_cast<std::intptr_t>(getLe(buffer_.data() + 16, 8));
    buffer_.erase(0, kPostedMessageSize);
    return m;
}

InstanceConnection::InstanceConnection(InstanceConnection&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InstanceConnection::~InstanceConnection() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool InstanceConnection::post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    std::string record = encodePostedMessage({msg, wParam, lParam});
    std::size_t done = 0;
    while (done < record.size()) {
        ssize_t n = ::send(fd_, record.data() + done, record.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
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

std::optional<InstanceConnection> InstanceChannel::findRunning() {
    auto path = socketPath();
    sockaddr_un addr;
    if (!path || !fillAddress(*path, addr))
        return std::nullopt;
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return std::nullopt;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return std::nullopt;
    }
    return InstanceConnection(fd);
}

InstanceChannel::~InstanceChannel() {
    for (auto& [fd, reader] : clients_)
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
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return ListenResult::Failed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
            ::chmod(path->c_str(), 0600);
            if (::listen(fd, 16) != 0)
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
        if (findRunning()) {
            ::close(fd);
            return ListenResult::InUse;
        }
        // Nobody answers: a socket left by an instance that died.
        ::unlink(path->c_str());
    }
    ::close(fd);
    return ListenResult::Failed;
}

std::vector<int> InstanceChannel::acceptPending() {
    std::vector<int> out;
    if (listenFd_ < 0)
        return out;
    for (;;) {
        int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        ucred cred{};
        socklen_t len = sizeof cred;
        if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ::getuid()) {
            ::close(fd);
            continue;
        }
        clients_[fd];
        out.push_back(fd);
    }
    return out;
}

bool InstanceChannel::readClient(int fd, const std::function<void(const PostedMessage&)>& deliver) {
    auto it = clients_.find(fd);
    if (it == clients_.end())
        return false;
    char buf[512];
    for (;;) {
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n > 0) {
            it->second.feed(buf, static_cast<std::size_t>(n));
            while (auto m = it->second.next())
                deliver(*m);
            // `deliver` may have run a nested event loop; look the client up again.
            it = clients_.find(fd);
            if (it == clients_.end())
                return false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return true;
        closeClient(fd);
        return false;
    }
}

void InstanceChannel::closeClient(int fd) {
    if (clients_.erase(fd))
        ::close(fd);
}

} // namespace qorvi
