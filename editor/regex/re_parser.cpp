#include "editor/regex/re_parser.h"

#include "editor/text/ed_stream.h"
#include "editor/regex/re_budget.h"
#include "editor/regex/re_compiler.h"
#include "editor/regex/re_dfa.h"
#include "editor/regex/re_either_or_both.h"
#include "editor/regex/re_matcher.h"
#include "editor/regex/re_nfa.h"
#include "editor/regex/re_pike_vm.h"
#include "editor/regex/re_prefilter.h"
#include "editor/regex/re_program.h"
#include "editor/regex/re_section_walk.h"
#include "editor/regex/re_text_reader.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qorvi {

namespace {

// A search may take this many steps, plus kStepsPerChar for each character
// of the text: about a second's work. The linear-time engines take a few
// steps per character and never come near, unless the automaton needs a new
// state at nearly every character. A step of the backtracking matcher costs
// more, and a pattern that backtracks exponentially uses up whatever it
// gets: it gets a quarter of the budget.
constexpr std::int64_t kBaseSteps = 1 << 24;
constexpr std::int64_t kStepsPerChar = 16;
constexpr std::int64_t kBacktrackingShare = 4;

constexpr int kMaxProgram = 0xFFFF;

// Backwards, the characters the automaton may read trying the places a
// literal allows, beyond four per character passed.
constexpr std::int64_t kTryAllowance = 1 << 16;
constexpr std::int32_t kUnsettled = -2;

// The first CR at or after `from`, or the end of the text.
std::int32_t nextLineBreak(re::TextReader& reader, std::int32_t from) {
    if (from >= reader.count())
        return reader.count();
    reader.locate(from);
    std::int32_t off = from - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        const void* hit = std::memchr(text + off, '\r', static_cast<std::size_t>(reader.lineLength() - off));
        if (hit)
            return reader.lineStart() + static_cast<std::int32_t>(static_cast<const char*>(hit) - text);
        if (!reader.nextLine())
            return reader.count();
        off = 0;
    }
}

} // namespace

// Where the match found starts: the position tried, which a line start
// before the first section makes one less than GetSection(0).
struct TREParser::Found {
    std::int32_t start = -1;
    std::int32_t end = -1;
};

TREParser::TREParser() : budgetBase_(kBaseSteps), budgetPerChar_(kStepsPerChar) {
    std::fill(std::begin(sections_), std::end(sections_), -1);
}

TREParser::~TREParser() = default;

void TREParser::raise(int number, int position) {
    errorNumber_ = number;
    errorPosition_ = position;
    throw ERegExprError(number, position);
}

void TREParser::SetStepBudget(std::int64_t base, std::int64_t perChar) {
    budgetBase_ = std::max<std::int64_t>(base, 1);
    budgetPerChar_ = std::max<std::int64_t>(perChar, 0);
}

bool TREParser::Compile(const std::string& pattern) {
    if (!pattern_.empty() && pattern == pattern_ && !program_.empty())
        return true;
    errorNumber_ = reNoErrors;
    errorPosition_ = 0;
    pattern_.clear();
    program_.clear();
    prefilter_.reset();
    nfa_.reset();
    forwardDfa_.reset();
    reverseDfa_.reset();
    pikeVm_.reset();
    try {
        if (pattern.empty())
            throw ERegExprError(reInvalidParameter, 1);
        const re::RewrittenPattern rewritten = re::rewriteEitherOrBoth(pattern);
        const int length = static_cast<int>(pattern.size());
        re::Compiler sizing(rewritten, length, nullptr);
        sizing.run();
        // Node links are 16-bit offsets.
        if (sizing.size() > kMaxProgram)
            throw ERegExprError(reTooComplex, 1);
        std::vector<std::uint8_t> program(static_cast<std::size_t>(sizing.size()) + 256, 0);
        re::Compiler emitting(rewritten, length, &program);
        emitting.run();
        prefilter_ = std::make_unique<re::Prefilter>(program.data());
        nfa_ = re::Nfa::build(program.data(), program.size());
        if (nfa_) {
            forwardDfa_ = std::make_unique<re::ForwardDfa>(*nfa_);
            reverseDfa_ = std::make_unique<re::ReverseDfa>(*nfa_);
            pikeVm_ = std::make_unique<re::PikeVm>(*nfa_);
        }
        program_ = std::move(program);
        groupCount_ = emitting.groups();
        slotCount_ = emitting.slots();
        counterCount_ = emitting.counters();
    } catch (const ERegExprError& e) {
        errorNumber_ = e.number();
        errorPosition_ = e.position();
        program_.clear();
        return false;
    } catch (const std::bad_alloc&) {
        errorNumber_ = reOutOfMemory;
        errorPosition_ = 0;
        program_.clear();
        nfa_.reset();
        return false;
    }
    pattern_ = pattern;
    ++compileCount_;
    return true;
}

std::int32_t TREParser::GetSection(int index) const {
    if (index < 0 || index >= re::kSectionCount)
        throw ERegExprError(reIndexRange, 0);
    return sections_[index];
}

// The match the backtracking matcher finds, found by the linear-time
// engines: the automaton finds where it ends and, running backwards, where
// it starts; a walk along the match then records its sections, or, where
// it cannot, the Pike VM.
bool TREParser::searchLinear(re::TextReader& reader, std::int32_t start, bool forward, re::Budget& budget,
                             Found& found, const void* text, std::uint64_t stamp) {
    const std::int32_t count = reader.count();
    std::int32_t first;
    std::int32_t end;
    if (forward) {
        if (!prefilter_->mustLiteralAhead(reader, start))
            return false;
        end = forwardDfa_->findEnd(reader, start, budget, prefilter_->skips() ? prefilter_.get() : nullptr);
        if (end < 0)
            return false;
        first = reverseDfa_->findStart(reader, end, start, budget, &trail_);
    } else {
        // Backwards from the text's end, a search first steps back one
        // character. A match that can hold a CR only as its first character
        // ends before the line break after `start`, so the automaton needs
        // to look no further.
        if (start <= 0)
            return false;
        first = lastStartByLiteral(reader, start - 1, budget);
        if (first == kUnsettled) {
            const std::int32_t scanFrom = nfa_->crAfterFirst() ? count : nextLineBreak(reader, start);
            first = reverseDfa_->findLastStart(reader, start - 1, {text, stamp, scanFrom}, budget);
        }
        if (first < 0)
            return false;
        end = forwardDfa_->findEnd(reader, first, budget, nullptr, true);
        if (end >= 0)
            reverseDfa_->findStart(reader, end, first, budget, &trail_);
    }
    // A match found forward always has a start the reverse automaton finds.
    if (first < 0 || end < 0)
        return false;
    found.start = first;
    if (re::walkSections(*nfa_, *reverseDfa_, trail_, reader, first, end, budget, walked_)) {
        found.end = end;
        sectionCount_ = static_cast<int>(walked_.size()) - 1;
        for (int i = 0; i <= sectionCount_; ++i)
            sections_[i] = walked_[static_cast<std::size_t>(i)];
        return true;
    }
    if (!pikeVm_->search(reader, budget, first, first))
        return false;
    found.end = pikeVm_->end();
    sectionCount_ = pikeVm_->sectionCount();
    for (int i = 0; i <= sectionCount_; ++i)
        sections_[i] = pikeVm_->section(i);
    return true;
}

// Backwards, where every match holds a literal at a fixed place: the last
// start at or before `last` among the places the literal allows, each
// tried by the automaton. When the tries take longer than the text they
// pass, the answer is left to the reverse automaton (kUnsettled).
std::int32_t TREParser::lastStartByLiteral(re::TextReader& reader, std::int32_t last, re::Budget& budget) {
    if (!prefilter_->hasLiteral())
        return kUnsettled;
    std::int64_t spent = 0;
    for (std::int32_t p = prefilter_->prev(reader, last); p >= 0; p = prefilter_->prev(reader, p - 1)) {
        const std::int64_t allowance = kTryAllowance + 4 * (std::int64_t{last} - p) - spent;
        std::int32_t reached = p;
        const std::int32_t end =
            forwardDfa_->findEnd(reader, p, budget, nullptr, true,
                                 static_cast<std::int32_t>(std::min<std::int64_t>(
                                     INT32_MAX, p + std::max<std::int64_t>(allowance, 0))),
                                 &reached);
        if (end == re::ForwardDfa::kGaveUp)
            return kUnsettled;
        if (end >= 0)
            return p;
        spent += reached - p + 1;
    }
    return -1;
}

// Tries every position where a match may start, nearest first.
bool TREParser::searchBacktracking(re::TextReader& reader, std::int32_t start, bool forward,
                                   re::Budget& budget, Found& found) {
    const std::int32_t count = reader.count();
    re::ProgramInfo info{program_.data(), slotCount_, counterCount_};
    re::Matcher matcher(info, reader, budget.left());
    // The matcher counts its own steps; the caller is asked now and then.
    std::uint32_t tries = 0;
    const auto attempt = [&](std::int32_t p) {
        if ((++tries & 1023) == 0)
            budget.poll();
        return matcher.attempt(p);
    };
    if (forward) {
        const bool possible = prefilter_->mustLiteralAhead(reader, start);
        for (std::int32_t p = start; possible && p <= count; ++p) {
            p = prefilter_->next(reader, p);
            if (p < 0)
                break;
            if (attempt(p)) {
                found.start = p;
                break;
            }
        }
    } else {
        for (std::int32_t p = start - 1; p >= 0; --p) {
            p = prefilter_->prev(reader, p);
            if (p < 0)
                break;
            if (attempt(p)) {
                found.start = p;
                break;
            }
        }
    }
    if (found.start < 0)
        return false;
    found.end = matcher.end();
    sectionCount_ = matcher.sectionCount();
    for (int i = 0; i <= sectionCount_; ++i)
        sections_[i] = matcher.section(i);
    return true;
}

bool TREParser::Search(TEdStream& stream, bool forward) {
    if (program_.empty() || program_[0] != re::kProgramMarker)
        raise(reInvalidParameter);
    sectionCount_ = 0;
    std::fill(std::begin(sections_), std::end(sections_), -1);
    TTextStore* store = stream.Store();
    if (!store) {
        errorNumber_ = reNotFound;
        return false;
    }
    const std::int32_t count = store->NumChars();
    std::int32_t start = std::clamp(stream.GetYYpos(), 0, count);

    // A forward search from where an empty match was just found - or from
    // right behind the text that replaced it - moves on one character, so
    // that find-next and replace loops always advance.
    if (forward && emptyStore_ == store) {
        const std::int32_t grown = count - emptyChars_;
        const bool same =
            store->EditStamp() == emptyStamp_ ? start == emptyAt_ : grown >= 0 && start == emptyAt_ + grown;
        if (same)
            ++start;
    }
    emptyStore_ = nullptr;

    re::TextReader reader(*store);
    // The scanner stands in the record where the search starts.
    if (start < count && !stream.yyeof() && stream.Line() && stream.GetYYpos() == start)
        reader.enterAt(stream.Line(), start - stream.OffsetInLine());
    const std::int64_t steps = budgetBase_ + budgetPerChar_ * count;
    re::Budget budget(nfa_ ? steps : std::max<std::int64_t>(1, steps / kBacktrackingShare), &interrupt_);
    Found found;
    bool matched = false;
    try {
        matched = nfa_ ? searchLinear(reader, start, forward, budget, found, store, store->EditStamp())
                       : searchBacktracking(reader, start, forward, budget, found);
    } catch (const ERegExprError& e) {
        errorNumber_ = e.number();
        errorPosition_ = 0;
        throw;
    } catch (const std::bad_alloc&) {
        raise(reOutOfMemory);
    }
    if (!matched) {
        errorNumber_ = reNotFound;
        return false;
    }
    const std::int32_t end = found.end;
    // The reader knows the record where the match ends; the scanner need
    // not ask the store's index for it.
    if (end < count) {
        reader.locate(end);
        stream.UseBuffer(reader.line(), end - reader.lineStart(), reader.lineStart());
    } else {
        stream.SetYYpos(end);
    }
    // Only a match that is empty where it was found would be found again
    // from its end (one that consumed a line break starts further on).
    if (sections_[0] == end && found.start == end) {
        emptyStore_ = store;
        emptyAt_ = end;
        emptyChars_ = count;
        emptyStamp_ = store->EditStamp();
    }
    return true;
}

} // namespace qorvi
