#pragma once

// Reading and writing the shell's settings: string values under the program
// key. A value that is missing, empty, of another type or unreadable reads as
// its default; a failed write is ignored (the setting simply does not stick).

#include <string>

namespace qorvi {

class Hive;

// "SOFTWARE\Varnu\Qorvi".
extern const char* const kProgramKey;

// A decimal integer with optional leading blanks and sign; anything else
// (trailing characters, overflow, empty) gives `fallback`.
int parseIntegerOr(const std::string& text, int fallback);

class SettingValues {
public:
    explicit SettingValues(Hive& hive, std::string key = kProgramKey);

    std::string readString(const std::string& name, const std::string& fallback) const;
    int readInteger(const std::string& name, int fallback) const;
    void writeString(const std::string& name, const std::string& value);
    void writeInteger(const std::string& name, int value) { writeString(name, std::to_string(value)); }

    Hive& hive() const { return hive_; }
    const std::string& key() const { return key_; }

private:
    Hive& hive_;
    std::string key_;
};

} // namespace qorvi
