#pragma once

// What the main window's logic asks of the window that shows it.

#include <string>
#include <vector>

namespace qorvi {

class DocumentWindow;
class FindReplace;
class FtpLoginDialog;
class PrinterPort;
class SettingsDialog;
class ShellTimer;
enum class Command;

struct WindowPlacement {
    bool maximised = false;
    // Bounds; 0 leaves that bound where the window system put it.
    int left = 0, top = 0, width = 0, height = 0;
};

enum class Arrangement { Cascade, TileHorizontally, TileVertically, MinimizeAll, ArrangeAll };

class MainView {
public:
    virtual ~MainView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    // Status bar panels: 0 command hints, 1 document counts, 2 activity.
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual void setExplorerVisible(bool visible) = 0;
    virtual bool explorerVisible() const = 0;
    virtual void applyPlacement(const WindowPlacement& placement) = 0;
    virtual WindowPlacement placement() const = 0;
    // Shows a minimised window normally and brings it to the front.
    virtual void restoreAndRaise() = 0;
    virtual void startStartupTimer(int milliseconds) = 0;
    // Calls the shell's openNextPending from the event loop, once, after
    // what the loop has waiting (such as further hand-overs).
    virtual void postOpenPending() = 0;
    virtual void closeWindow() = 0;
    virtual void showAbout() = 0;
    // Shows the find/replace dialog over `dialog`'s state, in replace mode
    // or find mode (a view without one ignores it).
    virtual void showFindDialog(FindReplace& /*dialog*/, bool /*replace*/) {}
    // Show `TfrmSettings` and `TfrmFTPLogin` modally over the dialog's
    // state; true when closed with "&Ok".
    virtual bool showSettingsDialog(SettingsDialog& /*dialog*/) { return false; }
    // The print dialog: the printer chosen, or null when it was cancelled.
    virtual PrinterPort* choosePrinter() { return nullptr; }
    virtual void showPrinterSetup() {}
    virtual bool showProfileDialog(FtpLoginDialog& /*dialog*/) { return false; }

    // ---- document windows (MDI children), in the order they were made
    // Makes and shows a document window (`TMDIChild`) with the caption.
    virtual DocumentWindow& createDocumentWindow(int documentId, const std::string& caption) = 0;
    // A window that could not be opened goes without a close query.
    virtual void discardDocumentWindow(DocumentWindow& window) = 0;
    virtual std::vector<DocumentWindow*> documentWindows() const = 0;
    virtual DocumentWindow* activeDocument() const = 0;
    // Brings a document window to the front and makes it the active one.
    virtual void activateDocument(DocumentWindow& window) = 0;
    virtual void maximiseDocument(DocumentWindow& window) = 0;
    // The close query of the active document window, then its close.
    virtual void closeActiveDocument() = 0;
    virtual void arrangeDocuments(Arrangement arrangement) = 0;
    // `TfrmWhatToDo` for a file that is open already: 1 do not open a second
    // copy, 2 open a second window, 3 reload in that window.
    virtual int askWhatToDo() = 0;

    // ---- the document tab strip; a tab's tag is its document id
    // Adds a tab and makes it the active one.
    virtual void addDocumentTab(const std::string& caption, int documentId) = 0;
    // The active tab's document id; -1 without tabs.
    virtual int activeDocumentTab() const = 0;
    virtual void selectDocumentTab(int documentId) = 0;
    virtual void setDocumentTabCaption(int documentId, const std::string& caption) = 0;
    virtual void removeDocumentTab(int documentId) = 0;

    // ---- menus and tool bar
    virtual void setCommandEnabled(Command id, int tag, bool enabled) = 0;
    virtual void setCommandChecked(Command id, int tag, bool checked) = 0;
    virtual bool commandChecked(Command id, int tag) const = 0;

    // ---- the explorer's local page
    // The drive box: one item per root.
    virtual void setDrives(const std::vector<std::string>& roots) = 0;
    virtual void selectDrive(int index) = 0;
    virtual int selectedDrive() const = 0;
    virtual std::string driveText() const = 0;
    // Shows a listing: the path label and the list's items.
    virtual void showLocalListing(const std::string& label, const std::vector<std::string>& items) = 0;
    // The path label.
    virtual std::string localPath() const = 0;
    // The selected item's index; -1 without a selection.
    virtual int selectedLocalItem() const = 0;
    virtual std::string localItemText(int index) const = 0;

    // ---- the explorer's remote page; a view without one
    // shows nothing and answers as a page with nothing selected.
    // The site box `cmbSites`: its items, the selected one (-1: none).
    virtual void setSites(const std::vector<std::string>& /*items*/) {}
    virtual void selectSite(int /*index*/) {}
    virtual int selectedSite() const { return -1; }
    virtual std::string siteText() const { return {}; }
    // The remote list `lstRemoteFiles` (items in their sorted order) and the
    // path label `lblRemotePath`.
    virtual void showRemoteListing(const std::vector<std::string>& /*items*/) {}
    virtual void setRemotePath(const std::string& /*path*/) {}
    virtual std::string remotePath() const { return {}; }
    virtual int selectedRemoteItem() const { return -1; }
    virtual std::string remoteItemText(int /*index*/) const { return {}; }
    // The keep-alive timer `tmrStayAlive`; null: none.
    virtual ShellTimer* stayAliveTimer() { return nullptr; }
    // `TfrmGetPass`: the typed password, empty when closed another way.
    virtual std::string askPassword() { return {}; }
    // `TfrmUnknown`: 0 cancelled, 1 download, 2 open, 3 open and register.
    virtual int askUnknownType() { return 0; }
};

} // namespace qorvi
