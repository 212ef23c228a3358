#pragma once

// "debug.log" in the current directory, written in debug mode: one line per
// name added to the pending-open list and one per document opened, each with
// the absolute path. Appended to; kept open until the program ends.

#include <cstdio>
#include <string>

namespace qorvi {

class DebugLog {
public:
    DebugLog() = default;
    DebugLog(const DebugLog&) = delete;
    DebugLog& operator=(const DebugLog&) = delete;
    ~DebugLog();

    // Opens (creating if needed) the file for appending; false when it cannot.
    bool open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }

    void pending(const std::string& path) { line("pending " + path); }
    void opened(const std::string& path) { line("opened " + path); }
    void line(const std::string& text);

private:
    std::FILE* file_ = nullptr;
};

} // namespace qorvi
