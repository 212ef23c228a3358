// Random patterns of the dialect's common part with ECMAScript regular
// expressions, matched on random texts by both this parser and std::regex:
// both are leftmost, ordered-alternative, greedy backtracking matchers, so
// the first match must agree in start and end.

#include "editor/regex/re_parser.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <random>
#include <regex>
#include <string>

namespace qorvi {
namespace {

struct PatternPair {
    std::string ours;
    std::string ecma;
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    PatternPair alternation(int depth) {
        PatternPair p = sequence(depth);
        while (rng_() % 4 == 0) {
            PatternPair q = sequence(depth);
            p.ours += "|" + q.ours;
            p.ecma += "|" + q.ecma;
        }
        return p;
    }

    std::string text() {
        static const char alphabet[] = "abc\r";
        std::string s;
        const std::size_t n = rng_() % 16;
        for (std::size_t i = 0; i < n; ++i)
            s += alphabet[rng_() % 4];
        return s;
    }

private:
    PatternPair sequence(int depth) {
        PatternPair p = piece(depth);
        for (int n = static_cast<int>(rng_() % 3); n > 0; --n) {
            PatternPair q = piece(depth);
            p.ours += q.ours;
            p.ecma += q.ecma;
        }
        return p;
    }

    PatternPair piece(int depth) {
        bool single = false;
        PatternPair a = atom(depth, single);
        switch (rng_() % 8) {
        case 0:
            return {a.ours + "*", a.ecma + "*"};
        case 1:
            return {a.ours + "+", a.ecma + "+"};
        case 2:
            return {a.ours + "?", a.ecma + "?"};
        case 3:
            if (single) {
                const int low = static_cast<int>(rng_() % 3);
                const int high = low + static_cast<int>(rng_() % 3);
                const std::string braces = rng_() % 3 == 0
                                               ? "{" + std::to_string(low) + ",}"
                                               : "{" + std::to_string(low) + "," + std::to_string(high) + "}";
                return {a.ours + braces, a.ecma + braces};
            }
            return a;
        default:
            return a;
        }
    }

    PatternPair atom(int depth, bool& single) {
        single = true;
        switch (rng_() % (depth > 0 ? 7 : 5)) {
        case 0:
            return {".", "."};
        case 1:
            return {"[ab]", "[ab]"};
        case 2:
            return {"[^a]", "[^a]"};
        case 3: {
            single = false;
            std::string lit = std::string(1, "abc"[rng_() % 3]) + "abc"[rng_() % 3];
            return {"\"" + lit + "\"", "(?:" + lit + ")"};
        }
        case 5:
        case 6: {
            single = false;
            PatternPair inner = alternation(depth - 1);
            return {"(" + inner.ours + ")", "(" + inner.ecma + ")"};
        }
        default: {
            const std::string c(1, "abc"[rng_() % 3]);
            return {c, c};
        }
        }
    }

    std::mt19937 rng_;
};

TEST(RegexReference, FirstMatchAgreesWithECMAScript) {
    Generator gen(20240607);
    int compared = 0;
    for (int i = 0; i < 3000; ++i) {
        const PatternPair p = gen.alternation(2);
        const std::string text = gen.text();
        TREParser re;
        if (!re.Compile(p.ours))
            continue; // a repeat the dialect refuses (of something that may match nothing)
        const std::regex reference(p.ecma, std::regex::ECMAScript);
        std::smatch m;
        const bool expected = std::regex_search(text, m, reference);

        TTextStore store;
        if (!text.empty())
            store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        auto stream = store.GetTextStream(0);
        const bool found = re.Search(*stream, true);
        ASSERT_EQ(found, expected) << p.ours << " on \"" << text << "\"";
        if (found) {
            EXPECT_EQ(re.GetSection(0), m.position(0)) << p.ours << " on \"" << text << "\"";
            EXPECT_EQ(re.GetSection(re.SectionCount()), m.position(0) + m.length(0))
                << p.ours << " on \"" << text << "\"";
        }
        ++compared;
    }
    EXPECT_GT(compared, 2000);
}

} // namespace
} // namespace qorvi
