#pragma once

// Base of every exception the system raises. Each named exception class
// (ERudivoVoru, ESockError, FTPException, ...) derives from it and carries the
// system's fixed message text, which the GUI shows in a box.

#include <stdexcept>
#include <string>

namespace qorvi {

class QorviError : public std::runtime_error {
public:
    explicit QorviError(const std::string& message) : std::runtime_error(message) {}
    std::string message() const { return what(); }
};

} // namespace qorvi
