#include "editor/text/line.h"

#include <cstring>

namespace qorvi {

std::uint8_t* TLine::EnsureStyles() {
    if (!(lenBits_ & kStyled)) {
        std::memset(data_ + Len(), 0, Len());
        lenBits_ |= kStyled;
    }
    return reinterpret_cast<std::uint8_t*>(data_) + Len();
}

} // namespace qorvi
