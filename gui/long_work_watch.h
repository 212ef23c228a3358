#pragma once

// Keeps the window responsive while a search or a long edit runs on the
// event loop's thread: after 100 ms the busy cursor shows, and from then
// on each ask lets paint events through and watches for Escape, which
// cancels the work. Other input is swallowed meanwhile (a click or a key
// must not edit the text being searched), and timers and sockets wait, so
// nothing else changes a document under the search. Closing a window
// meanwhile cancels the work, and the window closes once it has ended.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace qorvi {

class LongWorkWatch : public QObject {
public:
    static LongWorkWatch& instance();

    // Calls nest; the outermost begin starts the clock and clears a
    // cancellation left from before.
    void begin();
    void end();
    // True once Escape was pressed in the work running now, or - when none
    // runs - in the last one.
    bool cancelled();

    // While a box asks the user something in the middle of the work, input
    // goes to the box as usual and the normal cursor shows.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        bool wasBusy_;
    };

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    LongWorkWatch() = default;
    void showBusy();

    int depth_ = 0;
    bool cancelled_ = false;
    bool busyShown_ = false;
    QPointer<QWidget> closeAfter_;
    QElapsedTimer clock_;
    qint64 lastPump_ = 0;
};

} // namespace qorvi
