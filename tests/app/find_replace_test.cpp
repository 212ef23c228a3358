// The find/replace dialog's logic over the real editor control: what it
// selects, what it replaces, what it asks and reports, and its histories.

#include "app/control_document_editor.h"
#include "app/find_replace.h"
#include "editor/control/rudivo_voru.h"
#include "tests/support/fake_shell_ui.h"

#include <gtest/gtest.h>
#include <tuple>

namespace qorvi {
namespace {

struct Dialog {
    TRudivoVoru control;
    ControlDocumentEditor editor{control};
    test::FakeShellUi ui;
    FindReplace dialog{ui};
    explicit Dialog(const std::string& text) {
        control.SetText(text);
        dialog.attach(&editor);
    }
    std::string selected() const { return editor.selectedText(); }
    std::vector<std::string> boxes() const {
        std::vector<std::string> texts;
        for (const auto& b : ui.boxes)
            texts.push_back(b.text);
        return texts;
    }
};

TEST(FindReplace, FindSelectsEachMatchInTurnInBothDirections) {
    Dialog d("one two one two one");
    d.dialog.findButton();
    EXPECT_EQ(d.boxes(), (std::vector<std::string>{"Nothing to find"}));
    d.dialog.findText = "one";
    std::vector<std::int32_t> starts;
    while (d.dialog.find())
        starts.push_back(d.editor.selection().first);
    EXPECT_EQ(starts, (std::vector<std::int32_t>{0, 8, 16}));
    d.dialog.findButton();
    EXPECT_EQ(d.boxes().back(), "No more occurences of one were found");
    d.dialog.backwards = true;
    d.editor.setSelection(8, 9); // one character selected: the search starts at its start
    ASSERT_TRUE(d.dialog.find());
    EXPECT_EQ(d.editor.selection(), (std::pair<std::int32_t, std::int32_t>{0, 3}));
}

TEST(FindReplace, ReplaceTouchesOnlyASelectedMatch) {
    Dialog d("alpha beta alpha");
    d.dialog.findText = "alpha";
    d.dialog.replaceText = "gamma";
    d.editor.setSelection(6, 10); // "beta": not a match of this search
    d.dialog.replaceButton();
    EXPECT_EQ(d.control.GetText(), "alpha beta alpha");
    EXPECT_EQ(d.selected(), "alpha");
    d.dialog.replaceButton();
    EXPECT_EQ(d.control.GetText(), "alpha beta gamma");
    EXPECT_EQ(d.boxes().back(), "No more occurences of alpha were found");
}

TEST(FindReplace, ReplaceAllCountsWhatItFoundAndWhatItReplaced) {
    Dialog d("x x x x\rx");
    d.dialog.findText = "x";
    d.dialog.replaceText = "yy";
    d.dialog.prompt = true;
    d.ui.answers = {MsgResult::Yes, MsgResult::No, MsgResult::All};
    d.dialog.replaceAllButton();
    EXPECT_EQ(d.control.GetText(), "yy x yy yy\ryy");
    EXPECT_EQ(d.boxes().back(), "5 occurences of x were found, 4 were replaced by yy");
    EXPECT_EQ(d.ui.boxes.size(), 4u) << "three questions, then the report";
    EXPECT_EQ(d.ui.boxes[0].text, "Would you like to replace this occurence of x to yy");

    d.ui.boxes.clear();
    d.ui.answers = {MsgResult::Cancel};
    d.editor.setSelection(0, 0);
    d.dialog.findText = "yy";
    d.dialog.replaceText = "z";
    d.dialog.replaceAllButton();
    EXPECT_EQ(d.control.GetText(), "yy x yy yy\ryy") << "Cancel changes nothing";

    d.dialog.prompt = false;
    d.editor.setSelection(0, 0);
    d.dialog.replaceAllButton();
    EXPECT_EQ(d.control.GetText(), "z x z z\rz");
    EXPECT_EQ(d.boxes().back(), "4 occurences of yy were replaced by z");
    d.editor.undo();
    EXPECT_EQ(d.control.GetText(), "yy x yy yy\ryy") << "one undo takes back the whole Replace All";
    d.editor.redo();
    d.dialog.findText = "none";
    d.dialog.replaceAllButton();
    EXPECT_EQ(d.boxes().back(), "0 occurences of none were replaced by z");
}

TEST(FindReplace, ReplaceAllEndsOnEmptyMatchesAndReplacementsThatHoldTheText) {
    Dialog d("ab\rcd\ref");
    d.dialog.regExpression = true;
    d.dialog.findText = "^";
    d.dialog.replaceText = "> ";
    EXPECT_EQ(d.dialog.replaceAll().replaced, 3);
    EXPECT_EQ(d.control.GetText(), "> ab\r> cd\r> ef");
    d.dialog.regExpression = false;
    d.dialog.backwards = true;
    d.dialog.findText = "a";
    d.dialog.replaceText = "aa";
    d.editor.setSelection(d.control.TextStore().NumChars(), d.control.TextStore().NumChars());
    EXPECT_EQ(d.dialog.replaceAll().replaced, 1);
    EXPECT_EQ(d.control.GetText(), "> aab\r> cd\r> ef");
}

TEST(FindReplace, EscapeEndsAReplaceAllAndIsNotReportedAsNotFound) {
    Dialog d("x x x x x");
    d.dialog.findText = "x";
    d.dialog.replaceText = "y";
    d.ui.cancelAtPoll = 2; // Escape before the third match is looked for
    EXPECT_EQ(d.dialog.replaceAll().replaced, 2);
    EXPECT_EQ(d.control.GetText(), "y y x x x");
    EXPECT_EQ(d.ui.busyDepth, 0);
    d.ui.boxes.clear();
    d.dialog.findText = "none";
    d.dialog.findButton();
    EXPECT_TRUE(d.ui.boxes.empty()) << "a cancelled search says nothing";
    d.ui.cancelAtPoll = -1;
    d.dialog.findButton();
    EXPECT_EQ(d.boxes(), (std::vector<std::string>{"No more occurences of none were found"}));
}

TEST(FindReplace, HistoriesKeepTheTwentyNewest) {
    Dialog d("text");
    for (int i = 0; i < 22; ++i) {
        d.dialog.findText = "w" + std::to_string(i);
        d.dialog.enterInFind();
    }
    d.dialog.findText = "w21";
    d.dialog.enterInFind(); // already there: not added again
    ASSERT_EQ(d.dialog.findHistory().size(), FindReplace::kHistoryLength);
    EXPECT_EQ(d.dialog.findHistory().front(), "w21");
    EXPECT_EQ(d.dialog.findHistory().back(), "w2");
}

TEST(FindReplace, SearchingTheCurrentWordOffersToStartAgainFromTheTop) {
    Dialog d("abc\rabc\r");
    d.editor.setSelection(5, 5);
    d.dialog.findText = "abc";
    d.dialog.searchAgain(d.editor);
    EXPECT_EQ(d.boxes().back(), "No more occurences of abc were found");
    d.ui.answers = {MsgResult::Yes};
    d.dialog.searchCurrentWord(d.editor); // no styles: the find text stays
    EXPECT_EQ(d.ui.boxes.back().text,
              "No more occurences of abc were found. Would you like to search from the begining of the document?");
    EXPECT_EQ(d.editor.selection(), (std::pair<std::int32_t, std::int32_t>{0, 3}));
}

} // namespace
} // namespace qorvi

namespace qorvi {
namespace {

TEST(FindReplace, TheDialogsTextsMeetTheDocumentInItsEncoding) {
    // The dialog's texts are Unicode (UTF-8); the same words in a UTF-8 and a
    // Windows-1252 text are found and replaced as the document's bytes.
    for (const auto& [encoding, text, replaced] :
         {std::tuple{TextEncoding::Utf8, std::string("caf\xC3\xA9 caf\xC3\xA9"), std::string("th\xC3\xA9 th\xC3\xA9")},
          std::tuple{TextEncoding::Windows1252, std::string("caf\xE9 caf\xE9"), std::string("th\xE9 th\xE9")}}) {
        Dialog d("");
        d.control.SetEncoding(encoding);
        d.control.SetText(text);
        d.dialog.findText = "caf\xC3\xA9";
        d.dialog.replaceText = "th\xC3\xA9";
        ASSERT_TRUE(d.dialog.find());
        EXPECT_EQ(d.selected(), text.substr(0, text.size() / 2));
        d.editor.setSelection(0, 0);
        EXPECT_EQ(d.dialog.replaceAll().replaced, 2);
        EXPECT_EQ(d.control.GetText(), replaced);
    }
}

TEST(FindReplace, ACharacterAWindows1252DocumentCannotHoldIsRefusedNeverAQuestionMark) {
    const std::string cjk = "\xE4\xB8\xAD"; // 中
    // Searching for it, replacing with it, or both: the editor is asked as
    // typing would ask; declined, nothing changes and nothing is reported
    // as not found; accepted, the document becomes UTF-8 and the work runs.
    for (const bool accept : {false, true})
        for (const auto& [find, with] : {std::pair{cjk, std::string("x")}, std::pair{std::string("?"), cjk}}) {
            Dialog d("");
            d.control.SetEncoding(TextEncoding::Windows1252);
            d.control.SetText("a ? b");
            std::vector<std::string> asked;
            d.control.OnEncodingRefused = [&](TCustomRudivoVoru& control, const std::string& character) {
                asked.push_back(character);
                return accept && control.ConvertEncoding(TextEncoding::Utf8);
            };
            d.dialog.findText = find;
            d.dialog.replaceText = with;
            d.dialog.replaceAllButton();
            d.dialog.replaceButton();
            const std::vector<std::string> expected(accept ? 1 : 2, cjk);
            EXPECT_EQ(asked, expected);
            if (accept) {
                EXPECT_EQ(d.control.Encoding(), TextEncoding::Utf8);
                EXPECT_EQ(d.control.GetText(), find == cjk ? "a ? b" : "a " + cjk + " b");
            } else {
                EXPECT_EQ(d.control.GetText(), "a ? b");
                EXPECT_TRUE(d.ui.boxes.empty()) << d.ui.boxes.front().text;
            }
        }
}

} // namespace
} // namespace qorvi
