#include "platform/safe_file_writer.h"
#include "platform/write_signals.h"
#include "tests/support/child_process.h"

#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
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

TEST_F(SafeFileWriterTest, AKillDuringTheInPlaceRewriteLeavesABackupThatPutsBothLinksBack) {
    const std::string original(100 * 1024, 'o');
    write(target, original);
    const std::string other = dir + "/other.txt";
    ASSERT_EQ(::link(target.c_str(), other.c_str()), 0);
    // The child dies part way through rewriting the file: past the size
    // limit with SIGXFSZ left at its default, as abruptly as by SIGKILL.
    auto child = test::runInChild([&] {
        SafeFileWriter w(target);
        const std::string text(2 * 1024 * 1024, 'n');
        if (w.write(text.data(), text.size()) != text.size())
            return 1;
        rlimit limit{1024 * 1024, 1024 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        w.commit();
        return 2;
    });
    ASSERT_EQ(child.signal, SIGXFSZ);
    EXPECT_NE(read(other), original) << "the rewrite was cut off";
    // The original is on disk under a name the user sees beside the file.
    const std::string backup = target + ".qorvi-backup";
    EXPECT_EQ(read(backup), original);
    ASSERT_EQ(SafeFileWriter::interruptedSaveBackup(target), backup);
    {
        SafeFileWriter again(target);
        again.write("later", 5);
        EXPECT_THROW(again.commit(), SafeFileError) << "a later save must not overwrite the backup";
    }
    EXPECT_EQ(read(backup), original);
    SafeFileWriter::restoreInterruptedSave(target);
    EXPECT_EQ(read(target), original);
    EXPECT_EQ(read(other), original);
    EXPECT_FALSE(SafeFileWriter::interruptedSaveBackup(target));
    EXPECT_EQ(entries(), 2) << "no backup and no temp file stay";
}

TEST_F(SafeFileWriterTest, AFileSizeLimitIsAnOrdinaryWriteError) {
    write(target, "old");
    auto child = test::runInChild([&] {
        ignoreWriteSignals();
        rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SafeFileWriter w(target);
        const std::string text(64 * 1024, 'x');
        if (w.write(text.data(), text.size()) == text.size())
            return 1;
        try {
            w.commit();
            return 2;
        } catch (const SafeFileError&) {
            return 0;
        }
    });
    EXPECT_TRUE(child.exited) << "killed by signal " << child.signal;
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_EQ(read(target), "old");
}

TEST_F(SafeFileWriterTest, TempFilesOfAKilledSaveGoWithTheNextSaveButALiveOneStays) {
    write(target, "old");
    auto child = test::runInChild([&] {
        SafeFileWriter w(target);
        const std::string text(256 * 1024, 'x');
        w.write(text.data(), text.size());
        ::raise(SIGKILL);
        return 0;
    });
    ASSERT_EQ(child.signal, SIGKILL);
    ASSERT_EQ(entries(), 2) << "the killed save left its temp file";
    SafeFileWriter live(target);
    live.write("live", 4);
    {
        SafeFileWriter w(target);
        w.write("new", 3);
        w.commit();
    }
    EXPECT_EQ(read(target), "new");
    EXPECT_EQ(entries(), 2) << "only the live writer's temp file is left";
    live.commit();
    EXPECT_EQ(read(target), "live");
    EXPECT_EQ(entries(), 1);
}

TEST_F(SafeFileWriterTest, NamesUpToTheLongestAllowedAreSavedPlainOrHardLinked) {
    for (std::size_t length : {200u, 242u, 250u, 255u}) {
        const std::string name = dir + "/" + std::string(length - 4, 'n') + ".txt";
        write(name, "old");
        {
            SafeFileWriter w(name);
            w.write("new", 3);
            EXPECT_NO_THROW(w.commit()) << length;
        }
        EXPECT_EQ(read(name), "new") << length;
        const std::string link = dir + "/link";
        ASSERT_EQ(::link(name.c_str(), link.c_str()), 0);
        {
            SafeFileWriter w(name);
            w.write("newer", 5);
            EXPECT_NO_THROW(w.commit()) << length;
        }
        EXPECT_EQ(read(link), "newer") << length;
        ::unlink(link.c_str());
        ::unlink(name.c_str());
        EXPECT_EQ(entries(), 0) << length;
    }
}

TEST_F(SafeFileWriterTest, ALoopOfLinksIsReportedAndLeftAsItIs) {
    const std::string other = dir + "/other.txt";
    ASSERT_EQ(::symlink("other.txt", target.c_str()), 0);
    ASSERT_EQ(::symlink("file.txt", other.c_str()), 0);
    try {
        SafeFileWriter w(target);
        w.write("new", 3);
        w.commit();
        ADD_FAILURE() << "a loop of links was written";
    } catch (const SafeFileError& e) {
        EXPECT_NE(std::string(e.what()).find("loop"), std::string::npos) << e.what();
    }
    struct stat st {};
    ASSERT_EQ(::lstat(target.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(entries(), 2);
}

} // namespace
} // namespace qorvi
