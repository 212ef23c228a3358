#include "editor/support/fast_memory_stream.h"

#include <cstring>

namespace qorvi {

void TFastMemoryStream::Initialize(const char* buffer) {
    SetPointer(buffer, buffer ? static_cast<std::int64_t>(std::strlen(buffer)) : 0);
}

std::int64_t TFastMemoryStream::Write(const void*, std::int64_t) {
    throw EStreamError(kMsgReadOnlyStream);
}

} // namespace qorvi
