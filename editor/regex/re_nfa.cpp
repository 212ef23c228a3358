#include "editor/regex/re_nfa.h"

#include "editor/regex/re_program.h"

#include <algorithm>
#include <unordered_map>

namespace qorvi::re {

namespace {

struct TooLarge {};

// Sections a matcher may record before "Index range error".
constexpr int kMaxDepth = kSectionCount - 1;
// Depths are counted up to here; anything beyond is simply too deep.
constexpr int kDepthCap = kSectionCount + 8;

} // namespace

class NfaBuilder {
public:
    NfaBuilder(const std::uint8_t* program, std::size_t size, Nfa& nfa)
        : prog_(program), size_(size), nfa_(nfa) {}

    bool run() {
        try {
            readCounters();
            Copy top{{}, -1, -1};
            nfa_.start_ = instFor(1, &top);
            while (!work_.empty()) {
                const Work w = work_.back();
                work_.pop_back();
                fill(w.node, w.at, w.copy);
            }
        } catch (const TooLarge&) {
            return false;
        }
        skipJumps();
        return depthsFit();
    }

private:
    // One copy of a part of the program: the top level, or one body of an
    // unrolled counted repeat, whose way back to its loop head leads to the
    // next copy instead.
    struct Copy {
        std::unordered_map<int, int> memo;
        int loopNode;
        int backTarget;
    };
    struct Work {
        int node;
        int at;
        Copy* copy;
    };

    int add(NfaInst inst) {
        if (nfa_.size() >= Nfa::kMaxInsts)
            throw TooLarge();
        nfa_.insts_.push_back(inst);
        return nfa_.size() - 1;
    }
    NfaInst& at(int pc) { return nfa_.insts_[static_cast<std::size_t>(pc)]; }
    // Writes an instruction whose operands were worked out first: working
    // them out may add instructions and move the others.
    void put(int pc, NfaInst inst) { at(pc) = inst; }
    void link(int pc, int next) { at(pc).next = next; }

    int setFor(const TByteSet& set) {
        for (std::size_t i = 0; i < nfa_.sets_.size(); ++i)
            if (nfa_.sets_[i] == set)
                return static_cast<int>(i);
        nfa_.sets_.push_back(set);
        return static_cast<int>(nfa_.sets_.size()) - 1;
    }

    // The counters are set right before their loop; their start values are
    // read once, so that an unrolled loop knows its bounds wherever it is.
    void readCounters() {
        std::size_t pos = 1;
        while (pos + kNodeSize <= size_) {
            const int node = static_cast<int>(pos);
            if (nodeOp(prog_, node) == opSETCOUNTER)
                counterStart_[word(prog_, node + kNodeSize)] = word(prog_, node + kNodeSize + 2);
            pos += static_cast<std::size_t>(kNodeSize + operandSize(prog_, node));
        }
    }

    int instFor(int node, Copy* copy) {
        if (node == copy->loopNode)
            return copy->backTarget;
        const auto found = copy->memo.find(node);
        if (found != copy->memo.end())
            return found->second;
        const int pc = add({NfaOp::Jump});
        copy->memo.emplace(node, pc);
        work_.push_back({node, pc, copy});
        return pc;
    }

    TByteSet atomSet(int atom) const {
        TByteSet set;
        switch (nodeOp(prog_, atom)) {
        case opANY:
            set = TByteSet::All();
            set.Exclude('\r');
            break;
        case opANYOF:
        case opANYBUT:
            for (int c = 0; c < 256; ++c)
                if ((prog_[atom + kNodeSize + c] != 0) == (nodeOp(prog_, atom) == opANYOF))
                    set.Include(static_cast<std::uint8_t>(c));
            break;
        default: // a one-character literal
            set.Include(prog_[atom + kNodeSize + 2]);
            break;
        }
        return set;
    }

    void fill(int node, int pc, Copy* copy) {
        const int op = nodeOp(prog_, node);
        const int next = nextNode(prog_, node);
        switch (op) {
        case opEND:
            put(pc, NfaInst{NfaOp::Match});
            return;
        case opBOL:
        case opEOL:
            put(pc, NfaInst{op == opBOL ? NfaOp::Bol : NfaOp::Eol, instFor(next, copy)});
            return;
        case opANY:
        case opANYOF:
        case opANYBUT: {
            const int c = add({NfaOp::Char, -1, -1, setFor(atomSet(node))});
            put(pc, NfaInst{NfaOp::Record, c});
            link(c, instFor(next, copy));
            return;
        }
        case opEXACTLY: {
            const int len = word(prog_, node + kNodeSize);
            int last = pc;
            put(pc, NfaInst{NfaOp::Record});
            for (int i = 0; i < len; ++i) {
                TByteSet one;
                one.Include(prog_[node + kNodeSize + 2 + i]);
                const int c = add({NfaOp::Char, -1, -1, setFor(one)});
                link(last, c);
                last = c;
            }
            link(last, instFor(next, copy));
            return;
        }
        case opBRANCH:
            if (next >= 0 && nodeOp(prog_, next) == opBRANCH)
                put(pc, NfaInst{NfaOp::Split, instFor(operandOf(prog_, node), copy), instFor(next, copy)});
            else
                put(pc, NfaInst{NfaOp::Jump, instFor(operandOf(prog_, node), copy)});
            return;
        case opSTAR:
        case opPLUS: {
            // One section for the whole run; the preferred way takes one
            // more character.
            const int set = setFor(atomSet(operandOf(prog_, node)));
            const int atom = add({NfaOp::Char, -1, -1, set});
            const int loop = add({NfaOp::Split, atom});
            link(atom, loop);
            {
                const int alt = instFor(next, copy);
                at(loop).alt = alt;
            }
            put(pc, NfaInst{NfaOp::Record, op == opSTAR ? loop : atom});
            return;
        }
        case opSECTOPEN:
            put(pc, NfaInst{NfaOp::Open, instFor(next, copy), -1, word(prog_, node + kNodeSize)});
            return;
        case opSECTCLOSE:
            put(pc, NfaInst{NfaOp::Close, instFor(next, copy), -1, word(prog_, node + kNodeSize)});
            return;
        case opLOOP:
            unroll(node, pc, copy);
            return;
        default:
            if (op > opSECTOPEN && op <= opSECTOPEN + kMaxGroups) {
                put(pc, NfaInst{NfaOp::Open, instFor(next, copy), -1, op - opSECTOPEN});
            } else if (op > opSECTCLOSE && op <= opSECTCLOSE + kMaxGroups) {
                put(pc, NfaInst{NfaOp::Close, instFor(next, copy), -1, op - opSECTCLOSE});
            } else {
                // BACK, NOTHING and the counters' start values.
                put(pc, NfaInst{NfaOp::Jump, instFor(next, copy)});
            }
            return;
        }
    }

    // x{low,high}: `low` copies of the body in a row, then either one copy
    // that loops (no upper bound) or high - low optional ones, each of
    // which prefers to run.
    void unroll(int node, int pc, Copy* copy) {
        const int low = counterStart_[word(prog_, node + kNodeSize)];
        const int optional = counterStart_[word(prog_, node + kNodeSize + 2)];
        const bool unbounded = prog_[node + kNodeSize + 4] & kLoopUnbounded;
        const int entries = low + (unbounded ? 1 : optional + 1);
        if (entries > Nfa::kMaxInsts)
            throw TooLarge();
        std::vector<int> entry(static_cast<std::size_t>(entries));
        entry[0] = pc;
        for (int i = 1; i < entries; ++i)
            entry[static_cast<std::size_t>(i)] = add({NfaOp::Jump});
        const int exit = instFor(nextNode(prog_, node), copy);
        const int body = bodyOf(prog_, node);
        auto bodyCopy = [&](int backTarget) {
            copies_.push_back(std::make_unique<Copy>(Copy{{}, node, backTarget}));
            return instFor(body, copies_.back().get());
        };
        for (int i = 0; i < low; ++i)
            put(entry[static_cast<std::size_t>(i)],
                NfaInst{NfaOp::Jump, bodyCopy(entry[static_cast<std::size_t>(i) + 1])});
        if (unbounded) {
            const int e = entry[static_cast<std::size_t>(low)];
            put(e, NfaInst{NfaOp::Split, bodyCopy(e), exit});
            return;
        }
        for (int j = 0; j < optional; ++j) {
            const std::size_t k = static_cast<std::size_t>(low + j);
            put(entry[k], NfaInst{NfaOp::Split, bodyCopy(entry[k + 1]), exit});
        }
        put(entry[static_cast<std::size_t>(low + optional)], NfaInst{NfaOp::Jump, exit});
    }

    // Every link to a Jump goes straight to where the jumps lead (a loop of
    // jumps, which consumes nothing for ever, is left alone).
    void skipJumps() {
        auto target = [&](int pc) {
            for (int hops = 0; pc >= 0 && at(pc).op == NfaOp::Jump && hops < nfa_.size(); ++hops)
                pc = at(pc).next;
            return pc;
        };
        for (NfaInst& inst : nfa_.insts_) {
            if (inst.op == NfaOp::Jump || inst.op == NfaOp::Match)
                continue;
            inst.next = target(inst.next);
            if (inst.op == NfaOp::Split)
                inst.alt = target(inst.alt);
        }
        nfa_.start_ = target(nfa_.start_);
    }

    // The most sections a path can have recorded at each instruction; a
    // Close goes back to one past its Open's depth. False when some path
    // could record more than the matcher allows.
    bool depthsFit() {
        const int n = nfa_.size();
        std::vector<int> depth(static_cast<std::size_t>(n), -1);
        std::unordered_map<int, int> openDepth;
        std::unordered_map<int, std::vector<int>> closes;
        for (int pc = 0; pc < n; ++pc)
            if (at(pc).op == NfaOp::Close)
                closes[at(pc).arg].push_back(pc);
        std::vector<int> work;
        auto relax = [&](int pc, int d) {
            d = std::min(d, kDepthCap);
            if (d > depth[static_cast<std::size_t>(pc)]) {
                depth[static_cast<std::size_t>(pc)] = d;
                work.push_back(pc);
            }
        };
        relax(nfa_.start_, 0);
        while (!work.empty()) {
            const int pc = work.back();
            work.pop_back();
            const NfaInst& inst = at(pc);
            const int d = depth[static_cast<std::size_t>(pc)];
            switch (inst.op) {
            case NfaOp::Record:
                relax(inst.next, d + 1);
                break;
            case NfaOp::Open: {
                relax(inst.next, d + 1);
                int& od = openDepth.try_emplace(inst.arg, -1).first->second;
                if (d > od) {
                    od = d;
                    for (int close : closes[inst.arg])
                        if (depth[static_cast<std::size_t>(close)] >= 0)
                            work.push_back(close);
                }
                break;
            }
            case NfaOp::Close: {
                const auto open = openDepth.find(inst.arg);
                if (open != openDepth.end())
                    relax(inst.next, open->second + 1);
                break;
            }
            case NfaOp::Split:
                relax(inst.next, d);
                relax(inst.alt, d);
                break;
            case NfaOp::Match:
                break;
            default:
                relax(inst.next, d);
                break;
            }
        }
        for (int pc = 0; pc < n; ++pc) {
            const NfaOp op = at(pc).op;
            if ((op == NfaOp::Record || op == NfaOp::Open || op == NfaOp::Match) &&
                depth[static_cast<std::size_t>(pc)] > kMaxDepth)
                return false;
        }
        return true;
    }

    const std::uint8_t* prog_;
    std::size_t size_;
    Nfa& nfa_;
    std::unordered_map<int, int> counterStart_;
    std::vector<std::unique_ptr<Copy>> copies_;
    std::vector<Work> work_;
};

namespace {

// Whether a CR can be consumed after a match's first character.
bool crAfterFirst(const Nfa& nfa) {
    const int n = nfa.size();
    // seen[pc * 2 + consumed]
    std::vector<char> seen(static_cast<std::size_t>(n) * 2, 0);
    std::vector<std::pair<int, int>> work{{nfa.start(), 0}};
    while (!work.empty()) {
        const auto [pc, consumed] = work.back();
        work.pop_back();
        if (pc < 0 || seen[static_cast<std::size_t>(pc) * 2 + static_cast<std::size_t>(consumed)])
            continue;
        seen[static_cast<std::size_t>(pc) * 2 + static_cast<std::size_t>(consumed)] = 1;
        const NfaInst& inst = nfa.inst(pc);
        switch (inst.op) {
        case NfaOp::Char:
            if (consumed && nfa.accepts(pc, '\r'))
                return true;
            work.push_back({inst.next, 1});
            break;
        case NfaOp::Bol:
            if (consumed)
                return true;
            work.push_back({inst.next, 1});
            work.push_back({inst.next, 0}); // at the start of the text it consumes nothing
            break;
        case NfaOp::Split:
            work.push_back({inst.next, consumed});
            work.push_back({inst.alt, consumed});
            break;
        case NfaOp::Match:
            break;
        default:
            work.push_back({inst.next, consumed});
            break;
        }
    }
    return false;
}

} // namespace

std::unique_ptr<Nfa> Nfa::build(const std::uint8_t* program, std::size_t size) {
    auto nfa = std::make_unique<Nfa>();
    NfaBuilder builder(program, size, *nfa);
    if (!builder.run())
        return nullptr;
    nfa->crAfterFirst_ = re::crAfterFirst(*nfa);
    for (const NfaInst& inst : nfa->insts_)
        if (inst.op == NfaOp::Open || inst.op == NfaOp::Close)
            nfa->slotCount_ = std::max(nfa->slotCount_, inst.arg + 1);
    return nfa;
}

} // namespace qorvi::re
