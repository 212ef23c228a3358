#include "net/nth_word.h"

namespace qorvi {

std::string NthWord(const std::string& text, char delimiter, int n) {
    if (n < 1)
        return {};
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        std::size_t next = text.find(delimiter, start);
        if (next == std::string::npos)
            return {};
        start = next + 1;
    }
    std::size_t end = text.find(delimiter, start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace qorvi
