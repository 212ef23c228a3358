#include "net/ftp_directory_list.h"
#include "net/ftp_dos_list.h"
#include "net/ftp_unix_list.h"
#include "net/ftp_vendor.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

struct Entry {
    std::string attribute, name, date, size;
};

Entry entry(const TFTPDirectoryList& list, std::size_t i) {
    return {list.attributes().at(i), list.names().at(i), list.dates().at(i), list.sizes().at(i)};
}

TEST(DirectoryListWords, RunsOfSpacesSeparateTwoWordsOnly) {
    TFTPDirectoryList list;
    list.ParseLine("  a   b\tc  ");
    ASSERT_EQ(list.wordCount(), 4);
    EXPECT_EQ(list.word(1), "");
    EXPECT_EQ(list.word(2), "a");
    EXPECT_EQ(list.word(3), "b\tc");
    EXPECT_EQ(list.word(4), "");
    EXPECT_EQ(list.count(), 0u);
}

TEST(DirectoryListWords, WordsAreCutAt255AndNoSlotPast25IsUsed) {
    TFTPDirectoryList list;
    list.ParseLine(std::string(300, 'x') + " y");
    EXPECT_EQ(list.word(1).size(), 255u);
    EXPECT_EQ(list.word(2), "y");
    std::string many;
    for (int i = 1; i <= 40; ++i)
        many += "w" + std::to_string(i) + " ";
    list.ParseLine(many);
    EXPECT_EQ(list.wordCount(), 25);
    EXPECT_EQ(list.word(25), "w25");
    EXPECT_EQ(list.word(26), "");
}

TEST(UnixListing, StandardLineSplitsIntoFourColumns) {
    TFTPUnixList list;
    list.ParseLine("-rw-r--r--   1 owner    group        1234 Jan 12 10:30 main.c");
    ASSERT_EQ(list.count(), 1u);
    Entry e = entry(list, 0);
    EXPECT_EQ(e.attribute, "-rw-r--r--");
    EXPECT_EQ(e.size, "1234");
    EXPECT_EQ(e.date, "Jan 12 10:30");
    EXPECT_EQ(e.name, "main.c");
}

TEST(UnixListing, NamesKeepTheirSpaces) {
    TFTPUnixList list;
    list.ParseLine("-rw-r--r--   1 owner    group          17 Mar 03  2019 my file.txt");
    list.ParseLine("drwxr-xr-x   2 owner    group        4096 Dec 07 08:28  two  spaces ");
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(entry(list, 0).name, "my file.txt");
    EXPECT_EQ(entry(list, 0).date, "Mar 03 2019");
    EXPECT_EQ(entry(list, 0).size, "17");
    EXPECT_EQ(entry(list, 1).name, " two  spaces ");
    EXPECT_EQ(entry(list, 1).attribute, "drwxr-xr-x");
}

TEST(UnixListing, SymbolicLinkEntryNamesTheLinkNotItsTarget) {
    TFTPUnixList list;
    list.ParseLine("lrwxrwxrwx   1 owner    group           9 Jan 12 10:30 my link -> target dir");
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(entry(list, 0).name, "my link");
    EXPECT_EQ(entry(list, 0).attribute, "lrwxrwxrwx");
}

TEST(UnixListing, ArrowInAnOrdinaryFileNameIsKept) {
    TFTPUnixList list;
    list.ParseLine("-rw-r--r--   1 owner    group           9 Jan 12 10:30 a -> b");
    EXPECT_EQ(entry(list, 0).name, "a -> b");
}

TEST(UnixListing, OwnerOrGroupNamedLikeAMonthDoesNotMisleadTheDate) {
    TFTPUnixList list;
    list.ParseLine("-rw-r--r--   1 may      jun            12 Feb  5  2021 x y");
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(entry(list, 0).date, "Feb 5 2021");
    EXPECT_EQ(entry(list, 0).name, "x y");
    EXPECT_EQ(entry(list, 0).size, "12");
}

TEST(UnixListing, TotalLineShortLinesAndEmptyLinesAddNothing) {
    TFTPUnixList list;
    list.ParseLine("total 48");
    list.ParseLine("");
    list.ParseLine("one two three four five six seven");
    EXPECT_EQ(list.count(), 0u);
}

TEST(UnixListing, UnfamiliarLayoutFallsBackToTheLastWord) {
    TFTPUnixList list;
    list.ParseLine("-rw-r--r-- 1 owner group 1234 2020-01-12 10:30 main.c");
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(entry(list, 0).name, "main.c");
    EXPECT_EQ(entry(list, 0).size, "group");
    EXPECT_EQ(entry(list, 0).date, "1234 2020-01-12 10:30");
    list.ParseLine("-rw-r--r-- 1 owner group 1234 2020-01-12 10:30 main.c  ");
    EXPECT_EQ(entry(list, 1).name, "");
}

TEST(UnixListing, LineOfManyWordsUsesNoSlotPast25) {
    TFTPUnixList list;
    std::string name;
    for (int i = 0; i < 30; ++i)
        name += "w" + std::to_string(i) + " ";
    name += "end";
    list.ParseLine("-rw-r--r--   1 owner    group        1234 Jan 12 10:30 " + name);
    ASSERT_EQ(list.count(), 1u);
    EXPECT_EQ(entry(list, 0).name, name);
    std::string noDate = "a b c d e f g";
    for (int i = 0; i < 30; ++i)
        noDate += " x" + std::to_string(i);
    list.ParseLine(noDate);
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(entry(list, 1).name, "x29");
}

TEST(UnixListing, ClearEmptiesEveryColumn) {
    TFTPUnixList list;
    list.ParseLine("-rw-r--r--   1 owner    group        1234 Jan 12 10:30 main.c");
    list.Clear();
    EXPECT_EQ(list.count(), 0u);
    EXPECT_TRUE(list.attributes().empty() && list.dates().empty() && list.sizes().empty());
}

TEST(DosListing, FixedColumnsAreCutAndLeftTrimmed) {
    TFTPDOSList list;
    std::string line(59, ' ');
    line.replace(0, 12, "rw-a      xx");
    line.replace(29, 16, "    12345       ");
    line.replace(45, 13, "  01/02/2003 ");
    line += "name with space.txt";
    list.ParseLine(line);
    ASSERT_EQ(list.count(), 1u);
    Entry e = entry(list, 0);
    EXPECT_EQ(e.attribute, "rw-a      ");
    EXPECT_EQ(e.size, "12345       ");
    EXPECT_EQ(e.date, "01/02/2003 ");
    EXPECT_EQ(e.name, "name with space.txt");
}

TEST(DosListing, ShortLinesStillAddAnEntryWithEmptyFields) {
    TFTPDOSList list;
    list.ParseLine("short");
    list.ParseLine("");
    ASSERT_EQ(list.count(), 2u);
    EXPECT_EQ(entry(list, 0).attribute, "short");
    EXPECT_EQ(entry(list, 0).name, "");
    EXPECT_EQ(entry(list, 0).size, "");
    EXPECT_EQ(entry(list, 0).date, "");
}

TEST(DosListing, IisLinesAreReadByTheirFields) {
    TFTPDOSList list;
    list.ParseLine("04-27-20  09:09PM       <DIR>          My Folder");
    list.ParseLine("12-04-2020  03:45AM                 1234 read me.txt");
    ASSERT_EQ(list.count(), 2u);
    Entry dir = entry(list, 0);
    EXPECT_EQ(dir.attribute, "d");
    EXPECT_EQ(dir.name, "My Folder");
    EXPECT_EQ(dir.date, "04-27-20 09:09PM");
    EXPECT_EQ(dir.size, "");
    Entry file = entry(list, 1);
    EXPECT_EQ(file.attribute, "-");
    EXPECT_EQ(file.name, "read me.txt");
    EXPECT_EQ(file.size, "1234");
}

TEST(DirectoryListChoice, DosAndWindowsServersGetTheDosParser) {
    auto dos = createDirectoryList(kVendorDos);
    dos->ParseLine("04-27-20  09:09PM       <DIR>          Folder");
    EXPECT_EQ(dos->attributes().at(0), "d");
    for (int vendor : {kVendorUnix, kVendorVm, kVendorMacOs, kVendorVms, kVendorMvs, kVendorOther,
                       kVendorOs400, kVendorNetWare, kVendorDetect}) {
        auto list = createDirectoryList(vendor);
        list->ParseLine("04-27-20  09:09PM       <DIR>          Folder");
        EXPECT_EQ(list->count(), 0u) << vendor;
        list->ParseLine("-rw-r--r--   1 owner    group        1234 Jan 12 10:30 main.c");
        EXPECT_EQ(list->names().at(0), "main.c") << vendor;
    }
}

TEST(VendorDetection, SystRepliesMapToSystemCodes) {
    EXPECT_EQ(vendorFromSystReply("215 Windows_NT"), kVendorDos);
    EXPECT_EQ(vendorFromSystReply("215 UNIX Type: L8"), kVendorUnix);
    EXPECT_EQ(vendorFromSystReply("215 unix"), kVendorUnix);
    EXPECT_EQ(vendorFromSystReply("215 NetWare system type"), kVendorNetWare);
    EXPECT_EQ(vendorFromSystReply("215 MVS is the operating system"), kVendorMvs);
    EXPECT_EQ(vendorFromSystReply("215 VM/ESA"), kVendorVm);
    EXPECT_EQ(vendorFromSystReply("215 MACOS Peter's Server"), kVendorMacOs);
    EXPECT_EQ(vendorFromSystReply("215 OS/400 is the remote operating system"), kVendorOs400);
    EXPECT_EQ(vendorFromSystReply("215 Plan 9"), kVendorOther);
    // UNIX is tested before VMS, VMS before VM.
    EXPECT_EQ(vendorFromSystReply("215 VMS UNIX emulation"), kVendorUnix);
    EXPECT_EQ(vendorFromSystReply("215 VMS"), kVendorVms);
}

} // namespace
} // namespace qorvi
