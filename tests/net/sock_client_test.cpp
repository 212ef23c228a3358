#include "net/sock_client.h"
#include "net/sock_errors.h"
#include "tests/net/callback_pump.h"
#include "tests/net/fake_ftp_server.h"
#include "tests/net/ftp_test_server.h"
#include "tests/support/error_of.h"
#include "tests/support/file_bytes.h"

#include <arpa/inet.h>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace qorvi {
namespace {

using test::readFile;
using test::errorOf;

using test::CallbackPump;
using test::FakeConnection;
using test::FakeFtpServer;

int closedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    ::close(fd);
    return ntohs(a.sin_port);
}

int connectFrom(const char* from, int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, from, &local.sin_addr);
    ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, "127.0.0.1", &remote.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(SockClientLines, ReadLnKeepsTheLineBreak) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) {
        c.send("220 ready\r\nsecond\n");
        c.readLine();
    });
    TSockClient client;
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    EXPECT_EQ(client.ReadLn(), "220 ready\r\n");
    EXPECT_EQ(client.ReadLn(), "second\n");
}

TEST(SockClientLines, ReadLnWithoutALineTimesOutAsAborted) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) {
        c.send("no line feed");
        c.readLine();
    });
    TSockClient client;
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 200;
    client.Connect();
    EXPECT_EQ(errorOf([&] { client.ReadLn(); }), "Socket readln aborted");
    EXPECT_TRUE(client.TimedOut());
    EXPECT_TRUE(client.Cancelled());
}

TEST(SockClientLines, EndlessLineIsRefusedWithoutGrowingTheBuffer) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) {
        std::string block(65536, 'A');
        for (int i = 0; i < 64; ++i)
            c.send(block);
    });
    TSockClient client;
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    EXPECT_EQ(errorOf([&] { client.ReadLn(); }), "Received line too long");
    EXPECT_LE(client.bufferedCount(), 2 * TSockClient::kMaxLineLength);
    client.Disconnect();
}

TEST(SockClientLines, PeerCloseEndsReadLnWithTheRestThenEmpty) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.send("last words"); });
    TSockClient client;
    int disconnects = 0;
    client.OnDisconnect = [&](TSockClient&) { ++disconnects; };
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    EXPECT_EQ(client.ReadLn(), "last words");
    EXPECT_EQ(client.ReadLn(), "");
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(disconnects, 1);
}

TEST(SockClientConnect, ConnectWhileConnectedIsRefused) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.readLine(); });
    TSockClient client;
    int connects = 0;
    client.OnConnect = [&](TSockClient&) { ++connects; };
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.Connect();
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(errorOf([&] { client.Connect(); }), "Already connected");
}

TEST(SockClientConnect, RefusedConnectionFailsAfterItsEvent) {
    TSockClient client;
    int failures = 0;
    client.OnConnectionFailed = [&](TSockClient&) { ++failures; };
    client.Host = "127.0.0.1";
    client.Port = closedPort();
    EXPECT_EQ(errorOf([&] { client.Connect(); }), "Connection Failed");
    EXPECT_EQ(failures, 1);
    EXPECT_FALSE(client.Connected());
}

TEST(SockClientConnect, NamesAreLookedUp) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.reply("220 hi"); });
    TSockClient client;
    int resolved = 0;
    client.OnHostResolved = [&](TSockClient&) { ++resolved; };
    client.Host = "localhost";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    EXPECT_EQ(client.ReadLn(), "220 hi\r\n");
    EXPECT_EQ(resolved, 1);
}

TEST(SockClientConnect, InvalidHostHandlerMaySupplyAnotherHostOnce) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.reply("220 hi"); });
    TSockClient client;
    int asked = 0;
    client.OnInvalidHost = [&](TSockClient& sender, bool& handled) {
        ++asked;
        sender.Host = "127.0.0.1";
        handled = true;
    };
    client.Host = "no-such-host.invalid";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(client.ReadLn(), "220 hi\r\n");
}

TEST(SockClientConnect, UnresolvableHostWithoutHandlerIsANullAddress) {
    TSockClient client;
    client.Host = "no-such-host.invalid";
    client.Port = 21;
    client.TimeOut = 5000;
    EXPECT_EQ(errorOf([&] { client.Connect(); }), "Null Remote Address");
}

TEST(SockClientConnect, ProxyIsConnectedInsteadOfTheHost) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.reply("220 proxy"); });
    TSockClient client;
    client.Host = "no-such-host.invalid";
    client.Port = 1;
    client.Proxy = "127.0.0.1";
    client.ProxyPort = server.port();
    client.TimeOut = 5000;
    client.Connect();
    EXPECT_EQ(client.ReadLn(), "220 proxy\r\n");
}

TEST(SockClientConnect, CertifyConnectAsksForAConnectionOnce) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.readLine(); });
    TSockClient client;
    EXPECT_EQ(errorOf([&] { client.CertifyConnect(); }), "Not Connected");
    int asked = 0;
    client.OnConnectionRequired = [&](TSockClient& sender, bool& handled) {
        ++asked;
        sender.Host = "127.0.0.1";
        sender.Port = server.port();
        sender.Connect();
        handled = true;
    };
    client.CertifyConnect();
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(client.Connected());
}

TEST(SockClientCancel, CancelFromTheEventLoopEndsTheWait) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.readLine(); });
    CallbackPump pump;
    TSockClient client(&pump);
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 0;
    client.Connect();
    pump.onPump = [&] {
        if (pump.calls == 3)
            client.Cancel();
    };
    EXPECT_EQ(errorOf([&] { client.ReadLn(); }), "Socket readln aborted");
    EXPECT_FALSE(client.TimedOut());
    EXPECT_GE(pump.calls, 3);
}

TEST(SockClientCancel, TimeOutIsMeasuredOnTheInjectedClock) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.readLine(); });
    ManualClock clock;
    CallbackPump pump;
    pump.onPump = [&] { clock.advance(1000); };
    TSockClient client(&pump, &clock);
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 30000;
    client.Connect();
    EXPECT_EQ(errorOf([&] { client.Read(10); }), "Socket send aborted");
    EXPECT_TRUE(client.TimedOut());
    EXPECT_GE(pump.calls, 29);
    EXPECT_LE(pump.calls, 32);
}

TEST(SockClientListen, AcceptTakesOnlyTheAllowedPeer) {
    TSockClient listener;
    listener.Port = 0;
    listener.TimeOut = 5000;
    listener.Listen(false, "127.0.0.1");
    EXPECT_EQ(listener.GetLocalAddress(), "127,0,0,1");
    int port = listener.localPort();
    ASSERT_GT(port, 0);
    EXPECT_EQ(listener.GetPortString(), "," + std::to_string(port >> 8) + "," + std::to_string(port & 0xFF));
    listener.setAcceptFrom("127.0.0.1");
    int intruder = connectFrom("127.0.0.2", port);
    int friendly = connectFrom("127.0.0.1", port);
    ASSERT_GE(intruder, 0);
    ASSERT_GE(friendly, 0);
    listener.Accept();
    EXPECT_TRUE(listener.Connected());
    EXPECT_EQ(listener.peerAddress(), "127.0.0.1");
    char byte;
    EXPECT_LE(::recv(intruder, &byte, 1, 0), 0);
    listener.Writeln("hello");
    char line[7] = {};
    EXPECT_EQ(::recv(friendly, line, 7, MSG_WAITALL), 7);
    EXPECT_EQ(std::string(line, 7), "hello\r\n");
    ::close(intruder);
    ::close(friendly);
}

TEST(SockClientListen, AcceptCanBeCancelled) {
    CallbackPump pump;
    TSockClient listener(&pump);
    pump.onPump = [&] { listener.Cancel(); };
    listener.Listen(false, "127.0.0.1");
    EXPECT_EQ(errorOf([&] { listener.Accept(); }), "Accepting Canceled");
}

TEST(SockClientFiles, CaptureFileWritesEverythingUntilTheClose) {
    std::string data(300000, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 7 + i / 251);
    FakeFtpServer server([&](FakeFtpServer&, FakeConnection& c) { c.send(data); });
    test::TempDir dir;
    TSockClient client;
    int packets = 0;
    client.OnPacketRecvd = [&](TSockClient&) { ++packets; };
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    client.CaptureFile(dir.file("out.bin"));
    EXPECT_EQ(readFile(dir.file("out.bin")), data);
    EXPECT_EQ(client.GetBytesRcvd(), data.size());
    EXPECT_GE(packets, 1);
}

TEST(SockClientFiles, SendFileDeliversTheWholeFile) {
    test::TempDir dir;
    std::string data(200000, 'z');
    data[12345] = 'q';
    std::ofstream(dir.file("in.bin"), std::ios::binary) << data;
    std::string received;
    FakeFtpServer server([&](FakeFtpServer&, FakeConnection& c) { received = c.readAll(); });
    TSockClient client;
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.TimeOut = 5000;
    client.Connect();
    client.SendFile(dir.file("in.bin"));
    EXPECT_EQ(client.GetBytesSent(), data.size());
    client.Disconnect();
    server.finish();
    EXPECT_EQ(received, data);
}

TEST(SockClientStatus, MessagesAboveTheReportLevelAreNotReported) {
    FakeFtpServer server([](FakeFtpServer&, FakeConnection& c) { c.readLine(); });
    TSockClient client;
    std::vector<std::string> statuses;
    client.OnStatus = [&](TSockClient&, const std::string& s) { statuses.push_back(s); };
    client.Host = "127.0.0.1";
    client.Port = server.port();
    client.Connect();
    client.Disconnect();
    EXPECT_TRUE(statuses.empty());
    client.ReportLevel = 4;
    client.Disconnect();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Disconnecting");
    EXPECT_EQ(client.Status(), statuses.back());
}

} // namespace
} // namespace qorvi
