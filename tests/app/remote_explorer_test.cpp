// The remote page end to end against a real FTP server on 127.0.0.1
// (Debian's pyftpdlib): site profiles, listing, remote open and save,
// upload, rename, delete, the keep-alive and lost connections.

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/ftp_login_dialog.h"
#include "app/main_commands.h"
#include "app/main_shell.h"
#include "app/remote_explorer.h"
#include "app/site_profiles.h"
#include "editor/support/message_format.h"
#include "platform/file_system.h"
#include "tests/net/ftp_test_server.h"
#include "tests/support/main_shell_fixture.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
    return fs::readFile(path).value_or("<missing>");
}

bool contains(const std::vector<std::string>& texts, const std::string& part) {
    for (const auto& t : texts)
        if (t.find(part) != std::string::npos)
            return true;
    return false;
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

struct RemoteFixture : MainShellFixture {
    FtpTestServer server;
    RemoteExplorer& remote;

    explicit RemoteFixture(FtpTestServer::Options options = {}) : server(options), remote(shell->remote()) {}

    void addProfile(const std::string& name, const FtpTestServer& on, const std::string& initialDir = "",
                    const std::string& password = FtpTestServer::kPassword) {
        SiteProfile p;
        p.name = name;
        p.hostName = "127.0.0.1";
        p.uid = FtpTestServer::kUser;
        p.password = password;
        p.port = std::to_string(on.port());
        p.initialDir = initialDir;
        SiteProfiles(hive, SystemClock::instance()).save(p);
        remote.fillSites();
    }
    void choose(const std::string& site) {
        ASSERT_TRUE(view.chooseSite(site));
        remote.siteClicked();
    }
    DocumentWindow* open(const std::string& item) {
        EXPECT_TRUE(view.selectRemote(item)) << item;
        const std::size_t before = view.children.size();
        remote.openSelected();
        return view.children.size() > before ? view.active : nullptr;
    }
    void type(DocumentWindow* window, const std::string& text) {
        view.childOf(window)->editor.replaceSelection(text);
        window->editorChanged();
    }
    bool tempDirEmpty() { return std::filesystem::is_empty(remote.tempDirectory()); }
};

} // namespace

TEST(RemoteExplorer, SiteBoxListsNotConnectedAddNewSiteThenProfilesSorted) {
    RemoteFixture f;
    f.addProfile("zeta", f.server);
    f.addProfile("Alpha", f.server);
    EXPECT_EQ(f.view.sites,
              (std::vector<std::string>{"<< Not connected >>", "<< Add new site >>", "Alpha", "zeta"}));
    EXPECT_EQ(f.view.site, 0);
    // Item 0 does nothing; item 1 opens the profile dialog in add mode.
    f.view.site = 0;
    f.remote.siteClicked();
    EXPECT_FALSE(f.remote.ftp().Connected());
    bool addMode = false;
    f.view.profileDialog = [&](FtpLoginDialog& d) {
        addMode = d.mode() == FtpLoginDialog::Mode::Add;
        return false;
    };
    f.view.site = 1;
    f.remote.siteClicked();
    EXPECT_TRUE(addMode);
    EXPECT_EQ(f.view.site, 0);
}

TEST(RemoteExplorer, ConnectsWithAStoredProfileAndListsDirectoriesLinksAndNamesWithSpaces) {
    RemoteFixture f;
    writeFile(f.server.file("my notes.txt"), "notes\n");
    writeFile(f.server.file("a.c"), "int a;\n");
    writeFile(f.server.file("data.bin"), "x");
    std::filesystem::create_directory(f.server.file("sub dir"));
    std::filesystem::create_symlink("sub dir", f.server.file("link"));
    f.addProfile("Local", f.server);
    f.choose("Local");
    ASSERT_TRUE(f.remote.ftp().Connected()) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "0 sub dir", "1 link",
                                                            "2 a.c", "2 data.bin", "2 my notes.txt"}));
    EXPECT_EQ(f.view.remoteLabel, "/");
    EXPECT_EQ(f.remote.currentDirectory(), "/");
    EXPECT_EQ(f.view.status[2], "Connected");
    EXPECT_TRUE(f.view.stayAlive.running);
    EXPECT_EQ(f.view.stayAlive.interval, 60000);
    EXPECT_TRUE(f.ui.boxes.empty());
    EXPECT_EQ(f.ui.busyDepth, 0);
    // Icons: parent, folder, link, registered, unregistered.
    EXPECT_EQ(f.remote.iconFor(0, f.view.remoteItems[0]), RemoteExplorer::IconParent);
    EXPECT_EQ(f.remote.iconFor(1, "0 sub dir"), RemoteExplorer::IconFolder);
    EXPECT_EQ(f.remote.iconFor(2, "1 link"), RemoteExplorer::IconLink);
    EXPECT_EQ(f.remote.iconFor(3, "2 a.c"), RemoteExplorer::IconRegistered);
    EXPECT_EQ(f.remote.iconFor(4, "2 data.bin"), RemoteExplorer::IconUnregistered);

    // Into the directory with a space, and up again through item 0.
    writeFile(f.server.file("sub dir/inner.txt"), "in\n");
    f.open("0 sub dir");
    EXPECT_EQ(f.view.remoteLabel, "/sub dir");
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 inner.txt"}));
    f.view.selectedRemote = 0;
    f.remote.openSelected();
    EXPECT_EQ(f.view.remoteLabel, "/");
    // Parent at the root stays at the root.
    f.view.selectedRemote = 0;
    f.remote.openSelected();
    EXPECT_EQ(f.view.remoteLabel, "/");
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
}

TEST(RemoteExplorer, InitialDirectoryOfTheProfileIsListedFirst) {
    RemoteFixture f;
    writeFile(f.server.file("pub/readme.txt"), "r\n");
    f.addProfile("Pub", f.server, "/pub");
    f.choose("Pub");
    EXPECT_EQ(f.view.remoteLabel, "/pub");
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 readme.txt"}));
}

TEST(RemoteExplorer, OpenEditSaveWritesTheBytesBackWithTheFilesLineBreaks) {
    RemoteFixture f;
    writeFile(f.server.file("dos.txt"), "one\r\ntwo\r\n");
    writeFile(f.server.file("unix.c"), "int a;\nint b;\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    DocumentWindow* dos = f.open("2 dos.txt");
    ASSERT_NE(dos, nullptr) << ::testing::PrintToString(f.ui.texts());
    EXPECT_TRUE(dos->remote());
    EXPECT_EQ(dos->filePath(), "dos.txt");
    EXPECT_EQ(dos->siteName(), "Local");
    EXPECT_EQ(dos->remoteDirectory(), "/");
    EXPECT_EQ(f.view.childOf(dos)->view.captionText, "Local:/dos.txt");
    EXPECT_EQ(f.view.tabCaptions().back(), "dos.txt");
    EXPECT_EQ(f.view.childOf(dos)->editor.text(), "one\rtwo\r");
    EXPECT_FALSE(dos->editor().modified());
    EXPECT_TRUE(f.tempDirEmpty());

    f.type(dos, "zero ");
    EXPECT_TRUE(dos->editor().modified());
    f.shell->commands().run(Command::Save);
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(readBytes(f.server.file("dos.txt")), "zero one\r\ntwo\r\n");
    EXPECT_FALSE(dos->editor().modified());
    EXPECT_EQ(f.view.status[2], "File successfully saved");
    EXPECT_TRUE(f.tempDirEmpty());
    // Nothing was written under the bare name locally.
    EXPECT_FALSE(fs::exists(f.work + "/dos.txt"));

    DocumentWindow* unix = f.open("2 unix.c");
    ASSERT_NE(unix, nullptr);
    f.type(unix, "// c\n");
    EXPECT_TRUE(unix->save());
    EXPECT_EQ(readBytes(f.server.file("unix.c")), "// c\nint a;\nint b;\n");
    struct stat st {};
    ASSERT_EQ(::stat(f.remote.tempDirectory().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(RemoteExplorer, SaveUploadsToTheDirectoryTheFileCameFromAndKeepsTheBrowsedOne) {
    RemoteFixture f;
    writeFile(f.server.file("src/main.c"), "main\n");
    writeFile(f.server.file("other/x.txt"), "x\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    f.open("0 src");
    DocumentWindow* doc = f.open("2 main.c");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->remoteDirectory(), "/src");
    f.view.selectedRemote = 0;
    f.remote.openSelected();
    f.open("0 other");
    EXPECT_EQ(f.view.remoteLabel, "/other");
    f.type(doc, "+");
    f.view.activate(doc);
    f.shell->commands().run(Command::Save);
    EXPECT_EQ(readBytes(f.server.file("src/main.c")), "+main\n");
    EXPECT_FALSE(fs::exists(f.server.file("other/main.c")));
    EXPECT_EQ(f.view.remoteLabel, "/other");
    // The client is back in the browsed directory: a refresh lists it.
    f.remote.refresh();
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 x.txt"}));
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
}

TEST(RemoteExplorer, AFailedUploadKeepsTheDocumentModifiedAndTheServerFileIntact) {
    FtpTestServer::Options options;
    options.readOnlyDir = "locked";
    RemoteFixture f(options);
    writeFile(f.server.file("locked/keep.txt"), "original\n");
    f.addProfile("Local", f.server, "/locked");
    f.choose("Local");
    DocumentWindow* doc = f.open("2 keep.txt");
    ASSERT_NE(doc, nullptr) << ::testing::PrintToString(f.ui.texts());
    f.type(doc, "changed ");
    EXPECT_FALSE(doc->save());
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_NE(f.ui.boxes[0].text.find("550"), std::string::npos) << f.ui.boxes[0].text;
    EXPECT_EQ(f.view.status[2], "Upload failure");
    EXPECT_TRUE(doc->editor().modified());
    EXPECT_EQ(readBytes(f.server.file("locked/keep.txt")), "original\n");
    EXPECT_TRUE(f.tempDirEmpty());
    // The close query saves through remote save too: it fails, so the
    // window stays open.
    f.ui.answers.push_back(MsgResult::Yes);
    EXPECT_FALSE(doc->closeQuery());
    EXPECT_EQ(readBytes(f.server.file("locked/keep.txt")), "original\n");
}

TEST(RemoteExplorer, CloseQueryUploadsAModifiedRemoteDocument) {
    RemoteFixture f;
    writeFile(f.server.file("q.txt"), "q\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    DocumentWindow* doc = f.open("2 q.txt");
    ASSERT_NE(doc, nullptr);
    f.type(doc, "Q");
    f.ui.answers.push_back(MsgResult::Yes);
    EXPECT_TRUE(doc->closeQuery());
    EXPECT_EQ(readBytes(f.server.file("q.txt")), "Qq\n");
}

TEST(RemoteExplorer, UploadRenameAndDelete) {
    RemoteFixture f;
    f.addProfile("Local", f.server);
    // Without a connection there is nothing to upload to.
    f.remote.uploadFile();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{RemoteExplorer::kMsgNotConnected});
    f.ui.boxes.clear();
    f.choose("Local");
    const std::string local = f.file("up load.txt", "line 1\r\nline 2\n");
    f.ui.files.push_back(local);
    f.remote.uploadFile();
    EXPECT_EQ(readBytes(f.server.file("up load.txt")), "line 1\r\nline 2\n");
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 up load.txt"}));

    // Rename: no selection, then a selected file.
    f.ui.inputs.push_back(std::string("renamed.txt"));
    f.remote.renameSelected();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{RemoteExplorer::kMsgSelectFile});
    ASSERT_TRUE(f.view.selectRemote("2 up load.txt"));
    f.ui.inputs.push_back(std::string("renamed.txt"));
    f.remote.renameSelected();
    EXPECT_TRUE(fs::exists(f.server.file("renamed.txt")));
    EXPECT_FALSE(fs::exists(f.server.file("up load.txt")));
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 renamed.txt"}));

    // Delete: declined, then confirmed.
    ASSERT_TRUE(f.view.selectRemote("2 renamed.txt"));
    f.ui.answers.push_back(MsgResult::No);
    f.remote.deleteSelected();
    EXPECT_TRUE(fs::exists(f.server.file("renamed.txt")));
    EXPECT_EQ(f.ui.texts().back(), "This will delete renamed.txt. Do you wish to continue?");
    ASSERT_TRUE(f.view.selectRemote("2 renamed.txt"));
    f.ui.answers.push_back(MsgResult::Yes);
    f.remote.deleteSelected();
    EXPECT_FALSE(fs::exists(f.server.file("renamed.txt")));
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory..."}));

    // Directories are neither deleted nor renamed from here.
    std::filesystem::create_directory(f.server.file("dir"));
    f.remote.refresh();
    ASSERT_TRUE(f.view.selectRemote("0 dir"));
    f.ui.boxes.clear();
    f.remote.deleteSelected();
    f.ui.inputs.push_back(std::string("x"));
    f.remote.renameSelected();
    EXPECT_EQ(f.ui.texts(), (std::vector<std::string>{RemoteExplorer::kMsgNoDirectoryDelete,
                                                      RemoteExplorer::kMsgNoDirectoryRename}));
    EXPECT_TRUE(fs::isDirectory(f.server.file("dir")));
}

TEST(RemoteExplorer, ChangeDirectoryGoesWhereTheUserSays) {
    RemoteFixture f;
    writeFile(f.server.file("a/b/c.txt"), "c\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    f.ui.inputs.push_back(std::string("/a/b"));
    f.remote.changeDirectory();
    EXPECT_EQ(f.view.remoteLabel, "/a/b");
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 c.txt"}));
    f.ui.inputs.push_back(std::string("/nowhere"));
    f.remote.changeDirectory();
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_NE(f.ui.boxes[0].text.find("550"), std::string::npos);
    EXPECT_EQ(f.view.status[2], "ChangeDir failure");
    EXPECT_EQ(f.view.remoteLabel, "/a/b");
}

TEST(RemoteExplorer, AWrongPasswordIsReportedAndLeavesNoConnection) {
    RemoteFixture f;
    f.addProfile("Local", f.server, "", "wrong");
    f.choose("Local");
    EXPECT_FALSE(f.remote.ftp().Connected());
    ASSERT_FALSE(f.ui.boxes.empty());
    EXPECT_EQ(f.ui.boxes.back().icon, MsgIcon::Error);
    EXPECT_NE(f.ui.boxes.back().text.find("530"), std::string::npos) << f.ui.boxes.back().text;
    EXPECT_TRUE(f.view.remoteItems.empty());
    EXPECT_EQ(f.ui.busyDepth, 0);
}

TEST(RemoteExplorer, AnEmptyStoredPasswordIsAskedForAtEachConnection) {
    RemoteFixture f;
    f.addProfile("Local", f.server, "", "");
    f.view.passwords.push_back(FtpTestServer::kPassword);
    f.choose("Local");
    EXPECT_TRUE(f.remote.ftp().Connected());
    EXPECT_EQ(f.view.passwordAsked, 1);
    f.remote.ftp().Disconnect();
    f.view.passwords.push_back(FtpTestServer::kPassword);
    f.choose("Local");
    EXPECT_TRUE(f.remote.ftp().Connected());
    EXPECT_EQ(f.view.passwordAsked, 2);
}

TEST(RemoteExplorer, AProfileWithoutHostOrProxyNeitherConnectsNorKeepsTheLastProxy) {
    RemoteFixture f;
    SiteProfile p;
    p.name = "Empty";
    p.uid = "u";
    p.password = "p";
    SiteProfiles(f.hive, SystemClock::instance()).save(p);
    f.remote.fillSites();
    f.choose("Empty");
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{RemoteExplorer::kMsgNoHostName});
    EXPECT_EQ(f.ui.boxes[0].icon, MsgIcon::Error);
    f.remote.ftp().Proxy = "proxy.example";
    f.remote.ftp().ProxyPort = 8021;
    f.addProfile("Local", f.server);
    f.choose("Local");
    EXPECT_TRUE(f.remote.ftp().Connected());
    EXPECT_EQ(f.remote.ftp().Proxy, "");
    EXPECT_EQ(f.remote.ftp().ProxyPort, 0);
}

TEST(RemoteExplorer, KeepAliveHoldsAnIdleConnectionOpen) {
    FtpTestServer::Options options;
    options.idleSeconds = 1;
    RemoteFixture f(options);
    f.addProfile("Local", f.server);
    f.remote.setStayAliveInterval(250);
    f.choose("Local");
    ASSERT_TRUE(f.remote.ftp().Connected());
    EXPECT_EQ(f.view.stayAlive.interval, 250);
    // Right after a success there is nothing to send.
    f.remote.keepAliveTick();
    EXPECT_EQ(f.remote.traceLines().back(), "Last accessed is less then 250. No need to send alive message");
    int connects = 0;
    f.remote.ftp().OnConnect = [&](TSockClient&) { ++connects; };
    const std::int64_t connectedAt = f.remote.lastSuccess();
    for (int i = 0; i < 10; ++i) {
        sleepMs(300);
        f.remote.keepAliveTick();
    }
    EXPECT_TRUE(contains(f.remote.traceLines(), "milliseconds ago. Will send an Alive message."));
    EXPECT_GT(f.remote.lastSuccess(), connectedAt + 2000);
    // Three seconds after the last command of the user, against a server
    // that drops connections idle for one: still the same connection.
    writeFile(f.server.file("late.txt"), "l\n");
    f.remote.refresh();
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 late.txt"}));
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
}

TEST(RemoteExplorer, ADroppedConnectionIsMadeAgainByTheNextCommand) {
    FtpTestServer::Options options;
    options.idleSeconds = 1;
    RemoteFixture f(options);
    writeFile(f.server.file("sub/s.txt"), "s\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    f.open("0 sub");
    ASSERT_EQ(f.view.remoteLabel, "/sub");
    // No keep-alive: the server drops the idle connection.
    sleepMs(2200);
    f.remote.refresh();
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
    EXPECT_TRUE(f.remote.ftp().Connected());
    EXPECT_EQ(f.view.remoteLabel, "/sub");
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 s.txt"}));
    // An open of a file after another drop works as well.
    sleepMs(2200);
    DocumentWindow* doc = f.open("2 s.txt");
    ASSERT_NE(doc, nullptr) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(doc->remoteDirectory(), "/sub");
}

TEST(RemoteExplorer, AServerThatIsGoneIsReportedClearly) {
    RemoteFixture f;
    f.addProfile("Local", f.server);
    f.choose("Local");
    writeFile(f.server.file("doc.txt"), "d\n");
    f.remote.refresh();
    DocumentWindow* doc = f.open("2 doc.txt");
    ASSERT_NE(doc, nullptr);
    f.server.stop();
    f.remote.refresh();
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_NE(f.ui.boxes[0].text.find("The connection to the FTP site 'Local' was lost"), std::string::npos)
        << f.ui.boxes[0].text;
    f.type(doc, "x");
    EXPECT_FALSE(doc->save());
    EXPECT_TRUE(doc->editor().modified());
    EXPECT_EQ(f.ui.busyDepth, 0);
}

TEST(RemoteExplorer, AFileWithNulBytesIsRefusedBeforeAnythingOpens) {
    RemoteFixture f;
    writeFile(f.server.file("image.txt"), std::string("GIF\0\1\2", 6));
    f.addProfile("Local", f.server);
    f.choose("Local");
    EXPECT_EQ(f.open("2 image.txt"), nullptr);
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{formatMsg(RemoteExplorer::kMsgNotText, "image.txt")});
    EXPECT_TRUE(f.view.children.empty());
    EXPECT_TRUE(f.tempDirEmpty());
}

TEST(RemoteExplorer, LittleMemoryRefusesALargerFileAndSavesThroughATempFile) {
    RemoteFixture f;
    writeFile(f.server.file("big.txt"), std::string(5000, 'b') + "\n");
    writeFile(f.server.file("small.txt"), "one\r\ntwo\r\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    std::int64_t memory = 4000;
    f.remote.setMemoryProbe([&] { return memory; });
    EXPECT_EQ(f.open("2 big.txt"), nullptr);
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{formatMsg(RemoteExplorer::kMsgTooLarge, "big.txt", "5001")});
    EXPECT_TRUE(f.view.children.empty());
    EXPECT_TRUE(f.tempDirEmpty());

    // Too little room for a copy in memory: the text goes through a temp
    // file, with the same bytes on the server and nothing left behind.
    DocumentWindow* doc = f.open("2 small.txt");
    ASSERT_NE(doc, nullptr);
    memory = 30;
    f.type(doc, "zero ");
    EXPECT_TRUE(doc->save());
    EXPECT_EQ(readBytes(f.server.file("small.txt")), "zero one\r\ntwo\r\n");
    EXPECT_FALSE(doc->editor().modified());
    EXPECT_TRUE(f.tempDirEmpty());
}

TEST(RemoteExplorer, ASecondCopyDeclinedOpensNothingAndLeavesNoTempFile) {
    RemoteFixture f;
    writeFile(f.server.file("a/same.txt"), "a\n");
    writeFile(f.server.file("b/same.txt"), "b\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    f.open("0 a");
    ASSERT_NE(f.open("2 same.txt"), nullptr);
    f.view.selectedRemote = 0;
    f.remote.openSelected();
    f.open("0 b");
    f.view.whatToDo = {1};
    EXPECT_EQ(f.open("2 same.txt"), nullptr);
    EXPECT_EQ(f.view.whatToDoAsked, 1);
    EXPECT_EQ(f.view.children.size(), 1u);
    EXPECT_TRUE(f.tempDirEmpty());
}

TEST(RemoteExplorer, AnUnregisteredFileChosenForDownloadGoesOnlyToThePathPicked) {
    RemoteFixture f;
    writeFile(f.server.file("data.bin"), std::string("\0\1bin", 5));
    f.addProfile("Local", f.server);
    f.choose("Local");
    const std::string target = f.work + "/picked.bin";
    f.view.unknownTypes.push_back(1);
    f.ui.files.push_back(target);
    EXPECT_EQ(f.open("2 data.bin"), nullptr);
    EXPECT_EQ(readBytes(target), std::string("\0\1bin", 5));
    ASSERT_FALSE(f.ui.dialogs.empty());
    EXPECT_EQ(f.ui.dialogs.back().fileName, "data.bin");
    EXPECT_TRUE(f.view.children.empty());
    // Cancelled: nothing.
    f.view.unknownTypes.push_back(0);
    EXPECT_EQ(f.open("2 data.bin"), nullptr);
    // Open without registering.
    writeFile(f.server.file("notes.xyz"), "xyz\n");
    f.remote.refresh();
    f.view.unknownTypes.push_back(2);
    DocumentWindow* doc = f.open("2 notes.xyz");
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(f.view.childOf(doc)->editor.text(), "xyz\r");
}

TEST(RemoteExplorer, TheClientIsNeverEnteredTwiceAndATransferCanBeCancelled) {
    RemoteFixture f;
    writeFile(f.server.file("big.txt"), std::string(48 << 20, 'x'));
    f.addProfile("Local", f.server);
    f.choose("Local");
    // While the download runs, a refresh and a keep-alive tick arrive.
    bool once = false;
    f.ui.onPoll = [&] {
        if (once || !f.remote.ftp().Busy())
            return;
        once = true;
        f.remote.refresh();
        f.remote.keepAliveTick();
    };
    DocumentWindow* doc = f.open("2 big.txt");
    ASSERT_TRUE(once);
    ASSERT_NE(doc, nullptr) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{RemoteExplorer::kMsgBusy});
    EXPECT_EQ(f.remote.traceLines().back(), "FTP client busy. No need to send alive message");
    f.ui.onPoll = nullptr;
    f.ui.boxes.clear();

    // Escape during the next transfer aborts it: no window, no temp file,
    // and the next command connects again.
    f.view.whatToDo = {2};
    f.ui.cancelAtPoll = 0;
    f.ui.polls = 0;
    EXPECT_EQ(f.open("2 big.txt"), nullptr);
    EXPECT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.view.children.size(), 1u);
    EXPECT_TRUE(f.tempDirEmpty());
    f.ui.cancelAtPoll = -1;
    f.ui.boxes.clear();
    f.remote.refresh();
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(f.view.remoteItems.size(), 2u);
    EXPECT_EQ(f.ui.busyDepth, 0);
}

TEST(RemoteExplorer, SavingADocumentOfAnotherSiteUploadsThereAndComesBack) {
    RemoteFixture f;
    FtpTestServer second;
    writeFile(f.server.file("a.txt"), "site a\n");
    writeFile(second.file("dir/b.txt"), "site b\n");
    f.addProfile("A", f.server);
    f.addProfile("B", second);
    f.choose("A");
    DocumentWindow* doc = f.open("2 a.txt");
    ASSERT_NE(doc, nullptr);
    f.choose("B");
    f.open("0 dir");
    EXPECT_EQ(f.view.remoteLabel, "/dir");
    f.type(doc, "edited ");
    EXPECT_TRUE(doc->save()) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(readBytes(f.server.file("a.txt")), "edited site a\n");
    EXPECT_FALSE(fs::exists(second.file("a.txt")));
    EXPECT_EQ(f.remote.currentSite(), "B");
    EXPECT_EQ(f.remote.ftp().Port, second.port());
    EXPECT_EQ(f.view.remoteLabel, "/dir");
    f.remote.refresh();
    EXPECT_EQ(f.view.remoteItems, (std::vector<std::string>{"  Parent Directory...", "2 b.txt"}));
    EXPECT_TRUE(f.ui.boxes.empty()) << ::testing::PrintToString(f.ui.texts());
}

TEST(RemoteExplorer, AReadOnlyRemoteDocumentIsNotSaved) {
    RemoteFixture f;
    writeFile(f.server.file("r.txt"), "r\n");
    f.addProfile("Local", f.server);
    f.choose("Local");
    DocumentWindow* doc = f.open("2 r.txt");
    ASSERT_NE(doc, nullptr);
    f.type(doc, "x");
    doc->setReadOnlyCommand(true);
    EXPECT_FALSE(doc->save());
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{RemoteExplorer::kMsgReadOnly});
    EXPECT_EQ(readBytes(f.server.file("r.txt")), "r\n");
}
