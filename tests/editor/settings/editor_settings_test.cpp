#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "editor/settings/settings_client.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "tests/support/recording_canvas.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

struct FakeControl : SettingsClient {
    Canvas& resourceCanvas() override { return canvas; }
    void settingsChanged() override { ++changes; }
    RecordingCanvas canvas;
    int changes = 0;
};

std::string streamOf(const TSM_Settings& s) {
    TMemoryStream m;
    s.SaveToStream(m);
    return m.DataString();
}

// Settings with every field away from its default.
void fillEverything(TSM_Settings& s) {
    s.SetScriptText("sample text");
    s.SetLanguageName("Toy");
    s.SetWrapOverride("#");
    s.SetOptions(smoLineNumbers | smoWordWrap | smoShowAllChars);
    s.SetMargin(5);
    s.SetRightMargin(72);
    s.SetWrapAtColumn(60);
    s.SetGutter(40);
    s.SetIndentStep(3);
    s.SetMarginColor(clYellow);
    s.SetGutterColor(clGray);
    s.SetSelTextColor(clRed);
    s.SetSelTextBack(clNavy);
    s.SetTabDefault(8);
    TTabColumns stops = emptyTabColumns();
    stops[0] = 3;
    stops[1] = 11;
    s.SetTabStops(stops);
    s.SetFormatEntry(7, TFormatEntry{fsBold | fsItalic, clBlue, clSilver, 1, 0, 1, 1});
    s.SetFormatEntry(255, TFormatEntry{fsUnderline, clGreen, clWhite, 0, 1, 0, 5});
    s.SetMapEntry(3, 7);
    s.SetMapEntry(200, 255);
    s.SetEditableEntry(1, TEditableEntry{"Keyword", 0, 7});
    s.SetEditableEntry(2, TEditableEntry{"A rather long style name past 24", 0, 200});
    s.SetFont(TFontSpec{"Liberation Mono", 12, 0, clWindowText, 0});
    s.SetGutterFont(TFontSpec{"DejaVu Sans", 9, 0, clMaroon, fsBold});
    s.SetDefaultMark(0, 1);
    s.SetDefaultMark(3, 1);
    s.DefineKeywordTable({2}, "[^a-z]", false, {{"select", 40}, {"from", 41}});
    s.AutoReplace().AddEntry("teh", "the");
    s.AutoReplace().SetActivateKeys("\\s");
    s.Templates().Define("for", "loop", "for (|;;)\r{\r}");
    s.KeyMap().DefineKeyAction(VK_F5, 0, caUNDO);
}

TEST(Settings, FreshSettingsHaveTheDefaults) {
    TSM_Settings s;
    for (auto off : {smoWordWrap, smoWrapOverride, smoCaretAfterEOL, smoLineNumbers, smoShowAllChars})
        EXPECT_FALSE(s.HasOption(off)) << off;
    for (auto on : {smoSyntaxHighlight, smoPrintWrap,           smoPrintLineNos,
                    smoPrintFilename,   smoPrintDate,           smoPrintPageNos,
                    smoAutoIndent,      smoTabToColumn,         smoWordSelect,
                    smoShowRMargin,     smoShowGutter,          smoShowWrapColumn,
                    smoTitleAsFilename, smoProcessDroppedFiles, smoBlockOverwriteCursor,
                    smoShowWrapGlyph,   smoColumnTrack,         smoUseTAB,
                    smoSmartFill,       smoOLEDragSource})
        EXPECT_TRUE(s.HasOption(on)) << on;
    EXPECT_EQ(s.Options(), 0x03FFDBF0u);
    EXPECT_EQ(s.LanguageName(), "<Custom language>");
    EXPECT_EQ(s.WrapOverride(), ">|:");
    EXPECT_EQ(s.Margin(), 2);
    EXPECT_EQ(s.RightMargin(), 80);
    EXPECT_EQ(s.WrapAtColumn(), 0);
    EXPECT_EQ(s.Gutter(), 34);
    EXPECT_EQ(s.IndentStep(), 1);
    EXPECT_EQ(s.MarginColor(), 0xFFFFFF);
    EXPECT_EQ(s.GutterColor(), static_cast<TColor>(0x8000000F));
    EXPECT_EQ(s.SelTextColor(), clHighlightText);
    EXPECT_EQ(s.SelTextBack(), clHighlight);
    EXPECT_EQ(s.TabDefault(), 4);
    EXPECT_EQ(s.GetTabStops(), emptyTabColumns());
    EXPECT_EQ(s.GetFormatEntry(0), (TFormatEntry{0, 0, 0xFFFFFF, 0, 0, 0, 1}));
    EXPECT_EQ(s.GetFormatEntry(1).InUse, 0);
    EXPECT_EQ(s.GetMapEntry(9), 0);
    EXPECT_EQ(s.GetEditableEntry(50).Name, "");
    EXPECT_EQ(s.Font().Name, "Courier New");
    EXPECT_EQ(s.Font().Size, 10);
    EXPECT_GT(s.FormatVersion(), 50);
    EXPECT_EQ(s.KeyMap().KeyStore().BindingCount(), 48);
    EXPECT_EQ(s.AutoReplace().ActivateKeyText(), kDefaultActivateKeys);
    EXPECT_TRUE(s.Templates().GetIsEmpty());
    EXPECT_EQ(s.KeywordTables().Trie(), nullptr);
}

TEST(Settings, ResetRestoresEveryDefault) {
    TSM_Settings fresh;
    TSM_Settings s;
    fillEverything(s);
    EXPECT_NE(streamOf(s), streamOf(fresh));
    s.Reset();
    EXPECT_EQ(streamOf(s), streamOf(fresh));
}

TEST(Settings, TabStopsAreSortedAndBounded) {
    TSM_Settings s;
    TTabColumns stops = emptyTabColumns();
    stops[0] = 9;
    stops[1] = 5;
    stops[2] = 17;
    s.SetTabStops(stops);
    EXPECT_EQ(s.GetTabStop(0), 5);
    EXPECT_EQ(s.GetTabStop(1), 9);
    EXPECT_EQ(s.GetTabStop(2), 17);
    EXPECT_EQ(s.GetTabStop(3), -1);
    EXPECT_EQ(s.NextTabStop(9), 17);
    // A column beyond 4096 (or below 1) ends the list there.
    stops[1] = 5000;
    s.SetTabStops(stops);
    EXPECT_EQ(s.GetTabStop(0), 9);
    EXPECT_EQ(s.GetTabStop(1), -1);
    EXPECT_EQ(s.GetTabStop(2), -1);
    EXPECT_THROW(s.SetTabStop(0, 4097), ERudivoVoru);
    EXPECT_THROW(s.SetTabStop(32, 5), ERudivoVoru);
    try {
        s.SetTabDefault(0);
        FAIL() << "accepted";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "=Illegal default tab stop value, must be > 0");
    }
    EXPECT_THROW(s.SetTabDefault(-4), ERudivoVoru);
    EXPECT_THROW(s.SetTabDefault(5000), ERudivoVoru);
    EXPECT_EQ(s.TabDefault(), 4);
}

TEST(Settings, IndexesOutsideTheirTablesAreRefused) {
    TSM_Settings s;
    EXPECT_THROW(s.GetFormatEntry(256), ERudivoVoru);
    EXPECT_THROW(s.SetMapEntry(-1, 0), ERudivoVoru);
    EXPECT_THROW(s.GetEditableEntry(0), ERudivoVoru);
    EXPECT_THROW(s.SetEditableEntry(51, {}), ERudivoVoru);
    EXPECT_THROW(s.DefaultMark(4), ERudivoVoru);
}

TEST(Settings, HotSpotStylesAreFoundAndTheAnswerFollowsChanges) {
    TSM_Settings s;
    EXPECT_FALSE(s.GetHasActiveSites());
    TFormatEntry link{fsUnderline, clBlue, clWhite, 0, 0, 1, 0};
    s.SetFormatEntry(9, link); // not in use yet
    EXPECT_FALSE(s.GetHasActiveSites());
    link.InUse = 1;
    s.SetFormatEntry(9, link);
    EXPECT_TRUE(s.GetHasActiveSites());
}

TEST(Settings, ResourcesLiveWhileControlsAreAttached) {
    TSM_Settings s;
    TFormatEntry bold;
    bold.Style = fsBold;
    bold.InUse = 1;
    s.SetFormatEntry(4, bold);
    FakeControl a, b;
    EXPECT_EQ(s.Resources(), nullptr);
    s.AddRef(&a);
    ASSERT_NE(s.Resources(), nullptr);
    const SettingsResources* first = s.Resources();
    s.AddRef(&a); // listed once
    s.AddRef(&b);
    EXPECT_EQ(s.RefCount(), 2);
    EXPECT_EQ(s.Resources(), first);
    ASSERT_TRUE(s.Resources()->fonts[0].has_value());
    ASSERT_TRUE(s.Resources()->fonts[4].has_value());
    EXPECT_FALSE(s.Resources()->fonts[5].has_value());
    // 10 points at 96 dots per inch.
    EXPECT_EQ(s.Resources()->fonts[0]->height, -13);
    EXPECT_EQ(s.Resources()->fonts[0]->name, "Courier New");
    EXPECT_EQ(s.Resources()->fonts[4]->weight, 700);
    EXPECT_TRUE(s.Resources()->markers.empty());

    s.Release(&a);
    EXPECT_NE(s.Resources(), nullptr);
    s.Release(&a);
    EXPECT_EQ(s.RefCount(), 1);
    s.Release(&b);
    EXPECT_EQ(s.RefCount(), 0);
    EXPECT_EQ(s.Resources(), nullptr);
}

TEST(Settings, ShowAllCharsMakesTheMarkers) {
    TSM_Settings s;
    s.SetOptions(s.Options() | smoShowAllChars);
    FakeControl c;
    s.AddRef(&c);
    ASSERT_EQ(s.Resources()->markers.size(), 3u);
    EXPECT_EQ(s.Resources()->markers[0].character, 182);
    EXPECT_EQ(s.Resources()->markers[1].font.name, "Symbol");
    EXPECT_EQ(s.Resources()->markers[2].character, 191);
    EXPECT_EQ(s.Resources()->markers[2].width, RecordingCanvas::kCharWidth);
}

TEST(Settings, MakeFontFollowsTheDeviceResolution) {
    RecordingCanvas printer(300);
    const CanvasFont f = TSM_Settings::MakeFont("Arial", 12, fsItalic | fsStrikeOut, printer, 0);
    EXPECT_EQ(f.height, -50);
    EXPECT_EQ(f.weight, 400);
    EXPECT_TRUE(f.italic);
    EXPECT_TRUE(f.strikeOut);
    EXPECT_FALSE(f.underline);
    EXPECT_EQ(TSM_Settings::MakeFont("Arial", -11, 0, printer, 0).height, -11);
    EXPECT_EQ(TSM_Settings::MakeFont("Arial", INT32_MAX, 0, printer, 0).height, -32767);
}

TEST(Settings, GutterFontChangeRefreshesEveryAttachedControl) {
    TSM_Settings s;
    FakeControl a, b, detached;
    s.AddRef(&a);
    s.AddRef(&b);
    s.SetGutterFont(TFontSpec{"DejaVu Sans", 9, 0, clBlack, 0});
    EXPECT_EQ(a.changes, 1);
    EXPECT_EQ(b.changes, 1);
    EXPECT_EQ(detached.changes, 0);
    EXPECT_EQ(s.GutterFont().Name, "DejaVu Sans");
}

TEST(Settings, ResetKeepsResourcesForAttachedControls) {
    TSM_Settings s;
    FakeControl c;
    s.AddRef(&c);
    s.Reset();
    EXPECT_NE(s.Resources(), nullptr);
    EXPECT_EQ(s.RefCount(), 1);
}

TEST(SettingsStream, RoundTripKeepsEveryField) {
    TSM_Settings s;
    fillEverything(s);
    const std::string bytes = streamOf(s);
    TSM_Settings back;
    TMemoryStream in(bytes);
    back.LoadFromStream(in);
    EXPECT_EQ(in.GetPosition(), in.GetSize());
    EXPECT_EQ(streamOf(back), bytes);

    EXPECT_EQ(back.ScriptText(), "sample text");
    EXPECT_EQ(back.LanguageName(), "Toy");
    EXPECT_EQ(back.WrapOverride(), "#");
    EXPECT_EQ(back.Options(), smoLineNumbers | smoWordWrap | smoShowAllChars);
    EXPECT_EQ(back.Margin(), 5);
    EXPECT_EQ(back.RightMargin(), 72);
    EXPECT_EQ(back.WrapAtColumn(), 60);
    EXPECT_EQ(back.Gutter(), 40);
    EXPECT_EQ(back.IndentStep(), 3);
    EXPECT_EQ(back.MarginColor(), clYellow);
    EXPECT_EQ(back.GutterColor(), clGray);
    EXPECT_EQ(back.SelTextColor(), clRed);
    EXPECT_EQ(back.SelTextBack(), clNavy);
    EXPECT_EQ(back.TabDefault(), 8);
    EXPECT_EQ(back.GetTabStop(1), 11);
    for (int i = 0; i < kFormatCount; ++i)
        EXPECT_EQ(back.GetFormatEntry(i), s.GetFormatEntry(i)) << i;
    EXPECT_EQ(back.GetMapEntry(200), 255);
    EXPECT_EQ(back.GetEditableEntry(1), (TEditableEntry{"Keyword", 0, 7}));
    EXPECT_EQ(back.GetEditableEntry(2).Name, "A rather long style name past 24");
    EXPECT_EQ(back.Font(), s.Font());
    EXPECT_EQ(back.GutterFont(), s.GutterFont());
    EXPECT_EQ(back.DefaultMark(0), 1);
    EXPECT_EQ(back.DefaultMark(1), 0);
    EXPECT_EQ(back.DefaultMark(3), 1);
    ASSERT_NE(back.KeywordTables().Trie(), nullptr);
    EXPECT_EQ(back.KeywordTables().Slot(0)->Words[1].first, "from");
    std::string text;
    EXPECT_TRUE(back.Templates().IsTemplateKnown("for", text));
    EXPECT_EQ(text, "for (|;;)\r{\r}");
    EXPECT_TRUE(back.AutoReplace().IsTemplateKnown("teh", text));
    EXPECT_EQ(back.AutoReplace().ActivateKeyText(), "\\s");
    TShortCut k1 = 0, k2 = 0;
    ASSERT_TRUE(back.KeyMap().GetFirstKeyPair(caUNDO, k1, k2));
    ASSERT_TRUE(back.KeyMap().GetNextKeyPair(caUNDO, k1, k2));
    EXPECT_EQ(k1, VK_F5);
}

TEST(SettingsStream, OlderVersionsCarryNoGutterFont) {
    TSM_Settings s;
    fillEverything(s);
    const std::string current = streamOf(s);
    s.SetFormatVersion(50);
    const std::string old = streamOf(s);
    ASSERT_LT(old.size(), current.size());
    EXPECT_EQ(current.substr(0, old.size()), old);
    // The gutter font: string, size, charset, colour, style.
    EXPECT_EQ(current.size() - old.size(), 4 + std::string("DejaVu Sans").size() + 4 + 1 + 4 + 1);

    TSM_Settings reader;
    reader.SetFormatVersion(50);
    TMemoryStream in(old);
    reader.LoadFromStream(in);
    EXPECT_EQ(in.GetPosition(), in.GetSize());
    EXPECT_EQ(reader.LanguageName(), "Toy");
    EXPECT_EQ(reader.GutterFont().Name, "MS Sans Serif"); // kept, not read

    // The current layout reader finds the gutter font missing.
    TSM_Settings strict;
    TMemoryStream short_(old);
    EXPECT_THROW(strict.LoadFromStream(short_), EStreamError);
    EXPECT_EQ(strict.LanguageName(), "<Custom language>");
}

TEST(SettingsStream, AssignCopiesAtTheCurrentLayout) {
    TSM_Settings s;
    fillEverything(s);
    s.SetFormatVersion(50);
    TSM_Settings copy;
    copy.Assign(s);
    EXPECT_EQ(copy.GutterFont().Name, "DejaVu Sans");
    EXPECT_GT(copy.FormatVersion(), 50);
    EXPECT_EQ(s.FormatVersion(), 50);
    EXPECT_THROW(copy.Assign(TCodeTemplates()), ERudivoVoru);
}

// `bytes` with `replacing` bytes at `at` replaced by `with`.
std::string patched(const std::string& bytes, std::size_t at, const std::string& with,
                    std::size_t replacing) {
    std::string out = bytes;
    out.replace(at, replacing, with);
    return out;
}

std::string int32Bytes(std::int32_t v) {
    TMemoryStream m;
    SWriteLongint(m, v);
    return m.DataString();
}

TEST(SettingsStream, UnusableTabWidthReadsAsTheDefault) {
    TSM_Settings s;
    s.SetScriptText("");
    s.SetLanguageName("L");
    s.SetWrapOverride("");
    const std::string bytes = streamOf(s);
    // Three strings of 4 + 0, 4 + 1, 4 + 0 bytes, the options, then 9 integers.
    const std::size_t tabDefaultAt = 4 + 5 + 4 + 4 + 9 * 4;
    ASSERT_EQ(bytes.substr(tabDefaultAt, 4), int32Bytes(4));
    for (std::int32_t bad : {0, -7, 100000}) {
        TSM_Settings back;
        back.SetTabDefault(6);
        TMemoryStream in(patched(bytes, tabDefaultAt, int32Bytes(bad), 4));
        back.LoadFromStream(in);
        EXPECT_EQ(back.TabDefault(), 4) << bad;
    }
}

TEST(SettingsStream, EditableEntriesBeyondFiftyAreIgnored) {
    TSM_Settings s;
    for (int i = 1; i <= kEditableCount; ++i)
        s.SetEditableEntry(i, TEditableEntry{"e" + std::to_string(i), 0, static_cast<std::uint8_t>(i)});
    const std::string bytes = streamOf(s);
    const std::string firstEntry = int32Bytes(2) + "e1";
    const std::size_t countAt = bytes.find(firstEntry) - 4;
    ASSERT_EQ(bytes.substr(countAt, 4), int32Bytes(50));
    const std::string lastEntry = int32Bytes(3) + "e50" + std::string(1, '\x32');
    const std::size_t afterLast = bytes.find(lastEntry) + lastEntry.size();
    std::string more = patched(bytes, countAt, int32Bytes(52), 4);
    more.insert(afterLast,
                int32Bytes(3) + "e51" + '\x33' + int32Bytes(1000) + std::string(1000, 'x') + '\x34');
    TSM_Settings back;
    TMemoryStream in(more);
    back.LoadFromStream(in);
    EXPECT_EQ(in.GetPosition(), in.GetSize());
    EXPECT_EQ(back.GetEditableEntry(50).Name, "e50");
    EXPECT_EQ(back.GetEditableEntry(1).Value, 1);
    EXPECT_EQ(back.KeyMap().KeyStore().BindingCount(), 48);
}

TEST(SettingsStream, TruncatedOrCorruptStreamsLeaveTheSettingsAsTheyWere) {
    TSM_Settings source;
    fillEverything(source);
    const std::string bytes = streamOf(source);
    TSM_Settings target;
    target.SetLanguageName("Untouched");
    FakeControl control;
    target.AddRef(&control);
    const std::string before = streamOf(target);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        TMemoryStream truncated(bytes.substr(0, cut));
        EXPECT_THROW(target.LoadFromStream(truncated), QorviError) << "cut at " << cut;
    }
    // A format count larger than the stream can hold.
    const std::size_t formatCountAt = 4 + 11 + 4 + 3 + 4 + 1 + 4 + 10 * 4;
    ASSERT_EQ(bytes.substr(formatCountAt, 4), int32Bytes(3));
    TMemoryStream huge(patched(bytes, formatCountAt, int32Bytes(0x10000000), 4));
    EXPECT_THROW(target.LoadFromStream(huge), EStreamError);
    TMemoryStream negative(patched(bytes, formatCountAt, int32Bytes(-1), 4));
    EXPECT_THROW(target.LoadFromStream(negative), EStreamError);
    EXPECT_EQ(streamOf(target), before);
    EXPECT_EQ(target.RefCount(), 1);
    EXPECT_NE(target.Resources(), nullptr);
}

} // namespace
} // namespace qorvi
