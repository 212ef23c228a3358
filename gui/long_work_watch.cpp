#include "gui/long_work_watch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

namespace qorvi {
namespace {

constexpr qint64 kBusyAfterMs = 100;
constexpr qint64 kPumpEveryMs = 25;

} // namespace

LongWorkWatch& LongWorkWatch::instance() {
    static LongWorkWatch watch;
    return watch;
}

void LongWorkWatch::begin() {
    if (depth_++ > 0)
        return;
    cancelled_ = false;
    busyShown_ = false;
    clock_.start();
    lastPump_ = 0;
}

void LongWorkWatch::end() {
    if (depth_ == 0 || --depth_ > 0)
        return;
    if (busyShown_) {
        qApp->removeEventFilter(this);
        QApplication::restoreOverrideCursor();
        busyShown_ = false;
    }
    // The close that cancelled the work goes ahead now, from the event loop.
    if (QWidget* window = closeAfter_) {
        closeAfter_ = nullptr;
        QTimer::singleShot(0, window, [window] { window->close(); });
    }
}

void LongWorkWatch::showBusy() {
    busyShown_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    qApp->installEventFilter(this);
}

LongWorkWatch::Pause::Pause() : wasBusy_(instance().busyShown_) {
    if (wasBusy_)
        qApp->removeEventFilter(&instance());
}

LongWorkWatch::Pause::~Pause() {
    LongWorkWatch& watch = instance();
    if (wasBusy_ && watch.busyShown_)
        qApp->installEventFilter(&watch);
}

bool LongWorkWatch::cancelled() {
    if (depth_ == 0 || cancelled_ || !qApp)
        return cancelled_;
    const qint64 now = clock_.elapsed();
    if (now < kBusyAfterMs || now - lastPump_ < kPumpEveryMs)
        return false;
    if (!busyShown_)
        showBusy();
    lastPump_ = now;
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers);
    return cancelled_;
}

bool LongWorkWatch::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            cancelled_ = true;
        return true;
    case QEvent::Close:
        // The user closing a window (not a tool tip or popup going).
        if (auto* widget = qobject_cast<QWidget*>(watched);
            widget && widget->isWindow() && (event->spontaneous() || widget->inherits("QMainWindow"))) {
            cancelled_ = true;
            closeAfter_ = widget;
        }
        event->ignore();
        return true;
    case QEvent::Timer:
    case QEvent::Shortcut:
    case QEvent::ShortcutOverride:
    case QEvent::ContextMenu:
    case QEvent::Drop:
    case QEvent::DragEnter:
    case QEvent::DragMove:
        return true;
    default:
        return event->isInputEvent() || QObject::eventFilter(watched, event);
    }
}

} // namespace qorvi
