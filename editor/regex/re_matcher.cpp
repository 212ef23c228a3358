#include "editor/regex/re_matcher.h"

#include "editor/regex/re_error.h"
#include "editor/regex/re_program.h"

namespace qorvi::re {

Matcher::Matcher(const ProgramInfo& info, TextReader& reader, std::int64_t stepBudget)
    : prog_(info.program), reader_(reader), slotBase_(kSectionCount),
      counterBase_(kSectionCount + info.slots), budget_(stepBudget) {
    regs_.assign(static_cast<std::size_t>(counterBase_ + info.counters), -1);
}

void Matcher::tooComplex() const {
    throw ERegExprError(reTooComplex, 0);
}

void Matcher::record(std::int32_t pos) {
    if (sections_ >= kSectionCount)
        throw ERegExprError(reIndexRange, 0);
    setReg(sections_, pos);
    ++sections_;
    if (sections_ > touched_)
        touched_ = sections_;
}

void Matcher::pushChoice(ChoiceKind kind, int node, std::int32_t pos, std::int32_t count) {
    if (choices_.size() >= kMaxChoices)
        tooComplex();
    choices_.push_back({kind, node, pos, count, sections_, static_cast<std::uint32_t>(trail_.size())});
}

void Matcher::undoTo(std::uint32_t mark) {
    while (trail_.size() > mark) {
        regs_[static_cast<std::size_t>(trail_.back().first)] = trail_.back().second;
        trail_.pop_back();
    }
}

std::int32_t Matcher::repeatCount(int atom, std::int32_t pos) {
    const std::int32_t limit = reader_.count();
    std::int32_t p = pos;
    switch (nodeOp(prog_, atom)) {
    case opANY:
        while (p < limit && reader_.at(p) != '\r')
            ++p;
        break;
    case opANYOF: {
        const std::uint8_t* table = prog_ + atom + kNodeSize;
        while (p < limit && table[reader_.at(p)])
            ++p;
        break;
    }
    case opANYBUT: {
        const std::uint8_t* table = prog_ + atom + kNodeSize;
        while (p < limit && !table[reader_.at(p)])
            ++p;
        break;
    }
    case opEXACTLY: {
        const int c = prog_[atom + kNodeSize + 2];
        while (p < limit && reader_.at(p) == c)
            ++p;
        break;
    }
    default:
        throw ERegExprError(reInternalError, 0);
    }
    steps_ += p - pos;
    if (steps_ > budget_)
        tooComplex();
    return p - pos;
}

std::int32_t Matcher::fitCount(int star, std::int32_t start, std::int32_t from, int min) {
    const int follower = nextNode(prog_, star);
    if (follower < 0 || nodeOp(prog_, follower) != opEXACTLY)
        return from >= min ? from : -1;
    // Only where the literal that follows can start.
    const int c = prog_[follower + kNodeSize + 2];
    for (std::int32_t n = from; n >= min; --n) {
        if (++steps_ > budget_)
            tooComplex();
        if (reader_.at(start + n) == c)
            return n;
    }
    return -1;
}

bool Matcher::backtrack(int& pc, std::int32_t& pos) {
    while (!choices_.empty()) {
        Choice& choice = choices_.back();
        undoTo(choice.trail);
        sections_ = choice.sections;
        switch (choice.kind) {
        case ckBranch: {
            const int branch = choice.node;
            pos = choice.pos;
            const int next = nextNode(prog_, branch);
            if (next >= 0 && nodeOp(prog_, next) == opBRANCH)
                choice.node = next;
            else
                choices_.pop_back();
            pc = operandOf(prog_, branch);
            return true;
        }
        case ckStar: {
            const int min = nodeOp(prog_, choice.node) == opSTAR ? 0 : 1;
            const std::int32_t n = fitCount(choice.node, choice.pos, choice.count - 1, min);
            if (n < 0) {
                choices_.pop_back();
                continue;
            }
            choice.count = n;
            pos = choice.pos + n;
            pc = nextNode(prog_, choice.node);
            return true;
        }
        case ckExit:
            pos = choice.pos;
            pc = choice.node;
            choices_.pop_back();
            return true;
        }
    }
    return false;
}

bool Matcher::attempt(std::int32_t start) {
    choices_.clear();
    trail_.clear();
    for (int i = 0; i < touched_; ++i)
        regs_[static_cast<std::size_t>(i)] = -1;
    sections_ = 0;
    touched_ = 0;
    end_ = -1;

    int pc = 1;
    std::int32_t pos = start;
    for (;;) {
        if (++steps_ > budget_)
            tooComplex();
        if (pc < 0)
            throw ERegExprError(reInternalError, 0);
        const int op = nodeOp(prog_, pc);
        bool ok = true;
        switch (op) {
        case opEND:
            if (sections_ >= kSectionCount)
                throw ERegExprError(reIndexRange, 0);
            regs_[static_cast<std::size_t>(sections_)] = pos;
            if (sections_ + 1 > touched_)
                touched_ = sections_ + 1;
            end_ = pos;
            return true;
        case opBOL:
            // The start of the text is a line start too; elsewhere a line
            // start is a stored CR, which is consumed but not recorded.
            if (pos == 0 && reader_.at(0) != '\r') {
                ok = true;
            } else {
                ok = reader_.at(pos) == '\r';
                if (ok)
                    ++pos;
            }
            break;
        case opEOL:
            // The end of the text ends the last line.
            ok = reader_.at(pos) == '\r' || pos == reader_.count();
            break;
        case opANY: {
            const int c = reader_.at(pos);
            ok = c >= 0 && c != '\r';
            if (ok) {
                record(pos);
                ++pos;
            }
            break;
        }
        case opANYOF:
        case opANYBUT: {
            const int c = reader_.at(pos);
            ok = c >= 0 && (prog_[pc + kNodeSize + c] != 0) == (op == opANYOF);
            if (ok) {
                record(pos);
                ++pos;
            }
            break;
        }
        case opEXACTLY: {
            const int len = word(prog_, pc + kNodeSize);
            const std::uint8_t* chars = prog_ + pc + kNodeSize + 2;
            for (int i = 0; i < len && ok; ++i)
                ok = reader_.at(pos + i) == chars[i];
            if (ok) {
                record(pos);
                pos += len;
            }
            break;
        }
        case opBRANCH: {
            const int next = nextNode(prog_, pc);
            if (next >= 0 && nodeOp(prog_, next) == opBRANCH)
                pushChoice(ckBranch, next, pos, 0);
            pc = operandOf(prog_, pc);
            continue;
        }
        case opSTAR:
        case opPLUS: {
            record(pos);
            const int min = op == opSTAR ? 0 : 1;
            const std::int32_t most = repeatCount(operandOf(prog_, pc), pos);
            const std::int32_t n = fitCount(pc, pos, most, min);
            ok = n >= 0;
            if (ok) {
                pushChoice(ckStar, pc, pos, n);
                pos += n;
            }
            break;
        }
        case opSECTOPEN: {
            const int saved = sections_;
            record(pos);
            setReg(slotBase_ + word(prog_, pc + kNodeSize), saved);
            break;
        }
        case opSECTCLOSE:
            sections_ = regs_[static_cast<std::size_t>(slotBase_ + word(prog_, pc + kNodeSize))] + 1;
            break;
        case opSETCOUNTER:
            setReg(counterBase_ + word(prog_, pc + kNodeSize), word(prog_, pc + kNodeSize + 2));
            break;
        case opLOOP: {
            const int minReg = counterBase_ + word(prog_, pc + kNodeSize);
            const int optReg = counterBase_ + word(prog_, pc + kNodeSize + 2);
            const bool unbounded = prog_[pc + kNodeSize + 4] & kLoopUnbounded;
            const int exit = nextNode(prog_, pc);
            if (regs_[static_cast<std::size_t>(minReg)] > 0) {
                setReg(minReg, regs_[static_cast<std::size_t>(minReg)] - 1);
            } else if (unbounded) {
                pushChoice(ckExit, exit, pos, 0);
            } else if (regs_[static_cast<std::size_t>(optReg)] > 0) {
                pushChoice(ckExit, exit, pos, 0);
                setReg(optReg, regs_[static_cast<std::size_t>(optReg)] - 1);
            } else {
                pc = exit;
                continue;
            }
            pc = bodyOf(prog_, pc);
            continue;
        }
        case opNOTHING:
        case opBACK:
            break;
        default:
            if (op > opSECTOPEN && op <= opSECTOPEN + kMaxGroups) {
                const int saved = sections_;
                record(pos);
                setReg(slotBase_ + (op - opSECTOPEN), saved);
            } else if (op > opSECTCLOSE && op <= opSECTCLOSE + kMaxGroups) {
                sections_ = regs_[static_cast<std::size_t>(slotBase_ + (op - opSECTCLOSE))] + 1;
            } else {
                throw ERegExprError(reInternalError, 0);
            }
            break;
        }
        if (ok)
            pc = nextNode(prog_, pc);
        else if (!backtrack(pc, pos))
            return false;
    }
}

} // namespace qorvi::re
