#pragma once

// The names by which keys are written as text in activation-key lists
// ("\{Return}", "\{Tab}"): "backspace", "delete", "down", "end", "home",
// "insert", "left", "f1"-"f12", "pagedown", "pageup", "return", "right",
// "space", "up", "tab".

#include <string_view>

namespace qorvi {

// The virtual-key code of a key name, or -1. Only the letters and digits of
// `name` count, lower-cased ("Page Down" and "pagedown" are the same).
int keyCodeFromName(std::string_view name);

} // namespace qorvi
