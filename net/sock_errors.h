#pragma once

// Exceptions of the socket transport. Cancelled and timed-out waits raise
// EAbortError, a kind of ESockError, so a caller that only cares whether the
// connection works catches ESockError alone.

#include "platform/qorvi_error.h"

#include <cstddef>
#include <string>

namespace qorvi {

class ESockError : public QorviError {
public:
    using QorviError::QorviError;
};

class EAbortError : public ESockError {
public:
    using ESockError::ESockError;
};

// A line past TSockClient::kMaxLineLength: whatever follows it on the
// connection can no longer be read in step.
class ELineTooLong : public ESockError {
public:
    using ESockError::ESockError;
};

// The text of a socket error number (errno); "Unknown Error No." and the
// number when the system has no text for it.
std::string SocketErrorStr(int error);

// Writes every byte to `fd` (a received file) or raises ESockError with why not.
void writeAllOrRaise(int fd, const char* data, std::size_t count);

} // namespace qorvi
