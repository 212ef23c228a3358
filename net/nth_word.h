#pragma once

#include <string>

namespace qorvi {

// The n-th field (1-based) of `text` split at every `delimiter`; consecutive
// delimiters delimit empty fields, and a field past the end is empty.
std::string NthWord(const std::string& text, char delimiter, int n);

} // namespace qorvi
