#pragma once

// The names under which a parser keeps a language's user styles and key map
// in the registry, the messages about them, and the control's way to reload
// its parser's styles.

namespace qorvi {

class TCustomRudivoVoru;

// Value names: the prefix followed by the language name.
inline constexpr const char* kHighlightingValue = "Highlighting - ";
inline constexpr const char* kKeyAssignmentsValue = "Key Assignments - ";
// The key-map value begins with this short string (a length byte of 8 and
// the eight characters), then the key controller's stream form.
inline constexpr const char* kKeyMapTag = "Trelix6:";

inline constexpr const char* kMsgRegistryDisabled = "Registry interface disabled in: ";
inline constexpr const char* kMsgInvalidRegistryEntry = "Invalid data in registry entry";

// When the control has a current parser of its own kind, that parser loads
// its styles from the registry (StylesFromRegistry with its own key).
void GetCurrentStyles(TCustomRudivoVoru& control);

} // namespace qorvi
