#pragma once

// Writing to a file descriptor until every byte is taken: write(2) may take
// fewer bytes than offered, or be interrupted by a signal, and both mean
// "go on", not "done".

#include <cstddef>

namespace qorvi {

// The bytes written: `count` on success, fewer when the descriptor refused
// the rest (errno tells why; 0-byte writes set it to ENOSPC).
std::size_t writeFully(int fd, const void* data, std::size_t count);

inline bool writeAll(int fd, const void* data, std::size_t count) {
    return writeFully(fd, data, count) == count;
}

} // namespace qorvi
