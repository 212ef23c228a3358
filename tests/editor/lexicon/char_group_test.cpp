#include "editor/lexicon/char_group.h"
#include "editor/lexicon/char_group_manager.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

TSM_CharGroup parse(const std::string& text, int* stoppedAt = nullptr) {
    TSM_CharGroup g;
    int pos = 1;
    TSM_CharGroup_SetFromString(text, pos, g);
    if (stoppedAt)
        *stoppedAt = pos;
    return g;
}

std::string members(const TSM_CharGroup& g) {
    std::string out;
    for (int c = 0; c < 256; ++c)
        if (g.CharSet().Contains(static_cast<std::uint8_t>(c)))
            out.push_back(static_cast<char>(c));
    return out;
}

TEST(CharGroupNotation, SingleCharacterOrRangeWithoutBrackets) {
    int pos = 0;
    TSM_CharGroup g = parse("ab", &pos);
    EXPECT_EQ(members(g), "a");
    EXPECT_EQ(pos, 2);
    g = parse("a-d", &pos);
    EXPECT_EQ(members(g), "abcd");
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(g.Lowest(), 'a');
    EXPECT_EQ(g.Highest(), 'd');
}

TEST(CharGroupNotation, BracketSetWithRangesAndNegation) {
    TSM_CharGroup g = parse("[^a-z]");
    EXPECT_TRUE(g.Negate());
    EXPECT_FALSE(g.ContainsChar('q'));
    EXPECT_TRUE(g.ContainsChar('Q'));
    EXPECT_TRUE(g.ContainsChar('\r'));

    g = parse("[a-c_0-1x]");
    EXPECT_EQ(members(g), "01_abcx");
    EXPECT_FALSE(g.Negate());
}

TEST(CharGroupNotation, ReadingStopsAfterTheClosingBracket) {
    int pos = 0;
    TSM_CharGroup g = parse("[ab]cd", &pos);
    EXPECT_EQ(members(g), "ab");
    EXPECT_EQ(pos, 5);
    // Reading continues where the previous group stopped.
    std::string text = "[ab]c";
    TSM_CharGroup next;
    TSM_CharGroup_SetFromString(text, pos, next);
    EXPECT_EQ(members(next), "c");
}

TEST(CharGroupNotation, EscapesDenoteControlCharactersWithCrAndLfSwapped) {
    EXPECT_EQ(members(parse("\\n")), "\r");
    EXPECT_EQ(members(parse("\\r")), "\n");
    EXPECT_EQ(members(parse("\\N")), "\r");
    EXPECT_EQ(members(parse("[\\t\\s\\b\\e]")), std::string("\x08\x09\x1B ", 4));
    EXPECT_EQ(members(parse("\\x41")), "A");
    EXPECT_EQ(members(parse("\\u1FF")), std::string(1, '\xFF')); // modulo 256
    EXPECT_EQ(members(parse("\\101")), "A");                     // octal
    EXPECT_EQ(members(parse("\\-")), "-");
}

TEST(CharGroupNotation, EscapedBracketsAreMembers) {
    EXPECT_EQ(members(parse("[\\]\\[]")), "[]");
    int pos = 0;
    TSM_CharGroup g = parse("\\[x", &pos);
    EXPECT_EQ(members(g), "[");
    EXPECT_EQ(pos, 3);
    // A dash before the closing bracket is a member.
    EXPECT_EQ(members(parse("[a-]")), "-a");
}

TEST(CharGroupNotation, DescendingRangeIsAnError) {
    try {
        parse("[z-a]");
        FAIL() << "descending range accepted";
    } catch (const ERudivoVoru& e) {
        EXPECT_EQ(e.message(), "Characters not in correct order for range specifier");
    }
    EXPECT_THROW(parse("9-0"), ERudivoVoru);
}

TEST(CharGroupNotation, EmptyTextAndEmptyNegatedSetAreEmptyGroups) {
    EXPECT_TRUE(parse("").IsEmpty());
    TSM_CharGroup g = parse("[^]");
    EXPECT_TRUE(g.IsEmpty());
    EXPECT_TRUE(g.Negate());
    // An empty group lets every neighbour through.
    EXPECT_EQ(g.AcceptedChars(), TByteSet::All());
}

TEST(CharGroup, EqualityCountsSetAndNegation) {
    EXPECT_TRUE(parse("[a-c]").EqualTo(parse("[abc]")));
    EXPECT_FALSE(parse("[a-c]").EqualTo(parse("[^a-c]")));
    EXPECT_FALSE(parse("[a-c]").EqualTo(parse("[a-d]")));
}

TEST(CharGroup, StreamFormRoundTrips) {
    TSM_CharGroup g = parse("[^a-z\\n]");
    TMemoryStream s;
    g.SaveToStream(s);
    EXPECT_EQ(s.DataString().size(), 37u);
    EXPECT_EQ(s.DataString()[36], '\x01');
    s.SetPosition(0);
    TSM_CharGroup back;
    back.LoadFromStream(s);
    EXPECT_TRUE(back.EqualTo(g));
    EXPECT_EQ(back.Lowest(), '\r');
    EXPECT_EQ(back.Highest(), 'z');

    std::unique_ptr<TSM_Base> clone = g.Clone();
    EXPECT_TRUE(dynamic_cast<TSM_CharGroup&>(*clone).EqualTo(g));
}

TEST(CharGroup, RangeListOfAStreamIsKeptAndCompared) {
    std::string bytes(32, '\0');
    bytes += std::string("\x01\x00\x00\x00", 4) + '\0' + "az";
    TMemoryStream s(bytes);
    TSM_CharGroup g;
    g.LoadFromStream(s);
    ASSERT_EQ(g.Ranges().size(), 1u);
    EXPECT_FALSE(g.IsEmpty());
    EXPECT_FALSE(g.EqualTo(TSM_CharGroup()));
    TMemoryStream out;
    g.SaveToStream(out);
    EXPECT_EQ(out.DataString(), bytes);
}

TEST(CharGroup, TruncatedOrImpossibleStreamIsRejectedAndLeavesTheGroup) {
    TSM_CharGroup g = parse("[xy]");
    TMemoryStream truncated(std::string(36, '\0'));
    EXPECT_THROW(g.LoadFromStream(truncated), EStreamError);
    std::string bytes(32, '\0');
    bytes += std::string("\x10\x00\x00\x00", 4) + '\0' + "ab";
    TMemoryStream tooManyRanges(bytes);
    EXPECT_THROW(g.LoadFromStream(tooManyRanges), EStreamError);
    EXPECT_EQ(members(g), "xy");
}

TEST(CharGroupManager, InternsEqualGroupsOnce) {
    TSM_CharGroupManager m;
    EXPECT_EQ(m.IdOfSet(parse("[a-z]")), 0);
    EXPECT_EQ(m.IdOfSet(parse("[0-9]")), 1);
    EXPECT_EQ(m.IdOfSet(parse("[abcdefghijklmnopqrstuvwxyz]")), 0);
    EXPECT_EQ(m.FindSet(parse("[^a-z]")), -1);
    EXPECT_EQ(m.Count(), 2);
    EXPECT_TRUE(m.GetCharSet(1).ContainsChar('5'));
}

TEST(CharGroupManager, IdsOutsideTheCountAreInvalid) {
    TSM_CharGroupManager m;
    m.IdOfSet(parse("a"));
    for (int id : {-1, 1, 2}) {
        try {
            m.GetCharSet(id);
            FAIL() << "id " << id << " accepted";
        } catch (const ERudivoVoru& e) {
            EXPECT_EQ(e.message(), "Invalid Set ID (" + std::to_string(id) + ")");
        }
    }
}

TEST(CharGroupManager, StreamRoundTripAndRejection) {
    TSM_CharGroupManager m;
    m.IdOfSet(TSM_CharGroup());
    m.IdOfSet(parse("[^\\s\\t]"));
    m.IdOfSet(parse("a-f"));
    TMemoryStream s;
    m.SaveToStream(s);
    s.SetPosition(0);
    TSM_CharGroupManager back;
    back.LoadFromStream(s);
    ASSERT_EQ(back.Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(back.GetCharSet(i).EqualTo(m.GetCharSet(i)));

    // A count larger than the stream can hold keeps the manager as it was.
    std::string bad = s.DataString();
    bad[0] = 9;
    TMemoryStream corrupt(bad);
    EXPECT_THROW(back.LoadFromStream(corrupt), EStreamError);
    EXPECT_EQ(back.Count(), 3);
}

} // namespace
} // namespace qorvi
