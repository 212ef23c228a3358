// The FTP engine against a scripted server, for what a real server will not
// do on request: odd replies, broken transfers, foreign addresses.

#include "net/ftp_client.h"
#include "net/sock_errors.h"
#include "tests/net/callback_pump.h"
#include "tests/net/fake_ftp_server.h"
#include "tests/net/ftp_test_server.h"
#include "tests/support/error_of.h"
#include "tests/support/file_bytes.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace qorvi {
namespace {

using test::readFile;
using test::errorOf;

using test::CallbackPump;
using test::FakeConnection;
using test::FakeFtpServer;
using test::passiveReply;

// Records the client's success and failure events.
struct Events {
    std::vector<TCmdType> successes, failures, unsupported;
    void attach(TFtpClient& client) {
        client.OnSuccess = [this](TFtpClient&, TCmdType t) { successes.push_back(t); };
        client.OnFailure = [this](TFtpClient&, bool&, TCmdType t) { failures.push_back(t); };
        client.OnUnSupportedFunction = [this](TFtpClient&, TCmdType t) { unsupported.push_back(t); };
    }
};

void configure(TFtpClient& client, const FakeFtpServer& server) {
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.UserID = "user";
    client.Password = "pw";
    // Generous: the large-reply cases take seconds under the sanitizers on
    // a busy machine, and no test here waits for this time-out to pass.
    client.TimeOut = 30000;
}

// A client that records its events, logged in to `server` in passive mode;
// `setUp` adjusts it before it connects.
void connectPassive(TFtpClient& client, Events& events, const FakeFtpServer& server,
                    const std::function<void()>& setUp = {}) {
    events.attach(client);
    configure(client, server);
    client.Passive = true;
    if (setUp)
        setUp();
    client.Connect();
}

// PASV answered with a listener of the fake; returns the accepted data
// connection.
FakeConnection passiveData(FakeFtpServer& s, FakeConnection& c, const std::string& address = "127,0,0,1") {
    s.expect(c, "PASV");
    c.reply(passiveReply(s.listenData(), address));
    return s.acceptData();
}

// Login, a Unix SYST reply and a passive LIST answered "150 Here"; returns
// the data connection.
FakeConnection listingStarted(FakeFtpServer& s, FakeConnection& c) {
    s.login(c);
    s.expect(c, "SYST");
    c.reply("215 UNIX");
    FakeConnection data = passiveData(s, c);
    s.expect(c, "LIST");
    c.reply("150 Here");
    return data;
}

class FtpFake : public ::testing::Test {
protected:
    bool tempDirEmpty() const { return std::filesystem::is_empty(dir_.path()); }
    test::TempDir dir_;
};

TEST_F(FtpFake, MultiLineRepliesKeepTheirFirstLineAndStayInStep) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        c.send("220-Welcome\r\nThis is line two\r\n 220 indented\r\n220 Ready\r\n");
        s.expect(c, "USER user");
        c.reply("331 Password please");
        s.expect(c, "PASS pw");
        c.send("230-Hello\r\nplain continuation line\r\n230 Logged in\r\n");
        s.expect(c, "NOOP");
        c.reply("200 NOOP ok");
    });
    TFtpClient client;
    configure(client, server);
    client.Connect();
    EXPECT_EQ(client.ReplyNumber(), 230);
    EXPECT_EQ(client.ReplyText(), "230-Hello");
    client.DoCommand("NOOP");
    EXPECT_EQ(client.ReplyText(), "200 NOOP ok");
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

// Replies the protocol does not allow leave the control connection out of
// step: whatever the server sends next would be read as the replies of later
// commands. The client closes it, and the next command says why.
TEST_F(FtpFake, RepliesOutsideTheProtocolCloseTheConnection) {
    struct Case {
        const char* reply; // what the server answers to PWD
        std::size_t repeat;
        const char* error;
    };
    const Case cases[] = {
        {"A", 10u << 20, "Received line too long"},
        {"211-Features\r\n", 1, "Reply has too many lines"},
        {"150 Opening data connection\r\n", 1, "Unexpected preliminary reply: 150 Opening data connection"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.error);
        FakeFtpServer server([&](FakeFtpServer& s, FakeConnection& c) {
            s.login(c);
            s.expect(c, "PWD");
            std::string reply;
            reply.reserve(k.repeat * std::strlen(k.reply));
            for (std::size_t i = 0; i < k.repeat; ++i)
                reply += k.reply;
            if (k.repeat == 1 && reply[3] == '-') {
                for (int i = 0; i < 200000; ++i)
                    reply += " continuation\r\n";
            }
            c.send(reply + "257 \"/\" is current\r\n");
            c.readAll();
        });
        TFtpClient client;
        Events events;
        events.attach(client);
        configure(client, server);
        client.Connect();
        EXPECT_EQ(errorOf([&] { client.GetCurrentDir(); }), k.error);
        EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdCurrentDir}));
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(client.ReplyText(), "") << "no stale reply of an earlier command";
        EXPECT_EQ(client.ReplyNumber(), 0);
        EXPECT_EQ(errorOf([&] { client.DoCommand("NOOP"); }),
                  std::string("Connection closed after a protocol error: ") + k.error);
        server.finish();
    }
}

TEST_F(FtpFake, ReplyWithoutACodeIsAFailure) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "NOOP");
        c.reply("hello there");
        s.expect(c, "NOOP");
        c.reply("65736 wraps to 200 in sixteen bits");
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    client.Connect();
    EXPECT_EQ(errorOf([&] { client.DoCommand("NOOP"); }), "hello there");
    EXPECT_EQ(client.ReplyNumber(), 0);
    EXPECT_EQ(errorOf([&] { client.DoCommand("NOOP"); }), "65736 wraps to 200 in sixteen bits");
}

TEST_F(FtpFake, LateReplyAfterATimeOutIsNotTakenForTheNextCommands) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "NOOP");
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        c.reply("200 late NOOP");
        s.expect(c, "PWD");
        c.reply("257 \"/x\" is current");
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    client.Connect();
    client.TimeOut = 200;
    EXPECT_EQ(errorOf([&] { client.DoCommand("NOOP"); }), "Socket readln aborted");
    client.TimeOut = 5000;
    EXPECT_EQ(client.GetCurrentDir(), "/x");
}

TEST_F(FtpFake, CommandTypesAndUnsupportedReplies) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "PWD");
        c.reply("257 \"/home/user\" is current");
        s.expect(c, "NOOP");
        c.reply("200 ok");
        s.expect(c, "SITE CHMOD");
        c.reply("502 Command not implemented");
        s.expect(c, "DELE x");
        c.reply("550 No such file");
        c.readLine();
    });
    TFtpClient client;
    Events events;
    events.attach(client);
    configure(client, server);
    client.Connect();
    EXPECT_EQ(client.GetCurrentDir(), "/home/user");
    client.DoCommand("NOOP");
    EXPECT_EQ(events.successes, (std::vector<TCmdType>{cmdConnect, cmdCurrentDir, cmdDoCommand}));
    // OnFailure leaves Handled false, so the failure is raised as well.
    EXPECT_EQ(errorOf([&] { client.DoCommand("SITE CHMOD 644 x"); }), "502 Command not implemented");
    EXPECT_EQ(errorOf([&] { client.Delete("x"); }), "550 No such file");
    EXPECT_EQ(events.unsupported, (std::vector<TCmdType>{cmdDoCommand}));
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdDoCommand, cmdDelete}));
}

TEST_F(FtpFake, HandledFailureIsNotRaised) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "CWD nowhere");
        c.reply("550 No such directory");
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    TCmdType failed = cmdConnect;
    client.OnFailure = [&](TFtpClient&, bool& handled, TCmdType t) {
        failed = t;
        handled = true;
    };
    client.Connect();
    EXPECT_NO_THROW(client.ChangeDir("nowhere"));
    EXPECT_EQ(failed, cmdChangeDir);
}

TEST_F(FtpFake, ArgumentsWithLineBreaksAreRefusedBeforeAnythingIsSent) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "NOOP");
        c.reply("200 ok");
        c.readLine();
    });
    TFtpClient client;
    Events events;
    events.attach(client);
    configure(client, server);
    client.Connect();
    const std::string smuggled = "a\r\nDELE precious";
    EXPECT_EQ(errorOf([&] { client.ChangeDir(smuggled); }), "Invalid character in FTP command");
    EXPECT_EQ(errorOf([&] { client.Download(smuggled, dir_.file("x")); }),
              "Invalid character in FTP command");
    EXPECT_EQ(errorOf([&] { client.Rename("a", std::string("b\0c", 3)); }),
              "Invalid character in FTP command");
    EXPECT_TRUE(events.failures.empty());
    client.DoCommand("NOOP");
    client.Disconnect();
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

TEST_F(FtpFake, LoginThroughProxyWithUserAtHost) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        c.reply("220 proxy");
        s.expect(c, "USER user@ftp.example.org");
        c.reply("331 Password please");
        s.expect(c, "PASS pw");
        c.reply("230 Logged in");
    });
    TFtpClient client;
    configure(client, server);
    client.Host = "ftp.example.org";
    client.Proxy = "127.0.0.1";
    client.ProxyPort = server.port();
    client.Connect();
    server.finish();
    EXPECT_EQ(server.problems(), "");
    EXPECT_EQ(server.commands().size(), 2u);
}

TEST_F(FtpFake, LoginThroughFirewallWithOpenOrSiteAndAuthentication) {
    for (TFirewallType type : {FtOpen, FtSite}) {
        const std::string verb = type == FtOpen ? "OPEN " : "SITE ";
        FakeFtpServer server([&](FakeFtpServer& s, FakeConnection& c) {
            c.reply("220 firewall");
            s.expect(c, "USER fwuser");
            c.reply("331 Firewall password");
            s.expect(c, "PASS fwpass");
            c.reply("230 Firewall ok");
            s.expect(c, verb + "ftp.example.org");
            c.reply("220 Connected to the real host");
            s.expect(c, "USER user");
            c.reply("331 Password please");
            s.expect(c, "PASS pw");
            c.reply("230 Logged in");
        });
        TFtpClient client;
        configure(client, server);
        client.Host = "ftp.example.org";
        client.Proxy = "127.0.0.1";
        client.ProxyPort = server.port();
        client.FirewallType = type;
        client.FWAuthenticate = true;
        client.FWUserID = "fwuser";
        client.FWPassword = "fwpass";
        client.Connect();
        server.finish();
        EXPECT_EQ(server.problems(), "") << verb;
    }
}

TEST_F(FtpFake, EmptyPasswordIsSentAsPassAndNeverShownInStatus) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    client.Password = "";
    client.ReportLevel = 1;
    std::vector<std::string> statuses;
    client.OnStatus = [&](TSockClient&, const std::string& s) { statuses.push_back(s); };
    client.Connect();
    client.CloseImmediate();
    client.RequestCloseSocket();
    server.finish();
    ASSERT_EQ(server.commands().size(), 2u);
    EXPECT_EQ(server.commands()[1], "PASS ");
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "PASS "), statuses.end());
}

TEST_F(FtpFake, AuthenticationHandlerSuppliesTheMissingPassword) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    client.Password = "";
    client.ReportLevel = 8;
    std::vector<std::string> statuses;
    client.OnStatus = [&](TSockClient&, const std::string& s) { statuses.push_back(s); };
    client.OnAuthenticationNeeded = [](TFtpClient& sender, bool& handled) {
        sender.Password = "typed secret";
        handled = true;
    };
    client.Connect();
    client.CloseImmediate();
    client.RequestCloseSocket();
    server.finish();
    EXPECT_EQ(server.commands().at(1), "PASS typed secret");
    for (const auto& s : statuses)
        EXPECT_EQ(s.find("typed secret"), std::string::npos) << s;
}

TEST_F(FtpFake, RejectedLoginClosesTheConnectionAndReportsIt) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        c.reply("220 ready");
        s.expect(c, "USER user");
        c.reply("331 Password please");
        s.expect(c, "PASS pw");
        c.reply("530 Login incorrect");
        c.readLine();
    });
    TFtpClient client;
    Events events;
    events.attach(client);
    int connectionFailures = 0, connects = 0;
    client.OnConnectionFailed = [&](TSockClient&) { ++connectionFailures; };
    client.OnConnect = [&](TSockClient&) { ++connects; };
    configure(client, server);
    EXPECT_EQ(errorOf([&] { client.Connect(); }), "530 Login incorrect");
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(connectionFailures, 1);
    EXPECT_EQ(connects, 0);
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdConnect}));
}

TEST_F(FtpFake, PassiveDataGoesToTheControlPeerWhateverThePasvReplySays) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "SYST");
        c.reply("215 UNIX Type: L8");
        FakeConnection data = passiveData(s, c, "10,0,0,5");
        s.expect(c, "LIST");
        c.reply("150 Here it comes");
        data.send("total 8\r\n-rw-r--r--   1 u  g  12 Jan 12 10:30 my file.txt\r\n"
                  "lrwxrwxrwx   1 u  g   4 Jan 12 10:30 link -> my file.txt\r\n");
        data.close();
        c.reply("226 Done");
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    client.Passive = true;
    client.ParseList = true;
    std::vector<std::string> items;
    client.OnListItem = [&](TFtpClient&, const std::string& line) { items.push_back(line); };
    client.Connect();
    client.List();
    EXPECT_EQ(client.Vendor, kVendorUnix);
    ASSERT_NE(client.DirectoryList(), nullptr);
    EXPECT_EQ(client.DirectoryList()->names(), (std::vector<std::string>{"my file.txt", "link"}));
    EXPECT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0], "total 8");
    EXPECT_FALSE(client.Busy());
}

TEST_F(FtpFake, MalformedPasvReplyFailsTheTransfer) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "PASV");
        c.reply("227 Entering Passive Mode (127,0,0,1,300,1)");
        c.readLine();
    });
    TFtpClient client;
    Events events;
    connectPassive(client, events, server);
    EXPECT_EQ(errorOf([&] { client.Download("a.txt", dir_.file("a.txt")); }),
              "Invalid passive mode reply: 227 Entering Passive Mode (127,0,0,1,300,1)");
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdDownload}));
    EXPECT_TRUE(tempDirEmpty());
}

TEST_F(FtpFake, ActiveModeAcceptsOnlyTheServersOwnAddress) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        std::string port = s.expect(c, "PORT 127,0,0,1,");
        c.reply("200 PORT ok");
        s.expect(c, "RETR a.txt");
        c.reply("150 Opening BINARY mode data connection for a.txt (4 bytes)");
        FakeConnection intruder = s.connectTo(port.substr(5), "127.0.0.2");
        intruder.send("EVIL");
        FakeConnection data = s.connectTo(port.substr(5), "127.0.0.1");
        data.send("GOOD");
        data.close();
        c.reply("226 Transfer complete");
    });
    TFtpClient client;
    configure(client, server);
    client.Connect();
    std::uint64_t announced = 0;
    client.OnTransactionStart = [&](TFtpClient& sender) { announced = sender.BytesTotal(); };
    client.Download("a.txt", dir_.file("a.txt"));
    EXPECT_EQ(readFile(dir_.file("a.txt")), "GOOD");
    EXPECT_EQ(announced, 4u);
    EXPECT_EQ(client.BytesTotal(), 4u);
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

TEST_F(FtpFake, ErrorReplyAfterTheDataFailsAndDeletesThePartialDownload) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        FakeConnection data = passiveData(s, c);
        s.expect(c, "RETR big.bin");
        c.reply("150 Opening BINARY mode data connection for big.bin (1000000 bytes)");
        data.send(std::string(5000, 'x'));
        data.close();
        c.reply("451 Local error in processing");
        s.expect(c, "NOOP");
        c.reply("200 still here");
    });
    TFtpClient client;
    Events events;
    connectPassive(client, events, server);
    EXPECT_EQ(errorOf([&] { client.Download("big.bin", dir_.file("big.bin")); }),
              "451 Local error in processing");
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdDownload}));
    EXPECT_TRUE(tempDirEmpty());
    client.DoCommand("NOOP");
    EXPECT_EQ(client.ReplyText(), "200 still here");
}

TEST_F(FtpFake, FailedDownloadLeavesAnEarlierCopyUntouched) {
    std::ofstream(dir_.file("keep.txt")) << "precious";
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        FakeConnection data = passiveData(s, c);
        s.expect(c, "RETR keep.txt");
        c.reply("150 Here");
        data.send("partial");
        data.close();
        c.reply("426 Connection closed; transfer aborted");
        c.readLine();
    });
    TFtpClient client;
    configure(client, server);
    client.Passive = true;
    client.Connect();
    EXPECT_EQ(errorOf([&] { client.Download("keep.txt", dir_.file("keep.txt")); }),
              "426 Connection closed; transfer aborted");
    EXPECT_EQ(readFile(dir_.file("keep.txt")), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 1);
}

TEST_F(FtpFake, ResetDataConnectionFailsEvenWhenTheServerClaimsSuccess) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        FakeConnection data = passiveData(s, c);
        s.expect(c, "RETR a.bin");
        c.reply("150 Here");
        data.send(std::string(100000, 'y'));
        data.reset();
        c.reply("226 Transfer complete");
        s.expect(c, "PWD");
        c.reply("257 \"/\" is current");
    });
    TFtpClient client;
    configure(client, server);
    client.Passive = true;
    client.Connect();
    EXPECT_NE(errorOf([&] { client.Download("a.bin", dir_.file("a.bin")); }), "(no error)");
    EXPECT_TRUE(tempDirEmpty());
    EXPECT_EQ(client.GetCurrentDir(), "/");
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

TEST_F(FtpFake, MissingFinalReplyFailsTheListing) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        FakeConnection data = listingStarted(s, c);
        data.send("-rw-r--r--   1 u  g  12 Jan 12 10:30 a\r\n");
        data.close();
        c.close();
    });
    TFtpClient client;
    Events events;
    connectPassive(client, events, server);
    EXPECT_EQ(errorOf([&] { client.List(); }), "Connection closed by the server");
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdList}));
    EXPECT_FALSE(client.Connected());
}

TEST_F(FtpFake, SlowTrickleWithinTheInactivityTimeOutCompletes) {
    std::string sent;
    FakeFtpServer server([&](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        FakeConnection data = passiveData(s, c);
        s.expect(c, "RETR slow.txt");
        c.reply("150 Here");
        for (int i = 0; i < 12; ++i) {
            std::string piece(100, static_cast<char>('a' + i));
            data.send(piece);
            sent += piece;
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
        }
        data.close();
        c.reply("226 Transfer complete");
    });
    TFtpClient client;
    configure(client, server);
    // The whole transfer takes longer than the time-out; no gap does.
    client.TimeOut = 1000;
    client.Passive = true;
    client.Connect();
    client.Download("slow.txt", dir_.file("slow.txt"));
    server.finish();
    EXPECT_EQ(readFile(dir_.file("slow.txt")), sent);
}

TEST_F(FtpFake, UploadOfAMissingFileFailsBeforeStor) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        s.expect(c, "NOOP");
        c.reply("200 ok");
    });
    TFtpClient client;
    Events events;
    events.attach(client);
    configure(client, server);
    client.Connect();
    std::string message = errorOf([&] { client.Upload(dir_.file("absent.txt"), "absent.txt"); });
    EXPECT_EQ(message.rfind("Can't open " + dir_.file("absent.txt"), 0), 0u) << message;
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdUpload}));
    client.DoCommand("NOOP");
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

TEST_F(FtpFake, OperationsStartedDuringATransferAreRefusedAsBusy) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        s.login(c);
        FakeConnection data = passiveData(s, c);
        s.expect(c, "RETR a.bin");
        c.reply("150 Here");
        data.send(std::string(50000, 'b'));
        data.close();
        c.reply("226 Transfer complete");
        s.expect(c, "NOOP");
        c.reply("200 ok");
    });
    TFtpClient client;
    Events events;
    connectPassive(client, events, server);
    std::vector<std::string> refusals;
    bool busySeen = false;
    client.OnPacketRecvd = [&](TSockClient&) {
        busySeen = busySeen || client.Busy();
        refusals.push_back(errorOf([&] { client.DoCommand("NOOP"); }));
    };
    client.Download("a.bin", dir_.file("a.bin"));
    ASSERT_FALSE(refusals.empty());
    for (const auto& r : refusals)
        EXPECT_EQ(r, "FTP client busy");
    EXPECT_TRUE(busySeen);
    EXPECT_FALSE(client.Busy());
    EXPECT_TRUE(events.failures.empty());
    client.OnPacketRecvd = nullptr;
    client.DoCommand("NOOP");
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

TEST_F(FtpFake, ParserIsChosenAnewForEachConnection) {
    auto listing = [](const char* syst, const char* line) {
        return [=](FakeFtpServer& s, FakeConnection& c) {
            s.login(c);
            s.expect(c, "SYST");
            c.reply(syst);
            FakeConnection data = passiveData(s, c);
            s.expect(c, "LIST");
            c.reply("150 Here");
            data.send(std::string(line) + "\r\n");
            data.close();
            c.reply("226 Done");
            s.expect(c, "QUIT");
            c.reply("221 Bye");
        };
    };
    FakeFtpServer windows(listing("215 Windows_NT", "04-27-20  09:09PM       <DIR>          Program Files"));
    FakeFtpServer unix(listing("215 UNIX Type: L8", "drwxr-xr-x   2 u  g  4096 Jan 12 10:30 Program Files"));
    TFtpClient client;
    configure(client, windows);
    client.Passive = true;
    client.ParseList = true;
    client.Connect();
    client.List();
    EXPECT_EQ(client.Vendor, kVendorDos);
    EXPECT_EQ(client.DirectoryList()->attributes().at(0), "d");
    client.Disconnect();
    EXPECT_EQ(client.Vendor, kVendorDetect);
    EXPECT_EQ(client.DirectoryList(), nullptr);
    client.Port = unix.port();
    client.Connect();
    client.List();
    EXPECT_EQ(client.Vendor, kVendorUnix);
    EXPECT_EQ(client.DirectoryList()->names().at(0), "Program Files");
    EXPECT_EQ(client.DirectoryList()->attributes().at(0), "drwxr-xr-x");
    client.Disconnect();
}

// A listing that does not end fills no memory: past its bounds the transfer
// is broken off (ABOR) and fails.
TEST_F(FtpFake, ListingsPastTheirBoundsFail) {
    struct Case {
        std::string line;
        std::size_t count;
        bool nlist;
    };
    const Case cases[] = {
        {"-rw-r--r--   1 u  g  12 Jan 12 10:30 a\r\n", TFtpClient::kMaxListingEntries + 10, false},
        {std::string(60000, 'n') + "\r\n", TFtpClient::kMaxListingBytes / 60000 + 10, true},
    };
    for (const Case& k : cases) {
        FakeFtpServer server([&](FakeFtpServer& s, FakeConnection& c) {
            s.login(c);
            if (!k.nlist) {
                s.expect(c, "SYST");
                c.reply("215 UNIX");
            }
            FakeConnection data = passiveData(s, c);
            s.expect(c, k.nlist ? "NLST" : "LIST");
            c.reply("150 Here it comes");
            std::string block;
            for (std::size_t i = 0; i < k.count; ++i) {
                block += k.line;
                if (block.size() > (1 << 20) || i + 1 == k.count) {
                    data.send(block);
                    block.clear();
                }
            }
            data.close();
            s.expect(c, "ABOR");
            c.reply("426 Transfer aborted");
            c.reply("226 ABOR done");
        });
        TFtpClient client;
        Events events;
        connectPassive(client, events, server, [&] { client.ParseList = true; });
        std::size_t items = 0;
        client.OnListItem = [&](TFtpClient&, const std::string&) { ++items; };
        EXPECT_EQ(errorOf([&] { k.nlist ? (void)client.Nlist() : client.List(); }),
                  "Directory listing too long");
        EXPECT_EQ(events.failures, (std::vector<TCmdType>{k.nlist ? cmdNList : cmdList}));
        EXPECT_LE(items, TFtpClient::kMaxListingEntries);
        server.finish();
        EXPECT_EQ(server.problems(), "");
    }
}

// Not only the client's own failures: whatever an operation raises, a
// std::bad_alloc or an event handler's exception, reaches OnFailure first.
TEST_F(FtpFake, EveryExceptionOfAnOperationGoesToOnFailure) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        FakeConnection data = listingStarted(s, c);
        data.send("-rw-r--r--   1 u  g  12 Jan 12 10:30 a\r\n");
        data.close();
        c.reply("226 Done");
        s.expect(c, "NOOP");
        c.reply("200 still here");
    });
    TFtpClient client;
    Events events;
    connectPassive(client, events, server);
    client.OnListItem = [](TFtpClient&, const std::string&) { throw std::bad_alloc(); };
    EXPECT_THROW(client.List(), std::bad_alloc);
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdList}));
    EXPECT_FALSE(client.Busy());
    client.DoCommand("NOOP");
    EXPECT_EQ(client.ReplyText(), "200 still here");
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

// Each command has a deadline besides the inactivity time-out: a server that
// keeps answering "120 not ready" cannot keep Connect from returning.
TEST_F(FtpFake, EndlessPreliminaryRepliesMeetTheDeadline) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) {
        for (int i = 0; i < 250 && c.reply("120 Not ready yet"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        c.reply("220 Ready at last");
        c.readAll();
    });
    TFtpClient client;
    Events events;
    events.attach(client);
    configure(client, server);
    client.ReplyDeadline = 1000;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(errorOf([&] { client.Connect(); }), "Socket readln aborted");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdConnect}));
    EXPECT_FALSE(client.Connected());
}

// A listing has a deadline too: a server that sends a line now and then
// within the time-out does not keep it alive for ever.
TEST_F(FtpFake, TrickledListingMeetsItsDeadline) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        FakeConnection data = listingStarted(s, c);
        for (int i = 0; i < 160 && data.send("-rw-r--r--   1 u  g  12 Jan 12 10:30 a\r\n"); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        data.close();
        c.reply("226 Done");
        s.expect(c, "ABOR");
        c.reply("226 ABOR done");
    });
    TFtpClient client;
    Events events;
    connectPassive(client, events, server, [&] { client.ListingDeadline = 1000; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(errorOf([&] { client.List(); }), "Directory listing took too long");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdList}));
    server.finish();
    EXPECT_EQ(server.problems(), "");
}

// A time-out of 0 is a finite default, not an endless wait: a data
// connection that stays open without a byte fails the listing. The clock
// runs a second per turn of the event loop.
TEST_F(FtpFake, TimeOutZeroStillEndsAStalledListing) {
    FakeFtpServer server([](FakeFtpServer& s, FakeConnection& c) {
        FakeConnection data = listingStarted(s, c);
        s.expect(c, "ABOR");
        data.close();
        c.reply("426 Transfer aborted");
        c.reply("226 ABOR done");
    });
    ManualClock clock;
    CallbackPump pump;
    pump.onPump = [&] { clock.advance(1000); };
    TFtpClient client(&pump, &clock);
    Events events;
    connectPassive(client, events, server, [&] { client.TimeOut = 0; });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(errorOf([&] { client.List(); }), "Socket readln aborted");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
    EXPECT_EQ(events.failures, (std::vector<TCmdType>{cmdList}));
}

} // namespace
} // namespace qorvi
