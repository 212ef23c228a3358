#include "platform/qt/qt_pump.h"

#include <QCoreApplication>

namespace qorvi {

void QtPump::pump() { QCoreApplication::processEvents(QEventLoop::AllEvents, 10); }

} // namespace qorvi
