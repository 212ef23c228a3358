#include "platform/safe_file_writer.h"

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {
namespace {

struct SafeFileWriterTest : ::testing::Test {
    void SetUp() override {
        dir = ::testing::TempDir() + "qorvi-sfw-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ::mkdir(dir.c_str(), 0700);
        target = dir + "/file.txt";
    }
    void TearDown() override {
        SafeFileWriter::failNext(SafeFileWriter::FailAt::Nothing);
        std::string cmd = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    int entries() const {
        int n = 0;
        DIR* d = ::opendir(dir.c_str());
        while (dirent* e = ::readdir(d))
            n += e->d_name[0] != '.' || (e->d_name[1] && e->d_name[1] != '.' && e->d_name[1] != '\0');
        ::closedir(d);
        return n;
    }
    std::string dir, target;
};

TEST_F(SafeFileWriterTest, CommitReplacesTheFileKeepingItsMode) {
    write(target, "old");
    ::chmod(target.c_str(), 0640);
    {
        SafeFileWriter w(target);
        EXPECT_EQ(w.write("new text", 8), 8u);
        EXPECT_EQ(read(target), "old"); // nothing replaced before commit
        w.commit();
    }
    EXPECT_EQ(read(target), "new text");
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(entries(), 1); // no temp file left
}

TEST_F(SafeFileWriterTest, WithoutCommitNothingChangesAndTheTempFileGoes) {
    write(target, "old");
    {
        SafeFileWriter w(target);
        w.write("partial", 7);
    }
    EXPECT_EQ(read(target), "old");
    EXPECT_EQ(entries(), 1);
}

TEST_F(SafeFileWriterTest, ShortWriteFailsTheCommit) {
    write(target, "old");
    SafeFileWriter::failNext(SafeFileWriter::FailAt::Write, 3);
    SafeFileWriter w(target);
    EXPECT_EQ(w.write("abcdef", 6), 3u);
    EXPECT_TRUE(w.failed());
    EXPECT_EQ(w.write("gh", 2), 0u);
    EXPECT_THROW(w.commit(), SafeFileError);
    EXPECT_EQ(read(target), "old");
}

TEST_F(SafeFileWriterTest, FailedSyncOrRenameLeavesTheOriginal) {
    write(target, "old");
    for (auto step : {SafeFileWriter::FailAt::Sync, SafeFileWriter::FailAt::Rename}) {
        {
            SafeFileWriter w(target);
            w.write("new", 3);
            SafeFileWriter::failNext(step);
            EXPECT_THROW(w.commit(), SafeFileError);
        }
        EXPECT_EQ(read(target), "old");
        EXPECT_EQ(entries(), 1);
    }
}

TEST_F(SafeFileWriterTest, SymlinkIsFollowedAndStaysALink) {
    std::string real = dir + "/real.txt";
    write(real, "old");
    ASSERT_EQ(::symlink("real.txt", target.c_str()), 0);
    SafeFileWriter w(target);
    EXPECT_EQ(w.targetPath(), real);
    w.write("new", 3);
    w.commit();
    struct stat st {};
    ::lstat(target.c_str(), &st);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(read(real), "new");
}

TEST_F(SafeFileWriterTest, HardLinkedFileIsRewrittenInPlace) {
    write(target, "old");
    std::string other = dir + "/other.txt";
    ASSERT_EQ(::link(target.c_str(), other.c_str()), 0);
    {
        SafeFileWriter w(target);
        w.write("new", 3);
        w.commit();
    }
    EXPECT_EQ(read(other), "new");
    EXPECT_EQ(entries(), 2);
    {
        SafeFileWriter w(target);
        w.write("newer", 5);
        SafeFileWriter::failNext(SafeFileWriter::FailAt::InPlaceWrite);
        EXPECT_THROW(w.commit(), SafeFileError);
    }
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(read(other), "new");
    EXPECT_EQ(entries(), 2);
}

TEST_F(SafeFileWriterTest, AFileInADirectoryThatRefusesTempFilesIsRewrittenInPlace) {
    write(target, "old bytes");
    struct stat before {};
    ::stat(target.c_str(), &before);
    // A directory the user may not write; root may write anywhere, so there
    // the refusal is injected.
    const bool root = ::geteuid() == 0;
    auto refuse = [&] {
        if (root)
            SafeFileWriter::failNext(SafeFileWriter::FailAt::CreateTemp);
        else
            ::chmod(dir.c_str(), 0500);
    };
    refuse();
    {
        SafeFileWriter w(target);
        EXPECT_TRUE(w.writesInPlace());
        w.write("new", 3);
        w.write(" text", 5);
        w.commit();
    }
    EXPECT_EQ(read(target), "new text");
    struct stat after {};
    ::stat(target.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(entries(), 1);
    // A rewrite that fails half way puts the old bytes back.
    refuse();
    {
        SafeFileWriter w(target);
        w.write("something much longer", 21);
        SafeFileWriter::failNext(SafeFileWriter::FailAt::InPlaceWrite);
        EXPECT_THROW(w.commit(), SafeFileError);
    }
    EXPECT_EQ(read(target), "new text");
    // A file that does not exist yet cannot be made there.
    refuse();
    EXPECT_THROW(SafeFileWriter{dir + "/fresh.txt"}, SafeFileError);
    ::chmod(dir.c_str(), 0700);
}

TEST_F(SafeFileWriterTest, ParentThatIsAFileCannotHoldTheTarget) {
    write(target, "x");
    EXPECT_THROW(SafeFileWriter{target + "/inside.txt"}, SafeFileError);
    EXPECT_THROW(SafeFileWriter{dir}, SafeFileError); // a directory is no file
}

TEST_F(SafeFileWriterTest, NewFileIsCreated) {
    std::string fresh = dir + "/fresh.txt";
    SafeFileWriter w(fresh);
    w.write("hello", 5);
    w.commit();
    EXPECT_EQ(read(fresh), "hello");
}

} // namespace
} // namespace qorvi
