#pragma once

// The style string: a language's user styles as one text, kept in the
// registry as the "Highlighting - " value of the language. It reads
//
//   Trelix6:OPT#8#67099632GWD#2#34 ... LNE#1#B#END#
//
// "Trelix", a version digit and a colon, then fields of a three-letter tag,
// "#", the decimal length of the value, "#" and the value; "#END#" closes
// the list. Versions 5-9 share this layout; the writer always writes 6.
//
// EFF, the display styles, holds the number of defined styles and, for each
// in ascending order, "value,foreground,background," then X (background is
// the default), Y (foreground is the default), B, I, U and ";".
//
// A string is read whole before anything is applied: a damaged string
// raises and leaves the settings as they were.

#include <string>
#include <string_view>

namespace qorvi {

class TSM_Settings;

inline constexpr const char* kMsgInvalidStyleString = "Invalid data in style string";

// The style string of the settings.
std::string StylesAsString(const TSM_Settings& settings);
// Applies a style string to the settings. Raises ERudivoVoru "Invalid data
// in style string" for a string of another form, a field whose length runs
// past the end, a bad number, a value out of its range or more than 256
// styles; the settings are then untouched.
void StylesFromString(TSM_Settings& settings, std::string_view text);

} // namespace qorvi
