#pragma once

// Text leaving the control with CR LF line breaks (the clipboard's CF_TEXT,
// WM_GETTEXT with lsCRLF): every stored CR gets a LF after it.

#include <string>
#include <string_view>

namespace qorvi {

inline std::string withLineFeeds(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        out.push_back(c);
        if (c == '\r')
            out.push_back('\n');
    }
    return out;
}

} // namespace qorvi
