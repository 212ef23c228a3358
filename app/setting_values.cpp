#include "app/setting_values.h"

#include "platform/hive.h"

#include <charconv>
#include <exception>

namespace qorvi {

const char* const kProgramKey = "SOFTWARE\\Varnu\\Qorvi";

int parseIntegerOr(const std::string& text, int fallback) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && text[i] == '+') {
        ++i;
        if (i < text.size() && text[i] == '-')
            return fallback;
    }
    const char* first = text.data() + i;
    const char* last = text.data() + text.size();
    if (first == last)
        return fallback;
    int value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr != last)
        return fallback;
    return value;
}

SettingValues::SettingValues(Hive& hive, std::string key) : hive_(hive), key_(std::move(key)) {}

std::string SettingValues::readString(const std::string& name, const std::string& fallback) const {
    try {
        auto v = hive_.value(key_, name);
        if (!v || v->type != HiveValue::Type::String || v->data.empty())
            return fallback;
        return v->data;
    } catch (const std::exception&) {
        return fallback;
    }
}

int SettingValues::readInteger(const std::string& name, int fallback) const {
    return parseIntegerOr(readString(name, std::to_string(fallback)), fallback);
}

void SettingValues::writeString(const std::string& name, const std::string& value) {
    try {
        hive_.setValue(key_, name, HiveValue::string(value));
    } catch (const std::exception&) {
        // A registry error on writing is ignored.
    }
}

} // namespace qorvi
