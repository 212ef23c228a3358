// The PHP language (document type php3) as the program carries it: PHP
// regions in a web page and their code, character by character (letters in
// language_test_support.h).

#include "tests/parser/lang_test_support.h"

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
    EXPECT_EQ(picture("<?php $x = 1; ?>t"), "ggggg.$$.o.no.gg.");
    // Outside PHP the same words are page text.
    EXPECT_EQ(picture("echo $x"), ".......");
    EXPECT_EQ(picture("<p><? echo 1 ?></p>"), "ggggg.kkkk.n.gggggg");
}

TEST_F(PhpLanguage, CommentsEndAtTheEndOfPhp) {
    EXPECT_EQ(picture("<?php # c ?>x"), "ggggg.ccccgg.");
    EXPECT_EQ(picture("<?php // a? b\n$y"), "ggggg.ccccccc\n$$");
    EXPECT_EQ(picture("<?php /* ?> */ $z"), "ggggg.cccccccc.$$");
    EXPECT_EQ(picture("<?php #[Route('/')] f"), "ggggg.@@@@@@@@@@@@@.i");
}

TEST_F(PhpLanguage, StringsAndInterpolation) {
    EXPECT_EQ(picture("<?php \"a $v \\$w \\\"q\\\" {$x}\";"), "ggggg.sss$$ssssssssssss$$sso");
    EXPECT_EQ(picture("<?php 'it\\'s $x';"), "ggggg.sssssssssso");
    // Strings may span lines.
    EXPECT_EQ(picture("<?php \"a\nb\" ?>"), "ggggg.sssss.gg");
}

TEST_F(PhpLanguage, HeredocRunsToItsClosingName) {
    EXPECT_EQ(picture("<?php $t = <<<EOT\n  Hi $n\n  EOT;\n"), "ggggg.$$.o.ssssss"
                                                               "s"
                                                               "sssss$$"
                                                               "s"
                                                               "sssss"
                                                               "o\n");
}

TEST_F(PhpLanguage, VariablesKeywordsAndFunctions) {
    EXPECT_EQ(picture("<?php if ($a) echo strlen($b) . TRUE;"), "ggggg.kk.o$$o.kkkk.ffffffo$$o.o.kkkko");
    EXPECT_EQ(picture("<?php function f(int $i): ?string {}"), "ggggg.kkkkkkkk.iottt.$$oo.otttttt.oo");
    EXPECT_EQ(picture("<?php $x = 0x1F + 1.5e3 - .5;"), "ggggg.$$.o.nnnn.o.nnnnn.o.nno");
}

// Names after -> and :: are members, whatever word they are; built-in
// functions are functions; <?php and ?> are tags.
TEST_F(PhpLanguage, MembersBuiltInFunctionsAndTags) {
    const struct {
        const char* text;
        const char* picture;
    } cases[] = {
        {"<?php $o->count($a)->list;", "ggggg.$$oommmmmo$$ooommmmo"},
        {"<?php $o?->name; A::class; B::$v; C::N;", "ggggg.$$ooommmmo.ioommmmmo.ioo$$o.ioomo"},
        {"<?php $o->\n  x; $o->{'p'};", "ggggg.$$oo\n..io.$$ooosssoo"},
        {"<?php $p = dirname(realpath($f)); ?>", "ggggg.$$.o.fffffffoffffffffo$$ooo.gg"},
        {"<?php fclose($h); unlink($x); E_ALL;", "ggggg.ffffffo$$oo.ffffffo$$oo.kkkkko"},
        // A symbol run stops before - and :, so ) and ] do not hide them.
        {"<?php f()->g()::h; $a[0]->b;", "ggggg.ioooomoooomo.$$onooomo"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(picture(c.text), c.picture) << c.text;
}

TEST_F(PhpLanguage, InlinePhpInsideTagsAndScriptsReturnsToThem) {
    EXPECT_EQ(picture("<a href=<?= $u ?>>"), "gg.aaaaoggg.$$.ggg");
    EXPECT_EQ(picture("<script>x = <?= $a ?>;</script>"), "ggggggggi.o.ggg.$$.ggoggggggggg");
    // Also inside a quoted value, which goes on after it.
    EXPECT_EQ(picture("<a href=\"x<?= $u ?>y\">"), "gg.aaaaovvggg.$$.ggvvg");
}

TEST_F(PhpLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    EXPECT_GT(test::expectRestartsAgree(*parser, test::readSample("php3")), 40);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 5);
}

} // namespace
} // namespace qorvi
