#pragma once

// A control's view onto a text store: the store shown, the number of the
// first visible record and that record.

#include <cstdint>

namespace qorvi {

class TLine;
class TTextStore;

class TTextView {
public:
    TTextStore* TextStore() const { return textStore_; }
    std::int32_t TopLine() const { return topLine_; }
    TLine* VisLine() const { return visLine_; }

    void SetTextStore(TTextStore* store) { textStore_ = store; }
    void SetTopLine(std::int32_t index) { topLine_ = index; }
    void SetVisLine(TLine* line) { visLine_ = line; }

private:
    TTextStore* textStore_ = nullptr;
    std::int32_t topLine_ = 0;
    TLine* visLine_ = nullptr;
};

} // namespace qorvi
