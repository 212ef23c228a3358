#pragma once

// How a second start finds the running instance and wakes it: a local
// (AF_UNIX) socket "QorviSingle.<scope>" in the user's runtime directory.
// Finding the instance means connecting to it; a posted window message is a
// fixed 24-byte record (message, wParam, lParam) written to the connection.
// The socket lives in a directory of mode 0700 owned by the user, so other
// local users can neither connect nor replace it.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

struct PostedMessage {
    std::uint32_t msg = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    bool operator==(const PostedMessage&) const = default;
};

constexpr std::uint32_t WM_USER = 0x0400;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uintptr_t SC_RESTORE = 0xF120;

// Encoding of one record: msg (u32), zero (u32), wParam (u64), lParam (i64), little-endian.
constexpr std::size_t kPostedMessageSize = 24;
std::string encodePostedMessage(const PostedMessage& m);

// Collects bytes from a connection and yields the complete records in them.
class PostedMessageReader {
public:
    void feed(const char* data, std::size_t size);
    std::optional<PostedMessage> next();

private:
    std::string buffer_;
};

// A connection to the running instance.
class InstanceConnection {
public:
    explicit InstanceConnection(int fd) : fd_(fd) {}
    InstanceConnection(InstanceConnection&& other) noexcept;
    InstanceConnection& operator=(InstanceConnection&&) = delete;
    ~InstanceConnection();
    // Sends one record; false when the peer has gone.
    bool post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

private:
    int fd_;
};

class InstanceChannel {
public:
    // The directory of the socket: $XDG_RUNTIME_DIR/qorvi, or /tmp/qorvi-<uid>
    // when the runtime directory is unset, unusable or too long for a socket
    // path. Created with mode 0700; nullopt when it exists but is not ours alone.
    static std::optional<std::string> socketDirectory();
    static std::optional<std::string> socketPath();

    // Lookup of the running instance: a successful connect.
    static std::optional<InstanceConnection> findRunning();

    InstanceChannel() = default;
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;
    ~InstanceChannel();

    enum class ListenResult { Listening, InUse, Failed };
    // Binds the socket. A socket file is removed only after a connect to it
    // failed, never while an instance answers on it (InUse).
    ListenResult listen();
    bool listening() const { return listenFd_ >= 0; }
    // The listening descriptor to watch for readability.
    int listenFd() const { return listenFd_; }

    // Accepts waiting connections from the same user; returns their descriptors.
    std::vector<int> acceptPending();
    // Reads what a connection has sent and hands each complete record to
    // `deliver`. Returns false when the peer closed (the descriptor is then closed).
    bool readClient(int fd, const std::function<void(const PostedMessage&)>& deliver);
    void closeClient(int fd);

private:
    int listenFd_ = -1;
    std::string boundPath_;
    unsigned long boundInode_ = 0;
    std::map<int, PostedMessageReader> clients_;
};

} // namespace qorvi
