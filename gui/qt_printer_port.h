#pragma once

// The editor control's printer port on a QPrinter: paper through the
// system's print service, or a PDF file. Each job paints its pages with a
// QtCanvas on the printer's device.

#include "editor/control/printer_port.h"

#include <QElapsedTimer>
#include <QPainter>
#include <memory>

class QPrinter;
class QProgressDialog;
class QWidget;

namespace qorvi {

class QtCanvas;

class QtPrinterPort : public PrinterPort {
public:
    explicit QtPrinterPort(QPrinter& printer);
    ~QtPrinterPort() override;

    Canvas& beginDocument(const std::string& title) override;
    void newPage() override;
    void endDocument() override;
    CanvasRect pageRect() const override;
    Canvas* currentCanvas() override;
    // Shows the pages printed so far in a progress dialog with Cancel
    // (from the first page on, parented to `progressParent`); false once
    // the user cancelled, and the job is then abandoned.
    bool pageFinished(int pagesDone) override;
    void setProgressParent(QWidget* parent) { progressParent_ = parent; }
    bool cancelled() const { return cancelled_; }

private:
    QPrinter& printer_;
    QWidget* progressParent_ = nullptr;
    std::unique_ptr<QProgressDialog> progress_;
    bool cancelled_ = false;
    QElapsedTimer started_;
    QPainter painter_;
    std::unique_ptr<QtCanvas> canvas_;
};

} // namespace qorvi
