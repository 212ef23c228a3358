#pragma once

// What a compiled pattern tells about where its matches can start, so that
// a search skips the rest of the text at memchr speed: a literal every match
// holds at a fixed distance from its start (searched by its rarest byte),
// else the characters a match can start with; and a literal every match
// holds somewhere, whose absence ahead rules out any match at once.

#include "editor/regex/re_text_reader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorvi::re {

class Prefilter {
public:
    explicit Prefilter(const std::uint8_t* program);

    // The first position at or after `from` where a match may start, or -1.
    std::int32_t next(TextReader& reader, std::int32_t from) const;
    // The last position at or before `from` where a match may start, or -1.
    std::int32_t prev(TextReader& reader, std::int32_t from) const;
    // False when the literal every match holds does not occur at or after
    // `from`.
    bool mustLiteralAhead(TextReader& reader, std::int32_t from) const;
    // True when next() can skip positions at all.
    bool skips() const { return !literal_.empty() || useFirstChars_; }
    // True when next() and prev() look for a literal, so that the positions
    // they give are few.
    bool hasLiteral() const { return !literal_.empty(); }

private:
    bool headFits(TextReader& reader, std::int32_t pos) const;
    std::int32_t nextByLiteral(TextReader& reader, std::int32_t from) const;
    std::int32_t nextByFirstChars(TextReader& reader, std::int32_t from) const;
    std::int32_t prevByLiteral(TextReader& reader, std::int32_t from) const;

    // The literal at a fixed distance from every match's start, and the
    // characters allowed at each position before it.
    std::string literal_;
    std::int32_t literalAt_ = 0;
    std::size_t rareIndex_ = 0; // of the literal's byte that memchr looks for
    std::vector<std::vector<bool>> head_;
    bool firstChars_[256];
    bool useFirstChars_ = false;    // false when any position may start a match
    bool lineStartPattern_ = false; // a match may begin at the start of the text
    bool lineEndPattern_ = false;   // a match may begin at the end of the text
    std::string mustLiteral_;
};

} // namespace qorvi::re
