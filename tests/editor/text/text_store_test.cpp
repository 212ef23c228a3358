#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/text_store.h"
#include "editor/text/text_store_editor.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace qorvi {
namespace {

std::vector<std::string> records(const TTextStore& store) {
    std::vector<std::string> out;
    for (const TLine* line = store.Buffer(); line; line = store.Next(line))
        out.emplace_back(line->View());
    return out;
}

void insert(TTextStore& store, std::int32_t at, const std::string& text) {
    store.InsertText(at, text.data(), static_cast<std::int64_t>(text.size()));
}

std::string exported(const TTextStore& store) {
    TMemoryStream stream;
    store.ExportTextToStream(stream);
    return stream.DataString();
}

TEST(TextStore, EmptyDocumentHasNoRecords) {
    TTextStore store;
    EXPECT_EQ(store.Buffer(), nullptr);
    EXPECT_EQ(store.NumLines(), 0);
    EXPECT_EQ(store.NumChars(), 0);
    EXPECT_EQ(store.MaxLength(), 1);
    EXPECT_EQ(store.SelLineStyle(), lsCRLF);
    EXPECT_EQ(store.FileLineBreaks(), LineBreakStyle::LF);
    EXPECT_EQ(store.InfoFromIndex(5).line, nullptr);
    EXPECT_EQ(store.LineFromLineIndex(3).line, nullptr);
    EXPECT_EQ(store.DeleteText(0, 10), nullptr);
    EXPECT_EQ(exported(store), "");
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(store.GetBookmarkCol(i), 0);
    EXPECT_NE(store.UndoStack(), nullptr);
    EXPECT_EQ(store.ObjectList(), nullptr);
}

TEST(TextStore, SplitsLongLineAt2047) {
    TTextStore store;
    insert(store, 0, std::string(5000, 'x'));
    std::vector<std::string> r = records(store);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].size(), 2047u);
    EXPECT_EQ(r[1].size(), 2047u);
    EXPECT_EQ(r[2].size(), 906u);
    const TLine* first = store.Buffer();
    EXPECT_FALSE(first->IsContinuation());
    EXPECT_TRUE(store.Next(first)->IsContinuation());
    EXPECT_TRUE(store.LastLine()->IsContinuation());
    EXPECT_EQ(store.MaxLength(), 2047);
    // A line break typed into the middle ends the line there.
    insert(store, 3000, "\n");
    r = records(store);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1], std::string(953, 'x') + "\r");
    EXPECT_FALSE(store.LineFromLineIndex(2).line->IsContinuation());
    EXPECT_TRUE(store.LineFromLineIndex(3).line->IsContinuation());
}

TEST(TextStore, LineBreakPairsBecomeOneCR) {
    for (std::string text : {"a\r\nb", "a\n\rb", "a\nb", "a\rb"}) {
        TTextStore store;
        insert(store, 0, text);
        EXPECT_EQ(records(store), (std::vector<std::string>{"a\r", "b"})) << text;
    }
    TTextStore store;
    insert(store, 0, "a\r\n\r\nb");
    EXPECT_EQ(records(store), (std::vector<std::string>{"a\r", "\r", "b"}));
}

TEST(TextStore, ControlCharactersAreKept) {
    TTextStore store;
    insert(store, 0, std::string("a\x07") + "b\x01");
    EXPECT_EQ(store.GetText(), "a\x07" "b\x01");
    insert(store, 0, std::string("\0z", 2));
    EXPECT_EQ(store.GetText(), std::string("\0za\x07" "b\x01", 6));
}

TEST(TextStore, ExportWritesCRLFOrCR) {
    TTextStore store;
    insert(store, 0, "a\rb");
    EXPECT_EQ(exported(store), "a\r\nb");
    store.SetSelLineStyle(lsLF);
    EXPECT_EQ(exported(store), "a\rb");
}

TEST(TextStore, ExportFailsAtTheFirstShortWrite) {
    struct ShortStream : TMemoryStream {
        std::int64_t Write(const void* b, std::int64_t n) override {
            ++calls;
            return TMemoryStream::Write(b, n / 2);
        }
        int calls = 0;
    } stream;
    TTextStore store;
    insert(store, 0, "hello\rworld");
    EXPECT_THROW(store.ExportTextToStream(stream), EFileSaveError);
    EXPECT_EQ(stream.calls, 1);
}

TEST(TextStore, LookupsClampOffsetsAndIndexes) {
    TTextStore store;
    insert(store, 0, "ab\rcd\ref");
    TTextStore::LineInfo info = store.InfoFromIndex(4);
    EXPECT_EQ(info.line->View(), "cd\r");
    EXPECT_EQ(info.index, 1);
    EXPECT_EQ(info.start, 3);
    EXPECT_EQ(store.InfoFromIndex(-7).index, 0);
    info = store.InfoFromIndex(99);
    EXPECT_EQ(info.index, 2);
    EXPECT_EQ(info.start, 6);
    EXPECT_EQ(store.LineFromLineIndex(-1).index, 0);
    EXPECT_EQ(store.LineFromLineIndex(50).line->View(), "ef");
    std::int32_t start = -1;
    EXPECT_EQ(store.LineFromIndex(8, &start)->View(), "ef");
    EXPECT_EQ(start, 6);
    EXPECT_EQ(store.GetText(2, 3), "\rcd");
    EXPECT_EQ(store.GetText(-5, 2), "ab");
    EXPECT_EQ(store.GetText(7, 100), "f");
}

TEST(TextStore, FixRefPointFindsTheTopRecordAndEditsBeforeItForgetIt) {
    TTextStore store;
    insert(store, 0, "one\rtwo\rthree\rfour\r");
    store.FixRefPoint(2);
    ASSERT_NE(store.TopLine(), nullptr);
    EXPECT_EQ(store.TopLine()->View(), "three\r");
    EXPECT_EQ(store.TopLineOffset(), 8);
    store.FixRefPoint(0); // already known: stays
    EXPECT_EQ(store.TopLine()->View(), "three\r");
    insert(store, 10, "X"); // behind the reference point
    EXPECT_NE(store.TopLine(), nullptr);
    insert(store, 1, "Y"); // before it
    EXPECT_EQ(store.TopLine(), nullptr);
    store.FixRefPoint(99);
    EXPECT_EQ(store.TopLine()->View(), "four\r");
}

TEST(TextStore, DeletingJoinsLinesAndKeepsMarksWithTheirText) {
    TTextStore store;
    insert(store, 0, "aaa\rbbb\rccc\r");
    TLine* second = store.LineFromLineIndex(1).line;
    TLine* third = store.LineFromLineIndex(2).line;
    second->SetMarkBits(1 << 3);
    third->SetMarkBits(1 << 4);
    // Deleting the whole second line leaves the third line's record and mark.
    EXPECT_EQ(store.DeleteText(4, 4), third);
    EXPECT_EQ(records(store), (std::vector<std::string>{"aaa\r", "ccc\r"}));
    EXPECT_EQ(third->MarkBits(), 1 << 4);
    // Deleting a line break joins the two lines into the first record.
    TLine* first = store.Buffer();
    EXPECT_EQ(store.DeleteText(3, 1), first);
    EXPECT_EQ(records(store), (std::vector<std::string>{"aaaccc\r"}));
    EXPECT_NE(first->Flags() & lfChanged, 0u);
    // Inserting a whole line at a record's start goes in front of it.
    insert(store, 0, "new\r");
    EXPECT_EQ(records(store)[0], "new\r");
    EXPECT_EQ(store.LineFromLineIndex(1).line, first);
}

TEST(TextStore, JoiningTwoLongLinesKeepsRecordsWithin2047) {
    TTextStore store;
    insert(store, 0, std::string(2000, 'a') + "\r" + std::string(2000, 'b') + "\r");
    store.DeleteText(2000, 1);
    std::vector<std::string> r = records(store);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].size(), 2047u);
    EXPECT_EQ(r[1], std::string(1953, 'b') + "\r");
    EXPECT_TRUE(store.LastLine()->IsContinuation());
}

TEST(TextStore, DeletingEverythingEmptiesTheStoreAndBookmarks) {
    TTextStore store;
    insert(store, 0, "abc\rdef");
    store.SetBookmarkCol(2, 5);
    store.FixRefPoint(1);
    EXPECT_EQ(store.DeleteText(-3, 1000), nullptr);
    EXPECT_EQ(store.NumLines(), 0);
    EXPECT_EQ(store.Buffer(), nullptr);
    EXPECT_EQ(store.GetBookmarkCol(2), 0);
    EXPECT_EQ(store.TopLine(), nullptr);
}

std::vector<int> stylesOf(const TLine* line) {
    std::uint8_t bytes[kMaxLineLen];
    if (!line->ReadStyles(bytes))
        return {};
    return std::vector<int>(bytes, bytes + line->Len());
}

TEST(TextStore, StylesMoveWithTheirCharacters) {
    TTextStore store;
    insert(store, 0, "abcd\r");
    TLine* line = store.Buffer();
    EXPECT_FALSE(line->IsStyled());
    const std::uint8_t first[] = {10, 11, 12, 13, 14};
    ASSERT_TRUE(store.SetLineStyles(line, first));
    insert(store, 2, "XY");
    EXPECT_EQ(line->View(), "abXYcd\r");
    EXPECT_EQ(stylesOf(line), (std::vector<int>{10, 11, 11, 11, 12, 13, 14}));
}

// Styles are kept as runs: whatever the pattern (runs longer than a byte
// can count, a new style every character), what is read back, character by
// character or whole, is what was set, through edits, restyles and drops.
TEST(TextStore, StyleRunsKeepEveryPatternThroughEdits) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        TTextStore store;
        const int len = 1 + static_cast<int>(random() % kMaxLineLen);
        insert(store, 0, std::string(static_cast<std::size_t>(len - 1), 'a') + "\r");
        TLine* line = store.Buffer();
        ASSERT_EQ(line->Len(), len);
        std::vector<int> model(static_cast<std::size_t>(len));
        const int runMax = 1 + static_cast<int>(random() % 600);
        for (int i = 0; i < len;) {
            const int run = 1 + static_cast<int>(random() % static_cast<unsigned>(runMax));
            const int style = static_cast<int>(random() % 256);
            for (int k = 0; k < run && i < len; ++k)
                model[static_cast<std::size_t>(i++)] = style;
        }
        for (int step = 0; step < 4; ++step) {
            std::vector<std::uint8_t> bytes(model.begin(), model.end());
            ASSERT_TRUE(store.SetLineStyles(line, bytes.data()));
            ASSERT_EQ(stylesOf(line), model);
            for (int i = 0; i < line->Len(); i += 1 + static_cast<int>(random() % 50))
                ASSERT_EQ(line->StyleAt(i), model[static_cast<std::size_t>(i)]);
            // An insertion takes the style before it; a deletion takes its styles away.
            const int at = static_cast<int>(random() % static_cast<unsigned>(line->Len()));
            if (random() % 2 && line->Len() < kMaxLineLen - 8) {
                insert(store, at, "xyz");
                const int before = at > 0 ? model[static_cast<std::size_t>(at - 1)] : 0;
                model.insert(model.begin() + at, 3, before);
            } else if (at + 1 < line->Len()) {
                const int count = std::min(5, line->Len() - 1 - at);
                store.DeleteText(at, count);
                model.erase(model.begin() + at, model.begin() + at + count);
            }
            ASSERT_EQ(stylesOf(line), model) << "round " << round << " step " << step;
            if (step == 2)
                line->DropStyles(), model.assign(static_cast<std::size_t>(line->Len()), 9);
        }
    }
}

// An edit cuts and joins the runs where they are: what is left must be
// exactly what EncodeStyleRuns makes of the styles spliced byte by byte
// (runs of one style joined, none longer than 255), or comparing runs with
// runs would take equal styles for different ones.
TEST(TextStore, EditedStyleRunsAreThoseOfTheSplicedStyles) {
    std::mt19937 random(11);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 300; ++round) {
        TTextStore store;
        insert(store, 0, std::string(static_cast<std::size_t>(1 + below(kMaxLineLen)), 'a'));
        TLine* line = store.Buffer();
        // Few styles in long stretches, so that runs meet and pass 255.
        const int styles = 1 + below(3);
        const int runMax = 1 + below(700);
        std::vector<std::uint8_t> model;
        while (model.size() < line->Len())
            model.insert(model.end(), std::min<std::size_t>(1 + below(runMax), line->Len() - model.size()),
                         static_cast<std::uint8_t>(below(styles)));
        ASSERT_TRUE(store.SetLineStyles(line, model.data()));
        for (int step = 0; step < 20; ++step) {
            const int len = line->Len();
            // Only the end of a record the text ends with is still in it.
            const bool atEndToo = !store.Next(line) && len < kMaxLineLen;
            const int at = below(len + (atEndToo ? 1 : 0));
            if (below(2)) {
                const int count = 1 + below(600);
                insert(store, at, std::string(static_cast<std::size_t>(count), 'b'));
                model.insert(model.begin() + at, static_cast<std::size_t>(count), at > 0 ? model[at - 1] : 0);
                // What does not fit moves on to a record of its own.
                model.resize(std::min<std::size_t>(model.size(), kMaxLineLen));
            } else if (at < len - 1) {
                const int count = 1 + below(std::min(600, len - 1 - at));
                store.DeleteText(at, count);
                model.erase(model.begin() + at, model.begin() + at + count);
            }
            ASSERT_EQ(line->Len(), model.size());
            std::uint8_t runs[2 * kMaxLineLen];
            ASSERT_TRUE(line->HasStyleRuns(runs, EncodeStyleRuns(model.data(), line->Len(), runs)))
                << "round " << round << " step " << step;
        }
    }
}

TEST(TextStore, GlyphsAndColoursByLineNumber) {
    TTextStore store;
    insert(store, 0, "one\rtwo\r");
    store.AddLineGlyph(0, 1);
    EXPECT_EQ(store.GetLineGlyph(1), 0);
    store.AddLineGlyph(3, 1);
    EXPECT_EQ(store.GetLineGlyph(1), 0x4);
    EXPECT_EQ(store.GetLineGlyph(0), 0x4); // line 0 counts as line 1
    EXPECT_TRUE(store.LineHasGlyph(3, 1));
    store.AddLineGlyph(16, 2);
    EXPECT_EQ(store.GetLineGlyph(2), 0x8000);
    store.RemoveLineGlyph(3, 1);
    EXPECT_EQ(store.GetLineGlyph(1), 0);
    store.AddLineGlyph(2, 9); // no such line
    EXPECT_EQ(store.GetLineGlyph(9), 0);
    EXPECT_EQ(store.GetLineColor(1), -1);
    store.SetLineColor(0x0000FF, 1);
    store.SetLineTextColor(0xFFFFFF, 2);
    EXPECT_EQ(store.GetLineColor(1), 0x0000FF);
    EXPECT_EQ(store.GetLineTextColor(2), 0xFFFFFF);
    EXPECT_EQ(store.GetLineColor(3), -1);
    EXPECT_NE(store.Buffer()->Flags() & lfRepaint, 0u);
}

TEST(TextStore, TracksAreFreedWithTheirRecord) {
    TTextStore store;
    insert(store, 0, "one\rtwo\rthree\r");
    std::vector<std::int32_t> freed;
    store.SetTrackFreeNotify([&](TLineTrackItem* item) { freed.push_back(item->data); });
    TLine* second = store.LineFromLineIndex(1).line;
    store.EnsureTracks(second).Add(7);
    store.EnsureTracks(store.Buffer()).Add(5);
    EXPECT_EQ(store.Tracks(second)->First()->data, 7);
    store.DeleteText(4, 4); // the whole second line
    EXPECT_EQ(freed, (std::vector<std::int32_t>{7}));
    store.Clear();
    EXPECT_EQ(freed, (std::vector<std::int32_t>{7, 5}));
}

TEST(TextStore, AttachesEachEditorOnce) {
    struct Editor : TextStoreEditor {
        void refreshFromStore() override { ++refreshed; }
        void repaintFromStore() override { ++repainted; }
        int refreshed = 0, repainted = 0;
    } a, b;
    TTextStore store;
    EXPECT_EQ(store.AttachEditor(&a), 0);
    EXPECT_EQ(store.AttachEditor(&b), 1);
    EXPECT_EQ(store.AttachEditor(&a), 1); // existing index + 1
    store.UpdateEditors();
    EXPECT_EQ(a.refreshed, 1);
    EXPECT_EQ(b.refreshed, 1);
    insert(store, 0, "x");
    store.SetLineColor(5, 1);
    EXPECT_EQ(a.repainted, 1);
    store.ReleaseEditor(&a);
    store.UpdateEditors();
    EXPECT_EQ(a.refreshed, 1);
    EXPECT_EQ(b.refreshed, 2);
}

TEST(TextStore, TextBeyondTwoGigacharactersIsRefused) {
    TTextStore store;
    insert(store, 0, "abc");
    // Only the room check runs: nothing of this size is ever read.
    const char* text = "x";
    EXPECT_THROW(store.InsertText(0, text, TTextStore::kMaxChars), ERudivoVoru);
    EXPECT_EQ(store.GetText(), "abc");
}

} // namespace
} // namespace qorvi
