#pragma once

// `TMainForm`: the main frame window. It shows what the shell logic
// (`MainShell`) decides - the MDI area of document windows with its tab
// strip `pgcFiles`, the explorer panel, the menus and tool bar built from
// the command table, the status bar - and feeds hand-over records from the
// instance channel and dropped files to the shell. No exception leaves an
// event handler.

#include "app/main_commands.h"
#include "app/main_view.h"
#include "app/setting_values.h"
#include "gui/new_doc_type_form.h"
#include "gui/qt_shell_ui.h"

#include <QMainWindow>
#include <map>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QSplitter;
class QTabBar;
class QTabWidget;
class QTimer;
class QToolBar;

namespace qorvi {

class TfrmFindRep;
class QtPrinterPort;

class Hive;
class InstanceChannel;
class InstanceListener;
class MainShell;
class QtShellTimer;
class TMDIChild;

class TMainForm : public QMainWindow, public MainView {
    Q_OBJECT
public:
    struct Options {
        std::vector<std::string> args;
        std::string currentDirectory;
        std::string programDirectory;
        Hive* hive = nullptr;                 // default: the user's hive
        InstanceChannel* channel = nullptr;   // listening channel, or none
        ShellUi* ui = nullptr;                // default: Qt message boxes
        TypeSelector* typeSelector = nullptr; // default: TfrmNewDocType
    };

    explicit TMainForm(Options options, QWidget* parent = nullptr);
    ~TMainForm() override;

    MainShell& shell() { return *shell_; }

    // MainView
    void setCaption(const std::string& caption) override;
    std::string caption() const override;
    void setStatusText(int panel, const std::string& text) override;
    void setExplorerVisible(bool visible) override;
    bool explorerVisible() const override;
    void applyPlacement(const WindowPlacement& placement) override;
    WindowPlacement placement() const override;
    void restoreAndRaise() override;
    void startStartupTimer(int milliseconds) override;
    void postOpenPending() override;
    void closeWindow() override;
    void showAbout() override;
    void showFindDialog(FindReplace& dialog, bool replace) override;
    bool showSettingsDialog(SettingsDialog& dialog) override;
    PrinterPort* choosePrinter() override;
    void showPrinterSetup() override;
    // The printer the print and printer-setup dialogs configure (one for
    // the session, so a setup carries over to the next print).
    QPrinter& printer();
    bool showProfileDialog(FtpLoginDialog& dialog) override;
    // The find/replace dialog, once it was shown (for tests).
    TfrmFindRep* findRepForm() const { return findRep_; }
    DocumentWindow& createDocumentWindow(int documentId, const std::string& caption) override;
    void discardDocumentWindow(DocumentWindow& window) override;
    std::vector<DocumentWindow*> documentWindows() const override;
    DocumentWindow* activeDocument() const override;
    void activateDocument(DocumentWindow& window) override;
    void maximiseDocument(DocumentWindow& window) override;
    void closeActiveDocument() override;
    void arrangeDocuments(Arrangement arrangement) override;
    int askWhatToDo() override;
    void addDocumentTab(const std::string& caption, int documentId) override;
    int activeDocumentTab() const override;
    void selectDocumentTab(int documentId) override;
    void setDocumentTabCaption(int documentId, const std::string& caption) override;
    void removeDocumentTab(int documentId) override;
    void setCommandEnabled(Command id, int tag, bool enabled) override;
    void setCommandChecked(Command id, int tag, bool checked) override;
    bool commandChecked(Command id, int tag) const override;
    void setDrives(const std::vector<std::string>& roots) override;
    void selectDrive(int index) override;
    int selectedDrive() const override;
    std::string driveText() const override;
    void showLocalListing(const std::string& label, const std::vector<std::string>& items) override;
    std::string localPath() const override;
    int selectedLocalItem() const override;
    std::string localItemText(int index) const override;
    void setSites(const std::vector<std::string>& items) override;
    void selectSite(int index) override;
    int selectedSite() const override;
    std::string siteText() const override;
    void showRemoteListing(const std::vector<std::string>& items) override;
    void setRemotePath(const std::string& path) override;
    std::string remotePath() const override;
    int selectedRemoteItem() const override;
    std::string remoteItemText(int index) const override;
    ShellTimer* stayAliveTimer() override;
    std::string askPassword() override;
    int askUnknownType() override;

    QLabel* statusPanel(int i) const { return panels_[i]; }
    QListWidget* lstLocalFiles() const { return lstLocalFiles_; }
    QLabel* lblLocalPath() const { return lblLocalPath_; }
    QComboBox* cmbDrive() const { return cmbDrive_; }
    QComboBox* cmbSites() const { return cmbSites_; }
    QLabel* lblRemotePath() const { return lblRemotePath_; }
    QListWidget* lstRemoteFiles() const { return lstRemoteFiles_; }
    QTabWidget* pgcMain() const { return pgcMain_; }
    QMenu* popMain() const { return popMain_; }
    QTimer* tmrStayAlive() const;
    QTabBar* pgcFiles() const { return pgcFiles_; }
    QMdiArea* mdiArea() const { return mdi_; }
    QToolBar* toolBar() const { return toolBar_; }
    QAction* action(Command id, int tag = 0) const;
    // The document windows in the order they were made.
    std::vector<TMDIChild*> children() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::unique_ptr<QPrinter> printer_;
    std::unique_ptr<QtPrinterPort> printerPort_;
    void buildWidgets();
    void buildExplorer();
    void buildRemotePage();
    // The context menu's commands act on the page shown.
    bool remotePageShown() const;
    void buildMenus();
    void buildToolBar();
    void tmrMainTimer();
    void subWindowActivated(QMdiSubWindow* window);
    void pgcFilesChange(int index);
    int tabIndexOf(int documentId) const;
    TMDIChild* childOf(const DocumentWindow& window) const;
    template <class F> void guarded(F&& action);

    Options options_;
    QtShellUi qtUi_;
    ShellUi* ui_;
    std::unique_ptr<SettingValues> typeSettings_;
    std::unique_ptr<FormTypeSelector> typeSelector_;
    std::unique_ptr<MainShell> shell_;
    TfrmFindRep* findRep_ = nullptr; // made when first shown, kept hidden after
    std::unique_ptr<InstanceListener> listener_;

    QLabel* panels_[3] = {};
    QWidget* pnlExplorer_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QTabWidget* pgcMain_ = nullptr;
    QComboBox* cmbDrive_ = nullptr;
    QLabel* lblLocalPath_ = nullptr;
    QListWidget* lstLocalFiles_ = nullptr;
    QComboBox* cmbSites_ = nullptr;
    QLabel* lblRemotePath_ = nullptr;
    QListWidget* lstRemoteFiles_ = nullptr;
    QMenu* popMain_ = nullptr;
    QTabBar* pgcFiles_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    QTimer* tmrMain_ = nullptr;
    std::unique_ptr<QtShellTimer> tmrStayAlive_;
    QToolBar* toolBar_ = nullptr;
    std::map<std::pair<Command, int>, QAction*> actions_;
    std::map<std::string, QMenu*> submenus_;
};

} // namespace qorvi
