#pragma once

// Whole-file reads and writes for tests, byte for byte.

#include <fstream>
#include <iterator>
#include <string>

namespace qorvi::test {

// The file's bytes, or an empty string when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace qorvi::test
