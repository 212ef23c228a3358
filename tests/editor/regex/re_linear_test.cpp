// The linear-time engines against the backtracking matcher: random patterns
// of the whole dialect on random texts, searched forward and backward from
// every position. The backtracking matcher, run at each start in turn, is
// the reference; the search must report the same match and the same
// sections (or the same error) whenever the reference comes to an answer.

#include "editor/text/ed_stream.h"
#include "editor/regex/re_budget.h"
#include "editor/regex/re_compiler.h"
#include "editor/regex/re_either_or_both.h"
#include "editor/regex/re_matcher.h"
#include "editor/regex/re_nfa.h"
#include "editor/regex/re_parser.h"
#include "editor/regex/re_pike_vm.h"
#include "editor/regex/re_text_reader.h"
#include "editor/text/text_store.h"

#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace qorvi {
namespace {

struct Outcome {
    bool found = false;
    int error = 0; // a regular-expression error number, 0 for none
    std::int32_t end = -1;
    std::vector<std::int32_t> sections;

    bool operator==(const Outcome&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    if (o.error)
        return os << "error " << o.error;
    if (!o.found)
        return os << "not found";
    os << "end " << o.end << " sections";
    for (std::int32_t s : o.sections)
        os << " " << s;
    return os;
}

// The node program of `pattern`, compiled as TREParser compiles it.
struct Program {
    std::vector<std::uint8_t> bytes;
    int slots = 0;
    int counters = 0;

    explicit Program(const std::string& pattern) {
        const re::RewrittenPattern rewritten = re::rewriteEitherOrBoth(pattern);
        re::Compiler sizing(rewritten, static_cast<int>(pattern.size()), nullptr);
        sizing.run();
        bytes.assign(static_cast<std::size_t>(sizing.size()) + 256, 0);
        re::Compiler emitting(rewritten, static_cast<int>(pattern.size()), &bytes);
        emitting.run();
        slots = emitting.slots();
        counters = emitting.counters();
    }
};

template <typename Engine> Outcome outcomeOf(Engine&& engine) {
    Outcome o;
    try {
        o.found = engine(o);
    } catch (const ERegExprError& e) {
        o.error = e.number();
    }
    return o;
}

// What the backtracking matcher finds trying every start in turn.
Outcome reference(const Program& program, const TTextStore& store, std::int32_t start, bool forward) {
    return outcomeOf([&](Outcome& o) {
        re::TextReader reader(store);
        re::Matcher matcher({program.bytes.data(), program.slots, program.counters}, reader, 1 << 19);
        const std::int32_t count = store.NumChars();
        for (std::int32_t p = forward ? start : start - 1; forward ? p <= count : p >= 0;
             p += forward ? 1 : -1) {
            if (!matcher.attempt(p))
                continue;
            o.end = matcher.end();
            for (int i = 0; i <= matcher.sectionCount(); ++i)
                o.sections.push_back(matcher.section(i));
            return true;
        }
        return false;
    });
}

Outcome searched(TREParser& re, TTextStore& store, std::int32_t start, bool forward) {
    return outcomeOf([&](Outcome& o) {
        auto stream = store.GetTextStream(start);
        if (!re.Search(*stream, forward))
            return false;
        o.end = re.GetSection(re.SectionCount());
        for (int i = 0; i <= re.SectionCount(); ++i)
            o.sections.push_back(re.GetSection(i));
        EXPECT_EQ(stream->GetYYpos(), o.end);
        return true;
    });
}

// The Pike VM on its own, trying every start from `start` on.
Outcome pikeVm(const re::Nfa& nfa, const TTextStore& store, std::int32_t start) {
    return outcomeOf([&](Outcome& o) {
        re::TextReader reader(store);
        re::Budget budget(1 << 24);
        re::PikeVm vm(nfa);
        if (!vm.search(reader, budget, start, store.NumChars()))
            return false;
        o.end = vm.end();
        for (int i = 0; i <= vm.sectionCount(); ++i)
            o.sections.push_back(vm.section(i));
        return true;
    });
}

class PatternGenerator {
public:
    explicit PatternGenerator(unsigned seed) : rng_(seed) {}

    std::string pattern() {
        std::string p = alternation(2);
        if (pick(8) == 0)
            p += "||" + sequence(1);
        return p;
    }

    std::string text(std::size_t maxLength) {
        static const char alphabet[] = "aabbc\r1 ";
        std::string s;
        const std::size_t n = pick(static_cast<unsigned>(maxLength + 1));
        for (std::size_t i = 0; i < n; ++i)
            s += alphabet[pick(sizeof alphabet - 1)];
        return s;
    }

private:
    unsigned pick(unsigned n) { return static_cast<unsigned>(rng_() % n); }

    std::string alternation(int depth) {
        std::string p = sequence(depth);
        while (pick(4) == 0)
            p += "|" + sequence(depth);
        return p;
    }

    std::string sequence(int depth) {
        std::string p = piece(depth);
        for (unsigned n = pick(3); n > 0; --n)
            p += piece(depth);
        return p;
    }

    std::string piece(int depth) {
        const std::string a = atom(depth);
        switch (pick(12)) {
        case 0:
            return a + "*";
        case 1:
            return a + "+";
        case 2:
            return a + "?";
        case 3: {
            const unsigned low = pick(3);
            return a + "{" + std::to_string(low) + "}";
        }
        case 4: {
            const unsigned low = pick(3);
            return a + "{" + std::to_string(low) + "," + std::to_string(low + pick(3)) + "}";
        }
        case 5:
            return a + "{" + std::to_string(pick(3)) + ",}";
        case 6:
            return a + "{," + std::to_string(1 + pick(3)) + "}";
        default:
            return a;
        }
    }

    std::string atom(int depth) {
        static const char* const simple[] = {"a",     "b",   "c",      ".",    "[ab]",   "[^a]",
                                             "[a-c]", "\\w", "\\d",    "\\s",  "\\W",    "\\n",
                                             "^",     "$",   "\"ab\"", "\"\"", "[^\\n]", "1"};
        if (depth > 0 && pick(4) == 0)
            return "(" + alternation(depth - 1) + ")";
        return simple[pick(sizeof simple / sizeof simple[0])];
    }

    std::mt19937 rng_;
};

TEST(RegexLinear, SameMatchAndSectionsAsBacktracking) {
    PatternGenerator gen(20261207);
    TTextStore empty;
    int compared = 0;
    int linear = 0;
    for (int i = 0; i < 2500; ++i) {
        const std::string pattern = gen.pattern();
        TREParser re;
        if (!re.Compile(pattern))
            continue;
        const Program program(pattern);
        const std::unique_ptr<re::Nfa> nfa = re::Nfa::build(program.bytes.data(), program.bytes.size());
        EXPECT_EQ(nfa != nullptr, re.Linear()) << pattern;
        linear += re.Linear();
        const std::string text = gen.text(i % 50 == 0 ? 300 : 14);
        TTextStore store;
        if (!text.empty())
            store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        for (std::int32_t start = 0; start <= store.NumChars(); ++start) {
            for (bool forward : {true, false}) {
                const Outcome expected = reference(program, store, start, forward);
                if (expected.error == reTooComplex)
                    continue; // backtracking gives up; the linear engines need not
                // A search from where an empty match was found moves on; a
                // search of another text forgets where that was.
                auto other = empty.GetTextStream(0);
                re.Search(*other, true);
                const Outcome got = searched(re, store, start, forward);
                ASSERT_EQ(got, expected) << pattern << (forward ? " forward" : " backward") << " from "
                                         << start << " in \"" << text << "\"";
                if (nfa && forward) {
                    ASSERT_EQ(pikeVm(*nfa, store, start), expected)
                        << pattern << " Pike VM from " << start << " in \"" << text << "\"";
                }
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 20000);
    EXPECT_GT(linear, 1500);
}

// Records hold at most 2047 characters: matches run across record ends,
// within one line and across line breaks. One parser searches the text from
// many places in turn, so that a backward search also goes on from where an
// earlier one passed.
TEST(RegexLinear, SameAnswerAcrossRecords) {
    PatternGenerator gen(7);
    for (int i = 0; i < 60; ++i) {
        const std::string pattern = gen.pattern();
        TREParser re;
        if (!re.Compile(pattern))
            continue;
        const Program program(pattern);
        std::string text =
            std::string(2040, 'a') + gen.text(40) + std::string(2100, 'b') + "\r" + gen.text(20);
        text += std::string(5000, 'c') + gen.text(30) + "\r" + std::string(3000, ' ') + gen.text(30);
        TTextStore store;
        store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
        const std::int32_t count = store.NumChars();
        for (std::int32_t start :
             {count, 12000, 9000, 8193, 8192, 4097, 4000, 2047, 2030, 0, 2046, 9100, count}) {
            for (bool forward : {false, true}) {
                const Outcome expected = reference(program, store, start, forward);
                if (expected.error == reTooComplex)
                    continue;
                EXPECT_EQ(searched(re, store, start, forward), expected)
                    << pattern << (forward ? " forward" : " backward") << " from " << start;
            }
        }
    }
}

} // namespace
} // namespace qorvi
