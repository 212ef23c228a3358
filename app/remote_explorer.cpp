#include "app/remote_explorer.h"

#include "app/document_editor.h"
#include "app/document_host.h"
#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/shell_timer.h"
#include "app/site_profiles.h"
#include "editor/support/bulk_memory.h"
#include "editor/support/message_format.h"
#include "editor/text/text_loader.h"
#include "platform/file_system.h"
#include "platform/hive.h"
#include "platform/qorvi_error.h"
#include "platform/shell_ui.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {

namespace {

constexpr std::size_t kMaxTempPath = 256;
constexpr std::int64_t kDayMs = 24LL * 3600 * 1000;
constexpr std::size_t kTraceLines = 64;

// The name of an item: its text from the third character on.
std::string itemName(const std::string& item) {
    return item.size() > 2 ? item.substr(2) : std::string();
}

bool isDirectoryItem(const std::string& item) {
    return !item.empty() && (item[0] == '0' || item[0] == '1');
}

std::string trimmed(const std::string& s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// A remote name as the base name the save dialog offers: never a path.
std::string localNameFor(const std::string& name) {
    std::string out;
    for (char c : name)
        out.push_back(c == '/' || c == '\\' || c == '\0' ? '_' : c);
    if (out.empty() || out == "." || out == "..")
        out = "download";
    return out;
}

// Bytes of memory the system can still give without swapping.
std::int64_t availableMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::int64_t value = 0;
    std::string unit;
    while (meminfo >> key >> value) {
        std::getline(meminfo, unit);
        if (key == "MemAvailable:")
            return value * 1024;
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? static_cast<std::int64_t>(pages) * size : INT64_MAX;
}

const char* failureText(TCmdType type) {
    static const char* const kTexts[] = {
        "ChangeDir failure", "MakeDir failure", "Delete failure",        "RemoveDir failure",
        "List failure",      "Rename failure",  "UploadRestore failure", "DownloadRestore failure",
        "Download failure",  "Upload failure",  "UploadAppend failure",  "ReInit failure",
        "Allocate failure",  "NList failure",   "DoCommand failure",
    };
    const int i = static_cast<int>(type);
    return i >= 0 && i < static_cast<int>(std::size(kTexts)) ? kTexts[i] : nullptr;
}

} // namespace

// ---- scopes

// One command on the client: the busy cursor (the user may cancel with
// Escape), and the client is not to be entered by anything else meanwhile.
class RemoteExplorer::CommandScope {
public:
    explicit CommandScope(RemoteExplorer& owner) : owner_(owner) {
        if (owner_.running_++ == 0)
            owner_.cancelledByUser_ = false;
        owner_.ui_.setBusy(true);
    }
    ~CommandScope() {
        owner_.ui_.setBusy(false);
        --owner_.running_;
    }
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;

private:
    RemoteExplorer& owner_;
};

// A temp file made by mkstemp (mode 0600) in the private directory, deleted
// however the work with it ends.
class RemoteExplorer::TempFile {
public:
    explicit TempFile(RemoteExplorer& owner) {
        const std::string dir = owner.tempDirectory();
        if (dir.size() + 10 > kMaxTempPath)
            throw QorviError(kMsgTempTooLong);
        path_ = fs::makeTempFile("qor", dir);
    }
    ~TempFile() {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void RemoteExplorer::CancelPump::pump() {
    // The busy stretch lets paint events through and watches for Escape.
    if (owner_.ui_.cancelRequested() && owner_.ftp_.Busy() && !owner_.cancelledByUser_) {
        owner_.cancelledByUser_ = true;
        owner_.ftp_.Abort();
    }
}

// ---- construction

RemoteExplorer::RemoteExplorer(MainShell& shell, MainView& view, ShellUi& ui)
    : shell_(shell), view_(view), ui_(ui), memoryProbe_(availableMemory) {
    configureClient();
}

RemoteExplorer::~RemoteExplorer() {
    // The client closes its sockets itself; a goodbye would wait on the
    // server while the window goes.
    ftp_.OnDisconnect = nullptr;
    ftp_.OnConnect = nullptr;
    ftp_.OnSuccess = nullptr;
    ftp_.OnFailure = nullptr;
    if (!tempDir_.empty())
        ::rmdir(tempDir_.c_str());
}

void RemoteExplorer::configureClient() {
    ftp_.Port = 21;
    ftp_.TimeOut = 30000;
    ftp_.ReportLevel = 0;
    ftp_.ParseList = true;
    ftp_.ProxyPort = 0;
    ftp_.Passive = false;
    ftp_.FirewallType = FTUser;
    ftp_.FWAuthenticate = false;
    ftp_.OnConnect = [this](TSockClient&) {
        view_.setStatusText(2, "Connected");
        if (ShellTimer* timer = view_.stayAliveTimer())
            timer->start(interval_);
    };
    ftp_.OnDisconnect = [this](TSockClient&) {
        view_.setStatusText(2, "Disconnected");
        if (ShellTimer* timer = view_.stayAliveTimer())
            timer->stop();
    };
    ftp_.OnSuccess = [this](TFtpClient&, TCmdType type) {
        switch (type) {
        case cmdList:
            fillRemoteList();
            break;
        case cmdDownload:
            view_.setStatusText(2, "File successfully downloaded");
            break;
        case cmdUpload:
            view_.setStatusText(2, "File successfully saved");
            break;
        case cmdDoCommand:
            view_.setStatusText(2, "Do command success");
            break;
        default:
            break;
        }
        lastSuccess_ = clock_->steadyMs();
    };
    ftp_.OnFailure = [this](TFtpClient&, bool&, TCmdType type) { showFailure(type); };
    ftp_.OnPacketRecvd = [this](TSockClient& sender) {
        view_.setStatusText(2, "Received " + std::to_string(sender.GetBytesRcvd()) + " bytes of " +
                                   std::to_string(ftp_.BytesTotal()) + " total");
    };
    ftp_.OnPacketSent = [this](TSockClient& sender) {
        view_.setStatusText(2, "Sent " + std::to_string(sender.GetBytesSent()) + " bytes of " +
                                   std::to_string(ftp_.BytesTotal()) + " total");
    };
}

void RemoteExplorer::showFailure(TCmdType type) {
    if (const char* text = failureText(type)) {
        view_.setStatusText(2, text);
        return;
    }
    // A cancelled transfer, or a connection made again, says so in its own
    // message.
    if (!cancelledByUser_ && !reconnecting_)
        ui_.showPlain(kMsgUnrecognized);
}

std::string RemoteExplorer::tempDirectory() {
    if (!tempDir_.empty() && fs::isDirectory(tempDir_))
        return tempDir_;
    std::string pattern = fs::joinPath(fs::tempDirectory(), "qorvi-remote-XXXXXX");
    if (pattern.size() > kMaxTempPath)
        throw QorviError(kMsgTempTooLong);
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data()))
        throw QorviError("Cannot create a temporary directory in '" + fs::tempDirectory() +
                         "': " + std::strerror(errno));
    tempDir_ = buffer.data();
    return tempDir_;
}

void RemoteExplorer::traceLine(const std::string& line) {
    // The system's debugger output: standard error in debug mode (-G).
    if (shell_.debugMode())
        std::cerr << line << '\n';
    trace_.push_back(line);
    if (trace_.size() > kTraceLines)
        trace_.erase(trace_.begin());
}

// ---- site box

void RemoteExplorer::fillSites() {
    std::vector<std::string> names;
    try {
        names = SiteProfiles(shell_.settings().hive(), SystemClock::instance()).names();
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> items{kNotConnected, kAddNewSite};
    items.insert(items.end(), names.begin(), names.end());
    view_.setSites(items);
    view_.selectSite(0);
}

void RemoteExplorer::siteClicked() {
    const int index = view_.selectedSite();
    if (index == 1) {
        shell_.commands().addRemoteProfile();
        fillSites();
        return;
    }
    if (index <= 0)
        return;
    if (refuseWhileBusy())
        return;
    CommandScope scope(*this);
    const std::string chosen = view_.siteText();
    if (chosen != site_ || !ftp_.Connected()) {
        // Nothing goes on with the last site's server under the new name.
        if (chosen != site_ && ftp_.Connected()) {
            try {
                ftp_.Disconnect();
            } catch (const std::exception&) {
            }
            view_.showRemoteListing({});
        }
        site_ = chosen;
        view_.setStatusText(2, "Establishing connection");
        connectToProfile(site_);
    }
    if (!ftp_.Connected())
        return;
    try {
        onServer([this] {
            if (!directory_.empty())
                ftp_.ChangeDir(directory_);
            listAndShowPath();
        });
        view_.setStatusText(2, "Connected");
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

// ---- connecting

std::string RemoteExplorer::connectQuietly(const std::string& name) {
    SiteProfile profile;
    try {
        profile = SiteProfiles(shell_.settings().hive(), SystemClock::instance()).load(name);
    } catch (const std::exception& e) {
        return e.what();
    }
    directory_ = profile.initialDir;
    view_.setRemotePath(directory_);
    std::string password = profile.password;
    if (password.empty())
        password = view_.askPassword();
    if (trimmed(profile.hostName).empty())
        return kMsgNoHostName;
    if (ftp_.Connected()) {
        try {
            ftp_.Disconnect();
        } catch (const std::exception&) {
            // The old connection goes in any case.
        }
    }
    // A profile without a proxy connects directly, whatever the last one used.
    const int proxyPort = SiteProfiles::proxyPortNumber(profile);
    if (proxyPort != 0 && !trimmed(profile.proxy).empty()) {
        ftp_.Proxy = trimmed(profile.proxy);
        ftp_.ProxyPort = proxyPort;
    } else {
        ftp_.Proxy.clear();
        ftp_.ProxyPort = 0;
    }
    ftp_.Host = trimmed(profile.hostName);
    ftp_.Port = SiteProfiles::portNumber(profile);
    ftp_.UserID = profile.uid;
    ftp_.Password = password;
    try {
        ftp_.Connect();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

bool RemoteExplorer::connectToProfile(const std::string& name) {
    CommandScope scope(*this);
    const std::string failure = connectQuietly(name);
    if (!failure.empty())
        ui_.showError(failure);
    return ftp_.Connected();
}

void RemoteExplorer::ensureConnected() {
    if (ftp_.Connected())
        return;
    if (site_.empty())
        throw QorviError(kMsgNoSite);
    const std::string keep = directory_;
    reconnecting_ = true;
    const std::string failure = connectQuietly(site_);
    reconnecting_ = false;
    if (!failure.empty())
        throw QorviError(formatMsg(kMsgConnectionGone, site_, failure));
    // Back where the user was browsing.
    if (!keep.empty()) {
        directory_ = keep;
        ftp_.ChangeDir(directory_);
        view_.setRemotePath(directory_);
    }
}

void RemoteExplorer::onServer(const std::function<void()>& op) {
    ensureConnected();
    try {
        op();
    } catch (const std::exception&) {
        // Only a connection found dead is made again; a refusal of the
        // server, or the user's cancel, ends the command.
        if (ftp_.Connected() || cancelledByUser_ || site_.empty())
            throw;
        view_.setStatusText(2, "Establishing connection");
        ensureConnected();
        op();
    }
}

void RemoteExplorer::listAndShowPath() {
    ftp_.List();
    directory_ = ftp_.GetCurrentDir();
    view_.setRemotePath(directory_);
}

void RemoteExplorer::fillRemoteList() {
    std::vector<std::string> items;
    if (const TFTPDirectoryList* list = ftp_.DirectoryList()) {
        for (std::size_t i = 0; i < list->count(); ++i) {
            const std::string& name = list->names()[i];
            const std::string& attribute = list->attributes()[i];
            if (name.empty() || name == "." || name == "..")
                continue;
            const char kind = attribute.rfind('d', 0) == 0 ? '0' : attribute.rfind('l', 0) == 0 ? '1' : '2';
            items.push_back(std::string(1, kind) + " " + name);
        }
    }
    // The list is sorted as a sorted list box sorts: case ignored.
    std::sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
        const int c = ::strcasecmp(a.c_str(), b.c_str());
        return c != 0 ? c < 0 : a < b;
    });
    items.insert(items.begin(), kParentItem);
    view_.showRemoteListing(items);
}

bool RemoteExplorer::refuseWhileBusy() {
    if (!busy())
        return false;
    ui_.showInformation(kMsgBusy);
    return true;
}

// ---- the page's commands

std::string RemoteExplorer::extensionFor(const std::string& name) const {
    std::string ext = fs::extensionOf(name);
    return ext.empty() ? shell_.settings().defaultExt() : ext;
}

bool RemoteExplorer::registered(const std::string& name) const {
    return shell_.mapping().isRegistered(extensionFor(name));
}

void RemoteExplorer::openSelected() {
    const int index = view_.selectedRemoteItem();
    if (index < 0 || refuseWhileBusy())
        return;
    const std::string item = view_.remoteItemText(index);
    // Busy only while the server works: the dialogs in between take input.
    try {
        if (index == 0 || isDirectoryItem(item)) {
            const std::string target = index == 0 ? std::string("..") : itemName(item);
            CommandScope scope(*this);
            onServer([&] {
                ftp_.ChangeDir(target);
                listAndShowPath();
            });
            return;
        }
        if (item.empty() || item[0] != '2')
            return;
        const std::string name = itemName(item);
        const std::string ext = extensionFor(name);
        if (shell_.mapping().isRegistered(ext)) {
            openDocument(name);
            return;
        }
        switch (view_.askUnknownType()) {
        case 1: {
            FileDialogOptions options;
            options.initialDirectory = view_.localPath();
            options.fileName = localNameFor(name);
            const std::optional<std::string> chosen = ui_.saveFileDialog(options);
            if (!chosen || chosen->empty())
                return;
            {
                CommandScope scope(*this);
                onServer([&] {
                    ftp_.Mode(2);
                    ftp_.Download(name, *chosen);
                });
            }
            shell_.documentSaved(*chosen);
            break;
        }
        case 3:
            shell_.registerExtension(ext);
            openDocument(name);
            break;
        case 2:
            openDocument(name);
            break;
        default:
            break;
        }
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

DocumentWindow* RemoteExplorer::openDocument(const std::string& name) {
    // The text is loaded while it arrives; a file that is no text, or that
    // would not fit in memory, is refused as soon as that shows.
    std::optional<TextLoader> loader;
    const std::int64_t room = memoryProbe_();
    {
        CommandScope scope(*this);
        onServer([&] {
            loader.emplace(true); // a second attempt starts over
            ftp_.Mode(2);
            ftp_.DownloadInto(name, [&](const char* data, std::size_t n) {
                const auto size =
                    static_cast<std::int64_t>(std::max<std::uint64_t>(ftp_.BytesTotal(), loader->bytesFed() + n));
                if (size > room)
                    throw QorviError(formatMsg(kMsgTooLarge, name, std::to_string(size)));
                if (std::memchr(data, '\0', n))
                    throw QorviError(formatMsg(kMsgNotText, name));
                loader->feed(data, n);
            });
        });
    }
    const std::string ext = extensionFor(name);
    view_.setStatusText(2, "Creating new document...");
    DocumentWindow* window;
    try {
        window = shell_.openLoaded(*loader, name, ext);
    } catch (...) {
        view_.setStatusText(2, "");
        throw;
    }
    if (!window) {
        view_.setStatusText(2, "");
        return nullptr;
    }
    window->setRemote(site_, directory_, name);
    const std::string separator = !directory_.empty() && directory_.back() == '/' ? "" : "/";
    window->view().setCaption(site_ + ":" + directory_ + separator + name);
    view_.setStatusText(2, "");
    return window;
}

bool RemoteExplorer::save(DocumentWindow& window) {
    if (window.editor().readOnly()) {
        ui_.showInformation(kMsgReadOnly);
        return false;
    }
    if (refuseWhileBusy())
        return false;
    CommandScope scope(*this);
    const std::uint64_t state = window.editor().historyState();
    const std::string name = window.filePath();
    const std::string dir = window.remoteDirectory();
    const std::string site = window.siteName();
    try {
        // The text is copied whole before the window is live again (edits
        // made during the upload must not mix into it): in memory, sent
        // while it is taken, when there is room for it; else first into a
        // temp file.
        const auto length = static_cast<std::size_t>(window.editor().textLength());
        std::optional<TempFile> temp;
        BulkMemory copy;
        if (2 * static_cast<std::int64_t>(length) < memoryProbe_() / 2) {
            // A break may become two bytes; the pages never written are
            // never taken.
            copy = BulkMemory(2 * length + 1);
        } else {
            temp.emplace(*this);
            window.writeCopyTo(temp->path());
        }
        auto upload = [&] {
            ftp_.ChangeDir("/");
            if (!dir.empty())
                ftp_.ChangeDir(dir);
            ftp_.Mode(2);
            if (temp) {
                ftp_.Upload(temp->path(), name);
                return;
            }
            ftp_.UploadFrom(
                [&](const auto& sink) {
                    std::size_t used = 0;
                    window.writeCopyInto([&](const char* data, std::size_t n) {
                        if (n > copy.size() - used)
                            throw std::length_error("remote save: the copy outgrew its room");
                        std::memcpy(copy.data() + used, data, n);
                        sink(copy.data() + used, n);
                        used += n;
                    });
                },
                name);
        };
        if (site == site_) {
            onServer(upload);
            // Back to the directory being browsed; the upload stands even
            // when that directory has gone meanwhile.
            try {
                ftp_.ChangeDir("/");
                if (!directory_.empty())
                    ftp_.ChangeDir(directory_);
            } catch (const std::exception&) {
            }
        } else {
            // The document's own site for the upload, then back to the one
            // being browsed, in its directory.
            const std::string browsing = site_;
            const std::string browsingDir = directory_;
            // Failures are told once, at the end, in one message.
            reconnecting_ = true;
            std::string failure = connectQuietly(site);
            if (failure.empty()) {
                try {
                    upload();
                } catch (const std::exception& e) {
                    failure = e.what();
                }
            } else {
                failure = formatMsg(kMsgCannotConnect, site, failure);
            }
            site_ = browsing;
            reconnecting_ = false;
            if (!browsing.empty()) {
                if (connectQuietly(browsing).empty() && !browsingDir.empty()) {
                    try {
                        ftp_.ChangeDir(browsingDir);
                    } catch (const std::exception&) {
                        // The list still shows that directory; the next
                        // command finds out.
                    }
                }
                directory_ = browsingDir;
                view_.setRemotePath(directory_);
            } else if (ftp_.Connected()) {
                try {
                    ftp_.Disconnect();
                } catch (const std::exception&) {
                }
            }
            if (!failure.empty())
                throw QorviError(failure);
        }
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
        return false;
    }
    // Edits made while the upload ran are not on the server.
    if (window.editor().historyState() == state)
        window.markSaved();
    view_.setStatusText(2, "File successfully saved");
    return true;
}

void RemoteExplorer::uploadFile() {
    if (!ftp_.Connected()) {
        ui_.showInformation(kMsgNotConnected);
        return;
    }
    if (refuseWhileBusy())
        return;
    FileDialogOptions options;
    options.initialDirectory = view_.localPath();
    const std::optional<std::string> chosen = ui_.openFileDialog(options);
    if (!chosen || chosen->empty())
        return;
    CommandScope scope(*this);
    try {
        onServer([&] {
            ftp_.Mode(2);
            ftp_.Upload(*chosen, fs::fileNamePart(*chosen));
            ftp_.List();
        });
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

void RemoteExplorer::changeDirectory() {
    const std::optional<std::string> answer =
        ui_.inputBox("Input required", "Specify the path for the new directory", "");
    if (!answer || refuseWhileBusy())
        return;
    CommandScope scope(*this);
    try {
        onServer([&] {
            ftp_.ChangeDir(*answer);
            listAndShowPath();
        });
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

// The name of the file selected in the list, when one is and no transfer
// runs; otherwise the user is told why not (`directoryMessage` for a
// directory).
std::optional<std::string> RemoteExplorer::selectedFileName(const char* directoryMessage) {
    const int index = view_.selectedRemoteItem();
    if (index <= 0) {
        ui_.showInformation(kMsgSelectFile);
        return std::nullopt;
    }
    const std::string item = view_.remoteItemText(index);
    if (isDirectoryItem(item)) {
        ui_.showInformation(directoryMessage);
        return std::nullopt;
    }
    if (refuseWhileBusy())
        return std::nullopt;
    return itemName(item);
}

void RemoteExplorer::deleteSelected() {
    const std::optional<std::string> name = selectedFileName(kMsgNoDirectoryDelete);
    if (!name || !ui_.confirm("This will delete " + *name + ". Do you wish to continue?"))
        return;
    CommandScope scope(*this);
    try {
        onServer([&] {
            ftp_.Delete(*name);
            ftp_.List();
        });
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

void RemoteExplorer::renameSelected() {
    const std::optional<std::string> answer = ui_.inputBox("Input Required", "New file name", "");
    if (!answer)
        return;
    const std::optional<std::string> name = selectedFileName(kMsgNoDirectoryRename);
    if (!name)
        return;
    CommandScope scope(*this);
    try {
        onServer([&] {
            ftp_.Rename(*name, *answer);
            ftp_.List();
        });
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

void RemoteExplorer::refresh() {
    if (refuseWhileBusy())
        return;
    if (site_.empty() && !ftp_.Connected())
        return;
    CommandScope scope(*this);
    try {
        onServer([this] { ftp_.List(); });
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
}

// ---- keep-alive

void RemoteExplorer::keepAliveTick() {
    if (busy()) {
        traceLine("FTP client busy. No need to send alive message");
        return;
    }
    // Whole days are dropped, as a time of day difference would.
    const std::int64_t elapsed = (clock_->steadyMs() - lastSuccess_) % kDayMs;
    if (ftp_.Connected() && elapsed >= interval_) {
        traceLine("Last accessed " + std::to_string(elapsed) +
                  " milliseconds ago. Will send an Alive message.");
        CommandScope scope(*this);
        try {
            ftp_.DoCommand("PWD");
        } catch (const std::exception& e) {
            // A timer shows no box: the status bar tells, and the next
            // command connects again.
            view_.setStatusText(2, e.what());
        }
        return;
    }
    traceLine("Last accessed is less then " + std::to_string(interval_) + ". No need to send alive message");
}

void RemoteExplorer::cancelTransfer() {
    if (!ftp_.Busy())
        return;
    cancelledByUser_ = true;
    ftp_.Abort();
}

RemoteExplorer::Icon RemoteExplorer::iconFor(int index, const std::string& item) const {
    if (index == 0)
        return IconParent;
    if (item.rfind("0", 0) == 0)
        return IconFolder;
    if (item.rfind("1", 0) == 0)
        return IconLink;
    if (item.rfind("2", 0) == 0)
        return registered(itemName(item)) ? IconRegistered : IconUnregistered;
    return IconOther;
}

} // namespace qorvi
