#pragma once

#include "platform/qorvi_error.h"

namespace qorvi {

// A failed FTP operation; the message is the server's reply line (or the
// client's own text when there is no reply to show).
class FTPException : public QorviError {
public:
    using QorviError::QorviError;
};

} // namespace qorvi
