#include "editor/support/string_scanner.h"

namespace qorvi {

void TStringScanner::Init(std::string_view s) {
    text_.assign(s);
    length_ = static_cast<std::int32_t>(text_.size());
    position_ = length_ > 0 ? 1 : 0;
}

} // namespace qorvi
