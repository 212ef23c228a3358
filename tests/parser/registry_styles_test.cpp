// A parser's styles and key map in the registry: written, read back by a
// fresh parser of the same language, and a missing or damaged registry
// leaving the compiled settings in place.

#include "editor/control/rudivo_voru.h"
#include "editor/keys/command_action.h"
#include "parser/registry_styles.h"
#include "platform/hive.h"
#include "tests/support/built_in_cpp_parser.h"
#include "tests/support/error_of.h"
#include "tests/support/quiet_control_host.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::errorOf;

constexpr const char* kKey = "Software\\Varnu\\Qorvi";
constexpr TShortCut kCtrlK = scCtrl | 'K';

struct RegistryParser {
    test::TempDir dir;
    Hive hive{dir.file("hkcu.reg")};

    std::unique_ptr<TRudivoVoruParser> make() {
        auto parser = test::builtInCppParser();
        parser->SetName("prsCPP");
        parser->Registry = &hive;
        parser->RegistryKey = kKey;
        parser->UseRegistry = true;
        return parser;
    }
    std::string valueName(const char* prefix, TRudivoVoruParser& p) {
        return prefix + p.Settings().LanguageName();
    }
};

std::vector<std::pair<TShortCut, TShortCut>> bindings(TRudivoVoruParser& p, int code) {
    std::vector<std::pair<TShortCut, TShortCut>> out;
    TShortCut k1 = 0, k2 = 0;
    for (bool more = p.Settings().KeyMap().GetFirstKeyPair(code, k1, k2); more && k1;
         more = p.Settings().KeyMap().GetNextKeyPair(code, k1, k2))
        out.emplace_back(k1, k2);
    return out;
}

TEST(RegistryStyles, AFreshParserReadsBackColoursAndKeys) {
    RegistryParser f;
    auto first = f.make();
    TFormatEntry entry = first->Settings().GetFormatEntry(1);
    entry.TextColor = 0x00AA00;
    first->Settings().SetFormatEntry(1, entry);
    first->Settings().KeyMap().DefineKeyAction(kCtrlK, 'T', caDELETELINE);
    first->StylesToRegistry();

    // A control showing the language asks its parser to load them.
    auto second = f.make();
    test::QuietControlHost host;
    TRudivoVoru control;
    control.SetHost(&host);
    control.SetParser1(second.get());
    ASSERT_NE(second->StylesAsString(), first->StylesAsString());
    GetCurrentStyles(control);
    EXPECT_EQ(second->StylesAsString(), first->StylesAsString());
    EXPECT_EQ(control.GetFormatEntry(1).TextColor, 0x00AA00);
    control.SetParser1(nullptr);
    control.SetHost(nullptr);
    EXPECT_EQ(bindings(*second, caDELETELINE), bindings(*first, caDELETELINE));
    EXPECT_EQ(bindings(*second, caDELETELINE).size(), 2u);
}

TEST(RegistryStyles, AMissingKeyOrValueChangesNothing) {
    RegistryParser f;
    auto parser = f.make();
    const std::string before = parser->StylesAsString();
    parser->StylesFromRegistry(true, "");
    parser->StylesFromRegistry(false, "Software\\Elsewhere");
    f.hive.setValue(kKey, "Other", HiveValue::string("x"));
    parser->StylesFromRegistry(true, "");
    EXPECT_EQ(parser->StylesAsString(), before);
}

TEST(RegistryStyles, WithoutTheRegistryInterfaceBothWaysAreRefused) {
    RegistryParser f;
    auto parser = f.make();
    parser->UseRegistry = false;
    const std::string message = std::string(kMsgRegistryDisabled) + "prsCPP";
    EXPECT_EQ(errorOf([&] { parser->StylesToRegistry(); }), message);
    EXPECT_EQ(errorOf([&] { parser->StylesFromRegistry(true, ""); }), message);
    parser->UseRegistry = true;
    parser->RegistryKey.clear();
    EXPECT_EQ(errorOf([&] { parser->StylesToRegistry(); }), message);
}

TEST(RegistryStyles, DamagedValuesRaiseOnceAndLeaveTheCompiledSettings) {
    RegistryParser f;
    auto saved = f.make();
    TFormatEntry entry = saved->Settings().GetFormatEntry(1);
    entry.TextColor = 0x00AA00;
    saved->Settings().SetFormatEntry(1, entry);
    saved->StylesToRegistry();
    const std::string goodStyles = saved->StylesAsString();
    const std::string goodKeys = f.hive.value(kKey, f.valueName(kKeyAssignmentsValue, *saved))->data;

    struct Damage {
        const char* what;
        std::string styles;
        std::string keys;
        const char* value; // the value the message names
    };
    const std::vector<Damage> damages = {
        {"style string", "Trelix6:GWD#2#50OPT#99#1#END#", goodKeys, kHighlightingValue},
        {"version 0", "Trelix0:", goodKeys, kHighlightingValue},
        {"key map tag", goodStyles, "\x08Trelix5:" + goodKeys.substr(9), kKeyAssignmentsValue},
        {"tag inside", goodStyles, "xx" + goodKeys, kKeyAssignmentsValue},
        {"cut key map", goodStyles, goodKeys.substr(0, goodKeys.size() / 2), kKeyAssignmentsValue},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.what);
        auto parser = f.make();
        f.hive.setValue(kKey, f.valueName(kHighlightingValue, *parser), HiveValue::string(d.styles));
        f.hive.setValue(kKey, f.valueName(kKeyAssignmentsValue, *parser), HiveValue::binary(d.keys));
        const std::string before = parser->StylesAsString();
        const auto keysBefore = bindings(*parser, caUNDO);
        EXPECT_EQ(errorOf([&] { parser->StylesFromRegistry(true, ""); }),
                  std::string(kMsgInvalidRegistryEntry) + " \"" + kKey + "\\" + d.value +
                      parser->Settings().LanguageName() + "\"");
        EXPECT_EQ(parser->StylesAsString(), before);
        EXPECT_EQ(bindings(*parser, caUNDO), keysBefore);
    }
}

} // namespace
} // namespace qorvi
