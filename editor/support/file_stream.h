#pragma once

// A stream over a file opened for reading (others may read and write it
// meanwhile). Saving goes through SafeFileWriter instead, so that a failed
// save never leaves a half-written file behind.

#include "editor/support/stream.h"

#include <string>

namespace qorvi {

class TFileStream : public TStream {
public:
    // Opens `path` for reading; raises EFOpenError "File '%s' cannot be opened
    // for reading" when it is missing, unreadable or not a file.
    explicit TFileStream(const std::string& path);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // A failing read raises EStreamError rather than passing for the end of
    // the file, so a damaged medium never loads as a shortened text.
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Write(const void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;

private:
    int fd_ = -1;
};

} // namespace qorvi
