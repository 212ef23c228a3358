#pragma once

// What a document window's logic needs around it: the window that shows it
// (`DocumentView`) and the main window it reports to (`DocumentHost`). The
// main window hears from its document windows through synchronous calls
// with the message numbers of the window system the program was designed
// for.

#include <cstdint>
#include <string>
#include <vector>

namespace qorvi {

class DocumentWindow;
class SettingValues;

// Sent by a document window to the main window.
constexpr std::uint32_t kRecountMessage = 1225;     // wParam: windows to leave out (1 while closing)
constexpr std::uint32_t kSelectTabMessage = 1226;   // wParam: document id
constexpr std::uint32_t kDocumentTabMessage = 1228; // wParam: document id; lParam: new name, or 0 to delete

class DocumentView {
public:
    virtual ~DocumentView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    // The window's status bar: 0 caret position, 1 "Modified".
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual bool isShown() const = 0;
    virtual bool isMaximised() const = 0;
    // Check marks of the context menu's "Read Only" and "Watch File".
    virtual void setReadOnlyChecked(bool checked) = 0;
    virtual void setWatchChecked(bool checked) = 0;
};

class DocumentHost {
public:
    virtual ~DocumentHost() = default;
    // A notification message; lParam of 1228 is a zero-terminated name.
    virtual std::intptr_t sendMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Lines kept in watch mode ("NumLinesInWatch").
    virtual std::int32_t watchLineCount() const = 0;
    virtual SettingValues& settings() = 0;
    // Saves a document that came from an FTP site back to it.
    virtual bool saveRemoteDocument(DocumentWindow& window) = 0;
    // Watch mode went on or off, from whichever menu: the main window's
    // "&Watch File" check mark follows the active document.
    virtual void watchChanged(DocumentWindow& /*window*/) {}
    // A document was written to the local file `path` (the explorer's list
    // may show it, or show it changed).
    virtual void documentSaved(const std::string& /*path*/) {}
    // Files dropped on a document's text: opened like files dropped on the
    // main window.
    virtual void filesDropped(const std::vector<std::string>& /*names*/) {}
};

} // namespace qorvi
