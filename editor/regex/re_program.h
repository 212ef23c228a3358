#pragma once

// The node program of a compiled regular expression, shared by the
// compiler that writes it and the matcher that runs it.
//
// The program is a flat byte buffer: a marker byte, then nodes of three
// bytes - the opcode and a 16-bit offset to the next node, high byte first
// (0 = none; a back node's offset counts backwards) - each followed by its
// operand. Alternatives hang off branch nodes as their operands; loops end in
// a back node. Every repeat that is not a single star or plus node is
// bracketed by section open/close nodes, so that a repeat reports one
// section however often it ran (the sections of a repeat's body would
// otherwise grow with the text, and a replacement's %n would point at
// different pieces on different matches).

#include <cstdint>
#include <vector>

namespace qorvi::re {

inline constexpr std::uint8_t kProgramMarker = 0x9C;

enum Opcode : std::uint8_t {
    opEND = 0,          // success; records the end position
    opBOL = 1,          // a CR, consumed (the start of a line)
    opEOL = 2,          // a CR ahead, not consumed (the end of a line)
    opANY = 3,          // any character except CR
    opANYOF = 4,        // 256-byte table: one member character
    opANYBUT = 5,       // 256-byte table: one character that is not a member
    opBRANCH = 6,       // its operand, else the next branch node
    opBACK = 7,         // links a loop back
    opEXACTLY = 8,      // 16-bit count, then the characters
    opNOTHING = 9,      // the empty string
    opSTAR = 10,        // the simple atom node that follows, 0 or more times
    opPLUS = 11,        // the same, 1 or more times
    opSECTOPEN = 20,    // 16-bit slot: a repeat's section starts
    opOPEN = 21,        // 21-29: group n starts
    opSECTCLOSE = 40,   // 16-bit slot: the repeat's sections collapse into one
    opCLOSE = 41,       // 41-49: group n ends
    opSETCOUNTER = 150, // 16-bit counter, 16-bit value
    opLOOP = 153,       // counted loop head: 16-bit minimum counter, 16-bit
                        // optional counter, flags; the body is its operand,
                        // the next node is the exit
};

inline constexpr std::uint8_t kLoopUnbounded = 1;
inline constexpr int kNodeSize = 3;
inline constexpr int kMaxGroups = 9;
inline constexpr int kSectionCount = 256;

inline int nodeOp(const std::uint8_t* prog, int node) {
    return prog[node];
}

inline int nextOffset(const std::uint8_t* prog, int node) {
    return (prog[node + 1] << 8) | prog[node + 2];
}

// The next node, or -1 for none.
inline int nextNode(const std::uint8_t* prog, int node) {
    int offset = nextOffset(prog, node);
    if (offset == 0)
        return -1;
    return nodeOp(prog, node) == opBACK ? node - offset : node + offset;
}

inline int word(const std::uint8_t* prog, int at) {
    return (prog[at] << 8) | prog[at + 1];
}

// Bytes of a node's operand (the atom of a star or plus node is a node of
// its own and not counted).
inline int operandSize(const std::uint8_t* prog, int node) {
    switch (nodeOp(prog, node)) {
    case opANYOF:
    case opANYBUT:
        return 256;
    case opEXACTLY:
        return 2 + word(prog, node + kNodeSize);
    case opSECTOPEN:
    case opSECTCLOSE:
        return 2;
    case opSETCOUNTER:
        return 4;
    case opLOOP:
        return 5;
    default:
        return 0;
    }
}

// Where a node's operand (or a branch's alternative, a loop's body, a star's
// atom) starts.
inline int operandOf(const std::uint8_t* prog, int node) {
    (void)prog;
    return node + kNodeSize;
}

inline int bodyOf(const std::uint8_t* prog, int node) {
    return node + kNodeSize + operandSize(prog, node);
}

} // namespace qorvi::re
