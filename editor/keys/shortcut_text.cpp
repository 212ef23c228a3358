#include "editor/keys/shortcut_text.h"

#include <string>

namespace qorvi {

TShortCut textToShortCut(std::string_view text) {
    TShortCut modifiers = 0;
    for (;;) {
        if (text.substr(0, 6) == "Shift+") {
            modifiers |= scShift;
            text.remove_prefix(6);
        } else if (text.substr(0, 5) == "Ctrl+") {
            modifiers |= scCtrl;
            text.remove_prefix(5);
        } else if (text.substr(0, 4) == "Alt+") {
            modifiers |= scAlt;
            text.remove_prefix(4);
        } else {
            break;
        }
    }
    if (text.empty())
        return 0;
    for (int key = 1; key < 256; ++key)
        if (keyName(static_cast<std::uint16_t>(key)) == text)
            return static_cast<TShortCut>(modifiers | key);
    return 0;
}

} // namespace qorvi
