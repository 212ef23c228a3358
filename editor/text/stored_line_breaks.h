#pragma once

// Text that the engine keeps with stored line breaks (template texts,
// template files before parsing): CR LF, lone LF and lone CR all become one
// CR; every other character is kept as it is.

#include <string>
#include <string_view>

namespace qorvi {

std::string toStoredLineBreaks(std::string_view text);

} // namespace qorvi
