#include "platform/file_system.h"
#include "platform/hive.h"
#include "platform/qorvi_error.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qorvi;

namespace {

using qorvi::test::readFile;
const std::string kKey = "SOFTWARE\\Varnu\\Qorvi";

} // namespace

TEST(Hive, ValuesRoundTripThroughTheFileInEveryType) {
    test::TempDir dir;
    std::string path = dir.path() + "/hkcu.reg";
    {
        Hive hive(path);
        hive.setValue(kKey, "ExtFilePath", HiveValue::string("/home/u/a \"b\" \\c.dat"));
        hive.setValue(kKey, "Key Assignments - C++", HiveValue::binary(std::string("Trelix6:\0\x01\xff", 11)));
        hive.setValue(kKey, "Port", HiveValue::number(0x1e));
        hive.setValue(kKey, "Lines", HiveValue::string("one\r\ntwo"));
        hive.setValue(kKey, "Accent", HiveValue::string("caf\xE9"));
    }
    Hive again(path);
    EXPECT_EQ(again.value(kKey, "ExtFilePath")->data, "/home/u/a \"b\" \\c.dat");
    EXPECT_EQ(again.value(kKey, "Key Assignments - C++")->type, HiveValue::Type::Binary);
    EXPECT_EQ(again.value(kKey, "Key Assignments - C++")->data, std::string("Trelix6:\0\x01\xff", 11));
    EXPECT_EQ(again.value(kKey, "Port")->dword, 0x1eu);
    EXPECT_EQ(again.value(kKey, "Lines")->data, "one\r\ntwo");
    EXPECT_EQ(again.value(kKey, "Accent")->data, "caf\xE9");
    EXPECT_EQ(readFile(path).rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(readFile(path).find("[HKEY_CURRENT_USER\\SOFTWARE\\Varnu\\Qorvi]"), std::string::npos);
    EXPECT_TRUE(again.takeWarning().empty());
}

TEST(Hive, NamesAreCaseInsensitiveButKeepTheirCase) {
    test::TempDir dir;
    Hive hive(dir.path() + "/hkcu.reg");
    hive.setValue("Software\\Varnu\\Qorvi", "ShowExplorer", HiveValue::string("1"));
    EXPECT_EQ(hive.value("SOFTWARE\\VARNU\\QORVI", "showexplorer")->data, "1");
    hive.setValue(kKey, "SHOWEXPLORER", HiveValue::string("0"));
    EXPECT_EQ(hive.valueNames(kKey), std::vector<std::string>{"ShowExplorer"});
    EXPECT_EQ(hive.value(kKey, "ShowExplorer")->data, "0");
    EXPECT_EQ(hive.subKeyNames("software\\varnu"), std::vector<std::string>{"Qorvi"});
}

TEST(Hive, KeysEnumerateSortedAndDeleteWithTheirSubkeys) {
    test::TempDir dir;
    Hive hive(dir.path() + "/hkcu.reg");
    hive.createKey(kKey + "\\zeta site");
    hive.setValue(kKey + "\\Alpha", "HostName", HiveValue::string("a.example"));
    hive.setValue(kKey + "\\Alpha\\Deep", "x", HiveValue::string("y"));
    hive.createKey(kKey + "\\beta");
    EXPECT_EQ(hive.subKeyNames(kKey), (std::vector<std::string>{"Alpha", "beta", "zeta site"}));
    EXPECT_TRUE(hive.deleteKey(kKey + "\\alpha"));
    EXPECT_FALSE(hive.keyExists(kKey + "\\Alpha\\Deep"));
    EXPECT_EQ(hive.subKeyNames(kKey), (std::vector<std::string>{"beta", "zeta site"}));
    EXPECT_FALSE(hive.deleteKey(kKey + "\\nothing"));
    EXPECT_TRUE(hive.deleteValue(kKey + "\\beta", "none") == false);
}

TEST(Hive, SeesChangesMadeByAnotherHandleOnTheSameFile) {
    test::TempDir dir;
    Hive a(dir.path() + "/hkcu.reg"), b(dir.path() + "/hkcu.reg");
    a.setValue(kKey, "LastMax", HiveValue::string("1"));
    EXPECT_EQ(b.value(kKey, "LastMax")->data, "1");
    b.setValue(kKey, "LastTop", HiveValue::string("10"));
    EXPECT_EQ(a.value(kKey, "LastMax")->data, "1");
    EXPECT_EQ(a.value(kKey, "LastTop")->data, "10");
    EXPECT_TRUE(b.deleteValue(kKey, "LastMax"));
    EXPECT_FALSE(a.value(kKey, "LastMax").has_value());
}

TEST(Hive, TwoProcessesWritingAtOnceLoseNoValue) {
    test::TempDir dir;
    std::string path = dir.path() + "/hkcu.reg";
    constexpr int kPerProcess = 60;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        if (children[c] == 0) {
            Hive hive(path);
            for (int i = 0; i < kPerProcess; ++i)
                hive.setValue(kKey, "p" + std::to_string(c) + "_" + std::to_string(i),
                              HiveValue::string(std::to_string(i)));
            ::_exit(0);
        }
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Hive hive(path);
    EXPECT_EQ(hive.valueNames(kKey).size(), 2u * kPerProcess);
    EXPECT_EQ(hive.value(kKey, "p1_59")->data, "59");
}

TEST(Hive, DamagedFileIsKeptAsideAndReadsGiveDefaults) {
    test::TempDir dir;
    std::string path = dir.path() + "/hkcu.reg";
    const std::string garbage = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Varnu\\Qorvi]\n\"Ext=oops\n";
    std::ofstream(path) << garbage;
    Hive hive(path);
    EXPECT_FALSE(hive.value(kKey, "Ext").has_value());
    std::string warning = hive.takeWarning();
    EXPECT_NE(warning.find("damaged"), std::string::npos);
    EXPECT_NE(warning.find(path + ".damaged"), std::string::npos);
    EXPECT_TRUE(hive.takeWarning().empty()) << "the warning is given once";
    EXPECT_EQ(readFile(path + ".damaged"), garbage);
    hive.setValue(kKey, "DefaultExt", HiveValue::string("sh"));
    EXPECT_EQ(Hive(path).value(kKey, "DefaultExt")->data, "sh");
    EXPECT_EQ(readFile(path + ".damaged"), garbage) << "the backup is never overwritten";
}

TEST(Hive, FileWithoutHeaderOrWithForeignRootCountsAsDamaged) {
    for (const std::string& text : {std::string("hello\n"), std::string("REGEDIT4\n[HKEY_LOCAL_MACHINE\\X]\n"),
                                   std::string("REGEDIT4\n\"a\"=\"b\"\n"), std::string("REGEDIT4\n[K]\n\"a\"=hex:zz\n")}) {
        test::TempDir dir;
        std::string path = dir.path() + "/hkcu.reg";
        std::ofstream(path) << text;
        Hive hive(path);
        EXPECT_TRUE(hive.subKeyNames("").empty()) << text;
        EXPECT_FALSE(hive.takeWarning().empty()) << text;
    }
}

TEST(Hive, ReadsHandWrittenFilesWithCommentsContinuationsAndCrLf) {
    test::TempDir dir;
    std::string path = dir.path() + "/hkcu.reg";
    std::ofstream(path) << "REGEDIT4\r\n; a comment\r\n\r\n[HKEY_CURRENT_USER\\Software\\Varnu\\Qorvi]\r\n"
                           "@=\"default\"\r\n\"Bin\"=hex:01,02,\\\r\n  03,04\r\n\"N\"=dword:0000ffff\r\n";
    Hive hive(path);
    EXPECT_EQ(hive.value(kKey, "")->data, "default");
    EXPECT_EQ(hive.value(kKey, "Bin")->data, std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(hive.value(kKey, "N")->dword, 0xffffu);
    EXPECT_TRUE(hive.takeWarning().empty());
}

TEST(Hive, FailedWriteKeepsThePreviousFile) {
    test::TempDir dir;
    std::string path = dir.path() + "/hkcu.reg";
    Hive hive(path);
    hive.setValue(kKey, "A", HiveValue::string("1"));
    const std::string before = readFile(path);
    // A file-size limit below the new contents makes the write fail part
    // way: a writer that rewrote the file in place would leave it cut short.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(hive.setValue(kKey, "A", HiveValue::string(std::string(64 * 1024, 'x'))), QorviError);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(readFile(path), before);
    EXPECT_EQ(Hive(path).value(kKey, "A")->data, "1");
}

// ---- a settings file that cannot be used as it is is never written

namespace {

// A child's verdict on a hive that must not be written: reads give the
// defaults, a change is refused, and the reason is told once.
int refusesAndTellsOnce(const std::string& path, const std::string& reason) {
    Hive hive(path);
    if (hive.value(kKey, "Kept"))
        return 1;
    const std::string warning = hive.takeWarning();
    if (warning.find(reason) == std::string::npos)
        return 2;
    try {
        hive.setValue(kKey, "DefaultExt", HiveValue::string("sh"));
        return 3;
    } catch (const QorviError&) {
    }
    if (!hive.takeWarning().empty())
        return 4;
    return 0;
}

const std::string kKeptHive = "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Varnu\\Qorvi]\n\"Kept\"=\"1\"\n";

} // namespace

TEST(Hive, AFileThatCannotBeReadIsNeverReplacedByDefaults) {
    // Mode 000, and a file of another user: the user's values must survive.
    for (bool foreign : {false, true}) {
        test::TempDir dir;
        const std::string path = dir.file("hkcu.reg");
        std::ofstream(path) << kKeptHive;
        ::chmod(path.c_str(), foreign ? 0600 : 0);
        if (!foreign && ::geteuid() == 0) {
            ASSERT_EQ(::chown(path.c_str(), test::kUnprivilegedUser, test::kUnprivilegedUser), 0);
        }
        if (foreign && ::geteuid() != 0)
            continue; // only root can give a file away
        auto child =
            test::runUnprivileged(dir.path(), [&] { return refusesAndTellsOnce(path, "cannot be read"); });
        EXPECT_TRUE(child.exited) << foreign;
        EXPECT_EQ(child.exitCode, 0) << foreign;
        EXPECT_EQ(readFile(path), kKeptHive) << foreign;
    }
}

TEST(Hive, AFifoOrADeviceInItsPlaceIsRefusedWithoutWaiting) {
    test::TempDir dir;
    const std::string fifo = dir.file("fifo.reg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string zero = dir.file("zero.reg");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    const std::string directory = dir.file("directory.reg");
    ASSERT_EQ(::mkdir(directory.c_str(), 0700), 0);
    for (const auto& path : {fifo, zero, directory}) {
        auto child = test::runInChild(
            [&] {
                // Reading /dev/zero without a bound ends here instead of
                // taking the machine's memory.
                // (The address sanitizer needs far more address space.)
#ifndef __SANITIZE_ADDRESS__
                rlimit memory{std::size_t{1} << 31, std::size_t{1} << 31};
                ::setrlimit(RLIMIT_AS, &memory);
#endif
                return refusesAndTellsOnce(path, "not a regular file");
            },
            30);
        EXPECT_TRUE(child.finished) << path << " blocked";
        EXPECT_EQ(child.exitCode, 0) << path;
    }
    struct stat st;
    ASSERT_EQ(::lstat(zero.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link is left as it is";
}

TEST(Hive, AFileLargerThanTheBoundIsRefused) {
    test::TempDir dir;
    const std::string path = dir.file("hkcu.reg");
    std::ofstream(path) << kKeptHive;
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(Hive::kMaxFileSize) + 1), 0);
    EXPECT_EQ(refusesAndTellsOnce(path, "larger than 64 MB"), 0);
    EXPECT_EQ(*fs::fileSize(path), static_cast<std::int64_t>(Hive::kMaxFileSize) + 1);
}

TEST(Hive, LoadsManyValuesOfOneKeyInLinearTime) {
    // 200 000 values: a load that compares each value with every earlier one
    // takes many minutes; a linear one a second or two.
    test::TempDir dir;
    const std::string path = dir.file("hkcu.reg");
    {
        std::ofstream out(path);
        out << "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Varnu\\Qorvi]\n";
        for (int i = 0; i < 200000; ++i)
            out << "\"V" << i << "\"=\"" << i << "\"\n";
        out << "\"v7\"=\"replaced\"\n";
    }
    auto child = test::runInChild(
        [&] {
            Hive hive(path);
            return hive.valueNames(kKey).size() == 200000 && hive.value(kKey, "V7")->data == "replaced" ? 0
                                                                                                        : 1;
        },
        120);
    EXPECT_TRUE(child.finished) << "loading took minutes";
    EXPECT_EQ(child.exitCode, 0);
}

TEST(Hive, ALockFileThatIsALinkOrAnotherUsersIsNeverUsed) {
    test::TempDir dir, elsewhere;
    const std::string path = dir.file("hkcu.reg");
    const std::string planted = elsewhere.file("created-through-the-link");
    ASSERT_EQ(::symlink(planted.c_str(), (path + ".lock").c_str()), 0);
    Hive hive(path);
    EXPECT_THROW(hive.setValue(kKey, "A", HiveValue::string("1")), QorviError);
    EXPECT_FALSE(fs::exists(planted)) << "the lock was opened through the planted link";
    EXPECT_NE(hive.takeWarning().find("symbolic link"), std::string::npos);
    EXPECT_FALSE(fs::exists(path));

    if (::geteuid() != 0)
        return; // only root can give the lock file away
    ::unlink((path + ".lock").c_str());
    std::ofstream(path + ".lock") << "";
    ASSERT_EQ(::chown((path + ".lock").c_str(), test::kUnprivilegedUser, test::kUnprivilegedUser), 0);
    EXPECT_THROW(hive.setValue(kKey, "A", HiveValue::string("1")), QorviError);
    EXPECT_FALSE(fs::exists(path));
}

TEST(Hive, ALinkedFileIsWrittenThroughItsLinkEvenWhenDamaged) {
    for (const std::string& start : {kKeptHive, std::string("damaged\n")}) {
        test::TempDir dir;
        const std::string target = dir.file("real.reg"), path = dir.file("hkcu.reg");
        std::ofstream(target) << start;
        ASSERT_EQ(::symlink("real.reg", path.c_str()), 0);
        Hive hive(path);
        hive.setValue(kKey, "DefaultExt", HiveValue::string("sh"));
        struct stat st;
        ASSERT_EQ(::lstat(path.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << start;
        EXPECT_EQ(Hive(target).value(kKey, "DefaultExt")->data, "sh") << start;
        if (start == kKeptHive)
            EXPECT_EQ(Hive(target).value(kKey, "Kept")->data, "1");
        else
            EXPECT_EQ(readFile(target + ".damaged"), start) << "the damaged file is kept beside its target";
    }
}

TEST(Hive, AReadOnlyFileIsReadButNeverWritten) {
    test::TempDir dir;
    const std::string path = dir.file("hkcu.reg");
    std::ofstream(path) << kKeptHive;
    ::chmod(path.c_str(), 0444);
    Hive hive(path);
    EXPECT_EQ(hive.value(kKey, "Kept")->data, "1");
    EXPECT_THROW(hive.setValue(kKey, "Kept", HiveValue::string("2")), QorviError);
    EXPECT_THROW(hive.createKey(kKey + "\\site"), QorviError);
    EXPECT_NE(hive.takeWarning().find("read-only"), std::string::npos);
    EXPECT_TRUE(hive.takeWarning().empty()) << "told once";
    EXPECT_EQ(readFile(path), kKeptHive);
    ::chmod(path.c_str(), 0644);
    hive.setValue(kKey, "Kept", HiveValue::string("2"));
    EXPECT_EQ(Hive(path).value(kKey, "Kept")->data, "2") << "writable again, it is written again";
}

TEST(Hive, ADamagedFileThatCannotBeSetAsideIsLeftAndSaidSo) {
    test::TempDir dir;
    const std::string hiveDir = dir.file("config");
    ASSERT_EQ(::mkdir(hiveDir.c_str(), 0755), 0);
    const std::string path = hiveDir + "/hkcu.reg";
    const std::string garbage = "REGEDIT4\n\"outside\"=\"a key\"\n";
    std::ofstream(path) << garbage;
    // The file is the child's, its directory is not: nothing can be renamed there.
    ::chmod(dir.path().c_str(), 0711);
    if (::geteuid() == 0)
        ASSERT_EQ(::chown(path.c_str(), test::kUnprivilegedUser, test::kUnprivilegedUser), 0);
    else
        ::chmod(hiveDir.c_str(), 0555);
    auto child = test::runInChild([&] {
        if (::geteuid() == 0 &&
            (::setgid(test::kUnprivilegedUser) != 0 || ::setuid(test::kUnprivilegedUser) != 0))
            return 100;
        Hive hive(path);
        const std::string warning = hive.takeWarning();
        if (warning.find("damaged") == std::string::npos ||
            warning.find("could not be kept aside") == std::string::npos)
            return 1;
        if (warning.find("It was kept as") != std::string::npos)
            return 2;
        try {
            hive.setValue(kKey, "A", HiveValue::string("1"));
            return 3;
        } catch (const QorviError&) {
        }
        return 0;
    });
    ::chmod(hiveDir.c_str(), 0755);
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_EQ(readFile(path), garbage);
    EXPECT_FALSE(fs::exists(path + ".damaged"));
}
