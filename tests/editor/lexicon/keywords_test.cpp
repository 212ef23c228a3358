#include "editor/lexicon/char_group.h"
#include "editor/lexicon/keywords.h"
#include "editor/lexicon/syntax_keywords.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {
namespace {

TSM_CharGroup group(const std::string& text) {
    TSM_CharGroup g;
    int pos = 1;
    TSM_CharGroup_SetFromString(text, pos, g);
    return g;
}

const TSM_CharGroup kAny;
const TSM_CharGroup kNoWordChar = group("[^a-zA-Z0-9_]");

// A text store with `text` and a scanner on it.
struct Scan {
    explicit Scan(const std::string& text, std::int32_t at = 0) {
        store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
        stream = store.GetTextStream(at);
    }
    TTextStore store;
    std::unique_ptr<TEdStream> stream;
};

struct Match {
    const TEndData* entry;
    std::int32_t len;
    std::int32_t startPos;
    std::int32_t posAfter;
};

Match match(const TKeywords& kw, Scan& scan, bool caseSensitive = true, bool forward = true) {
    Match m{};
    std::int32_t startOffset = 0;
    m.entry = kw.MatchStream(*scan.stream, caseSensitive, forward, m.len, m.startPos, startOffset);
    m.posAfter = scan.stream->GetYYpos();
    return m;
}

TEST(Keywords, LongestWordWinsAndScannerStandsAfterIt) {
    TKeywords kw;
    kw.SetCurrentStates({0});
    kw.Add("if", true, kNoWordChar, {0}, 10);
    kw.Add("ifdef", true, kNoWordChar, {0}, 11);
    Scan scan("ifdef(x)");
    Match m = match(kw, scan);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.entry->Data, 11);
    EXPECT_EQ(m.len, 5);
    EXPECT_EQ(m.posAfter, 5);

    Scan shorter("if(x)");
    m = match(kw, shorter);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.entry->Data, 10);
    EXPECT_EQ(m.posAfter, 2);
}

TEST(Keywords, FollowGroupRejectsAWordThatContinues) {
    TKeywords kw;
    kw.SetCurrentStates({0});
    kw.Add("if", true, kNoWordChar, {0}, 10);
    kw.Add("ifdef", true, kNoWordChar, {0}, 11);
    Scan scan("  ifx", 2);
    Match m = match(kw, scan);
    EXPECT_EQ(m.entry, nullptr);
    EXPECT_EQ(m.len, 1);
    EXPECT_EQ(m.startPos, 2);
    EXPECT_EQ(m.posAfter, 3);
    // A shorter word still qualifies when a longer candidate fails later.
    kw.Add("a", true, kNoWordChar, {0}, 1);
    kw.Add("a-b", true, kNoWordChar, {0}, 2);
    Scan partial("a-c");
    m = match(kw, partial);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.entry->Data, 1);
    EXPECT_EQ(m.len, 1);
    EXPECT_EQ(m.posAfter, 1);
}

TEST(Keywords, WordAtTheEndOfTheTextIsFollowedByALineBreak) {
    TKeywords kw;
    kw.SetCurrentStates({0});
    kw.Add("end", true, kNoWordChar, {0}, 1);
    kw.Add("stop", true, group("[;]"), {0}, 2);
    Scan scan("end");
    EXPECT_NE(match(kw, scan).entry, nullptr);
    Scan scan2("stop");
    EXPECT_EQ(match(kw, scan2).entry, nullptr);
}

TEST(Keywords, StatesSelectBetweenEntriesOfOneWord) {
    TKeywords kw;
    kw.Add("x", true, kAny, {1}, 100);
    kw.Add("x", true, kAny, {2}, 200);
    Scan scan("x");
    kw.SetCurrentStates({2});
    Match m = match(kw, scan);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.entry->Data, 200);

    kw.SetCurrentStates({3});
    scan.stream->SetYYpos(0);
    EXPECT_EQ(match(kw, scan).entry, nullptr);

    // Both entries meet {1, 2}: the first added wins.
    kw.SetCurrentStates({1, 2});
    scan.stream->SetYYpos(0);
    EXPECT_EQ(match(kw, scan).entry->Data, 100);
}

TEST(Keywords, EmptyCurrentStatesMatchNothing) {
    TKeywords kw;
    kw.Add("x", true, kAny, {0}, 1);
    Scan scan("x");
    EXPECT_EQ(match(kw, scan).entry, nullptr);
}

TEST(Keywords, CaseInsensitiveTableMatchesAnyCase) {
    TKeywords kw;
    kw.SetCurrentStates({0});
    kw.Add("Begin", false, kNoWordChar, {0}, 7);
    Scan scan("BEGIN end");
    Match m = match(kw, scan, false);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.len, 5);
    // The same table scanned case-sensitively knows only the lower-cased word.
    Scan upper("BEGIN");
    EXPECT_EQ(match(kw, upper, true).entry, nullptr);
    Scan lower("begin");
    EXPECT_NE(match(kw, lower, true).entry, nullptr);
    EXPECT_FALSE(kw.CaseSensitive());
}

TEST(Keywords, DuplicateWordInMeetingStatesIsRefused) {
    TKeywords kw;
    kw.Add("while", true, kAny, {1, 2}, 1);
    try {
        kw.Add("while", true, kAny, {2, 3}, 2);
        FAIL() << "duplicate accepted";
    } catch (const EKeywords& e) {
        EXPECT_EQ(e.message(), "Duplicate keyword - 'while'");
    }
    EXPECT_NO_THROW(kw.Add("while", true, kAny, {4}, 3));
    // A case-insensitive duplicate is found after folding; the message shows the word as passed.
    kw.Add("Loop", false, kAny, {0}, 1);
    EXPECT_THROW(kw.Add("LOOP", false, kAny, {0}, 1), EKeywords);
    EXPECT_EQ(kw.EntryCount(), 3u);
}

TEST(Keywords, BackwardMatchFindsTheNameEndingAtTheScanner) {
    // Names stored reversed, as templates keep them.
    TKeywords kw;
    kw.SetCurrentStates({0});
    kw.Add("rof", false, kAny, {0}, 1); // for
    kw.Add("ro", false, kAny, {0}, 2);  // or
    Scan scan("x = FOR", 6);            // on the R
    Match m = match(kw, scan, false, false);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.entry->Data, 1);
    EXPECT_EQ(m.len, 3);
    EXPECT_EQ(m.posAfter, 4); // on the F

    // At the very start of the text there is nothing to step back to.
    Scan atStart("for", 2);
    m = match(kw, atStart, false, false);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.len, 3);
    EXPECT_EQ(m.posAfter, 0);
}

TEST(Keywords, MatchKeywordFollowsTheWholeWord) {
    TKeywords kw;
    kw.Add("abc", false, kAny, {0}, 1);
    const TKeywordNode* n = kw.MatchKeyword("ABC", false);
    ASSERT_NE(n, nullptr);
    EXPECT_EQ(n->Character, 'c');
    EXPECT_NE(n->Ends, kNoEndData);
    EXPECT_EQ(kw.MatchKeyword("", false), nullptr);
    EXPECT_EQ(kw.MatchKeyword("x", false), nullptr);
    // A walk that runs out of children returns the last node reached.
    EXPECT_EQ(kw.MatchKeyword("abz", false)->Character, 'b');
}

TEST(Keywords, SiblingsAreOrderedAndNodeStatesAreUnions) {
    TKeywords kw;
    kw.Add("ca", true, kAny, {1}, 1);
    kw.Add("cc", true, kAny, {2}, 2);
    kw.Add("cb", true, kAny, {3}, 3);
    const TKeywordNode* c = kw.FirstNodeOf('c');
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->States, (TByteSet{1, 2, 3}));
    std::string order;
    for (const TKeywordNode* n = kw.NodeAt(c->Child); n; n = kw.NodeAt(n->Sibling))
        order.push_back(static_cast<char>(n->Character));
    EXPECT_EQ(order, "abc");
}

TEST(Keywords, ClearNotifiesEveryEntryAndRestartsGroupIds) {
    TKeywords kw;
    std::vector<std::intptr_t> killed;
    kw.SetOnKill([&](std::intptr_t data) { killed.push_back(data); });
    kw.Add("b", true, group("x"), {0}, 1);
    kw.Add("a", true, kAny, {0}, 2);
    kw.Add("ab", true, kAny, {0}, 3);
    kw.Add("a", true, kAny, {1}, 4);
    EXPECT_EQ(kw.GetMaxCS(), 2); // the empty group registered first, then "x"
    kw.Clear();
    // Sibling chain first, then children, then a node's own entries last to first.
    EXPECT_EQ(killed, (std::vector<std::intptr_t>{1, 3, 4, 2}));
    EXPECT_TRUE(kw.IsEmpty());
    EXPECT_EQ(kw.GetMaxCS(), 0);
    EXPECT_EQ(kw.GetCharSetID(group("y")), 0);
}

TEST(Keywords, A257thNeighbourGroupIsRefused) {
    TKeywords kw; // group 0 is the empty group
    for (int i = 1; i < 256; ++i) {
        TSM_CharGroup g;
        g.AddChar(static_cast<std::uint8_t>(i));
        kw.Add("w" + std::to_string(i), true, g, {0}, i);
    }
    EXPECT_EQ(kw.GetMaxCS(), 256);
    TSM_CharGroup extra;
    extra.AddRange('a', 'b');
    try {
        kw.Add("one-more", true, extra, {0}, 0);
        FAIL() << "a 257th group was accepted";
    } catch (const EKeywords&) {
    }
    EXPECT_EQ(kw.GetMaxCS(), 256);
    EXPECT_EQ(kw.MatchKeyword("one-more", true), nullptr);
    // A group already known still works.
    TSM_CharGroup known;
    known.AddChar(7);
    EXPECT_NO_THROW(kw.Add("again", true, known, {0}, 0));
}

TEST(SyntaxKeywords, StreamRoundTripKeepsWordsGroupsStatesAndOrder) {
    TSyntaxKeywords kw;
    kw.Add("while", false, kNoWordChar, {0, 3}, 21);
    kw.Add("do", false, kAny, {0}, 22);
    kw.Add("do", false, group("[;]"), {7}, 23);
    TMemoryStream s;
    kw.SaveToStream(s);
    s.SetPosition(0);

    TSyntaxKeywords back;
    back.LoadFromStream(s);
    EXPECT_EQ(s.GetPosition(), s.GetSize());
    ASSERT_EQ(back.Words().size(), 3u);
    EXPECT_EQ(back.Words()[2].first, "do");
    EXPECT_EQ(back.Words()[2].second->Data, 23);
    EXPECT_TRUE(back.Words()[2].second->CharGroup.EqualTo(group("[;]")));
    EXPECT_EQ(back.Words()[0].second->States, (TByteSet{0, 3}));
    EXPECT_FALSE(back.CaseSensitive());

    TMemoryStream again;
    back.SaveToStream(again);
    EXPECT_EQ(again.DataString(), s.DataString());

    back.SetCurrentStates({7});
    Scan scan("DO;");
    Match m = match(back, scan, false);
    ASSERT_NE(m.entry, nullptr);
    EXPECT_EQ(m.entry->Data, 23);
}

TEST(SyntaxKeywords, EmptyTableStreamIsCaseFlagCountAndTerminator) {
    TSyntaxKeywords kw;
    TMemoryStream s;
    kw.SaveToStream(s);
    EXPECT_EQ(s.DataString(), std::string(9, '\0'));
    // A negative count reads the terminator only.
    TMemoryStream negative(std::string("\x01\x00\x00\x00\xFF\xFF\xFF\xFF\x00", 9));
    kw.LoadFromStream(negative);
    EXPECT_EQ(negative.GetPosition(), 9);
    EXPECT_TRUE(kw.Words().empty());
    EXPECT_TRUE(kw.CaseSensitive());
}

TEST(SyntaxKeywords, ReaderStopsAtTheFirstEmptyWord) {
    TSyntaxKeywords one;
    one.Add("a", true, kAny, {0}, 1);
    TMemoryStream s;
    one.SaveToStream(s);
    std::string bytes = s.DataString();
    bytes[4] = 5; // the count overstates the entries
    TMemoryStream overstated(bytes);
    TSyntaxKeywords back;
    back.LoadFromStream(overstated);
    EXPECT_EQ(back.Words().size(), 1u);
}

TEST(SyntaxKeywords, TruncatedOrCorruptStreamsLeaveTheTableAsItWas) {
    TSyntaxKeywords source;
    source.Add("alpha", true, kNoWordChar, {0}, 1);
    source.Add("beta", true, kNoWordChar, {0}, 2);
    TMemoryStream s;
    source.SaveToStream(s);
    const std::string bytes = s.DataString();

    TSyntaxKeywords target;
    target.Add("keep", true, kAny, {0}, 9);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        TMemoryStream truncated(bytes.substr(0, cut));
        EXPECT_THROW(target.LoadFromStream(truncated), EStreamError) << "cut at " << cut;
    }
    // The same word twice in one state is a duplicate.
    TSyntaxKeywords dup;
    TMemoryStream d;
    SWriteLongint(d, 1);
    SWriteLongint(d, 2);
    for (int i = 0; i < 2; ++i) {
        SWriteShortString(d, "same");
        kAny.SaveToStream(d);
        SWriteSet(d, {0});
        SWriteLongint(d, i);
    }
    SWriteShortString(d, "");
    d.SetPosition(0);
    EXPECT_THROW(target.LoadFromStream(d), EKeywords);
    // A terminator that is not empty after the counted entries is corrupt.
    std::string noTerminator = bytes;
    noTerminator.back() = 'x';
    noTerminator += std::string("x", 1);
    TMemoryStream bad(noTerminator);
    EXPECT_THROW(target.LoadFromStream(bad), EStreamError);

    ASSERT_EQ(target.Words().size(), 1u);
    EXPECT_EQ(target.Words()[0].first, "keep");
    EXPECT_NE(target.MatchKeyword("keep", true), nullptr);
}

TEST(SyntaxKeywords, OverlongWordsAndRefusedDuplicatesAreNotRecorded) {
    TSyntaxKeywords kw;
    EXPECT_THROW(kw.Add(std::string(256, 'a'), true, kAny, {0}, 1), EKeywords);
    kw.Add("x", true, kAny, {0}, 1);
    EXPECT_THROW(kw.Add("x", true, kAny, {0}, 2), EKeywords);
    EXPECT_EQ(kw.Words().size(), 1u);
    TMemoryStream s;
    EXPECT_NO_THROW(kw.SaveToStream(s));
}

TEST(Keywords, TrieOrderStreamRoundTripsThroughClone) {
    TKeywords kw;
    kw.Add("zeta", true, kNoWordChar, {2}, 5);
    kw.Add("alpha", true, kAny, {1}, 6);
    std::unique_ptr<TSM_Base> clone = kw.Clone();
    auto& copy = dynamic_cast<TKeywords&>(*clone);
    EXPECT_EQ(copy.EntryCount(), 2u);
    copy.SetCurrentStates({2});
    Scan scan("zeta+");
    EXPECT_EQ(match(copy, scan).entry->Data, 5);
}

TEST(Keywords, AssignRefusesAnotherClass) {
    TKeywords kw;
    TSyntaxKeywords syntax;
    EXPECT_THROW(kw.Assign(syntax), ERudivoVoru);
    EXPECT_THROW(kw.Assign(TSM_CharGroup()), ERudivoVoru);
}

} // namespace
} // namespace qorvi
