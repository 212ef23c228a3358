#pragma once

// The names every parser script may use without defining them: options,
// handler numbers, colours, action codes, key names, character sets and a
// few constants. The preprocessor defines each as a macro expanding to its
// decimal value before the script is read.

#include <cstdint>
#include <span>

namespace qorvi {

class TWordStore;

struct PredefinedName {
    const char* name;
    std::int64_t value;
};

// Every predefined name with its value, grouped as the tables of the script
// language list them.
std::span<const PredefinedName> predefinedNames();

// "ver200" marks the script language version for #ifdef; it expands to
// itself, so using it as a value is a recursion error.
inline constexpr const char* kVersionMacro = "ver200";

// Fills a macro store with ver200 and every predefined name.
void definePredefinedMacros(TWordStore& macros);

} // namespace qorvi
