#include "gui/editor_widget.h"

#include "editor/text/line_break_writer.h"
#include "gui/control_search_dialog.h"
#include "gui/guarded.h"
#include "gui/long_work_watch.h"
#include "gui/mime_drop_data.h"
#include "gui/qt_shell_ui.h"
#include "gui/template_pick_list.h"
#include "platform/qorvi_error.h"
#include "platform/qt/key_codes.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_clipboard.h"
#include "platform/qt/text_convert.h"

#include <QApplication>
#include <QCursor>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>
#include <exception>

namespace qorvi {
namespace {

constexpr int kAutoScrollInterval = 50;

TShiftState shiftOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
    TShiftState shift = 0;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

MouseButton buttonOf(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return MouseButton::Left;
    case Qt::RightButton:
        return MouseButton::Right;
    case Qt::MiddleButton:
        return MouseButton::Middle;
    default:
        return MouseButton::None;
    }
}

} // namespace

EditorWidget::EditorWidget(QWidget* parent)
    : QAbstractScrollArea(parent), core_(std::make_unique<TRudivoVoru>()) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    // The first editor puts the system clipboard behind every control.
    static const bool clipboardInstalled = [] {
        SetDefaultClipboard(&systemClipboard());
        return true;
    }();
    (void)clipboardInstalled;
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    measure_ = std::make_unique<QtCanvas>(viewport());
    measure_->setPalette(palette());
    idleTimer_.setInterval(0);
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        guarded([this] {
            if (!core_->IdleWork())
                idleTimer_.stop();
        });
    });
    autoScrollTimer_.setInterval(kAutoScrollInterval);
    connect(&autoScrollTimer_, &QTimer::timeout, this, [this] {
        guarded([this] {
            const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
            const bool held = QGuiApplication::mouseButtons() & Qt::LeftButton;
            if (!core_->AutoScrollStep(at.x(), at.y(), held))
                autoScrollTimer_.stop();
        });
    });
    blinkTimer_.setInterval(QApplication::cursorFlashTime() > 0 ? QApplication::cursorFlashTime() / 2 : 500);
    connect(&blinkTimer_, &QTimer::timeout, this, [this] {
        caretBlinkOn_ = !caretBlinkOn_;
        if (caretShown_)
            viewport()->update(caret_);
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        guarded([&] { core_->perform(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, value)); });
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        guarded([&] { core_->perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, value)); });
    });
    guarded([this] {
        core_->SetHost(this);
        core_->ViewResize(viewport()->width(), viewport()->height());
    });
}

EditorWidget::~EditorWidget() {
    idleTimer_.stop();
    autoScrollTimer_.stop();
    // A pick list still open loses its focus as the children go; by then
    // there is no editor left to report to.
    if (pickList_) {
        pickList_->onKey = nullptr;
        pickList_->onChosen = nullptr;
        pickList_->onClosed = nullptr;
    }
    core_->SetHost(nullptr);
    core_.reset();
}

void EditorWidget::setTabStop(bool on) {
    core_->TabStop = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
}

void EditorWidget::setUserGlyphs(std::vector<QImage> glyphs) {
    userGlyphs_ = std::move(glyphs);
    guarded([this] { core_->SetUserGlyphs(static_cast<int>(userGlyphs_.size())); });
}

template <class F> void EditorWidget::guarded(F&& action) {
    qorvi::guarded(action, [this](const std::string& text) { showFailure(QString::fromStdString(text)); });
}

void EditorWidget::showFailure(const QString& text) {
    // Shown once the event that failed is over (never from inside a paint).
    QTimer::singleShot(0, this, [this, text] {
        if (ui_) {
            ui_->showError(text.toStdString());
        } else {
            QtShellUi box(this);
            box.showError(text.toStdString());
        }
    });
}

// ---------------------------------------------------------------- events

void EditorWidget::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    guarded([&] {
        QtCanvas canvas(painter);
        canvas.setPalette(palette());
        if (!userGlyphs_.empty())
            canvas.setUserGlyphs(&userGlyphs_);
        core_->PaintTo(canvas, {dirty.left(), dirty.top(), dirty.right() + 1, dirty.bottom() + 1});
    });
    if (caretShown_ && caretBlinkOn_ && caret_.intersects(dirty)) {
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(caret_, Qt::white);
    }
}

void EditorWidget::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    guarded([this] { core_->ViewResize(viewport()->width(), viewport()->height()); });
}

void EditorWidget::scrollContentsBy(int, int) {
    // The core scrolls through the scroll bars' signals and repaints itself.
}

void EditorWidget::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    // Turning towards the user scrolls down; notches of 120 are the
    // system's lines each.
    wheelRemainder_ += delta.y();
    const int notches = wheelRemainder_ / 120;
    wheelRemainder_ -= notches * 120;
    const int lines = -notches * QApplication::wheelScrollLines();
    const int columns = -delta.x() / 120 * 3;
    if (lines == 0 && columns == 0) {
        event->accept();
        return;
    }
    const QPointF at = event->position();
    guarded([&] {
        core_->ViewWheel({static_cast<int>(at.x()), static_cast<int>(at.y()), lines, columns,
                          shiftOf(event->modifiers(), event->buttons())});
    });
    event->accept();
}

void EditorWidget::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    guarded([this] { core_->ViewFocus(true); });
}

void EditorWidget::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    guarded([this] { core_->ViewFocus(false); });
}

MouseInput EditorWidget::mouseInput(const QMouseEvent* event) const {
    const QPointF at = event->position();
    return {static_cast<int>(at.x()), static_cast<int>(at.y()), buttonOf(event->button()),
            shiftOf(event->modifiers(), event->buttons()), static_cast<std::int64_t>(event->timestamp())};
}

void EditorWidget::mousePressEvent(QMouseEvent* event) {
    guarded([&] { core_->MouseDown(mouseInput(event)); });
}

void EditorWidget::mouseMoveEvent(QMouseEvent* event) {
    guarded([&] { core_->MouseMove(mouseInput(event)); });
}

void EditorWidget::mouseReleaseEvent(QMouseEvent* event) {
    autoScrollTimer_.stop();
    guarded([&] { core_->MouseUp(mouseInput(event)); });
}

void EditorWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    // The core counts its own clicks by their times.
    guarded([&] { core_->MouseDown(mouseInput(event)); });
}

bool EditorWidget::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        const std::uint16_t key = virtualKeyFromQt(keyEvent->key());
        bool wanted = false;
        guarded([&] { wanted = key != 0 && core_->KeyWanted(key, shiftStateFromQt(keyEvent->modifiers())); });
        if (wanted) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void EditorWidget::keyPressEvent(QKeyEvent* event) {
    // An editor that does not want Return leaves it to its dialog's default
    // button; Ctrl+Return types the line feed that still breaks the line.
    const bool returnKey = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (returnKey && !core_->WantReturns) {
        if (!(event->modifiers() & Qt::ControlModifier)) {
            event->ignore();
            return;
        }
        guarded([&] {
            if (!core_->KeyDown(VK_RETURN, shiftStateFromQt(event->modifiers())))
                core_->KeyPress('\n');
            core_->KeyUp();
        });
        event->accept();
        return;
    }
    const std::uint16_t key = virtualKeyFromQt(event->key());
    const TShiftState shift = shiftStateFromQt(event->modifiers());
    const std::string typed = event->text().toStdString();
    guarded([&] {
        const bool consumed = key != 0 && core_->KeyDown(key, shift);
        if (!consumed)
            core_->KeyPressText(typed);
        core_->KeyUp();
    });
    event->accept();
}

void EditorWidget::keyReleaseEvent(QKeyEvent* event) {
    guarded([&] { core_->KeyUp(); });
    event->accept();
}

void EditorWidget::inputMethodEvent(QInputMethodEvent* event) {
    const std::string typed = event->commitString().toStdString();
    guarded([&] {
        core_->KeyUp();
        core_->KeyPressText(typed);
    });
    event->accept();
}

QVariant EditorWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImCursorRectangle)
        return caret_;
    if (query == Qt::ImEnabled)
        return true;
    return QAbstractScrollArea::inputMethodQuery(query);
}

bool EditorWidget::focusNextPrevChild(bool next) {
    // Tab is the editor's own key when it wants it.
    if (core_->WantTab)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

// ---------------------------------------------------------------- the core's window

Canvas& EditorWidget::measureCanvas() {
    return *measure_;
}

void EditorWidget::invalidateRect(const CanvasRect& rect) {
    viewport()->update(QRect(rect.left, rect.top, rect.width(), rect.height()));
}

void EditorWidget::setScrollBar(ScrollBarKind bar, int min, int max, int page, int position) {
    QScrollBar* scrollBar = bar == ScrollBarKind::Vertical ? verticalScrollBar() : horizontalScrollBar();
    // The core's values are a range with a page; Qt's maximum is the last
    // position the page may start at.
    const int last = page > 0 ? std::max(min, max - page + 1) : max;
    const QSignalBlocker blocker(scrollBar);
    scrollBar->setRange(min, last);
    scrollBar->setPageStep(std::max(1, page));
    scrollBar->setValue(position);
}

int EditorWidget::scrollBarExtent() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void EditorWidget::showCaret(const CanvasRect& rect) {
    const QRect next(rect.left, rect.top, rect.width(), rect.height());
    if (caretShown_ && next == caret_)
        return;
    if (caretShown_)
        viewport()->update(caret_);
    caret_ = next;
    caretShown_ = true;
    caretBlinkOn_ = true;
    blinkTimer_.start();
    viewport()->update(caret_);
}

void EditorWidget::hideCaret() {
    if (!caretShown_)
        return;
    caretShown_ = false;
    blinkTimer_.stop();
    viewport()->update(caret_);
}

void EditorWidget::scheduleIdle() {
    if (!idleTimer_.isActive())
        idleTimer_.start();
}

void EditorWidget::startAutoScroll() {
    if (!autoScrollTimer_.isActive())
        autoScrollTimer_.start();
}

void EditorWidget::beep() {
    QApplication::beep();
}

std::int64_t EditorWidget::doubleClickTime() const {
    return QApplication::doubleClickInterval();
}

void EditorWidget::setPointerShape(PointerShape shape) {
    switch (shape) {
    case PointerShape::Text:
        viewport()->setCursor(Qt::IBeamCursor);
        break;
    case PointerShape::Hyperlink:
        viewport()->setCursor(Qt::PointingHandCursor);
        break;
    case PointerShape::ColumnSizing:
        viewport()->setCursor(Qt::SizeHorCursor);
        break;
    }
}

TemplatePickList* EditorWidget::pickList() const {
    return pickList_ && pickList_->active() ? pickList_ : nullptr;
}

void EditorWidget::showPickList(const std::vector<std::string>& items, int selected,
                                const CanvasRect& caret) {
    if (!pickList_) {
        pickList_ = new TemplatePickList(viewport());
        pickList_->onKey = [this](char c) {
            int row = -1;
            guarded([&] { row = core_->PickListKey(c); });
            return row;
        };
        pickList_->onChosen = [this](int row) {
            setFocus(Qt::OtherFocusReason);
            guarded([&] { core_->PickListChosen(row); });
        };
        pickList_->onClosed = [this] {
            setFocus(Qt::OtherFocusReason);
            guarded([&] { core_->PickListClosed(); });
        };
    }
    pickList_->showItems(items, selected, QRect(caret.left, caret.top, caret.width(), caret.height()));
}

void EditorWidget::hidePickList() {
    if (!pickList_ || !pickList_->active())
        return;
    const bool hadFocus = pickList_->hasFocus();
    pickList_->dismiss();
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

void EditorWidget::showMessage(const std::string& text) {
    QtShellUi(this).showInformation(text);
}

void EditorWidget::setBusy(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void EditorWidget::openSearchDialog(bool replace, const std::string& findText, const std::string& replaceText,
                                    std::int32_t flags) {
    if (!searchDialog_)
        searchDialog_ = new ControlSearchDialog(*core_, this);
    searchDialog_->showMode(replace, QString::fromStdString(core_->DecodeFromDocument(findText)),
                            QString::fromStdString(core_->DecodeFromDocument(replaceText)), flags);
}

ReplaceAnswer EditorWidget::askReplace(const std::string& question, const CanvasRect& near) {
    QtShellUi ui(searchDialog_ && searchDialog_->isVisible() ? static_cast<QWidget*>(searchDialog_) : this);
    // Below the match, so that the box does not hide it.
    ui.placeNear(viewport()->mapToGlobal(QPoint(near.left, near.bottom + 4)));
    switch (ui.messageBox(question, "Confirm", MsgIcon::Question, MsgButtons::YesNoCancelAll)) {
    case MsgResult::Yes: return ReplaceAnswer::Yes;
    case MsgResult::No: return ReplaceAnswer::No;
    case MsgResult::All: return ReplaceAnswer::All;
    default: return ReplaceAnswer::Cancel;
    }
}

void EditorWidget::beginLongSearch() {
    LongWorkWatch::instance().begin();
}

bool EditorWidget::searchCancelled() {
    return LongWorkWatch::instance().cancelled();
}

void EditorWidget::endLongSearch() {
    LongWorkWatch::instance().end();
}

// ---------------------------------------------------------------- drag and drop

namespace {

// The control chooses copy with Ctrl held, else move; a drag that allows
// only one of them gets that one.
int keyStateOf(const QDropEvent* event) {
    const Qt::DropActions possible = event->possibleActions();
    bool copy = event->modifiers() & Qt::ControlModifier;
    if (!(possible & Qt::MoveAction))
        copy = true;
    else if (!(possible & Qt::CopyAction))
        copy = false;
    return copy ? MK_CONTROL : 0;
}

Qt::DropAction actionOf(int effect) {
    return effect == deCopy ? Qt::CopyAction : effect == deMove ? Qt::MoveAction : Qt::IgnoreAction;
}

void answer(QDropEvent* event, int effect) {
    if (effect == deNone) {
        event->ignore();
        return;
    }
    event->setDropAction(actionOf(effect));
    event->accept();
}

} // namespace

void EditorWidget::dragEnterEvent(QDragEnterEvent* event) {
    dragData_ = std::make_unique<MimeDropData>(*event->mimeData(), event->source());
    int effect = deNone;
    const QPoint at = event->position().toPoint();
    guarded([&] { core_->DropTarget().DragEnter(*dragData_, keyStateOf(event), at.x(), at.y(), effect); });
    answer(event, effect);
}

void EditorWidget::dragMoveEvent(QDragMoveEvent* event) {
    int effect = deNone;
    const QPoint at = event->position().toPoint();
    guarded([&] { core_->DropTarget().DragOver(keyStateOf(event), at.x(), at.y(), effect); });
    answer(event, effect);
}

void EditorWidget::dragLeaveEvent(QDragLeaveEvent* event) {
    guarded([&] { core_->DropTarget().DragLeave(); });
    dragData_.reset();
    event->accept();
}

void EditorWidget::dropEvent(QDropEvent* event) {
    MimeDropData data(*event->mimeData(), event->source());
    int effect = deNone;
    const QPoint at = event->position().toPoint();
    guarded([&] { core_->DropTarget().Drop(&data, keyStateOf(event), at.x(), at.y(), effect); });
    dragData_.reset();
    answer(event, effect);
}

int EditorWidget::startTextDrag(const DropData& data, int allowedEffects) {
    const std::vector<std::string> text = data.read(stText);
    auto* mime = new QMimeData;
    mime->setText(QString::fromStdString(withLineBreaks(text.empty() ? std::string() : text.front(), LineBreakStyle::LF)));
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    Qt::DropActions actions = Qt::IgnoreAction;
    if (allowedEffects & deCopy)
        actions |= Qt::CopyAction;
    if (allowedEffects & deMove)
        actions |= Qt::MoveAction;
    const Qt::DropAction done = drag->exec(actions, (allowedEffects & deMove) ? Qt::MoveAction : Qt::CopyAction);
    return done == Qt::CopyAction ? deCopy : done == Qt::MoveAction ? deMove : deNone;
}

} // namespace qorvi
