#include "editor/breakpoints.h"

namespace qorvi {

void TSM_Breakpoints::TextChanged(std::int32_t, std::int32_t) {
}

} // namespace qorvi
