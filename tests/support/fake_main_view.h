#pragma once

// A main window for tests of the shell's logic: it records what the logic
// shows and makes document windows over models of the editor control.

#include "app/document_window.h"
#include "app/main_commands.h"
#include "app/main_view.h"
#include "tests/support/fake_document_window.h"
#include "tests/support/fake_shell_timer.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qorvi::test {

class FakeMainView : public MainView {
public:
    struct Child {
        FakeDocumentView view;
        FakeDocumentEditor editor;
        FakeShellTimer timer;
        std::unique_ptr<DocumentWindow> window;
    };
    struct Tab {
        std::string caption;
        int id;
        bool operator==(const Tab&) const = default;
    };

    // ---- what the tests read
    std::string captionText = "Qorvi";
    std::string status[3];
    bool explorer = false;
    int timer = 0;
    int restored = 0;
    WindowPlacement applied, current;
    std::vector<std::string> drives;
    std::vector<int> selectedDrives;
    int drive = 0;
    std::vector<std::string> labels; // every path label shown
    std::vector<std::string> items;
    int selectedItem = -1;
    std::vector<std::unique_ptr<Child>> children;
    DocumentWindow* active = nullptr;
    std::vector<Tab> tabs;
    int activeTab = -1;
    std::vector<int> whatToDo; // answers of TfrmWhatToDo, in order
    int whatToDoAsked = 0;
    // Runs while TfrmWhatToDo is "shown", as the events its modal loop
    // dispatches would; the depth of dialogs inside dialogs.
    std::function<void()> whileAskingWhatToDo;
    int whatToDoDepth = 0;
    int deepestWhatToDo = 0;
    int postedOpens = 0; // postOpenPending calls not run yet
    std::map<std::pair<Command, int>, bool> enabledCommands;
    std::map<std::pair<Command, int>, bool> checkedCommands;
    std::vector<Arrangement> arranged;
    int closedWindow = 0;
    int maximisedDocuments = 0;

    // The shell the document windows report to and the boxes they show.
    void attach(DocumentHost& host, ShellUi& ui) {
        host_ = &host;
        ui_ = &ui;
    }

    Child& child(int index) { return *children.at(static_cast<std::size_t>(index)); }
    Child* childOf(const DocumentWindow* window) {
        for (auto& c : children)
            if (c->window.get() == window)
                return c.get();
        return nullptr;
    }
    bool isEnabled(Command id, int tag = 0) const {
        auto it = enabledCommands.find({id, tag});
        return it != enabledCommands.end() && it->second;
    }
    std::vector<std::string> tabCaptions() const {
        std::vector<std::string> out;
        for (const auto& t : tabs)
            out.push_back(t.caption);
        return out;
    }
    // Runs a child's close query and, when it agrees, closes it.
    bool closeChild(DocumentWindow* window) {
        if (!window->closeQuery())
            return false;
        window->closed();
        std::erase_if(children, [&](const auto& c) { return c->window.get() == window; });
        if (active == window)
            active = children.empty() ? nullptr : children.back()->window.get();
        return true;
    }
    void activate(DocumentWindow* window) {
        active = window;
        window->activated();
    }

    // ---- MainView
    void setCaption(const std::string& c) override { captionText = c; }
    std::string caption() const override { return captionText; }
    void setStatusText(int panel, const std::string& text) override { status[panel] = text; }
    void setExplorerVisible(bool v) override { explorer = v; }
    bool explorerVisible() const override { return explorer; }
    void applyPlacement(const WindowPlacement& p) override { applied = p; }
    WindowPlacement placement() const override { return current; }
    void restoreAndRaise() override { ++restored; }
    void startStartupTimer(int ms) override { timer = ms; }
    void postOpenPending() override { ++postedOpens; }
    // The event loop's part: runs the posted openNextPending calls, those
    // that they post included.
    template <class Shell> void runPostedOpens(Shell& shell) {
        while (postedOpens > 0) {
            --postedOpens;
            shell.openNextPending();
        }
    }
    void closeWindow() override { ++closedWindow; }
    void showAbout() override {}
    // What the user does in the settings and profile dialogs: true is "&Ok".
    std::function<bool(SettingsDialog&)> settingsDialog;
    std::function<bool(FtpLoginDialog&)> profileDialog;
    bool showSettingsDialog(SettingsDialog& d) override { return settingsDialog && settingsDialog(d); }
    // The printer the print dialog answers with (null: cancelled).
    PrinterPort* printerChosen = nullptr;
    PrinterPort* choosePrinter() override { return printerChosen; }
    bool showProfileDialog(FtpLoginDialog& d) override { return profileDialog && profileDialog(d); }

    DocumentWindow& createDocumentWindow(int documentId, const std::string& caption) override {
        auto c = std::make_unique<Child>();
        c->view.captionText = caption;
        c->window = std::make_unique<DocumentWindow>(c->view, c->editor, *host_, *ui_, c->timer, documentId);
        children.push_back(std::move(c));
        active = children.back()->window.get();
        return *active;
    }
    void discardDocumentWindow(DocumentWindow& window) override {
        std::erase_if(children, [&](const auto& c) { return c->window.get() == &window; });
        if (active == &window)
            active = children.empty() ? nullptr : children.back()->window.get();
    }
    std::vector<DocumentWindow*> documentWindows() const override {
        std::vector<DocumentWindow*> out;
        for (const auto& c : children)
            out.push_back(c->window.get());
        return out;
    }
    DocumentWindow* activeDocument() const override { return active; }
    void activateDocument(DocumentWindow& window) override { active = &window; }
    void maximiseDocument(DocumentWindow&) override { ++maximisedDocuments; }
    void closeActiveDocument() override {
        if (active)
            closeChild(active);
    }
    void arrangeDocuments(Arrangement a) override { arranged.push_back(a); }
    int askWhatToDo() override {
        ++whatToDoAsked;
        ++whatToDoDepth;
        deepestWhatToDo = std::max(deepestWhatToDo, whatToDoDepth);
        if (whileAskingWhatToDo)
            whileAskingWhatToDo();
        --whatToDoDepth;
        if (whatToDo.empty())
            return 1;
        int answer = whatToDo.front();
        whatToDo.erase(whatToDo.begin());
        return answer;
    }

    void addDocumentTab(const std::string& caption, int documentId) override {
        tabs.push_back({caption, documentId});
        activeTab = documentId;
    }
    int activeDocumentTab() const override { return activeTab; }
    void selectDocumentTab(int documentId) override { activeTab = documentId; }
    void setDocumentTabCaption(int documentId, const std::string& caption) override {
        for (auto& t : tabs)
            if (t.id == documentId)
                t.caption = caption;
    }
    void removeDocumentTab(int documentId) override {
        std::erase_if(tabs, [&](const Tab& t) { return t.id == documentId; });
        if (activeTab == documentId)
            activeTab = tabs.empty() ? -1 : tabs.back().id;
    }

    void setCommandEnabled(Command id, int tag, bool enabled) override {
        enabledCommands[{id, tag}] = enabled;
    }
    void setCommandChecked(Command id, int tag, bool checked) override {
        checkedCommands[{id, tag}] = checked;
    }
    bool commandChecked(Command id, int tag) const override {
        auto it = checkedCommands.find({id, tag});
        return it != checkedCommands.end() && it->second;
    }

    void setDrives(const std::vector<std::string>& roots) override { drives = roots; }
    void selectDrive(int index) override {
        selectedDrives.push_back(index);
        drive = index;
    }
    int selectedDrive() const override { return drive; }
    std::string driveText() const override {
        return drive >= 0 && drive < static_cast<int>(drives.size()) ? drives[static_cast<std::size_t>(drive)]
                                                                     : "";
    }
    void showLocalListing(const std::string& label, const std::vector<std::string>& list) override {
        labels.push_back(label);
        items = list;
        selectedItem = -1;
    }
    std::string localPath() const override { return labels.empty() ? "" : labels.back(); }
    int selectedLocalItem() const override { return selectedItem; }
    std::string localItemText(int index) const override { return items.at(static_cast<std::size_t>(index)); }
    // Selects the item with this text; false when there is none.
    bool selectItem(const std::string& text) {
        auto it = std::find(items.begin(), items.end(), text);
        selectedItem = it == items.end() ? -1 : static_cast<int>(it - items.begin());
        return it != items.end();
    }

    // ---- the remote page
    std::vector<std::string> sites;
    int site = -1;
    std::string remoteLabel;
    std::vector<std::string> remoteItems;
    int selectedRemote = -1;
    FakeShellTimer stayAlive;
    std::deque<std::string> passwords; // answers of TfrmGetPass
    int passwordAsked = 0;
    std::deque<int> unknownTypes; // answers of TfrmUnknown
    void setSites(const std::vector<std::string>& items) override { sites = items; }
    void selectSite(int index) override { site = index; }
    int selectedSite() const override { return site; }
    std::string siteText() const override {
        return site >= 0 && site < static_cast<int>(sites.size()) ? sites[static_cast<std::size_t>(site)] : "";
    }
    // Selects the site with this name; false when the box has none.
    bool chooseSite(const std::string& name) {
        auto it = std::find(sites.begin(), sites.end(), name);
        site = it == sites.end() ? -1 : static_cast<int>(it - sites.begin());
        return it != sites.end();
    }
    void showRemoteListing(const std::vector<std::string>& list) override {
        remoteItems = list;
        selectedRemote = -1;
    }
    void setRemotePath(const std::string& path) override { remoteLabel = path; }
    std::string remotePath() const override { return remoteLabel; }
    int selectedRemoteItem() const override { return selectedRemote; }
    std::string remoteItemText(int index) const override {
        return remoteItems.at(static_cast<std::size_t>(index));
    }
    bool selectRemote(const std::string& text) {
        auto it = std::find(remoteItems.begin(), remoteItems.end(), text);
        selectedRemote = it == remoteItems.end() ? -1 : static_cast<int>(it - remoteItems.begin());
        return it != remoteItems.end();
    }
    ShellTimer* stayAliveTimer() override { return &stayAlive; }
    std::string askPassword() override {
        ++passwordAsked;
        if (passwords.empty())
            return "";
        std::string p = passwords.front();
        passwords.pop_front();
        return p;
    }
    int askUnknownType() override {
        if (unknownTypes.empty())
            return 0;
        int r = unknownTypes.front();
        unknownTypes.pop_front();
        return r;
    }

private:
    DocumentHost* host_ = nullptr;
    ShellUi* ui_ = nullptr;
};

} // namespace qorvi::test
