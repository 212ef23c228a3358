#include "editor/regex/re_parser.h"

#include "editor/regex/re_compiler.h"
#include "editor/regex/re_either_or_both.h"
#include "editor/regex/re_matcher.h"
#include "editor/regex/re_program.h"
#include "editor/regex/re_text_reader.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qorvi {

namespace {

// A search may take this many steps, plus kStepsPerChar for each character
// of the text: a plain search never comes near, and a pattern that
// backtracks exponentially stops within a fraction of a second.
constexpr std::int64_t kBaseSteps = 1 << 24;
constexpr std::int64_t kStepsPerChar = 64;

constexpr int kMaxProgram = 0xFFFF;

// Node visits the first-character analysis may spend before it gives up
// (a run of optional pieces has exponentially many paths).
constexpr int kAnalysisVisits = 4096;

using re::nextNode;
using re::nodeOp;

// Collects the characters that can start a match at `pc` into `set`; false
// when a match might start with any character or with nothing.
// `lineStart` is set when a match may begin with a line start, which also
// holds at the very start of the text.
bool firstSet(const std::uint8_t* prog, int pc, bool* set, int& visits, bool& lineStart) {
    for (;;) {
        if (pc < 0 || --visits < 0)
            return false;
        const int op = nodeOp(prog, pc);
        switch (op) {
        case re::opBOL:
            lineStart = true;
            set[static_cast<unsigned char>('\r')] = true;
            return true;
        case re::opEOL:
            set[static_cast<unsigned char>('\r')] = true;
            return true;
        case re::opANY:
            for (int c = 0; c < 256; ++c)
                set[c] = set[c] || c != '\r';
            return true;
        case re::opANYOF:
        case re::opANYBUT:
            for (int c = 0; c < 256; ++c)
                set[c] = set[c] || ((prog[pc + re::kNodeSize + c] != 0) == (op == re::opANYOF));
            return true;
        case re::opEXACTLY:
            set[prog[pc + re::kNodeSize + 2]] = true;
            return true;
        case re::opPLUS:
            return firstSet(prog, re::operandOf(prog, pc), set, visits, lineStart);
        case re::opSTAR:
            if (!firstSet(prog, re::operandOf(prog, pc), set, visits, lineStart))
                return false;
            pc = nextNode(prog, pc);
            continue;
        case re::opBRANCH: {
            const int next = nextNode(prog, pc);
            if (next < 0 || nodeOp(prog, next) != re::opBRANCH) {
                pc = re::operandOf(prog, pc);
                continue;
            }
            for (int branch = pc; branch >= 0 && nodeOp(prog, branch) == re::opBRANCH;
                 branch = nextNode(prog, branch)) {
                if (!firstSet(prog, re::operandOf(prog, branch), set, visits, lineStart))
                    return false;
            }
            return true;
        }
        case re::opNOTHING:
        case re::opSETCOUNTER:
        case re::opSECTOPEN:
        case re::opSECTCLOSE:
            pc = nextNode(prog, pc);
            continue;
        default:
            if ((op > re::opSECTOPEN && op <= re::opSECTOPEN + re::kMaxGroups) ||
                (op > re::opSECTCLOSE && op <= re::opSECTCLOSE + re::kMaxGroups)) {
                pc = nextNode(prog, pc);
                continue;
            }
            // The end (an empty match), loops and anything else: no filter.
            return false;
        }
    }
}

} // namespace

TREParser::TREParser() : budgetBase_(kBaseSteps), budgetPerChar_(kStepsPerChar) {
    std::fill(std::begin(sections_), std::end(sections_), -1);
    std::fill(std::begin(firstChars_), std::end(firstChars_), false);
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
        return false;
    }
    pattern_ = pattern;
    ++compileCount_;
    analyse();
    return true;
}

// Finds what every match must start with: a literal prefix (searched with
// memchr), else the set of possible first characters.
void TREParser::analyse() {
    literalPrefix_.clear();
    useFirstChars_ = false;
    std::fill(std::begin(firstChars_), std::end(firstChars_), false);
    const std::uint8_t* prog = program_.data();

    int pc = 1;
    for (int guard = 0; pc >= 0 && guard < 4096; ++guard) {
        const int op = nodeOp(prog, pc);
        if (op == re::opBRANCH) {
            const int next = nextNode(prog, pc);
            if (next >= 0 && nodeOp(prog, next) == re::opBRANCH)
                break;
            pc = re::operandOf(prog, pc);
        } else if (op == re::opEXACTLY) {
            const int len = re::word(prog, pc + re::kNodeSize);
            literalPrefix_.append(reinterpret_cast<const char*>(prog + pc + re::kNodeSize + 2),
                                  static_cast<std::size_t>(len));
            pc = nextNode(prog, pc);
        } else if (op == re::opNOTHING || op == re::opSECTCLOSE || op == re::opSECTOPEN ||
                   (op > re::opSECTOPEN && op <= re::opSECTOPEN + re::kMaxGroups) ||
                   (op > re::opSECTCLOSE && op <= re::opSECTCLOSE + re::kMaxGroups)) {
            pc = nextNode(prog, pc);
        } else {
            break;
        }
    }
    int visits = kAnalysisVisits;
    lineStartPattern_ = false;
    useFirstChars_ = firstSet(prog, 1, firstChars_, visits, lineStartPattern_);

    // Runs of literal nodes on the main chain of a single-branch pattern
    // are in every match; remember the longest.
    mustLiteral_.clear();
    const int top = nextNode(prog, 1);
    if (nodeOp(prog, 1) != re::opBRANCH || (top >= 0 && nodeOp(prog, top) == re::opBRANCH))
        return;
    std::string run;
    for (int node = re::operandOf(prog, 1), guard = 0; node >= 0 && guard < 65536;
         node = nextNode(prog, node), ++guard) {
        if (nodeOp(prog, node) == re::opEXACTLY) {
            run.append(reinterpret_cast<const char*>(prog + node + re::kNodeSize + 2),
                       static_cast<std::size_t>(re::word(prog, node + re::kNodeSize)));
        } else {
            run.clear();
        }
        if (run.size() > mustLiteral_.size())
            mustLiteral_ = run;
        if (nodeOp(prog, node) == re::opEND)
            break;
    }
}

// True when the must-literal occurs at or after `from` (records are
// searched in place; an occurrence may cross into the next record). A match
// ends behind the occurrence found, so repeated searches scan the text once.
bool TREParser::mustLiteralAhead(re::TextReader& reader, std::int32_t from) const {
    if (mustLiteral_.empty())
        return true;
    if (from >= reader.count())
        return false;
    const unsigned char first = static_cast<unsigned char>(mustLiteral_[0]);
    reader.locate(from);
    std::int32_t off = from - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        const std::int32_t len = reader.lineLength();
        while (off < len) {
            const void* hit = std::memchr(text + off, first, static_cast<std::size_t>(len - off));
            if (!hit)
                break;
            const std::int32_t at = static_cast<std::int32_t>(static_cast<const char*>(hit) - text);
            const std::int32_t pos = reader.lineStart() + at;
            re::TextReader probe = reader;
            std::size_t k = 1;
            while (k < mustLiteral_.size() && probe.at(pos + static_cast<std::int32_t>(k)) ==
                                                  static_cast<unsigned char>(mustLiteral_[k]))
                ++k;
            if (k == mustLiteral_.size())
                return true;
            off = at + 1;
        }
        if (!reader.nextLine())
            return false;
        off = 0;
    }
}

std::int32_t TREParser::GetSection(int index) const {
    if (index < 0 || index >= re::kSectionCount)
        throw ERegExprError(reIndexRange, 0);
    return sections_[index];
}

// The first position at or after `from` where a match may start, or -1.
std::int32_t TREParser::nextCandidate(re::TextReader& reader, std::int32_t from) const {
    const std::int32_t count = reader.count();
    if (from == 0 && lineStartPattern_)
        return 0;
    if (!useFirstChars_)
        return from <= count ? from : -1;
    if (from >= count)
        return -1;
    reader.locate(from);
    std::int32_t off = from - reader.lineStart();
    const bool literal = !literalPrefix_.empty();
    const unsigned char first = literal ? static_cast<unsigned char>(literalPrefix_[0]) : 0;
    for (;;) {
        const char* text = reader.lineText();
        const std::int32_t len = reader.lineLength();
        if (literal) {
            while (off < len) {
                const void* hit = std::memchr(text + off, first, static_cast<std::size_t>(len - off));
                if (!hit)
                    break;
                const std::int32_t at = static_cast<std::int32_t>(static_cast<const char*>(hit) - text);
                const std::int32_t pos = reader.lineStart() + at;
                // The rest of the prefix, which may run into the next record.
                std::size_t k = 1;
                if (at + static_cast<std::int32_t>(literalPrefix_.size()) <= len) {
                    k = std::memcmp(text + at, literalPrefix_.data(), literalPrefix_.size()) == 0
                            ? literalPrefix_.size()
                            : 0;
                } else {
                    re::TextReader probe = reader;
                    while (k < literalPrefix_.size() && probe.at(pos + static_cast<std::int32_t>(k)) ==
                                                            static_cast<unsigned char>(literalPrefix_[k]))
                        ++k;
                }
                if (k == literalPrefix_.size())
                    return pos;
                off = at + 1;
            }
        } else {
            for (; off < len; ++off) {
                if (firstChars_[static_cast<unsigned char>(text[off])])
                    return reader.lineStart() + off;
            }
        }
        if (!reader.nextLine())
            return -1;
        off = 0;
    }
}

// The last position at or before `from` where a match may start, or -1.
std::int32_t TREParser::prevCandidate(re::TextReader& reader, std::int32_t from) const {
    const std::int32_t count = reader.count();
    if (from < 0)
        return -1;
    if (!useFirstChars_)
        return std::min(from, count);
    if (count == 0)
        return lineStartPattern_ ? 0 : -1;
    from = std::min(from, count - 1);
    reader.locate(from);
    std::int32_t off = from - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        for (; off >= 0; --off) {
            if (!firstChars_[static_cast<unsigned char>(text[off])])
                continue;
            const std::int32_t pos = reader.lineStart() + off;
            if (literalPrefix_.empty())
                return pos;
            re::TextReader probe = reader;
            std::size_t k = 1;
            while (k < literalPrefix_.size() && probe.at(pos + static_cast<std::int32_t>(k)) ==
                                                    static_cast<unsigned char>(literalPrefix_[k]))
                ++k;
            if (k == literalPrefix_.size())
                return pos;
        }
        if (!reader.prevLine())
            return lineStartPattern_ ? 0 : -1;
        off = reader.lineLength() - 1;
    }
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
    re::ProgramInfo info{program_.data(), slotCount_, counterCount_};
    re::Matcher matcher(info, reader, budgetBase_ + budgetPerChar_ * count);
    std::int32_t found = -1;
    try {
        if (forward) {
            const bool possible = !literalPrefix_.empty() || mustLiteralAhead(reader, start);
            for (std::int32_t p = start; possible && p <= count; ++p) {
                p = nextCandidate(reader, p);
                if (p < 0)
                    break;
                if (matcher.attempt(p)) {
                    found = p;
                    break;
                }
            }
        } else {
            for (std::int32_t p = start - 1; p >= 0; --p) {
                p = prevCandidate(reader, p);
                if (p < 0)
                    break;
                if (matcher.attempt(p)) {
                    found = p;
                    break;
                }
            }
        }
    } catch (const ERegExprError& e) {
        errorNumber_ = e.number();
        errorPosition_ = 0;
        throw;
    } catch (const std::bad_alloc&) {
        raise(reOutOfMemory);
    }
    if (found < 0) {
        errorNumber_ = reNotFound;
        return false;
    }
    sectionCount_ = matcher.sectionCount();
    for (int i = 0; i <= sectionCount_; ++i)
        sections_[i] = matcher.section(i);
    const std::int32_t end = matcher.end();
    stream.SetYYpos(end);
    // Only a match that is empty where it was found would be found again
    // from its end (one that consumed a line break starts further on).
    if (sections_[0] == end && found == end) {
        emptyStore_ = store;
        emptyAt_ = end;
        emptyChars_ = count;
        emptyStamp_ = store->EditStamp();
    }
    return true;
}

} // namespace qorvi
