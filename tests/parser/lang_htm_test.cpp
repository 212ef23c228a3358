// The HTML language (document type htm) as the program carries it: styles
// of markup, scripts, style sheets and server regions, character by
// character (letters in language_test_support.h; a Doctype shows as '?').

#include "tests/parser/lang_test_support.h"

namespace qorvi {
namespace {

class HtmlLanguage : public ::testing::Test {
protected:
    std::string picture(const std::string& text) { return test::stylePicture(*parser, text); }
    bool oneToken(const std::string& text, const std::string& token) {
        return test::isOneToken(*parser, text, token);
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::embeddedParser("htm");
};

TEST_F(HtmlLanguage, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "HTML");
    EXPECT_NE(parser->Settings().ScriptText().find("<script>"), std::string::npos);
}

TEST_F(HtmlLanguage, TagsAttributesAndValues) {
    EXPECT_EQ(picture("<p id=\"x\" class='a b' hidden>t</p>"), "gg.aaovvv.aaaaaovvvvv.aaaaaag.gggg");
    EXPECT_EQ(picture("<td width=320 align = left>"), "ggg.aaaaaovvv.aaaaa.o.vvvvg");
    EXPECT_EQ(picture("<br/><IMG SRC=\"a.png\">"), "ggggggggg.aaaovvvvvvvg");
    // A quoted value may span lines; a tag too.
    EXPECT_EQ(picture("<p title=\"a\nb\" x>"), "gg.aaaaaovvvvv.ag");
    // A tag may span lines.
    EXPECT_EQ(picture("<a\n  href=\"x\">t"), "gg\n..aaaaovvvg.");
}

TEST_F(HtmlLanguage, TextEntitiesCommentsAndDeclarations) {
    EXPECT_EQ(picture("a &amp; b &#169; c & d"), "..eeeee...eeeeee......");
    EXPECT_EQ(picture("x <!-- <b>not a tag</b>\n --> y"), "..cccccccccccccccccccccccccc..");
    EXPECT_EQ(picture("<!DOCTYPE html>\n"), "???????????????\n");
    EXPECT_EQ(picture("a < b > c"), ".........");
}

TEST_F(HtmlLanguage, ScriptRegionsSwitchToJavaScriptAndBack) {
    const std::string text = "<script>if (a < b) x = 'y'; // c\n</script><b>";
    EXPECT_EQ(picture(text), "gggggggg"
                             "kk.oi.o.io.i.o.ssso.cccc\n"
                             "ggggggggg"
                             "ggg");
    // Tag names switch in any letter case; JavaScript keywords keep theirs.
    EXPECT_EQ(picture("<SCRIPT type=\"module\">If (x) {}</Script>"), "ggggggg.aaaaovvvvvvvvgii.oio.oo"
                                                                     "ggggggggg");
    EXPECT_EQ(picture("<script>var s = `a\nb`;</script>"), "ggggggggkkk.i.o.sssssoggggggggg");
    // A / after punctuation opens a regular expression, elsewhere it divides.
    EXPECT_EQ(picture("<script>r = /a\\/b/g; q = a / b;</script>"), "gggggggg"
                                                                    "i.o.ssssssio.i.o.i.o.io"
                                                                    "ggggggggg");
    // Outside a script the same words are text.
    EXPECT_EQ(picture("if (a) var"), "..........");
}

TEST_F(HtmlLanguage, StyleRegionsSwitchToCss) {
    const std::string text = "<style>p.x:hover { color: #fff; margin: 0 1.5em !important; }</style>";
    EXPECT_EQ(picture(text), "ggggggg"
                             "gaaaaaaaa.o.aaaaao.nnnno.aaaaaao.n.nnnnn.kkkkkkkkkko.o"
                             "gggggggg");
    EXPECT_EQ(picture("<style>/* c */ @media print { a { b: c } }</style>"),
              "ggggggg"
              "ccccccc.kkkkkk.ggggg.o.g.o.ao.v.o.o"
              "gggggggg");
}

TEST_F(HtmlLanguage, ServerRegions) {
    EXPECT_EQ(picture("a <% x = \"%>\" ' c\n %> b"), "..xx.....ssss.ccc\n.xx..");
    EXPECT_EQ(picture("<a href=<% =u %>>"), "gg.aaaaoxx....xxg");
    EXPECT_EQ(picture("<%-- <b> --%>x"), "ccccccccccccc.");
}

TEST_F(HtmlLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    EXPECT_GT(test::expectRestartsAgree(*parser, test::readSample("htm")), 20);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 3);
}

} // namespace
} // namespace qorvi
