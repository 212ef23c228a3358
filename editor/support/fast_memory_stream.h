#pragma once

// A read-only stream over a caller's NUL-terminated buffer, used to load a
// text handed over as characters (WM_SETTEXT) without copying it. The buffer
// is neither copied nor freed and must outlive the stream.

#include "editor/support/memory_stream.h"

namespace qorvi {

class TFastMemoryStream : public TCustomMemoryStream {
public:
    explicit TFastMemoryStream(const char* buffer = nullptr) { Initialize(buffer); }

    // Points the stream at `buffer`; its size is the buffer's string length
    // (a null buffer gives an empty stream).
    void Initialize(const char* buffer);
    std::int64_t Write(const void* buffer, std::int64_t count) override;
};

} // namespace qorvi
