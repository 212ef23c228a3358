#include "net/download_target.h"
#include "net/ftp_exception.h"
#include "tests/net/ftp_test_server.h"
#include "tests/support/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {
namespace {

using test::readFile;

namespace fs = std::filesystem;

void put(DownloadTarget& target, const std::string& text) {
    ASSERT_EQ(::write(target.fd(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

TEST(DownloadTarget, NothingAppearsUntilCommitAndNothingStaysAfterDiscard) {
    test::TempDir dir;
    {
        DownloadTarget target(dir.file("new.txt"));
        put(target, "abandoned");
        EXPECT_FALSE(fs::exists(dir.file("new.txt")));
    }
    EXPECT_TRUE(fs::is_empty(dir.path()));
    DownloadTarget target(dir.file("new.txt"));
    put(target, "arrived");
    target.commit();
    EXPECT_EQ(readFile(dir.file("new.txt")), "arrived");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(DownloadTarget, ReplacedFileKeepsItsMode) {
    test::TempDir dir;
    std::ofstream(dir.file("old.txt")) << "old";
    ::chmod(dir.file("old.txt").c_str(), 0640);
    DownloadTarget target(dir.file("old.txt"));
    put(target, "new");
    target.commit();
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("old.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(readFile(dir.file("old.txt")), "new");
}

TEST(DownloadTarget, SymbolicLinkStaysALinkAndItsTargetIsWritten) {
    test::TempDir dir;
    std::ofstream(dir.file("real.txt")) << "old";
    fs::create_symlink("real.txt", dir.file("link.txt"));
    DownloadTarget target(dir.file("link.txt"));
    put(target, "through the link");
    target.commit();
    EXPECT_TRUE(fs::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(readFile(dir.file("real.txt")), "through the link");
}

TEST(DownloadTarget, HardLinkedFileIsRewrittenInPlace) {
    test::TempDir dir;
    std::ofstream(dir.file("a.txt")) << "old contents";
    fs::create_hard_link(dir.file("a.txt"), dir.file("b.txt"));
    DownloadTarget target(dir.file("a.txt"));
    put(target, "shared");
    target.commit();
    EXPECT_EQ(readFile(dir.file("b.txt")), "shared");
    EXPECT_EQ(fs::hard_link_count(dir.file("a.txt")), 2u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2);
}

TEST(DownloadTarget, DirectoryOrMissingFolderIsRefused) {
    test::TempDir dir;
    EXPECT_THROW(DownloadTarget target(dir.path()), FTPException);
    EXPECT_THROW(DownloadTarget target(dir.file("missing/x.txt")), FTPException);
}

} // namespace
} // namespace qorvi
