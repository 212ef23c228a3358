#include "editor/regex/re_compiler.h"

#include "editor/regex/re_error.h"
#include "editor/regex/re_program.h"
#include "platform/hex_digit.h"

#include <cstring>

namespace qorvi::re {

namespace {

constexpr int kHasWidth = 1; // never matches the empty string
constexpr int kSimple = 2;   // one character: a star or plus node can repeat it

constexpr int kMaxBound = 65535;
constexpr int kMaxSlots = 65535;

bool isRepeat(char c) {
    return c == '*' || c == '+' || c == '?' || c == '{';
}

bool isClassEscape(char c) {
    return c == 'd' || c == 's' || c == 'w' || c == 'D' || c == 'S' || c == 'W';
}

// The members of \d, \s or \w (upper case: their complement).
void classMembers(char c, bool* members) {
    bool set[256] = {};
    switch (c | 0x20) {
    case 'd':
        for (int ch = '0'; ch <= '9'; ++ch)
            set[ch] = true;
        break;
    case 's':
        for (int ch : {13, 32, 10, 12, 9, 8})
            set[ch] = true;
        break;
    default:
        for (int ch = 0; ch < 256; ++ch)
            set[ch] =
                (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') || ch == '_';
        break;
    }
    const bool complement = c >= 'A' && c <= 'Z';
    for (int ch = 0; ch < 256; ++ch)
        members[ch] = members[ch] || (set[ch] != complement);
}

} // namespace

Compiler::Compiler(const RewrittenPattern& pattern, int patternLength, std::vector<std::uint8_t>* program)
    : text_(pattern.text), origin_(pattern.origin), patternLength_(patternLength), program_(program),
      nextSlot_(kMaxGroups + 1) {
}

void Compiler::fail(int number, std::size_t at) const {
    const int position = at < origin_.size() ? origin_[at] + 1 : patternLength_ + 1;
    throw ERegExprError(number, position);
}

// ---------------------------------------------------------------- emission

void Compiler::put(std::uint8_t byte) {
    if (program_) {
        if (static_cast<std::size_t>(size_) >= program_->size())
            throw ERegExprError(reInternalError, 0);
        (*program_)[static_cast<std::size_t>(size_)] = byte;
    }
    ++size_;
}

void Compiler::putWord(int value) {
    put(static_cast<std::uint8_t>(value >> 8));
    put(static_cast<std::uint8_t>(value & 0xFF));
}

int Compiler::emitNode(std::uint8_t op) {
    const int at = size_;
    put(op);
    put(0);
    put(0);
    return at;
}

void Compiler::writeNodeAt(int at, std::uint8_t op) {
    if (!program_)
        return;
    (*program_)[static_cast<std::size_t>(at)] = op;
    (*program_)[static_cast<std::size_t>(at) + 1] = 0;
    (*program_)[static_cast<std::size_t>(at) + 2] = 0;
}

void Compiler::writeWordAt(int at, int value) {
    if (!program_)
        return;
    (*program_)[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(value >> 8);
    (*program_)[static_cast<std::size_t>(at) + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// Makes room for `count` bytes in front of the operand just emitted at `at`
// (its nodes link to each other relatively, so they move as a block).
void Compiler::insertGap(int at, int count) {
    if (program_) {
        if (static_cast<std::size_t>(size_ + count) > program_->size())
            throw ERegExprError(reInternalError, 0);
        std::uint8_t* base = program_->data();
        std::memmove(base + at + count, base + at, static_cast<std::size_t>(size_ - at));
    }
    size_ += count;
}

int Compiler::opAt(int node) const {
    return (*program_)[static_cast<std::size_t>(node)];
}

int Compiler::nextOf(int node) const {
    return nextNode(program_->data(), node);
}

void Compiler::setNext(int node, int target) {
    if (!program_)
        return;
    // The sizing pass rejected programs past 65535 bytes, so offsets fit.
    const int offset = opAt(node) == opBACK ? node - target : target - node;
    if (offset <= 0 || offset > 0xFFFF)
        throw ERegExprError(reInternalError, 0);
    writeWordAt(node + 1, offset);
}

// Links the last node of the chain starting at `chain` to `target`.
void Compiler::tail(int chain, int target) {
    if (!program_)
        return;
    int scan = chain;
    for (int next = nextOf(scan); next != -1; next = nextOf(scan))
        scan = next;
    setNext(scan, target);
}

// Links the end of a branch's alternative (or a loop's body) to `target`.
void Compiler::opTail(int node, int target) {
    if (!program_)
        return;
    if (opAt(node) == opBRANCH || opAt(node) == opLOOP)
        tail(bodyOf(program_->data(), node), target);
}

int Compiler::newSlot() {
    if (nextSlot_ >= kMaxSlots)
        throw ERegExprError(reTooComplex, 0);
    return nextSlot_++;
}

// ---------------------------------------------------------------- parsing

void Compiler::run() {
    pos_ = 0;
    size_ = 0;
    groups_ = 0;
    openGroups_ = 0;
    nextSlot_ = kMaxGroups + 1;
    nextCounter_ = 0;
    put(kProgramMarker);
    int flags = 0;
    parseAlternation(false, flags, 0);
}

int Compiler::parseAlternation(bool paren, int& flags, std::size_t openAt) {
    flags = kHasWidth;
    int ret = -1;
    int group = 0;
    if (paren) {
        if (groups_ >= kMaxGroups)
            fail(reTooManySubExpressions, openAt);
        group = ++groups_;
        ret = emitNode(static_cast<std::uint8_t>(opSECTOPEN + group));
    }
    int branchFlags = 0;
    int br = parseBranch(branchFlags);
    if (ret != -1)
        tail(ret, br);
    else
        ret = br;
    if (!(branchFlags & kHasWidth))
        flags &= ~kHasWidth;
    while (!atEnd() && peek() == '|') {
        ++pos_;
        br = parseBranch(branchFlags);
        tail(ret, br);
        if (!(branchFlags & kHasWidth))
            flags &= ~kHasWidth;
    }
    const int ender =
        emitNode(paren ? static_cast<std::uint8_t>(opSECTCLOSE + group) : static_cast<std::uint8_t>(opEND));
    tail(ret, ender);
    if (program_) {
        for (int node = ret; node != -1; node = nextOf(node))
            opTail(node, ender);
    }
    if (paren) {
        if (atEnd() || peek() != ')')
            fail(reUnmatchedParenthesis, pos_);
        ++pos_;
    } else if (!atEnd()) {
        fail(peek() == ')' ? reUnmatchedParenthesis : reInternalError, pos_);
    }
    return ret;
}

int Compiler::parseBranch(int& flags) {
    flags = 0;
    const int ret = emitNode(opBRANCH);
    int chain = -1;
    // A branch holds at least one piece: a bar, a parenthesis or the end
    // where an atom is expected is reported by the atom.
    do {
        int pieceFlags = 0;
        const int latest = parsePiece(pieceFlags);
        flags |= pieceFlags & kHasWidth;
        if (chain != -1)
            tail(chain, latest);
        chain = latest;
    } while (!atEnd() && peek() != '|' && peek() != ')');
    return ret;
}

void Compiler::parseBraces(int& low, int& high, std::size_t braceAt) {
    ++pos_;
    auto number = [&](bool& present) {
        long value = 0;
        present = false;
        while (!atEnd() && peek() >= '0' && peek() <= '9') {
            present = true;
            value = value * 10 + (peek() - '0');
            if (value > kMaxBound)
                value = kMaxBound + 1; // rejected below, never overflows
            ++pos_;
        }
        return static_cast<int>(value);
    };
    bool hasLow = false, hasHigh = false, comma = false;
    low = number(hasLow);
    high = low;
    if (!atEnd() && peek() == ',') {
        comma = true;
        ++pos_;
        high = number(hasHigh);
    }
    if (atEnd() || peek() != '}')
        fail(reInvalidRange, pos_);
    ++pos_;
    if (!hasLow && !hasHigh)
        fail(reInvalidRange, braceAt);
    if (!hasLow)
        low = 0;
    if (comma && !hasHigh)
        high = -1; // unbounded
    if (low > kMaxBound || high > kMaxBound || (high != -1 && high < low))
        fail(reInvalidRange, braceAt);
}

int Compiler::parsePiece(int& flags) {
    int atomFlags = 0;
    const int ret = parseAtom(atomFlags);
    if (atEnd() || !isRepeat(peek())) {
        flags = atomFlags;
        return ret;
    }
    const char op = peek();
    const std::size_t opAt = pos_;
    int low = 0, high = -1;
    if (op == '{')
        parseBraces(low, high, opAt);
    else
        ++pos_;
    // A loop over something that may match nothing would never end.
    const bool unbounded = op == '*' || op == '+' || (op == '{' && high == -1);
    if (unbounded && !(atomFlags & kHasWidth))
        fail(reInvalidRepeat, opAt);

    if (op == '+' || (op == '{' && low > 0))
        flags = atomFlags & kHasWidth;
    else
        flags = 0;

    if ((op == '*' || op == '+') && (atomFlags & kSimple)) {
        insertGap(ret, kNodeSize);
        writeNodeAt(ret, op == '*' ? opSTAR : opPLUS);
    } else if (op == '*') {
        // SO B1[x SC BACK->B1] B2[N] N SC
        const int slot = newSlot();
        insertGap(ret, 5 + kNodeSize);
        writeNodeAt(ret, opSECTOPEN);
        writeWordAt(ret + kNodeSize, slot);
        const int b1 = ret + 5;
        writeNodeAt(b1, opBRANCH);
        setNext(ret, b1);
        const int close1 = emitNode(opSECTCLOSE);
        putWord(slot);
        opTail(b1, close1);
        const int back = emitNode(opBACK);
        setNext(close1, back);
        setNext(back, b1);
        const int b2 = emitNode(opBRANCH);
        setNext(b1, b2);
        const int nothing = emitNode(opNOTHING);
        setNext(b2, nothing);
        const int close2 = emitNode(opSECTCLOSE);
        putWord(slot);
        setNext(nothing, close2);
    } else if (op == '+') {
        // SO x SC B1[BACK->x] B2[N] N
        const int slot = newSlot();
        insertGap(ret, 5);
        writeNodeAt(ret, opSECTOPEN);
        writeWordAt(ret + kNodeSize, slot);
        const int body = ret + 5;
        setNext(ret, body);
        const int close = emitNode(opSECTCLOSE);
        putWord(slot);
        tail(body, close);
        const int b1 = emitNode(opBRANCH);
        setNext(close, b1);
        const int back = emitNode(opBACK);
        setNext(back, body);
        const int b2 = emitNode(opBRANCH);
        setNext(b1, b2);
        const int nothing = emitNode(opNOTHING);
        setNext(b2, nothing);
    } else if (op == '?') {
        // SO B1[x] B2[N] N SC
        const int slot = newSlot();
        insertGap(ret, 5 + kNodeSize);
        writeNodeAt(ret, opSECTOPEN);
        writeWordAt(ret + kNodeSize, slot);
        const int b1 = ret + 5;
        writeNodeAt(b1, opBRANCH);
        setNext(ret, b1);
        const int b2 = emitNode(opBRANCH);
        setNext(b1, b2);
        const int nothing = emitNode(opNOTHING);
        setNext(b2, nothing);
        opTail(b1, nothing);
        const int close = emitNode(opSECTCLOSE);
        putWord(slot);
        setNext(nothing, close);
    } else if (high == 0) {
        // x{0}: the atom is parsed (and its groups counted) but never runs.
        const int slot = newSlot();
        size_ = ret;
        const int open = emitNode(opSECTOPEN);
        putWord(slot);
        const int close = emitNode(opSECTCLOSE);
        putWord(slot);
        setNext(open, close);
    } else {
        // SO SET(min) SET(optional) LOOP[x SC BACK->LOOP] SC
        const int slot = newSlot();
        if (nextCounter_ + 2 > kMaxSlots)
            throw ERegExprError(reTooComplex, 0);
        const int minCounter = nextCounter_++;
        const int optCounter = nextCounter_++;
        constexpr int kGap = 5 + 7 + 7 + 8;
        insertGap(ret, kGap);
        const int open = ret, setMin = ret + 5, setOpt = ret + 12, loop = ret + 19, body = ret + kGap;
        writeNodeAt(open, opSECTOPEN);
        writeWordAt(open + kNodeSize, slot);
        writeNodeAt(setMin, opSETCOUNTER);
        writeWordAt(setMin + kNodeSize, minCounter);
        writeWordAt(setMin + kNodeSize + 2, low);
        writeNodeAt(setOpt, opSETCOUNTER);
        writeWordAt(setOpt + kNodeSize, optCounter);
        writeWordAt(setOpt + kNodeSize + 2, high == -1 ? 0 : high - low);
        writeNodeAt(loop, opLOOP);
        writeWordAt(loop + kNodeSize, minCounter);
        writeWordAt(loop + kNodeSize + 2, optCounter);
        if (program_)
            (*program_)[static_cast<std::size_t>(loop + kNodeSize + 4)] = high == -1 ? kLoopUnbounded : 0;
        setNext(open, setMin);
        setNext(setMin, setOpt);
        setNext(setOpt, loop);
        const int close1 = emitNode(opSECTCLOSE);
        putWord(slot);
        tail(body, close1);
        const int back = emitNode(opBACK);
        setNext(close1, back);
        setNext(back, loop);
        const int close2 = emitNode(opSECTCLOSE);
        putWord(slot);
        setNext(loop, close2);
    }

    if (!atEnd() && (peek() == '*' || peek() == '+' || peek() == '?'))
        fail(reNestedRepeat, pos_);
    return ret;
}

unsigned char Compiler::parseEscape() {
    if (atEnd())
        fail(reUnexpectedEnd, pos_);
    const char c = text_[pos_++];
    switch (c | 0x20) {
    case 'b':
        return 8;
    case 'f':
        return 12;
    case 'n':
        return 13;
    case 'r':
        return 10;
    case 't':
        return 9;
    case 'x': {
        if (atEnd() || hexDigitValue(peek()) < 0)
            fail(reHexDigitExpected, pos_);
        int value = hexDigitValue(text_[pos_++]);
        if (!atEnd() && hexDigitValue(peek()) >= 0)
            value = value * 16 + hexDigitValue(text_[pos_++]);
        return static_cast<unsigned char>(value);
    }
    default:
        break;
    }
    if (c >= '0' && c <= '7') {
        // Up to three octal digits, as long as the code stays a character.
        int value = c - '0';
        for (int digits = 1; digits < 3 && !atEnd() && peek() >= '0' && peek() <= '7'; ++digits) {
            const int widened = value * 8 + (peek() - '0');
            if (widened > 255)
                break;
            value = widened;
            ++pos_;
        }
        return static_cast<unsigned char>(value);
    }
    return static_cast<unsigned char>(c);
}

int Compiler::emitExactly(const std::string& chars) {
    const int ret = emitNode(opEXACTLY);
    putWord(static_cast<int>(chars.size()));
    for (char c : chars)
        put(static_cast<std::uint8_t>(c));
    return ret;
}

int Compiler::emitTable(std::uint8_t op, const bool* members) {
    const int ret = emitNode(op);
    for (int c = 0; c < 256; ++c)
        put(members[c] ? 1 : 0);
    return ret;
}

int Compiler::parseClass() {
    ++pos_; // '['
    bool negate = false;
    if (!atEnd() && peek() == '^') {
        negate = true;
        ++pos_;
    }
    bool members[256] = {};
    int count = 0;
    for (;;) {
        if (atEnd())
            fail(reUnmatchedBracket, pos_);
        if (peek() == ']') {
            if (count == 0)
                fail(reUnmatchedBracket, pos_);
            ++pos_;
            break;
        }
        int low;
        if (peek() == '\\') {
            ++pos_;
            if (!atEnd() && isClassEscape(peek())) {
                classMembers(text_[pos_++], members);
                ++count;
                continue;
            }
            low = parseEscape();
        } else {
            low = static_cast<unsigned char>(text_[pos_++]);
        }
        int high = low;
        if (!atEnd() && peek() == '-') {
            ++pos_;
            if (atEnd() || peek() == ']')
                fail(reInvalidRange, pos_);
            const std::size_t highAt = pos_;
            if (peek() == '\\') {
                ++pos_;
                if (!atEnd() && isClassEscape(peek()))
                    fail(reInvalidRange, highAt);
                high = parseEscape();
            } else {
                high = static_cast<unsigned char>(text_[pos_++]);
            }
            if (high < low)
                fail(reInvalidRange, highAt);
        }
        for (int c = low; c <= high; ++c)
            members[c] = true;
        ++count;
    }
    return emitTable(negate ? opANYBUT : opANYOF, members);
}

int Compiler::parseAtom(int& flags) {
    // The pattern ending inside a group lacks its closing parenthesis.
    if (atEnd())
        fail(openGroups_ > 0 ? reUnmatchedParenthesis : reInternalError, pos_);
    const char c = peek();
    switch (c) {
    case '"': {
        ++pos_;
        std::string chars;
        while (!atEnd() && peek() != '"') {
            if (peek() == '\\') {
                ++pos_;
                chars += static_cast<char>(parseEscape());
            } else {
                chars += text_[pos_++];
            }
        }
        if (atEnd())
            fail(reQuoteExpected, pos_);
        ++pos_;
        if (chars.empty()) {
            flags = 0;
            return emitNode(opNOTHING);
        }
        flags = kHasWidth | (chars.size() == 1 ? kSimple : 0);
        return emitExactly(chars);
    }
    case '(': {
        const std::size_t openAt = pos_++;
        int groupFlags = 0;
        ++openGroups_;
        const int ret = parseAlternation(true, groupFlags, openAt);
        --openGroups_;
        flags = groupFlags & kHasWidth;
        return ret;
    }
    case '.':
        ++pos_;
        flags = kHasWidth | kSimple;
        return emitNode(opANY);
    case '^':
        ++pos_;
        flags = kHasWidth;
        return emitNode(opBOL);
    case '$':
        ++pos_;
        flags = 0;
        return emitNode(opEOL);
    case '[':
        flags = kHasWidth | kSimple;
        return parseClass();
    case '\\': {
        ++pos_;
        if (atEnd())
            fail(reUnexpectedEnd, pos_);
        flags = kHasWidth | kSimple;
        if (isClassEscape(peek())) {
            bool members[256] = {};
            classMembers(static_cast<char>(peek() | 0x20), members);
            const bool complement = peek() >= 'A' && peek() <= 'Z';
            ++pos_;
            return emitTable(complement ? opANYBUT : opANYOF, members);
        }
        return emitExactly(std::string(1, static_cast<char>(parseEscape())));
    }
    case '*':
    case '+':
    case '?':
        fail(reInvalidRepeat, pos_);
    case ')':
    case '|':
        fail(reInternalError, pos_);
    default:
        ++pos_;
        flags = kHasWidth | kSimple;
        return emitExactly(std::string(1, c));
    }
}

} // namespace qorvi::re
