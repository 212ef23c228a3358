#pragma once

// The key that types a character on the US keyboard layout (the layout the
// key codes of this program follow), as activation-key lists store it: the
// virtual-key code in the low byte, 0x100 for Shift.

namespace qorvi {

inline constexpr int kTypedKeyShift = 0x100;
inline constexpr int kTypedKeyCtrl = 0x200;
inline constexpr int kTypedKeyAlt = 0x400;

// The key value, or -1 for a character no key types.
int keyThatTypes(unsigned char c);

} // namespace qorvi
