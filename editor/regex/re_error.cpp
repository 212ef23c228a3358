#include "editor/regex/re_error.h"

namespace qorvi {

const char* reErrorMessage(int number) {
    switch (number) {
    case reNoErrors:
        return "No errors detected";
    case reNotFound:
        return "Expression not found";
    case reInvalidParameter:
        return "Invalid parameter";
    case reOutOfMemory:
        return "Out of memory";
    case reTooManySubExpressions:
        return "Too many sub-expressions";
    case reUnmatchedParenthesis:
        return "Unmatched parenthesis";
    case reInvalidRepeat:
        return "Invalid repeat";
    case reNestedRepeat:
        return "Nested repeat";
    case reInvalidRange:
        return "Invalid range";
    case reUnmatchedBracket:
        return "Unmatched bracket";
    case reHexDigitExpected:
        return "Hex digit expected";
    case reUnexpectedEnd:
        return "Unexpected end of input";
    case reQuoteExpected:
        return "'\"' expected";
    case reIndexRange:
        return "Index range error";
    case reInternalError:
        return "Internal error";
    case reTooComplex:
        return "Expression too complex";
    case reOperandExpected:
        return "Operand of || expected";
    default:
        return "";
    }
}

} // namespace qorvi
