#pragma once

// A scanner over an owned copy of a string, with a one-based position (1 for
// a non-empty string, 0 for an empty one).

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvi {

class TStringScanner {
public:
    explicit TStringScanner(std::string_view s = {}) { Init(s); }

    void Init(std::string_view s);
    void Setyypos(std::int32_t position) { position_ = position; }
    std::int32_t Getyypos() const { return position_; }
    std::int32_t Length() const { return length_; }

    bool yyeof() const { return length_ == 0 || position_ > length_; }
    bool yybof() const { return length_ == 0 || position_ == 1; }
    // The character at the position, or 0 outside the string.
    unsigned char yychar() const {
        return position_ >= 1 && position_ <= length_ ? static_cast<unsigned char>(text_[position_ - 1]) : 0;
    }
    void yyadvance() {
        if (position_ <= length_)
            ++position_;
    }
    void yyretard() {
        if (position_ > 0)
            --position_;
    }

private:
    std::string text_;
    std::int32_t length_ = 0;
    std::int32_t position_ = 0;
};

} // namespace qorvi
