// The PHP language (document type php3) as the program carries it: PHP
// regions in a web page and their code, character by character (letters in
// language_test_support.h).

#include "tests/parser/language_test_support.h"

namespace qorvi {
namespace {

class PhpLanguage : public ::testing::Test {
protected:
    std::string picture(const std::string& text) { return test::stylePicture(*parser, text); }

    std::unique_ptr<TRudivoVoruParser> parser = test::embeddedParser("php3");
};

TEST_F(PhpLanguage, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "PHP");
    EXPECT_NE(parser->Settings().ScriptText().find("<?php"), std::string::npos);
}

TEST_F(PhpLanguage, RegionsSwitchBetweenPageAndCode) {
    EXPECT_EQ(picture("<?php $x = 1; ?>t"), "xxxxx.$$.o.no.xx.");
    // Outside PHP the same words are page text.
    EXPECT_EQ(picture("echo $x"), ".......");
    EXPECT_EQ(picture("<p><? echo 1 ?></p>"), "gggxx.kkkk.n.xxgggg");
}

TEST_F(PhpLanguage, CommentsEndAtTheEndOfPhp) {
    EXPECT_EQ(picture("<?php # c ?>x"), "xxxxx.ccccxx.");
    EXPECT_EQ(picture("<?php // a? b\n$y"), "xxxxx.ccccccc\n$$");
    EXPECT_EQ(picture("<?php /* ?> */ $z"), "xxxxx.cccccccc.$$");
    EXPECT_EQ(picture("<?php #[Route('/')] f"), "xxxxx.@@@@@@@@@@@@@.i");
}

TEST_F(PhpLanguage, StringsAndInterpolation) {
    EXPECT_EQ(picture("<?php \"a $v \\$w \\\"q\\\" {$x}\";"), "xxxxx.sss$$ssssssssssss$$sso");
    EXPECT_EQ(picture("<?php 'it\\'s $x';"), "xxxxx.sssssssssso");
    // Strings may span lines.
    EXPECT_EQ(picture("<?php \"a\nb\" ?>"), "xxxxx.sssss.xx");
}

TEST_F(PhpLanguage, HeredocRunsToItsClosingName) {
    EXPECT_EQ(picture("<?php $t = <<<EOT\n  Hi $n\n  EOT;\n"), "xxxxx.$$.o.ssssss"
                                                               "s"
                                                               "sssss$$"
                                                               "s"
                                                               "sssss"
                                                               "o\n");
}

TEST_F(PhpLanguage, VariablesKeywordsAndFunctions) {
    EXPECT_EQ(picture("<?php if ($a) echo strlen($b) . TRUE;"), "xxxxx.kk.o$$o.kkkk.ffffffo$$o.o.kkkko");
    EXPECT_EQ(picture("<?php function f(int $i): ?string {}"), "xxxxx.kkkkkkkk.iottt.$$oo.otttttt.oo");
    EXPECT_EQ(picture("<?php $x = 0x1F + 1.5e3 - .5;"), "xxxxx.$$.o.nnnn.o.nnnnn.o.nno");
}

TEST_F(PhpLanguage, InlinePhpInsideTagsAndScriptsReturnsToThem) {
    EXPECT_EQ(picture("<a href=<?= $u ?>>"), "gg.aaaaoxxx.$$.xxg");
    EXPECT_EQ(picture("<script>x = <?= $a ?>;</script>"), "ggggggggi.o.xxx.$$.xxoggggggggg");
    // Also inside a quoted value, which goes on after it.
    EXPECT_EQ(picture("<a href=\"x<?= $u ?>y\">"), "gg.aaaaovvxxx.$$.xxvvg");
}

TEST_F(PhpLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    EXPECT_GT(test::expectRestartsAgree(*parser, test::readSample("php3")), 40);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 5);
}

} // namespace
} // namespace qorvi
