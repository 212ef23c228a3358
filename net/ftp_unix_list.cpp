#include "net/ftp_unix_list.h"

#include <cctype>
#include <cstring>

namespace qorvi {

namespace {

bool allDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool isMonth(const std::string& s) {
    static const char* const months[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                         "jul", "aug", "sep", "oct", "nov", "dec"};
    if (s.size() != 3)
        return false;
    for (const char* m : months) {
        bool same = true;
        for (int i = 0; i < 3; ++i)
            same = same && std::tolower(static_cast<unsigned char>(s[static_cast<std::size_t>(i)])) == m[i];
        if (same)
            return true;
    }
    return false;
}

bool isDay(const std::string& s) {
    if (s.size() > 2 || !allDigits(s))
        return false;
    int day = std::stoi(s);
    return day >= 1 && day <= 31;
}

bool isTimeOrYear(const std::string& s) {
    if (s.size() == 4 && allDigits(s))
        return true;
    std::size_t colon = s.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2 || s.size() != colon + 3)
        return false;
    return allDigits(s.substr(0, colon)) && allDigits(s.substr(colon + 1));
}

} // namespace

void TFTPUnixList::ParseLine(const std::string& line) {
    TFTPDirectoryList::ParseLine(line);
    const int n = wordCount();
    if (n <= 7)
        return;
    const std::string& attribute = word(1);
    for (int month = 4; month + 3 <= n; ++month) {
        if (!isMonth(word(month)) || !isDay(word(month + 1)) || !isTimeOrYear(word(month + 2)))
            continue;
        // The name is everything after the one space that follows the time
        // or year, so leading, inner and trailing spaces of names survive.
        std::size_t nameStart = wordEnd(month + 2) + 1;
        std::string name = nameStart < line.size() ? line.substr(nameStart) : std::string();
        if (!attribute.empty() && attribute[0] == 'l') {
            std::size_t arrow = name.find(" -> ");
            if (arrow != std::string::npos)
                name.erase(arrow);
        }
        addEntry(attribute, std::move(name), word(month) + " " + word(month + 1) + " " + word(month + 2),
                 word(month - 1));
        return;
    }
    // An unfamiliar layout: the last word is the name.
    std::string name = word(n);
    if (wordsOverflowed()) {
        std::size_t space = line.find_last_of(' ');
        name = space == std::string::npos ? line : line.substr(space + 1);
    }
    addEntry(attribute, std::move(name), word(n - 3) + " " + word(n - 2) + " " + word(n - 1), word(n - 4));
}

} // namespace qorvi
