#include "editor/lexicon/keyword_table_set.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

std::intptr_t matchData(const TKeywords& trie, const std::string& text, const TByteSet& states, bool cs) {
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    TKeywords& table = const_cast<TKeywords&>(trie);
    table.SetCurrentStates(states);
    std::int32_t len = 0, start = 0, offset = 0;
    const TEndData* e = trie.MatchStream(*stream, cs, true, len, start, offset);
    return e ? e->Data : -1;
}

TEST(KeywordTableSet, EmptyStatesAreStoredAsStateZero) {
    KeywordTableSet set;
    set.DefineKeywordTable(TByteSet(), "", false, {{"select", 5}});
    ASSERT_NE(set.Slot(0), nullptr);
    EXPECT_EQ(set.Slot(0)->States, TByteSet{0});
    ASSERT_NE(set.Trie(), nullptr);
    EXPECT_EQ(matchData(*set.Trie(), "SELECT", {0}, false), 5);
}

TEST(KeywordTableSet, EqualStatesReplaceOverlappingStatesAreAmbiguous) {
    KeywordTableSet set;
    set.DefineKeywordTable({1, 2}, "", true, {{"a", 1}});
    set.DefineKeywordTable({1, 2}, "", true, {{"b", 2}});
    EXPECT_EQ(set.Count(), 1);
    EXPECT_EQ(matchData(*set.Trie(), "a", {1}, true), -1);
    EXPECT_EQ(matchData(*set.Trie(), "b", {1}, true), 2);
    try {
        set.DefineKeywordTable({2, 3}, "", true, {{"c", 3}});
        FAIL() << "overlap accepted";
    } catch (const EKeywords& e) {
        EXPECT_EQ(e.message(), "Ambigious key table state definition");
    }
    EXPECT_EQ(set.Count(), 1);
}

TEST(KeywordTableSet, TwentyOneTablesAtMost) {
    KeywordTableSet set;
    for (int i = 0; i < KeywordTableSet::kSlots; ++i)
        set.DefineKeywordTable({i + 1}, "", true, {{"w" + std::to_string(i), i}});
    try {
        set.DefineKeywordTable({100}, "", true, {{"x", 1}});
        FAIL() << "22nd table accepted";
    } catch (const EKeywords& e) {
        EXPECT_EQ(e.message(), "Too many keyword tables declared");
    }
    EXPECT_EQ(matchData(*set.Trie(), "w20", {21}, true), 20);
}

TEST(KeywordTableSet, TerminatorTextGivesTheFollowGroup) {
    KeywordTableSet set;
    set.DefineKeywordTable({0}, "[^a-z]", true, {{"int", 1}});
    EXPECT_EQ(matchData(*set.Trie(), "int x", {0}, true), 1);
    EXPECT_EQ(matchData(*set.Trie(), "intx", {0}, true), -1);
    // Without a terminator any neighbour will do.
    set.DefineKeywordTable({0}, "", true, {{"int", 1}});
    EXPECT_EQ(matchData(*set.Trie(), "intx", {0}, true), 1);
}

TEST(KeywordTableSet, NoWordsNoTrie) {
    KeywordTableSet set;
    set.DefineKeywordTable({0}, "", true, {{"", 1}});
    EXPECT_EQ(set.Trie(), nullptr);
    EXPECT_EQ(set.Count(), 1);
}

TEST(KeywordTableSet, ADefinitionThatBreaksTheTrieIsNotKept) {
    KeywordTableSet set;
    set.DefineKeywordTable({0}, "", true, {{"a", 1}});
    EXPECT_THROW(set.DefineKeywordTable({1}, "[z-a]", true, {{"b", 2}}), ERudivoVoru);
    EXPECT_THROW(set.DefineKeywordTable({0}, "", true, {{"x", 1}, {"x", 2}}), EKeywords);
    EXPECT_EQ(set.Count(), 1);
    EXPECT_EQ(set.Slot(0)->Words.size(), 1u);
    EXPECT_EQ(matchData(*set.Trie(), "a", {0}, true), 1);
}

TEST(KeywordTableSet, StreamRoundTripAndRejection) {
    KeywordTableSet set;
    set.DefineKeywordTable({0, 4}, "[^\\s]", false, {{"From", 7}, {"Where", 8}});
    set.DefineKeywordTable({9}, "", true, {{"ok", -3}});
    TMemoryStream s;
    set.SaveToStream(s);
    s.SetPosition(0);
    KeywordTableSet back;
    back.LoadFromStream(s);
    ASSERT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Slot(0)->Terminator, "[^\\s]");
    EXPECT_FALSE(back.Slot(0)->CaseSensitive);
    EXPECT_EQ(back.Slot(0)->Words[1], (std::pair<std::string, std::intptr_t>("Where", 8)));
    EXPECT_EQ(back.Slot(1)->Words[0].second, -3);
    EXPECT_EQ(matchData(*back.Trie(), "WHERE(", {4}, false), 8);
    EXPECT_EQ(matchData(*back.Trie(), "where ", {4}, false), -1);
    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(again.DataString(), s.DataString());

    const std::string bytes = s.DataString();
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        TMemoryStream truncated(bytes.substr(0, cut));
        EXPECT_THROW(back.LoadFromStream(truncated), EStreamError) << "cut at " << cut;
    }
    EXPECT_EQ(back.Count(), 2);
}

} // namespace
} // namespace qorvi
