// The whole-word index of a keyword table finds, for any run of characters,
// the entry a plain search of the table's words would: the word equal to the
// run (folded when the table ignores case) whose entry admits the states and
// the character after the run. Words of up to eight characters and longer
// ones are found by different means, so both occur here.

#include "editor/lexicon/keywords.h"
#include "parser/scan_words.h"
#include "tests/parser/parser_builder.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace qorvi {
namespace {

using qorvi::testing::group;

struct Word {
    std::string text;
    int state;
    bool endsAtNonWord; // otherwise any character may follow
    std::intptr_t data;
};

char fold(char c, bool sensitive) {
    return !sensitive && c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
}

bool sameText(const std::string& a, const std::string& b, bool sensitive) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i], sensitive) != fold(b[i], sensitive))
            return false;
    return true;
}

TEST(ScanWords, FindsWhatASearchOfTheWordsFinds) {
    const TSM_CharGroup anyChar;
    const TSM_CharGroup nonWord = group("[^a-zA-Z0-9_]");
    std::mt19937 rng(3);
    const std::string letters = "abAB_1";
    for (bool sensitive : {true, false}) {
        SCOPED_TRACE(sensitive ? "case-sensitive" : "ignoring case");
        TKeywords table;
        std::vector<Word> words;
        while (words.size() < 200) {
            std::string text;
            const std::size_t length = 1 + rng() % 12;
            for (std::size_t i = 0; i < length; ++i)
                text += letters[rng() % letters.size()];
            bool known = false;
            for (const Word& w : words)
                known = known || sameText(w.text, text, sensitive);
            if (known)
                continue;
            const Word w{text, static_cast<int>(rng() % 2), rng() % 2 == 0,
                         static_cast<std::intptr_t>(words.size() + 1)};
            table.Add(w.text, sensitive, w.endsAtNonWord ? nonWord : anyChar, {w.state}, w.data);
            words.push_back(w);
        }
        TScanWords index;
        index.Build(table);

        std::string text;
        while (text.size() < 4000)
            text += rng() % 4 ? words[rng() % words.size()].text : std::string(1, " ab1"[rng() % 4]);
        const auto* at = reinterpret_cast<const unsigned char*>(text.data());
        const auto size = static_cast<std::int32_t>(text.size());
        for (int state : {0, 1})
            for (std::int32_t start = 0; start + 1 < size; start += 3)
                for (std::int32_t len = 1; len <= 13 && start + len < size; ++len) {
                    const std::string run =
                        text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(len));
                    const char next = text[static_cast<std::size_t>(start + len)];
                    std::intptr_t expected = 0;
                    for (const Word& w : words)
                        if (w.state == state && sameText(w.text, run, sensitive) &&
                            (!w.endsAtNonWord ||
                             !(std::isalnum(static_cast<unsigned char>(next)) || next == '_')))
                            expected = w.data;
                    const TEndData* found = index.Match(at + start, len, size - start, {state});
                    ASSERT_EQ(found ? found->Data : 0, expected) << "'" << run << "' before '" << next << "'";
                }
    }
}

} // namespace
} // namespace qorvi
