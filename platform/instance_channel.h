#pragma once

// How a second start finds the running instance and wakes it: a local
// (AF_UNIX) socket "QorviSingle.<scope>" in the user's runtime directory.
// Finding the instance means connecting to it; a posted window message is a
// fixed 24-byte record (message, text length, wParam, lParam) written to the
// connection, followed by its text when it carries one. The receiver answers
// every record with a text by one byte, so the sender knows its text
// arrived. The socket lives in a directory of mode 0700 owned by the user,
// so other local users can neither connect nor replace it.
//
// Neither side waits without end: a sender gives up after a time-out when
// the instance takes no connection, no bytes or gives no answer (it may be
// stopped or hung); the instance keeps a bounded number of connections,
// drops those that stay silent, and pauses taking new ones while it has no
// descriptor left instead of trying again at once.

#include "platform/clock.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

struct PostedMessage {
    PostedMessage() = default;
    PostedMessage(std::uint32_t m, std::uintptr_t w, std::intptr_t l, std::string t = {})
        : msg(m), wParam(w), lParam(l), text(std::move(t)) {}
    std::uint32_t msg = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
    // Bytes that came with the record; empty for a bare posted message.
    std::string text;
    bool operator==(const PostedMessage&) const = default;
};

constexpr std::uint32_t WM_USER = 0x0400;
constexpr std::uint32_t WM_SYSCOMMAND = 0x0112;
constexpr std::uintptr_t SC_RESTORE = 0xF120;

// Encoding of one record: msg (u32), text length (u32; zero in a bare record,
// which is all older senders write), wParam (u64), lParam (i64), all
// little-endian, then the text.
constexpr std::size_t kPostedMessageSize = 24;
constexpr std::size_t kMaxPostedText = 64 * 1024;
// What the receiver sends back for each record with a text it has taken.
constexpr char kPostedAnswer = 0x06;
std::string encodePostedMessage(const PostedMessage& m);

// Collects bytes from a connection and yields the complete records in them.
class PostedMessageReader {
public:
    void feed(const char* data, std::size_t size);
    std::optional<PostedMessage> next();
    // A record announced a text longer than kMaxPostedText: no sender of
    // ours writes that, so the connection is dropped.
    bool broken() const { return broken_; }

private:
    std::string buffer_;
    std::size_t read_ = 0; // bytes of buffer_ already yielded
    bool broken_ = false;
};

// A connection to the running instance. Every step waits at most
// kTimeoutMs (writing) or kAnswerTimeoutMs (the answer to a text).
class InstanceConnection {
public:
    static constexpr int kTimeoutMs = 2000;
    static constexpr int kAnswerTimeoutMs = 5000;
    // An instance that has only just won the socket is still building its
    // window; on a loaded machine that takes far longer than an answer from
    // a running one, and it is not hung.
    static constexpr int kStartingAnswerTimeoutMs = 30000;
    // How long after making its socket an instance counts as starting.
    static constexpr int kStartingMs = 20000;

    explicit InstanceConnection(int fd) : fd_(fd) {}
    InstanceConnection(InstanceConnection&& other) noexcept;
    InstanceConnection& operator=(InstanceConnection&&) = delete;
    ~InstanceConnection();
    // Sends one bare record; false when the peer has gone or takes nothing.
    bool post(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
    // Sends a record with its text and waits for the receiver's answer;
    // false when the peer has gone or does not answer in time.
    bool send(const PostedMessage& message);
    // The peer is an instance that is starting: wait for its answers as long
    // as kStartingAnswerTimeoutMs, or kAnswerTimeoutMs longer than the
    // `startingForMs` it may still take.
    void peerIsStarting(int startingForMs = kStartingAnswerTimeoutMs) {
        answerTimeoutMs_ =
            std::max(answerTimeoutMs_, std::min(kStartingAnswerTimeoutMs, startingForMs + kAnswerTimeoutMs));
    }

private:
    bool writeAllWithin(const std::string& bytes);
    bool awaitAnswer();
    int fd_;
    int answerTimeoutMs_ = kAnswerTimeoutMs;
};

class InstanceChannel {
public:
    static constexpr std::size_t kMaxClients = 32;
    static constexpr std::int64_t kIdleTimeoutMs = 10000;
    // Room for many starts at the same moment (a file manager opening a
    // selection) while the instance is busy: past it, starts retry until
    // their time-out.
    static constexpr int kBacklog = 128;

    // The directory of the socket: $XDG_RUNTIME_DIR/qorvi, or /tmp/qorvi-<uid>
    // when the runtime directory is unset, unusable or too long for a socket
    // path. Created with mode 0700; nullopt when it exists but is not ours alone.
    static std::optional<std::string> socketDirectory();
    static std::optional<std::string> socketPath();

    // Lookup of the running instance: a connect that succeeds within
    // InstanceConnection::kTimeoutMs. NotAnswering: a socket is there and
    // something holds it, but takes no connection in time.
    struct Lookup {
        enum class Result { NoInstance, Found, NotAnswering };
        Result result = Result::NoInstance;
        std::optional<InstanceConnection> connection;
    };
    static Lookup findRunning();

    explicit InstanceChannel(const Clock& clock = SystemClock::instance()) : clock_(clock) {}
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;
    ~InstanceChannel();

    enum class ListenResult { Listening, InUse, Failed };
    // Binds the socket. A socket file is removed only after a connect to it
    // was refused, never while an instance answers on it or holds it (InUse).
    ListenResult listen();
    bool listening() const { return listenFd_ >= 0; }
    // The listening descriptor to watch for readability.
    int listenFd() const { return listenFd_; }

    struct Accepted {
        std::vector<int> clients; // new connections from the same user
        // kMaxClients are open and another connection waits: close one
        // (clientToMakeRoom) and accept again.
        bool full = false;
        // No descriptor is left: wait a while before accepting again.
        bool backOff = false;
    };
    Accepted acceptPending();
    // The client that has been silent longest; -1 without clients.
    int clientToMakeRoom() const;
    // Clients that sent nothing for kIdleTimeoutMs.
    std::vector<int> idleClients() const;
    std::size_t clientCount() const { return clients_.size(); }

    // Reads what a connection has sent, answers each record with a text and
    // hands each complete record to `deliver`. Returns false when the
    // connection is over (the peer closed, broke the encoding or left before
    // the answer); the descriptor is then closed.
    bool readClient(int fd, const std::function<void(const PostedMessage&)>& deliver);
    void closeClient(int fd);

private:
    struct Client {
        PostedMessageReader reader;
        std::int64_t lastHeardMs = 0;
    };

    const Clock& clock_;
    int listenFd_ = -1;
    std::string boundPath_;
    unsigned long boundInode_ = 0;
    std::map<int, Client> clients_;
};

} // namespace qorvi
