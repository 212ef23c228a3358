#pragma once

// The compiler of the regular-expression dialect (see re_parser.h): a
// recursive-descent parse of the pattern text that either only counts the
// program's bytes (the sizing pass) or writes them (the emitting pass), so
// that the program buffer is allocated once at its exact size.

#include "editor/regex/re_either_or_both.h"

#include <cstdint>
#include <vector>

namespace qorvi::re {

class Compiler {
public:
    // `program` is null for the sizing pass; for the emitting pass it must
    // hold at least the size the sizing pass counted.
    Compiler(const RewrittenPattern& pattern, int patternLength, std::vector<std::uint8_t>* program);

    // Parses the whole pattern; raises ERegExprError on the first error.
    void run();

    int size() const { return size_; }
    int groups() const { return groups_; }
    int slots() const { return nextSlot_; }
    int counters() const { return nextCounter_; }

private:
    [[noreturn]] void fail(int number, std::size_t at) const;
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return text_[pos_]; }

    void put(std::uint8_t byte);
    void putWord(int value);
    int emitNode(std::uint8_t op);
    void writeNodeAt(int at, std::uint8_t op);
    void writeWordAt(int at, int value);
    void insertGap(int at, int count);
    int opAt(int node) const;
    int nextOf(int node) const;
    void setNext(int node, int target);
    void tail(int chain, int target);
    void opTail(int node, int target);

    int parseAlternation(bool paren, int& flags, std::size_t openAt);
    int parseBranch(int& flags);
    int parsePiece(int& flags);
    int parseAtom(int& flags);
    int parseClass();
    int emitExactly(const std::string& chars);
    int emitTable(std::uint8_t op, const bool* members);
    unsigned char parseEscape();
    void parseBraces(int& low, int& high, std::size_t braceAt);

    int newSlot();

    const std::string& text_;
    const std::vector<int>& origin_;
    const int patternLength_;
    std::vector<std::uint8_t>* program_;
    std::size_t pos_ = 0;
    int size_ = 0;
    int groups_ = 0;
    int openGroups_ = 0;
    int nextSlot_;
    int nextCounter_ = 0;
};

} // namespace qorvi::re
