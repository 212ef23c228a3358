#include "net/sock_errors.h"

#include <cstring>

namespace qorvi {

std::string SocketErrorStr(int error) {
    if (const char* text = ::strerrordesc_np(error))
        return text;
    return "Unknown Error No." + std::to_string(error);
}

} // namespace qorvi
