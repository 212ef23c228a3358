#include "platform/clipboard_port.h"

namespace qorvi {

bool MemoryClipboard::hasFormat(ClipFormat format) const {
    for (const auto& entry : contents_)
        if (entry.first == format)
            return true;
    return false;
}

std::optional<std::string> MemoryClipboard::data(ClipFormat format) const {
    for (const auto& entry : contents_)
        if (entry.first == format)
            return entry.second;
    return std::nullopt;
}

namespace {

ClipboardPort*& installed() {
    static ClipboardPort* clipboard = nullptr;
    return clipboard;
}

} // namespace

ClipboardPort& DefaultClipboard() {
    static MemoryClipboard memory;
    ClipboardPort* clipboard = installed();
    return clipboard ? *clipboard : memory;
}

void SetDefaultClipboard(ClipboardPort* clipboard) {
    installed() = clipboard;
}

} // namespace qorvi
