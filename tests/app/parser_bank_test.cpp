// The main window's parser components read the compiled images built into
// the program at start-up; a missing or damaged image leaves an empty parser
// and one message.

#include "app/document_types.h"
#include "app/parser_bank.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

// The token values of `text` from its start.
std::vector<int> values(TRudivoVoruParser& parser, const std::string& text) {
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    parser.ParseInit(0);
    std::vector<int> out;
    while (!stream->yyeof()) {
        std::int32_t len = 0;
        out.push_back(parser.ParseStream(nullptr, *stream, len));
    }
    return out;
}

TEST(ParserBank, EveryComponentReadsItsBuiltInImage) {
    ParserBank bank;
    ASSERT_EQ(bank.components().size(), 13u);
    for (const ParserSlot& slot : bank.components()) {
        SCOPED_TRACE(slot.Name);
        ASSERT_NE(slot.Parser, nullptr);
        EXPECT_TRUE(slot.Loaded);
        EXPECT_EQ(slot.Parser->Name(), slot.Name);
        EXPECT_FALSE(slot.Parser->Loading());
        EXPECT_EQ(slot.Key, TypeKeyForNumber(slot.Tag));
    }
    EXPECT_EQ(bank.takeLoadWarning(), "");
    EXPECT_EQ(bank.parserForNumber(1).Parser->Settings().LanguageName(), "C/C++");
    EXPECT_EQ(bank.parserForNumber(13).Parser->Settings().LanguageName(), "PHP");
    // The C/C++ parser colours: "int" is one token, not three characters.
    EXPECT_EQ(values(*bank.parserForNumber(1).Parser, "int x;").size(), 4u);
}

TEST(ParserBank, MissingOrDamagedImagesLeaveEmptyParsersAndOneMessage) {
    static const std::uint8_t damaged[] = {0x33, 0x00, 0x10, 0x00, 0x00, 0x00, 'W', 'R', 'Z', 'L', 0xFF};
    static const EmbeddedParserImage damagedImage{"sql", damaged, sizeof damaged};
    ParserBank bank([](std::string_view key) -> const EmbeddedParserImage* {
        if (key == "htm")
            return nullptr;
        if (key == "sql")
            return &damagedImage;
        return FindEmbeddedParserImage(key);
    });
    const ParserSlot& html = bank.parserForNumber(3);
    const ParserSlot& sql = bank.parserForNumber(4);
    EXPECT_FALSE(html.Loaded);
    EXPECT_FALSE(sql.Loaded);
    EXPECT_TRUE(bank.parserForNumber(1).Loaded);
    // Empty parsers: every character is a token of value 0.
    EXPECT_EQ(values(*html.Parser, "<p>"), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(values(*sql.Parser, "select"), std::vector<int>(6, 0));

    const std::string warning = bank.takeLoadWarning();
    EXPECT_NE(warning.find("HTML (prsHTML: no compiled parser is built into this program)"),
              std::string::npos)
        << warning;
    EXPECT_NE(warning.find("SQL (prsSQL: "), std::string::npos) << warning;
    EXPECT_EQ(warning.find("C/Cpp"), std::string::npos);
    EXPECT_EQ(bank.takeLoadWarning(), "") << "the user is told once";
}

} // namespace
} // namespace qorvi
