#include "platform/file_system.h"

#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

using namespace qorvi;

TEST(FileSystem, PathPiecesFollowTheLastSlashAndDot) {
    EXPECT_EQ(fs::directoryPart("/a/b/c.txt"), "/a/b");
    EXPECT_EQ(fs::directoryPart("/c.txt"), "/");
    EXPECT_EQ(fs::directoryPart("c.txt"), "");
    EXPECT_EQ(fs::fileNamePart("/a/b/c.txt"), "c.txt");
    EXPECT_EQ(fs::extensionOf("/a/b.d/c.tar.gz"), "gz");
    EXPECT_EQ(fs::extensionOf("/home/u/.profile"), "profile");
    EXPECT_EQ(fs::extensionOf("/a.b/Makefile"), "");
    EXPECT_EQ(fs::joinPath("/", "x"), "/x");
    EXPECT_EQ(fs::joinPath("/a", "x"), "/a/x");
}

TEST(FileSystem, PatternsKnowOnlyStarAndQuestionMark) {
    EXPECT_TRUE(fs::matchesPattern("Makefile", "*.*"));
    EXPECT_TRUE(fs::matchesPattern(".hidden", "*"));
    EXPECT_TRUE(fs::matchesPattern("a.cpp", "*.cpp"));
    EXPECT_FALSE(fs::matchesPattern("a.CPP", "*.cpp")) << "case-sensitive";
    EXPECT_TRUE(fs::matchesPattern("ab.c", "a?.c"));
    EXPECT_FALSE(fs::matchesPattern("abc.c", "a?.c"));
    EXPECT_TRUE(fs::matchesPattern("[1]", "[1]"));
    EXPECT_FALSE(fs::matchesPattern("1", "[1]"));
    EXPECT_TRUE(fs::matchesPattern("a*b", "a\\*b") == false);
    EXPECT_TRUE(fs::matchesPattern("xaaab", "*a*b"));
    EXPECT_TRUE(fs::matchesPattern(std::string(200, 'a'), std::string(30, '*') + "b") == false);
}

TEST(FileSystem, ListingIsSortedAndMarksDirectoriesHiddenAndReadOnly) {
    test::TempDir dir;
    std::ofstream(dir.file("b.txt")) << "x";
    std::ofstream(dir.file("a.txt")) << "x";
    std::ofstream(dir.file(".h")) << "x";
    ::mkdir(dir.file("d").c_str(), 0700);
    ::chmod(dir.file("b.txt").c_str(), 0444);
    auto entries = fs::listDirectory(dir.path());
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].name, ".h");
    EXPECT_TRUE(entries[0].hidden);
    EXPECT_EQ(entries[1].name, "a.txt");
    EXPECT_FALSE(entries[1].readOnly);
    EXPECT_TRUE(entries[2].readOnly) << "read-only by the mode, even for root";
    EXPECT_TRUE(entries[3].directory);
    EXPECT_EQ(fs::listDirectory(dir.path(), "*.txt").size(), 2u);
    EXPECT_THROW(fs::listDirectory(dir.file("none")), std::exception);
}

TEST(FileSystem, ProgramAndConfigDirectoriesFollowXdgVariables) {
    test::TempDir dir;
    test::ScopedEnv data("XDG_DATA_HOME", dir.file("data"));
    test::ScopedEnv config("XDG_CONFIG_HOME", dir.file("config"));
    EXPECT_EQ(fs::programDirectory(), dir.file("data/qorvi"));
    EXPECT_TRUE(fs::isDirectory(dir.file("data/qorvi")));
    EXPECT_EQ(fs::configDirectory(), dir.file("config/qorvi"));
    test::ScopedEnv home("HOME", dir.path());
    test::ScopedEnv noData("XDG_DATA_HOME", "");
    EXPECT_EQ(fs::programDirectory(), dir.file(".local/share/qorvi"));
}

TEST(FileSystem, RootsAreSlashThenHomeAndTheLongestPrefixWins) {
    test::ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(fs::fileSystemRoots(), (std::vector<std::string>{"/", "/home/someone"}));
    EXPECT_EQ(fs::rootOf("/home/someone/src"), "/home/someone");
    EXPECT_EQ(fs::rootOf("/home/someoneelse"), "/");
    EXPECT_EQ(fs::rootOf("/etc"), "/");
}

TEST(FileSystem, TempFilesArePrivate) {
    test::TempDir dir;
    std::string path = fs::makeTempFile("qv", dir.path());
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(fs::fileNamePart(path).rfind("qv", 0), 0u);
}
