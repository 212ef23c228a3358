#include "platform/instance_scope.h"

#include "platform/name_hash.h"

#include <cstdlib>

namespace qorvi {

std::string instanceScope() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (!display || !*display)
        display = std::getenv("DISPLAY");
    if (!display || !*display)
        display = "none";
    return nameHash(display);
}

} // namespace qorvi
