#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/text_store.h"
#include "platform/safe_file_writer.h"
#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace qorvi {
namespace {

using test::readFile;
using test::writeFile;

// The control as the templates see it: a text and a caret.
struct FakeHost : MacroHost {
    explicit FakeHost(const std::string& text, std::int32_t at = -1) {
        store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
        caret = at < 0 ? store.NumChars() : at;
    }
    TTextStore& macroText() override { return store; }
    std::int32_t macroCaret() override { return caret; }
    void selectTypedPrefix(std::int32_t start, std::int32_t end) override { selected = {start, end}; }
    void collapseSelectionToEnd() override { collapsed = true; }
    void showMacroPopup(TMacroKeywords&, int index) override { popupIndex = index; }

    TTextStore store;
    std::int32_t caret = 0;
    std::pair<std::int32_t, std::int32_t> selected{-1, -1};
    bool collapsed = false;
    int popupIndex = -1;
};

struct Fired {
    std::string name;
    std::string replacement;
};

struct Templates : ::testing::Test {
    void SetUp() override {
        t.Define("for", "for loop", "for (|;;) {\r\n}");
        t.Define("fori", "counted loop", "for (int i = 0; i < |; ++i)");
        t.Define("or", "", "||");
        t.OnFire = [this](TMacroKeywords*, const std::string& name, std::string& replacement) {
            fired.push_back({name, replacement});
        };
    }
    bool ctrlJ(FakeHost& host, bool* handled = nullptr) {
        std::uint16_t key = 'J';
        bool h = false;
        const bool acted = t.KeyPressed(host, key, h, ssCtrl);
        if (handled)
            *handled = h;
        return acted;
    }
    TCodeTemplates t;
    std::vector<Fired> fired;
};

TEST_F(Templates, LongestNameEndingAtTheCaretFires) {
    FakeHost host("x = for");
    bool handled = false;
    EXPECT_TRUE(ctrlJ(host, &handled));
    EXPECT_TRUE(handled);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].name, "for");
    EXPECT_EQ(fired[0].replacement, "for (|;;) {\r}");
    EXPECT_EQ(t.TypedPrefix, "for");
}

TEST_F(Templates, NameIsMatchedCaseInsensitivelyAndReportedAsTyped) {
    FakeHost host("a FORI", 6);
    EXPECT_TRUE(ctrlJ(host));
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].name, "FORI");
    EXPECT_EQ(fired[0].replacement, "for (int i = 0; i < |; ++i)");
}

TEST_F(Templates, NameInsideALongerWordDoesNotExpand) {
    FakeHost host("xfor");
    EXPECT_TRUE(ctrlJ(host)); // the pick list opens instead
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(t.TypedPrefix, "xfor");
    // A name after a non-word character does expand.
    FakeHost paren("(for");
    ctrlJ(paren);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].name, "for");
}

TEST_F(Templates, UnknownWordOpensThePickListOnItsFirstMatch) {
    FakeHost host("int fo", 6);
    bool handled = false;
    EXPECT_TRUE(ctrlJ(host, &handled));
    EXPECT_TRUE(handled);
    EXPECT_TRUE(fired.empty());
    EXPECT_EQ(t.TypedPrefix, "fo");
    EXPECT_EQ(host.selected, (std::pair<std::int32_t, std::int32_t>(4, 6)));
    // Entries are sorted: for, fori, or.
    EXPECT_EQ(host.popupIndex, 0);
    EXPECT_EQ(t.PopupItemText(1), "counted loop\tfori");

    FakeHost inside("int fo", 5); // caret inside the word: no prefix
    ctrlJ(inside);
    EXPECT_EQ(t.TypedPrefix, "");
    EXPECT_EQ(inside.selected.first, -1);
}

TEST_F(Templates, PickListSearchAndFire) {
    EXPECT_EQ(t.PopupSearchKey('O'), 2);
    EXPECT_EQ(t.PopupSearch, "o");
    EXPECT_EQ(t.PopupSearchKey('z'), -1); // "oz" fails, "z" alone fails too
    EXPECT_EQ(t.PopupSearch, "");
    EXPECT_EQ(t.PopupSearchKey('f'), 0);
    EXPECT_EQ(t.PopupSearchKey('o'), 0);
    EXPECT_EQ(t.PopupSearchKey('r'), 0);
    EXPECT_EQ(t.PopupSearchKey('i'), 1);
    EXPECT_EQ(t.PopupSearchKey('o'), 2); // "forio" fails; "o" starts again

    FakeHost host("zz");
    t.TypedPrefix = "zz";
    t.FirePopupEntry(host, 1);
    EXPECT_TRUE(host.collapsed);
    ASSERT_EQ(fired.size(), 1u);
    EXPECT_EQ(fired[0].name, "");
    EXPECT_EQ(fired[0].replacement, "for (int i = 0; i < |; ++i)");
}

TEST_F(Templates, OtherKeysAndInactiveListsDoNothing) {
    FakeHost host("for");
    std::uint16_t key = 'K';
    bool handled = false;
    EXPECT_FALSE(t.KeyPressed(host, key, handled, ssCtrl));
    t.Active = false;
    EXPECT_FALSE(ctrlJ(host));
    EXPECT_TRUE(fired.empty());
}

TEST_F(Templates, ExpansionIndentsLaterLinesAndTakesOutTheCaretMarker) {
    int marker = 0;
    // Inserted at display column 9 (one-based): 8 blanks before the second line.
    const std::string text = t.PrepareExpansion("if (|) {\r\n}", 8, marker);
    EXPECT_EQ(text, "if () {\r        }");
    EXPECT_EQ(marker, 4);
    TAutoReplace a;
    EXPECT_EQ(a.PrepareExpansion("a|b\nc", 8, marker), "a|b\rc");
    EXPECT_EQ(marker, -1);
}

TEST_F(Templates, DefineReplacesRemoveDeletesAndNamesAreKnownExactly) {
    t.Define("FOR", "new", "x");
    std::string text;
    EXPECT_TRUE(t.IsTemplateKnown("For", text));
    EXPECT_EQ(text, "x");
    EXPECT_FALSE(t.IsTemplateKnown("fo", text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(t.Entries().size(), 3u);
    t.Remove("FORI");
    EXPECT_FALSE(t.IsTemplateKnown("fori", text));
    FakeHost host("fori");
    ctrlJ(host);
    EXPECT_TRUE(fired.empty()); // "fori" is gone; "for" is not at a word start there
    EXPECT_FALSE(t.GetIsEmpty());
    t.Clear();
    EXPECT_TRUE(t.GetIsEmpty());
}

TEST_F(Templates, AddMacroOfAPresentNameIsADuplicateWithTheNameReversed) {
    try {
        t.AddMacro("For", "", "again", false);
        FAIL() << "accepted";
    } catch (const EKeywords& e) {
        EXPECT_EQ(e.message(), "Duplicate keyword - 'rof'");
    }
    EXPECT_THROW(t.AddMacro(std::string(256, 'n'), "", "", false), EKeywords);
    EXPECT_EQ(t.Entries().size(), 3u);
}

TEST_F(Templates, StreamRoundTrip) {
    t.HotKey = scCtrl | scShift | VK_SPACE;
    t.Active = false;
    TMemoryStream s;
    t.SaveToStream(s);
    s.SetPosition(0);
    TCodeTemplates back;
    back.LoadFromStream(s);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    ASSERT_EQ(back.Entries().size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back.Entries()[i]->Name, t.Entries()[i]->Name);
        EXPECT_EQ(back.Entries()[i]->Description, t.Entries()[i]->Description);
        EXPECT_EQ(back.Entries()[i]->Replacement, t.Entries()[i]->Replacement);
    }
    EXPECT_EQ(back.HotKey, scCtrl | scShift | VK_SPACE);
    EXPECT_FALSE(back.Active);
    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(again.DataString(), s.DataString());
}

TEST(TemplateStream, LayoutOfOneEntry) {
    TCodeTemplates t;
    t.Define("ab", "d", "x\ry");
    TMemoryStream s;
    t.SaveToStream(s);
    EXPECT_EQ(s.DataString(), std::string("\x01\x00\x00\x00"
                                          "\x02"
                                          "ab"
                                          "\x01"
                                          "d"
                                          "\x03\x00\x00\x00"
                                          "x\ry"
                                          "\x06\x00\x00\x00"
                                          "Ctrl+J"
                                          "\x01",
                                          27));
}

TEST_F(Templates, BadStreamsLeaveTheTemplatesAsTheyWere) {
    TMemoryStream s;
    t.SaveToStream(s);
    const std::string bytes = s.DataString();
    TCodeTemplates target;
    target.Define("keep", "", "kept");
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        TMemoryStream truncated(bytes.substr(0, cut));
        EXPECT_THROW(target.LoadFromStream(truncated), EStreamError) << "cut at " << cut;
    }
    // The same name twice.
    TMemoryStream dup;
    SWriteLongint(dup, 2);
    for (int i = 0; i < 2; ++i) {
        SWriteShortString(dup, "same");
        SWriteShortString(dup, "");
        SWriteString(dup, "x");
    }
    SWriteString(dup, "Ctrl+J");
    SWriteByteBoolean(dup, true);
    dup.SetPosition(0);
    EXPECT_THROW(target.LoadFromStream(dup), EKeywords);
    // A replacement length beyond the stream.
    std::string corrupt = bytes;
    corrupt[4 + 1 + 3 + 1 + 8] = '\x7F';
    TMemoryStream bad(corrupt);
    EXPECT_THROW(target.LoadFromStream(bad), EStreamError);

    std::string text;
    ASSERT_EQ(target.Entries().size(), 1u);
    EXPECT_TRUE(target.IsTemplateKnown("keep", text));
}

TEST_F(Templates, AssignAcceptsTemplateListsOnly) {
    TCodeTemplates copy;
    copy.Assign(t);
    EXPECT_EQ(copy.Entries().size(), 3u);
    TAutoReplace other;
    other.AddEntry("teh", "the");
    copy.Assign(other);
    ASSERT_EQ(copy.Entries().size(), 1u);
    EXPECT_EQ(copy.Entries()[0]->Name, "teh");
    other.Assign(t); // templates into an auto-replace list: the keys stay
    EXPECT_EQ(other.Entries().size(), 3u);
    EXPECT_EQ(other.ActivateKeyText(), kDefaultActivateKeys);
    try {
        copy.Assign(TSM_CharGroup());
        FAIL() << "accepted";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Cannot assign TSM_CharGroup to TCodeTemplates");
    }
}

TEST_F(Templates, TemplateFileRoundTrip) {
    test::TempDir dir;
    const std::string path = dir.file("cpp.tpl");
    t.Define("empty", "nothing", "");
    t.Define("blank", "ends in a break", "line\r");
    t.SaveToFile(path);
    EXPECT_EQ(readFile(path).substr(0, 22), "[blank | ends in a bre");
    TCodeTemplates back;
    back.LoadFromFile(path);
    ASSERT_EQ(back.Entries().size(), t.Entries().size());
    for (std::size_t i = 0; i < t.Entries().size(); ++i) {
        EXPECT_EQ(back.Entries()[i]->Name, t.Entries()[i]->Name);
        EXPECT_EQ(back.Entries()[i]->Description, t.Entries()[i]->Description);
        EXPECT_EQ(back.Entries()[i]->Replacement, t.Entries()[i]->Replacement) << t.Entries()[i]->Name;
    }
    // Nothing is left beside the file.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(TemplateFile, BodyLineStartingWithABracketStartsANewTemplate) {
    TCodeTemplates t;
    t.Define("arr", "array", "int a[3];\r[index] = 0;");
    test::TempDir dir;
    t.SaveToFile(dir.file("t.tpl"));
    TCodeTemplates back;
    back.LoadFromFile(dir.file("t.tpl"));
    ASSERT_EQ(back.Entries().size(), 2u);
    std::string text;
    EXPECT_TRUE(back.IsTemplateKnown("arr", text));
    EXPECT_EQ(text, "int a[3];");
    EXPECT_TRUE(back.IsTemplateKnown("index", text));
    EXPECT_EQ(text, "");
}

TEST(TemplateFile, AcceptsLfCrLfAndCrLineBreaks) {
    test::TempDir dir;
    for (const std::string& eol : {std::string("\n"), std::string("\r\n"), std::string("\r")}) {
        const std::string text = "preamble" + eol + "[ If | if block ] trailing" + eol + "if (|)" + eol +
                                 "{" + eol + "}" + eol + "[while|]" + eol + "while ()" + eol;
        writeFile(dir.file("t.tpl"), text);
        TCodeTemplates t;
        t.LoadFromFile(dir.file("t.tpl"));
        ASSERT_EQ(t.Entries().size(), 2u);
        EXPECT_EQ(t.Entries()[0]->Name, "if");
        EXPECT_EQ(t.Entries()[0]->Description, "if block");
        EXPECT_EQ(t.Entries()[0]->Replacement, "if (|)\r{\r}");
        EXPECT_EQ(t.Entries()[1]->Name, "while");
        EXPECT_EQ(t.Entries()[1]->Replacement, "while ()");
    }
}

TEST(TemplateFile, MissingOrBadFileLeavesTheTemplatesAsTheyWere) {
    test::TempDir dir;
    TCodeTemplates t;
    t.Define("keep", "", "kept");
    const std::string missing = dir.file("none.tpl");
    try {
        t.LoadFromFile(missing);
        FAIL() << "missing file accepted";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.message(), "Cannot open file \"" + missing + "\" for reading");
    }
    writeFile(dir.file("dup.tpl"), "[a]\nx\n[A]\ny\n");
    EXPECT_THROW(t.LoadFromFile(dir.file("dup.tpl")), EKeywords);
    std::string text;
    ASSERT_EQ(t.Entries().size(), 1u);
    EXPECT_TRUE(t.IsTemplateKnown("keep", text));
}

TEST(TemplateFile, FailedSaveKeepsTheOldFile) {
    test::TempDir dir;
    const std::string path = dir.file("t.tpl");
    writeFile(path, "[old]\nbody\n");
    TCodeTemplates t;
    t.Define("new", "", "text");
    SafeFileWriter::failNext(SafeFileWriter::FailAt::Rename);
    EXPECT_THROW(t.SaveToFile(path), QorviError);
    EXPECT_EQ(readFile(path), "[old]\nbody\n");
    t.SaveToFile(path);
    EXPECT_EQ(readFile(path), "[new | ]\ntext\n");
}

} // namespace
} // namespace qorvi
