#include "gui/qt_printer_port.h"

#include "platform/qorvi_error.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/text_convert.h"

#include <QCoreApplication>
#include <QPrinter>
#include <QProgressDialog>

namespace qorvi {

QtPrinterPort::QtPrinterPort(QPrinter& printer) : printer_(printer) {}

QtPrinterPort::~QtPrinterPort() {
    if (painter_.isActive())
        painter_.end();
}

Canvas& QtPrinterPort::beginDocument(const std::string& title) {
    cancelled_ = false;
    started_.start();
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

Canvas* QtPrinterPort::currentCanvas() {
    return canvas_.get();
}

bool QtPrinterPort::pageFinished(int pagesDone) {
    if (!progress_) {
        progress_ = std::make_unique<QProgressDialog>(progressParent_);
        progress_->setWindowTitle(QStringLiteral("Print"));
        progress_->setCancelButtonText(QStringLiteral("Cancel"));
        progress_->setRange(0, 0); // the page count is known only at the end
        progress_->setAutoReset(false);
        progress_->setAutoClose(false);
        progress_->setWindowModality(Qt::WindowModal);
    }
    progress_->setLabelText(QStringLiteral("Printing page %1...").arg(pagesDone + 1));
    // Short jobs finish before a dialog would be worth showing.
    if (!progress_->isVisible() && started_.elapsed() >= 300)
        progress_->show();
    QCoreApplication::processEvents();
    cancelled_ = progress_->wasCanceled();
    return !cancelled_;
}

void QtPrinterPort::endDocument() {
    progress_.reset();
    if (cancelled_ && painter_.isActive())
        printer_.abort();
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
