#include "platform/name_hash.h"

#include <cstdint>
#include <cstdio>

namespace qorvi {

std::string nameHash(const std::string& text) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%08x", h);
    return buf;
}

} // namespace qorvi
