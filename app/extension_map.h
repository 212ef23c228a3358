#pragma once

// The extension mapping list: lines "extension=type key" read from the
// user-editable mapping file "Qorvi.dat". The first line whose extension
// matches wins; a line without "=" has an empty type key.

#include <string>
#include <vector>

namespace qorvi {

class ExtensionMap {
public:
    struct Lookup {
        bool registered = false;
        std::string typeKey;
    };

    // The 27 lines of the default table, in order.
    static const std::vector<std::string>& defaultLines();

    const std::vector<std::string>& lines() const { return lines_; }
    void setLines(std::vector<std::string> lines) { lines_ = std::move(lines); }
    void clear() { lines_.clear(); }
    void append(const std::string& line) { lines_.push_back(line); }

    // Reads every line of the file (LF, CR LF or CR breaks), replacing the
    // list. False, with the list unchanged, when the file cannot be read.
    bool load(const std::string& path);
    // Writes the whole list, each line ended by CR LF, through a temp file
    // renamed over `path`. Throws QorviError when that fails.
    void save(const std::string& path) const;

    // `ext` is lower-cased and compared with the lower-cased extension of
    // each line; no match gives (not registered, "txt").
    Lookup lookUp(const std::string& ext) const;
    // Empty is not registered; one leading "." is dropped.
    bool isRegistered(const std::string& ext) const;
    // The type number of the parser for an extension (one leading "." is
    // dropped; empty gives plain text).
    int typeNumberForExtension(const std::string& ext) const;

private:
    std::vector<std::string> lines_;
};

} // namespace qorvi
