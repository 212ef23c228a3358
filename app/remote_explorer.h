#pragma once

// The explorer's remote page: the site box of site profiles, the
// main window's FTP client `ftpMain` configured from the chosen profile, the
// remote list and path label, the page's commands (Open File, Delete File,
// Change Directory..., Upload File..., Rename File..., Refresh), remote open
// and remote save of document windows, and the keep-alive timer.
//
// A remote document is edited as a local copy: downloaded into a temp file
// (mkstemp, mode 0600, in a private directory of this process), loaded, and
// the temp file deleted whatever happened; saving writes a new temp file and
// uploads it. The document becomes unmodified only once the server has
// confirmed the upload with a positive final reply. Transfers run in binary
// (TYPE I) both ways, so the bytes on the server are exactly the bytes the
// editor writes - the file's own line-break style included - whatever the
// server's system would make of an ASCII transfer.
//
// The client is never re-entered: every command runs under one busy scope
// (busy cursor; the user's Escape, or closing the window, aborts the
// transfer through the client's Pump), and a command or keep-alive tick that
// arrives meanwhile is refused or skipped. A connection the server dropped
// (an idle time-out) is made again, once, by the command that finds it gone,
// which then runs again; when that fails the user is told the site is gone.

#include "net/ftp_client.h"
#include "platform/clock.h"
#include "platform/pump.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

class DocumentWindow;
class MainShell;
class MainView;
class ShellUi;

class RemoteExplorer {
public:
    static constexpr const char* kNotConnected = "<< Not connected >>";
    static constexpr const char* kAddNewSite = "<< Add new site >>";
    static constexpr const char* kParentItem = "  Parent Directory...";

    static constexpr const char* kMsgNoHostName = "No host name specified";
    static constexpr const char* kMsgTempTooLong = "The TEMP directory path is too long.";
    static constexpr const char* kMsgReadOnly = "File is read only. Cannot save.";
    static constexpr const char* kMsgNotConnected = "FTP connection is not established";
    static constexpr const char* kMsgSelectFile = "Please select a file";
    static constexpr const char* kMsgNoDirectoryDelete = "You cannot delete a directory from here";
    static constexpr const char* kMsgNoDirectoryRename = "You cannot rename a directory from here";
    static constexpr const char* kMsgUnrecognized = "Unrecognized command failed.";
    static constexpr const char* kMsgBusy =
        "An FTP transfer is running. Wait until it has finished, or press Escape to cancel it.";
    static constexpr const char* kMsgNotText =
        "The remote file '%s' is not a text file (it holds NUL bytes), so it was not opened.";
    static constexpr const char* kMsgTooLarge =
        "The remote file '%s' (%s bytes) is larger than the memory available, so it was not opened.";
    static constexpr const char* kMsgConnectionGone =
        "The connection to the FTP site '%s' was lost and could not be made again: %s";
    static constexpr const char* kMsgCannotConnect = "Could not connect to the FTP site '%s': %s";
    static constexpr const char* kMsgNoSite = "No FTP site is chosen. Choose one in the site box first.";

    static constexpr int kStayAliveInterval = 60000;

    // Icons of `imgFiles` the remote list draws.
    enum Icon {
        IconFolder = 0,
        IconRegistered = 1,
        IconOther = 2,
        IconParent = 3,
        IconUnregistered = 4,
        IconLink = 9
    };

    RemoteExplorer(MainShell& shell, MainView& view, ShellUi& ui);
    ~RemoteExplorer();
    RemoteExplorer(const RemoteExplorer&) = delete;
    RemoteExplorer& operator=(const RemoteExplorer&) = delete;

    // Fill site box: "<< Not connected >>", "<< Add new site >>", then the
    // profile names sorted; the first item selected.
    void fillSites();
    // The site box was clicked.
    void siteClicked();
    // Connect to profile (name): true when the client is connected after it.
    // Every failure has been shown to the user.
    bool connectToProfile(const std::string& name);

    // The page's commands.
    void openSelected();
    void deleteSelected();
    void changeDirectory();
    void uploadFile();
    void renameSelected();
    void refresh();

    // Remote open document (name): the window showing it, or null.
    DocumentWindow* openDocument(const std::string& name);
    // Remote save: true once the server has confirmed the upload.
    bool save(DocumentWindow& window);

    // One tick of `tmrStayAlive`.
    void keepAliveTick();
    // Aborts the transfer that is running, if any (the main window closes).
    void cancelTransfer();
    // A command is running on the client.
    bool busy() const { return running_ > 0 || ftp_.Busy(); }

    // The icon an item of the remote list is drawn with.
    Icon iconFor(int index, const std::string& item) const;

    TFtpClient& ftp() { return ftp_; }
    const std::string& currentSite() const { return site_; }
    const std::string& currentDirectory() const { return directory_; }
    // Steady milliseconds of the last successful FTP operation; 0: none yet.
    std::int64_t lastSuccess() const { return lastSuccess_; }
    int stayAliveInterval() const { return interval_; }
    void setStayAliveInterval(int milliseconds) { interval_ = milliseconds; }
    void setClock(const Clock& clock) { clock_ = &clock; }
    // The private directory of the temp files (created at first use).
    std::string tempDirectory();
    // The debug trace lines written so far (the last 64).
    const std::vector<std::string>& traceLines() const { return trace_; }
    // Bytes of memory the system can still give without swapping: a remote
    // file larger than that is not opened, and a save larger than half of it
    // copies the text through a temp file. Read from the system unless set.
    void setMemoryProbe(std::function<std::int64_t()> probe) { memoryProbe_ = std::move(probe); }

private:
    class CancelPump : public Pump {
    public:
        explicit CancelPump(RemoteExplorer& owner) : owner_(owner) {}
        void pump() override;

    private:
        RemoteExplorer& owner_;
    };
    class CommandScope;
    class TempFile;

    void configureClient();
    // Connects to the profile; the text of the failure, empty on success.
    std::string connectQuietly(const std::string& name);
    // Runs `op` on the server; when it finds the connection dropped, the
    // connection is made again (in the current remote directory) and `op`
    // runs once more.
    void onServer(const std::function<void()>& op);
    void ensureConnected();
    void listAndShowPath();
    void fillRemoteList();
    void showFailure(TCmdType type);
    void traceLine(const std::string& line);
    std::string extensionFor(const std::string& name) const;
    bool registered(const std::string& name) const;
    bool refuseWhileBusy();
    std::optional<std::string> selectedFileName(const char* directoryMessage);

    MainShell& shell_;
    MainView& view_;
    ShellUi& ui_;
    CancelPump pump_{*this};
    TFtpClient ftp_{&pump_};
    const Clock* clock_ = &SystemClock::instance();
    std::function<std::int64_t()> memoryProbe_;
    std::string site_;
    std::string directory_;
    std::int64_t lastSuccess_ = 0;
    int interval_ = kStayAliveInterval;
    int running_ = 0;
    bool cancelledByUser_ = false;
    bool reconnecting_ = false; // a connection found dead is made again

    std::string tempDir_;
    std::vector<std::string> trace_;
};

} // namespace qorvi
