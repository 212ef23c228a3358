#include "app/main_shell.h"

#include "app/document_editor.h"
#include "app/document_window.h"
#include "app/file_argument.h"
#include "app/handover.h"
#include "app/main_view.h"
#include "app/mapping_file.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/file_system.h"
#include "platform/hive.h"
#include "platform/shell_ui.h"

#include <algorithm>

namespace qorvi {

MainShell::MainShell(MainView& view, ShellUi& ui, TypeSelector& typeSelector, Hive& hive, Environment env)
    : view_(view), ui_(ui), typeSelector_(typeSelector), settings_(hive), env_(std::move(env)),
      commands_(*this, view, ui), explorer_(*this, view, ui), remote_(*this, view, ui) {
}

MainShell::~MainShell() = default;

void MainShell::create() {
    try {
        settings_.hive().createKey(settings_.key());
    } catch (const std::exception&) {
        // Reads fall back to defaults; writes are ignored.
    }
    if (std::string warning = settings_.hive().takeWarning(); !warning.empty())
        ui_.showInformation(warning);
    // The parsers read their images when the main window was made.
    if (std::string warning = parsers_.takeLoadWarning(); !warning.empty())
        ui_.showError(warning);
    loadParserStyles();

    view_.setExplorerVisible(settings_.showExplorer());
    setWatchLineCount(settings_.numLinesInWatch());
    view_.applyPlacement(settings_.lastPlacement());

    block_ = HandoverBlock::create();

    MappingFile(mapping_, settings_, ui_, env_.programDirectory).locateAndLoad();

    scanArguments();

    drives_.clear();
    std::vector<std::string> roots = fs::fileSystemRoots();
    for (const auto& root : roots)
        drives_.push_back({root, {}});
    view_.setDrives(roots);
    remote_.fillSites();

    if (debugMode_) {
        log_.open(fs::joinPath(env_.currentDirectory, "debug.log"));
        view_.setCaption(view_.caption() + "; DEBUG MODE");
        // Names queued by the argument scan came before the log was open.
        for (const auto& name : pending_)
            log_.pending(name);
    }
    commands_.updateEnabling();
    view_.startStartupTimer(500);
}

void MainShell::loadParserStyles() {
    // A damaged value costs its language the user's styles, never the
    // start-up nor the compiled settings; the user hears of it once.
    std::string failures;
    const std::vector<ParserSlot>& slots = parsers_.components();
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
        TRudivoVoruParser& parser = *slot->Parser;
        parser.Registry = &settings_.hive();
        parser.RegistryKey = kParserRegistryKey;
        parser.UseRegistry = true;
        try {
            parser.StylesFromRegistry(true, "");
        } catch (const std::exception& e) {
            failures += std::string(e.what()) + "\n";
        }
    }
    if (!failures.empty())
        ui_.showError(failures + kMsgStylesKept);
}

void MainShell::scanArguments() {
    for (const auto& arg : env_.args) {
        if (arg == "-G" || arg == "/G") {
            debugMode_ = true;
        } else if (arg == "-M" || arg == "/M" || arg == "-m" || arg == "/m") {
            // Switches of the entry sequence, not file names.
        } else {
            addPending(arg, false);
            debugMode_ = false;
        }
    }
}

void MainShell::addPending(const std::string& name, bool quiet) {
    std::size_t before = pending_.size();
    expandFileArgument(name, quiet, env_.currentDirectory, pending_, ui_);
    for (std::size_t i = before; i < pending_.size(); ++i)
        log_.pending(pending_[i]);
}

bool MainShell::filterMessage(const PostedMessage& message) {
    if (message.msg == WM_SYSCOMMAND && message.wParam == SC_RESTORE) {
        view_.restoreAndRaise();
        return true;
    }
    if (message.msg == kHandoverNamesMessage) {
        addHandedOver(decodeHandoverNames(message.text));
        return true;
    }
    if (message.msg != kHandoverMessage)
        return false;
    auto block = HandoverBlock::open();
    if (!block)
        return false;
    std::vector<std::string> names = splitHandoverList(block->read());
    block.reset();
    addHandedOver(names);
    return true;
}

void MainShell::addHandedOver(const std::vector<std::string>& names) {
    // Entries still waiting are kept: a hand-over never drops another's
    // names, and a burst of the same name asks about it once.
    for (const auto& name : names) {
        std::vector<std::string> matches;
        expandFileArgument(name, true, env_.currentDirectory, matches, ui_);
        for (auto& match : matches)
            if (std::find(pending_.begin(), pending_.end(), match) == pending_.end()) {
                log_.pending(match);
                pending_.push_back(std::move(match));
            }
    }
    if (!pending_.empty() && !opening_)
        view_.postOpenPending();
}

bool MainShell::openFirstPending() {
    if (opening_ || pending_.empty())
        return false;
    // The entry stays first in the list while it opens, so that a hand-over
    // of the same name meanwhile is not queued again; it goes however the
    // opening ends.
    struct Opening {
        MainShell& shell;
        explicit Opening(MainShell& s) : shell(s) { shell.opening_ = true; }
        ~Opening() {
            shell.opening_ = false;
            shell.pending_.erase(shell.pending_.begin());
        }
    } opening(*this);
    const std::string name = pending_.front();
    openDocument(name, false, "");
    return true;
}

void MainShell::openNextPending() {
    if (openFirstPending() && !pending_.empty())
        view_.postOpenPending();
}

void MainShell::openPendingFiles() {
    while (openFirstPending()) {
    }
}

int MainShell::driveIndexOf(const std::string& path) const {
    std::string root = fs::rootOf(path);
    for (std::size_t i = 0; i < drives_.size(); ++i)
        if (drives_[i].root == root)
            return static_cast<int>(i);
    return 0;
}

void MainShell::startupTimerFired() {
    openPendingFiles();
    if (!drives_.empty()) {
        view_.selectDrive(0);
        explorer_.list(drives_[0].root);
        view_.selectDrive(driveIndexOf(env_.currentDirectory));
        explorer_.list(env_.currentDirectory);
    }
}

bool MainShell::queryCloseDocuments() {
    const std::vector<DocumentWindow*> windows = view_.documentWindows();
    for (DocumentWindow* window : windows) {
        if (window->closing() || !window->editor().modified())
            continue;
        view_.activateDocument(*window);
        if (!window->agreeToClose()) {
            for (DocumentWindow* other : windows)
                other->withdrawCloseAgreement();
            return false;
        }
    }
    return true;
}

void MainShell::closeQuery() {
    settings_.setLastPlacement(view_.placement());
    closing_ = true;
}

std::intptr_t MainShell::sendMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam) {
    const int id = static_cast<int>(wParam);
    switch (msg) {
    case kRecountMessage:
        recount();
        break;
    case kSelectTabMessage:
        if (view_.activeDocumentTab() != id)
            view_.selectDocumentTab(id);
        break;
    case kDocumentTabMessage:
        if (lParam)
            view_.setDocumentTabCaption(id, reinterpret_cast<const char*>(lParam));
        else
            view_.removeDocumentTab(id);
        break;
    default:
        break;
    }
    return 0;
}

void MainShell::recount() {
    // A window counts until it starts closing: the one that sends 1225
    // with 1 while it closes is left out already, whether the window
    // system still lists it or not, and so is its modified text.
    int open = 0;
    int modified = 0;
    for (DocumentWindow* window : view_.documentWindows()) {
        if (window->closing())
            continue;
        ++open;
        if (window->editor().modified())
            ++modified;
    }
    commands_.setSaveAllEnabled(modified > 0);
    view_.setStatusText(1,
                        "Opened files: " + std::to_string(open) + "; Modified: " + std::to_string(modified));
}

void MainShell::filesDropped(const std::vector<std::string>& names) {
    for (const auto& name : names)
        openDocument(name, false, "");
}

void MainShell::registerExtension(const std::string& ext) {
    MappingFile(mapping_, settings_, ui_, env_.programDirectory).registerExtension(ext, typeSelector_);
    // The list's icons tell registered types from the rest.
    explorer_.refresh();
}

void MainShell::documentSaved(const std::string& path) {
    // A new file, or one that changed, in the folder the explorer shows;
    // the save itself has succeeded whatever the listing does.
    const std::string shown = view_.localPath();
    if (shown.empty() || fs::joinPath(shown, fs::fileNamePart(path)) != path)
        return;
    try {
        explorer_.refresh();
    } catch (const std::exception&) {
    }
}

void MainShell::watchChanged(DocumentWindow& window) {
    if (view_.activeDocument() == &window)
        view_.setCommandChecked(Command::WatchFile, 0, window.watch().watching());
}

bool MainShell::saveRemoteDocument(DocumentWindow& window) {
    // Uploaded to its site and directory; never written under its bare
    // remote name in whatever the current directory is.
    return remote_.save(window);
}

} // namespace qorvi
