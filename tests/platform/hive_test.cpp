#include "platform/hive.h"

#include "platform/qorvi_error.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <fstream>

using namespace qorvi;

namespace {
const std::string kKey = "SOFTWARE\\Varnu\\Qorvi";

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}
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
    EXPECT_EQ(slurp(path).rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(slurp(path).find("[HKEY_CURRENT_USER\\SOFTWARE\\Varnu\\Qorvi]"), std::string::npos);
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
    EXPECT_EQ(slurp(path + ".damaged"), garbage);
    hive.setValue(kKey, "DefaultExt", HiveValue::string("sh"));
    EXPECT_EQ(Hive(path).value(kKey, "DefaultExt")->data, "sh");
    EXPECT_EQ(slurp(path + ".damaged"), garbage) << "the backup is never overwritten";
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
    const std::string before = slurp(path);
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
    EXPECT_EQ(slurp(path), before);
    EXPECT_EQ(Hive(path).value(kKey, "A")->data, "1");
}
