#include "editor/regex/re_section_walk.h"

namespace qorvi::re {

bool walkSections(const Nfa& nfa, const ReverseDfa& dfa, const std::vector<int>& trail, TextReader& reader,
                  std::int32_t start, std::int32_t end, Budget& budget, std::vector<std::int32_t>& sections) {
    if (start > end || static_cast<std::size_t>(end - start) >= trail.size())
        return false;
    sections.clear();
    // Where each group or repeat began in `sections`, as the backtracking
    // matcher keeps it in its slot registers.
    std::vector<int> opened(static_cast<std::size_t>(nfa.slotCount()), 0);
    std::int32_t pos = start;
    int pc = nfa.start();
    int idle = 0; // steps since the last character
    std::int64_t steps = 0;
    for (;;) {
        if (++idle > nfa.size())
            return false;
        if (++steps == 4096) {
            budget.spend(steps);
            steps = 0;
        }
        const NfaInst& inst = nfa.inst(pc);
        switch (inst.op) {
        case NfaOp::Match:
            if (pos != end)
                return false;
            sections.push_back(end);
            budget.spend(steps);
            return true;
        case NfaOp::Char:
            ++pos;
            idle = 0;
            break;
        case NfaOp::Bol:
            if (!(pos == 0 && reader.at(0) != '\r')) {
                ++pos;
                idle = 0;
            }
            break;
        case NfaOp::Split:
            if (!dfa.leadsOn(trail[static_cast<std::size_t>(end - pos)], inst.next)) {
                pc = inst.alt;
                continue;
            }
            break;
        case NfaOp::Record:
            sections.push_back(pos);
            break;
        case NfaOp::Open:
            opened[static_cast<std::size_t>(inst.arg)] = static_cast<int>(sections.size());
            sections.push_back(pos);
            break;
        case NfaOp::Close:
            sections.resize(static_cast<std::size_t>(opened[static_cast<std::size_t>(inst.arg)]) + 1);
            break;
        case NfaOp::Eol:
        case NfaOp::Jump:
            break;
        }
        if (pos > end)
            return false;
        pc = inst.next;
    }
}

} // namespace qorvi::re
