// Printing to a PDF file through the Qt printer port, offscreen: the job
// has as many pages as the text needs, and a one-line text one page.

#include "gui/editor_widget.h"
#include "gui/qt_printer_port.h"
#include "tests/gui/test_application.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <QPrinter>
#include <gtest/gtest.h>
#include <regex>

using namespace qorvi;

namespace {

int pdfPages(const std::string& pdf) {
    static const std::regex page("/Type\\s*/Page[^s]");
    return static_cast<int>(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()));
}

} // namespace

TEST(PrintPdf, PagesFollowTheText) {
    test::app();
    test::TempDir dir;
    EditorWidget widget;
    std::string text;
    for (int i = 1; i <= 300; ++i)
        text += "line " + std::to_string(i) + "\r";
    widget.control().SetText(text);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.path() + "/long.pdf"));
    QtPrinterPort port(printer);
    widget.control().Print(port);
    const std::string pdf = test::readFile(dir.path() + "/long.pdf");
    ASSERT_EQ(pdf.substr(0, 4), "%PDF");
    const int pages = pdfPages(pdf);
    EXPECT_GT(pages, 3) << "300 lines do not fit a few pages";
    EXPECT_LT(pages, 30);

    widget.control().SetText("one line\r");
    printer.setOutputFileName(QString::fromStdString(dir.path() + "/short.pdf"));
    widget.control().Print(port);
    EXPECT_EQ(pdfPages(test::readFile(dir.path() + "/short.pdf")), 1);
}
