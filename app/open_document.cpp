// The open-document operation of the main window: a file already shown in a
// document window is offered to the user first (`TfrmWhatToDo`); otherwise
// a new document window gets the file's parser and text, or - for a name
// that is no file - the parser of a type the user picks, and a tab. A file
// whose last save was cut off (the program was killed while it rewrote a
// hard-linked file in place) is offered back from the backup that save left.

#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/type_selection.h"
#include "editor/support/message_format.h"
#include "platform/file_system.h"
#include "platform/safe_file_writer.h"
#include "platform/shell_ui.h"

namespace qorvi {

namespace {

class BusyCursor {
public:
    explicit BusyCursor(ShellUi& ui) : ui_(ui) { ui_.setBusy(true); }
    ~BusyCursor() { ui_.setBusy(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    ShellUi& ui_;
};

enum WhatToDo { kDoNotOpen = 1, kSecondWindow = 2, kReload = 3 };

} // namespace

DocumentWindow* MainShell::openDocument(const std::string& fileName, bool readOnly,
                                        const std::string& displayName) {
    return openWindow(fileName, readOnly, displayName, false);
}

DocumentWindow* MainShell::newDocument() {
    const std::string name = "Untitled" + std::to_string(view_.documentWindows().size() + 1);
    return openWindow(name, false, "", true);
}

void MainShell::offerInterruptedSave(const std::string& fileName) {
    const std::optional<std::string> backup = SafeFileWriter::interruptedSaveBackup(fileName);
    if (!backup || !ui_.confirm(formatMsg(kMsgInterruptedSave, fileName, *backup)))
        return;
    try {
        SafeFileWriter::restoreInterruptedSave(fileName);
    } catch (const std::exception& e) {
        ui_.showError(e.what());
    }
}

DocumentWindow* MainShell::reuseOpenWindow(const std::string& key,
                                           const std::function<void(DocumentWindow&)>& reload, bool& stop) {
    stop = false;
    for (DocumentWindow* window : view_.documentWindows()) {
        if (window->closing() || window->filePath() != key)
            continue;
        // Only the first window showing the file is considered.
        switch (view_.askWhatToDo()) {
        case kDoNotOpen:
            stop = true;
            return nullptr;
        case kReload:
            stop = true;
            try {
                reload(*window);
            } catch (const std::exception& e) {
                ui_.showError(e.what());
            }
            return window;
        default:
            return nullptr;
        }
    }
    return nullptr;
}

DocumentWindow* MainShell::openWindow(const std::string& fileName, bool readOnly,
                                      const std::string& displayName, bool alwaysNew) {
    const auto load = [&](DocumentWindow& w) { w.loadFile(fileName); };
    if (!alwaysNew) {
        bool stop = false;
        DocumentWindow* reused = reuseOpenWindow(displayName.empty() ? fileName : displayName, load, stop);
        if (stop)
            return reused;
    }

    // Asked before a window shows the file, so that it shows what the user chose.
    if (!alwaysNew && fs::exists(fileName))
        offerInterruptedSave(fileName);
    BusyCursor busy(ui_);
    const int id = ++documentCounter_;
    if (alwaysNew || !fs::exists(fileName)) {
        DocumentWindow& window = createWindow(id, fileName);
        window.setParser(parsers_.parserForNumber(typeSelector_.selectType("")));
        window.setFilePath("");
        return &addTab(window, id, displayName.empty() ? fs::fileNamePart(fileName) : displayName);
    }
    DocumentWindow& window = createWindow(id, fileName);
    prepareLoading(window, fs::extensionOf(fileName), fileName);
    if (readOnly)
        window.makeReadOnly();
    try {
        loadWindow(window, fileName, load);
    } catch (const std::exception& e) {
        // A name that is no readable file (a directory a pattern
        // matched, a file without permission) opens nothing.
        ui_.showError(e.what());
        return nullptr;
    }
    opened_.push_back(fileName);
    log_.opened(fileName);
    return &addTab(window, id, displayName.empty() ? fs::fileNamePart(fileName) : displayName);
}

DocumentWindow* MainShell::openLoaded(TextLoader& loader, const std::string& name, const std::string& ext) {
    const auto load = [&](DocumentWindow& w) { w.loadLoaded(loader); };
    bool stop = false;
    DocumentWindow* reused = reuseOpenWindow(name, load, stop);
    if (stop)
        return reused;
    BusyCursor busy(ui_);
    const int id = ++documentCounter_;
    DocumentWindow& window = createWindow(id, name);
    prepareLoading(window, ext, name);
    loadWindow(window, name, load);
    return &addTab(window, id, fs::fileNamePart(name));
}

DocumentWindow& MainShell::createWindow(int id, const std::string& fileName) {
    DocumentWindow& window = view_.createDocumentWindow(id, fileName);
    if (view_.documentWindows().size() == 1 && settings_.childMax())
        view_.maximiseDocument(window);
    return window;
}

void MainShell::prepareLoading(DocumentWindow& window, std::string ext, const std::string& key) {
    if (ext.empty())
        ext = settings_.defaultExt();
    window.setParser(parsers_.parserForExtension(mapping_, ext));
    for (DocumentWindow* other : view_.documentWindows())
        if (other != &window && !other->closing() && other->filePath() == key)
            window.makeReadOnly();
}

void MainShell::loadWindow(DocumentWindow& window, const std::string& path,
                           const std::function<void(DocumentWindow&)>& load) {
    view_.setStatusText(2, "Parsing the file...");
    try {
        load(window);
    } catch (...) {
        view_.setStatusText(2, "");
        view_.discardDocumentWindow(window);
        recount();
        commands_.updateEnabling();
        throw;
    }
    window.setFilePath(path);
    view_.setStatusText(2, "");
}

DocumentWindow& MainShell::addTab(DocumentWindow& window, int id, const std::string& caption) {
    view_.addDocumentTab(caption, id);
    recount();
    commands_.updateEnabling();
    return window;
}

} // namespace qorvi
