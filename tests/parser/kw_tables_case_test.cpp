// The extra keyword tables (%%kwTables) match with their own case flag, which
// travels with the compiled image, so a parser read from an image tokenises
// exactly as the one the script compiled.

#include "tests/parser/script_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

std::unique_ptr<TRudivoVoruParser> throughImage(TRudivoVoruParser& compiled) {
    TMemoryStream image;
    compiled.WriteParserData(image);
    image.SetPosition(0);
    auto read = std::make_unique<TRudivoVoruParser>();
    read->ReadParserData(image);
    return read;
}

TEST(KwTablesCase, CaseSensitiveTableKeepsItsCaseAfterAnImageRoundTrip) {
    auto compiled = test::compile("%%language case = __sensitive\n"
                                  "%%kwTables forstate [0] endswith '[^a-zA-Z]' ( 7 is 'Select', 'from' )\n");
    auto read = throughImage(*compiled);
    EXPECT_FALSE(read->CaseSensitive()); // the script's flag is not in the image
    const std::string text = "Select select from FROM";
    // "Select" and "from" as written are words; "select" and "FROM" are
    // single characters of value 0.
    std::vector<test::Token> expected = {{0, 6, 7}};
    for (std::int32_t i = 6; i < 14; ++i)
        expected.push_back({i, 1, 0});
    expected.push_back({14, 4, 7});
    for (std::int32_t i = 18; i < 23; ++i)
        expected.push_back({i, 1, 0});
    EXPECT_EQ(test::tokenise(*compiled, text), expected);
    EXPECT_EQ(test::tokenise(*read, text), expected);
}

TEST(KwTablesCase, CaseInsensitiveTableStillMatchesAnyCaseAfterAnImageRoundTrip) {
    auto compiled = test::compile("%%language case = __insensitive\n"
                                  "%%kwTables forstate [0] endswith '[^a-zA-Z]' ( 7 is 'select' )\n");
    auto read = throughImage(*compiled);
    const std::string text = "SeLeCt";
    const std::vector<test::Token> expected = {{0, 6, 7}};
    EXPECT_EQ(test::tokenise(*compiled, text), expected);
    EXPECT_EQ(test::tokenise(*read, text), expected);
}

} // namespace
} // namespace qorvi
