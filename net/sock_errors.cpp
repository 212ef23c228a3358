#include "net/sock_errors.h"

#include "platform/fd_io.h"

#include <cerrno>
#include <cstring>

namespace qorvi {

std::string SocketErrorStr(int error) {
    if (const char* text = ::strerrordesc_np(error))
        return text;
    return "Unknown Error No." + std::to_string(error);
}

void writeAllOrRaise(int fd, const char* data, std::size_t count) {
    if (!writeAll(fd, data, count))
        throw ESockError(SocketErrorStr(errno != 0 ? errno : EIO));
}

} // namespace qorvi
