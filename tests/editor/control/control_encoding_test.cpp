// The control in a UTF-8 and a Windows-1252 document: the caret and every
// deletion step over whole characters (grapheme clusters), columns count
// cells, typed and pasted Unicode becomes the document's bytes or is
// refused, copies leave as Unicode, and files keep every byte not edited.

#include "editor/control/rudivo_voru.h"
#include "editor/undo/undo_stack.h"
#include "platform/clipboard_port.h"
#include "tests/editor/control/control_edit_support.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

constexpr int kLeft = 36; // gutter 34 + margin 2
constexpr int kCell = 8;

// One character of the mixed line: its bytes and its cells.
struct Piece {
    std::string bytes;
    int cells;
};

const std::vector<Piece>& mixedLine() {
    static const std::vector<Piece> pieces = {
        {"a", 1},
        {"\xC3\xA9", 1},                                  // é
        {"\xE4\xB8\xAD", 2},                              // 中
        {"e\xCC\x81", 1},                                 // e + combining acute
        {"\xF0\x9F\x98\x80", 2},                          // 😀
        {"\xE9", 2},                                      // a stray byte: its hex box
        {"\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB", 2}, // woman + ZWJ + laptop
        {"\t", 1},                                        // to the tab stop at column 12
        {"z", 1},
    };
    return pieces;
}

std::string joined(const std::vector<Piece>& pieces, std::size_t skip = SIZE_MAX) {
    std::string text;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        if (i != skip)
            text += pieces[i].bytes;
    return text;
}

struct Utf8Editor : Editor {
    Utf8Editor() {
        ctl.SetEncoding(TextEncoding::Utf8);
        ctl.SetText(joined(mixedLine()) + "\rnext");
        ctl.SetDefTabStop(4);
    }
};

} // namespace

TEST(ControlEncoding, CaretDeletionAndColumnsStepOverWholeCharactersInUtf8) {
    Utf8Editor e;
    const auto& pieces = mixedLine();
    std::vector<std::int32_t> starts{0};
    std::vector<std::int32_t> columns{0};
    for (const Piece& p : pieces) {
        starts.push_back(starts.back() + static_cast<std::int32_t>(p.bytes.size()));
        columns.push_back(columns.back() + p.cells);
    }
    // Right visits each start once and the caret column counts cells; Left
    // comes back the same way.
    e.ctl.SetSelection({0, 0});
    for (std::size_t i = 1; i < starts.size(); ++i) {
        press(e.ctl, VK_RIGHT);
        ASSERT_EQ(e.caret(), starts[i]) << i;
        EXPECT_EQ(e.ctl.CaretColumn(), columns[i]) << i;
        EXPECT_EQ(e.ctl.CaretRect().left, kLeft + columns[i] * kCell) << i;
    }
    for (std::size_t i = starts.size() - 1; i-- > 0;) {
        press(e.ctl, VK_LEFT);
        ASSERT_EQ(e.caret(), starts[i]) << i;
    }
    // Shift+End selects up to the line end, Home returns to the start.
    press(e.ctl, VK_END, ssShift);
    EXPECT_EQ(e.ctl.GetSelection(), (TChRange{0, starts.back()}));
    press(e.ctl, VK_HOME);
    EXPECT_EQ(e.caret(), 0);
    // A click anywhere on the row lands on a character's start, the one
    // whose cells the point is nearest to.
    for (int x = kLeft; x < kLeft + (columns.back() + 2) * kCell; ++x) {
        const std::int32_t index = e.ctl.IndexFromPos(x, 2);
        EXPECT_NE(std::find(starts.begin(), starts.end(), index), starts.end()) << x;
    }
    for (std::size_t i = 0; i + 1 < starts.size(); ++i)
        EXPECT_EQ(e.ctl.IndexFromPos(kLeft + columns[i] * kCell + 1, 2), starts[i]) << i;
    // Backspace after a character and Delete before it remove it whole.
    const std::string original = e.ctl.GetText();
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string expected = joined(pieces, i) + "\rnext";
        e.ctl.SetSelection({starts[i + 1], starts[i + 1]});
        press(e.ctl, VK_BACK);
        EXPECT_EQ(e.ctl.GetText(), expected) << i;
        EXPECT_EQ(e.caret(), starts[i]);
        e.ctl.DoUndo();
        ASSERT_EQ(e.ctl.GetText(), original);
        e.ctl.SetSelection({starts[i], starts[i]});
        press(e.ctl, VK_DELETE);
        EXPECT_EQ(e.ctl.GetText(), expected) << i;
        e.ctl.DoUndo();
        ASSERT_EQ(e.ctl.GetText(), original);
    }
}

TEST(ControlEncoding, AWindows1252DocumentMovesByteByByte) {
    Utf8Editor e;
    e.ctl.SetEncoding(TextEncoding::Windows1252);
    const auto length = static_cast<std::int32_t>(joined(mixedLine()).size());
    e.ctl.SetSelection({0, 0});
    for (std::int32_t i = 1; i <= length; ++i) {
        press(e.ctl, VK_RIGHT);
        ASSERT_EQ(e.caret(), i);
    }
    EXPECT_EQ(e.ctl.CaretColumn(), length + 2); // the tab went from column 26 to 28
}

TEST(ControlEncoding, WordsHoldMultiByteCharactersWhole) {
    Editor e;
    e.ctl.SetEncoding(TextEncoding::Utf8);
    const std::string cafe = "caf\xC3\xA9";
    const std::string cjk = "\xE4\xB8\xAD\xE6\x96\x87";
    e.ctl.SetText("x " + cafe + " " + cjk + " y");
    e.ctl.SetSelection({4, 4});
    e.ctl.DoSelectWord();
    EXPECT_EQ(e.ctl.GetSelText(), cafe);
    e.ctl.SetSelection({0, 0});
    ctrl(e.ctl, VK_RIGHT);
    EXPECT_EQ(e.caret(), 2);
    ctrl(e.ctl, VK_RIGHT);
    EXPECT_EQ(e.caret(), 8);
    ctrl(e.ctl, VK_RIGHT);
    EXPECT_EQ(e.caret(), 15);
    ctrl(e.ctl, VK_BACK);
    EXPECT_EQ(e.ctl.GetText(), "x " + cafe + " y");
}

TEST(ControlEncoding, TypedTextBecomesTheDocumentsBytesOrIsRefused) {
    const std::string typed = "\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"; // é中😀
    {
        Editor e;
        e.ctl.SetEncoding(TextEncoding::Utf8);
        e.ctl.KeyPressText(typed);
        EXPECT_EQ(e.ctl.GetText(), typed);
        EXPECT_EQ(e.caret(), static_cast<std::int32_t>(typed.size()));
        // Overwrite takes the whole character under the caret.
        e.ctl.SetSelection({2, 2});
        press(e.ctl, VK_INSERT);
        e.ctl.KeyPressText("x");
        EXPECT_EQ(e.ctl.GetText(), "\xC3\xA9x\xF0\x9F\x98\x80");
    }
    {
        Editor e;
        std::vector<std::string> refused;
        e.ctl.OnEncodingRefused = [&](TCustomRudivoVoru&, const std::string& c) {
            refused.push_back(c);
            return false;
        };
        e.ctl.KeyPressText("\xC3\xA9\xE2\x82\xAC"); // é€
        EXPECT_EQ(e.ctl.GetText(), "\xE9\x80");
        e.ctl.KeyPressText(typed);
        EXPECT_EQ(e.ctl.GetText(), "\xE9\x80"); // nothing, and never a question mark
        EXPECT_EQ(refused, std::vector<std::string>{"\xE4\xB8\xAD"});
        // Accepting the offer converts the document and then types.
        e.ctl.OnEncodingRefused = [](TCustomRudivoVoru& sender, const std::string&) {
            return sender.ConvertEncoding(TextEncoding::Utf8);
        };
        e.ctl.KeyPressText(typed);
        EXPECT_EQ(e.ctl.Encoding(), TextEncoding::Utf8);
        EXPECT_EQ(e.ctl.GetText(), "\xC3\xA9\xE2\x82\xAC" + typed);
    }
}

TEST(ControlEncoding, TemplatesAndAutoReplaceArriveInTheDocumentsEncoding) {
    // The lists hold Windows-1252, as the options dialog and template files do.
    for (const auto& [encoding, cafe] : {std::pair{TextEncoding::Utf8, std::string("caf\xC3\xA9")},
                                         std::pair{TextEncoding::Windows1252, std::string("caf\xE9")}}) {
        Editor e;
        e.ctl.SetEncoding(encoding);
        e.ctl.Settings().Templates().Define("cf", "", "caf\xE9 |\r\x80");
        e.ctl.Settings().AutoReplace().AddEntry("cfe", "caf\xE9");
        typeText(e.ctl, "cf");
        ctrl(e.ctl, 'J');
        typeText(e.ctl, "cfe ");
        const std::string euro = encoding == TextEncoding::Utf8 ? "\xE2\x82\xAC" : "\x80";
        EXPECT_EQ(e.ctl.GetText(), cafe + " " + cafe + " \r" + euro);
    }
}

TEST(ControlEncoding, TheHorizontalScrollRangeCountsCellsThroughEveryEdit) {
    // Edits that widen and narrow records of wide, accented, invalid and
    // ASCII characters: after each, the range the scroll bar gets is the
    // widest record in cells, as a fresh count of the same text finds it.
    const std::string cjk = "\xE4\xB8\xAD", e = "\xC3\xA9";
    std::string first;
    for (int i = 0; i < 100; ++i)
        first += cjk; // 300 bytes, 200 cells
    Editor ed;
    ed.ctl.SetEncoding(TextEncoding::Utf8);
    ed.ctl.SetText(first + "\r" + std::string(150, 'a') + "\r" + first + "\rend" + e + e);
    EXPECT_EQ(ed.host.horizontal.max, 201); // 100 wide characters and the line break
    struct Edit {
        TChRange range;
        std::string text;
    };
    const Edit edits[] = {
        {{0, 3}, ""},                         // one of the two widest narrows: the other stays
        {{449, 452}, ""},                     // and then the other
        {{448, 448}, std::string(60, 'b')},   // the ASCII line passes them
        {{10, 10}, "\xFF\xFE"},               // invalid bytes show as two-cell boxes
        {{400, 400}, first},                  // a paste wider than all
        {{0, 1000}, ""},                      // most of the text goes
        {{0, 0}, "x\ry"},
    };
    for (const Edit& edit : edits) {
        ed.ctl.SetSelection(edit.range);
        ed.ctl.DoReplaceSel(edit.text, false);
        Editor fresh;
        fresh.ctl.SetEncoding(TextEncoding::Utf8);
        fresh.ctl.SetText(ed.ctl.GetText());
        EXPECT_EQ(ed.host.horizontal.max, fresh.host.horizontal.max) << edit.text;
        EXPECT_EQ(ed.ctl.GetLongestLineLength(), fresh.ctl.GetLongestLineLength());
    }
}

TEST(ControlEncoding, CopyLeavesAsUnicodeAndPasteComesInAsTheDocumentsBytes) {
    MemoryClipboard clipboard;
    const std::string unicode = "Caf\xC3\xA9 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80";
    Editor utf8;
    utf8.ctl.SetClipboard(&clipboard);
    utf8.ctl.ClipCopyFormats = smTEXT;
    utf8.ctl.SetEncoding(TextEncoding::Utf8);
    utf8.ctl.SetText(unicode);
    utf8.ctl.SelectAll();
    utf8.ctl.CopyToClipboard();
    EXPECT_EQ(clipboard.data(ClipFormat::Text), unicode);
    utf8.ctl.SetText("");
    utf8.ctl.PasteFromClipboard();
    EXPECT_EQ(utf8.ctl.GetText(), unicode);

    Editor cp;
    cp.ctl.SetClipboard(&clipboard);
    cp.ctl.ClipCopyFormats = smTEXT;
    cp.ctl.SetText("Caf\xE9\x80");
    cp.ctl.SelectAll();
    cp.ctl.CopyToClipboard();
    EXPECT_EQ(clipboard.data(ClipFormat::Text), "Caf\xC3\xA9\xE2\x82\xAC");
    cp.ctl.SetText("");
    cp.ctl.PasteFromClipboard();
    EXPECT_EQ(cp.ctl.GetText(), "Caf\xE9\x80");
    clipboard.setContents({{ClipFormat::Text, unicode}});
    cp.ctl.PasteFromClipboard();
    EXPECT_EQ(cp.ctl.GetText(), "Caf\xE9\x80");
}

TEST(ControlEncoding, ConvertingReencodesOrRefusesAndTheCaretKeepsItsCharacter) {
    Editor e("Caf\xE9|x", {5, 5});
    EXPECT_TRUE(e.ctl.ConvertEncoding(TextEncoding::Utf8));
    EXPECT_EQ(e.ctl.GetText(), "Caf\xC3\xA9\rx");
    EXPECT_EQ(e.caret(), 6);
    e.ctl.SetText("\xE4\xB8\xAD");
    EXPECT_FALSE(e.ctl.ConvertEncoding(TextEncoding::Windows1252));
    EXPECT_EQ(e.ctl.GetText(), "\xE4\xB8\xAD");
    EXPECT_EQ(e.ctl.Encoding(), TextEncoding::Utf8);
}

TEST(ControlEncoding, FilesOpenInTheirEncodingAndKeepEveryByteNotEdited) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
    };
    const Case cases[] = {
        {"bom", "\xEF\xBB\xBF" "Caf\xC3\xA9\r\n\xC3\xBC" "ber\r\n", TextEncoding::Utf8},
        {"mixed scripts", "Caf\xC3\xA9 \xD0\x96 \xE4\xB8\xAD\xE6\x96\x87 \xD8\xB3\r\n", TextEncoding::Utf8},
        {"emoji", "\xF0\x9F\x98\x80\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB\r\nok\r\n", TextEncoding::Utf8},
        {"combining", "e\xCC\x81\xCC\xA3 n\xCC\x83\r\n", TextEncoding::Utf8},
        {"invalid", "ok \xC3\xA9 then \xFF\xFE and \xE4\xB8\r\n", TextEncoding::Windows1252},
        {"bom and invalid", "\xEF\xBB\xBF" "a\xE9\r\n", TextEncoding::Utf8},
        {"windows-1252", "Caf\xE9 \x80 \x93quoted\x94\r\n", TextEncoding::Windows1252},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.file("in.txt");
        writeFile(path, c.bytes);
        Editor e;
        e.ctl.LoadFromFile(path);
        EXPECT_EQ(e.ctl.Encoding(), c.encoding) << c.name;
        // Edited at the end only: everything before stays byte for byte.
        e.ctl.SetSelection({e.ctl.GetTextLen(), e.ctl.GetTextLen()});
        e.ctl.KeyPressText("\xC3\xA9");
        const std::string saved = dir.file("out.txt");
        e.ctl.SaveToFile(saved);
        const std::string added = c.encoding == TextEncoding::Utf8 ? "\xC3\xA9" : "\xE9";
        EXPECT_EQ(readFile(saved), c.bytes + added) << c.name;
        // Untouched, the file comes back as it was.
        e.ctl.LoadFromFile(path);
        e.ctl.SaveToFile(saved);
        EXPECT_EQ(readFile(saved), c.bytes) << c.name;
    }
}

TEST(ControlEncoding, Utf8RowsPaintEachCharacterInItsCells) {
    Editor e;
    e.ctl.SetEncoding(TextEncoding::Utf8);
    e.ctl.SetText("a\xE4\xB8\xAD" "b\xE9");
    std::string painted;
    for (const std::string& call : textCalls(e.paint()))
        if (call.find(" cells '") != std::string::npos)
            painted += call;
    // One run: the row's bytes as they are, the wide character in two cells
    // and the stray byte's box in two.
    EXPECT_NE(painted.find("'a\xE4\xB8\xAD" "b\xE9'"), std::string::npos) << painted;
    e.ctl.SetSelection({4, 4});
    EXPECT_EQ(e.ctl.CaretRect().left, kLeft + 3 * kCell);
}

TEST(ControlEncoding, ExportsCarryUnicodeAsRtfEscapesAndUtf8Html) {
    Editor e;
    e.ctl.SetEncoding(TextEncoding::Utf8);
    e.ctl.SetText("\xC3\xA9\xF0\x9F\x98\x80\xE9");
    e.ctl.SelectAll();
    const std::string rtf = e.ctl.ExportText(kExportRTF);
    EXPECT_NE(rtf.find("\\u233?\\u-10179?\\u-8704?\\'e9"), std::string::npos) << rtf;
    const std::string html = e.ctl.ExportText(kExportHTML);
    EXPECT_NE(html.find("charset=UTF-8"), std::string::npos);
    EXPECT_NE(html.find("\xC3\xA9\xF0\x9F\x98\x80&#65533;"), std::string::npos) << html;
    // A Windows-1252 document's bytes are its code page's characters: the
    // RTF names them by byte, the HTML by the code point of the table
    // (9F, 98 and 80 are Y diaeresis, small tilde and the euro sign).
    e.ctl.SetEncoding(TextEncoding::Windows1252);
    EXPECT_NE(e.ctl.ExportText(kExportRTF).find("\\'c3\\'a9\\'f0\\'9f\\'98\\'80\\'e9"), std::string::npos);
    const std::string html1252 = e.ctl.ExportText(kExportHTML);
    EXPECT_EQ(html1252.find("charset"), std::string::npos);
    EXPECT_NE(html1252.find("&#195;&#169;&#240;&#376;&#732;&#8364;&#233;"), std::string::npos) << html1252;
}

TEST(ControlEncoding, LongLinesAreCutIntoRecordsBetweenCharacters) {
    // 1000 characters of two bytes and a few of three: far past a record.
    std::string line;
    for (int i = 0; i < 1500; ++i)
        line += i % 7 ? "\xC3\xA9" : "\xE4\xB8\xAD";
    TempDir dir;
    writeFile(dir.file("long.txt"), line + "\n");
    Editor loaded;
    loaded.ctl.LoadFromFile(dir.file("long.txt"));
    Editor typed;
    typed.ctl.SetEncoding(TextEncoding::Utf8);
    typed.ctl.SetText("ab");
    typed.ctl.SetSelection({1, 1});
    typed.ctl.SetSelText(line);
    for (Editor* e : {&loaded, &typed}) {
        ASSERT_GT(e->ctl.TextStore().NumLines(), 1);
        for (TLine* row = e->ctl.TextStore().Buffer(); row; row = e->ctl.TextStore().Next(row))
            EXPECT_TRUE(isValidUtf8(row->View())) << row->Len();
    }
    EXPECT_EQ(typed.ctl.GetText(), "a" + line + "b");
}

TEST(ControlEncoding, MatchingIgnoringCaseFoldsOnlyAsciiInUtf8) {
    // "É" is C3 89 and "é" C3 A9 in UTF-8; Windows-1252 reads C3 as "Ã"
    // and E3 as "ã", which must not make "ã©" (E3 A9) match "é".
    Editor e;
    e.ctl.SetEncoding(TextEncoding::Utf8);
    e.ctl.SetText("\xE3\xA9 CAF\xC3\xA9");
    e.ctl.SetSelection({0, 0});
    EXPECT_EQ(e.ctl.perform(SMM_FIND, kFindNow, reinterpret_cast<std::intptr_t>("caf\xC3\xA9")), 3);
    EXPECT_EQ(e.ctl.perform(SMM_FIND, kFindNow, reinterpret_cast<std::intptr_t>("\xC3\xA9")), 6);
    e.ctl.SetEncoding(TextEncoding::Windows1252);
    e.ctl.SetSelection({0, 0});
    EXPECT_EQ(e.ctl.perform(SMM_FIND, kFindNow, reinterpret_cast<std::intptr_t>("\xC3\xA9")), 0);
}

TEST(ControlEncoding, AProportionalFontMeasuresTheCharactersThemselves) {
    // The test canvas gives each byte 8 pixels: a character of three bytes
    // is 24 wide, and the caret and clicks follow that.
    ProportionalFixture f;
    f.ctl.SetEncoding(TextEncoding::Utf8);
    f.ctl.SetText("a\xE4\xB8\xAD" "b");
    const int left = f.ctl.LeftRefPoint();
    const std::int32_t starts[] = {0, 1, 4, 5};
    const int xs[] = {0, 8, 32, 40};
    for (int i = 0; i < 4; ++i) {
        f.ctl.SetSelection({starts[i], starts[i]});
        EXPECT_EQ(f.ctl.CaretRect().left, left + xs[i]) << i;
    }
    for (int x = left; x < left + 48; ++x) {
        const std::int32_t index = f.ctl.IndexFromPos(x, 2);
        EXPECT_NE(std::find(std::begin(starts), std::end(starts), index), std::end(starts)) << x;
    }
    EXPECT_EQ(f.ctl.IndexFromPos(left + 10, 2), 1);
    EXPECT_EQ(f.ctl.IndexFromPos(left + 30, 2), 4);
}
