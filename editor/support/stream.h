#pragma once

// The byte stream through which text, settings, keyword tables and parser
// images move in and out. A stream has a position and a size; Read and Write
// report how many bytes they actually moved, so a caller can tell a short
// transfer from a complete one.

#include "platform/qorvi_error.h"

#include <cstdint>
#include <string>

namespace qorvi {

// Errors of the stream classes ("stream error").
class EStreamError : public QorviError {
public:
    using QorviError::QorviError;
};

// A file that cannot be opened ("file-open error").
class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

inline constexpr const char* kMsgReadOnlyStream = "Cannot write to a read-only stream";

// Seek origins.
inline constexpr int soFromBeginning = 0;
inline constexpr int soFromCurrent = 1;
inline constexpr int soFromEnd = 2;

class TStream {
public:
    virtual ~TStream() = default;

    // Copies up to `count` bytes into `buffer`; returns the number copied
    // (0 at the end). A negative count reads nothing.
    virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
    // Takes up to `count` bytes; returns the number accepted.
    virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
    // Moves the position and returns the new one.
    virtual std::int64_t Seek(std::int64_t offset, int origin) = 0;

    std::int64_t GetPosition() { return Seek(0, soFromCurrent); }
    void SetPosition(std::int64_t position) { Seek(position, soFromBeginning); }
    // The size, found by seeking to the end and back.
    virtual std::int64_t GetSize();

    // Read or write exactly `count` bytes, raising EStreamError otherwise.
    void ReadBuffer(void* buffer, std::int64_t count);
    void WriteBuffer(const void* buffer, std::int64_t count);
};

} // namespace qorvi
