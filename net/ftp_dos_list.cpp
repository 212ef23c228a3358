#include "net/ftp_dos_list.h"

#include <cctype>

namespace qorvi {

namespace {

bool digitsAt(const std::string& s, std::size_t from, std::size_t count) {
    if (from + count > s.size())
        return false;
    for (std::size_t i = from; i < from + count; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i])))
            return false;
    return true;
}

// 04-27-20 or 04-27-2020
bool isIisDate(const std::string& s) {
    return (s.size() == 8 || s.size() == 10) && digitsAt(s, 0, 2) && s[2] == '-' && digitsAt(s, 3, 2) &&
           s[5] == '-' && digitsAt(s, 6, s.size() - 6);
}

// 09:09PM, 9:09AM or 21:09
bool isIisTime(const std::string& s) {
    std::size_t colon = s.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2 || !digitsAt(s, 0, colon) ||
        !digitsAt(s, colon + 1, 2))
        return false;
    std::string rest = s.substr(colon + 3);
    if (rest.empty())
        return true;
    if (rest.size() != 2 || std::toupper(static_cast<unsigned char>(rest[1])) != 'M')
        return false;
    char half = static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0])));
    return half == 'A' || half == 'P';
}

// Columns are 1-based; leading spaces go, the field is cut to 255 characters.
std::string column(const std::string& line, std::size_t start, std::size_t length) {
    if (line.size() < start)
        return {};
    std::string field = line.substr(start - 1, length);
    field.erase(0, field.find_first_not_of(' ') == std::string::npos ? field.size()
                                                                     : field.find_first_not_of(' '));
    if (field.size() > TFTPDirectoryList::kMaxWordLength)
        field.resize(TFTPDirectoryList::kMaxWordLength);
    return field;
}

} // namespace

void TFTPDOSList::ParseLine(const std::string& line) {
    TFTPDirectoryList::ParseLine(line);
    const std::string& size = word(3);
    bool directory = size == "<DIR>";
    if (wordCount() >= 4 && isIisDate(word(1)) && isIisTime(word(2)) &&
        (directory || (!size.empty() && digitsAt(size, 0, size.size())))) {
        std::size_t nameStart = line.find_first_not_of(' ', wordEnd(3));
        if (nameStart != std::string::npos) {
            addEntry(directory ? "d" : "-", line.substr(nameStart), word(1) + " " + word(2),
                     directory ? std::string() : size);
            return;
        }
    }
    addEntry(column(line, 1, 10), column(line, 60, std::string::npos), column(line, 46, 13),
             column(line, 30, 16));
}

} // namespace qorvi
