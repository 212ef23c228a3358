#include "net/ftp_client.h"

#include "net/ftp_reply.h"
#include "net/sock_errors.h"

#include <exception>

namespace qorvi {

namespace {

const char* const kBusy = "FTP client busy";
const char* const kConnectionClosed = "Connection closed by the server";
const char* const kClosedAfterProtocolError = "Connection closed after a protocol error: ";
const char* const kUnexpectedPreliminary = "Unexpected preliminary reply: ";

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

TCmdType commandType(const std::string& text) {
    if (startsWith(text, "CWD "))
        return cmdChangeDir;
    if (startsWith(text, "DELE "))
        return cmdDelete;
    if (startsWith(text, "MKD "))
        return cmdMakeDir;
    if (startsWith(text, "RMD "))
        return cmdRemoveDir;
    if (text == "PWD")
        return cmdCurrentDir;
    return cmdDoCommand;
}

} // namespace

// Marks the client busy for one operation; nested operations are refused.
class TFtpClient::BusyScope {
public:
    BusyScope(TFtpClient& client, TCmdType type) : client_(client) {
        if (client_.busy_)
            throw FTPException(kBusy);
        client_.busy_ = true;
        client_.currentType_ = type;
    }
    ~BusyScope() { client_.busy_ = false; }

private:
    TFtpClient& client_;
};

TFtpClient::TFtpClient(Pump* pump, Clock* clock) : TSockClient(pump, clock) {
}

TFtpClient::~TFtpClient() = default;

void TFtpClient::runOperation(TCmdType type, const std::function<void()>& body,
                              const std::function<void()>& onDone) {
    std::exception_ptr failure;
    {
        BusyScope busy(*this, type);
        try {
            body();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // Handlers run after the client is free again, so they may call it.
    if (failure) {
        bool handled = false;
        if (OnFailure)
            OnFailure(*this, handled, type);
        if (!handled)
            std::rethrow_exception(failure);
        return;
    }
    if (onDone)
        onDone();
    if (OnSuccess)
        OnSuccess(*this, type);
}

void TFtpClient::certifyControl() {
    try {
        CertifyConnect();
    } catch (const ESockError&) {
        if (!Connected() && !violation_.empty())
            throw FTPException(kClosedAfterProtocolError + violation_);
        throw;
    }
}

void TFtpClient::protocolError(const std::string& reason) {
    violation_ = reason;
    replyNumber_ = 0;
    replyText_.clear();
    replyLines_.clear();
    pendingReplies_ = 0;
    CloseImmediate();
    RequestCloseSocket();
    StatusMessage(1, "Disconnected");
    throw FTPException(reason);
}

void TFtpClient::requireFinalReply() {
    if (replyNumber_ >= 100 && replyNumber_ <= 199)
        protocolError(kUnexpectedPreliminary + replyText_);
}

bool TFtpClient::failing(int low, int high) const {
    // A reply without a proper code is never a success.
    return replyNumber_ < 100 || replyNumber_ > 599 || (replyNumber_ >= low && replyNumber_ <= high);
}

void TFtpClient::replyFailed() {
    if (replyNumber_ >= 500 && replyNumber_ <= 502 && OnUnSupportedFunction)
        OnUnSupportedFunction(*this, currentType_);
    throw FTPException(replyText_.empty() ? kConnectionClosed : replyText_);
}

std::string TFtpClient::Transaction(const std::string& command) {
    StatusMessage(8, "Transaction");
    Deadline deadline(*this, replyDeadline());
    Writeln(command);
    ++pendingReplies_;
    return readReply();
}

std::string TFtpClient::readReply() {
    // A reply that fails half-way leaves nothing of the one before.
    replyNumber_ = 0;
    replyText_.clear();
    replyLines_.clear();
    FtpReplyReader reader;
    do {
        std::string raw;
        try {
            raw = ReadLn();
        } catch (const ELineTooLong& e) {
            protocolError(e.message());
        }
        if (raw.empty())
            throw FTPException(kConnectionClosed);
        std::string line = stripLineBreak(std::move(raw));
        if (!reader.lines().empty())
            StatusMessage(1, line);
        try {
            reader.addLine(line);
        } catch (const FTPException& e) {
            protocolError(e.message());
        }
    } while (!reader.complete());
    replyLines_ = reader.lines();
    replyText_ = replyLines_.front();
    replyNumber_ = reader.code();
    if ((replyNumber_ < 100 || replyNumber_ > 199) && pendingReplies_ > 0)
        --pendingReplies_;
    return replyText_;
}

void TFtpClient::drainReplies(bool abortSent) {
    if (pendingReplies_ <= 0 || !Connected())
        return;
    // A server that keeps sending preliminary replies owes its final one for
    // ever; the deadline ends the wait.
    Deadline deadline(*this, replyDeadline());
    while (pendingReplies_ > 0 && Connected()) {
        try {
            readReply();
            StatusMessage(1, replyText_);
            if (abortSent && replyNumber_ == 225)
                pendingReplies_ = 0;
        } catch (const EAbortError&) {
            if (!TimedOut())
                throw;
            // The server let a whole time-out pass twice; stop waiting for it.
            pendingReplies_ = 0;
            clearCancel();
        }
    }
}

void TFtpClient::prepareControl() {
    drainReplies();
    ClearInput();
}

void TFtpClient::plainCommand(const std::string& text, TCmdType type) {
    runOperation(type, [&] {
        clearCancel();
        certifyControl();
        StatusMessage(1, text);
        prepareControl();
        Deadline deadline(*this, replyDeadline());
        Transaction(text);
        // Only REIN may answer "120 ready in a moment" before its 220.
        if (type == cmdReInit) {
            while (replyNumber_ >= 100 && replyNumber_ <= 199) {
                StatusMessage(1, replyText_);
                readReply();
            }
        }
        requireFinalReply();
        StatusMessage(1, replyText_);
        if (failing(400, 599))
            replyFailed();
    });
}

void TFtpClient::DoCommand(const std::string& text) {
    checkCommandText(text);
    plainCommand(text, commandType(text));
}

void TFtpClient::ChangeDir(const std::string& dir) {
    DoCommand("CWD " + dir);
}

void TFtpClient::Delete(const std::string& name) {
    DoCommand("DELE " + name);
}

void TFtpClient::MakeDirectory(const std::string& dir) {
    DoCommand("MKD " + dir);
}

void TFtpClient::RemoveDir(const std::string& dir) {
    DoCommand("RMD " + dir);
}

std::string TFtpClient::GetCurrentDir() {
    DoCommand("PWD");
    return quotedPath(replyText_);
}

void TFtpClient::Mode(int kind) {
    if (kind == 1)
        DoCommand("TYPE A");
    else if (kind == 2)
        DoCommand("TYPE I");
    else if (kind == 3)
        DoCommand("TYPE L 8");
}

void TFtpClient::Reinitialize() {
    plainCommand("REIN", cmdReInit);
}

void TFtpClient::Allocate(std::uint64_t n) {
    plainCommand("ALLO " + std::to_string(n), cmdAllocate);
}

void TFtpClient::Rename(const std::string& oldName, const std::string& newName) {
    checkCommandText(oldName);
    checkCommandText(newName);
    runOperation(cmdRename, [&] {
        clearCancel();
        certifyControl();
        prepareControl();
        StatusMessage(1, "RNFR " + oldName);
        Transaction("RNFR " + oldName);
        requireFinalReply();
        StatusMessage(1, replyText_);
        if (failing(352, 599))
            replyFailed();
        StatusMessage(1, "RNTO " + newName);
        Transaction("RNTO " + newName);
        requireFinalReply();
        StatusMessage(1, replyText_);
        if (failing(301, 599))
            replyFailed();
    });
}

void TFtpClient::Connect() {
    if (busy_)
        throw FTPException(kBusy);
    clearCancel();
    if (Connected())
        return;
    runOperation(
        cmdConnect, [&] { login(); },
        [&] {
            if (OnConnect)
                OnConnect(*this);
        });
}

void TFtpClient::loginStep(const std::string& command, const std::string& status) {
    StatusMessage(1, status.empty() ? command : status);
    Transaction(command);
    requireFinalReply();
    StatusMessage(1, replyText_);
    if (failing(401, 599)) {
        if (OnConnectionFailed)
            OnConnectionFailed(*this);
        replyFailed();
    }
}

void TFtpClient::login() {
    if (staleServerState_)
        resetServerState();
    violation_.clear();
    try {
        ClearInput();
        TSockClient::Connect();
        pendingReplies_ = 1;
        {
            // 120: the server is not ready yet; its 220 follows - within the
            // deadline, however many 120 replies come first.
            Deadline deadline(*this, replyDeadline());
            readReply();
            while (replyNumber_ >= 100 && replyNumber_ < 200)
                readReply();
        }
        StatusMessage(1, replyText_);
        if (failing(400, 599)) {
            if (OnConnectionFailed)
                OnConnectionFailed(*this);
            replyFailed();
        }
        if (FWAuthenticate) {
            checkCommandText(FWUserID);
            checkCommandText(FWPassword);
            loginStep("USER " + FWUserID, {});
            if (replyNumber_ == 331)
                loginStep("PASS " + FWPassword, "PASS ");
        }
        if ((UserID.empty() || Password.empty()) && OnAuthenticationNeeded) {
            bool handled = false;
            OnAuthenticationNeeded(*this, handled);
        }
        checkCommandText(UserID);
        checkCommandText(Password);
        checkCommandText(Host);
        const bool viaProxy = !Proxy.empty();
        if (viaProxy) {
            if (FirewallType == FTUser)
                loginStep("USER " + UserID + "@" + Host, {});
            else if (FirewallType == FtOpen)
                loginStep("OPEN " + Host, {});
            else
                loginStep("SITE " + Host, {});
        }
        if (!(viaProxy && FirewallType == FTUser))
            loginStep("USER " + UserID, {});
        // The password never shows in status text.
        if (replyNumber_ == 331)
            loginStep("PASS " + Password, "PASS ");
    } catch (...) {
        CloseImmediate();
        RequestCloseSocket();
        StatusMessage(1, "Disconnected");
        throw;
    }
}

void TFtpClient::Disconnect() {
    BusyScope busy(*this, cmdDoCommand);
    resetServerState();
    std::exception_ptr failure;
    violation_.clear();
    if (Connected()) {
        StatusMessage(1, "QUIT");
        try {
            prepareControl();
            Transaction("QUIT");
            StatusMessage(1, replyText_);
            if (replyNumber_ >= 301 && replyNumber_ <= 599)
                failure = std::make_exception_ptr(FTPException(replyText_));
        } catch (const QorviError&) {
            // The connection is going anyway; a dead one needs no goodbye.
        }
        CloseImmediate();
    }
    TSockClient::Disconnect();
    staleServerState_ = false;
    if (failure)
        std::rethrow_exception(failure);
}

void TFtpClient::Abort() {
    StatusMessage(8, "Abort");
    if (data_)
        data_->Cancel();
    Cancel();
}

void TFtpClient::disconnectedNotify() {
    // The next connection may reach another kind of server.
    staleServerState_ = true;
    if (OnDisconnect)
        OnDisconnect(*this);
}

void TFtpClient::resetServerState() {
    directoryList_.reset();
    Vendor = kVendorDetect;
    staleServerState_ = false;
}

std::uint64_t TFtpClient::GetBytesRcvd() const {
    return data_ ? data_->GetBytesRcvd() : lastBytesRcvd_;
}

std::uint64_t TFtpClient::GetBytesSent() const {
    return data_ ? data_->GetBytesSent() : lastBytesSent_;
}

} // namespace qorvi
