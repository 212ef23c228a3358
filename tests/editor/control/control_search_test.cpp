// The control's search and replace through its public interface: plain
// search against a naive model over random texts and options, replacement
// templates, repeated searches, replace all, regular expressions and the
// messages the user sees.

#include "editor/control/rudivo_voru.h"
#include "editor/lexicon/word_chars.h"
#include "platform/code_page.h"
#include "tests/editor/control/control_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>

namespace qorvi {
namespace {

using test::ControlFixture;

// The first match at or after `start`, or the last one before it.
std::int32_t naiveFind(const std::string& text, const std::string& pattern, std::int32_t start, std::int32_t flags) {
    const bool matchCase = flags & kFindMatchCase;
    auto same = [&](char a, char b) {
        return matchCase ? a == b
                         : cp1252Upper(static_cast<unsigned char>(a)) == cp1252Upper(static_cast<unsigned char>(b));
    };
    auto word = [](int c) { return c >= 0 && (isDefaultWordChar(static_cast<unsigned char>(c)) ||
                                              isDefaultWordStart(static_cast<unsigned char>(c))); };
    auto at = [&](std::int32_t i) { return i < 0 || i >= static_cast<std::int32_t>(text.size()) ? -1 : static_cast<unsigned char>(text[i]); };
    auto matchesAt = [&](std::int32_t i) {
        if (i < 0 || i + pattern.size() > text.size())
            return false;
        for (std::size_t k = 0; k < pattern.size(); ++k)
            if (!same(text[i + k], pattern[k]))
                return false;
        return !(flags & kFindWholeWord) ||
               (!word(at(i - 1)) && !word(at(i + static_cast<std::int32_t>(pattern.size()))));
    };
    if (flags & kFindBackwards) {
        for (std::int32_t i = start - 1; i >= 0; --i)
            if (matchesAt(i))
                return i;
        return -1;
    }
    for (std::int32_t i = start; i < static_cast<std::int32_t>(text.size()); ++i)
        if (matchesAt(i))
            return i;
    return -1;
}

TEST(ControlSearch, PlainSearchFindsWhatANaiveScanFinds) {
    ControlFixture f;
    std::mt19937 rng(7);
    const std::string alphabet = "aAbB \t(\r\xE9\xC9_1";
    for (int round = 0; round < 60; ++round) {
        std::string text;
        // Some texts hold a line longer than a record, so matches span records.
        const int length = round % 5 == 0 ? 9000 : 1 + static_cast<int>(rng() % 200);
        for (int i = 0; i < length; ++i)
            text.push_back(round % 5 == 0 && i % 997 != 0 ? alphabet[rng() % 4] : alphabet[rng() % alphabet.size()]);
        f.ctl.SetText(text);
        for (int probe = 0; probe < 40; ++probe) {
            std::string pattern;
            const std::size_t from = rng() % text.size();
            pattern = text.substr(from, 1 + rng() % 4);
            if (rng() % 3 == 0)
                pattern[0] = alphabet[rng() % alphabet.size()];
            const std::int32_t flags = kFindNow | (rng() % 2 ? kFindMatchCase : 0) |
                                       (rng() % 3 == 0 ? kFindWholeWord : 0) | (rng() % 2 ? kFindBackwards : 0);
            const std::int32_t start = static_cast<std::int32_t>(rng() % (text.size() + 1));
            f.ctl.SetSelection({start, start});
            std::int32_t expected = naiveFind(text, pattern, start, flags);
            if (!(flags & kFindBackwards) && start >= static_cast<std::int32_t>(text.size()))
                expected = -1;
            ASSERT_EQ(f.ctl.DoFindText(flags, pattern), expected)
                << "round " << round << " pattern '" << pattern << "' start " << start << " flags " << flags;
        }
    }
}

TEST(ControlSearch, WholeWordsFindNextAndTheMessages) {
    ControlFixture f;
    f.ctl.SetText("if iffy (if) if\rend");
    std::int32_t at = -1;
    f.ctl.SetSelection({0, 0});
    ASSERT_TRUE(f.ctl.FindText("if", at, kFindNow | kFindWholeWord));
    EXPECT_EQ(at, 0);
    f.ctl.SetSelection({1, 1});
    ASSERT_TRUE(f.ctl.FindText("if", at, kFindNow | kFindWholeWord));
    EXPECT_EQ(at, 9) << "not inside iffy; beside a parenthesis";
    // FindNext selects each match once, in turn.
    std::vector<std::int32_t> found;
    while (f.ctl.FindNext(at))
        found.push_back(at);
    EXPECT_EQ(found, (std::vector<std::int32_t>{9, 13})) << "FindText selects nothing; FindNext does";
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0], "Search string \"if\" not found.");
    std::vector<std::string> failed;
    f.ctl.OnSearchFail = [&](TCustomRudivoVoru&, const std::string& t) { failed.push_back(t); };
    f.ctl.SetSelection({f.ctl.TextStore().NumChars(), f.ctl.TextStore().NumChars()});
    EXPECT_FALSE(f.ctl.FindNext(at)) << "from the end of the text";
    EXPECT_EQ(failed, (std::vector<std::string>{"if"}));
    EXPECT_EQ(f.host.messages.size(), 1u);
    // A plain search without match case, as the last search, repeated.
    f.ctl.SetSelection({0, 0});
    ASSERT_TRUE(f.ctl.FindText("IF", at, kFindNow));
    f.ctl.SetSelection({at, at + 2});
    ASSERT_TRUE(f.ctl.FindNext(at));
    EXPECT_EQ(at, 3) << "the selected match is not found again";
}

TEST(ControlSearch, ReplacementTemplates) {
    ControlFixture f;
    f.ctl.SetText("key=value\r");
    f.ctl.SetSelection({0, 0});
    std::int32_t at = -1;
    ASSERT_TRUE(f.ctl.FindText("(\\w+)=(\\w+)", at, kFindNow | kFindRegExpr));
    EXPECT_EQ(f.ctl.GetSelText(), "key=value");
    std::string out;
    const std::pair<std::string, std::string> cases[] = {
        {"%1-%%", "key-%"},
        {"%3%2%1", "value=key"}, // every consuming node is a section: "=" is the second
        {"%a%", "a%"},
        {"\\n\\r\\t\\s\\\\\\q", "\r\n\t \\q"},
        {"\\x41\\x4a!\\101\\7x", "AJ!A\x07x"},
        {"ab\\xZ", "ab"},
        {"ab\\400c", "ab"},
    };
    for (const auto& [in, expected] : cases) {
        f.ctl.FormReplaceText(in, out);
        EXPECT_EQ(out, expected) << in;
    }
}

TEST(ControlSearch, ReplaceAllIsOneUndoStepEndingAtTheLastMatch) {
    ControlFixture f;
    const std::string text = "cat dog cat\rcatalog cat";
    f.ctl.SetText(text);
    EXPECT_EQ(f.ctl.DoReplaceAll(0, 1000, true, true, "tiger", "cat"), 3);
    EXPECT_EQ(f.ctl.GetText(), "tiger dog tiger\rcatalog tiger");
    EXPECT_EQ(f.ctl.GetSelection(), (TChRange{24, 24}));
    EXPECT_EQ(f.host.busyChanges, (std::vector<bool>{true, false}));
    f.ctl.DoUndo();
    EXPECT_EQ(f.ctl.GetText(), text);
    f.ctl.DoReDo();
    EXPECT_EQ(f.ctl.GetText(), "tiger dog tiger\rcatalog tiger");
    EXPECT_EQ(f.ctl.DoReplaceAll(0, 1000, false, false, "x", "CAT"), 1) << "catalog";
    EXPECT_EQ(f.ctl.DoReplaceAll(0, 1000, false, false, "x", "none"), 0);
}

TEST(ControlSearch, RegularExpressionsBothWaysAndTheirErrors) {
    ControlFixture f;
    f.ctl.SetText("a1 b22 c333\r");
    f.ctl.SetSelection({0, 0});
    std::int32_t at = -1;
    ASSERT_TRUE(f.ctl.FindText("[a-z]\\d+", at, kFindNow | kFindRegExpr));
    EXPECT_EQ(f.ctl.GetSelText(), "a1");
    ASSERT_TRUE(f.ctl.FindNext(at));
    EXPECT_EQ(f.ctl.GetSelText(), "b22");
    EXPECT_EQ(f.ctl.GetFindRESection(0), 3);
    EXPECT_EQ(f.ctl.GetFindRESection(99), 6) << "limited to the section count";
    f.ctl.SetSelection({11, 11});
    ASSERT_TRUE(f.ctl.FindText("[a-z]\\d+", at, kFindNow | kFindRegExpr | kFindBackwards));
    EXPECT_EQ(at, 7);
    EXPECT_FALSE(f.ctl.FindText("(ab", at, kFindNow | kFindRegExpr));
    ASSERT_EQ(f.host.messages.size(), 1u);
    const std::string& box = f.host.messages[0];
    const std::size_t caret = box.rfind('\n');
    ASSERT_NE(caret, std::string::npos);
    EXPECT_EQ(box.substr(box.find('\n') + 1, 4), "(ab\n");
    EXPECT_EQ(box.back(), '^');
    // The SMM_FIND message searches as DoFindText does.
    f.ctl.SetSelection({0, 0});
    EXPECT_EQ(f.ctl.perform(SMM_FIND, kFindNow, reinterpret_cast<std::intptr_t>("c3")), 7);
}

TEST(ControlSearch, TokenTextIsTheRunOfOneStyle) {
    ControlFixture f;
    test::TestParser parser;
    f.ctl.SetParser1(&parser);
    f.ctl.SetText("int value; // note\r");
    f.idle();
    std::int32_t start = -1;
    std::string text;
    f.ctl.TokenTextAtPos(6, start, text);
    EXPECT_EQ(text, "value");
    EXPECT_EQ(start, 4);
    EXPECT_EQ(f.ctl.GetTokenAtCharPos(0), 1);
    EXPECT_EQ(f.ctl.GetTokenAtCharPos(-1), 255);
    // Under the mouse pointer.
    EXPECT_EQ(f.ctl.GetTokenAtCursorPos(), 255) << "before the pointer was seen";
    int x = 0, y = 0;
    ASSERT_TRUE(f.ctl.PosFromIndex(5, x, y));
    f.ctl.MouseMove(MouseInput{x + 1, y + 1});
    f.ctl.GetTokenTextAtCursorPos(start, text);
    EXPECT_EQ(text, "value");
    EXPECT_EQ(f.ctl.GetTokenAtCursorPos(), f.ctl.GetTokenAtCharPos(5));
    // The token text gathered for OnTokenSeen.
    std::vector<std::string> seen;
    f.ctl.OnTokenSeen = [&](TCustomRudivoVoru& c, int&, std::int32_t, std::int32_t) {
        seen.push_back(c.GetGatheredTokenText());
    };
    f.ctl.SetText("int value;\r");
    f.idle();
    EXPECT_NE(std::find(seen.begin(), seen.end(), "value"), seen.end());
    EXPECT_NE(std::find(seen.begin(), seen.end(), "int"), seen.end());
    f.ctl.SetParser1(nullptr);
}

TEST(ControlSearch, OwnDialogsFindAndReplace) {
    ControlFixture f;
    f.ctl.SetText("cat dog cat\rCAT cat");
    // Without kFindNow the host's dialog opens with the selected text.
    f.ctl.SetSelection({4, 7});
    EXPECT_EQ(f.ctl.DoFindText(kFindMatchCase, ""), -1);
    ASSERT_EQ(f.host.dialogs.size(), 1u);
    EXPECT_EQ(f.host.dialogs[0].findText, "dog");
    EXPECT_FALSE(f.ctl.HideSelection());
    // Find next, both ways, case from the dialog's options.
    f.ctl.SetSelection({0, 0});
    std::vector<std::int32_t> starts;
    while (f.ctl.DialogFindNext("cat", kFindMatchCase))
        starts.push_back(f.ctl.GetSelection().chStart);
    EXPECT_EQ(starts, (std::vector<std::int32_t>{0, 8, 16}));
    EXPECT_EQ(f.host.messages, (std::vector<std::string>{"Search string \"cat\" not found."}));
    ASSERT_TRUE(f.ctl.DialogFindNext("cat", kFindBackwards));
    EXPECT_EQ(f.ctl.GetSelection().chStart, 12) << "without match case, CAT";
    // Replace, asking: Yes, No, then All.
    const std::string text = f.ctl.GetText();
    f.ctl.SetSelection({0, 0});
    f.host.answers = {ReplaceAnswer::Yes, ReplaceAnswer::No, ReplaceAnswer::All};
    EXPECT_EQ(f.ctl.DialogReplace("cat", "tiger", 0, false), 3);
    EXPECT_EQ(f.ctl.GetText(), "tiger dog cat\rtiger tiger");
    ASSERT_EQ(f.host.questions.size(), 3u) << "All answers for the rest";
    EXPECT_EQ(f.host.questions[0], "Replace this occurence of 'cat' with 'tiger' ?");
    EXPECT_EQ(f.host.questions[2], "Replace this occurence of 'CAT' with 'tiger' ?");
    f.ctl.DoUndo();
    EXPECT_EQ(f.ctl.GetText(), text) << "one undo step";
    // Cancel stops at once and says nothing more.
    const std::size_t messages = f.host.messages.size();
    f.ctl.SetSelection({0, 0});
    f.host.answers = {ReplaceAnswer::Cancel};
    EXPECT_EQ(f.ctl.DialogReplace("cat", "tiger", 0, false), 0);
    EXPECT_EQ(f.ctl.GetText(), text);
    EXPECT_EQ(f.host.messages.size(), messages);
    // Replace all without asking, plain.
    f.ctl.SetSelection({0, 0});
    EXPECT_EQ(f.ctl.DialogReplace("cat", "ox", kFindMatchCase | kFindWholeWord, true), 3);
    EXPECT_EQ(f.ctl.GetText(), "ox dog ox\rCAT ox");
}

TEST(ControlSearch, OwnDialogsWithRegularExpressions) {
    ControlFixture f;
    f.ctl.SetText("a=1\rbb=22\rccc=333");
    f.ctl.DoFindText(kFindRegExpr, "");
    ASSERT_TRUE(f.ctl.SearchRegExpr());
    // A match of no characters is passed over by find next.
    f.ctl.SetSelection({0, 0});
    ASSERT_TRUE(f.ctl.DialogFindNext("[0-9]*", 0));
    EXPECT_EQ(f.ctl.GetSelText(), "1");
    ASSERT_TRUE(f.ctl.DialogFindNext("[0-9]*", 0));
    EXPECT_EQ(f.ctl.GetSelText(), "22");
    // Replace all with sections, one undo step.
    const std::string text = f.ctl.GetText();
    f.ctl.SetSelection({0, 0});
    EXPECT_EQ(f.ctl.DialogReplace("([a-z]+)=([0-9]+)", "%3:%1", 0, true), 3);
    EXPECT_EQ(f.ctl.GetText(), "1:a\r22:bb\r333:ccc");
    f.ctl.DoUndo();
    EXPECT_EQ(f.ctl.GetText(), text);
    // Empty matches: every line start gets the prefix once, and it ends.
    f.ctl.SetSelection({0, 0});
    EXPECT_EQ(f.ctl.DialogReplace("^", "# ", 0, true), 3);
    EXPECT_EQ(f.ctl.GetText(), "# a=1\r# bb=22\r# ccc=333");
    f.ctl.SetSelection({0, 0});
    f.ctl.DialogReplace("x*", "-", 0, true);
    EXPECT_EQ(f.ctl.GetText().substr(0, 6), "-#- -a") << "one insertion per position";
}

TEST(ControlSearch, ACancelledSearchChangesAndReportsNothing) {
    ControlFixture f;
    std::string text;
    for (int i = 0; i < 40000; ++i)
        text += "abcdefgh\r";
    f.ctl.SetText(text);
    f.host.cancelAfterPolls = 0; // Escape was pressed as the search began
    struct Case {
        std::int32_t flags;
        std::string pattern;
    } cases[] = {{0, "zz"}, {kFindBackwards, "zz"}, {kFindRegExpr, "[a-h]+[0-9]"},
                    {kFindRegExpr | kFindBackwards, "[a-h]+[0-9]"}, {kFindRegExpr, "((b{1,300}){1,300})+[0-9]"}};
    for (const Case& c : cases) {
        f.ctl.SetSelection(c.flags & kFindBackwards ? TChRange{360000, 360000} : TChRange{0, 0});
        f.host.searchPolls = 0;
        std::int32_t at = 0;
        EXPECT_FALSE(f.ctl.FindText(c.pattern, at, kFindNow | c.flags)) << c.pattern;
        EXPECT_TRUE(f.ctl.SearchInterrupted()) << c.pattern;
        EXPECT_GT(f.host.searchPolls, 0) << c.pattern;
    }
    std::int32_t next = 0;
    EXPECT_FALSE(f.ctl.FindNext(next));
    EXPECT_EQ(f.ctl.DoReplaceAll(0, 1 << 30, false, true, "X", "h\ra"), 0);
    EXPECT_TRUE(f.ctl.GetText() == text);
    EXPECT_TRUE(f.host.messages.empty()) << (f.host.messages.empty() ? "" : f.host.messages[0]);
    EXPECT_EQ(f.host.longSearchDepth, 0);
    f.host.cancelAfterPolls = 1L << 40;
    std::int32_t at = 0;
    f.ctl.SetSelection({0, 0});
    EXPECT_TRUE(f.ctl.FindText("h\ra", at, kFindNow));
    EXPECT_FALSE(f.ctl.SearchInterrupted());
}

} // namespace
} // namespace qorvi
