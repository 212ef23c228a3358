#pragma once

// The control's plain-text search over the records of a text store, copying
// no text: the pattern's rarest byte (in both cases without match case) is
// looked for with memchr, and each place it turns up is checked in full.
// With whole words, a match counts only when neither its neighbours are
// word characters or word starts; the scan then goes on past it.

#include "editor/regex/re_text_reader.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qorvi {

class TPlainSearch {
public:
    using WordTest = std::function<bool(unsigned char)>;

    // Takes `pattern` with the options; the tables are rebuilt only when the
    // pattern or the case option differ from those they were built for.
    // Without `matchCase` letters match either case: ASCII and the 8-bit
    // Windows-1252 letters, or only ASCII with `asciiFold` (the bytes of a
    // UTF-8 character are no letters of their own).
    void Prepare(const std::string& pattern, bool matchCase, bool asciiFold = false);
    // The first match starting at or after `start` (forward), or the last
    // one starting before `start` (backwards), or -1. `isWordChar` decides
    // whole words (null: any match counts).
    std::int32_t Find(re::TextReader& reader, std::int32_t start, bool backwards,
                      const WordTest& isWordChar) const;

    // Asked every few thousand records while a search runs; true stops it
    // (Find then gives -1 and Interrupted() is true until the next Find).
    void SetInterrupt(std::function<bool()> interrupted) { interrupt_ = std::move(interrupted); }
    bool Interrupted() const { return interrupted_; }

    const std::string& Pattern() const { return pattern_; }
    // How often the tables were built (they are kept for a repeated search).
    int Builds() const { return builds_; }

private:
    bool fitsAt(re::TextReader& reader, std::int32_t pos) const;
    bool wholeWordAt(re::TextReader& reader, std::int32_t pos, const WordTest& isWordChar) const;
    std::int32_t nextCandidate(re::TextReader& reader, std::int32_t from) const;
    std::int32_t prevCandidate(re::TextReader& reader, std::int32_t from) const;

    std::string pattern_;
    bool matchCase_ = true;
    bool asciiFold_ = false;
    bool built_ = false;
    int builds_ = 0;
    std::string folded_;            // the pattern upper-cased without match case
    std::uint8_t fold_[256];        // byte -> the byte compared
    std::size_t rare_ = 0;          // index of the byte memchr looks for
    unsigned char rareBytes_[2]{};  // that byte in both cases
    int rareCount_ = 1;
    std::function<bool()> interrupt_;
    mutable bool interrupted_ = false;
    mutable std::uint32_t records_ = 0; // records passed since the last ask
    bool stopHere() const;
};

} // namespace qorvi
