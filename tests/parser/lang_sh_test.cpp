// Shell scripts: comments, quoting, expansions inside and outside double
// quotes, keywords and built-in commands as whole words, here-documents.

#include "tests/parser/lang_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::StyledText;

class LangSh : public ::testing::Test {
protected:
    void check(const std::string& text, const std::string& styles) {
        EXPECT_EQ(test::stylesOf(*parser, text, letters), styles) << text;
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::languageParser("sh");
    // The language's own styles: command, here-document, command substitution.
    test::StyleLetters letters = test::sharedLetters({{32, 'C'}, {33, 'H'}, {34, 'X'}});
};

// clang-format off

TEST_F(LangSh, CommentStartsOnlyWhereAWordCould) {
    check("echo a#b # note\n#!x",
          "CCCC.....cccccc\nccc");
}

TEST_F(LangSh, DoubleQuotedStringWithEscapesAndExpansions) {
    check("echo \"a \\\"b\\\" $x ${y}\"",
          "CCCC.sssssssss$$s$$$$s");
}

TEST_F(LangSh, SingleQuotedStringSpansLinesAndExpandsNothing) {
    check("x='a $b\nc' y\n",
          "$.sssss\nss..\n");
}

TEST_F(LangSh, SubstitutionInsideAStringReturnsToTheString) {
    check("echo \"n=$(ls \"$d\" | wc -l) ok\"",
          "CCCC.sssXX...s$$s.o......ossss");
    check("x=`date +%s`",
          "$.X........X");
}

TEST_F(LangSh, KeywordsAndCommandsAreWholeWords) {
    check("if ifconfig; then fi_x; fi",
          "kk.........o.kkkk.....o.kk");
    check("read -r line; printf x\n",
          "CCCC........o.CCCCCC..\n");
}

TEST_F(LangSh, VariablesOfEveryForm) {
    check("echo $1 $# $@ ${x:-y} $name_2 $'a\\'b' $",
          "CCCC.$$.$$.$$.$$$$$$$.$$$$$$$.sssssss.o");
    check("echo \\\"x\\\"",
          "CCCC.oo.oo");
}

TEST_F(LangSh, HereDocumentRunsToTheLineHoldingItsDelimiter) {
    check("cat <<EOF\n$x\nEOF\necho",
          "....HHHHH\nHH\nHHH\nCCCC");
    check("cat <<EOF\nEOF x\nEOF",
          "....HHHHH\nHHHHH\nHHH");
    check("cat <<-'END'\n\tx $y\n\tEND\nfi",
          "....HHHHHHHH\nHHHHH\nHHHH\nkk");
    // The rest of the line that opens it is still code.
    check("cat <<EOF | sort\nb\nEOF",
          "....HHHHH.o.....\nH\nHHH");
}

TEST_F(LangSh, UnknownDelimiterAndHereStringAreNoHereDocuments) {
    check("cat <<XYZ\nif\nXYZ\n",
          "....oo...\nkk\n...\n");
    check("cat <<<EOF\n",
          "....ooo...\n");
}

// clang-format on

// Constructs that once threw the colouring off for the rest of a file: each
// must end exactly where the shell ends it, and the line after it is code.
TEST_F(LangSh, NoConstructSpoilsTheLinesAfterIt) {
    const struct {
        const char* text;
        const char* styles;
    } cases[] = {
        // A single-quoted string ends at the next quote, backslash or not.
        {"echo 'path\\'\nif x; then :; fi\n",
         "CCCC.sssssss\nkk..o.kkkk.Co.kk\n"},
        // Double-quoted words inside a parameter expansion.
        {": ${dir=\"${prefix}/share\"}\nfi\n",
         "C.$$$$$$s$$$$$$$$$sssssss$\nkk\n"},
        {"f ${args:+\"${args[@]}\"} y\nfi\n",
         "..$$$$$$$$s$$$$$$$$$$s$..\nkk\n"},
        // A backquoted substitution holding a quoted program of many lines:
        // its code is code, the program a string.
        {"n=`$AWK '{\n  print $1\n}' f`\nfi\n",
         "$.X$$$$.ss\nssssssssss\nss..X\nkk\n"},
        {"echo \"a `date +%s` b\"\nfi\n",
         "CCCC.sssX........Xsss\nkk\n"},
        // An expansion left open ends with its line.
        {"v=${u\nfi\n",
         "$.$$$\nkk\n"},
        // Assigned names, numbers; a name with a dot is no name.
        {"a=1 b_2=x c.d=3 2>&1\n",
         "$...$$$.........noon\n"},
    };
    for (const auto& c : cases)
        check(c.text, c.styles);
}

// Names of variables: assigned where a command may start (also several
// before a command, and with +=), and every name after local, export and the
// like. A word elsewhere is not checked for an =, and a name that ends the
// text is a word like any other.
TEST_F(LangSh, AssignmentsAndDeclarationsNameVariables) {
    const struct {
        const char* text;
        const char* styles;
    } cases[] = {
        {"a=1 b+=2 cmd c=3\n", "$...$$..........\n"},
        {"local x y=2; export PATH\n", "CCCCC.$.$..o.CCCCCC.$$$$\n"},
        {"declare -A m=(); readonly r\n", "CCCCCCC....$.ooo.CCCCCCCC.$\n"},
        {"f() { v=1; }\n", ".oo.k.$..o.k\n"},
        {"if x=1; then y=2; fi\n", "kk.$..o.kkkk.$..o.kk\n"},
        {"g++ -o x; make CC=gcc\n", "........o............\n"},
    };
    for (const auto& c : cases)
        check(c.text, c.styles);
}

TEST_F(LangSh, ParseRestartedInsideASubstitutionInAStringReturnsToTheString) {
    // A restart forgets the saved states; the line breaks and the ) of a
    // substitution written in a string carry that string with them.
    StyledText text(*parser,
                    "out=\"$(\n  ls -l\n  (cd /tmp; pwd)\n  echo \"in (\n\" $(date)\n)\"\necho \"x\" 'y'\n"
                    "case $a in x) ;; esac\n");
    // clang-format off
    EXPECT_EQ(text.pattern(letters), "$$$.sXX\n"
                                     ".......\n"
                                     "..oCC.....o.CCCo\n"
                                     "..CCCC.sssss\n"
                                     "s.XX....o\n"
                                     "os\n"
                                     "CCCC.sss.sss\n"
                                     "kkkk.$$.kk..o.oo.kkkk\n");
    // clang-format on
    test::expectRestartsAgree(text, 4);
}

TEST_F(LangSh, StringsAndSubstitutionsNestInEachOther) {
    // clang-format off
    check("x=\"$(basename \"$(dirname \"$f\")\")\" y\n",
          "$.sXX.........sXX........s$$sosos..\n");
    // + is a character of a word, as in the shell.
    check("echo \"$((1 + (2)))\" $((3))",
          "CCCC.sXXon...onooos.XXonoo");
    // clang-format on
}

TEST_F(LangSh, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "Unix shell script");
    test::expectExampleShowsEveryStyle(*parser);
}

TEST_F(LangSh, SampleAndRestartsAgree) {
    StyledText sample = StyledText::fromFile(*parser, test::sampleFile("sh.sample"));
    EXPECT_EQ(sample.styleOf("# Remove archives older than $KEEP days."), 1);
    EXPECT_EQ(sample.styleOf("\tWelcome to $host.\r\tLogs are rotated nightly.\r\tEND"), 33);
    EXPECT_EQ(sample.linePattern(letters, "gzip -9"), "............s$$s$$$$$$s.oo.CCCC.sssssssss$$$$$$$$s");
    EXPECT_EQ(sample.linePattern(letters, "find \"$LOG_DIR\""),
              ".....s$$$$$$$$s.......ssssss.........s$$$$$s................oo");
    // The second line of a string that spans two.
    EXPECT_EQ(sample.linePattern(letters, "Archives kept"),
              std::string(15, 's') + "$$$$$$ssss$$$$$ss" + std::string(8, 's'));
    EXPECT_EQ(sample.linePattern(letters, "Disk usage"), std::string(42, 'H'));
    EXPECT_EQ(sample.linePattern(letters, "done <<<"), "kkkk.ooos$$$$$$$$s");
    test::expectRestartsAgree(sample);
}

} // namespace
} // namespace qorvi
