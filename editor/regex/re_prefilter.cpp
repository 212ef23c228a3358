#include "editor/regex/re_prefilter.h"

#include "editor/regex/re_program.h"

#include <algorithm>
#include <cstring>

namespace qorvi::re {

namespace {

// Node visits the first-character analysis may spend before it gives up
// (a run of optional pieces has exponentially many paths).
constexpr int kAnalysisVisits = 4096;

bool zeroWidth(int op) {
    return op == opNOTHING || op == opSECTOPEN || op == opSECTCLOSE ||
           (op > opSECTOPEN && op <= opSECTOPEN + kMaxGroups) ||
           (op > opSECTCLOSE && op <= opSECTCLOSE + kMaxGroups);
}

// How rarely a byte turns up in source text and prose, roughly: letters by
// their frequency in English, then digits, punctuation and capitals; bytes
// outside printable ASCII are rarest.
int rarity(unsigned char c) {
    static const char kCommonFirst[] = " etaoinsrlhdcu\r\n\tmfpgwyb(),;=._v0k1\"*/-x2>:<{}&'[]3+5#4j96z87qAB"
                                       "CDEFGHIJKLMNOPQRSTUVWXYZ!%?@\\^`|~$";
    const char* at = static_cast<const char*>(std::memchr(kCommonFirst, c, sizeof kCommonFirst - 1));
    return at ? static_cast<int>(at - kCommonFirst) : 256;
}

// The set of one character a one-character node accepts.
void nodeChars(const std::uint8_t* prog, int node, std::vector<bool>& set) {
    set.assign(256, false);
    const int op = nodeOp(prog, node);
    for (int c = 0; c < 256; ++c) {
        if (op == opANY)
            set[static_cast<std::size_t>(c)] = c != '\r';
        else
            set[static_cast<std::size_t>(c)] = (prog[node + kNodeSize + c] != 0) == (op == opANYOF);
    }
}

// Collects the characters that can start a match at `pc` into `set`; false
// when a match might start with any character or with nothing.
// `lineStart` is set when a match may begin with a line start, which also
// holds at the very start of the text, `lineEnd` when it may begin with a
// line end, which also holds at the very end.
bool firstSet(const std::uint8_t* prog, int pc, bool* set, int& visits, bool& lineStart, bool& lineEnd) {
    for (;;) {
        if (pc < 0 || --visits < 0)
            return false;
        const int op = nodeOp(prog, pc);
        switch (op) {
        case opBOL:
            lineStart = true;
            set[static_cast<unsigned char>('\r')] = true;
            return true;
        case opEOL:
            lineEnd = true;
            set[static_cast<unsigned char>('\r')] = true;
            return true;
        case opANY:
            for (int c = 0; c < 256; ++c)
                set[c] = set[c] || c != '\r';
            return true;
        case opANYOF:
        case opANYBUT:
            for (int c = 0; c < 256; ++c)
                set[c] = set[c] || ((prog[pc + kNodeSize + c] != 0) == (op == opANYOF));
            return true;
        case opEXACTLY:
            set[prog[pc + kNodeSize + 2]] = true;
            return true;
        case opPLUS:
            return firstSet(prog, operandOf(prog, pc), set, visits, lineStart, lineEnd);
        case opSTAR:
            if (!firstSet(prog, operandOf(prog, pc), set, visits, lineStart, lineEnd))
                return false;
            pc = nextNode(prog, pc);
            continue;
        case opBRANCH: {
            const int next = nextNode(prog, pc);
            if (next < 0 || nodeOp(prog, next) != opBRANCH) {
                pc = operandOf(prog, pc);
                continue;
            }
            for (int branch = pc; branch >= 0 && nodeOp(prog, branch) == opBRANCH;
                 branch = nextNode(prog, branch)) {
                if (!firstSet(prog, operandOf(prog, branch), set, visits, lineStart, lineEnd))
                    return false;
            }
            return true;
        }
        case opSETCOUNTER:
            pc = nextNode(prog, pc);
            continue;
        default:
            if (zeroWidth(op)) {
                pc = nextNode(prog, pc);
                continue;
            }
            // The end (an empty match), loops and anything else: no filter.
            return false;
        }
    }
}

// The first position at or after `from` that holds `byte` and passes
// `fits`, or -1: memchr through the records.
template <typename Fits>
std::int32_t findByte(TextReader& reader, std::int32_t from, unsigned char byte, Fits fits) {
    if (from >= reader.count())
        return -1;
    reader.locate(from);
    std::int32_t off = from - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        const std::int32_t len = reader.lineLength();
        while (off < len) {
            const void* hit = std::memchr(text + off, byte, static_cast<std::size_t>(len - off));
            if (!hit)
                break;
            const std::int32_t at = static_cast<std::int32_t>(static_cast<const char*>(hit) - text);
            if (fits(reader.lineStart() + at))
                return reader.lineStart() + at;
            off = at + 1;
        }
        if (!reader.nextLine())
            return -1;
        off = 0;
    }
}

} // namespace

Prefilter::Prefilter(const std::uint8_t* prog) {
    std::fill(std::begin(firstChars_), std::end(firstChars_), false);

    // Along the pattern's one way from its start, as long as every node
    // takes a fixed number of characters: the longest run of literal
    // characters, and what each position before it may hold.
    std::vector<std::vector<bool>> head;
    std::string run;
    std::int32_t runAt = 0;
    std::int32_t offset = 0;
    auto endRun = [&] {
        if (run.size() > literal_.size()) {
            literal_ = run;
            literalAt_ = runAt;
        }
        run.clear();
    };
    for (int pc = 1, guard = 0; pc >= 0 && guard < 65536; ++guard) {
        const int op = nodeOp(prog, pc);
        if (op == opBRANCH) {
            const int next = nextNode(prog, pc);
            if (next >= 0 && nodeOp(prog, next) == opBRANCH)
                break;
            pc = operandOf(prog, pc);
        } else if (op == opEXACTLY) {
            const int len = word(prog, pc + kNodeSize);
            if (run.empty())
                runAt = offset;
            for (int i = 0; i < len; ++i) {
                const unsigned char c = prog[pc + kNodeSize + 2 + i];
                run += static_cast<char>(c);
                head.emplace_back(256, false);
                head.back()[c] = true;
            }
            offset += len;
            pc = nextNode(prog, pc);
        } else if (op == opANY || op == opANYOF || op == opANYBUT) {
            endRun();
            head.emplace_back();
            nodeChars(prog, pc, head.back());
            ++offset;
            pc = nextNode(prog, pc);
        } else if (zeroWidth(op)) {
            pc = nextNode(prog, pc);
        } else {
            break;
        }
    }
    endRun();
    head.resize(static_cast<std::size_t>(literalAt_));
    head_ = std::move(head);
    for (std::size_t i = 1; i < literal_.size(); ++i)
        if (rarity(static_cast<unsigned char>(literal_[i])) >
            rarity(static_cast<unsigned char>(literal_[rareIndex_])))
            rareIndex_ = i;

    int visits = kAnalysisVisits;
    useFirstChars_ = firstSet(prog, 1, firstChars_, visits, lineStartPattern_, lineEndPattern_);

    // Runs of literal nodes on the main chain of a single-branch pattern
    // are in every match; remember the longest.
    const int top = nextNode(prog, 1);
    if (nodeOp(prog, 1) != opBRANCH || (top >= 0 && nodeOp(prog, top) == opBRANCH))
        return;
    std::string chain;
    for (int node = operandOf(prog, 1), guard = 0; node >= 0 && guard < 65536;
         node = nextNode(prog, node), ++guard) {
        if (nodeOp(prog, node) == opEXACTLY)
            chain.append(reinterpret_cast<const char*>(prog + node + kNodeSize + 2),
                         static_cast<std::size_t>(word(prog, node + kNodeSize)));
        else
            chain.clear();
        if (chain.size() > mustLiteral_.size())
            mustLiteral_ = chain;
        if (nodeOp(prog, node) == opEND)
            break;
    }
}

// True when the characters at `pos` fit the head and the literal.
bool Prefilter::headFits(TextReader& reader, std::int32_t pos) const {
    TextReader probe = reader;
    for (std::size_t k = 0; k < head_.size(); ++k) {
        const int c = probe.at(pos + static_cast<std::int32_t>(k));
        if (c < 0 || !head_[k][static_cast<std::size_t>(c)])
            return false;
    }
    const std::int32_t at = pos + literalAt_;
    for (std::size_t k = 0; k < literal_.size(); ++k)
        if (probe.at(at + static_cast<std::int32_t>(k)) != static_cast<unsigned char>(literal_[k]))
            return false;
    return true;
}

std::int32_t Prefilter::nextByLiteral(TextReader& reader, std::int32_t from) const {
    const std::int32_t shift = literalAt_ + static_cast<std::int32_t>(rareIndex_);
    const std::int32_t at = findByte(reader, from + shift, static_cast<unsigned char>(literal_[rareIndex_]),
                                     [&](std::int32_t pos) { return headFits(reader, pos - shift); });
    return at < 0 ? -1 : at - shift;
}

std::int32_t Prefilter::nextByFirstChars(TextReader& reader, std::int32_t from) const {
    // The end of the text is a line end too.
    const std::int32_t none = lineEndPattern_ ? reader.count() : -1;
    if (from >= reader.count())
        return from == reader.count() ? none : -1;
    reader.locate(from);
    std::int32_t off = from - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        const std::int32_t len = reader.lineLength();
        for (; off < len; ++off)
            if (firstChars_[static_cast<unsigned char>(text[off])])
                return reader.lineStart() + off;
        if (!reader.nextLine())
            return none;
        off = 0;
    }
}

std::int32_t Prefilter::next(TextReader& reader, std::int32_t from) const {
    if (from == 0 && lineStartPattern_)
        return 0;
    if (!literal_.empty())
        return nextByLiteral(reader, from);
    if (!useFirstChars_)
        return from <= reader.count() ? from : -1;
    return nextByFirstChars(reader, from);
}

std::int32_t Prefilter::prevByLiteral(TextReader& reader, std::int32_t from) const {
    const std::int32_t shift = literalAt_ + static_cast<std::int32_t>(rareIndex_);
    const std::int32_t scanFrom = std::min(from + shift, reader.count() - 1);
    if (scanFrom < shift)
        return -1;
    const unsigned char rare = static_cast<unsigned char>(literal_[rareIndex_]);
    reader.locate(scanFrom);
    std::int32_t off = scanFrom - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        while (off >= 0) {
            const void* hit = ::memrchr(text, rare, static_cast<std::size_t>(off) + 1);
            if (!hit)
                break;
            const std::int32_t at = static_cast<std::int32_t>(static_cast<const char*>(hit) - text);
            const std::int32_t pos = reader.lineStart() + at - shift;
            if (pos < 0)
                return -1;
            if (headFits(reader, pos))
                return pos;
            off = at - 1;
        }
        if (!reader.prevLine())
            return -1;
        off = reader.lineLength() - 1;
    }
}

std::int32_t Prefilter::prev(TextReader& reader, std::int32_t from) const {
    const std::int32_t count = reader.count();
    if (from < 0)
        return -1;
    if (!literal_.empty())
        return prevByLiteral(reader, from);
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
            if (literal_.empty() || headFits(reader, pos))
                return pos;
        }
        if (!reader.prevLine())
            return lineStartPattern_ ? 0 : -1;
        off = reader.lineLength() - 1;
    }
}

// A match ends behind the occurrence found, so repeated searches scan the
// text once.
bool Prefilter::mustLiteralAhead(TextReader& reader, std::int32_t from) const {
    // next() looks for the literal at a fixed place anyway.
    if (mustLiteral_.empty() || mustLiteral_ == literal_)
        return true;
    const auto rest = [&](std::int32_t pos) {
        TextReader probe = reader;
        for (std::size_t k = 1; k < mustLiteral_.size(); ++k)
            if (probe.at(pos + static_cast<std::int32_t>(k)) != static_cast<unsigned char>(mustLiteral_[k]))
                return false;
        return true;
    };
    return findByte(reader, from, static_cast<unsigned char>(mustLiteral_[0]), rest) >= 0;
}

} // namespace qorvi::re
