#pragma once

// The client side of FTP: one control connection (this object's own socket),
// a temporary data connection per transfer, login directly or through a
// proxy or firewall, plain commands, listings, downloads and uploads.
//
// Failures go to OnFailure first; when it leaves Handled false the failure
// is raised (FTPException with the server's reply line, or the socket error).
// Every exception inside an operation, std::bad_alloc and those of the
// owner's own event handlers included, takes that road. A transfer counts as
// done only when the server's final reply is positive.
//
// Nothing a server sends can hold the client for ever or fill its memory:
// each command's reply has a deadline besides the inactivity time-out, a
// listing a longer one and a bound on its size. A reply the protocol does
// not allow (a line past the line limit, a reply of too many lines, a
// preliminary 1xx reply to a command that has none) leaves the control
// connection out of step, so it is closed, and the next command says why.
//
// Waits run the event loop, so a timer or command may call into the client
// while an operation runs. The client never interleaves two operations on its
// control connection: Busy() tells, and an operation started meanwhile raises
// FTPException "FTP client busy" at once (without OnFailure). Abort() is the
// one call meant for that moment.

#include "net/ftp_directory_list.h"
#include "net/ftp_exception.h"
#include "net/ftp_vendor.h"
#include "net/sock_client.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

enum TCmdType {
    cmdChangeDir,
    cmdMakeDir,
    cmdDelete,
    cmdRemoveDir,
    cmdList,
    cmdRename,
    cmdUpRestore,
    cmdDownRestore,
    cmdDownload,
    cmdUpload,
    cmdAppend,
    cmdReInit,
    cmdAllocate,
    cmdNList,
    cmdDoCommand,
    cmdCurrentDir,
    cmdConnect,
};

enum TFirewallType { FTUser, FtOpen, FtSite };

class TFtpClient : public TSockClient {
public:
    // A listing past either bound fails with "Directory listing too long".
    static constexpr std::size_t kMaxListingBytes = 32u << 20;
    static constexpr std::size_t kMaxListingEntries = 250000;
    // The default deadlines, in multiples of the time-out: of one command's
    // reply (1xx replies before the final one included), and of a listing.
    static constexpr int kReplyDeadlineFactor = 4;
    static constexpr int kListingDeadlineFactor = 20;

    using TransEvent = std::function<void(TFtpClient& sender, TCmdType Trans_Type)>;
    using FailureEvent = std::function<void(TFtpClient& sender, bool& Handled, TCmdType Trans_Type)>;
    using ListItemEvent = std::function<void(TFtpClient& sender, const std::string& Listing)>;
    using FtpEvent = std::function<void(TFtpClient& sender)>;
    using FtpHandledEvent = std::function<void(TFtpClient& sender, bool& Handled)>;

    explicit TFtpClient(Pump* pump = nullptr, Clock* clock = nullptr);
    ~TFtpClient() override;

    std::string UserID;
    std::string Password;
    int Vendor = kVendorDetect;
    bool ParseList = false;
    bool Passive = false;
    TFirewallType FirewallType = FTUser;
    std::string FWUserID;
    std::string FWPassword;
    bool FWAuthenticate = false;
    std::string ListMask;
    // Milliseconds; 0 or less: the factor above times the time-out.
    int ReplyDeadline = 0;
    int ListingDeadline = 0;

    // OnConnect fires after a successful login; OnPacketRecvd and
    // OnPacketSent fire for the blocks of the data connection (the sender is
    // that connection), OnDisconnect when the control connection closes.
    TransEvent OnSuccess;
    FailureEvent OnFailure;
    TransEvent OnUnSupportedFunction;
    ListItemEvent OnListItem;
    FtpEvent OnTransactionStart;
    FtpEvent OnTransactionStop;
    FtpHandledEvent OnAuthenticationNeeded;

    // Login and logout.
    void Connect() override;
    void Disconnect() override;
    // Cancels the data connection, if any, then the control connection.
    void Abort() override;

    // Plain commands.
    void ChangeDir(const std::string& dir);
    void Delete(const std::string& name);
    void MakeDirectory(const std::string& dir);
    void RemoveDir(const std::string& dir);
    std::string GetCurrentDir();
    void Mode(int kind); // 1 TYPE A, 2 TYPE I, 3 TYPE L 8
    void Reinitialize();
    void Allocate(std::uint64_t n);
    void DoCommand(const std::string& text);
    void Rename(const std::string& oldName, const std::string& newName);

    // Transfers.
    void List();
    std::vector<std::string> Nlist();
    void Download(const std::string& remote, const std::string& local);
    // The remote file's bytes handed to `sink` as they arrive; an exception
    // from `sink` ends the transfer on the server too.
    void DownloadInto(const std::string& remote, const std::function<void(const char*, std::size_t)>& sink);
    void Upload(const std::string& local, const std::string& remote);
    // Stores as `remote` the bytes `produce` hands to the sink it is given;
    // they must stay where they are until UploadFrom returns. `produce` runs
    // to its end before the host is pumped, so it may copy state that the
    // user could change meanwhile; while it runs, the connection already
    // takes what it can without waiting, and the rest follows as any upload.
    using ByteProducer = std::function<void(const std::function<void(const char*, std::size_t)>&)>;
    void UploadFrom(const ByteProducer& produce, const std::string& remote);
    void UploadUnique(const std::string& local);
    void UploadRestore(const std::string& local, const std::string& remote, std::uint64_t position);
    // Resumes a download at the size the local file already has.
    void DownloadRestore(const std::string& remote, const std::string& local);
    void UploadAppend(const std::string& local, const std::string& remote);

    // Sends the command and reads the whole reply; the first line becomes
    // ReplyText and ReplyNumber.
    std::string Transaction(const std::string& command) override;

    int ReplyNumber() const { return replyNumber_; }
    const std::string& ReplyText() const { return replyText_; }
    std::uint64_t BytesTotal() const { return bytesTotal_; }
    std::uint64_t GetBytesRcvd() const override;
    std::uint64_t GetBytesSent() const override;
    bool Busy() const { return busy_; }
    // The parsed last listing; null before the first one of a connection.
    const TFTPDirectoryList* DirectoryList() const { return directoryList_.get(); }

protected:
    void connectedNotify() override {}
    void packetReceivedNotify() override {}
    void packetSentNotify() override {}
    void disconnectedNotify() override;

private:
    class BusyScope;

    void runOperation(TCmdType type, const std::function<void()>& body,
                      const std::function<void()>& onDone = {});
    // CertifyConnect, naming the protocol error that closed the connection.
    void certifyControl();
    // Closes the control connection, which a reply out of the protocol has
    // left out of step, and raises `reason`.
    [[noreturn]] void protocolError(const std::string& reason);
    // A preliminary reply where only a final one is allowed.
    void requireFinalReply();
    int replyDeadline() const {
        return ReplyDeadline > 0 ? ReplyDeadline : kReplyDeadlineFactor * effectiveTimeOut();
    }
    int listingDeadline() const {
        return ListingDeadline > 0 ? ListingDeadline : kListingDeadlineFactor * effectiveTimeOut();
    }
    // Hands every line of a listing, without its line break, to `take`.
    void readListing(const std::function<void(const std::string&)>& take);
    void runTransfer(TCmdType type, const std::function<void()>& body);
    void plainCommand(const std::string& text, TCmdType type);
    void login();
    void loginStep(const std::string& command, const std::string& status);
    std::string readReply();
    // Reads the replies still owed for commands whose wait ended early, then
    // discards any other input, so each command gets its own reply.
    void prepareControl();
    // Reads the replies still owed. With `abortSent`, a 225 (no transfer in
    // progress, data connection closed) answers for the transfer as well: a
    // server whose transfer had not begun sends no reply of its own for it.
    void drainReplies(bool abortSent = false);
    [[noreturn]] void replyFailed();
    bool failing(int low, int high) const;
    void finalReply();
    void detectVendor();
    void openDataConnection(bool receiving, const std::string& command, const std::string& status,
                            const std::string& restart = {});
    void closeDataConnection();
    void abortOnServer();
    void uploadFile(TCmdType type, const std::string& local, const std::string& command,
                    const std::string& status, std::uint64_t position = 0, const std::string& restart = {});
    // Opens the data connection for RETR (after `restart` when given); the
    // size the server's reply names becomes BytesTotal.
    void openRetrieve(const std::string& remote, const std::string& restart);
    void receiveInto(const std::function<void(const char*, std::size_t)>& sink);
    void resetServerState();

    int replyNumber_ = 0;
    std::string replyText_;
    std::vector<std::string> replyLines_;
    std::uint64_t bytesTotal_ = 0;
    std::uint64_t lastBytesRcvd_ = 0;
    std::uint64_t lastBytesSent_ = 0;
    bool busy_ = false;
    TCmdType currentType_ = cmdDoCommand;
    std::unique_ptr<TSockClient> data_;
    bool dataCancelled_ = false;
    // Replies the server still owes: one per command sent, one more after
    // each 1xx reply.
    int pendingReplies_ = 0;
    // The control connection closed without Disconnect.
    bool staleServerState_ = false;
    // Why the control connection was closed by the client, until the next
    // Connect.
    std::string violation_;
    std::unique_ptr<TFTPDirectoryList> directoryList_;
};

} // namespace qorvi
