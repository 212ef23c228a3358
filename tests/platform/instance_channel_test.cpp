#include "platform/handover_block.h"
#include "platform/instance_channel.h"

#include "tests/support/temp_dir.h"
#include "tests/support/scoped_env.h"

#include <gtest/gtest.h>
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
