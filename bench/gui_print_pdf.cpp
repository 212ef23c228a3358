// Printing a long document to PDF through the Qt printer port, as the Print
// command does: pages per second and the process's peak memory. Runs on
// the offscreen platform (no display needed).

#include "bench/bench_support.h"
#include "gui/editor_widget.h"
#include "gui/qt_printer_port.h"

#include <QApplication>
#include <QPrinter>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace qorvi {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "bench_gui";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

// The port as the main window uses it, counting the pages it finished.
class CountingPort : public QtPrinterPort {
public:
    using QtPrinterPort::QtPrinterPort;
    bool pageFinished(int done) override {
        pages = done;
        return QtPrinterPort::pageFinished(done);
    }
    int pages = 0;
};

std::string numberedLines(std::size_t count) {
    std::string text;
    for (std::size_t i = 1; i <= count; ++i)
        text += "    int value" + std::to_string(i) + " = compute(value" + std::to_string(i) + ", table[i]);\r";
    return text;
}

void BM_PrintPdf1000Pages(benchmark::State& state) {
    application();
    const int wanted = bench::smokeRun() ? 3 : 1000;
    EditorWidget widget;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const std::string pdf = bench::writeTempFile("", ".pdf");
    printer.setOutputFileName(QString::fromStdString(pdf));
    CountingPort port(printer);
    // Lines per page as this printer lays them out.
    widget.control().SetText(numberedLines(400));
    widget.control().Print(port);
    const std::size_t perPage = 400 / static_cast<std::size_t>(port.pages + 1);
    widget.control().SetText(numberedLines(perPage * static_cast<std::size_t>(wanted)));
    for (auto _ : state) {
        widget.control().Print(port);
        benchmark::DoNotOptimize(port.pages);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["pages"] = port.pages + 1;
    state.counters["pages_per_s"] =
        benchmark::Counter(static_cast<double>(port.pages + 1) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_PrintPdf1000Pages)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace qorvi
