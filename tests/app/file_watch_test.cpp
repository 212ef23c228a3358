// Watch mode: the last N lines of a growing file, shown read-only, with what
// the file gains appended at each tick.

#include "app/document_window.h"
#include "tests/support/fake_document_window.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {
namespace {

std::string numberedLines(int from, int to) {
    std::string text;
    for (int i = from; i <= to; ++i)
        text += "line" + std::to_string(i) + "\n";
    return text;
}

void append(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

// Moves the file's last-write time on, so that a tick sees a change however
// fast the test runs.
void touchLater(const std::string& path, int seconds) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    times[1].tv_sec += seconds;
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

struct WatchFixture : test::DocumentFixture {
    std::string path = dir.file("app.log");
    explicit WatchFixture(const std::string& text = numberedLines(1, 100)) {
        std::ofstream(path, std::ios::binary) << text;
        view.setCaption(path);
        window.loadFile(path);
        window.setFilePath(path);
    }
    void tick(int later) {
        touchLater(path, later);
        window.watchTimerFired();
    }
};

TEST(FileWatch, SwitchingOnKeepsTheLastThirtyLinesReadOnly) {
    WatchFixture f;
    EXPECT_TRUE(f.window.setWatch(true));
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(71, 100)));
    EXPECT_EQ(f.editor.selection().second, f.editor.lineStart(29)) << "the caret goes to line 30";
    EXPECT_TRUE(f.editor.readOnly());
    EXPECT_TRUE(f.timer.running);
    EXPECT_EQ(f.timer.interval, 3000);
    EXPECT_TRUE(f.view.watchChecked);
    EXPECT_FALSE(f.editor.modified());
    EXPECT_EQ(f.editor.frozen, 0);
}

TEST(FileWatch, LinesAppendedToTheFileShowAtTheNextTick) {
    WatchFixture f;
    ASSERT_TRUE(f.window.setWatch(true));
    f.tick(1); // notes where the file ends
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(71, 100)));

    append(f.path, numberedLines(101, 105));
    f.tick(2);
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(76, 105)));
    EXPECT_EQ(f.window.watch().offset(), static_cast<std::int64_t>(numberedLines(1, 105).size()));
    EXPECT_FALSE(f.editor.modified());
    EXPECT_EQ(f.view.panels[1], "");

    f.tick(2); // no change on disk: nothing happens
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(76, 105)));
}

TEST(FileWatch, LinesWrittenBeforeTheFirstTickAreNotLost) {
    WatchFixture f;
    append(f.path, numberedLines(101, 101)); // after loading, before watching
    ASSERT_TRUE(f.window.setWatch(true));
    append(f.path, numberedLines(102, 103)); // within the first tick's interval
    f.tick(1);
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(74, 103)));
}

TEST(FileWatch, AFileThatShrankIsReadAgainFromItsStart) {
    WatchFixture f;
    ASSERT_TRUE(f.window.setWatch(true));
    f.tick(1);
    std::ofstream(f.path, std::ios::binary | std::ios::trunc) << "fresh1\nfresh2\n";
    f.tick(2);
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(73, 100) + "fresh1\nfresh2\n"));
    EXPECT_EQ(f.window.watch().offset(), 14);
}

TEST(FileWatch, ARotatedLogIsReadFromItsStart) {
    WatchFixture f;
    ASSERT_TRUE(f.window.setWatch(true));
    f.tick(1);
    // The log moves aside and a new, longer one takes its name.
    ASSERT_EQ(::rename(f.path.c_str(), (f.path + ".1").c_str()), 0);
    std::ofstream(f.path, std::ios::binary) << numberedLines(200, 299) + numberedLines(300, 302);
    f.tick(2);
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(273, 302)));
}

TEST(FileWatch, AnEmptyFileShowsWhatIsWrittenToIt) {
    WatchFixture f("");
    ASSERT_TRUE(f.window.setWatch(true));
    f.tick(1);
    append(f.path, "first\n");
    f.tick(2);
    EXPECT_EQ(f.editor.text(), "first\r");
}

TEST(FileWatch, TheEncodingFollowsTheFileAsOpeningItWouldFindIt) {
    const std::string cafeUtf8 = "caf\xC3\xA9\n", cafe1252 = "caf\xE9\n";
    struct Step {
        std::string append;  // added to the file
        bool truncate;       // the file is written anew instead
        TextEncoding expected;
    };
    struct Case {
        std::string file;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        // A character cut by the writer is not taken for a bad byte; a
        // Windows-1252 byte makes the document so, and UTF-8 after it does
        // not make it UTF-8 again.
        {cafeUtf8, {{"x\xC3", false, TextEncoding::Utf8}, {"\xA9\n", false, TextEncoding::Utf8},
                    {cafe1252, false, TextEncoding::Windows1252}, {cafeUtf8, false, TextEncoding::Windows1252}}},
        // With a byte-order mark the file is UTF-8 whatever follows.
        {"\xEF\xBB\xBF" + cafeUtf8, {{cafe1252, false, TextEncoding::Utf8}}},
        // A file cut short and read again from its start is judged by its own bytes.
        {cafe1252 + "a longer line\n", {{cafeUtf8, true, TextEncoding::Utf8}, {cafe1252, true, TextEncoding::Windows1252}}},
    };
    for (const Case& c : cases) {
        WatchFixture f(c.file);
        ASSERT_TRUE(f.window.setWatch(true));
        f.tick(1);
        int later = 2;
        std::string expectedText = c.file;
        for (const Step& step : c.steps) {
            if (step.truncate)
                std::ofstream(f.path, std::ios::binary | std::ios::trunc) << step.append;
            else
                append(f.path, step.append);
            expectedText += step.append;
            f.tick(later++);
            EXPECT_EQ(f.editor.encoding(), step.expected) << c.file << " + " << step.append;
            EXPECT_EQ(f.view.panels[DocumentWindow::kEncodingPanel], encodingName(step.expected));
        }
        EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(expectedText)) << "the bytes stay as written";
    }
}

TEST(FileWatch, ZeroBytesAndPartialLinesArriveAsWritten) {
    WatchFixture f("a\n");
    ASSERT_TRUE(f.window.setWatch(true));
    f.tick(1);
    append(f.path, std::string("b\0c", 3));
    f.tick(2);
    append(f.path, "d\n");
    f.tick(3);
    EXPECT_EQ(f.editor.text(), std::string("a\rb\0cd\r", 7)) << "every byte read is appended";
    EXPECT_EQ(f.window.watch().offset(), 7);
}

TEST(FileWatch, ACrLfBreakWrittenInTwoPiecesIsOneBreak) {
    WatchFixture f("a\r\n");
    ASSERT_TRUE(f.window.setWatch(true));
    f.tick(1);
    append(f.path, "b\r");
    f.tick(2);
    append(f.path, "\nc\r\n");
    f.tick(3);
    EXPECT_EQ(f.editor.text(), "a\rb\rc\r");
    EXPECT_EQ(f.window.watch().offset(), 9) << "the offset counts every byte read";

    // The first tick notes a file that ends between CR and LF, too.
    WatchFixture g("x\r");
    ASSERT_TRUE(g.window.setWatch(true));
    g.tick(1);
    append(g.path, "\ny\n");
    g.tick(2);
    EXPECT_EQ(g.editor.text(), "x\ry\r");
    append(g.path, "\n");
    g.tick(3);
    EXPECT_EQ(g.editor.text(), "x\ry\r\r") << "a LF after a LF is an empty line";
}

TEST(FileWatch, AWatchedDocumentNeverSavesAgain) {
    WatchFixture f;
    ASSERT_TRUE(f.window.setWatch(true));
    EXPECT_FALSE(f.window.setWatch(false));
    EXPECT_FALSE(f.editor.readOnly());
    EXPECT_FALSE(f.timer.running);
    EXPECT_FALSE(f.view.watchChecked);
    f.editor.replaceSelection("x");
    EXPECT_FALSE(f.window.save());
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{DocumentWindow::kMsgWasWatched});
}

TEST(FileWatch, AModifiedDocumentIsOfferedASaveFirst) {
    WatchFixture f(numberedLines(1, 3));
    f.editor.replaceSelection("edited ");
    f.ui.answers = {MsgResult::Cancel};
    EXPECT_FALSE(f.window.setWatch(true));
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored("edited " + numberedLines(1, 3)));
    EXPECT_FALSE(f.timer.running);
    EXPECT_FALSE(f.editor.readOnly());

    f.ui.answers = {MsgResult::Yes};
    EXPECT_TRUE(f.window.setWatch(true));
    EXPECT_EQ(fs::readFile(f.path).value(), "edited " + numberedLines(1, 3));
    EXPECT_EQ(f.ui.boxes.size(), 2u);
}

TEST(FileWatch, RemoteDocumentsCannotBeWatched) {
    WatchFixture f;
    f.window.setRemote("site", "/", "app.log");
    EXPECT_FALSE(f.window.setWatch(true));
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Cannot watch a remote file"});
    EXPECT_FALSE(f.timer.running);
}

TEST(FileWatch, TheLineCountComesFromTheMainWindow) {
    WatchFixture f;
    f.host.watchLines = 5;
    ASSERT_TRUE(f.window.setWatch(true));
    EXPECT_EQ(f.editor.text(), test::FakeDocumentEditor::stored(numberedLines(96, 100)));
}

TEST(FileWatch, AReadOnlyDocumentStaysReadOnlyAfterTheWatch) {
    WatchFixture f;
    f.window.makeReadOnly();
    ASSERT_TRUE(f.window.setWatch(true));
    f.window.setWatch(false);
    EXPECT_TRUE(f.editor.readOnly());
}

} // namespace
} // namespace qorvi
