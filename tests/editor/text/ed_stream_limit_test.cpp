// A scanner limited to part of the text: reads end at the limit, so one
// parser call cannot scan past it.

#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <string>

using namespace qorvi;

TEST(EdStreamLimit, TheTextSeemsToEndAtTheLimitUntilItIsCleared) {
    TTextStore store;
    const std::string text = "abc\rdef\rghi";
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    TEdStream s(&store);
    s.SetLimit(4);
    std::string seen;
    while (!s.yyeof()) {
        seen.push_back(static_cast<char>(s.GetYYchar()));
        s.yyadvance();
    }
    EXPECT_EQ(seen, "abc\r");
    EXPECT_EQ(s.GetYYpos(), 4);
    // Scanners that test for the character 0 see the end there too.
    EXPECT_EQ(s.GetYYchar(), 0);
    s.SetLimit(6);
    s.SetYYpos(5);
    EXPECT_EQ(s.GetYYchar(), 'e');
    s.yyadvance();
    EXPECT_EQ(s.GetYYchar(), 0);
    EXPECT_TRUE(s.yyeof());
    s.yyretard();
    EXPECT_EQ(s.GetYYchar(), 'e');
    s.SetLimit(4);
    char buffer[16] = {};
    s.SetYYpos(2);
    EXPECT_EQ(s.Read(buffer, sizeof buffer), 2);
    EXPECT_EQ(std::string(buffer), "c\r");
    s.SetLimit(0);
    s.SetYYpos(0);
    EXPECT_TRUE(s.yyeof());
    s.SetLimit(-1);
    s.SetYYpos(8);
    EXPECT_FALSE(s.yyeof());
    EXPECT_EQ(s.GetYYchar(), 'g');
    // A limit past the text is the text's end; an edit keeps the limit.
    s.SetLimit(100);
    store.InsertText(0, "xy", 2);
    s.SetYYpos(12);
    EXPECT_FALSE(s.yyeof());
    s.SetYYpos(13);
    EXPECT_TRUE(s.yyeof());
}
