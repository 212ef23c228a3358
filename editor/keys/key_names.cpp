#include "editor/keys/key_names.h"

#include "platform/keys.h"

#include <algorithm>
#include <array>
#include <string>

namespace qorvi {
namespace {

struct KeyNameEntry {
    std::string_view name;
    int key;
};

// Sorted by name for the binary search.
constexpr std::array<KeyNameEntry, 26> kKeyNames{{
    {"backspace", VK_BACK}, {"delete", VK_DELETE}, {"down", VK_DOWN},   {"end", VK_END},
    {"f1", VK_F1},          {"f10", VK_F10},       {"f11", VK_F11},     {"f12", VK_F12},
    {"f2", VK_F2},          {"f3", VK_F3},         {"f4", VK_F4},       {"f5", VK_F5},
    {"f6", VK_F6},          {"f7", VK_F7},         {"f8", VK_F8},       {"f9", VK_F9},
    {"home", VK_HOME},      {"insert", VK_INSERT}, {"left", VK_LEFT},   {"pagedown", VK_NEXT},
    {"pageup", VK_PRIOR},   {"return", VK_RETURN}, {"right", VK_RIGHT}, {"space", VK_SPACE},
    {"tab", VK_TAB},        {"up", VK_UP},
}};

} // namespace

int keyCodeFromName(std::string_view name) {
    std::string key;
    for (char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 'A' && c <= 'Z')
            key.push_back(static_cast<char>(c | 0x20));
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
            key.push_back(static_cast<char>(c));
    }
    if (key.empty())
        return -1;
    auto end = kKeyNames.end();
    auto it = std::lower_bound(kKeyNames.begin(), end, key,
                               [](const KeyNameEntry& e, const std::string& k) { return e.name < k; });
    return it != end && it->name == key ? it->key : -1;
}

} // namespace qorvi
