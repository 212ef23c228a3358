#include "app/document_types.h"
#include "app/extension_map.h"
#include "app/mapping_file.h"
#include "app/parser_bank.h"
#include "app/setting_values.h"
#include "app/type_selection.h"
#include "platform/hive.h"

#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace qorvi;

namespace {

using qorvi::test::readFile;

ExtensionMap defaults() {
    ExtensionMap map;
    map.setLines(ExtensionMap::defaultLines());
    return map;
}

std::string parserName(const ExtensionMap& map, const std::string& ext) {
    static ParserBank bank;
    return bank.parserForExtension(map, ext).Name;
}

class FixedSelector : public TypeSelector {
public:
    explicit FixedSelector(int n) : n_(n) {}
    int selectType(const std::string& title) override {
        titles.push_back(title);
        return n_;
    }
    std::vector<std::string> titles;

private:
    int n_;
};

} // namespace

TEST(ExtensionMap, DefaultTableHasTheTwentySevenLinesInOrderThenTheCommonLinuxOnes) {
    const auto& lines = ExtensionMap::defaultLines();
    ASSERT_EQ(lines.size(), 36u);
    EXPECT_EQ(lines.front(), "cpp=cpp");
    EXPECT_EQ(lines[12], "idl=idl");
    EXPECT_EQ(lines[20], "properties=sh");
    EXPECT_EQ(lines[26], "phtml=php3");
    ExtensionMap map = defaults();
    for (auto [ext, parser] : {std::pair{"php", "prsPHP"}, {"hh", "prsCPP"}, {"cc", "prsCPP"}, {"cxx", "prsCPP"},
                               {"hxx", "prsCPP"}, {"conf", "prsINI"}, {"cfg", "prsINI"}, {"bash", "prsShell"}})
        EXPECT_EQ(parserName(map, ext), parser) << ext;
}

TEST(ExtensionMap, ExtensionsCompareWithoutCaseAndWithoutTheDot) {
    ExtensionMap map = defaults();
    EXPECT_TRUE(map.isRegistered(".CPP"));
    EXPECT_EQ(parserName(map, ".CPP"), "prsCPP");
    EXPECT_EQ(parserName(map, "Html"), "prsHTML");
    for (const char* ext : {"profile", "login", "mail", "config"})
        EXPECT_EQ(parserName(map, ext), "prsShell") << ext;
    EXPECT_EQ(parserName(map, "phtml"), "prsPHP");
}

TEST(ExtensionMap, TypeKeysCompareWithCaseSoCapitalKeysGivePlainText) {
    ExtensionMap map;
    map.setLines({"xyz=CPP"});
    EXPECT_TRUE(map.isRegistered("xyz"));
    EXPECT_EQ(parserName(map, "xyz"), "prsPlain");
}

TEST(ExtensionMap, FirstMatchingLineWins) {
    ExtensionMap map;
    map.setLines({"foo=java", "FOO=sql"});
    EXPECT_EQ(map.lookUp("foo").typeKey, "java");
    EXPECT_EQ(parserName(map, "foo"), "prsJava");
}

TEST(ExtensionMap, UnmappedAndEmptyExtensionsArePlainAndUnregistered) {
    ExtensionMap map = defaults();
    EXPECT_FALSE(map.isRegistered("xyz"));
    EXPECT_EQ(map.lookUp("xyz").typeKey, "txt");
    EXPECT_EQ(parserName(map, "xyz"), "prsPlain");
    EXPECT_FALSE(map.isRegistered(""));
    EXPECT_FALSE(map.isRegistered("."));
    EXPECT_EQ(parserName(map, ""), "prsPlain");
}

TEST(ExtensionMap, LinesWithoutEqualsAndBlankLinesAreHarmless) {
    ExtensionMap map;
    map.setLines({"", "junk", "=cpp", "c=cpp"});
    EXPECT_TRUE(map.isRegistered("junk"));
    EXPECT_EQ(map.lookUp("junk").typeKey, "");
    EXPECT_EQ(parserName(map, "junk"), "prsPlain");
    EXPECT_FALSE(map.isRegistered("."));
    EXPECT_EQ(parserName(map, "c"), "prsCPP");
}

TEST(ExtensionMap, LoadsAnyLineBreakStyleAndSavesCrLf) {
    test::TempDir dir;
    std::ofstream(dir.file("a.dat"), std::ios::binary) << "cpp=cpp\nc=cpp\r\nh=cpp\rjava=java";
    ExtensionMap map;
    ASSERT_TRUE(map.load(dir.file("a.dat")));
    EXPECT_EQ(map.lines(), (std::vector<std::string>{"cpp=cpp", "c=cpp", "h=cpp", "java=java"}));
    map.save(dir.file("b.dat"));
    EXPECT_EQ(readFile(dir.file("b.dat")), "cpp=cpp\r\nc=cpp\r\nh=cpp\r\njava=java\r\n");
    EXPECT_FALSE(map.load(dir.file("missing.dat")));
    EXPECT_EQ(map.lines().size(), 4u) << "a failed load keeps the list";
}

TEST(DocumentTypes, NumbersKeysAndTypeListItems) {
    EXPECT_EQ(TypeKeyForNumber(13), "php3");
    EXPECT_EQ(TypeKeyForNumber(0), "txt");
    EXPECT_EQ(TypeKeyForNumber(14), "txt");
    EXPECT_EQ(typeListItem(13), "PHP Script" + std::string(50, ' ') + "13");
    EXPECT_EQ(typeNumberOfItem(typeListItem(13)), 13);
    EXPECT_EQ(typeNumberOfItem(typeListItem(1)), 1);
    EXPECT_EQ(typeNumberOfItem("garbage"), 0);
    ParserBank bank;
    EXPECT_EQ(bank.parserForNumber(99).Name, "prsPlain");
    EXPECT_EQ(bank.parserForNumber(12).Name, "prs4gl");
}

TEST(MappingFile, FirstStartCreatesTheDefaultFileAndStoresItsPath) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    test::FakeShellUi ui;
    ExtensionMap map;
    MappingFile(map, settings, ui, dir.path()).locateAndLoad();
    EXPECT_EQ(settings.readString("ExtFilePath", ""), dir.file("Qorvi.dat"));
    EXPECT_EQ(map.lines(), ExtensionMap::defaultLines());
    EXPECT_EQ(hive.valueNames(kProgramKey), std::vector<std::string>{"ExtFilePath"});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(MappingFile, MissingFileIsOfferedAndNoLeavesTheListEmpty) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    settings.writeString("ExtFilePath", dir.file("gone.dat"));
    test::FakeShellUi ui;
    ui.answers = {MsgResult::No};
    ExtensionMap map;
    MappingFile(map, settings, ui, dir.path()).locateAndLoad();
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text,
              "Extension mapping file, " + dir.file("gone.dat") + ", not found. Would you like to create it?");
    EXPECT_TRUE(map.lines().empty());

    ui.answers = {MsgResult::Yes};
    MappingFile(map, settings, ui, dir.path()).locateAndLoad();
    EXPECT_EQ(map.lines(), ExtensionMap::defaultLines());
    EXPECT_EQ(settings.readString("ExtFilePath", ""), dir.file("Qorvi.dat"));
}

TEST(MappingFile, ExistingUserFileIsReplacedOnlyWhenTheUserAgrees) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    std::ofstream(dir.file("Qorvi.dat"), std::ios::binary) << "mine=cpp\r\n";
    test::FakeShellUi ui;
    ui.answers = {MsgResult::No};
    ExtensionMap map;
    MappingFile(map, settings, ui, dir.path()).locateAndLoad();
    EXPECT_EQ(readFile(dir.file("Qorvi.dat")), "mine=cpp\r\n");
    EXPECT_EQ(map.lines(), std::vector<std::string>{"mine=cpp"});
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST(MappingFile, RegisteringAnExtensionAppendsAndWritesTheFile) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    test::FakeShellUi ui;
    ExtensionMap map;
    MappingFile file(map, settings, ui, dir.path());
    file.locateAndLoad();
    FixedSelector selector(13);
    file.registerExtension("inc", selector);
    EXPECT_EQ(selector.titles, std::vector<std::string>{"Select file format"});
    EXPECT_EQ(map.lines().back(), "inc=php3");
    EXPECT_NE(readFile(dir.file("Qorvi.dat")).find("bash=sh\r\ninc=php3\r\n"), std::string::npos);
    EXPECT_EQ(parserName(map, "INC"), "prsPHP");
}

TEST(NewDocTypeChoice, ListIsSortedByNameAndSelectionIsRemembered) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    NewDocTypeChoice choice(settings);
    ASSERT_EQ(choice.items().size(), 13u);
    EXPECT_EQ(choice.items().front().substr(0, 5), "C/Cpp");
    EXPECT_EQ(choice.items().back().substr(0, 16), "Windows INI file");
    EXPECT_EQ(choice.initialIndex(), 5);
    int php = -1;
    for (std::size_t i = 0; i < choice.items().size(); ++i)
        if (choice.items()[i].rfind("PHP Script", 0) == 0)
            php = static_cast<int>(i);
    EXPECT_EQ(choice.finish(php), 13);
    EXPECT_EQ(settings.readString("NewDocType", ""), std::to_string(php));
    EXPECT_EQ(NewDocTypeChoice(settings).initialIndex(), php);
    EXPECT_EQ(choice.finish(-1), 0);
}

TEST(NewDocTypeChoice, StoredIndexOutsideTheListSelectsTheDefault) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    for (const char* stored : {"13", "-1", "99", "x"}) {
        settings.writeString("NewDocType", stored);
        EXPECT_EQ(NewDocTypeChoice(settings).initialIndex(), 5) << stored;
    }
    EXPECT_EQ(NewDocTypeChoice::caption(""), "New document type");
    EXPECT_EQ(NewDocTypeChoice::caption("Select a new type"), "Select a new type");
}

TEST(UnknownTypeChoice, ResultsFollowTheChoices) {
    EXPECT_EQ(UnknownTypeChoice::result(false, true, true), UnknownTypeChoice::Cancelled);
    EXPECT_EQ(UnknownTypeChoice::result(true, false, true), UnknownTypeChoice::Download);
    EXPECT_EQ(UnknownTypeChoice::result(true, true, false), UnknownTypeChoice::OpenOnly);
    EXPECT_EQ(UnknownTypeChoice::result(true, true, true), UnknownTypeChoice::OpenAndRegister);
    EXPECT_FALSE(UnknownTypeChoice::registerEnabled(false));
}
