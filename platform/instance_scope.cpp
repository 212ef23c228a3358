#include "platform/instance_scope.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace qorvi {

std::string instanceScope() {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    if (!display || !*display)
        display = std::getenv("DISPLAY");
    if (!display || !*display)
        display = "none";
    std::uint32_t h = 2166136261u; // FNV-1a
    for (const char* p = display; *p; ++p) {
        h ^= static_cast<unsigned char>(*p);
        h *= 16777619u;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", h);
    return buf;
}

} // namespace qorvi
