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

// Message texts of the control's string table used by the engine.
inline constexpr const char* kMsgNotEnoughMemory = "Not enough memory for operation";
inline constexpr const char* kMsgBadStream = "Bad TStream instance";
inline constexpr const char* kMsgCouldNotSave = "Could not save text to stream";

} // namespace qorvi
