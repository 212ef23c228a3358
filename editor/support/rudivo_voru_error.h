#pragma once

// Exceptions of the editor control and its engine. ERudivoVoru is the
// control's own class; EFileSaveError reports a save that could not be
// completed. Both carry the control's fixed message texts.

#include "platform/qorvi_error.h"

namespace qorvi {

class ERudivoVoru : public QorviError {
public:
    using QorviError::QorviError;
};

class EFileSaveError : public ERudivoVoru {
public:
    using ERudivoVoru::ERudivoVoru;
};

// A keyword table refused a word or a table definition.
class EKeywords : public ERudivoVoru {
public:
    using ERudivoVoru::ERudivoVoru;
};

// The keyboard action controller refused a key binding.
class EKeyControllerException : public ERudivoVoru {
public:
    using ERudivoVoru::ERudivoVoru;
};

class EAmbigiousKeyPair : public EKeyControllerException {
public:
    using EKeyControllerException::EKeyControllerException;
};

// Message texts of the control's string table used by the engine.
inline constexpr const char* kMsgNotEnoughMemory = "Not enough memory for operation";
inline constexpr const char* kMsgBadStream = "Bad TStream instance";
inline constexpr const char* kMsgCouldNotSave = "Could not save text to stream";

// Character groups, keyword tables, the key map and data-object copies.
inline constexpr const char* kMsgInvalidSetId = "Invalid Set ID (%d)";
inline constexpr const char* kMsgRangeOrder = "Characters not in correct order for range specifier";
inline constexpr const char* kMsgDuplicateKeyword = "Duplicate keyword - '%s'";
inline constexpr const char* kMsgAmbiguousKeyTable = "Ambigious key table state definition";
inline constexpr const char* kMsgTooManyKeywordTables = "Too many keyword tables declared";
inline constexpr const char* kMsgTooManyKeywordGroups =
    "Too many character groups for a keyword table (at most 256)";
inline constexpr const char* kMsgKeywordTooLong = "Keyword too long (at most 255 characters) - '%s'";
inline constexpr const char* kMsgDuplicateKeySequence =
    "Duplicate key sequence definition for\r\n\"%s\" and \"%s\"";
inline constexpr const char* kMsgCannotAssignA = "Cannot assign a %s to a %s";
inline constexpr const char* kMsgCannotAssign = "Cannot assign %s to %s";

// The undo history.
inline constexpr const char* kMsgBadTransactionLog = "Bad transaction log entry";
inline constexpr const char* kMsgBadUndoState = "Bad do/undo stack state";

} // namespace qorvi
