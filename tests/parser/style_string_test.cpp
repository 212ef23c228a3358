// The style string: every field survives writing and reading, the EFF
// entries read as the format says, and a damaged string changes nothing.

#include "editor/settings/editor_settings.h"
#include "parser/style_string.h"
#include "tests/support/error_of.h"

#include <functional>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::errorOf;

struct FieldChange {
    const char* field;
    std::function<void(TSM_Settings&)> apply;
};

TFormatEntry effect(std::uint8_t style, TColor text, TColor back, bool defText, bool defBack) {
    TFormatEntry e;
    e.Style = style;
    e.TextColor = text;
    e.BackColor = back;
    e.DefaultText = defText;
    e.DefaultBack = defBack;
    e.InUse = 1;
    return e;
}

const std::vector<FieldChange>& fieldChanges() {
    static const std::vector<FieldChange> changes = {
        {"OPT", [](TSM_Settings& s) { s.SetOptions(0x0C000401); }},
        {"GWD", [](TSM_Settings& s) { s.SetGutter(57); }},
        {"GCL", [](TSM_Settings& s) { s.SetGutterColor(0x123456); }},
        {"WRC", [](TSM_Settings& s) { s.SetWrapAtColumn(72); }},
        {"IDS", [](TSM_Settings& s) { s.SetIndentStep(4); }},
        {"WRO", [](TSM_Settings& s) { s.SetWrapOverride("#!"); }},
        {"FON",
         [](TSM_Settings& s) {
             s.SetFont({"Fira Mono", s.Font().Size, s.Font().CharSet});
         }},
        {"FOS",
         [](TSM_Settings& s) {
             s.SetFont({s.Font().Name, -13, s.Font().CharSet});
         }},
        {"STC", [](TSM_Settings& s) { s.SetSelTextColor(0x00FF00); }},
        {"STB", [](TSM_Settings& s) { s.SetSelTextBack(0x800000); }},
        {"TBC",
         [](TSM_Settings& s) {
             TTabColumns columns = emptyTabColumns();
             columns[0] = 4;
             columns[1] = 8;
             columns[2] = 20;
             s.SetTabStops(columns);
         }},
        {"TBD", [](TSM_Settings& s) { s.SetTabDefault(8); }},
        {"EFF",
         [](TSM_Settings& s) {
             s.SetFormatEntry(7, effect(fsBold | fsUnderline, 0xFF, 0xFFFF, true, false));
         }},
        {"EFF italic",
         [](TSM_Settings& s) { s.SetFormatEntry(255, effect(fsItalic, 0, 0xC0C0C0, false, true)); }},
        {"GDF", [](TSM_Settings& s) { s.SetDefaultMark(3, 1); }},
        {"MDF", [](TSM_Settings& s) { s.SetDefaultMark(0, 1); }},
        {"SDF", [](TSM_Settings& s) { s.SetDefaultMark(1, 1); }},
        {"BDF", [](TSM_Settings& s) { s.SetDefaultMark(2, 1); }},
        {"FOC",
         [](TSM_Settings& s) {
             s.SetFont({s.Font().Name, s.Font().Size, 204});
         }},
        {"RMG", [](TSM_Settings& s) { s.SetRightMargin(100); }},
        {"LNN",
         [](TSM_Settings& s) {
             auto f = s.GutterFont();
             f.Name = "Arial";
             s.SetGutterFont(f);
         }},
        {"LNS",
         [](TSM_Settings& s) {
             auto f = s.GutterFont();
             f.Size = 7;
             s.SetGutterFont(f);
         }},
        {"LNC",
         [](TSM_Settings& s) {
             auto f = s.GutterFont();
             f.Color = 0x0000FF;
             s.SetGutterFont(f);
         }},
        {"LNT",
         [](TSM_Settings& s) {
             auto f = s.GutterFont();
             f.CharSet = 238;
             s.SetGutterFont(f);
         }},
        {"LNE",
         [](TSM_Settings& s) {
             auto f = s.GutterFont();
             f.Style = fsBold | fsItalic | fsStrikeOut;
             s.SetGutterFont(f);
         }},
        {"MGC", [](TSM_Settings& s) { s.SetMarginColor(0xEEEEEE); }},
    };
    return changes;
}

TEST(StyleString, EveryFieldIsWrittenAndReadBack) {
    const TSM_Settings defaults;
    const std::string plain = StylesAsString(defaults);
    TSM_Settings all;
    for (const auto& change : fieldChanges()) {
        SCOPED_TRACE(change.field);
        TSM_Settings changed;
        change.apply(changed);
        change.apply(all);
        const std::string text = StylesAsString(changed);
        EXPECT_NE(text, plain);
        TSM_Settings read;
        StylesFromString(read, text);
        EXPECT_EQ(StylesAsString(read), text);
    }
    TSM_Settings read;
    StylesFromString(read, StylesAsString(all));
    EXPECT_EQ(StylesAsString(read), StylesAsString(all));
    EXPECT_EQ(read.GetFormatEntry(7), all.GetFormatEntry(7));
    EXPECT_EQ(read.GutterFont(), all.GutterFont());
    EXPECT_EQ(read.GetTabStops(), all.GetTabStops());
}

TEST(StyleString, WritesVersionSixTaggedFieldsEndingWithEnd) {
    const std::string text = StylesAsString(TSM_Settings());
    EXPECT_EQ(text.rfind("Trelix6:OPT#8#67099632GWD#2#34", 0), 0u) << text;
    EXPECT_EQ(text.substr(text.size() - 5), "#END#");
}

TEST(StyleString, AnEffectEntryGivesColoursMarksAndStyle) {
    TSM_Settings s;
    StylesFromString(s, "Trelix6:EFF#20#1,5,255,16777215,YB;#END#");
    const TFormatEntry& e = s.GetFormatEntry(5);
    EXPECT_EQ(e.TextColor, 255);
    EXPECT_EQ(e.BackColor, 0xFFFFFF);
    EXPECT_EQ(e.DefaultText, 1);
    EXPECT_EQ(e.DefaultBack, 0);
    EXPECT_EQ(e.Style, fsBold);
    EXPECT_NE(e.InUse, 0);
}

TEST(StyleString, AllStylesDefinedAreCountedTruly) {
    TSM_Settings s;
    for (int i = 0; i < kFormatCount; ++i)
        s.SetFormatEntry(i, effect(0, i, 0xFFFFFF, false, false));
    const std::string text = StylesAsString(s);
    EXPECT_NE(text.find("EFF#"), std::string::npos);
    EXPECT_NE(text.find("#256,0,"), std::string::npos);
    TSM_Settings read;
    StylesFromString(read, text);
    EXPECT_EQ(read.GetFormatEntry(255).TextColor, 255);
}

TEST(StyleString, DamagedStringsAreRefusedAndChangeNothing) {
    const char* const bad[] = {
        "",
        "Trelix",
        "Trelix0:GWD#2#50#END#",
        "trelix6:GWD#2#50#END#",
        "Trelix4:GWD#2#50#END#",
        "Trelix6:GWD#2#50OPT#99#1#END#",              // length past the end
        "Trelix6:GWD#2#50OPT#99999999999999999999#1", // length past the end
        "Trelix6:GWD#2#50FOS#2#1x#END#",              // bad number
        "Trelix6:GWD#2#50EFF#3#257#END#",             // more than 256 styles
        "Trelix6:GWD#2#50EFF#7#1,256,;#END#",         // style value out of range
        "Trelix6:GWD#2#50EFF#5#3,1,;#END#",           // fewer styles than counted
        "Trelix6:GWD#2#50TBD#1#0#END#",               // tab width out of range
        "Trelix6:GWD#2#50TBC#3#9 5#END#",             // tab columns out of order
        "Trelix6:GWD#2#50IDS#3#300#END#",
        "Trelix6:GWD#2#50LNE#1#Q#END#",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        TSM_Settings s;
        const std::string before = StylesAsString(s);
        EXPECT_EQ(errorOf([&] { StylesFromString(s, text); }), kMsgInvalidStyleString);
        EXPECT_EQ(StylesAsString(s), before);
    }
}

TEST(StyleString, AnUnknownTagEndsTheFields) {
    TSM_Settings s;
    StylesFromString(s, "Trelix6:GWD#2#50ZZZ#1#1RMG#3#120#END#");
    EXPECT_EQ(s.Gutter(), 50);
    EXPECT_EQ(s.RightMargin(), 80);
}

} // namespace
} // namespace qorvi
