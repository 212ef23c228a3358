// Collapsing lines into a marker line and expanding them again, and the text
// a document saves with its sections collapsed.

#include "app/code_collapse.h"
#include "app/document_text.h"
#include "tests/support/fake_document_editor.h"
#include "tests/support/fake_shell_ui.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

std::string tenLines() {
    std::string text;
    for (int i = 1; i <= 10; ++i)
        text += "line" + std::to_string(i) + "\n";
    return text;
}

struct CollapseFixture {
    test::FakeDocumentEditor editor;
    test::FakeShellUi ui;
    CodeCollapseList list;
    CollapseFixture() { editor.setText(tenLines()); }
    // Selects from the start of 1-based line `a` to column `col` of line `b`.
    void select(int a, int b, int col = 2) {
        editor.setSelection(editor.lineStart(a - 1), editor.lineStart(b - 1) + col);
    }
};

TEST(CodeCollapse, LinesThreeToSevenOfTenBecomeOneGreyMarkerLine) {
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));

    EXPECT_TRUE(f.ui.boxes.empty());
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(
                                   "line1\nline2\n--------------- 5 lines collapsed ---------------\n"
                                   "line8\nline9\nline10\n"));
    EXPECT_EQ(f.editor.lineCount(), 7) << "six lines and the empty one after the final break";
    const auto& marks = f.editor.marksOf(3);
    EXPECT_EQ(marks.glyphs, 1u << kCollapseGlyph);
    EXPECT_EQ(marks.color, 0x808080);
    EXPECT_EQ(marks.textColor, 0xFFFFFF);
    ASSERT_EQ(marks.tracks.size(), 1u);
    EXPECT_EQ(f.editor.trackData(marks.tracks[0]), 1);

    ASSERT_EQ(f.list.items().size(), 1u);
    const TCodeCollapse& section = *f.list.items()[0];
    EXPECT_EQ(section.line, 3);
    EXPECT_EQ(section.id, 1);
    EXPECT_EQ(section.text, test::FakeDocumentEditor::stored("line3\nline4\nline5\nline6\nline7"));
}

TEST(CodeCollapse, TheTextToSaveHoldsEveryCollapsedLineInPlace) {
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    // line8 and line9 are lines 4 and 5 now.
    f.editor.setSelection(f.editor.lineStart(3), f.editor.lineStart(4) + 1);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    EXPECT_EQ(f.editor.lineCount(), 6);
    EXPECT_EQ(f.list.markerLines(f.editor), (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(textToSave(f.editor, f.list), test::FakeDocumentEditor::stored(tenLines()));
}

TEST(CodeCollapse, AGutterClickOnTheMarkerPutsTheLinesBack) {
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));

    EXPECT_FALSE(f.list.expand(f.editor, f.ui, 2)) << "no marker there";
    ASSERT_TRUE(f.list.expand(f.editor, f.ui, 3));
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(tenLines()));
    EXPECT_TRUE(f.list.items().empty());
    const auto& marks = f.editor.marksOf(3);
    EXPECT_EQ(marks.glyphs, 0u);
    EXPECT_EQ(marks.color, -1);
    EXPECT_EQ(marks.textColor, -1);
    EXPECT_TRUE(marks.tracks.empty()) << "the first restored line is no marker";
    EXPECT_TRUE(f.editor.lineTracks().empty());
    EXPECT_FALSE(f.list.expand(f.editor, f.ui, 3));
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(CodeCollapse, AWholeLineSelectionEndingAtTheNextLineStartLeavesThatLineOut) {
    CollapseFixture f;
    f.editor.setSelection(f.editor.lineStart(2), f.editor.lineStart(7));
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    EXPECT_EQ(f.editor.lineText(2), collapseMarkerText(5));
    EXPECT_EQ(f.editor.lineText(3), "line8");
}

TEST(CodeCollapse, NothingSelectedIsRefusedWithAnError) {
    CollapseFixture f;
    f.editor.setSelection(5, 5);
    EXPECT_FALSE(f.list.collapse(f.editor, f.ui));
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].text, "Nothing to collapse. You must select the lines you want to collapse.");
    EXPECT_EQ(f.ui.boxes[0].icon, MsgIcon::Error);
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(tenLines()));
}

TEST(CodeCollapse, ASelectionHoldingAMarkerLineAnywhereIsRefused) {
    // The marker as first, middle and last line of the selection: each
    // would hide the section inside another one.
    for (auto [from, to] : {std::pair{3, 5}, std::pair{1, 5}, std::pair{1, 3}}) {
        SCOPED_TRACE(std::to_string(from) + "-" + std::to_string(to));
        CollapseFixture f;
        f.select(3, 7);
        ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
        const std::string before = f.editor.text();
        f.select(from, to);
        EXPECT_FALSE(f.list.collapse(f.editor, f.ui));
        ASSERT_EQ(f.ui.boxes.size(), 1u);
        EXPECT_EQ(f.ui.boxes[0].text, CodeCollapseList::kMsgNestedCollapse);
        EXPECT_EQ(f.ui.boxes[0].icon, MsgIcon::Information);
        EXPECT_EQ(f.editor.text(), before);
        EXPECT_EQ(f.list.items().size(), 1u);
        EXPECT_EQ(textToSave(f.editor, f.list), test::FakeDocumentEditor::stored(tenLines()));
    }
}

TEST(CodeCollapse, TheLinesNextToAMarkerCollapseOnTheirOwn) {
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    f.editor.setSelection(f.editor.lineStart(0), f.editor.lineStart(2)); // lines 1-2 whole
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    EXPECT_EQ(f.editor.lineText(0), collapseMarkerText(2));
    EXPECT_EQ(f.editor.lineText(1), collapseMarkerText(5));
    EXPECT_EQ(textToSave(f.editor, f.list), test::FakeDocumentEditor::stored(tenLines()));
}

TEST(CodeCollapse, AMarkerWithoutItsSectionSaysNotFound) {
    CollapseFixture f;
    f.editor.addLineTrack(4, 99);
    EXPECT_FALSE(f.list.expand(f.editor, f.ui, 4));
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Not found"});
}

TEST(CodeCollapse, AfterTheCollapseIsUndoneTheLinesAreSavedOnce) {
    // Undo puts the lines back while the first of them keeps the marker's
    // track: the lines must not be written twice.
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    f.editor.undo();
    ASSERT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(tenLines()));
    ASSERT_EQ(f.editor.lineTracks().size(), 1u);
    EXPECT_EQ(textToSave(f.editor, f.list), test::FakeDocumentEditor::stored(tenLines()));
}

TEST(CodeCollapse, AnEditedMarkerLineStillSavesItsSection) {
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    f.editor.setSelection(f.editor.lineEnd(2), f.editor.lineEnd(2));
    f.editor.replaceSelection(" typed");
    EXPECT_EQ(textToSave(f.editor, f.list), test::FakeDocumentEditor::stored(tenLines()));
}

} // namespace
} // namespace qorvi

namespace qorvi {
namespace {

TEST(CodeCollapse, AnUndoneExpansionBringsItsSectionBackBeforeSaving) {
    CollapseFixture f;
    f.select(3, 7);
    ASSERT_TRUE(f.list.collapse(f.editor, f.ui));
    ASSERT_TRUE(f.list.expand(f.editor, f.ui, 3));
    f.editor.undo(); // the marker line again, without its track
    ASSERT_EQ(f.editor.lineText(2), collapseMarkerText(5));
    ASSERT_TRUE(f.editor.lineTracks().empty());

    f.list.reattachMarkers(f.editor);
    EXPECT_EQ(f.list.items().size(), 1u);
    EXPECT_EQ(f.editor.marksOf(3).glyphs, 1u << kCollapseGlyph);
    EXPECT_EQ(textToSave(f.editor, f.list), test::FakeDocumentEditor::stored(tenLines()));
}

TEST(CodeCollapse, AMarkerTypedByHandIsNoSection) {
    CollapseFixture f;
    f.editor.setSelection(0, 0);
    f.editor.replaceSelection(collapseMarkerText(5) + "\n");
    f.list.reattachMarkers(f.editor);
    EXPECT_TRUE(f.editor.lineTracks().empty());
    EXPECT_EQ(textToSave(f.editor, f.list), f.editor.text());
}

} // namespace
} // namespace qorvi
