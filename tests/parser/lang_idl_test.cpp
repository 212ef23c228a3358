// The interface definition language (document type idl) as the program
// carries it: styles of every construct, character by character (letters in
// language_test_support.h).

#include "tests/parser/lang_test_support.h"

namespace qorvi {
namespace {

class IdlLanguage : public ::testing::Test {
protected:
    std::string picture(const std::string& text) { return test::stylePicture(*parser, text); }

    std::unique_ptr<TRudivoVoruParser> parser = test::embeddedParser("idl");
};

TEST_F(IdlLanguage, LanguageSettings) {
    EXPECT_EQ(parser->Settings().LanguageName(), "IDL");
    EXPECT_NE(parser->Settings().ScriptText().find("uuid("), std::string::npos);
}

TEST_F(IdlLanguage, AttributeNamesOnlyInsideBrackets) {
    EXPECT_EQ(picture("[in, out, retval] long* p"), "oaao.aaao.aaaaaao.tttto.i");
    // The same words outside an attribute list are keywords and types.
    EXPECT_EQ(picture("string in;"), "tttttt.kko");
    EXPECT_EQ(picture("[helpstring(\"a [b]\")]"), "oaaaaaaaaaaosssssssoo");
    EXPECT_EQ(picture("[id(1), propget]"), "oaaonoo.aaaaaaao");
    // Words that are no attributes stay identifiers.
    EXPECT_EQ(picture("[size_is(count)]"), "oaaaaaaaoiiiiioo");
}

TEST_F(IdlLanguage, TheGuidOfUuidIsOneNumber) {
    EXPECT_EQ(picture("[uuid(8D1A3C42-5E2B-4B8C-9F61-2A7C0E4D9B10)]"),
              "oaaaao" + std::string(36, 'n') + "oo");
}

TEST_F(IdlLanguage, AttributeListsSpanLines) {
    EXPECT_EQ(picture("[\n  object,\n  dual\n]\ninterface I"), "o\n..aaaaaao\n..aaaa\no\nkkkkkkkkk.i");
}

TEST_F(IdlLanguage, CodeOfTheCLikeCore) {
    EXPECT_EQ(picture("#include \"x.idl\" // c"), "pppppppp.ppppppp.cccc");
    EXPECT_EQ(picture("#pragma midl_echo(\"x\") /* c */"), "ppppppp.pppppppppppppppccccccc");
    EXPECT_EQ(picture("import \"oaidl.idl\";"), "kkkkkk.ssssssssssso");
    EXPECT_EQ(picture("interface coclass library module"), "kkkkkkkkk.kkkkkkk.kkkkkkk.kkkkkk");
    EXPECT_EQ(picture("HRESULT BSTR octet hyper"), "ttttttt.tttt.ttttt.ttttt");
    EXPECT_EQ(picture("const long k = 0x400; /* c */"), "kkkkk.tttt.i.o.nnnnno.ccccccc");
    EXPECT_EQ(picture("interfaces"), "iiiiiiiiii");
}

TEST_F(IdlLanguage, TheSampleRestartsAtEveryAnchorAsFromTheTop) {
    EXPECT_GT(test::expectRestartsAgree(*parser, test::readSample("idl")), 40);
    EXPECT_GT(test::expectRestartsAgree(*parser, parser->Settings().ScriptText()), 5);
    const test::Parse p = test::parseText(*parser, test::readSample("idl"));
    for (std::size_t i = 0; i < p.text.size(); ++i)
        if (p.values[i] == 0)
            ADD_FAILURE() << "offset " << i << " ('" << p.text[i] << "') has no token";
}

} // namespace
} // namespace qorvi
