// The shell's settings: every value of the table reads as its default when
// it is missing, empty, of another type or unreadable, and integers read as
// their default unless they are decimal numbers.

#include "app/setting_values.h"
#include "platform/hive.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

bool isInteger(Setting id) {
    return id == Setting::NumLinesInWatch || id == Setting::NewDocType ||
           (id >= Setting::LastHeight && id <= Setting::LastTop);
}

TEST(SettingValues, EveryValueReadsAsItsDefaultWhenMissingEmptyForeignOrGarbage) {
    struct Case {
        const char* what;
        std::function<void(Hive&, const char* name)> store;
        bool integersOnly;
    };
    const std::vector<Case> cases = {
        {"missing", [](Hive&, const char*) {}, false},
        {"empty", [](Hive& h, const char* n) { h.setValue(kProgramKey, n, HiveValue::string("")); }, false},
        {"binary", [](Hive& h, const char* n) { h.setValue(kProgramKey, n, HiveValue::binary("12")); },
         false},
        {"dword", [](Hive& h, const char* n) { h.setValue(kProgramKey, n, HiveValue::number(12)); }, false},
        {"garbage", [](Hive& h, const char* n) { h.setValue(kProgramKey, n, HiveValue::string("12x")); },
         true},
        {"overflow",
         [](Hive& h, const char* n) { h.setValue(kProgramKey, n, HiveValue::string("99999999999")); }, true},
        {"damaged file", [](Hive& h, const char*) { std::ofstream(h.path()) << "not a registry file\n[\n"; },
         false},
    };
    for (const auto& info : settingTable()) {
        for (const auto& c : cases) {
            if (c.integersOnly && !isInteger(info.id))
                continue;
            test::TempDir dir;
            Hive hive(dir.file("hkcu.reg"));
            c.store(hive, info.name);
            SettingValues settings(hive);
            if (isInteger(info.id))
                EXPECT_EQ(settings.readInteger(info.id), parseIntegerOr(info.defaultValue, -99))
                    << info.name << " " << c.what;
            else
                EXPECT_EQ(settings.read(info.id), info.defaultValue) << info.name << " " << c.what;
        }
    }
}

TEST(SettingValues, IntegersAreDecimalWithLeadingBlanks) {
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    for (const auto& [stored, read] : std::vector<std::pair<const char*, int>>{
             {"  42", 42}, {"-7", -7}, {"+8", 8}, {"abc", 0}, {"+-3", 0}, {"4 ", 0}}) {
        settings.write(Setting::LastLeft, stored);
        EXPECT_EQ(settings.readInteger(Setting::LastLeft), read) << stored;
    }
    settings.write(Setting::NumLinesInWatch, "0");
    EXPECT_EQ(settings.numLinesInWatch(), 30) << "watch mode keeps at least one line";
}

} // namespace
} // namespace qorvi
