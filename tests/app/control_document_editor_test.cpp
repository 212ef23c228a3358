// The document window's editor over the real editor control core: text
// lines across records (long lines are cut at 2047 characters), collapsing
// and saving through the control's line tracks, and the watched file's
// text changing while the control is read-only.

#include "app/code_collapse.h"
#include "app/control_document_editor.h"
#include "app/document_text.h"
#include "editor/control/rudivo_voru.h"
#include "platform/file_system.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"

#include <fstream>
#include <random>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

struct DocumentFixture {
    TRudivoVoru control;
    ControlDocumentEditor editor{control};
    test::FakeShellUi ui;
    CodeCollapseList collapses;
};

std::string numbered(int from, int to, const std::string& brk = "\r") {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += "line" + std::to_string(i) + brk;
    return text;
}

TEST(ControlDocumentEditor, TextLinesSpanTheRecordsOfLongLines) {
    DocumentFixture f;
    const std::string longLine(5000, 'x');
    f.control.SetText("a\r" + longLine + "\rb");
    ASSERT_GT(f.control.TextStore().NumLines(), 3) << "the long line is cut into records";
    EXPECT_EQ(f.editor.lineCount(), 3);
    EXPECT_EQ(f.editor.lineStart(0), 0);
    EXPECT_EQ(f.editor.lineStart(1), 2);
    EXPECT_EQ(f.editor.lineEnd(1), 5002);
    EXPECT_EQ(f.editor.lineStart(2), 5003);
    EXPECT_EQ(f.editor.lineEnd(2), 5004);
    EXPECT_EQ(f.editor.lineOfOffset(4000), 1);
    EXPECT_EQ(f.editor.lineOfOffset(5003), 2);
    EXPECT_EQ(f.editor.textLineOfRecord(f.control.TextStore().NumLines()), 3);
    EXPECT_EQ(f.editor.lineStart(99), 5003) << "clamped to the last line";
}

TEST(ControlDocumentEditor, TheEmptyLineAfterAFinalBreakIsALine) {
    DocumentFixture f;
    f.control.SetText("a\rb\r");
    EXPECT_EQ(f.editor.lineCount(), 3);
    EXPECT_EQ(f.editor.lineStart(2), 4);
    EXPECT_EQ(f.editor.lineEnd(1), 3);
    EXPECT_EQ(f.editor.lineOfOffset(4), 2);
    f.control.SetText("");
    EXPECT_EQ(f.editor.lineCount(), 1);
    EXPECT_EQ(f.editor.lineStart(0), 0);
    EXPECT_EQ(f.editor.lineEnd(0), 0);
}

TEST(ControlDocumentEditor, CollapsedSectionsLiveInTheControlsLineTracks) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 10));
    f.editor.setSelection(f.editor.lineStart(2), f.editor.lineStart(6) + 3);
    ASSERT_TRUE(f.collapses.collapse(f.editor, f.ui));
    EXPECT_EQ(f.editor.lineCount(), 7);
    EXPECT_EQ(f.editor.textRange(f.editor.lineStart(2), 49),
              "--------------- 5 lines collapsed ---------------");
    EXPECT_TRUE(f.control.LineHasGlyph(kCollapseGlyph, 3));
    EXPECT_EQ(f.control.GetLineColor(3), 0x808080);
    EXPECT_EQ(f.control.GetLineTextColor(3), 0xFFFFFF);
    ASSERT_EQ(f.editor.lineTracks().size(), 1u);
    EXPECT_EQ(f.editor.lineTracks()[0].line, 3);
    EXPECT_EQ(textToSave(f.editor, f.collapses), numbered(1, 10));

    // Lines typed above the marker move it; the section follows.
    f.editor.setSelection(0, 0);
    f.editor.replaceSelection("new\r");
    EXPECT_EQ(f.editor.lineTracks()[0].line, 4);
    EXPECT_EQ(textToSave(f.editor, f.collapses), "new\r" + numbered(1, 10));

    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, f.editor.textLineOfRecord(4)));
    EXPECT_EQ(f.control.GetText(), "new\r" + numbered(1, 10));
    EXPECT_FALSE(f.control.LineHasGlyph(kCollapseGlyph, 4));
    EXPECT_EQ(f.control.GetLineColor(4), -1);
    EXPECT_TRUE(f.editor.lineTracks().empty());
}

TEST(ControlDocumentEditor, ASectionWithLongLinesSavesWhole) {
    DocumentFixture f;
    const std::string longLine(4500, 'q');
    const std::string text = "top\r" + longLine + "\r" + longLine + "z\rbottom\r";
    f.control.SetText(text);
    f.editor.setSelection(f.editor.lineStart(1), f.editor.lineStart(2) + 10);
    ASSERT_TRUE(f.collapses.collapse(f.editor, f.ui));
    EXPECT_EQ(f.editor.lineCount(), 4);
    EXPECT_EQ(textToSave(f.editor, f.collapses), text);
    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, 2));
    EXPECT_EQ(f.control.GetText(), text);
}

TEST(ControlDocumentEditor, AFileIsSavedWithTheLineBreaksItWasLoadedWith) {
    test::TempDir dir;
    const std::string path = dir.file("dos.bat");
    std::ofstream(path, std::ios::binary) << "echo off\r\nrem " << std::string(3000, 'r') << "\r\n";
    DocumentFixture f;
    f.editor.loadFromFile(path);
    EXPECT_FALSE(f.editor.modified());
    EXPECT_EQ(f.editor.lineBreaks(), LineBreakStyle::CRLF);
    f.editor.setSelection(0, 0);
    f.editor.replaceSelection("@");
    EXPECT_TRUE(f.editor.modified());
    saveDocumentText(f.editor, f.collapses, path);
    EXPECT_EQ(fs::readFile(path).value(), "@echo off\r\nrem " + std::string(3000, 'r') + "\r\n")
        << "whole lines, never cut at a record";
    f.editor.clearModified();
    EXPECT_FALSE(f.editor.modified());
}

// Loads `bytes` from a file and saves them untouched: the file must come back.
std::string loadAndSave(const std::string& bytes) {
    test::TempDir dir;
    const std::string path = dir.file("file");
    std::ofstream(path, std::ios::binary) << bytes;
    DocumentFixture f;
    f.editor.loadFromFile(path);
    saveDocumentText(f.editor, f.collapses, path);
    return fs::readFile(path).value();
}

TEST(ByteTruth, AnUntouchedFileIsSavedByteForByte) {
    EXPECT_EQ(loadAndSave(""), "");
    // Every byte value at the start, inside and at the end of a line, in
    // each break style; and as the very last byte of a file.
    for (const std::string brk : {"\n", "\r\n", "\r"}) {
        std::string bytes;
        for (int value = 0; value < 256; ++value) {
            if (value == '\r' || value == '\n')
                continue;
            const char c = static_cast<char>(value);
            bytes += std::string(1, c) + "bc" + brk + "a" + c + "c" + brk + "ab" + c + brk;
        }
        EXPECT_TRUE(loadAndSave(bytes) == bytes) << "break " << brk.size();
        bytes.resize(bytes.size() - brk.size());
        EXPECT_TRUE(loadAndSave(bytes) == bytes) << "no final break " << brk.size();
    }
    for (int value = 0; value < 256; ++value) {
        const std::string bytes = "x\n" + std::string(1, static_cast<char>(value));
        if (value != '\r' && value != '\n') {
            ASSERT_EQ(loadAndSave(bytes), bytes);
        }
    }
    // Lines far longer than a record, and empty lines.
    const std::string longLine(5000, 'L');
    for (const std::string brk : {"\n", "\r\n"}) {
        const std::string bytes = longLine + brk + brk + longLine + "\x0c" + longLine;
        EXPECT_TRUE(loadAndSave(bytes) == bytes);
    }
}

TEST(ByteTruth, AnEditChangesOnlyTheEditedBytes) {
    std::mt19937 rng(7);
    for (int round = 0; round < 40; ++round) {
        // Random bytes in an LF file (no CR, which would make it a mixed file).
        std::string bytes(1 + rng() % 9000, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(rng() % 256);
            if (c == '\r')
                c = '\n';
        }
        test::TempDir dir;
        const std::string path = dir.file("file");
        std::ofstream(path, std::ios::binary) << bytes;
        DocumentFixture f;
        f.editor.loadFromFile(path);
        const auto at = static_cast<std::int32_t>(rng() % (bytes.size() + 1));
        const auto count = std::min<std::int32_t>(static_cast<std::int32_t>(rng() % 50),
                                                  static_cast<std::int32_t>(bytes.size()) - at);
        f.editor.setSelection(at, at + count);
        f.editor.replaceSelection("new\rtext");
        saveDocumentText(f.editor, f.collapses, path);
        const std::string expected = bytes.substr(0, static_cast<std::size_t>(at)) + "new\ntext" +
                                     bytes.substr(static_cast<std::size_t>(at + count));
        ASSERT_TRUE(fs::readFile(path).value() == expected) << "round " << round;
    }
}

TEST(ControlDocumentEditor, TheWatchedTextChangesWhileReadOnly) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 3));
    f.editor.setReadOnly(true);
    f.editor.appendText("line4\nline5\n");
    EXPECT_EQ(f.control.GetText(), numbered(1, 5));
    f.editor.deleteLeadingText(f.editor.lineStart(2));
    EXPECT_EQ(f.control.GetText(), numbered(3, 5));
    EXPECT_TRUE(f.editor.readOnly());
}

TEST(ControlDocumentEditor, BookmarksGoToTheTextLinesFirstRecord) {
    DocumentFixture f;
    f.control.SetText("a\r" + std::string(3000, 'x') + "\rc");
    f.editor.setBookmark(2, 3);
    f.editor.setSelection(0, 0);
    f.editor.jumpToBookmark(2);
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(2));
    f.editor.setBookmark(2, 3); // again on its own line: cleared
    f.editor.setSelection(0, 0);
    f.editor.jumpToBookmark(2);
    EXPECT_EQ(f.editor.selection().second, 0);
}

} // namespace
} // namespace qorvi

namespace qorvi {
namespace {

TEST(ControlDocumentEditor, UndoAndRedoOfACollapseNeverLoseOrRepeatLines) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 10));
    f.control.SetModified(false);
    f.editor.setSelection(f.editor.lineStart(2), f.editor.lineStart(6) + 3);
    ASSERT_TRUE(f.collapses.collapse(f.editor, f.ui));
    ASSERT_TRUE(f.editor.modified());
    ASSERT_TRUE(f.editor.canUndo());

    f.editor.undo();
    EXPECT_EQ(f.control.GetText(), numbered(1, 10));
    EXPECT_EQ(textToSave(f.editor, f.collapses), numbered(1, 10));

    // Redo brings the marker back as text on a new record: before saving
    // and on a gutter click it is found and marked again.
    ASSERT_TRUE(f.control.DoReDo());
    EXPECT_EQ(f.editor.lineCount(), 7);
    f.collapses.reattachMarkers(f.editor);
    EXPECT_EQ(textToSave(f.editor, f.collapses), numbered(1, 10));
    EXPECT_TRUE(f.control.LineHasGlyph(kCollapseGlyph, 3));
    EXPECT_EQ(f.control.GetLineColor(3), 0x808080);
    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, 3));
    EXPECT_EQ(f.control.GetText(), numbered(1, 10));

    // The expansion undone: the marker is back, and so is its section.
    f.editor.undo();
    ASSERT_EQ(f.editor.lineCount(), 7);
    f.collapses.reattachMarkers(f.editor);
    EXPECT_EQ(textToSave(f.editor, f.collapses), numbered(1, 10));
    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, 3));
    EXPECT_EQ(f.control.GetText(), numbered(1, 10));
}

// The document window tells the sections of every change of the text.
void changed(DocumentFixture& f) {
    f.collapses.textChanged(f.editor);
}

void collapseLines(DocumentFixture& f, std::int32_t first, std::int32_t last) {
    f.editor.setSelection(f.editor.lineStart(first - 1), f.editor.lineEnd(last - 1));
    ASSERT_TRUE(f.collapses.collapse(f.editor, f.ui));
    changed(f);
}

void undo(DocumentFixture& f) {
    f.editor.undo();
    changed(f);
}

void redo(DocumentFixture& f) {
    f.control.DoReDo();
    changed(f);
}

std::string saved(DocumentFixture& f) {
    f.collapses.reattachMarkers(f.editor);
    return textToSave(f.editor, f.collapses);
}

TEST(CollapseHistory, AnUndoneCollapseLeavesNoTrackToWriteItsLinesTwice) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 20));
    collapseLines(f, 4, 17);
    undo(f);
    // A later collapse inside the lines the undone one had hidden.
    collapseLines(f, 16, 16);
    EXPECT_EQ(saved(f), numbered(1, 20));
    redo(f);
    EXPECT_EQ(saved(f), numbered(1, 20));
}

TEST(CollapseHistory, EqualMarkersComeBackToTheSectionsThatLeftThem) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 20));
    collapseLines(f, 1, 1); // "1 lines collapsed" on line 1
    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, 1));
    changed(f);
    collapseLines(f, 4, 4); // the same marker text on line 4
    undo(f);                // the second collapse goes
    undo(f);                // the expansion goes: line 1's marker is back
    EXPECT_EQ(saved(f), numbered(1, 20));
    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, 1));
    EXPECT_EQ(f.control.GetText(), numbered(1, 20));
}

TEST(CollapseHistory, AnExpansionUndoneAndRedoneAndUndoneAgainKeepsItsLines) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 20));
    collapseLines(f, 2, 5);
    collapseLines(f, 7, 8);
    ASSERT_TRUE(f.collapses.expand(f.editor, f.ui, 2));
    changed(f);
    undo(f);
    redo(f);
    undo(f);
    EXPECT_EQ(saved(f), numbered(1, 20));
    redo(f);
    EXPECT_EQ(saved(f), numbered(1, 20));
}

TEST(CollapseHistory, AClickOnTheEmptyLineAfterAFinalBreakExpandsNothing) {
    DocumentFixture f;
    f.control.SetText(numbered(1, 5));
    collapseLines(f, 1, 5); // the marker, then the empty line 2
    ASSERT_EQ(f.editor.lineCount(), 2);
    EXPECT_FALSE(f.collapses.expand(f.editor, f.ui, 2));
    EXPECT_EQ(saved(f), numbered(1, 5));
    EXPECT_TRUE(f.collapses.expand(f.editor, f.ui, 1));
    EXPECT_EQ(f.control.GetText(), numbered(1, 5));
}

} // namespace
} // namespace qorvi
