#pragma once

// One TCP connection with blocking-looking operations for the user-interface
// thread. The socket is non-blocking; every wait polls it in short slices and
// lets the event loop run between them (the Pump), so painting, timers and
// commands go on - and may call Cancel - while a transfer runs.
//
// TimeOut is an inactivity time-out: each block sent or received restarts it,
// so a long transfer on a slow link runs as long as bytes keep moving. When it
// expires the connection aborts itself and the wait ends with its cancel
// message ("Connection Timed out" for Connect). A time-out of 0 stands for
// kDefaultTimeOut: no wait is endless, and the user can always cancel sooner.
// A Deadline bounds a whole operation as well, however busily the peer keeps
// sending.

#include "net/fifo_buffer.h"
#include "platform/clock.h"
#include "platform/pump.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <netinet/in.h>
#include <string>

namespace qorvi {

class TSockClient {
public:
    using Event = std::function<void(TSockClient& sender)>;
    using HandledEvent = std::function<void(TSockClient& sender, bool& handled)>;
    using StatusEvent = std::function<void(TSockClient& sender, const std::string& status)>;

    static constexpr std::size_t kBlockSize = 65536;
    static constexpr std::size_t kMaxLineLength = 65536;
    static constexpr int kDefaultTimeOut = 60000;

    // While it lives, every wait of the connection ends, as on a time-out,
    // once `ms` have passed; an enclosing earlier deadline stands.
    class Deadline {
    public:
        Deadline(TSockClient& client, int ms);
        ~Deadline();
        Deadline(const Deadline&) = delete;
        Deadline& operator=(const Deadline&) = delete;

    private:
        TSockClient& client_;
        std::int64_t saved_;
    };

    // Null pump or clock: no event loop / the system clock.
    explicit TSockClient(Pump* pump = nullptr, Clock* clock = nullptr);
    virtual ~TSockClient();
    TSockClient(const TSockClient&) = delete;
    TSockClient& operator=(const TSockClient&) = delete;

    std::string Host;
    int Port = 0;
    std::string Proxy;
    int ProxyPort = 0;
    int TimeOut = 0; // milliseconds of inactivity; 0 or less: kDefaultTimeOut
    int ReportLevel = 0;

    Event OnConnect;
    Event OnDisconnect;
    HandledEvent OnInvalidHost; // may change Host (or Proxy) and set handled
    Event OnHostResolved;
    StatusEvent OnStatus;
    Event OnConnectionFailed;
    HandledEvent OnConnectionRequired; // may connect and set handled
    Event OnPacketRecvd;
    Event OnPacketSent;

    virtual void Connect();
    virtual void Disconnect();
    void CertifyConnect();
    void Write(const std::string& text);
    void Writeln(const std::string& text);
    std::string Read(std::size_t n);
    // One line including its line feed; empty once the peer has closed and
    // nothing is left. A line longer than kMaxLineLength raises ELineTooLong.
    std::string ReadLn();
    virtual std::string Transaction(const std::string& command);
    bool DataAvailable();
    void ClearInput();
    void CaptureFile(const std::string& path);
    // Writes everything received until the peer closes into `fd`.
    void captureTo(int fd);
    // Hands everything received until the peer closes to `sink`, a block
    // at a time as it arrives.
    void captureTo(const std::function<void(const char*, std::size_t)>& sink);
    // Sends `n` bytes (waiting while the peer is slow, pumping the host).
    void sendData(const char* data, std::size_t n) { sendBytes(data, n, "Socket send aborted"); }
    // Sends what the connection takes at once of `n` bytes, neither
    // waiting nor pumping; how many that was.
    std::size_t sendSome(const char* data, std::size_t n);
    void SendFile(const std::string& path);
    // Sends the bytes of `fd` from its current position to its end.
    void sendFrom(int fd);
    // Binds to `address` (dotted) and Port (0: any) and listens.
    void Listen(bool acceptNow = false, const std::string& address = "0.0.0.0");
    void Accept();
    // Accept only connections from this peer (dotted); empty accepts any.
    void setAcceptFrom(const std::string& address) { acceptFrom_ = address; }
    std::string GetLocalAddress() const;
    std::string GetPortString() const;
    void CloseAfterData();
    void CloseImmediate();
    void RequestCloseSocket();
    void Cancel();
    virtual void Abort();
    void Wait(int ms);
    void StatusMessage(int level, const std::string& text);

    bool Connected() const { return connected_; }
    bool Cancelled() const { return cancel_; }
    bool TimedOut() const { return timedOut_; }
    // True once the deadline of the running operation has passed.
    bool DeadlinePassed() const { return deadline_ >= 0 && clock_->steadyMs() >= deadline_; }
    int effectiveTimeOut() const { return TimeOut > 0 ? TimeOut : kDefaultTimeOut; }
    void clearCancel() {
        cancel_ = false;
        timedOut_ = false;
    }
    const std::string& Status() const { return status_; }
    virtual std::uint64_t GetBytesRcvd() const { return bytesRcvd_; }
    virtual std::uint64_t GetBytesSent() const { return bytesSent_; }
    // Dotted address of the peer / of this end; empty without a socket.
    std::string peerAddress() const;
    std::string localAddress() const;
    int localPort() const;
    // True once the peer has closed its side (all its bytes are buffered).
    bool peerClosed() const { return peerClosed_; }
    std::size_t bufferedCount() const { return buffer_.Count(); }

protected:
    // Hooks for subclasses that fire the events at other moments.
    virtual void connectedNotify();
    virtual void packetReceivedNotify();
    virtual void packetSentNotify();
    virtual void disconnectedNotify();

    Pump* pump() const { return pump_; }
    Clock* clock() const { return clock_; }

private:
    class TimerScope;
    enum class Ready { Yes, Cancelled, Elapsed };

    in_addr resolve(const std::string& target);
    bool lookupName(const std::string& name, in_addr& address);
    Ready waitFor(int fd, short events, int sliceLimitMs = -1);
    void checkTimer();
    void pumpNow();
    void pumpIfDue();
    void touch();
    // Reads one block into the buffer: >0 bytes, 0 peer closed, -1 nothing yet.
    long receiveBlock();
    void sendBytes(const char* data, std::size_t n, const char* abortMessage);
    void onPeerClosed();
    void closeSocket();

    Pump* pump_;
    Clock* clock_;
    int fd_ = -1;
    int listenFd_ = -1;
    bool connected_ = false;
    bool peerClosed_ = false;
    bool closeImmediate_ = false;
    std::atomic<bool> cancel_{false};
    std::atomic<bool> timedOut_{false};
    bool timerOn_ = false;
    std::int64_t lastActivity_ = 0;
    std::int64_t deadline_ = -1; // steady ms; -1 for none
    std::int64_t lastPump_ = 0;
    std::uint64_t bytesRcvd_ = 0;
    std::uint64_t bytesSent_ = 0;
    std::string acceptFrom_;
    std::string status_;
    TFifoBuffer buffer_;
};

} // namespace qorvi
