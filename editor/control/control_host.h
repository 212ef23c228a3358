#pragma once

// What the editor control's core needs from the window that shows it: a
// canvas to measure fonts on, repaint requests, the scroll bars, the caret,
// idle time for styling the rest of the text, and the pointer while a drag
// scrolls. The Qt widget implements it; tests use a recording host.

#include "platform/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorvi {

enum class ScrollBarKind { Horizontal, Vertical };

// The pointer over the control: text, a hyperlink, or the right-margin or
// wrap-column line that can be dragged sideways.
enum class PointerShape { Text, Hyperlink, ColumnSizing };

class PrinterPort;
class DropData;

enum class ReplaceAnswer { Yes, No, Cancel, All };

class ControlHost {
public:
    virtual ~ControlHost() = default;

    // The canvas fonts are measured on (the screen's resolution).
    virtual Canvas& measureCanvas() = 0;
    // Asks for a paint of part of the client area; the window calls the
    // core's paint entry for it later.
    virtual void invalidateRect(const CanvasRect& rect) = 0;
    // Range, page and position of a scroll bar; a bar whose range fits in
    // its page cannot scroll.
    virtual void setScrollBar(ScrollBarKind bar, int min, int max, int page, int position) = 0;
    // Width of a vertical scroll bar, for the window-edge wrap width.
    virtual int scrollBarExtent() const { return 0; }
    // The caret: shown as a rectangle in client coordinates, or hidden.
    virtual void showCaret(const CanvasRect& rect) = 0;
    virtual void hideCaret() = 0;
    // The core has styling left to do: call its idle entry repeatedly from
    // the event loop (zero-interval timer) until it reports nothing left.
    virtual void scheduleIdle() = 0;
    // While the left button drags outside the text: call the core's
    // auto-scroll step at intervals until it reports the drag is over.
    virtual void startAutoScroll() {}
    // The system's warning sound (a damaged undo history).
    virtual void beep() {}
    // Milliseconds within which presses count as one double click.
    virtual std::int64_t doubleClickTime() const { return 500; }
    virtual void setPointerShape(PointerShape) {}
    // The template pick list: `items` ("description TAB name") under the
    // caret rectangle with `selected` chosen and the focus in it; it reports
    // back through the core's PickListKey, PickListChosen, PickListClosed.
    virtual void showPickList(const std::vector<std::string>& /*items*/, int /*selected*/,
                              const CanvasRect& /*caret*/) {}
    virtual void hidePickList() {}
    // A message box over the control (search results, pattern errors).
    virtual void showMessage(const std::string& /*text*/) {}
    // The busy cursor while a long operation runs.
    virtual void setBusy(bool /*busy*/) {}
    // The find or replace dialog of this control, with its starting text
    // and options (kFind* flags); its requests come back through the core's
    // DialogFindNext and DialogReplace.
    virtual void openSearchDialog(bool /*replace*/, const std::string& /*findText*/,
                                  const std::string& /*replaceText*/, std::int32_t /*flags*/) {}
    // The replace dialog's question about one match (`question` names it
    // and its replacement), placed near `near`; without a host's answer
    // nothing is replaced.
    virtual ReplaceAnswer askReplace(const std::string& /*question*/, const CanvasRect& /*near*/) {
        return ReplaceAnswer::Cancel;
    }
    // A search that may take long runs between these: past a short while
    // the host shows the busy cursor and lets the user cancel (Escape);
    // searchCancelled() is asked often and must be cheap. Calls nest.
    // Runs the window system's drag loop for `data` (a drag started in the
    // control) allowing `allowedEffects` (deCopy, deMove); the effect the
    // drop ended with, deNone when it was cancelled; -1 when the window
    // cannot drag (a press in the selection then selects).
    virtual int startTextDrag(const DropData& /*data*/, int /*allowedEffects*/) { return -1; }
    // The control takes the keyboard focus.
    virtual void takeFocus() {}
    // The printer caPRINTSEL prints to (none: the command does nothing).
    virtual PrinterPort* printer() { return nullptr; }
    virtual void beginLongSearch() {}
    virtual bool searchCancelled() { return false; }
    virtual void endLongSearch() {}
};

} // namespace qorvi
