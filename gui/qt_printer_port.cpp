#include "gui/qt_printer_port.h"

#include "platform/qorvi_error.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/text_convert.h"

#include <QPrinter>

namespace qorvi {

QtPrinterPort::QtPrinterPort(QPrinter& printer) : printer_(printer) {}

QtPrinterPort::~QtPrinterPort() {
    if (painter_.isActive())
        painter_.end();
}

Canvas& QtPrinterPort::beginDocument(const std::string& title) {
    printer_.setDocName(toQString(title));
    if (!painter_.begin(&printer_))
        throw QorviError("The printer could not start the job");
    canvas_ = std::make_unique<QtCanvas>(painter_);
    return *canvas_;
}

void QtPrinterPort::newPage() {
    if (!printer_.newPage())
        throw QorviError("The printer could not start a new page");
}

void QtPrinterPort::endDocument() {
    canvas_.reset();
    if (painter_.isActive())
        painter_.end();
}

CanvasRect QtPrinterPort::pageRect() const {
    // Painting starts at the printable area's corner.
    const QRectF page = printer_.pageRect(QPrinter::DevicePixel);
    return {0, 0, static_cast<int>(page.width()), static_cast<int>(page.height())};
}

} // namespace qorvi
