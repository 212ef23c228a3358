#include "editor/keys/typed_key.h"

#include "platform/keys.h"

#include <cstring>

namespace qorvi {

int keyThatTypes(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 'A';
    if ((c >= 'A' && c <= 'Z'))
        return c | kTypedKeyShift;
    if (c >= '0' && c <= '9')
        return c;
    switch (c) {
    case ' ':
        return VK_SPACE;
    case '\t':
        return VK_TAB;
    case '\r':
        return VK_RETURN;
    case '\n':
        return VK_RETURN | kTypedKeyCtrl;
    case 8:
        return VK_BACK;
    case 27:
        return VK_ESCAPE;
    default:
        break;
    }
    // Shifted digits, then the punctuation keys with and without Shift.
    static const char kShiftedDigits[] = ")!@#$%^&*(";
    if (const char* p = std::strchr(kShiftedDigits, c); p && c)
        return ('0' + static_cast<int>(p - kShiftedDigits)) | kTypedKeyShift;
    struct Pair {
        char plain;
        char shifted;
        int key;
    };
    static const Pair kPunctuation[] = {
        {';', ':', VK_OEM_1},     {'=', '+', VK_OEM_PLUS},   {',', '<', VK_OEM_COMMA},
        {'-', '_', VK_OEM_MINUS}, {'.', '>', VK_OEM_PERIOD}, {'/', '?', VK_OEM_2},
        {'`', '~', VK_OEM_3},     {'[', '{', VK_OEM_4},      {'\\', '|', VK_OEM_5},
        {']', '}', VK_OEM_6},     {'\'', '"', VK_OEM_7},
    };
    for (const Pair& p : kPunctuation) {
        if (c == static_cast<unsigned char>(p.plain))
            return p.key;
        if (c == static_cast<unsigned char>(p.shifted))
            return p.key | kTypedKeyShift;
    }
    return -1;
}

} // namespace qorvi
