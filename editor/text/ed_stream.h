#pragma once

// The read-only scanner over a text store's records. It reads the records
// in place (nothing is copied except by Read) and keeps the current record,
// so stepping costs a compare and an increment; crossing into the next
// record follows the chain, and a far jump asks the store's index.
//
// The scanner notices when the store was edited behind its back (every edit
// changes the store's stamp) and finds its position again, clamped to the
// new text, before it reads: it never reads a record that is gone.

#include "editor/text/custom_ed_stream.h"
#include "editor/text/text_store.h"

namespace qorvi {

class TEdStream final : public TCustomEdStream {
public:
    explicit TEdStream(TTextStore* store = nullptr);

    TTextStore* Store() const { return store_; }
    void SetStore(TTextStore* store);

    // Positions the scanner at character `offsetInLine` of `line`, whose
    // first character is at offset `lineStart`, and refreshes the count.
    void UseBuffer(TLine* line, std::int32_t offsetInLine, std::int32_t lineStart);

    unsigned char GetYYchar() override {
        if (stamp_ != currentStamp())
            sync();
        return offset_ < len_ ? static_cast<unsigned char>(text_[offset_]) : 0;
    }
    std::int32_t GetYYpos() override { return pos_; }
    // Moves to `position`, clamped to 0 ... the character count.
    void SetYYpos(std::int32_t position) override;
    // True past the last character (and always on an empty text).
    bool yyeof() override {
        if (stamp_ != currentStamp())
            sync();
        return pos_ > last_ || count_ == 0;
    }
    void yyadvance() override {
        if (stamp_ != currentStamp())
            sync();
        if (offset_ + 1 < len_) {
            ++offset_;
            ++pos_;
        } else {
            stepForward();
        }
    }
    void yyretard() override;

    // The characters from the scanner to the end of its record (or to the
    // limit): a scanning loop tests them in place and then moves on past
    // those it took with Skip, instead of one call per character.
    std::int32_t Span(const unsigned char*& at) {
        if (stamp_ != currentStamp())
            sync();
        at = reinterpret_cast<const unsigned char*>(text_) + offset_;
        return offset_ < len_ ? len_ - offset_ : 0;
    }
    // Moves on by `count` characters of the last Span (count <= its size).
    void Skip(std::int32_t count) {
        if (count <= 0)
            return;
        offset_ += count - 1;
        pos_ += count - 1;
        yyadvance();
    }

    // Skip for a count short of the last Span's size: the scanner stays in
    // the record.
    void SkipWithin(std::int32_t count) {
        offset_ += count;
        pos_ += count;
    }

    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;

    TLine* Line() const { return line_; }
    std::int32_t OffsetInLine() const { return offset_; }
    std::int32_t Count() const { return count_; }

    // Makes the text look as if it ended at `end` (clamped to the text) to
    // every read, until SetLimit(-1): the editor control bounds how far one
    // parser call may scan while the user waits.
    void SetLimit(std::int32_t end);
    std::int32_t Limit() const { return limit_; }

private:
    // Inline: it is checked on every character read.
    std::uint64_t currentStamp() const { return store_ ? store_->EditStamp() : 0; }
    void sync();
    void stepForward();
    void enter(TLine* line, std::int32_t offset);
    void refreshCount();
    // With a limit, the current record's characters end at it, so that
    // GetYYchar answers 0 there as at the end of the text.
    void clampToLimit();

    TTextStore* store_ = nullptr;
    std::int32_t last_ = 0;
    std::int32_t count_ = 0;
    std::int32_t pos_ = 0;
    TLine* line_ = nullptr;
    std::int32_t offset_ = 0;
    const char* text_ = nullptr; // the current record's characters
    std::int32_t len_ = 0;       // and their number
    std::uint64_t stamp_ = 0;
    std::int32_t limit_ = -1;
};

} // namespace qorvi
