#pragma once

// The editor control as a widget: a QAbstractScrollArea whose viewport
// shows the control's core (TRudivoVoru). The widget only forwards what
// happens to it - paint, size, scroll bars, wheel, focus, mouse, keys (as
// virtual-key codes with the typed characters in Windows-1252) and input
// method text - and draws with a QtCanvas; every decision is the core's. It
// is the core's window (ControlHost): repaint requests, scroll-bar
// settings, the caret, idle styling (a zero-interval timer), auto-scrolling
// while a drag leaves the text, the pointer's shape, the beep and the
// template pick list come back to it; dragged data goes to the control's
// drop target, and the control's selection is dragged out through QDrag. The system clipboard becomes the
// controls' clipboard with the first widget. No exception leaves an event
// handler: failures are shown through the ShellUi.

#include "editor/control/control_host.h"
#include "editor/control/rudivo_voru.h"

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>
#include <memory>
#include <vector>

namespace qorvi {

class ControlSearchDialog;
class MimeDropData;
class QtCanvas;
class ShellUi;
class TemplatePickList;

class EditorWidget : public QAbstractScrollArea, private ControlHost {
    Q_OBJECT
public:
    explicit EditorWidget(QWidget* parent = nullptr);
    ~EditorWidget() override;

    TRudivoVoru& control() { return *core_; }
    const TRudivoVoru& control() const { return *core_; }

    // Where failures inside event handlers are shown (default: a message
    // box parented to this widget).
    void setShellUi(ShellUi* ui) { ui_ = ui; }
    // The application's UserGlyphs images.
    void setUserGlyphs(std::vector<QImage> glyphs);

    // The control takes the focus, typed characters and the mouse only with
    // a tab stop (the default).
    void setTabStop(bool on);

    // True while idle styling is scheduled.
    bool idleStylingPending() const { return idleTimer_.isActive(); }
    // The template pick list while it is shown, else null.
    TemplatePickList* pickList() const;
    // The control's own find/replace dialog once it was opened, else null.
    ControlSearchDialog* searchDialog() const { return searchDialog_; }

protected:
    // Keys the editor's key map binds (and the second key of a chord) are
    // claimed before the application's menu shortcuts see them.
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // ControlHost
    Canvas& measureCanvas() override;
    void invalidateRect(const CanvasRect& rect) override;
    void setScrollBar(ScrollBarKind bar, int min, int max, int page, int position) override;
    int scrollBarExtent() const override;
    void showCaret(const CanvasRect& rect) override;
    void hideCaret() override;
    void scheduleIdle() override;
    void startAutoScroll() override;
    void beep() override;
    std::int64_t doubleClickTime() const override;
    void setPointerShape(PointerShape shape) override;
    void showPickList(const std::vector<std::string>& items, int selected, const CanvasRect& caret) override;
    void hidePickList() override;
    void showMessage(const std::string& text) override;
    void setBusy(bool busy) override;
    void openSearchDialog(bool replace, const std::string& findText, const std::string& replaceText,
                          std::int32_t flags) override;
    ReplaceAnswer askReplace(const std::string& question, const CanvasRect& near) override;
    void beginLongSearch() override;
    bool searchCancelled() override;
    void endLongSearch() override;
    int startTextDrag(const DropData& data, int allowedEffects) override;
    void takeFocus() override { setFocus(); }

    template <class F> void guarded(F&& action);
    void showFailure(const QString& text);
    MouseInput mouseInput(const QMouseEvent* event) const;

    std::unique_ptr<TRudivoVoru> core_;
    TemplatePickList* pickList_ = nullptr; // a child, made on first use
    ControlSearchDialog* searchDialog_ = nullptr; // a child, made on first use
    std::unique_ptr<QtCanvas> measure_;
    std::unique_ptr<MimeDropData> dragData_; // the data being dragged over the control
    std::vector<QImage> userGlyphs_;
    ShellUi* ui_ = nullptr;
    QTimer idleTimer_;
    QTimer autoScrollTimer_;
    QTimer blinkTimer_;
    QRect caret_;
    bool caretShown_ = false;
    bool caretBlinkOn_ = true;
    int wheelRemainder_ = 0;
};

} // namespace qorvi
