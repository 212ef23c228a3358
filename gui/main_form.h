#pragma once

// `TMainForm`: the main frame window. It shows what the shell logic
// (`MainShell`) decides: document area with its tab strip, the explorer
// panel, the status bar, and it feeds hand-over records from the instance
// channel to the shell's message filter.

#include "app/main_view.h"
#include "app/setting_values.h"
#include "gui/new_doc_type_form.h"
#include "gui/qt_shell_ui.h"

#include <QMainWindow>
#include <memory>

class QComboBox;
class QLabel;
class QListWidget;
class QMdiArea;
class QSplitter;
class QTabBar;
class QTabWidget;
class QTimer;

namespace qorvi {

class Hive;
class InstanceChannel;
class InstanceListener;
class MainShell;

class TMainForm : public QMainWindow, public MainView {
    Q_OBJECT
public:
    struct Options {
        std::vector<std::string> args;
        std::string currentDirectory;
        std::string programDirectory;
        Hive* hive = nullptr;                // default: the user's hive
        InstanceChannel* channel = nullptr;  // listening channel, or none
        ShellUi* ui = nullptr;               // default: Qt message boxes
    };

    explicit TMainForm(Options options, QWidget* parent = nullptr);
    ~TMainForm() override;

    MainShell& shell() { return *shell_; }

    // MainView
    void setCaption(const std::string& caption) override;
    std::string caption() const override;
    void setStatusText(int panel, const std::string& text) override;
    void setExplorerVisible(bool visible) override;
    void applyPlacement(const WindowPlacement& placement) override;
    WindowPlacement placement() const override;
    void setDrives(const std::vector<std::string>& roots) override;
    void selectDrive(int index) override;
    void listLocalDirectory(const std::string& path) override;
    void restoreAndRaise() override;
    void startStartupTimer(int milliseconds) override;

    QLabel* statusPanel(int i) const { return panels_[i]; }
    QListWidget* lstLocalFiles() const { return lstLocalFiles_; }
    QLabel* lblLocalPath() const { return lblLocalPath_; }
    QComboBox* cmbDrive() const { return cmbDrive_; }
    QTabBar* pgcFiles() const { return pgcFiles_; }
    QMdiArea* mdiArea() const { return mdi_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWidgets();
    void buildMenus();
    void tmrMainTimer();
    void cmbDriveClick();

    Options options_;
    QtShellUi qtUi_;
    ShellUi* ui_;
    std::unique_ptr<SettingValues> typeSettings_;
    std::unique_ptr<FormTypeSelector> typeSelector_;
    std::unique_ptr<MainShell> shell_;
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
    QTabBar* pgcFiles_ = nullptr;
    QMdiArea* mdi_ = nullptr;
    QTimer* tmrMain_ = nullptr;
    QAction* actShowExplorer_ = nullptr;
};

} // namespace qorvi
