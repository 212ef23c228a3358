// The entry sequence: --help/--version, then either hand the command line to
// the running instance and exit, or start the editor. The instance lookup
// and hand-over run before any QApplication exists, so a second start
// needs no display and exits at once. When the running instance does not
// answer (it is stopped or hung), the user may start a further instance that
// opens the files itself; it runs unlisted, since the socket is held.

#include "app/entry_sequence.h"
#include "app/headless_export.h"
#include "gui/main_form.h"
#include "gui/qt_shell_ui.h"
#include "gui/shell_icons.h"
#include "platform/file_system.h"
#include "platform/instance_channel.h"
#include "platform/qt/text_convert.h"
#include "platform/write_signals.h"

#include <QApplication>
#include <cstdio>
#include <malloc.h>
#include <memory>

using namespace qorvi;

namespace {

// Boxes of a start that hands over: it has no window, so a QApplication is
// made only when a box must be shown (and on the offscreen platform the
// text goes to stderr instead of a box nobody can close; a question is
// answered No there).
class HandoverUi : public QtShellUi {
public:
    HandoverUi(int& argc, char** argv) : argc_(argc), argv_(argv) {}
    MsgResult messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override {
        const char* platform = std::getenv("QT_QPA_PLATFORM");
        bool headless = (platform && std::string(platform) == "offscreen") ||
                        (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"));
        if (headless) {
            std::fprintf(stderr, "qorvi: %s\n", text.c_str());
            return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::No;
        }
        if (!QApplication::instance())
            app_ = std::make_unique<QApplication>(argc_, argv_);
        return QtShellUi::messageBox(text, caption, icon, buttons);
    }
    // The application made for a box, for the instance that starts after all.
    std::unique_ptr<QApplication> takeApplication() { return std::move(app_); }

private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
};

enum class Outcome { HandedOver, Declined, StartUnlisted };

Outcome handOverTo(InstanceChannel::Lookup& running, const std::vector<std::string>& args, HandoverUi& ui) {
    if (running.result == InstanceChannel::Lookup::Result::Found &&
        handOver(*running.connection, args, fs::currentDirectory(), ui) == HandoverResult::HandedOver)
        return Outcome::HandedOver;
    return startAnotherInstance(ui) ? Outcome::StartUnlisted : Outcome::Declined;
}

} // namespace

int main(int argc, char** argv) {
    // One malloc arena for every thread, set before Qt starts any: a
    // document's records built on the loading thread must not live in an
    // arena of their own (later edits and repaints were much slower).
    ::mallopt(M_ARENA_MAX, 1);
    ignoreWriteSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    switch (entryRequest(args)) {
    case EntryRequest::Help:
        std::fputs(helpText().c_str(), stdout);
        return 0;
    case EntryRequest::Version:
        std::fputs(versionText().c_str(), stdout);
        return 0;
    case EntryRequest::UnknownOption:
        std::fputs(helpText().c_str(), stderr);
        return 2;
    case EntryRequest::Start:
        break;
    }
    std::string exportError;
    if (const std::optional<ExportRequest> request = exportRequest(args, exportError)) {
        if (!exportError.empty()) {
            std::fprintf(stderr, "qorvi: %s\n", exportError.c_str());
            return 2;
        }
        execExportProgram(argv);
        return runExport(*request, stderr);
    }
    bool multi = multiInstanceRequested(args);
    bool listen = true;
    HandoverUi ui(argc, argv);
    if (!multi) {
        InstanceChannel::Lookup running = InstanceChannel::findRunning();
        if (running.result != InstanceChannel::Lookup::Result::NoInstance) {
            Outcome outcome = handOverTo(running, args, ui);
            if (outcome != Outcome::StartUnlisted)
                return outcome == Outcome::HandedOver ? 0 : 1;
            listen = false;
        }
    }

    std::unique_ptr<QApplication> app = ui.takeApplication();
    if (!app)
        app = std::make_unique<QApplication>(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QApplication::setApplicationName("QorviSingle");
    QGuiApplication::setDesktopFileName(kProgramIconName);
    InstanceChannel channel;
    if (listen && channel.listen() == InstanceChannel::ListenResult::InUse && !multi) {
        // Another instance started at the same moment and won; it may still
        // be building its window.
        InstanceChannel::Lookup running = InstanceChannel::findRunning();
        if (running.connection)
            running.connection->peerIsStarting();
        if (running.result != InstanceChannel::Lookup::Result::NoInstance) {
            Outcome outcome = handOverTo(running, args, ui);
            if (outcome != Outcome::StartUnlisted)
                return outcome == Outcome::HandedOver ? 0 : 1;
        }
    }
    // An instance started with "-m" that cannot bind runs unlisted.
    try {
        TMainForm::Options options;
        options.args = args;
        options.currentDirectory = fs::currentDirectory();
        options.programDirectory = fs::programDirectory();
        options.channel = channel.listening() ? &channel : nullptr;
        TMainForm form(std::move(options));
        form.show();
        app->exec();
        return 0;
    } catch (const std::exception& e) {
        QtShellUi().showError(e.what());
        return 0;
    }
}
