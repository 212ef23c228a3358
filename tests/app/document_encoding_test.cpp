// A document's encoding over the real editor control: found when the file
// opens and shown in the status bar, the file reopened in the other
// encoding, the text saved converted under a new name (refused, with a
// message, where a character cannot be represented), the offer to convert
// when a typed character cannot be held, and the position in cells.

#include "app/control_document_editor.h"
#include "app/document_window.h"
#include "editor/control/rudivo_voru.h"
#include "tests/support/fake_document_window.h"
#include "tests/support/file_bytes.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

struct EncodingFixture {
    test::TempDir dir;
    Hive hive{dir.file("hkcu.reg")};
    test::FakeShellUi ui;
    test::FakeDocumentView view;
    TRudivoVoru control;
    ControlDocumentEditor editor{control};
    test::RecordingDocumentHost host{hive};
    test::FakeShellTimer timer;
    DocumentWindow window{view, editor, host, ui, timer, 3};
    std::string path = dir.file("a.txt");

    explicit EncodingFixture(const std::string& bytes) {
        test::writeFile(path, bytes);
        window.loadFile(path);
        window.setFilePath(path);
        control.OnEncodingRefused = [this](TCustomRudivoVoru&, const std::string& c) {
            return window.offerUtf8For(c);
        };
    }
};

TEST(DocumentEncoding, TheStatusBarNamesWhatTheFileWasFoundToBe) {
    EncodingFixture utf8("Caf\xC3\xA9 \xE4\xB8\xAD!\n");
    EXPECT_EQ(utf8.view.panels[DocumentWindow::kEncodingPanel], "UTF-8");
    // The caret's position counts cells: é one, 中 two.
    utf8.editor.setSelection(9, 9);
    utf8.window.editorChanged();
    EXPECT_EQ(utf8.view.panels[0], "Line 1, Pos 7");
    EncodingFixture latin("Caf\xE9\n");
    EXPECT_EQ(latin.view.panels[DocumentWindow::kEncodingPanel], "Windows-1252");
    latin.editor.setSelection(4, 4);
    latin.window.editorChanged();
    EXPECT_EQ(latin.view.panels[0], "Line 1, Pos 4");
    // A new document is UTF-8.
    TRudivoVoru control;
    ControlDocumentEditor fresh(control);
    EXPECT_EQ(fresh.encoding(), TextEncoding::Utf8);
}

TEST(DocumentEncoding, ReopeningReadsTheSameBytesTheOtherWay) {
    const std::string bytes = "\xC3\xA9t\xC3\xA9\n";
    EncodingFixture f(bytes);
    f.window.reopenInOtherEncoding();
    EXPECT_EQ(f.editor.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(f.view.panels[DocumentWindow::kEncodingPanel], "Windows-1252");
    EXPECT_EQ(f.control.GetText(), "\xC3\xA9t\xC3\xA9\r");
    EXPECT_FALSE(f.editor.modified());
    ASSERT_TRUE(f.window.save());
    EXPECT_EQ(test::readFile(f.path), bytes);
}

TEST(DocumentEncoding, ConvertingSavesUnderANewNameOrRefusesWithAMessage) {
    EncodingFixture f("Caf\xE9 \x80\n");
    const std::string converted = f.dir.file("b.txt");
    f.ui.files.push_back(converted);
    ASSERT_TRUE(f.window.convertEncoding());
    EXPECT_EQ(test::readFile(converted), "Caf\xC3\xA9 \xE2\x82\xAC\n");
    EXPECT_EQ(test::readFile(f.path), "Caf\xE9 \x80\n");
    EXPECT_EQ(f.view.panels[DocumentWindow::kEncodingPanel], "UTF-8");

    EncodingFixture cjk("\xE4\xB8\xAD\n");
    ASSERT_FALSE(cjk.window.convertEncoding());
    ASSERT_EQ(cjk.ui.texts().size(), 1u);
    EXPECT_EQ(cjk.ui.texts()[0],
              "The document holds characters that Windows-1252 cannot represent. It was not converted.");
    EXPECT_EQ(cjk.control.GetText(), "\xE4\xB8\xAD\r");
    EXPECT_EQ(cjk.editor.encoding(), TextEncoding::Utf8);

    // A cancelled save leaves the text as it was.
    EncodingFixture cancelled("Caf\xE9\n");
    cancelled.ui.files.push_back(std::nullopt);
    EXPECT_FALSE(cancelled.window.convertEncoding());
    EXPECT_EQ(cancelled.control.GetText(), "Caf\xE9\r");
    EXPECT_EQ(cancelled.editor.encoding(), TextEncoding::Windows1252);
}

TEST(DocumentEncoding, ACharacterTheDocumentCannotHoldIsOfferedAConversion) {
    EncodingFixture f("Caf\xE9\n");
    f.editor.setSelection(4, 4);
    f.ui.answers.push_back(MsgResult::No);
    f.control.KeyPressText("\xE4\xB8\xAD");
    EXPECT_EQ(f.control.GetText(), "Caf\xE9\r");
    ASSERT_EQ(f.ui.texts().size(), 1u);
    EXPECT_EQ(f.ui.texts()[0], "The character U+4E2D cannot be represented in Windows-1252, the encoding of "
                               "this document. Convert the document to UTF-8?");
    f.ui.answers.push_back(MsgResult::Yes);
    f.control.KeyPressText("\xE4\xB8\xAD");
    EXPECT_EQ(f.control.GetText(), "Caf\xC3\xA9\xE4\xB8\xAD\r");
    EXPECT_EQ(f.view.panels[DocumentWindow::kEncodingPanel], "UTF-8");
    ASSERT_TRUE(f.window.save());
    EXPECT_EQ(test::readFile(f.path), "Caf\xC3\xA9\xE4\xB8\xAD\n");
}

} // namespace
} // namespace qorvi
