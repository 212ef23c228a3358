#pragma once

// The editor's default word tests: a word character is a letter, a digit,
// "_", "'" or "-"; a word starts with a letter or "_". Letters are those of
// the Windows-1252 code page. The control may replace both tests.

#include <functional>

namespace qorvi {

using CharTest = std::function<bool(unsigned char)>;

bool isDefaultWordChar(unsigned char c);
bool isDefaultWordStart(unsigned char c);

} // namespace qorvi
