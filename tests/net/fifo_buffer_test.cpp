#include "net/fifo_buffer.h"
#include "net/sock_errors.h"
#include "tests/net/ftp_test_server.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

std::string pattern(std::size_t n, unsigned seed = 7) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 31 + seed + i / 977) % 26);
    return s;
}

TEST(FifoBuffer, DefaultMemoryPartIsWholeKibAndAtLeast64Kib) {
    TFifoBuffer buffer;
    EXPECT_GE(buffer.MemoryCapacity(), 65536u);
    EXPECT_EQ(buffer.MemoryCapacity() % 1024, 0u);
}

TEST(FifoBuffer, BytesComeOutInTheOrderTheyWentIn) {
    TFifoBuffer buffer(65536);
    buffer.Append("hello ", 6);
    buffer.Append("world", 5);
    EXPECT_EQ(buffer.Count(), 11u);
    char first[6];
    buffer.Peek(first, 5);
    EXPECT_EQ(std::string(first, 5), "hello");
    EXPECT_EQ(buffer.Count(), 11u);
    EXPECT_EQ(buffer.RemoveString(6), "hello ");
    EXPECT_EQ(buffer.RemoveString(5), "world");
    EXPECT_EQ(buffer.Count(), 0u);
}

TEST(FifoBuffer, ReadingMoreThanBufferedIsRefused) {
    TFifoBuffer buffer(65536);
    buffer.Append("abc", 3);
    char out[4];
    try {
        buffer.Remove(out, 4);
        FAIL() << "no exception";
    } catch (const ESockError& e) {
        EXPECT_EQ(e.message(), "Can't read the source buffer");
    }
    EXPECT_EQ(buffer.Count(), 3u);
}

TEST(FifoBuffer, SearchGivesOneBasedPositionPastTheMatch) {
    TFifoBuffer buffer(65536);
    buffer.Append("220 ready\r\nrest", 15);
    EXPECT_EQ(buffer.Search("\r\n"), 11u);
    EXPECT_EQ(buffer.Search("220"), 3u);
    EXPECT_EQ(buffer.Search("missing"), 0u);
    EXPECT_EQ(buffer.Search(""), 0u);
}

class FifoSpill : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("TMPDIR");
        oldTmp_ = old ? old : "";
        ::setenv("TMPDIR", dir_.path().c_str(), 1);
    }
    void TearDown() override {
        if (oldTmp_.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", oldTmp_.c_str(), 1);
    }
    bool tempDirEmpty() const { return std::filesystem::is_empty(dir_.path()); }

    test::TempDir dir_;
    std::string oldTmp_;
};

TEST_F(FifoSpill, DataBeyondTheMemoryPartSpillsAndReturnsIntact) {
    TFifoBuffer buffer(65536);
    const std::string data = pattern(1000000);
    for (std::size_t i = 0; i < data.size(); i += 10007)
        buffer.Append(data.data() + i, std::min<std::size_t>(10007, data.size() - i));
    EXPECT_TRUE(buffer.spilled());
    EXPECT_EQ(buffer.Count(), data.size());
    std::string out;
    while (buffer.Count() > 0)
        out += buffer.RemoveString(std::min<std::size_t>(buffer.Count(), 4099));
    EXPECT_EQ(out, data);
    EXPECT_FALSE(buffer.spilled());
}

TEST_F(FifoSpill, SpillFileNeverAppearsInTheTempDirectory) {
    TFifoBuffer buffer(65536);
    const std::string data = pattern(300000);
    buffer.Append(data.data(), data.size());
    ASSERT_TRUE(buffer.spilled());
    EXPECT_TRUE(tempDirEmpty());
}

TEST_F(FifoSpill, SearchAndFindByteSeeAcrossMemoryAndFile) {
    TFifoBuffer buffer(65536);
    std::string data(65536 + 5000, 'x');
    data.replace(65534, 4, "\nEND");
    buffer.Append(data.data(), data.size());
    ASSERT_TRUE(buffer.spilled());
    EXPECT_EQ(buffer.Search("\nEND"), 65534u + 4);
    EXPECT_EQ(buffer.findByte('\n', 70000), 65534u);
    EXPECT_EQ(buffer.findByte('\n', 1000), std::string::npos);
    std::string tail(200000, 'y');
    tail += "needle";
    buffer.Append(tail.data(), tail.size());
    EXPECT_EQ(buffer.Search("needle"), data.size() + tail.size());
}

TEST_F(FifoSpill, PeekReadsAcrossTheSpillWithoutRemoving) {
    TFifoBuffer buffer(65536);
    const std::string data = pattern(150000, 3);
    buffer.Append(data.data(), data.size());
    std::string peeked(data.size(), '\0');
    buffer.Peek(peeked.data(), peeked.size());
    EXPECT_EQ(peeked, data);
    EXPECT_EQ(buffer.Count(), data.size());
}

TEST_F(FifoSpill, ClearEmptiesBothParts) {
    TFifoBuffer buffer(65536);
    const std::string data = pattern(200000);
    buffer.Append(data.data(), data.size());
    buffer.Clear();
    EXPECT_EQ(buffer.Count(), 0u);
    buffer.Append("ok", 2);
    EXPECT_EQ(buffer.RemoveString(2), "ok");
}

TEST(FifoBuffer, MemoryCapacityCannotDropBelowWhatMemoryHolds) {
    TFifoBuffer buffer(100000);
    const std::string data = pattern(80000);
    buffer.Append(data.data(), data.size());
    try {
        buffer.SetMemoryCapacity(70000);
        FAIL() << "no exception";
    } catch (const ESockError& e) {
        EXPECT_EQ(e.message(), "Can not lower memory capacity at this time");
    }
    buffer.SetMemoryCapacity(90000);
    EXPECT_EQ(buffer.MemoryCapacity(), 90000u);
    EXPECT_EQ(buffer.RemoveString(data.size()), data);
}

} // namespace
} // namespace qorvi
