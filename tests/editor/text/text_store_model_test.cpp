// Thousands of random insertions and deletions against a plain string that
// is edited the same way; after every step the store must hold the same
// text, keep its records within the rules, and answer look-ups right.

#include "editor/text/line_breaks.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace qorvi {
namespace {

std::string adjusted(const std::string& raw) {
    std::vector<char> out(raw.size() + 1);
    std::int32_t n =
        RTAdjustLineBreaks_FixedLen(out.data(), raw.data(), static_cast<std::int32_t>(raw.size()));
    return std::string(out.data(), static_cast<std::size_t>(n));
}

std::string randomText(std::mt19937& rng) {
    static const char* const pieces[] = {"a",    "bc",   "defgh", "\r",   "\n",
                                         "\r\n", "\n\r", "\t",    "\x07", "x y z"};
    std::uniform_int_distribution<int> kind(0, 19);
    std::string text;
    int k = kind(rng);
    if (k == 0) {
        // A run long enough to be cut at 2047.
        text.assign(std::uniform_int_distribution<int>(1500, 5000)(rng), 'L');
    } else if (k == 1) {
        for (int i = std::uniform_int_distribution<int>(1, 200)(rng); i > 0; --i)
            text += "ln\r";
    } else {
        for (int i = std::uniform_int_distribution<int>(1, 12)(rng); i > 0; --i)
            text += pieces[std::uniform_int_distribution<int>(0, 9)(rng)];
    }
    return text;
}

void checkRecords(const TTextStore& store, const std::string& model) {
    ASSERT_EQ(store.Chain().verify(), "");
    ASSERT_EQ(store.NumChars(), static_cast<std::int32_t>(model.size()));
    std::int64_t offset = 0;
    std::int32_t index = 0;
    int longest = 0;
    for (const TLine* line = store.Buffer(); line; line = store.Next(line), ++index) {
        ASSERT_GE(line->Len(), 1);
        ASSERT_LE(line->Len(), kMaxLineLen);
        std::string_view text = line->View();
        ASSERT_EQ(text, std::string_view(model).substr(static_cast<std::size_t>(offset), text.size()));
        // CR only as the last character.
        ASSERT_EQ(text.substr(0, text.size() - 1).find('\r'), std::string_view::npos);
        const TLine* prev = store.Prev(line);
        ASSERT_EQ(line->IsContinuation(), prev && !prev->EndsWithCR());
        ASSERT_EQ((line->Flags() & lfHasTab) != 0, text.find('\t') != std::string_view::npos);
        longest = std::max<int>(longest, line->Len());
        offset += line->Len();
    }
    ASSERT_EQ(index, store.NumLines());
    ASSERT_EQ(store.GetLongestLineLength(), longest);
}

void checkLookups(const TTextStore& store, std::mt19937& rng) {
    if (store.NumChars() == 0) {
        EXPECT_EQ(store.InfoFromIndex(0).line, nullptr);
        return;
    }
    for (int i = 0; i < 8; ++i) {
        std::int32_t offset = std::uniform_int_distribution<std::int32_t>(0, store.NumChars() - 1)(rng);
        TTextStore::LineInfo info = store.InfoFromIndex(offset);
        ASSERT_NE(info.line, nullptr);
        ASSERT_LE(info.start, offset);
        ASSERT_LT(offset, info.start + info.line->Len());
        ASSERT_EQ(store.OffsetOfLine(info.line), info.start);
        ASSERT_EQ(store.IndexOfLine(info.line), info.index);
        TTextStore::LineInfo byIndex = store.LineFromLineIndex(info.index);
        ASSERT_EQ(byIndex.line, info.line);
        ASSERT_EQ(byIndex.start, info.start);
    }
}

TEST(TextStoreModel, RandomEditsMatchAPlainString) {
    std::mt19937 rng(20240611);
    TTextStore store;
    std::string model;
    for (int step = 0; step < 4000; ++step) {
        bool insert = model.size() < 2000 || std::uniform_int_distribution<int>(0, 99)(rng) < 55;
        if (model.size() > 60000)
            insert = false;
        if (insert) {
            std::string raw = randomText(rng);
            std::int32_t at =
                std::uniform_int_distribution<std::int32_t>(0, static_cast<std::int32_t>(model.size()))(rng);
            std::string stored = adjusted(raw);
            TTextStore::InsertResult result =
                store.InsertText(at, raw.data(), static_cast<std::int64_t>(raw.size()));
            ASSERT_EQ(result.count, static_cast<std::int32_t>(stored.size()));
            model.insert(static_cast<std::size_t>(at), stored);
        } else {
            std::int32_t at =
                std::uniform_int_distribution<std::int32_t>(0, static_cast<std::int32_t>(model.size()))(rng);
            std::int32_t count =
                std::uniform_int_distribution<std::int32_t>(0, step % 7 == 0 ? 6000 : 40)(rng);
            store.DeleteText(at, count);
            if (static_cast<std::size_t>(at) < model.size())
                model.erase(static_cast<std::size_t>(at), static_cast<std::size_t>(count));
        }
        ASSERT_NO_FATAL_FAILURE(checkRecords(store, model)) << "step " << step;
        ASSERT_NO_FATAL_FAILURE(checkLookups(store, rng)) << "step " << step;
    }
    EXPECT_EQ(store.GetText(), model);
}

TEST(TextStoreModel, StoredTextInsertionsAndWholeLineEditsMatch) {
    std::mt19937 rng(7);
    TTextStore store;
    std::string model;
    for (int step = 0; step < 3000; ++step) {
        int op = std::uniform_int_distribution<int>(0, 3)(rng);
        if (model.size() > 20000)
            op = 3;
        if (op < 2 || model.empty()) {
            std::string text = adjusted(randomText(rng));
            // Insert at a line start, at the end or anywhere.
            std::int32_t at = static_cast<std::int32_t>(model.size());
            if (op == 0 && !model.empty()) {
                TTextStore::LineInfo info = store.LineFromLineIndex(
                    std::uniform_int_distribution<std::int32_t>(0, store.NumLines() - 1)(rng));
                at = info.start;
            } else if (op == 1) {
                at = std::uniform_int_distribution<std::int32_t>(0, at)(rng);
            }
            store.InsertStoredText(at, text.data(), static_cast<std::int64_t>(text.size()));
            model.insert(static_cast<std::size_t>(at), text);
        } else {
            // Delete whole records, as deleting lines does.
            TTextStore::LineInfo info = store.LineFromLineIndex(
                std::uniform_int_distribution<std::int32_t>(0, store.NumLines() - 1)(rng));
            std::int32_t count = info.line->Len() * std::uniform_int_distribution<int>(1, 3)(rng);
            store.DeleteText(info.start, count);
            model.erase(static_cast<std::size_t>(info.start), static_cast<std::size_t>(count));
        }
        ASSERT_NO_FATAL_FAILURE(checkRecords(store, model)) << "step " << step;
        ASSERT_NO_FATAL_FAILURE(checkLookups(store, rng)) << "step " << step;
    }
}

} // namespace
} // namespace qorvi
