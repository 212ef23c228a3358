#pragma once

// The main window's logic without its widgets, for benchmarks: document
// windows over real editor controls, quiet boxes, idle timers, a hive and
// program directory in a temp directory that goes at the end.

#include "app/control_document_editor.h"
#include "app/document_host.h"
#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/shell_timer.h"
#include "app/type_selection.h"
#include "editor/control/rudivo_voru.h"
#include "platform/hive.h"
#include "platform/shell_ui.h"

#include <filesystem>
#include <memory>
#include <unistd.h>

namespace qorvi::bench {

class QuietUi : public ShellUi {
public:
    MsgResult messageBox(const std::string&, const std::string&, MsgIcon, MsgButtons) override {
        return MsgResult::No;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> openFileDialog(const FileDialogOptions&) override { return std::nullopt; }
    std::optional<std::string> saveFileDialog(const FileDialogOptions&) override { return std::nullopt; }
    void setBusy(bool) override {}
};

class IdleTimer : public ShellTimer {
public:
    void start(int) override {}
    void stop() override {}
    bool active() const override { return false; }
};

class PlainDocumentView : public DocumentView {
public:
    void setCaption(const std::string& c) override { caption_ = c; }
    std::string caption() const override { return caption_; }
    void setStatusText(int, const std::string&) override {}
    bool isShown() const override { return true; }
    bool isMaximised() const override { return false; }
    void setReadOnlyChecked(bool) override {}
    void setWatchChecked(bool) override {}

private:
    std::string caption_;
};

// A document window as the program makes it, without the widgets around.
struct Window {
    TRudivoVoru control;
    ControlDocumentEditor editor{control};
    PlainDocumentView view;
    IdleTimer timer;
    std::unique_ptr<DocumentWindow> logic;
};

// The main window without its widgets: document windows over real controls.
class HeadlessMainView : public MainView {
public:
    DocumentHost* host = nullptr;
    ShellUi* ui = nullptr;
    std::vector<std::unique_ptr<Window>> windows;

    void setCaption(const std::string&) override {}
    std::string caption() const override { return "Qorvi"; }
    void setStatusText(int, const std::string&) override {}
    void setExplorerVisible(bool) override {}
    bool explorerVisible() const override { return true; }
    void applyPlacement(const WindowPlacement&) override {}
    WindowPlacement placement() const override { return {}; }
    void restoreAndRaise() override {}
    void startStartupTimer(int) override {}
    void postOpenPending() override {}
    void closeWindow() override {}
    void showAbout() override {}
    DocumentWindow& createDocumentWindow(int id, const std::string& caption) override {
        auto w = std::make_unique<Window>();
        w->view.setCaption(caption);
        w->logic = std::make_unique<DocumentWindow>(w->view, w->editor, *host, *ui, w->timer, id);
        windows.push_back(std::move(w));
        return *windows.back()->logic;
    }
    void discardDocumentWindow(DocumentWindow& window) override {
        std::erase_if(windows, [&](const auto& w) { return w->logic.get() == &window; });
    }
    std::vector<DocumentWindow*> documentWindows() const override {
        std::vector<DocumentWindow*> out;
        for (const auto& w : windows)
            out.push_back(w->logic.get());
        return out;
    }
    DocumentWindow* activeDocument() const override {
        return windows.empty() ? nullptr : windows.back()->logic.get();
    }
    void activateDocument(DocumentWindow&) override {}
    void maximiseDocument(DocumentWindow&) override {}
    void closeActiveDocument() override {}
    void arrangeDocuments(Arrangement) override {}
    int askWhatToDo() override { return 2; }
    void addDocumentTab(const std::string&, int) override {}
    int activeDocumentTab() const override { return -1; }
    void selectDocumentTab(int) override {}
    void setDocumentTabCaption(int, const std::string&) override {}
    void removeDocumentTab(int) override {}
    void setCommandEnabled(Command, int, bool) override {}
    void setCommandChecked(Command, int, bool) override {}
    bool commandChecked(Command, int) const override { return false; }
    void setDrives(const std::vector<std::string>&) override {}
    void selectDrive(int) override {}
    int selectedDrive() const override { return 0; }
    std::string driveText() const override { return "/"; }
    void showLocalListing(const std::string&, const std::vector<std::string>&) override {}
    std::string localPath() const override { return "/"; }
    int selectedLocalItem() const override { return -1; }
    std::string localItemText(int) const override { return {}; }
    // The site box, for the remote page.
    std::vector<std::string> sites;
    int site = -1;
    void setSites(const std::vector<std::string>& items) override { sites = items; }
    void selectSite(int index) override { site = index; }
    int selectedSite() const override { return site; }
    std::string siteText() const override {
        return site >= 0 && site < static_cast<int>(sites.size()) ? sites[static_cast<std::size_t>(site)] : "";
    }
};

class PlainTextSelector : public TypeSelector {
public:
    int selectType(const std::string&) override { return 5; }
};

// A main window of its own, with a hive and program directory in a temp
// directory that goes at the end.
struct Shell {
    std::string dir;
    std::unique_ptr<Hive> hive;
    HeadlessMainView view;
    QuietUi ui;
    PlainTextSelector selector;
    std::unique_ptr<MainShell> shell;
    Shell() {
        char templ[] = "/tmp/qorvi-bench-XXXXXX";
        dir = ::mkdtemp(templ);
        hive = std::make_unique<Hive>(dir + "/hkcu.reg");
        shell = std::make_unique<MainShell>(view, ui, selector, *hive, MainShell::Environment{{}, dir, dir});
        view.host = shell.get();
        view.ui = &ui;
        shell->create();
    }
    ~Shell() {
        shell.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

} // namespace qorvi::bench
