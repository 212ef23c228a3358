#pragma once

// The start groups of the whole-token handlers (script numbers 10-20): a
// token declared in %%tokens by handler number starts on these characters.

#include "editor/lexicon/char_group.h"

namespace qorvi {

// The start group of whole-token handler `number` (10-20); an empty group
// for any other number.
TSM_CharGroup STD_TokenData(int number);

} // namespace qorvi
