#include "app/setting_values.h"

#include "app/main_view.h"
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

const std::array<SettingInfo, 11>& settingTable() {
    using S = Setting;
    static const std::array<SettingInfo, 11> table = {{
        {S::ExtFilePath, "ExtFilePath", ""},
        {S::DefaultExt, "DefaultExt", "sh"},
        {S::NumLinesInWatch, "NumLinesInWatch", "30"},
        {S::ShowExplorer, "ShowExplorer", "1"},
        {S::ChildMax, "ChildMax", "0"},
        {S::LastMax, "LastMax", "0"},
        {S::LastHeight, "LastHeight", "0"},
        {S::LastWidth, "LastWidth", "0"},
        {S::LastLeft, "LastLeft", "0"},
        {S::LastTop, "LastTop", "0"},
        {S::NewDocType, "NewDocType", "5"},
    }};
    return table;
}

const SettingInfo& settingInfo(Setting id) {
    return settingTable()[static_cast<std::size_t>(id)];
}

SettingValues::SettingValues(Hive& hive, std::string key) : hive_(hive), key_(std::move(key)) {
}

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

std::string SettingValues::read(Setting id) const {
    const SettingInfo& info = settingInfo(id);
    return readString(info.name, info.defaultValue);
}

int SettingValues::readInteger(Setting id) const {
    const SettingInfo& info = settingInfo(id);
    return readInteger(info.name, parseIntegerOr(info.defaultValue, 0));
}

void SettingValues::write(Setting id, const std::string& value) {
    writeString(settingInfo(id).name, value);
}

int SettingValues::numLinesInWatch() const {
    // Watch mode keeps at least one line; a stored 0 or less is no count.
    const int lines = readInteger(Setting::NumLinesInWatch);
    return lines >= 1 ? lines : parseIntegerOr(settingInfo(Setting::NumLinesInWatch).defaultValue, 30);
}

WindowPlacement SettingValues::lastPlacement() const {
    WindowPlacement placement;
    if (readFlag(Setting::LastMax)) {
        placement.maximised = true;
        return placement;
    }
    placement.height = readInteger(Setting::LastHeight);
    placement.width = readInteger(Setting::LastWidth);
    placement.left = readInteger(Setting::LastLeft);
    placement.top = readInteger(Setting::LastTop);
    return placement;
}

void SettingValues::setLastPlacement(const WindowPlacement& placement) {
    writeFlag(Setting::LastMax, placement.maximised);
    if (placement.maximised)
        return;
    writeInteger(Setting::LastHeight, placement.height);
    writeInteger(Setting::LastWidth, placement.width);
    writeInteger(Setting::LastLeft, placement.left);
    writeInteger(Setting::LastTop, placement.top);
}

} // namespace qorvi
