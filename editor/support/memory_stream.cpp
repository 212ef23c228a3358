#include "editor/support/memory_stream.h"

#include <algorithm>
#include <cstring>

namespace qorvi {

void TCustomMemoryStream::SetPointer(const char* memory, std::int64_t size) {
    memory_ = memory;
    size_ = size;
    position_ = 0;
}

std::int64_t TCustomMemoryStream::Read(void* buffer, std::int64_t count) {
    if (count <= 0 || position_ >= size_)
        return 0;
    std::int64_t n = std::min(count, size_ - position_);
    std::memcpy(buffer, memory_ + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

std::int64_t TCustomMemoryStream::Seek(std::int64_t offset, int origin) {
    switch (origin) {
    case soFromBeginning:
        position_ = offset;
        break;
    case soFromCurrent:
        position_ += offset;
        break;
    case soFromEnd:
        position_ = size_ + offset;
        break;
    default:
        break;
    }
    // A position before the start makes no sense; past the end reads nothing.
    position_ = std::max<std::int64_t>(position_, 0);
    return position_;
}

TMemoryStream::TMemoryStream(std::string contents) : data_(std::move(contents)) {
    syncPointer();
}

void TMemoryStream::syncPointer() {
    std::int64_t position = position_;
    SetPointer(data_.data(), static_cast<std::int64_t>(data_.size()));
    position_ = position;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
    if (count <= 0)
        return 0;
    std::int64_t end = position_ + count;
    if (end > static_cast<std::int64_t>(data_.size()))
        data_.resize(static_cast<std::size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<std::size_t>(count));
    syncPointer();
    position_ = end;
    return count;
}

void TMemoryStream::SetSize(std::int64_t size) {
    data_.resize(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    syncPointer();
    position_ = std::min(position_, size_);
}

} // namespace qorvi
