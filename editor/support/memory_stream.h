#pragma once

// Streams over memory. TCustomMemoryStream reads a block it does not own;
// TMemoryStream owns a growable block and accepts writes.

#include "editor/support/stream.h"

#include <string>

namespace qorvi {

class TCustomMemoryStream : public TStream {
public:
    std::int64_t Read(void* buffer, std::int64_t count) override;
    std::int64_t Seek(std::int64_t offset, int origin) override;
    std::int64_t GetSize() override { return size_; }
    const char* Memory() const { return memory_; }

protected:
    // Points the stream at `size` bytes at `memory`; the position returns to 0.
    void SetPointer(const char* memory, std::int64_t size);

    const char* memory_ = nullptr;
    std::int64_t size_ = 0;
    std::int64_t position_ = 0;
};

class TMemoryStream : public TCustomMemoryStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::string contents);

    std::int64_t Write(const void* buffer, std::int64_t count) override;
    // Sets the size; new bytes are zero and the position stays within it.
    void SetSize(std::int64_t size);
    void Clear() { SetSize(0); }
    // The whole contents as a string.
    const std::string& DataString() const { return data_; }

private:
    void syncPointer();

    std::string data_;
};

} // namespace qorvi
