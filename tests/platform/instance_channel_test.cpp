#include "platform/handover_block.h"
#include "platform/instance_channel.h"
#include "tests/support/child_process.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace qorvi;

namespace {
// Each test gets its own runtime directory and display, so its socket and
// block are its own.
struct IsolatedInstance {
    test::TempDir runtime;
    test::ScopedEnv xdg{"XDG_RUNTIME_DIR", runtime.path()};
    test::ScopedEnv wayland{"WAYLAND_DISPLAY", ""};
    test::ScopedEnv display{"DISPLAY", ":test-" + std::to_string(::getpid()) + "-" + runtime.path()};
};
} // namespace

TEST(HandoverBlock, SenderZeroesTheBlockAndTheReceiverReadsUpToTheZero) {
    IsolatedInstance env;
    auto owner = HandoverBlock::create();
    ASSERT_TRUE(owner);
    auto sender = HandoverBlock::open();
    ASSERT_TRUE(sender);
    sender->write("/w/a-long-name.txt\n/w/b.txt\n");
    sender->write("/w/c.txt\n");
    EXPECT_EQ(owner->read(), "/w/c.txt\n") << "the second write must not leave the first one's tail";
    EXPECT_EQ(HandoverBlock::open()->read(), "/w/c.txt\n");
}

TEST(HandoverBlock, AnOverlongTextKeepsTheTerminatingZero) {
    IsolatedInstance env;
    auto owner = HandoverBlock::create();
    ASSERT_TRUE(owner);
    owner->write(std::string(5000, 'x'));
    EXPECT_EQ(owner->read().size(), HandoverBlock::kSize - 1);
}

TEST(HandoverBlock, IsPrivateToTheUserAndGoneWithItsOwner) {
    IsolatedInstance env;
    {
        auto owner = HandoverBlock::create();
        ASSERT_TRUE(owner);
        struct stat st;
        ASSERT_EQ(::stat(("/dev/shm" + HandoverBlock::objectName()).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
    EXPECT_FALSE(HandoverBlock::open()) << "a sender finds no block once the instance is gone";
}

TEST(InstanceChannel, SecondStartFindsTheRunningInstanceAndPostsRecords) {
    IsolatedInstance env;
    EXPECT_EQ(InstanceChannel::findRunning().result, InstanceChannel::Lookup::Result::NoInstance);
    InstanceChannel running;
    ASSERT_EQ(running.listen(), InstanceChannel::ListenResult::Listening);
    {
        auto lookup = InstanceChannel::findRunning();
        ASSERT_EQ(lookup.result, InstanceChannel::Lookup::Result::Found);
        EXPECT_TRUE(lookup.connection->post(WM_USER + 200, 0, 0));
        EXPECT_TRUE(lookup.connection->post(WM_SYSCOMMAND, SC_RESTORE, 0));
    }
    std::vector<PostedMessage> got;
    std::vector<int> clients;
    for (int tries = 0; tries < 100 && got.size() < 2; ++tries) {
        for (int fd : running.acceptPending().clients)
            clients.push_back(fd);
        for (int fd : clients)
            running.readClient(fd, [&](const PostedMessage& m) { got.push_back(m); });
        if (got.size() < 2)
            ::usleep(10000);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], (PostedMessage{1224, 0, 0}));
    EXPECT_EQ(got[1], (PostedMessage{WM_SYSCOMMAND, SC_RESTORE, 0}));
}

TEST(InstanceChannel, ALiveSocketIsNeverTakenOverButAStaleOneIs) {
    IsolatedInstance env;
    {
        InstanceChannel first;
        ASSERT_EQ(first.listen(), InstanceChannel::ListenResult::Listening);
        InstanceChannel second;
        EXPECT_EQ(second.listen(), InstanceChannel::ListenResult::InUse);
    }
    // A socket file left behind by a crashed instance.
    auto path = InstanceChannel::socketPath();
    ASSERT_TRUE(path);
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path->c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    InstanceChannel third;
    EXPECT_EQ(third.listen(), InstanceChannel::ListenResult::Listening);
}

TEST(InstanceChannel, SocketDirectoryIsPrivateAndFallsBackWhenTheRuntimeDirIsUnusable) {
    IsolatedInstance env;
    auto dir = InstanceChannel::socketDirectory();
    ASSERT_TRUE(dir);
    struct stat st;
    ASSERT_EQ(::stat(dir->c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(dir->rfind(env.runtime.path(), 0), 0u);

    test::ScopedEnv longRuntime("XDG_RUNTIME_DIR", "/" + std::string(200, 'r'));
    EXPECT_EQ(*InstanceChannel::socketDirectory(), "/tmp/qorvi-" + std::to_string(::getuid()));
}

TEST(InstanceChannel, RecordsSplitAcrossReadsAreReassembled) {
    PostedMessageReader reader;
    std::string bytes = encodePostedMessage({1224, 7, -3}) + encodePostedMessage({5, 0, 9});
    reader.feed(bytes.data(), 10);
    EXPECT_FALSE(reader.next());
    reader.feed(bytes.data() + 10, bytes.size() - 10);
    EXPECT_EQ(*reader.next(), (PostedMessage{1224, 7, -3}));
    EXPECT_EQ(*reader.next(), (PostedMessage{5, 0, 9}));
    EXPECT_FALSE(reader.next());
}

namespace {

// A socket at the instance's path that nobody ever accepts on, as a stopped
// or hung instance holds it; `backlog` connections fit into its queue.
int deafInstance(int backlog) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", InstanceChannel::socketPath()->c_str());
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, backlog) != 0)
        return -1;
    return fd;
}

long elapsedMs(std::chrono::steady_clock::time_point since) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since)
            .count());
}

} // namespace

TEST(InstanceChannel, AnInstanceThatTakesNothingIsReportedWithinTheTimeOut) {
    IsolatedInstance env;
    const int deaf = deafInstance(0);
    ASSERT_GE(deaf, 0);
    // Running for a minute already: not one that may still be starting.
    const timespec aMinuteAgo[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, InstanceChannel::socketPath()->c_str(), aMinuteAgo, 0), 0);
    auto child = test::runInChild(
        [] {
            // Fill the queue first: then a connect waits for a place, as the
            // start after the queue's length did.
            std::vector<InstanceChannel::Lookup> queued;
            for (int i = 0; i < 64; ++i) {
                auto start = std::chrono::steady_clock::now();
                auto lookup = InstanceChannel::findRunning();
                if (lookup.result == InstanceChannel::Lookup::Result::NotAnswering)
                    return elapsedMs(start) <= InstanceConnection::kTimeoutMs + 1000 ? 0 : 1;
                if (lookup.result != InstanceChannel::Lookup::Result::Found)
                    return 2;
                // Queued but never read: the names are not answered.
                start = std::chrono::steady_clock::now();
                if (lookup.connection->send({WM_USER + 210, 0, 0, std::string("/w/a.txt\0", 9)}))
                    return 3;
                if (elapsedMs(start) > InstanceConnection::kAnswerTimeoutMs + 1000)
                    return 4;
                queued.push_back(std::move(lookup));
            }
            return 5;
        },
        60);
    ::close(deaf);
    EXPECT_TRUE(child.finished) << "a start hung on an instance that takes nothing";
    EXPECT_EQ(child.exitCode, 0);
}

namespace {

int connectTo(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

TEST(InstanceChannel, KeepsABoundedNumberOfConnectionsAndDropsSilentOnes) {
    IsolatedInstance env;
    ManualClock clock;
    InstanceChannel running(clock);
    ASSERT_EQ(running.listen(), InstanceChannel::ListenResult::Listening);
    std::vector<int> peers;
    for (std::size_t i = 0; i < InstanceChannel::kMaxClients + 8; ++i) {
        peers.push_back(connectTo(*InstanceChannel::socketPath()));
        ASSERT_GE(peers.back(), 0);
        clock.advance(1);
        if (i % 4 == 0) // taken in several rounds, as the event loop would
            running.acceptPending();
    }
    EXPECT_TRUE(running.acceptPending().full) << "more are waiting";
    EXPECT_EQ(running.clientCount(), InstanceChannel::kMaxClients);
    // The quietest makes room for the next in the queue.
    running.closeClient(running.clientToMakeRoom());
    const std::vector<int> next = running.acceptPending().clients;
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(running.clientCount(), InstanceChannel::kMaxClients);

    clock.advance(InstanceChannel::kIdleTimeoutMs);
    EXPECT_EQ(running.idleClients().size(), InstanceChannel::kMaxClients) << "all have been silent";
    const std::string restore = encodePostedMessage({WM_SYSCOMMAND, SC_RESTORE, 0});
    ASSERT_EQ(::send(peers[InstanceChannel::kMaxClients], restore.data(), restore.size(), 0),
              static_cast<ssize_t>(restore.size()));
    std::vector<PostedMessage> got;
    EXPECT_TRUE(running.readClient(next[0], [&](const PostedMessage& m) { got.push_back(m); }));
    EXPECT_EQ(got, std::vector<PostedMessage>{PostedMessage(WM_SYSCOMMAND, SC_RESTORE, 0)});
    const std::vector<int> idle = running.idleClients();
    EXPECT_EQ(idle.size(), InstanceChannel::kMaxClients - 1);
    EXPECT_EQ(std::count(idle.begin(), idle.end(), next[0]), 0) << "a client that speaks is not idle";
    for (int fd : peers)
        ::close(fd);
}

TEST(InstanceChannel, WithoutAFreeDescriptorTakingConnectionsBacksOff) {
    IsolatedInstance env;
    auto child = test::runInChild([] {
        InstanceChannel running;
        if (running.listen() != InstanceChannel::ListenResult::Listening)
            return 1;
        int peer = connectTo(*InstanceChannel::socketPath());
        if (peer < 0)
            return 2;
        // No descriptor left for the connection that waits.
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        rlimit limit{static_cast<rlim_t>(lowestFree), static_cast<rlim_t>(lowestFree)};
        ::setrlimit(RLIMIT_NOFILE, &limit);
        InstanceChannel::Accepted accepted = running.acceptPending();
        return accepted.backOff && accepted.clients.empty() ? 0 : 3;
    });
    EXPECT_EQ(child.exitCode, 0);
}

TEST(HandoverBlock, IsScopedLikeTheInstanceSocket) {
    IsolatedInstance env;
    const std::string here = HandoverBlock::objectName();
    test::TempDir otherRuntime;
    test::ScopedEnv xdg("XDG_RUNTIME_DIR", otherRuntime.path());
    EXPECT_NE(HandoverBlock::objectName(), here)
        << "two instances on one display with different runtime directories share a block";
}
