#include "editor/support/string_scanner.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

TEST(StringScanner, EmptyStringIsAtBothEnds) {
    TStringScanner s("");
    EXPECT_TRUE(s.yyeof());
    EXPECT_TRUE(s.yybof());
    EXPECT_EQ(s.yychar(), 0);
    EXPECT_EQ(s.Getyypos(), 0);
}

TEST(StringScanner, WalksOneBasedAndStopsPastTheEnds) {
    TStringScanner s("ab\xe9");
    EXPECT_TRUE(s.yybof());
    EXPECT_EQ(s.yychar(), 'a');
    s.yyadvance();
    s.yyadvance();
    EXPECT_EQ(s.yychar(), 0xE9);
    s.yyadvance();
    EXPECT_TRUE(s.yyeof());
    EXPECT_EQ(s.yychar(), 0);
    s.yyadvance();
    EXPECT_EQ(s.Getyypos(), 4);
    s.Setyypos(1);
    s.yyretard();
    s.yyretard();
    EXPECT_EQ(s.Getyypos(), 0);
    EXPECT_EQ(s.yychar(), 0);
}

} // namespace
} // namespace qorvi
