#pragma once

// Line-break normalisation of text entering the store, and the line-break
// style a file was written with.
//
// Every piece of text inserted into the store (typing, paste, load, template
// expansion) passes through the adjustment: CR LF, LF CR, lone LF and lone CR
// all become one CR; every other byte is kept as it is, control characters
// and NUL included, so that a file saved untouched keeps its bytes (the
// control shows control characters with a visible glyph).

#include <cstddef>
#include <cstdint>

namespace qorvi {

// How a file broke its lines. The first break of a file decides; a file
// without one counts as LF, and so does a new document.
enum class LineBreakStyle { LF, CRLF, CR };

// Adjusts exactly `count` characters of `src` (NULs included) into `dest`,
// which must hold count + 1 characters; writes a NUL after the output and
// returns the number of characters before it. `src` is one whole piece.
std::int32_t RTAdjustLineBreaks_FixedLen(char* dest, const char* src, std::int32_t count);

// The same adjustment over text that arrives in pieces: a CR LF or LF CR pair
// cut between two pieces still counts as one break.
class LineBreakAdjuster {
public:
    // Adjusts `count` characters into `dest` (room for `count`) and returns
    // the number written. `last` marks the final piece.
    std::size_t adjust(char* dest, const char* src, std::size_t count, bool last);
    void reset() { partner_ = 0; }

private:
    char partner_ = 0; // the half of a pair that is dropped if it comes next
};

// The style of the first line break in `data`, if it holds one.
bool findLineBreakStyle(const char* data, std::size_t count, bool moreFollows, LineBreakStyle& style);

} // namespace qorvi
