#pragma once

// The value of one hexadecimal digit, for the readers of escapes and hex
// dumps (character groups, regular expressions, scripts, the hive file).

namespace qorvi {

// 0-15 for 0-9, a-f and A-F; -1 for anything else.
constexpr int hexDigitValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace qorvi
