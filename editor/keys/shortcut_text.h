#pragma once

// Shortcuts written as text ("Ctrl+J", "Shift+Ctrl+F3"), as the template
// and auto-replace streams keep their hot key.

#include "platform/keys.h"

#include <string_view>

namespace qorvi {

// The shortcut a text names, as shortCutToText writes it (modifier prefixes
// in any order, then the key name); 0 when the text names no key.
TShortCut textToShortCut(std::string_view text);

} // namespace qorvi
