// qorvi-export: the headless export without the window system's libraries.
// `qorvi --export ...` hands over to this program, so an export of a large
// file does not also carry the resident cost of Qt (about as much memory as
// a 17 MB document). Its arguments are those of `qorvi --export`.

#include "app/headless_export.h"
#include "platform/write_signals.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    qorvi::ignoreWriteSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const std::optional<qorvi::ExportRequest> request = qorvi::exportRequest(args, error);
    if (!request) {
        std::fputs("Usage: qorvi-export --export html|rtf|text|unix [--lang KEY] FILE [-o OUT]\n", stderr);
        return 2;
    }
    if (!error.empty()) {
        std::fprintf(stderr, "qorvi: %s\n", error.c_str());
        return 2;
    }
    return qorvi::runExport(*request, stderr);
}
