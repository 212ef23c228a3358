// The transfers of TFtpClient: the data connection (passive or active), the
// listing, downloads and uploads, and what a cancelled or failed transfer
// leaves to tidy up on the control connection.

#include "net/download_target.h"
#include "net/ftp_client.h"
#include "net/ftp_reply.h"
#include "net/sock_errors.h"

#include <cerrno>
#include <deque>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {

namespace {

class FileCloser {
public:
    explicit FileCloser(int fd) : fd_(fd) {}
    ~FileCloser() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int fd_;
};

const char* const kListingTooLong = "Directory listing too long";
const char* const kListingTooSlow = "Directory listing took too long";

std::string fileNamePart(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void TFtpClient::runTransfer(TCmdType type, const std::function<void()>& body) {
    runOperation(type, [&] {
        clearCancel();
        dataCancelled_ = false;
        bool failed = true;
        try {
            certifyControl();
            body();
            failed = false;
        } catch (...) {
            closeDataConnection();
            // A cancelled transfer is ended on the server too. A final reply
            // still owed is read before the next command is sent.
            if (Cancelled() || TimedOut() || dataCancelled_)
                abortOnServer();
            throw;
        }
        closeDataConnection();
        if (!failed && (Cancelled() || dataCancelled_))
            abortOnServer();
    });
}

void TFtpClient::closeDataConnection() {
    if (!data_)
        return;
    lastBytesRcvd_ = data_->GetBytesRcvd();
    lastBytesSent_ = data_->GetBytesSent();
    dataCancelled_ = dataCancelled_ || data_->Cancelled() || data_->TimedOut();
    data_.reset();
}

void TFtpClient::abortOnServer() {
    clearCancel();
    dataCancelled_ = false;
    if (!Connected())
        return;
    try {
        // The server answers the ABOR after the broken transfer's own final
        // reply (often 426), if that is still owed.
        StatusMessage(1, "ABOR");
        Writeln("ABOR");
        ++pendingReplies_;
        drainReplies(true);
    } catch (const QorviError&) {
        // The transfer's own failure is what the caller hears about.
    }
    clearCancel();
}

void TFtpClient::detectVendor() {
    if (Vendor != kVendorDetect)
        return;
    try {
        StatusMessage(1, "SYST");
        prepareControl();
        Transaction("SYST");
        requireFinalReply();
        StatusMessage(1, replyText_);
        Vendor = vendorFromSystReply(replyText_);
    } catch (const QorviError&) {
        // Without an answer the listing is read as a Unix one - unless the
        // answer cost the connection.
        if (!Connected())
            throw;
    }
}

void TFtpClient::openDataConnection(bool receiving, const std::string& command, const std::string& status,
                                    const std::string& restart) {
    prepareControl();
    data_ = std::make_unique<TSockClient>(pump(), clock());
    data_->TimeOut = TimeOut;
    if (receiving) {
        data_->OnPacketRecvd = [this](TSockClient& sender) {
            if (OnPacketRecvd)
                OnPacketRecvd(sender);
        };
    } else {
        data_->OnPacketSent = [this](TSockClient& sender) {
            if (OnPacketSent)
                OnPacketSent(sender);
        };
    }
    // Data flows only between the two ends of the control connection: the
    // address inside a PASV reply is ignored, and in active mode only the
    // server's own address may connect.
    const std::string peer = peerAddress();
    if (Passive) {
        StatusMessage(1, "PASV");
        Transaction("PASV");
        requireFinalReply();
        StatusMessage(1, replyText_);
        if (failing(300, 599))
            replyFailed();
        int port = 0;
        if (!parsePassiveReply(replyText_, port))
            throw FTPException("Invalid passive mode reply: " + replyText_);
        data_->Host = peer;
        data_->Port = port;
        data_->Connect();
    } else {
        data_->Port = 0;
        data_->setAcceptFrom(peer);
        data_->Listen(false, localAddress());
        const std::string port = "PORT " + data_->GetLocalAddress() + data_->GetPortString();
        StatusMessage(1, port);
        Transaction(port);
        requireFinalReply();
        StatusMessage(1, replyText_);
        if (failing(301, 599))
            replyFailed();
    }
    if (!restart.empty()) {
        StatusMessage(1, restart);
        Transaction(restart);
        requireFinalReply();
        StatusMessage(1, replyText_);
        if (failing(400, 599))
            replyFailed();
    }
    StatusMessage(1, status.empty() ? command : status);
    Transaction(command);
    StatusMessage(1, replyText_);
    if (failing(301, 599))
        replyFailed();
    if (!Passive)
        data_->Accept();
}

void TFtpClient::finalReply() {
    Deadline deadline(*this, replyDeadline());
    readReply();
    // The transfer's preliminary reply came before the data.
    requireFinalReply();
    StatusMessage(1, replyText_);
    if (replyNumber_ < 200 || replyNumber_ > 299)
        replyFailed();
}

void TFtpClient::List() {
    checkCommandText(ListMask);
    runTransfer(cmdList, [&] {
        detectVendor();
        if (ParseList) {
            if (!directoryList_)
                directoryList_ = createDirectoryList(Vendor);
            directoryList_->Clear();
        }
        openDataConnection(true, ListMask.empty() ? "LIST" : "LIST " + ListMask, {});
        if (OnTransactionStart)
            OnTransactionStart(*this);
        data_->CloseAfterData();
        readListing([&](const std::string& line) {
            if (ParseList)
                directoryList_->ParseLine(line);
            if (OnListItem)
                OnListItem(*this, line);
        });
        if (OnTransactionStop)
            OnTransactionStop(*this);
        closeDataConnection();
        finalReply();
    });
}

std::vector<std::string> TFtpClient::Nlist() {
    std::vector<std::string> names;
    runTransfer(cmdNList, [&] {
        names.clear();
        openDataConnection(true, "NLST", {});
        if (OnTransactionStart)
            OnTransactionStart(*this);
        readListing([&](const std::string& line) {
            names.push_back(line);
            if (OnListItem)
                OnListItem(*this, names.back());
        });
        if (OnTransactionStop)
            OnTransactionStop(*this);
        closeDataConnection();
        finalReply();
    });
    return names;
}

void TFtpClient::readListing(const std::function<void(const std::string&)>& take) {
    // The listing ends when the server closes the data connection. A server
    // that trickles it, or never ends it, meets the listing's deadline or
    // bounds instead, and the transfer is broken off.
    Deadline deadline(*data_, listingDeadline());
    std::size_t bytes = 0;
    std::size_t entries = 0;
    for (;;) {
        std::string raw;
        try {
            raw = data_->ReadLn();
        } catch (const EAbortError&) {
            if (data_->DeadlinePassed())
                throw FTPException(kListingTooSlow);
            throw;
        }
        if (raw.empty())
            return;
        bytes += raw.size();
        if (bytes > kMaxListingBytes || ++entries > kMaxListingEntries) {
            data_->Cancel();
            throw FTPException(kListingTooLong);
        }
        take(stripLineBreak(std::move(raw)));
    }
}

void TFtpClient::openRetrieve(const std::string& remote, const std::string& restart) {
    bytesTotal_ = 0;
    openDataConnection(true, "RETR " + remote, {}, restart);
    for (const auto& line : replyLines_)
        if (bytesTotal_ == 0)
            bytesTotal_ = byteCountFromReply(line);
}

void TFtpClient::receiveInto(const std::function<void(const char*, std::size_t)>& sink) {
    if (OnTransactionStart)
        OnTransactionStart(*this);
    data_->captureTo(sink);
    if (OnTransactionStop)
        OnTransactionStop(*this);
    bytesTotal_ = data_->GetBytesRcvd();
    closeDataConnection();
    StatusMessage(1, "Received " + std::to_string(bytesTotal_) + " Bytes");
    finalReply();
}

void TFtpClient::Download(const std::string& remote, const std::string& local) {
    checkCommandText(remote);
    runTransfer(cmdDownload, [&] {
        // Nothing is asked of the server when the local file cannot be made;
        // nothing is left behind when the transfer fails.
        DownloadTarget target(local.empty() ? remote : local);
        openRetrieve(remote, {});
        receiveInto([&](const char* data, std::size_t n) { writeAllOrRaise(target.fd(), data, n); });
        target.commit();
    });
}

void TFtpClient::DownloadInto(const std::string& remote, const std::function<void(const char*, std::size_t)>& sink) {
    checkCommandText(remote);
    runTransfer(cmdDownload, [&] {
        openRetrieve(remote, {});
        try {
            receiveInto(sink);
        } catch (...) {
            // The receiver gave up: the server is told to stop as well.
            dataCancelled_ = true;
            throw;
        }
    });
}

void TFtpClient::DownloadRestore(const std::string& remote, const std::string& local) {
    checkCommandText(remote);
    runTransfer(cmdDownRestore, [&] {
        const std::string path = local.empty() ? remote : local;
        struct stat st {};
        const bool existed = ::stat(path.c_str(), &st) == 0;
        const off_t kept = existed ? st.st_size : 0;
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
        if (fd < 0)
            throw FTPException("Can't create " + path + ": " + SocketErrorStr(errno));
        FileCloser closer(fd);
        try {
            openRetrieve(remote, "REST " + std::to_string(kept));
            receiveInto([&](const char* data, std::size_t n) { writeAllOrRaise(fd, data, n); });
            if (::fsync(fd) != 0)
                throw FTPException("Can't write " + path + ": " + SocketErrorStr(errno));
        } catch (...) {
            // The part that was there before stays for the next attempt.
            if (existed)
                (void)!::ftruncate(fd, kept);
            else
                ::unlink(path.c_str());
            throw;
        }
    });
}

void TFtpClient::uploadFile(TCmdType type, const std::string& local, const std::string& command,
                            const std::string& status, std::uint64_t position, const std::string& restart) {
    runTransfer(type, [&] {
        int fd = ::open(local.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            throw FTPException("Can't open " + local + ": " + SocketErrorStr(errno));
        FileCloser closer(fd);
        struct stat st {};
        if (::fstat(fd, &st) == 0)
            bytesTotal_ = static_cast<std::uint64_t>(st.st_size);
        if (position > 0 && ::lseek(fd, static_cast<off_t>(position), SEEK_SET) < 0)
            throw FTPException("Can't read " + local + ": " + SocketErrorStr(errno));
        openDataConnection(false, command, status, restart);
        if (OnTransactionStart)
            OnTransactionStart(*this);
        data_->CloseAfterData();
        data_->sendFrom(fd);
        closeDataConnection();
        if (OnTransactionStop)
            OnTransactionStop(*this);
        finalReply();
    });
}

void TFtpClient::UploadFrom(const ByteProducer& produce, const std::string& remote) {
    checkCommandText(remote);
    runTransfer(cmdUpload, [&] {
        bytesTotal_ = 0;
        openDataConnection(false, "STOR " + remote, "STOR " + remote);
        if (OnTransactionStart)
            OnTransactionStart(*this);
        data_->CloseAfterData();
        try {
            // The pieces not yet taken by the connection, oldest first.
            std::deque<std::pair<const char*, std::size_t>> waiting;
            produce([&](const char* data, std::size_t n) {
                bytesTotal_ += n;
                waiting.emplace_back(data, n);
                while (!waiting.empty()) {
                    auto& [at, left] = waiting.front();
                    const std::size_t sent = data_->sendSome(at, left);
                    at += sent;
                    left -= sent;
                    if (left > 0)
                        return;
                    waiting.pop_front();
                }
            });
            for (const auto& [at, left] : waiting)
                data_->sendData(at, left);
        } catch (...) {
            // What reached the server is not the whole file: the data
            // connection is reset rather than closed, so the server does not
            // take the part for the whole, and the transfer is aborted.
            if (data_)
                data_->CloseImmediate();
            dataCancelled_ = true;
            throw;
        }
        closeDataConnection();
        if (OnTransactionStop)
            OnTransactionStop(*this);
        finalReply();
    });
}

void TFtpClient::Upload(const std::string& local, const std::string& remote) {
    const std::string name = remote.empty() ? fileNamePart(local) : remote;
    checkCommandText(name);
    uploadFile(cmdUpload, local, "STOR " + name, "STOR " + (remote.empty() ? local : remote));
}

void TFtpClient::UploadUnique(const std::string& local) {
    uploadFile(cmdUpload, local, "STOU", {});
}

void TFtpClient::UploadRestore(const std::string& local, const std::string& remote, std::uint64_t position) {
    checkCommandText(remote);
    uploadFile(cmdUpRestore, local, "STOR " + remote, {}, position, "REST " + std::to_string(position));
}

void TFtpClient::UploadAppend(const std::string& local, const std::string& remote) {
    checkCommandText(remote);
    uploadFile(cmdAppend, local, "APPE " + remote, {});
}

} // namespace qorvi
