// The SQL language (document type sql) as the program carries it: styles
// of every construct, character by character (letters in
// language_test_support.h).

#include "tests/parser/lang_test_support.h"

namespace qorvi {
namespace {

class SqlLanguage : public ::testing::Test {
protected:
    std::string picture(const std::string& text) { return test::stylePicture(*parser, text); }
    bool oneToken(const std::string& text, const std::string& token) {
        return test::isOneToken(*parser, text, token);
    }

    std::unique_ptr<TRudivoVoruParser> parser = test::embeddedParser("sql");
};

TEST_F(SqlLanguage, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "SQL");
    EXPECT_NE(parser->Settings().ScriptText().find("SELECT"), std::string::npos);
}

TEST_F(SqlLanguage, Comments) {
    EXPECT_EQ(picture("x -- a 'quote'\ny"), "i.cccccccccccc\ni");
    EXPECT_TRUE(oneToken("x -- a 'quote'\ny", "-- a 'quote'"));
    EXPECT_EQ(picture("a /* b\nc */ d"), "i.ccccccccc.i");
    EXPECT_EQ(picture("# dump\n#temp"), "cccccc\niiiii");
}

TEST_F(SqlLanguage, StringsWithDoubledQuotesAndLineBreaks) {
    EXPECT_EQ(picture("s = 'it''s' AND"), "i.o.sssssss.kkk");
    EXPECT_EQ(picture("'two\nlines' x"), "sssssssssss.i");
    EXPECT_EQ(picture("N'n' E'e' X'1F'"), "ssss.ssss.sssss");
    // Keywords and comment openers inside a string are string text.
    EXPECT_EQ(picture("'select -- x' y"), "sssssssssssss.i");
    EXPECT_EQ(picture("'it\\'s' x"), "sssssss.i");
}

TEST_F(SqlLanguage, QuotedIdentifiersAndVariables) {
    EXPECT_EQ(picture("\"Full Name\" [Full Name] `full name`"),
              std::string(11, 'i') + "." + std::string(11, 'i') + "." + std::string(11, 'i'));
    EXPECT_EQ(picture("@v @@ROWCOUNT $1 :name x::int"), "$$.$$$$$$$$$$.$$.$$$$$.ioottt");
    EXPECT_EQ(picture("AS $body$ BEGIN $$"), "kk.ssssss.kkkkk.ss");
}

TEST_F(SqlLanguage, Numbers) {
    EXPECT_EQ(picture("1 42.5 .5 1.5e-3 10E+2 0x1F"), "n.nnnn.nn.nnnnnn.nnnnn.nnnn");
    EXPECT_EQ(picture("1 - e"), "n.o.i");
}

TEST_F(SqlLanguage, KeywordsInAnyCaseAndOnlyAsWholeWords) {
    EXPECT_EQ(picture("select Select SELECT selected"), "kkkkkk.kkkkkk.kkkkkk.iiiiiiii");
    EXPECT_EQ(picture("MERGE LATERAL ILIKE RETURNING"), "kkkkk.kkkkkkk.kkkkk.kkkkkkkkk");
    EXPECT_EQ(picture("varchar(10) BIGINT jsonb"), "tttttttonno.tttttt.ttttt");
    EXPECT_EQ(picture("count(*) COALESCE(a, b)"), "fffffooo.ffffffffoio.io");
    EXPECT_EQ(picture("from_date into_x"), "iiiiiiiii.iiiiii");
}

// PostgreSQL's own key words and types, as its commands and catalogs use them.
TEST_F(SqlLanguage, PostgresKeyWordsAndTypes) {
    const struct {
        const char* text;
        const char* picture;
    } cases[] = {
        {"CREATE OPERATOR CLASS c FOR TYPE tsvector USING gin;", "kkkkkk.kkkkkkkk.kkkkk.i.kkk.kkkk.tttttttt.kkkkk.iiio"},
        {"SELECT x::regclass, y::int4range FROM t;", "kkkkkk.iootttttttto.ioottttttttt.kkkk.io"},
        {"ALTER EXTENSION e UPDATE; COPY t FROM STDIN CSV HEADER;", "kkkkk.kkkkkkkkk.i.kkkkkko.kkkk.i.kkkk.kkkkk.kkk.kkkkkko"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(picture(c.text), c.picture) << c.text;
}

TEST_F(SqlLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    EXPECT_GT(test::expectRestartsAgree(*parser, test::readSample("sql")), 40);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 5);
}

} // namespace
} // namespace qorvi
