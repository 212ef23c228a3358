#include "editor/support/stream.h"

namespace qorvi {

std::int64_t TStream::GetSize() {
    std::int64_t here = Seek(0, soFromCurrent);
    std::int64_t size = Seek(0, soFromEnd);
    Seek(here, soFromBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
    if (count != 0 && Read(buffer, count) != count)
        throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
    if (count != 0 && Write(buffer, count) != count)
        throw EStreamError("Stream write error");
}

} // namespace qorvi
