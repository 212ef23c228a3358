#include "editor/settings/tab_columns.h"
#include "editor/support/rudivo_voru_error.h"

#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

std::string parseError(const std::string& text) {
    TTabColumns columns = emptyTabColumns();
    try {
        TextToTabColumns(text, columns);
    } catch (const ERudivoVoru& e) {
        return e.message();
    }
    return "";
}

TEST(TabColumns, NumbersSeparatedByBlanksOrSemicolonsAreStoredZeroBased) {
    TTabColumns columns{};
    TextToTabColumns("5;9 13", columns);
    EXPECT_EQ(columns[0], 4);
    EXPECT_EQ(columns[1], 8);
    EXPECT_EQ(columns[2], 12);
    for (std::size_t i = 3; i < columns.size(); ++i)
        EXPECT_EQ(columns[i], -1);
    EXPECT_EQ(TabColumnsAsText(columns), "5 9 13");
    TextToTabColumns("", columns);
    EXPECT_EQ(columns, emptyTabColumns());
    EXPECT_EQ(TabColumnsAsText(columns), "");
}

TEST(TabColumns, BadTextIsRejectedWithItsMessageAndChangesNothing) {
    EXPECT_EQ(parseError("5 5"), "Tab columns must be in order and unique");
    EXPECT_EQ(parseError("9 5"), "Tab columns must be in order and unique");
    EXPECT_EQ(parseError("1"), "Tab column must be > 1");
    EXPECT_EQ(parseError("0"), "Tab column must be > 1");
    EXPECT_EQ(parseError("5 x"), "Tab stop column value expected");
    EXPECT_EQ(parseError("5,9"), "Tab stop column value expected");
    std::string many;
    for (int i = 2; i <= 34; ++i)
        many += std::to_string(i) + " ";
    EXPECT_EQ(parseError(many), "Too many tab stops - maximum of 32");
    EXPECT_EQ(parseError("4098"), "Tab column must be at most 4097");
    EXPECT_EQ(parseError("99999999999999999999999"), "Tab column must be at most 4097");

    TTabColumns columns{};
    TextToTabColumns("3", columns);
    EXPECT_THROW(TextToTabColumns("7 7", columns), ERudivoVoru);
    EXPECT_EQ(columns[0], 2);
}

TEST(TabColumns, NextTabStopUsesColumnsThenTheDefaultWidth) {
    TTabColumns columns = emptyTabColumns();
    columns[0] = 4;
    columns[1] = 8;
    columns[2] = 12;
    EXPECT_EQ(nextTabStop(columns, 4, 10), 12);
    EXPECT_EQ(nextTabStop(columns, 4, 12), 16);
    EXPECT_EQ(nextTabStop(columns, 4, 0), 4);
    EXPECT_EQ(nextTabStop(emptyTabColumns(), 3, 7), 9);
    // A width that cannot be used acts as 4, never as a division by zero.
    EXPECT_EQ(nextTabStop(emptyTabColumns(), 0, 5), 8);
    EXPECT_EQ(nextTabStop(emptyTabColumns(), -3, 5), 8);
}

} // namespace
} // namespace qorvi
