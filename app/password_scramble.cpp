#include "app/password_scramble.h"

#include "platform/clock.h"
#include "platform/hex_digit.h"

#include <cstdio>
#include <ctime>
#include <string_view>

namespace qorvi {

namespace {

// Characters 2k and 2k+1 form a pair (O-H, l-N, m-D ... g-C): 62 characters,
// each of 0-9, A-Z and a-z exactly once.
constexpr std::string_view kPairs = "OHlNmDyxIkuRXhWZUeaPTQ79wv3KJoj524n0pcfiFbLG8rBAYMEs6StVqz1dgC";
static_assert(kPairs.size() == 62);

constexpr std::size_t kTimeLength = 6; // "hhnnss"

std::string timeOfDay(const Clock& clock) {
    const std::time_t now = static_cast<std::time_t>(clock.wallSeconds());
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

} // namespace

char swapScrambled(char c) {
    const std::size_t at = kPairs.find(c);
    if (c == '\0' || at == std::string_view::npos)
        return c;
    return kPairs[at ^ 1];
}

std::string Scramble(const std::string& password, const Clock& clock) {
    const std::string plain = timeOfDay(clock) + password;
    std::string out;
    out.reserve(plain.size() * 2);
    for (char c : plain) {
        char hex[4];
        // Two digits for every byte, so that the text reads back pair by pair.
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(swapScrambled(c)));
        out += hex;
    }
    return out;
}

std::string Unscramble(const std::string& stored) {
    if (stored.size() % 2 != 0)
        return {};
    std::string plain;
    plain.reserve(stored.size() / 2);
    for (std::size_t i = 0; i < stored.size(); i += 2) {
        const int high = hexDigitValue(static_cast<unsigned char>(stored[i]));
        const int low = hexDigitValue(static_cast<unsigned char>(stored[i + 1]));
        if (high < 0 || low < 0)
            return {};
        plain += swapScrambled(static_cast<char>(high * 16 + low));
    }
    if (plain.size() < kTimeLength)
        return {};
    for (std::size_t i = 0; i < kTimeLength; ++i)
        if (plain[i] < '0' || plain[i] > '9')
            return {};
    return plain.substr(kTimeLength);
}

} // namespace qorvi
