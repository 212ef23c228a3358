#pragma once

// A write-only stream into a SafeFileWriter: what is written reaches the
// file only when the writer commits.

#include "editor/support/stream.h"
#include "platform/safe_file_writer.h"

namespace qorvi {

class SafeFileStream : public TStream {
public:
    explicit SafeFileStream(SafeFileWriter& writer) : writer_(writer) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (count <= 0)
            return 0;
        const auto done = static_cast<std::int64_t>(
            writer_.write(static_cast<const char*>(buffer), static_cast<std::size_t>(count)));
        position_ += done;
        return done;
    }
    std::int64_t Seek(std::int64_t, int) override { return position_; }

private:
    SafeFileWriter& writer_;
    std::int64_t position_ = 0;
};

} // namespace qorvi
