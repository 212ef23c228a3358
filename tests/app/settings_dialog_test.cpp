// The "Settings..." command: the type list in its fixed order, the stored
// values it starts from, and what "&Ok" stores and changes at once.

#include "app/document_types.h"
#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/settings_dialog.h"
#include "tests/support/main_shell_fixture.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::MainShellFixture;

// Runs "Settings..." choosing the item that starts with `type` and typing
// `lines`; returns what the dialog showed at first.
SettingsDialog runSettings(MainShellFixture& f, const std::string& type, const std::string& lines,
                           bool ok = true) {
    std::optional<SettingsDialog> shown;
    f.view.settingsDialog = [&](SettingsDialog& d) {
        shown.emplace(d);
        for (std::size_t i = 0; i < d.items().size(); ++i)
            if (d.items()[i].rfind(type + " ", 0) == 0)
                d.selectedIndex = static_cast<int>(i);
        d.linesText = lines;
        return ok;
    };
    f.shell->commands().run(Command::Settings);
    return *shown;
}

TEST(SettingsDialog, ListsTheTypesUnsortedWithTheirNumbersAfterTheBlankRun) {
    MainShellFixture f;
    SettingsDialog d = runSettings(f, "C/Cpp", "30", false);
    std::vector<int> numbers;
    for (const auto& item : d.items()) {
        numbers.push_back(typeNumberOfItem(item));
        EXPECT_EQ(item, typeListItem(numbers.back()));
    }
    EXPECT_EQ(numbers, (std::vector<int>{1, 3, 8, 2, 7, 5, 4, 6, 11, 9, 10, 12, 13}));
    EXPECT_EQ(d.items()[static_cast<std::size_t>(d.selectedIndex)], typeListItem(11)) << "DefaultExt sh";
    EXPECT_EQ(d.linesText, "30");
    EXPECT_TRUE(f.view.isEnabled(Command::Settings));
}

TEST(SettingsDialog, CancelStoresNothing) {
    MainShellFixture f;
    runSettings(f, "Java", "12", false);
    EXPECT_FALSE(f.hive.value(kProgramKey, "DefaultExt"));
    EXPECT_FALSE(f.hive.value(kProgramKey, "NumLinesInWatch"));
    EXPECT_EQ(f.shell->watchLineCount(), 30);
}

TEST(SettingsDialog, LinesThatAreNoCountStore30AndACountAppliesAtOnce) {
    for (const auto& [typed, stored] : std::vector<std::pair<std::string, std::string>>{
             {"abc", "30"}, {"0", "30"}, {"-4", "30"}, {"", "30"}, {" 12", "12"}}) {
        MainShellFixture f;
        f.shell->settings().setNumLinesInWatch(7);
        runSettings(f, "Java", typed);
        EXPECT_EQ(f.hive.value(kProgramKey, "NumLinesInWatch")->data, stored) << typed;
        EXPECT_EQ(std::to_string(f.shell->watchLineCount()), stored) << typed;
        EXPECT_EQ(runSettings(f, "Java", "1", false).linesText, stored) << "shown as stored";
    }
}

TEST(SettingsDialog, UnixShellScriptMakesMakefileOpenWithTheShellParser) {
    MainShellFixture f;
    f.shell->settings().setDefaultExt("cpp");
    EXPECT_EQ(runSettings(f, "Unix shell script", "30", false).selectedIndex, 0) << "C/Cpp first";
    f.shell->openDocument(f.file("GNUmakefile"), false, "");
    EXPECT_EQ(f.view.child(0).editor.parserName, "prsCPP");

    runSettings(f, "Unix shell script", "30");
    EXPECT_EQ(f.hive.value(kProgramKey, "DefaultExt")->data, "sh");
    f.shell->openDocument(f.file("Makefile"), false, "");
    EXPECT_EQ(f.view.child(1).editor.parserName, "prsShell");
}

} // namespace
} // namespace qorvi
