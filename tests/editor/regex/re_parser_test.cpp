#include "editor/regex/re_parser.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {
namespace {

struct Found {
    bool found = false;
    std::int32_t start = -1;
    std::int32_t end = -1;
    int sections = 0;
};

class RegexTest : public ::testing::Test {
protected:
    void setText(const std::string& text) {
        store = std::make_unique<TTextStore>();
        if (!text.empty())
            store->InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        stream = store->GetTextStream(0);
    }

    Found search(std::int32_t from, bool forward = true) {
        stream->SetYYpos(from);
        Found f;
        f.found = re.Search(*stream, forward);
        if (f.found) {
            f.sections = re.SectionCount();
            f.start = re.GetSection(0);
            f.end = re.GetSection(f.sections);
            EXPECT_EQ(stream->GetYYpos(), f.end);
        }
        return f;
    }

    // The text of the first match of `pattern` in `text`, or "<none>".
    std::string first(const std::string& pattern, const std::string& text, std::int32_t from = 0) {
        setText(text);
        EXPECT_TRUE(re.Compile(pattern)) << pattern << ": " << re.ErrorMessage();
        Found f = search(from);
        return f.found
                   ? text.substr(static_cast<std::size_t>(f.start), static_cast<std::size_t>(f.end - f.start))
                   : "<none>";
    }

    // Compiles `pattern`, expecting failure; returns "number@position".
    std::string compileError(const std::string& pattern) {
        EXPECT_FALSE(re.Compile(pattern)) << pattern;
        return std::to_string(re.ErrorNumber()) + "@" + std::to_string(re.ErrorPosition());
    }

    TREParser re;
    std::unique_ptr<TTextStore> store;
    std::unique_ptr<TEdStream> stream;
};

TEST_F(RegexTest, PlainCharactersAreOneSectionEach) {
    setText("xxabcx");
    ASSERT_TRUE(re.Compile("abc"));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.sections, 3);
    EXPECT_EQ(re.GetSection(0), 2);
    EXPECT_EQ(re.GetSection(1), 3);
    EXPECT_EQ(re.GetSection(2), 4);
    EXPECT_EQ(re.GetSection(3), 5);
    EXPECT_EQ(re.GetSection(4), -1);
}

TEST_F(RegexTest, QuotedLiteralIsOneSectionAndQuotesOperators) {
    setText("axb a.b");
    ASSERT_TRUE(re.Compile("\"a.b\""));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 4);
    EXPECT_EQ(f.end, 7);
    EXPECT_EQ(f.sections, 1);
    EXPECT_EQ(first("\"a\\tb\"", "a\tb"), "a\tb");
    EXPECT_EQ(first("\"ab\"+", "xababab"), "ababab");
    EXPECT_EQ(first("x\"\"y", "xy"), "xy");
}

TEST_F(RegexTest, AnyMatchesEverythingButTheLineBreak) {
    EXPECT_EQ(first("a.c", "a\rc abc"), "abc");
    EXPECT_EQ(first("a.c", "a\nc"), "a\nc");
    EXPECT_EQ(first(".+", "xy\rz"), "xy");
}

TEST_F(RegexTest, ClassesRangesAndComplements) {
    EXPECT_EQ(first("[a-c]+", "xxbcaby"), "bcab");
    EXPECT_EQ(first("[^a-c]+", "abxy\rca"), "xy\r");
    EXPECT_EQ(first("[-a]+", "b-a-"), "-a-");
    EXPECT_EQ(first("[\\]x]+", "a]x]"), "]x]");
    EXPECT_EQ(first("[\\d_]+", "ab_12c"), "_12");
    EXPECT_EQ(first("[\\x41-\\x43]+", "zABCD"), "ABC");
}

TEST_F(RegexTest, ClassEscapes) {
    EXPECT_EQ(first("\\d+", "ab123c"), "123");
    EXPECT_EQ(first("\\D+", "12ab3"), "ab");
    EXPECT_EQ(first("\\s+", "ab \t\r\n\f\bcd"), " \t\r\n\f\b");
    EXPECT_EQ(first("\\S+", "  ab "), "ab");
    EXPECT_EQ(first("\\w+", "(a_Z9)"), "a_Z9");
    EXPECT_EQ(first("\\W+", "ab+-cd"), "+-");
}

TEST_F(RegexTest, EscapesResolveToSingleCharacters) {
    EXPECT_EQ(first("a\\nb", "a\rb"), "a\rb"); // \n is the stored line break
    EXPECT_EQ(first("a\\rb", "a\nb"), "a\nb"); // \r is LF
    EXPECT_EQ(first("\\N", "x\r"), "\r");      // letters are case-insensitive
    EXPECT_EQ(first("\\t\\b\\f", "\t\b\f"), "\t\b\f");
    EXPECT_EQ(first("\\x41\\X4", "A\x04"), "A\x04");
    EXPECT_EQ(first("\\101\\0", std::string("A\0", 2)), std::string("A\0", 2));
    EXPECT_EQ(first("\\400", " 0"), " 0"); // \40 then 0: codes stay below 256
    EXPECT_EQ(first("a\\ b", "a b"), "a b");
    EXPECT_EQ(first("\\.\\*", "a.*"), ".*");
    EXPECT_EQ(first("\\q", "q"), "q");
}

TEST_F(RegexTest, LineStartConsumesAStoredCR) {
    setText("xabc\rabc");
    ASSERT_TRUE(re.Compile("^abc"));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 5); // reported from the a; the CR is consumed, not recorded
    EXPECT_EQ(f.end, 8);
}

TEST_F(RegexTest, StartAndEndOfTheTextAreLineStartAndLineEnd) {
    // The first line starts at offset 0 and the last one ends at the end of
    // the text, though no CR stands there.
    setText("abc\rxabc");
    ASSERT_TRUE(re.Compile("^abc"));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(f.end, 3);
    EXPECT_FALSE(search(1).found) << "the second line does not start with abc";
    f = search(9, false);
    ASSERT_TRUE(f.found) << "backwards too";
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(first("^#include", "#include <a>\r#include <b>"), "#include");
    EXPECT_EQ(first("xabc$", "abc\rxabc"), "xabc");
    EXPECT_EQ(first("^\\w+$", "word"), "word");
    // A text that starts with an empty line: the line start after its CR.
    setText("\rabc");
    ASSERT_TRUE(re.Compile("^abc"));
    f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 1);
}

TEST_F(RegexTest, LineEndNeedsAStoredCR) {
    EXPECT_EQ(first("abc$", "abcd"), "<none>");
    setText("xabc\r");
    ASSERT_TRUE(re.Compile("abc$"));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 1);
    EXPECT_EQ(f.end, 4); // the CR is not consumed
    EXPECT_EQ(first("^$", "a\r\rb"), "");
}

TEST_F(RegexTest, StarAndPlusAreGreedyAndGiveBack) {
    EXPECT_EQ(first("a*b", "xaaab"), "aaab"); // the leftmost start wins over a shorter match
    EXPECT_EQ(first("xa*", "xaaab"), "xaaa");
    EXPECT_EQ(first("a+", "bbaab"), "aa");
    EXPECT_EQ(first("a.*b", "a1b2b3"), "a1b2b");
    EXPECT_EQ(first("a+a", "aaa"), "aaa");
    EXPECT_EQ(first("a+ab", "aaab"), "aaab");
    EXPECT_EQ(first("ba*", "b"), "b");
    EXPECT_EQ(first("a+", "bbb"), "<none>");
}

TEST_F(RegexTest, OptionalAndAlternation) {
    EXPECT_EQ(first("colou?r", "color colour"), "color");
    EXPECT_EQ(first("colou?r", "colour"), "colour");
    EXPECT_EQ(first("cat|dog", "a dog cat"), "dog");
    EXPECT_EQ(first("(a|ab)c", "abc"), "abc");
    EXPECT_EQ(first("x(a|b|c)+y", "xabcacby"), "xabcacby");
}

TEST_F(RegexTest, RepeatedGroupsBacktrack) {
    EXPECT_EQ(first("(ab)*c", "ababc"), "ababc");
    EXPECT_EQ(first("(ab)+", "xabababy"), "ababab");
    EXPECT_EQ(first("(ab)+b", "ababb"), "ababb");
    EXPECT_EQ(first("(a|ab)*c", "abaabc"), "abaabc");
    EXPECT_EQ(first("(ab)?a", "aba"), "aba");
}

TEST_F(RegexTest, CountedRepeats) {
    EXPECT_EQ(first("a{3}", "aaaaa"), "aaa");
    EXPECT_EQ(first("a{2,}", "abaaaab"), "aaaa");
    EXPECT_EQ(first("ba{,2}", "baaa"), "baa");
    EXPECT_EQ(first("a{1,3}a", "aaaa"), "aaaa");
    EXPECT_EQ(first("x{2,3}x", "xxx"), "xxx"); // takes three, gives one back
    EXPECT_EQ(first("a{2}", "aba"), "<none>");
    EXPECT_EQ(first("(ab){2}", "abxabab"), "abab");
    EXPECT_EQ(first("ca{0}b", "cab cb"), "cb");
    EXPECT_EQ(first("((ab){2}c){2}", "ababcababcx"), "ababcababc");
    EXPECT_EQ(first("\\d{2,4}", "1 12345"), "1234");
}

TEST_F(RegexTest, CountersAreRestoredWhenBacktracking) {
    // The first iteration must give up its longer alternative for the
    // count to come out right.
    EXPECT_EQ(first("(a|ab){2}c", "abac"), "abac");
    EXPECT_EQ(first("(ab|a){3}b", "aabab"), "aabab");
    // The inner counter restarts for each outer iteration.
    EXPECT_EQ(first("(a{2}b){2}", "aabaab"), "aabaab");
    EXPECT_EQ(first("(a{1,2}b){2}c", "abaabc"), "abaabc");
    EXPECT_EQ(first("(x{1,3}){2}y", "xxxxy"), "xxxxy");
}

TEST_F(RegexTest, EitherOrBothMatchesEachAndBothOrders) {
    for (const char* text : {"cat", "dog", "catdog", "dogcat"})
        EXPECT_EQ(first("cat||dog", std::string("<") + text + ">"), text) << text;
    EXPECT_EQ(first("x(a||b)y", "xbay"), "xbay");
    // An operand that merely starts with a group is still wrapped whole.
    EXPECT_EQ(first("(a)b||c", "cab"), "cab");
    EXPECT_EQ(first("(a)b||c", "c"), "c");
}

TEST_F(RegexTest, GroupsAndRepeatsAreOneSectionEach) {
    setText("--abcd");
    ASSERT_TRUE(re.Compile("(ab)(cd)"));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.sections, 2);
    EXPECT_EQ(re.GetSection(0), 2);
    EXPECT_EQ(re.GetSection(1), 4);
    EXPECT_EQ(re.GetSection(2), 6);

    // The c is section 2 however often the repeat ran.
    for (const char* text : {"ac", "abbbc"}) {
        setText(text);
        ASSERT_TRUE(re.Compile("(a)(b)*(c)"));
        f = search(0);
        ASSERT_TRUE(f.found);
        EXPECT_EQ(f.sections, 3);
        EXPECT_EQ(re.GetSection(2), static_cast<std::int32_t>(std::string(text).size()) - 1);
    }
    setText("xaaay");
    ASSERT_TRUE(re.Compile("xa*y"));
    f = search(0);
    EXPECT_EQ(f.sections, 3);
    EXPECT_EQ(re.GetSection(1), 1);
    EXPECT_EQ(re.GetSection(2), 4);
}

TEST_F(RegexTest, MatchesAcrossRecordsAndLongLines) {
    std::string text = std::string(3000, 'x') + "needle" + std::string(3000, 'y') + "\rend";
    setText(text);
    ASSERT_GT(store->NumLines(), 3);
    EXPECT_EQ(first("x\"needle\"y", text), "xneedley");
    std::string wide = std::string(2045, 'a') + "abcdef";
    EXPECT_EQ(first("abcdef", wide), "abcdef"); // the literal crosses the record boundary
    EXPECT_EQ(first("[a-f]+", wide), wide);
}

TEST_F(RegexTest, BackwardSearchFindsTheNearestEarlierMatch) {
    setText("ab ab ab");
    ASSERT_TRUE(re.Compile("ab"));
    Found f = search(8, false);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 6);
    f = search(6, false); // steps back one character first
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 3);
    f = search(1, false);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 0);
    EXPECT_FALSE(search(0, false).found); // nothing before offset 0
    ASSERT_TRUE(re.Compile("[ab]+"));
    f = search(8, false);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 7); // the match starts where it is found and runs greedily on
    EXPECT_EQ(f.end, 8);
}

TEST_F(RegexTest, SearchMovesOnAfterAnEmptyMatch) {
    setText("ab");
    ASSERT_TRUE(re.Compile("x*"));
    Found f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(f.end, 0);
    f = search(0);
    ASSERT_TRUE(f.found);
    EXPECT_EQ(f.start, 1);
    f = search(1);
    EXPECT_EQ(f.start, 2);
    // A non-empty match at the same place is not skipped.
    setText("bab");
    ASSERT_TRUE(re.Compile("a*"));
    f = search(0);
    EXPECT_EQ(f.start, 0);
    EXPECT_EQ(f.end, 0);
    f = search(0);
    EXPECT_EQ(f.start, 1);
    EXPECT_EQ(f.end, 2);
}

TEST_F(RegexTest, LineStartsInARowAreEachFound) {
    // ^ consumes the CR, so its empty match lies behind where it was found;
    // the next search from there must not skip the following CR.
    setText("a\r\r\rb");
    ASSERT_TRUE(re.Compile("^"));
    std::vector<std::int32_t> found;
    for (Found f = search(0); f.found && found.size() < 10; f = search(f.end))
        found.push_back(f.start);
    EXPECT_EQ(found, (std::vector<std::int32_t>{0, 2, 3, 4})); // the text's start is one too
}

TEST_F(RegexTest, ReplaceLoopOverEmptyMatchesEnds) {
    setText("ab");
    ASSERT_TRUE(re.Compile("x*"));
    std::int32_t at = 0;
    for (int guard = 0; guard < 10; ++guard) {
        Found f = search(at);
        if (!f.found)
            break;
        store->DeleteText(f.start, f.end - f.start);
        store->InsertStoredText(f.start, "-", 1);
        at = f.start + 1;
    }
    EXPECT_EQ(store->GetText(), "-a-b-");
}

TEST_F(RegexTest, CompileErrorsCarryNumberAndPosition) {
    EXPECT_EQ(compileError(""), "4248@1");
    EXPECT_EQ(compileError("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)"), "4251@28");
    EXPECT_EQ(compileError("("), "4252@2");
    EXPECT_EQ(compileError("ab)"), "4252@3");
    EXPECT_EQ(compileError("(ab"), "4252@4");
    EXPECT_EQ(compileError("(a|"), "4252@4");
    EXPECT_EQ(compileError("*a"), "4253@1");
    EXPECT_EQ(compileError("a|?"), "4253@3");
    EXPECT_EQ(compileError("(a?)*"), "4253@5");
    EXPECT_EQ(compileError("$+"), "4253@2");
    EXPECT_EQ(compileError("(b*){2,}"), "4253@5");
    EXPECT_EQ(compileError("a**"), "4254@3");
    EXPECT_EQ(compileError("a{2}?"), "4254@5");
    EXPECT_EQ(compileError("a{3,2}"), "4255@2");
    EXPECT_EQ(compileError("a{,}"), "4255@2");
    EXPECT_EQ(compileError("a{}"), "4255@2");
    EXPECT_EQ(compileError("a{2"), "4255@4");
    EXPECT_EQ(compileError("a{65536}"), "4255@2");
    EXPECT_EQ(compileError("[z-a]"), "4255@4");
    EXPECT_EQ(compileError("[a-]"), "4255@4");
    EXPECT_EQ(compileError("[a-"), "4255@4");
    EXPECT_EQ(compileError("[]"), "4256@2");
    EXPECT_EQ(compileError("[^]"), "4256@3");
    EXPECT_EQ(compileError("[ab"), "4256@4");
    EXPECT_EQ(compileError("a\\xg"), "4258@4");
    EXPECT_EQ(compileError("ab\\"), "4259@4");
    EXPECT_EQ(compileError("\"ab"), "4260@4");
    EXPECT_EQ(re.ErrorMessage(), "'\"' expected");
    EXPECT_EQ(compileError("a|"), "4262@3");
    EXPECT_EQ(compileError("()"), "4262@2");
    EXPECT_EQ(compileError("a||"), "4264@4");
    EXPECT_EQ(re.ErrorMessage(), "Operand of || expected");
    EXPECT_EQ(compileError("(||b)"), "4264@2");
    EXPECT_EQ(compileError("a|||b"), "4264@4");
    EXPECT_EQ(compileError("a||b||c"), "4251@5");
    EXPECT_EQ(re.ErrorMessage(), "Too many sub-expressions");
    EXPECT_TRUE(re.Pattern().empty());
}

TEST_F(RegexTest, AcceptedBoundsAndEdgeForms) {
    EXPECT_TRUE(re.Compile("a{65535}"));
    EXPECT_TRUE(re.Compile("(a?){3}"));
    EXPECT_TRUE(re.Compile("a{0,0}"));
    EXPECT_TRUE(re.Compile("{}")); // a brace where an atom is expected is a character
    EXPECT_EQ(first("{x}", "a{x}"), "{x}");
}

TEST_F(RegexTest, SamepatternIsNotCompiledAgain) {
    ASSERT_TRUE(re.Compile("a+b"));
    ASSERT_TRUE(re.Compile("a+b"));
    EXPECT_EQ(re.CompileCount(), 1);
    ASSERT_TRUE(re.Compile("c"));
    EXPECT_EQ(re.CompileCount(), 2);
    EXPECT_EQ(re.Pattern(), "c");
}

TEST_F(RegexTest, SearchWithoutProgramIsAnInvalidParameter) {
    setText("abc");
    try {
        re.Search(*stream, true);
        FAIL() << "expected an error";
    } catch (const ERegExprError& e) {
        EXPECT_EQ(e.number(), reInvalidParameter);
        EXPECT_EQ(e.message(), "Invalid parameter");
    }
    ASSERT_TRUE(re.Compile("b"));
    EXPECT_FALSE(re.Compile("(")); // a failed compile drops the old program
    EXPECT_THROW(re.Search(*stream, true), ERegExprError);
}

TEST_F(RegexTest, MoreThan255SectionsIsAnIndexRangeError) {
    std::string text(300, 'a');
    setText(text);
    ASSERT_TRUE(re.Compile(text));
    try {
        search(0);
        FAIL() << "expected an error";
    } catch (const ERegExprError& e) {
        EXPECT_EQ(e.number(), reIndexRange);
        EXPECT_EQ(re.ErrorNumber(), reIndexRange);
    }
    // A repeat over the same text is a single section.
    ASSERT_TRUE(re.Compile("a{300}"));
    EXPECT_TRUE(search(0).found);
    EXPECT_THROW(re.GetSection(256), ERegExprError);
    EXPECT_THROW(re.GetSection(-1), ERegExprError);
}

TEST_F(RegexTest, PatternsALinearMatcherCanRunAreNeverTooComplex) {
    // On one line of 6 000 characters these took backtracking past its
    // budget; they run in linear time and simply find nothing.
    setText(std::string(6000, 'a'));
    for (const char* pattern : {"\\w+\\d", ".*[bc]"}) {
        ASSERT_TRUE(re.Compile(pattern));
        EXPECT_TRUE(re.Linear()) << pattern;
        EXPECT_FALSE(search(0).found) << pattern;
    }
    for (const char* pattern : {".*b", "a.*b", "\\w+\\d"}) {
        ASSERT_TRUE(re.Compile(pattern));
        EXPECT_FALSE(search(6000, false).found) << pattern;
    }
    // Patterns that backtrack exponentially; the text holds every literal
    // of them, so that no shortcut rules a match out before trying.
    setText(std::string(100000, 'a') + "!bc");
    for (const char* pattern :
         {"(a+)+b", "(a|aa)+$", "(a|a)*bb", "((a{1,2})+)+c", "(a+)+[^a]x", "(a+)*[bc]x"}) {
        ASSERT_TRUE(re.Compile(pattern));
        EXPECT_FALSE(search(0).found) << pattern;
        EXPECT_FALSE(search(100003, false).found) << pattern;
    }
    EXPECT_EQ(first("(a|aa)+!", std::string(100000, 'a') + "!").size(), 100001u);
}

TEST_F(RegexTest, PatternsLeftToBacktrackingEndWithTooComplex) {
    // Counted repeats nested too deep to unroll stay with backtracking,
    // whose budget still ends an exponential search.
    setText(std::string(100000, 'a') + "!bc");
    ASSERT_TRUE(re.Compile("((a{1,300}){1,300})+b"));
    EXPECT_FALSE(re.Linear());
    try {
        search(0);
        ADD_FAILURE() << "finished";
    } catch (const ERegExprError& e) {
        EXPECT_EQ(e.number(), reTooComplex);
        EXPECT_EQ(e.message(), "Expression too complex");
    }
}

TEST_F(RegexTest, LongRepeatsDoNotExhaustTheStack) {
    // One choice point per iteration of a repeated group, on a line far
    // longer than any C++ stack could recurse over.
    std::string text;
    for (int i = 0; i < 200000; ++i)
        text += "ab";
    text += "c";
    EXPECT_EQ(first("(ab)*c", text).size(), text.size());
    EXPECT_EQ(first("x?(ab){1,65535}", text).size(), 2 * 65535u);
}

TEST_F(RegexTest, MissingRequiredLiteralFailsFast) {
    // Every position is a candidate for a*, but without a b ahead nothing
    // can match: the search ends without a quadratic scan.
    setText(std::string(100000, 'a'));
    re.SetStepBudget(1000, 0);
    ASSERT_TRUE(re.Compile("a*b"));
    EXPECT_FALSE(search(0).found);
}

} // namespace
} // namespace qorvi
