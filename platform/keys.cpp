#include "platform/keys.h"

namespace qorvi {

std::string keyName(std::uint16_t key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return std::string(1, static_cast<char>(key));
    // Built by appending: GCC 12 warns falsely on "literal" + std::string&&.
    if (key >= VK_F1 && key <= VK_F12) {
        std::string name = "F";
        name += std::to_string(key - VK_F1 + 1);
        return name;
    }
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
        std::string name = "Num ";
        name += std::to_string(key - VK_NUMPAD0);
        return name;
    }
    switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_RETURN: return "Enter";
    case VK_ESCAPE: return "Esc";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num .";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_1: return ";";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_PERIOD: return ".";
    case VK_OEM_2: return "/";
    case VK_OEM_3: return "`";
    case VK_OEM_4: return "[";
    case VK_OEM_5: return "\\";
    case VK_OEM_6: return "]";
    case VK_OEM_7: return "'";
    default: return {};
    }
}

std::string shortCutToText(TShortCut sc) {
    std::string name = keyName(sc & 0xFF);
    if (name.empty())
        return {};
    std::string out;
    if (sc & scShift)
        out += "Shift+";
    if (sc & scCtrl)
        out += "Ctrl+";
    if (sc & scAlt)
        out += "Alt+";
    return out + name;
}

} // namespace qorvi
