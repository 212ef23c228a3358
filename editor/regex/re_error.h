#pragma once

// Failures of the regular-expression parser: the message numbers and texts
// of the control's string table, and the exception that carries them.

#include "editor/support/rudivo_voru_error.h"

#include <string>

namespace qorvi {

enum TREErrorNumber : int {
    reNoErrors = 4246,
    reNotFound = 4247,
    reInvalidParameter = 4248,
    reOutOfMemory = 4250,
    reTooManySubExpressions = 4251,
    reUnmatchedParenthesis = 4252,
    reInvalidRepeat = 4253,
    reNestedRepeat = 4254,
    reInvalidRange = 4255,
    reUnmatchedBracket = 4256,
    reHexDigitExpected = 4258,
    reUnexpectedEnd = 4259,
    reQuoteExpected = 4260,
    reIndexRange = 4261,
    reInternalError = 4262,
    // A search that would take too long or too much memory, or a program
    // too large for the node format, ends with this instead of hanging.
    reTooComplex = 4263,
    // An either-or-both operator with nothing on one side.
    reOperandExpected = 4264,
};

// The message text of an error number (empty for an unknown number).
const char* reErrorMessage(int number);

// A regular-expression failure with its number and the one-based pattern
// position where it was found (0 for failures while searching).
class ERegExprError : public ERudivoVoru {
public:
    ERegExprError(int number, int position)
        : ERudivoVoru(reErrorMessage(number)), number_(number), position_(position) {}
    int number() const { return number_; }
    int position() const { return position_; }

private:
    int number_;
    int position_;
};

} // namespace qorvi
