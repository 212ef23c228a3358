#include "app/site_profiles.h"

#include "app/password_scramble.h"
#include "app/setting_values.h"
#include "platform/hive.h"

#include <algorithm>
#include <exception>

namespace qorvi {

namespace {

constexpr const char* kHostName = "HostName";
constexpr const char* kUid = "UID";
constexpr const char* kPwd = "PWD";
constexpr const char* kPort = "Port";
constexpr const char* kInitialDir = "InitialDir";
constexpr const char* kProxy = "Proxy";
constexpr const char* kProxyPort = "ProxyPort";

} // namespace

SiteProfiles::SiteProfiles(Hive& hive, const Clock& clock) : hive_(hive), clock_(clock) {
}

std::string SiteProfiles::keyOf(const std::string& name) const {
    return std::string(kProgramKey) + "\\" + name;
}

std::vector<std::string> SiteProfiles::names() const {
    try {
        return hive_.subKeyNames(kProgramKey);
    } catch (const std::exception&) {
        return {};
    }
}

SiteProfile SiteProfiles::load(const std::string& name) const {
    const SettingValues values(hive_, keyOf(name));
    SiteProfile p;
    p.name = name;
    p.hostName = values.readString(kHostName, "");
    p.uid = values.readString(kUid, "");
    p.password = Unscramble(values.readString(kPwd, ""));
    p.port = values.readString(kPort, "");
    p.initialDir = values.readString(kInitialDir, "");
    p.proxy = values.readString(kProxy, "");
    p.proxyPort = values.readString(kProxyPort, "");
    return p;
}

void SiteProfiles::save(const SiteProfile& p) {
    const std::string key = keyOf(p.name);
    // Written one by one and not through the settings' writing rule: a
    // profile that did not stick must be reported.
    hive_.setValue(key, kHostName, HiveValue::string(p.hostName));
    hive_.setValue(key, kUid, HiveValue::string(p.uid));
    hive_.setValue(key, kPwd, HiveValue::string(Scramble(p.password, clock_)));
    hive_.setValue(key, kPort, HiveValue::string(p.port));
    hive_.setValue(key, kInitialDir, HiveValue::string(p.initialDir));
    hive_.setValue(key, kProxy, HiveValue::string(p.proxy));
    hive_.setValue(key, kProxyPort, HiveValue::string(p.proxyPort));
}

SiteProfiles::Removal SiteProfiles::remove(const std::string& name) {
    // An empty name would be the program key itself, with every setting
    // and profile under it.
    if (name.empty() || !isValidName(name))
        return Removal::Missing;
    const std::string key = keyOf(name);
    bool failed = false;
    try {
        if (!hive_.keyExists(key))
            return Removal::Missing;
        std::vector<std::string> values = hive_.valueNames(key);
        std::sort(values.begin(), values.end());
        for (const auto& value : values) {
            try {
                hive_.deleteValue(key, value);
            } catch (const std::exception&) {
                failed = true;
            }
        }
        if (failed)
            return Removal::ValueKept;
        hive_.deleteKey(key);
    } catch (const std::exception&) {
        return Removal::ValueKept;
    }
    return Removal::Deleted;
}

bool SiteProfiles::isValidName(const std::string& name) {
    return std::none_of(name.begin(), name.end(), [](char c) {
        return c == '\\' || c == '/' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
}

int SiteProfiles::portNumber(const SiteProfile& profile) {
    return parseIntegerOr(profile.port, 21);
}

int SiteProfiles::proxyPortNumber(const SiteProfile& profile) {
    return parseIntegerOr(profile.proxyPort, 0);
}

} // namespace qorvi
