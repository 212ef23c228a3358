#pragma once

// TREParser: the editor's regular expressions. A pattern compiles in two
// passes (one that sizes the node program, one that writes it) and runs
// directly over a text store's records through the control's scanner, so
// find and replace copy no text.
//
// The dialect: "quoted literal strings", (groups) up to nine, . ^ $ with the
// stored CR as the line break, [classes], \d \s \w and their complements,
// escapes, * + ? {n} {n,} {,m} {n,m}, a|b and the either-or-both a||b. Every
// consuming node records where it began as the next section, a group or a
// repeat as one section; GetSection(0) is the start of a match and
// GetSection(SectionCount()) its end.
//
// The dialect's semantics are those of a backtracking matcher: the first
// position where a match starts wins, alternatives and repeats are tried in
// order, greedy first. A search gets exactly that answer - match and
// sections - in time linear in the text: a deterministic automaton built as
// it runs finds where the match ends and where it starts (re_dfa.h), and a
// walk along the match records its sections (re_section_walk.h; the Pike
// VM, re_pike_vm.h, where the walk cannot go). Backward searches run the
// automaton backwards, so they cost no more than forward ones. Only a
// pattern whose answer depends on the order backtracking takes - one that
// may record more than 255 sections - or whose counted repeats unroll into
// too large an automaton runs on the backtracking matcher (re_matcher.h).
//
// A search cannot hang or crash the editor: every search has a step budget,
// and one that runs past it ends with "Expression too complex".

#include "editor/regex/re_error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class TEdStream;
namespace re {
class TextReader;
class Budget;
class Nfa;
class ForwardDfa;
class ReverseDfa;
class Prefilter;
class PikeVm;
} // namespace re

class TREParser {
public:
    TREParser();
    ~TREParser();
    TREParser(const TREParser&) = delete;
    TREParser& operator=(const TREParser&) = delete;

    // Compiles `pattern`; false on an error, whose number and position are
    // then kept. The pattern compiled last is not compiled again.
    bool Compile(const std::string& pattern);
    // Matches at the scanner's position and then at each following (or,
    // backwards, each preceding) position. On success the scanner stands at
    // the end of the match and the sections describe it. Raises
    // ERegExprError "Invalid parameter" without a program, "Index range
    // error" for a match of more than 255 sections and "Expression too
    // complex" past the step budget.
    bool Search(TEdStream& stream, bool forward);

    // Section `index` of the last match (-1 when not recorded); an index of
    // 256 or more (or below 0) raises "Index range error".
    std::int32_t GetSection(int index) const;
    int SectionCount() const { return sectionCount_; }

    int ErrorNumber() const { return errorNumber_; }
    // One-based pattern position of the last compile error.
    int ErrorPosition() const { return errorPosition_; }
    std::string ErrorMessage() const { return reErrorMessage(errorNumber_); }

    // The pattern compiled last (empty after a failed compile).
    const std::string& Pattern() const { return pattern_; }
    const std::vector<std::uint8_t>& Program() const { return program_; }
    // How many times a pattern was actually compiled (a repeated pattern is
    // not compiled again).
    int CompileCount() const { return compileCount_; }

    // Steps a search may take: `base` plus `perChar` for every character of
    // the text searched (a quarter of that on the backtracking matcher). The
    // defaults keep any search over 10 MB to about a second.
    void SetStepBudget(std::int64_t base, std::int64_t perChar);

    // Asked now and then while a search runs; true stops it with
    // re::SearchInterrupted (the user cancelled a long search).
    void SetInterrupt(std::function<bool()> interrupted) { interrupt_ = std::move(interrupted); }

    // Whether the last compiled pattern runs in linear time (false: on the
    // backtracking matcher).
    bool Linear() const { return nfa_ != nullptr; }

private:
    struct Found;

    [[noreturn]] void raise(int number, int position = 0);
    bool searchLinear(re::TextReader& reader, std::int32_t start, bool forward, re::Budget& budget,
                      Found& found, const void* text, std::uint64_t stamp);
    std::int32_t lastStartByLiteral(re::TextReader& reader, std::int32_t last, re::Budget& budget);
    bool searchBacktracking(re::TextReader& reader, std::int32_t start, bool forward, re::Budget& budget,
                            Found& found);

    std::string pattern_;
    std::vector<std::uint8_t> program_;
    int groupCount_ = 0;
    int slotCount_ = 0;    // section slots of groups and repeats
    int counterCount_ = 0; // counters of counted repeats
    int compileCount_ = 0;

    std::unique_ptr<re::Prefilter> prefilter_;
    // The linear-time engines of the pattern; null when it needs backtracking.
    std::unique_ptr<re::Nfa> nfa_;
    std::unique_ptr<re::ForwardDfa> forwardDfa_;
    std::unique_ptr<re::ReverseDfa> reverseDfa_;
    std::unique_ptr<re::PikeVm> pikeVm_;
    std::vector<int> trail_;
    std::vector<std::int32_t> walked_;

    std::int32_t sections_[256];
    int sectionCount_ = 0;
    int errorNumber_ = 0;
    int errorPosition_ = 0;

    std::int64_t budgetBase_;
    std::int64_t budgetPerChar_;
    std::function<bool()> interrupt_;

    // An empty match found last, so that the next forward search from there
    // moves on one character.
    const void* emptyStore_ = nullptr;
    std::int32_t emptyAt_ = -1;
    std::int32_t emptyChars_ = 0;
    std::uint64_t emptyStamp_ = 0;
};

} // namespace qorvi
