#pragma once

// printf-style filling of the fixed message texts ("Invalid Set ID (%d)",
// "Duplicate keyword - '%s'"). Strings may be passed as std::string.

#include <cstdio>
#include <string>
#include <type_traits>
#include <utility>

namespace qorvi {

namespace detail {
inline const char* messageArg(const std::string& s) {
    return s.c_str();
}
template <typename T> T messageArg(T value) {
    static_assert(std::is_arithmetic_v<T> || std::is_pointer_v<T>, "unsupported message argument");
    return value;
}
} // namespace detail

template <typename... Args> std::string formatMsg(const char* format, const Args&... args) {
    const int size = std::snprintf(nullptr, 0, format, detail::messageArg(args)...);
    if (size <= 0)
        return format;
    std::string out(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(out.data(), out.size(), format, detail::messageArg(args)...);
    out.resize(static_cast<std::size_t>(size));
    return out;
}

} // namespace qorvi
