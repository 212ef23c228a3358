#pragma once

// Random access to the characters of a text store for the matcher. Reads
// the records in place; stepping to a neighbouring record follows the chain,
// a far jump asks the store's index. The matcher backtracks over positions
// it has just read, so nearly every access hits the current record.

#include "editor/text/line.h"
#include "editor/text/text_store.h"

#include <cstdint>

namespace qorvi::re {

class TextReader {
public:
    explicit TextReader(const TTextStore& store) : store_(store), count_(store.NumChars()) {}

    std::int32_t count() const { return count_; }

    // The character at `pos`, or -1 outside the text.
    int at(std::int32_t pos) {
        const std::uint32_t inLine = static_cast<std::uint32_t>(pos - start_);
        if (inLine < static_cast<std::uint32_t>(len_))
            return static_cast<unsigned char>(text_[inLine]);
        return slowAt(pos);
    }

    // Makes the record holding `pos` (0 <= pos < count) current.
    void locate(std::int32_t pos) {
        if (line_ && pos >= start_ && pos < start_ + len_)
            return;
        if (line_ && pos == start_ + len_) {
            if (TLine* next = store_.Next(line_)) {
                enter(next, start_ + len_);
                return;
            }
        }
        if (line_ && pos == start_ - 1) {
            if (TLine* prev = store_.Prev(line_)) {
                enter(prev, start_ - prev->Len());
                return;
            }
        }
        TTextStore::LineInfo info = store_.InfoFromIndex(pos);
        enter(info.line, info.start);
    }

    // Makes `line`, whose first character is at `start`, current - as a
    // scanner standing in it already knows - so that no index is asked.
    void enterAt(TLine* line, std::int32_t start) { enter(line, start); }

    TLine* line() const { return line_; }
    std::int32_t lineStart() const { return start_; }
    const char* lineText() const { return text_; }
    std::int32_t lineLength() const { return len_; }
    // Moves to the next or previous record; false at either end.
    bool nextLine() {
        TLine* next = line_ ? store_.Next(line_) : nullptr;
        if (!next)
            return false;
        enter(next, start_ + len_);
        return true;
    }
    bool prevLine() {
        TLine* prev = line_ ? store_.Prev(line_) : nullptr;
        if (!prev)
            return false;
        enter(prev, start_ - prev->Len());
        return true;
    }

private:
    int slowAt(std::int32_t pos) {
        if (pos < 0 || pos >= count_)
            return -1;
        locate(pos);
        return static_cast<unsigned char>(text_[pos - start_]);
    }
    void enter(TLine* line, std::int32_t start) {
        line_ = line;
        start_ = start;
        text_ = line->Text();
        len_ = line->Len();
    }

    const TTextStore& store_;
    std::int32_t count_;
    TLine* line_ = nullptr;
    std::int32_t start_ = 0;
    const char* text_ = nullptr;
    std::int32_t len_ = 0;
};

} // namespace qorvi::re
