#pragma once

// The editor control's printer port on a QPrinter: paper through the
// system's print service, or a PDF file. Each job paints its pages with a
// QtCanvas on the printer's device.

#include "editor/control/printer_port.h"

#include <QPainter>
#include <memory>

class QPrinter;

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

private:
    QPrinter& printer_;
    QPainter painter_;
    std::unique_ptr<QtCanvas> canvas_;
};

} // namespace qorvi
