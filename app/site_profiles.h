#pragma once

// FTP site profiles: one subkey of the program key per profile, named after
// it, holding the host, user, scrambled password, port, initial directory and
// proxy as string values. Every subkey of the program key counts as a
// profile.

#include <string>
#include <vector>

namespace qorvi {

class Clock;
class Hive;

struct SiteProfile {
    std::string name;
    std::string hostName;
    std::string uid;
    std::string password; // plain; empty: asked for at connect time
    std::string port;     // as typed
    std::string initialDir;
    std::string proxy;
    std::string proxyPort;
    bool operator==(const SiteProfile&) const = default;
};

class SiteProfiles {
public:
    enum class Removal { Missing, ValueKept, Deleted };

    SiteProfiles(Hive& hive, const Clock& clock);

    // The profile names in the order the registry gives them.
    std::vector<std::string> names() const;
    // The stored strings of a profile (a missing or unreadable value reads
    // as empty), the password unscrambled.
    SiteProfile load(const std::string& name) const;
    // Writes every field as typed, the password scrambled; a profile of that
    // name is overwritten. Throws QorviError when the registry cannot be written.
    void save(const SiteProfile& profile);
    // Deletes the profile's values (in name order), then the profile; a
    // value that cannot be deleted keeps the profile.
    Removal remove(const std::string& name);

    // A name that would not be one subkey of the program key (a "\" or "/"
    // makes nested keys, a control character cannot stand in the file).
    static bool isValidName(const std::string& name);
    // The port to connect to: 21 if the stored text is not a number.
    static int portNumber(const SiteProfile& profile);
    // The proxy port: 0 if the stored text is not a number.
    static int proxyPortNumber(const SiteProfile& profile);

private:
    std::string keyOf(const std::string& name) const;

    Hive& hive_;
    const Clock& clock_;
};

} // namespace qorvi
