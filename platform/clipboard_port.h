#pragma once

// The clipboard as the editor control sees it: whole contents set at once
// in one or more formats, and each format read back as bytes. CF_TEXT and
// HTML are Unicode text in UTF-8 (the control converts from and to its
// document's encoding); CF_TEXT has CR LF line breaks as the control writes
// it, and what it reads may break lines with CR LF, LF or CR. The Qt implementation
// (platform/qt/qt_clipboard.h) maps the formats to the system clipboard's
// text/plain, text/rtf and text/html; MemoryClipboard keeps them in the
// process, for the tests and for running without a window system.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

enum class ClipFormat {
    Text,     // CF_TEXT
    RichText, // "Rich Text Format"
    Html,     // "HTML Format"
};

class ClipboardPort {
public:
    using Contents = std::vector<std::pair<ClipFormat, std::string>>;

    virtual ~ClipboardPort() = default;
    virtual bool hasFormat(ClipFormat format) const = 0;
    // The bytes of a format, or nothing when the clipboard has none.
    virtual std::optional<std::string> data(ClipFormat format) const = 0;
    // Empties the clipboard and puts `contents` on it.
    virtual void setContents(const Contents& contents) = 0;
};

class MemoryClipboard : public ClipboardPort {
public:
    bool hasFormat(ClipFormat format) const override;
    std::optional<std::string> data(ClipFormat format) const override;
    void setContents(const Contents& contents) override { contents_ = contents; }

private:
    Contents contents_;
};

// The clipboard controls use unless they are given another: a process-wide
// MemoryClipboard until the application installs the system's.
ClipboardPort& DefaultClipboard();
void SetDefaultClipboard(ClipboardPort* clipboard);

} // namespace qorvi
