#pragma once

// The message texts of the script preprocessor and compiler, and the
// exception a script error raises. Every message raised through the
// preprocessor's RaiseError is prefixed with the position of the error.

#include "platform/qorvi_error.h"

namespace qorvi {

// A script that cannot be compiled. The message carries the position.
class ESYM_COMP_ERROR : public QorviError {
public:
    using QorviError::QorviError;
};

inline constexpr const char* kMsgErrorNear = "** ERROR near line %d, Column %d: %s";

// Preprocessor.
inline constexpr const char* kMsgRecursiveExpansion = "Recursive expansion of macro '%s'";
inline constexpr const char* kMsgMacroNameExpected = "Macro name expected";
inline constexpr const char* kMsgMacroNameExpectedIfdef = "Macro name expected after #ifdef";
inline constexpr const char* kMsgIncludeNotEnclosed = "#include filename not enclosed in \"...\" or <...>";
inline constexpr const char* kMsgIncludeMissingTerminator = "#include filename missing terminating %s";
inline constexpr const char* kMsgIncludeCannotOpen = "Unable to open #include file %s%s%s";
inline constexpr const char* kMsgIdentifier = "Identifier";
inline constexpr const char* kMsgUnknown = "Unknown";
inline constexpr const char* kMsgUnknownCharacter = "Unknown character in input stream: #$%.2x";
// Conditionals out of balance, and limits that keep a hostile script from
// exhausting the stack or memory.
inline constexpr const char* kMsgElseWithoutIf = "#else without #ifdef or #ifndef";
inline constexpr const char* kMsgEndifWithoutIf = "#endif without #ifdef or #ifndef";
inline constexpr const char* kMsgNestingTooDeep = "Macro and #include nesting deeper than %d levels";
inline constexpr const char* kMsgExpansionTooLong = "Macro and #include expansion longer than %d bytes";
inline constexpr const char* kMsgIdentifierTooLong = "Identifier longer than %d characters";
inline constexpr const char* kMsgLineTooLong = "Line longer than %d characters";

// Script compiler.
inline constexpr const char* kMsgEqualsExpected = "'=' expected";
inline constexpr const char* kMsgOpenParenExpected = "'(' expected";
inline constexpr const char* kMsgCloseParenExpected = "')' expected";
inline constexpr const char* kMsgCommaExpected = "',' expected";
inline constexpr const char* kMsgOpenBracketExpected = "'[' expected";
inline constexpr const char* kMsgCloseBracketExpected = "']' expected";
inline constexpr const char* kMsgStringExpected = "String value expected";
inline constexpr const char* kMsgScriptSyntaxError = "Script syntax error";
inline constexpr const char* kMsgExpressionExpected = "Expression expected";
inline constexpr const char* kMsgValueRange = "Value must be 0..255";
inline constexpr const char* kMsgDuplicateWord = "Duplicate entry in %%word table";
inline constexpr const char* kMsgSingleCharSpec = "Single character specifier expected";
inline constexpr const char* kMsgMaxFourCharSpecs = "Maximum of 4 character specifier allowed";
inline constexpr const char* kMsgDuplicateHandler = "Duplicate entry in %%handler table";
inline constexpr const char* kMsgAmbiguousStartSet = "Ambigious start set in %%token table";
inline constexpr const char* kMsgDuplicateEffect = "Duplicate %%effect entry";
inline constexpr const char* kMsgBadFontStyle = "Bad font style specifier";
inline constexpr const char* kMsgRangeError = "Range error, value outwith %d .. %d";
// Handler numbers the runtime has no handler for.
inline constexpr const char* kMsgBadCharHandler = "Character handler number must be 0..2";
inline constexpr const char* kMsgBadContinuationHandler =
    "Continuation handler number must be 0..2 or 10..20";

// Settings sections.
inline constexpr const char* kMsgTooManyEditableStyles = "Too many editable styles";
inline constexpr const char* kMsgKeyNameBlank = "Key function name cannot be blank";
inline constexpr const char* kMsgKeySpecRequired = "Key specification required";
inline constexpr const char* kMsgContextRespecified = "Token value %d re-specified in ContextState";
inline constexpr const char* kMsgEndsWithExpected = "'endswith' expected";
inline constexpr const char* kMsgIsExpected = "'is' expected";

} // namespace qorvi
