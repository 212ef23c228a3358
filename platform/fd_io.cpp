#include "platform/fd_io.h"

#include <cerrno>
#include <unistd.h>

namespace qorvi {

std::size_t writeFully(int fd, const void* data, std::size_t count) {
    const char* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    return done;
}

} // namespace qorvi
