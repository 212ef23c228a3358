#pragma once

// The system clipboard as the editor control's clipboard port. CF_TEXT is
// text/plain: the control's Windows-1252 text with CR LF becomes Unicode
// with LF line breaks toward other programs, and what comes back may break
// lines any way. "Rich Text Format" and "HTML Format" travel as the bytes
// of text/rtf and text/html.

#include "platform/clipboard_port.h"

namespace qorvi {

class QtClipboard : public ClipboardPort {
public:
    bool hasFormat(ClipFormat format) const override;
    std::optional<std::string> data(ClipFormat format) const override;
    void setContents(const Contents& contents) override;
};

// One for the process; the application installs it as the controls'
// default clipboard.
QtClipboard& systemClipboard();

} // namespace qorvi
