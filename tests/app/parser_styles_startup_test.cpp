// The main window loads every language's styles from the registry when it
// is created: what a previous run saved comes back, and a damaged value is
// reported once while its language keeps the compiled settings.

#include "parser/registry_styles.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/support/main_shell_fixture.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

TRudivoVoruParser& parserOf(MainShell& shell, const std::string& key) {
    for (const ParserSlot& slot : shell.parsers().components())
        if (slot.Key == key)
            return *slot.Parser;
    throw std::runtime_error("no parser " + key);
}

TEST(ParserStylesAtStartup, SavedStylesComeBackAndADamagedValueIsReportedOnce) {
    test::MainShellFixture f;
    TRudivoVoruParser& cpp = parserOf(*f.shell, "cpp");
    EXPECT_TRUE(cpp.UseRegistry);
    TFormatEntry entry = cpp.Settings().GetFormatEntry(1);
    entry.TextColor = 0x00AA00;
    cpp.Settings().SetFormatEntry(1, entry);
    cpp.StylesToRegistry();
    const std::string saved = cpp.StylesAsString();
    const std::string shDefaults = parserOf(*f.shell, "sh").StylesAsString();
    const std::string shName = parserOf(*f.shell, "sh").Settings().LanguageName();
    f.hive.setValue(MainShell::kParserRegistryKey, kHighlightingValue + shName,
                    HiveValue::string("Trelix6:GWD#99#1#END#"));
    EXPECT_TRUE(f.ui.boxes.empty());
    f.shell.reset();

    test::FakeMainView view;
    test::FakeShellUi ui;
    MainShell restarted(view, ui, f.selector, f.hive, {{}, f.work, f.root.file("prog")});
    view.attach(restarted, ui);
    restarted.create();
    EXPECT_EQ(parserOf(restarted, "cpp").StylesAsString(), saved);
    EXPECT_EQ(parserOf(restarted, "sh").StylesAsString(), shDefaults);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(ui.boxes[0].text, std::string(kMsgInvalidRegistryEntry) + " \"" +
                                    MainShell::kParserRegistryKey + "\\" + kHighlightingValue + shName +
                                    "\"\n" + MainShell::kMsgStylesKept);
}

} // namespace
} // namespace qorvi
