#pragma once

// `TfrmGetPass`: asks for the password of a site profile saved without one,
// at connect time.

#include <string>

namespace qorvi {

class PasswordPrompt {
public:
    static constexpr const char* kCaption = "Password";
    static constexpr const char* kLabel = "Please enter the password";
    static constexpr const char* kOkButton = "&Ok";

    virtual ~PasswordPrompt() = default;
    // The typed text after "&Ok"; empty when the dialog was closed another way.
    virtual std::string askPassword() = 0;
};

} // namespace qorvi
