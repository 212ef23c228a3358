// Opening a 100 MB C++ file through the main window's open-document
// operation - a document window over the real editor control, the C++
// parser from the built-in image, the text loaded - until the document is
// editable: a character typed at the top and the first screen coloured.
// BM_WcLinesSameFile reads the same file with `wc -l` for comparison.

#include "app/control_document_editor.h"
#include "app/document_host.h"
#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/shell_timer.h"
#include "app/type_selection.h"
#include "bench/bench_support.h"
#include "bench/headless_shell.h"
#include "editor/control/rudivo_voru.h"
#include "platform/hive.h"
#include "platform/shell_ui.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace qorvi {
namespace {

using bench::Shell;

// QORVI_BENCH_FILE names a real file to open instead (the comparison
// script passes concatenated system headers).
const std::string& bigCppFile() {
    static const std::string path = [] {
        const char* given = std::getenv("QORVI_BENCH_FILE");
        if (given && *given)
            return std::string(given);
        return bench::writeTempFile(bench::makeCppText(bench::scaled(100u << 20)), ".cpp");
    }();
    return path;
}

void BM_OpenDocument(benchmark::State& state) {
    const std::string& path = bigCppFile();
    Shell s;
    std::int64_t lines = 0;
    for (auto _ : state) {
        DocumentWindow* window = s.shell->openDocument(path, false, "");
        if (!window) {
            state.SkipWithError("the file did not open");
            break;
        }
        DocumentEditor& editor = window->editor();
        editor.setSelection(0, 0);
        editor.replaceSelection("x");
        auto& control = s.view.windows.back()->control;
        control.StyleBefore(editor.lineStart(control.VisibleRows()));
        benchmark::DoNotOptimize(control.TextStore().NumChars());
        state.PauseTiming();
        lines = editor.lineCount();
        s.view.discardDocumentWindow(*window);
        state.ResumeTiming();
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_OpenDocument)->Unit(benchmark::kMillisecond)->Iterations(bench::smokeRun() ? 1 : 3);

// The same file open and every line coloured, as after the background
// styling has finished: the process's resident memory over the file size.
void BM_OpenDocumentStyled(benchmark::State& state) {
    const std::string& path = bigCppFile();
    const double size = static_cast<double>(std::filesystem::file_size(path));
    Shell s;
    for (auto _ : state) {
        DocumentWindow* window = s.shell->openDocument(path, false, "");
        if (!window) {
            state.SkipWithError("the file did not open");
            break;
        }
        auto& control = s.view.windows.back()->control;
        control.StyleBefore(control.TextStore().NumChars());
        state.PauseTiming();
        state.counters["rss_over_file"] = bench::residentBytes() / size;
        s.view.discardDocumentWindow(*window);
        state.ResumeTiming();
    }
    state.counters["peak_rss_over_file"] = bench::peakResidentBytes() / size;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_OpenDocumentStyled)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WcLinesSameFile(benchmark::State& state) {
    const std::string& path = bigCppFile();
    const std::string command = "wc -l '" + path + "' > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("wc failed");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_WcLinesSameFile)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace qorvi
