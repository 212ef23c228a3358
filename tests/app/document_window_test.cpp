// A document window's life: the status bar, saving (dialog, line breaks,
// collapsed sections, failures), the close query, read-only, reload, go to
// line, and the messages it sends to the main window.

#include "app/document_window.h"
#include "platform/safe_file_writer.h"
#include "tests/support/fake_document_window.h"

#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

using Message = test::RecordingDocumentHost::Message;

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}
std::string readFile(const std::string& path) {
    return fs::readFile(path).value_or("<missing>");
}

std::string numberedLines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += "line" + std::to_string(i) + "\n";
    return text;
}

struct OpenedFixture : test::DocumentFixture {
    std::string path = dir.file("a.cpp");
    explicit OpenedFixture(const std::string& text = "one\ntwo\nthree\n") {
        writeFile(path, text);
        view.setCaption(path);
        window.loadFile(path);
        window.setFilePath(path);
        host.messages.clear();
    }
    void type(const std::string& text) {
        editor.replaceSelection(text);
        window.editorChanged();
    }
};

TEST(DocumentWindow, TheFirstChangeShowsModifiedAndAsksTheMainWindowToRecountOnce) {
    OpenedFixture f;
    f.editor.setSelection(6, 6); // "two" from its third character
    f.type("X");
    EXPECT_EQ(f.view.panels[0], "Line 2, Pos 3");
    EXPECT_EQ(f.view.panels[1], "Modified");
    f.type("Y");
    EXPECT_EQ(f.view.panels[0], "Line 2, Pos 4");
    EXPECT_EQ(f.host.messages, (std::vector<Message>{{kRecountMessage, 0, "", false}}));

    // Undone back to the saved text: unmodified, and counted again once.
    f.editor.setModified(false);
    f.window.editorChanged();
    EXPECT_EQ(f.view.panels[1], "");
    f.window.editorChanged();
    EXPECT_EQ(f.host.messages,
              (std::vector<Message>{{kRecountMessage, 0, "", false}, {kRecountMessage, 0, "", false}}));
}

TEST(DocumentWindow, SavingWritesTheTextWithTheFileLineBreaksAndClearsModified) {
    for (auto [breaks, name] : {std::pair{"\n", "LF"}, std::pair{"\r\n", "CRLF"}, std::pair{"\r", "CR"}}) {
        SCOPED_TRACE(name);
        std::string b = breaks;
        OpenedFixture f("one" + b + "two" + b);
        f.editor.setSelection(3, 3);
        f.type("!");
        ASSERT_TRUE(f.window.save());
        EXPECT_EQ(readFile(f.path), "one!" + b + "two" + b);
        EXPECT_FALSE(f.editor.modified());
        EXPECT_EQ(f.view.panels[1], "");
        EXPECT_EQ(f.host.messages.back(), (Message{kRecountMessage, 0, "", false}));
        EXPECT_EQ(f.editor.selection(), (std::pair{4, 4})) << "the caret stays";
        EXPECT_EQ(f.editor.frozen, 0);
        EXPECT_EQ(f.editor.maxFrozen, 1) << "painting waits while the file is written";
    }
}

TEST(DocumentWindow, SavingWritesCollapsedSectionsExpanded) {
    OpenedFixture f(numberedLines(1, 10));
    f.editor.setSelection(f.editor.lineStart(2), f.editor.lineStart(6) + 2);
    f.window.collapseSection();
    ASSERT_EQ(f.editor.lineCount(), 7);
    ASSERT_TRUE(f.window.save());
    EXPECT_EQ(readFile(f.path), numberedLines(1, 10));
    EXPECT_EQ(f.editor.lineText(2), "--------------- 5 lines collapsed ---------------");
}

TEST(DocumentWindow, AFailedSaveLeavesTheFileTheTextAndTheModifiedFlag) {
    OpenedFixture f;
    f.type("new ");
    const std::string text = f.editor.text();
    SafeFileWriter::failNext(SafeFileWriter::FailAt::Rename);
    EXPECT_FALSE(f.window.save());
    EXPECT_EQ(readFile(f.path), "one\ntwo\nthree\n");
    EXPECT_EQ(f.editor.text(), text);
    EXPECT_TRUE(f.editor.modified());
    EXPECT_EQ(f.view.panels[1], "Modified");
    EXPECT_EQ(f.editor.frozen, 0) << "painting comes back";
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].icon, MsgIcon::Error);
    EXPECT_NE(f.ui.boxes[0].text.find(f.path), std::string::npos) << f.ui.boxes[0].text;
}

TEST(DocumentWindow, SavingUnderAPathWhoseParentIsAFileFailsAndKeepsTheOldName) {
    test::DocumentFixture f;
    f.view.setCaption("Untitled1");
    f.editor.setText("text");
    f.editor.setModified(true);
    writeFile(f.dir.file("plain"), "x");
    f.ui.files.push_back(f.dir.file("plain/new.txt"));
    EXPECT_FALSE(f.window.save());
    EXPECT_EQ(f.window.filePath(), "");
    EXPECT_EQ(f.view.captionText, "Untitled1");
    EXPECT_TRUE(f.editor.modified());
    EXPECT_EQ(readFile(f.dir.file("plain")), "x");
    ASSERT_FALSE(f.host.messages.empty());
    EXPECT_EQ(f.host.messages.back(), (Message{kDocumentTabMessage, 7, "Untitled1", true}))
        << "the tab takes its old name back";
}

TEST(DocumentWindow, AnUntitledDocumentIsNamedBySaveDialogAndWrittenWithLF) {
    test::DocumentFixture f;
    f.view.setCaption("Untitled1");
    f.editor.setText("a\r\nb");
    f.editor.setModified(true);
    const std::string target = f.dir.file("named.txt");
    f.ui.files.push_back(target);
    f.window.setSaveDirectory(f.dir.path());
    ASSERT_TRUE(f.window.save());
    EXPECT_EQ(f.window.filePath(), target);
    EXPECT_EQ(f.view.captionText, target);
    EXPECT_EQ(readFile(target), "a\nb");
    EXPECT_EQ(f.host.messages.front(), (Message{kDocumentTabMessage, 7, "named.txt", true}));
}

TEST(DocumentWindow, SaveAsCancelledKeepsTheOldPath) {
    OpenedFixture f;
    f.ui.files.push_back(std::nullopt);
    EXPECT_FALSE(f.window.saveAs());
    EXPECT_EQ(f.ui.dialogs.back().fileName, "a.cpp") << "the name box starts with the current name";
    EXPECT_EQ(f.window.filePath(), f.path);
    EXPECT_EQ(f.view.captionText, f.path);

    f.ui.files.push_back(f.dir.file("copy.cpp"));
    ASSERT_TRUE(f.window.saveAs());
    EXPECT_EQ(f.window.filePath(), f.dir.file("copy.cpp"));
    EXPECT_EQ(readFile(f.dir.file("copy.cpp")), "one\ntwo\nthree\n");
}

TEST(DocumentWindow, ReadOnlyDocumentsRefuseToSave) {
    OpenedFixture f;
    f.window.makeReadOnly();
    EXPECT_EQ(f.view.captionText, f.path + " (Read Only)");
    EXPECT_TRUE(f.view.readOnlyChecked);
    EXPECT_FALSE(f.window.save());
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"File is read only. Cannot save"});
}

TEST(DocumentWindow, UncheckingReadOnlyCutsTheCaptionAtTheFirstSuffix) {
    OpenedFixture f;
    f.window.setReadOnlyCommand(true);
    f.window.setReadOnlyCommand(true);
    EXPECT_EQ(f.view.captionText, f.path + " (Read Only) (Read Only)");
    f.window.setReadOnlyCommand(false);
    EXPECT_EQ(f.view.captionText, f.path);
    EXPECT_FALSE(f.editor.readOnly());
    EXPECT_FALSE(f.view.readOnlyChecked);
    f.window.setReadOnlyCommand(false);
    EXPECT_EQ(f.view.captionText, f.path);
}

TEST(DocumentWindow, TheCloseQueryAsksAboutChanges) {
    {
        OpenedFixture f; // unmodified: closes without asking
        EXPECT_TRUE(f.window.closeQuery());
        EXPECT_TRUE(f.ui.boxes.empty());
        EXPECT_EQ(f.host.messages, (std::vector<Message>{{kDocumentTabMessage, 7, "", false}}));
        EXPECT_EQ(f.host.values.readString("ChildMax", "?"), "0");
    }
    {
        OpenedFixture f;
        f.type("x");
        f.host.messages.clear();
        f.ui.answers = {MsgResult::Cancel};
        f.view.maximised = true;
        EXPECT_FALSE(f.window.closeQuery());
        EXPECT_EQ(f.ui.boxes.at(0).text, "The file '" + f.path + "' has been modified. Would you like to save it?");
        EXPECT_EQ(f.ui.boxes.at(0).icon, MsgIcon::Warning);
        EXPECT_EQ(f.ui.boxes.at(0).buttons, MsgButtons::YesNoCancel);
        EXPECT_TRUE(f.host.messages.empty());
        EXPECT_EQ(f.host.values.readString("ChildMax", "?"), "1") << "written whatever the answer";

        f.ui.answers = {MsgResult::No};
        EXPECT_TRUE(f.window.closeQuery());
        EXPECT_EQ(readFile(f.path), "one\ntwo\nthree\n");

        f.ui.answers = {MsgResult::Yes};
        EXPECT_TRUE(f.window.closeQuery());
        EXPECT_EQ(readFile(f.path), "xone\ntwo\nthree\n");
    }
    {
        OpenedFixture f; // Yes, but the save fails: the window stays
        f.type("x");
        f.window.makeReadOnly();
        f.ui.answers = {MsgResult::Yes};
        EXPECT_FALSE(f.window.closeQuery());
    }
}

TEST(DocumentWindow, ClosingAndActivatingTellTheMainWindow) {
    OpenedFixture f;
    f.window.activated();
    f.window.closed();
    EXPECT_EQ(f.host.messages,
              (std::vector<Message>{{kSelectTabMessage, 7, "", false}, {kRecountMessage, 1, "", false}}));
    EXPECT_TRUE(f.window.closing());
}

TEST(DocumentWindow, ARemoteDocumentIsNeverSavedUnderItsBareNameHere) {
    OpenedFixture f;
    f.window.setRemote("site", "/pub", "a.cpp");
    f.type("x");
    f.ui.answers = {MsgResult::Yes};
    EXPECT_FALSE(f.window.closeQuery());
    EXPECT_EQ(f.host.remoteSaves, 1);
    EXPECT_EQ(readFile(f.path), "one\ntwo\nthree\n");
}

TEST(DocumentWindow, ReloadAsksBeforeDroppingChangesAndKeepsTheCaret) {
    OpenedFixture f;
    f.editor.setSelection(5, 5);
    f.type("zz");
    writeFile(f.path, "changed on disk\n");
    f.ui.answers = {MsgResult::No};
    f.window.reload();
    EXPECT_EQ(f.ui.boxes.at(0).text,
              "The file '" + f.path + "' has been modified. Reload it from disk and lose the changes?");
    EXPECT_EQ(f.editor.text(), "one\rtzzwo\rthree\r") << "No keeps the changes";
    f.ui.answers = {MsgResult::Yes};
    f.window.reload();
    EXPECT_EQ(f.editor.text(), "changed on disk\r");
    EXPECT_EQ(f.editor.selection(), (std::pair{7, 7}));
    EXPECT_FALSE(f.editor.modified());
    EXPECT_EQ(f.view.panels[1], "");
    f.window.reload(); // unmodified: no question
    EXPECT_EQ(f.ui.boxes.size(), 2u);

    f.window.setRemote("site", "/", "a.cpp");
    writeFile(f.path, "again\n");
    f.window.reload();
    EXPECT_EQ(f.editor.text(), "changed on disk\r") << "remote documents do not reload";
}

TEST(DocumentWindow, AChangeOnDiskIsNoticedOnActivationAndBeforeSaving) {
    OpenedFixture f;
    f.window.activated();
    EXPECT_TRUE(f.ui.boxes.empty()) << "unchanged on disk";
    // Another program appends a line: activation offers to reload, once.
    writeFile(f.path, "one\ntwo\nthree\nfour from elsewhere\n");
    f.ui.answers = {MsgResult::No};
    f.window.activated();
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].text, "The file '" + f.path + "' has been changed on disk by another program. Reload it?");
    f.window.activated();
    EXPECT_EQ(f.ui.boxes.size(), 1u) << "asked once for each change";
    // The user types and saves: the other program's line is not lost silently.
    f.type("x");
    f.ui.answers = {MsgResult::No};
    EXPECT_FALSE(f.window.save());
    EXPECT_NE(f.ui.boxes.back().text.find("changed on disk by another program since it was opened"),
              std::string::npos);
    EXPECT_EQ(readFile(f.path), "one\ntwo\nthree\nfour from elsewhere\n");
    EXPECT_TRUE(f.editor.modified());
    f.ui.answers = {MsgResult::Yes};
    EXPECT_TRUE(f.window.save());
    EXPECT_EQ(readFile(f.path), "xone\ntwo\nthree\n");
    EXPECT_TRUE(f.window.save()) << "the file is ours again: no question";
    const std::size_t asked = f.ui.boxes.size();
    // Reload on activation.
    writeFile(f.path, "new\n");
    f.ui.answers = {MsgResult::Yes};
    f.window.activated();
    EXPECT_EQ(f.editor.text(), "new\r");
    // A deleted file is reported once, and saving it again is asked first.
    std::remove(f.path.c_str());
    f.window.activated();
    f.window.activated();
    EXPECT_EQ(f.ui.boxes.size(), asked + 2);
    EXPECT_EQ(f.ui.boxes.back().text,
              "The file '" + f.path + "' has been deleted or moved on disk. Saving it will create it again.");
    f.editor.setSelection(0, 0);
    f.type("y");
    f.ui.answers = {MsgResult::No};
    EXPECT_FALSE(f.window.save());
    EXPECT_FALSE(fs::exists(f.path));
    f.ui.answers = {MsgResult::Yes};
    EXPECT_TRUE(f.window.save());
    EXPECT_EQ(readFile(f.path), "ynew\n");
}

TEST(DocumentWindow, AReadOnlyFileIsNeverWrittenAndSaveAsIsOffered) {
    OpenedFixture f;
    ::chmod(f.path.c_str(), 0444);
    f.type("x");
    f.ui.answers = {MsgResult::No};
    EXPECT_FALSE(f.window.save());
    EXPECT_EQ(f.ui.boxes.back().text,
              "The file '" + f.path + "' is read-only and cannot be saved. Save the text under another name?");
    EXPECT_EQ(readFile(f.path), "one\ntwo\nthree\n");
    EXPECT_TRUE(f.editor.modified());
    // Yes: Save As writes the text elsewhere, and the document is that file.
    const std::string other = f.dir.file("copy.cpp");
    f.ui.answers = {MsgResult::Yes};
    f.ui.files = {other};
    EXPECT_TRUE(f.window.save());
    EXPECT_EQ(readFile(other), "xone\ntwo\nthree\n");
    EXPECT_EQ(readFile(f.path), "one\ntwo\nthree\n");
    EXPECT_EQ(f.window.filePath(), other);
    EXPECT_FALSE(f.editor.modified());
}

TEST(DocumentWindow, AnAgreementToCloseStandsForTheCloseQueryUntilWithdrawn) {
    OpenedFixture f;
    f.type("x");
    f.ui.answers = {MsgResult::No};
    EXPECT_TRUE(f.window.agreeToClose());
    EXPECT_TRUE(f.window.closeQuery());
    EXPECT_EQ(f.ui.boxes.size(), 1u) << "not asked twice";
    f.window.withdrawCloseAgreement();
    f.ui.answers = {MsgResult::Cancel, MsgResult::Cancel};
    EXPECT_FALSE(f.window.closeQuery());
    EXPECT_FALSE(f.window.agreeToClose());
}

TEST(DocumentWindow, GoToLineClampsToTheDocumentAndAsksWhenGivenZero) {
    OpenedFixture f(numberedLines(1, 10));
    f.window.goToLine(4);
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(3));
    f.window.goToLine(500);
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(10));
    f.window.goToLine(-3);
    EXPECT_EQ(f.editor.selection().second, 0);

    f.ui.inputs = {std::string("7")};
    f.window.goToLine(0);
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(6));
    f.ui.inputs = {std::string("seven")};
    f.window.goToLine(0);
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Invalid number"});
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(6));
    f.ui.inputs = {std::nullopt};
    f.window.goToLine(0);
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(6)) << "cancel goes nowhere";
}

TEST(DocumentWindow, CollapseAndExpandWorkOnReadOnlyDocumentsToo) {
    OpenedFixture f(numberedLines(1, 10));
    f.window.makeReadOnly();
    f.editor.setSelection(f.editor.lineStart(2), f.editor.lineStart(4) + 1);
    f.window.collapseSection();
    EXPECT_EQ(f.editor.lineText(2), "--------------- 3 lines collapsed ---------------");
    EXPECT_TRUE(f.editor.readOnly());
    f.window.gutterClicked(3);
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(1, 10)));
    EXPECT_TRUE(f.editor.readOnly());
    EXPECT_EQ(f.editor.refusedEdits, 0);

    // What a read-only document saves did not change: it closes unasked.
    f.editor.setSelection(f.editor.lineStart(2), f.editor.lineStart(4) + 1);
    f.window.collapseSection();
    EXPECT_FALSE(f.editor.modified());
    EXPECT_EQ(f.view.panels[1], "");
    EXPECT_TRUE(f.window.closeQuery());
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(DocumentWindow, BookmarksGoOnTheCaretLine) {
    OpenedFixture f;
    f.editor.setSelection(5, 5);
    f.window.setBookmark(3);
    EXPECT_EQ(f.editor.bookmarks.at(3), 2);
    f.editor.setSelection(0, 0);
    f.window.jumpToBookmark(3);
    EXPECT_EQ(f.editor.selection().second, 4);
}

TEST(DocumentWindow, UndoOnlyWhenThereIsSomethingToUndo) {
    OpenedFixture f;
    f.window.undo();
    EXPECT_EQ(f.editor.text(), "one\rtwo\rthree\r");
    f.type("x");
    f.window.undo();
    EXPECT_EQ(f.editor.text(), "one\rtwo\rthree\r");
}

} // namespace
} // namespace qorvi
