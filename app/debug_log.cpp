#include "app/debug_log.h"

namespace qorvi {

DebugLog::~DebugLog() {
    if (file_)
        std::fclose(file_);
}

bool DebugLog::open(const std::string& path) {
    if (file_)
        std::fclose(file_);
    file_ = std::fopen(path.c_str(), "a");
    return file_ != nullptr;
}

void DebugLog::line(const std::string& text) {
    if (!file_)
        return;
    std::fputs(text.c_str(), file_);
    std::fputc('\n', file_);
    // Tests and users read the log while the program runs.
    std::fflush(file_);
}

} // namespace qorvi
