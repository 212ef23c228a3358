#pragma once

// A short, stable tag for a long name: eight hex digits of its FNV-1a hash.
// Names of shared objects, sockets and temp files carry it where the name
// itself could hold "/" or be too long.

#include <string>

namespace qorvi {

std::string nameHash(const std::string& text);

} // namespace qorvi
