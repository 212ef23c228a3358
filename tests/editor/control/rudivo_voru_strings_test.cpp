// The control's text as a list of lines: whole text lines however long,
// edits through the control (so they can be undone and the selection is
// kept), and no empty entry for the line after a final line break.

#include "editor/control/rudivo_voru_strings.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"
#include "tests/editor/control/control_edit_support.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

TEST(RudivoVoruStrings, CountsLinesWithoutTheEmptyOneAfterTheLastBreak) {
    ControlFixture f;
    TRudivoVoruStrings& lines = f.ctl.Lines();
    EXPECT_EQ(lines.Count(), 0);
    f.ctl.SetText("a");
    EXPECT_EQ(lines.Count(), 1);
    f.ctl.SetText("a\r");
    EXPECT_EQ(lines.Count(), 1);
    f.ctl.SetText("a\r\r");
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Get(1), "");
    f.ctl.SetText("a\rbc\rdef");
    EXPECT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Get(1), "bc");
    EXPECT_EQ(lines.Get(2), "def");
    EXPECT_EQ(lines.Get(3), "");
    EXPECT_EQ(lines.Get(-1), "");
    EXPECT_EQ(lines.GetText(), "a\r\nbc\r\ndef\r\n");
}

TEST(RudivoVoruStrings, LongAndWrappedLinesComeBackWhole) {
    ControlFixture f;
    const std::string longLine(9000, 'x');
    f.ctl.SetText("first\r" + longLine + "\rlast");
    TRudivoVoruStrings& lines = f.ctl.Lines();
    ASSERT_EQ(lines.Count(), 3);
    EXPECT_EQ(lines.Get(1), longLine);
    EXPECT_EQ(lines.Get(2), "last");
    f.ctl.SetWrapColumn(10);
    f.ctl.SetWordWrap(true);
    f.ctl.SetText("alpha beta gamma delta\rz");
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Get(0), "alpha beta gamma delta");
    // Counting rows instead.
    lines.CountRows = true;
    EXPECT_GT(lines.Count(), 2);
    EXPECT_EQ(lines.Get(0), "alpha beta ");
    lines.CountRows = false;
}

TEST(RudivoVoruStrings, EditsGoThroughTheControlAndKeepTheSelection) {
    ControlFixture f;
    f.ctl.SetText("one\rtwo\rthree");
    f.ctl.SetSelection({9, 11}); // "hr" of three
    TRudivoVoruStrings& lines = f.ctl.Lines();
    lines.Put(1, "TWO!");
    EXPECT_EQ(shown(f.ctl.GetText()), "one|TWO!|three");
    EXPECT_EQ(f.ctl.GetSelText(), "hr");
    lines.Insert(0, "zero");
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|TWO!|three");
    EXPECT_EQ(f.ctl.GetSelText(), "hr");
    lines.Add("four");
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|TWO!|three|four");
    lines.Insert(99, "far"); // neither the line nor the one before it
    lines.Insert(-1, "neg");
    EXPECT_EQ(lines.Count(), 5);
    lines.Delete(2);
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|three|four");
    lines.Delete(3); // the last line: up to the end
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|three|");
    EXPECT_EQ(lines.Count(), 3);
    lines.Add("");
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|three||");
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(f.ctl.GetSelText(), "hr");
    // Every change is undone by the control's undo, back to the selection
    // the user had.
    EXPECT_TRUE(f.ctl.DoUndo());
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|three|");
    EXPECT_EQ(f.ctl.GetSelText(), "hr");
    EXPECT_TRUE(f.ctl.DoReDo());
    EXPECT_EQ(shown(f.ctl.GetText()), "zero|one|three||");
    while (f.ctl.DoUndo()) {
    }
    EXPECT_EQ(shown(f.ctl.GetText()), "one|two|three");
    EXPECT_EQ(f.ctl.GetSelText(), "hr");
    // An empty text takes its first line.
    f.ctl.SetText("");
    lines.Add("x");
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines.Get(0), "x");
    lines.AddStrings({"y", "z"});
    EXPECT_EQ(lines.GetText(), "x\r\ny\r\nz\r\n");
    lines.Clear();
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_FALSE(f.ctl.CanUndo());
}

TEST(RudivoVoruStrings, SetTextReplacesOnlyADifferentText) {
    ControlFixture f;
    TRudivoVoruStrings& lines = f.ctl.Lines();
    int changes = 0;
    f.ctl.OnChange = [&](TCustomRudivoVoru&) { ++changes; };
    lines.SetText("a\r\nb\nc");
    EXPECT_EQ(shown(f.ctl.GetText()), "a|b|c");
    const int after = changes;
    lines.SetText("a\nb\r\nc");
    EXPECT_EQ(changes, after);
    // A zero byte does not end the text: it is stored as it is, and what
    // follows it arrives.
    lines.SetText(std::string("nul\0after\nend", 13));
    EXPECT_EQ(shown(f.ctl.GetText()), std::string("nul\0after|end", 13));
}

TEST(RudivoVoruStrings, StreamsAndFilesAndUpdates) {
    ControlFixture f;
    TRudivoVoruStrings& lines = f.ctl.Lines();
    TMemoryStream in("x\r\ny");
    lines.LoadFromStream(in);
    EXPECT_EQ(lines.Count(), 2);
    TMemoryStream out;
    lines.SaveToStream(out);
    EXPECT_EQ(out.DataString(), "x\r\ny");
    TempDir dir;
    const std::string path = dir.path() + "/lines.txt";
    lines.SaveToFile(path);
    f.ctl.SetText("");
    lines.LoadFromFile(path);
    EXPECT_EQ(lines.Get(1), "y");
    lines.BeginUpdate();
    lines.BeginUpdate();
    f.host.invalidated.clear();
    lines.Add("z");
    lines.EndUpdate();
    EXPECT_TRUE(f.host.invalidated.empty());
    lines.EndUpdate();
    EXPECT_FALSE(f.host.invalidated.empty());
}

} // namespace
