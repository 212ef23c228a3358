#include "gui/main_form.h"

#include "app/local_file_list.h"
#include "app/main_shell.h"
#include "platform/file_system.h"
#include "platform/hive.h"
#include "platform/qorvi_error.h"
#include "platform/qt/instance_listener.h"
#include "platform/qt/text_convert.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace qorvi {

TMainForm::TMainForm(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), qtUi_(this) {
    setObjectName("MainForm");
    setWindowTitle("Qorvi");
    ui_ = options_.ui ? options_.ui : &qtUi_;
    buildWidgets();
    buildMenus();
    Hive& hive = options_.hive ? *options_.hive : Hive::user();
    typeSettings_ = std::make_unique<SettingValues>(hive);
    typeSelector_ = std::make_unique<FormTypeSelector>(*typeSettings_, this);
    shell_ = std::make_unique<MainShell>(
        *this, *ui_, *typeSelector_, hive,
        MainShell::Environment{options_.args, options_.currentDirectory, options_.programDirectory});
    shell_->create();
    // Last step of construction: hand-overs reach the shell from now on.
    if (options_.channel)
        listener_ = std::make_unique<InstanceListener>(*options_.channel, [this](const PostedMessage& m) {
            try {
                return shell_->filterMessage(m);
            } catch (const std::exception& e) {
                ui_->showInformation(e.what());
                return true;
            }
        });
}

TMainForm::~TMainForm() = default;

void TMainForm::buildWidgets() {
    auto* bar = statusBar();
    bar->setObjectName("StatusBar");
    const int widths[3] = {150, 150, 100};
    for (int i = 0; i < 3; ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setMinimumWidth(widths[i]);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar->addWidget(panels_[i], i == 2 ? 1 : 0);
    }

    splitter_ = new QSplitter(Qt::Horizontal, this);
    pnlExplorer_ = new QWidget(splitter_);
    pnlExplorer_->setObjectName("pnlExplorer");
    auto* explorerLayout = new QVBoxLayout(pnlExplorer_);
    explorerLayout->setContentsMargins(0, 0, 0, 0);
    pgcMain_ = new QTabWidget(pnlExplorer_);
    pgcMain_->setObjectName("pgcMain");
    explorerLayout->addWidget(pgcMain_);

    auto* tbLocal = new QWidget;
    tbLocal->setObjectName("tbLocal");
    auto* local = new QVBoxLayout(tbLocal);
    cmbDrive_ = new QComboBox(tbLocal);
    cmbDrive_->setObjectName("cmbDrive");
    lblLocalPath_ = new QLabel(tbLocal);
    lblLocalPath_->setObjectName("lblLocalPath");
    lstLocalFiles_ = new QListWidget(tbLocal);
    lstLocalFiles_->setObjectName("lstLocalFiles");
    local->addWidget(cmbDrive_);
    local->addWidget(lblLocalPath_);
    local->addWidget(lstLocalFiles_, 1);
    pgcMain_->addTab(tbLocal, "Local");

    auto* tbRemote = new QWidget;
    tbRemote->setObjectName("tbRemote");
    auto* remote = new QVBoxLayout(tbRemote);
    remote->addWidget(new QLabel("Remote sites:", tbRemote));
    cmbSites_ = new QComboBox(tbRemote);
    cmbSites_->setObjectName("cmbSites");
    lblRemotePath_ = new QLabel(tbRemote);
    lblRemotePath_->setObjectName("lblRemotePath");
    lstRemoteFiles_ = new QListWidget(tbRemote);
    lstRemoteFiles_->setObjectName("lstRemoteFiles");
    remote->addWidget(cmbSites_);
    remote->addWidget(lblRemotePath_);
    remote->addWidget(lstRemoteFiles_, 1);
    pgcMain_->addTab(tbRemote, "Remote");

    auto* documents = new QWidget(splitter_);
    auto* docLayout = new QVBoxLayout(documents);
    docLayout->setContentsMargins(0, 0, 0, 0);
    docLayout->setSpacing(0);
    pgcFiles_ = new QTabBar(documents);
    pgcFiles_->setObjectName("pgcFiles");
    pgcFiles_->setDocumentMode(true);
    mdi_ = new QMdiArea(documents);
    mdi_->setObjectName("MDIClient");
    mdi_->setBackground(QBrush(QColor(0x80, 0x80, 0x80)));
    docLayout->addWidget(pgcFiles_);
    docLayout->addWidget(mdi_, 1);

    splitter_->addWidget(pnlExplorer_);
    splitter_->addWidget(documents);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({206, 800});
    setCentralWidget(splitter_);
    resize(1000, 700);

    tmrMain_ = new QTimer(this);
    tmrMain_->setObjectName("tmrMain");
    tmrMain_->setSingleShot(true);
    connect(tmrMain_, &QTimer::timeout, this, [this] { tmrMainTimer(); });
    connect(cmbDrive_, qOverload<int>(&QComboBox::activated), this, [this] { cmbDriveClick(); });
    pgcMain_->setCurrentIndex(0);
}

void TMainForm::buildMenus() {
    auto* file = menuBar()->addMenu("&File");
    auto* exit = file->addAction("E&xit");
    connect(exit, &QAction::triggered, this, &QWidget::close);
    auto* view = menuBar()->addMenu("&View");
    actShowExplorer_ = view->addAction("&Show Explorer");
    actShowExplorer_->setCheckable(true);
    connect(actShowExplorer_, &QAction::triggered, this, [this](bool on) {
        setExplorerVisible(on);
        shell_->settings().writeString("ShowExplorer", on ? "1" : "0");
    });
}

void TMainForm::tmrMainTimer() {
    try {
        tmrMain_->stop();
        shell_->startupTimerFired();
    } catch (const std::exception& e) {
        ui_->showInformation(e.what());
    }
}

void TMainForm::cmbDriveClick() {
    int index = cmbDrive_->currentIndex();
    const auto& drives = shell_->drives();
    if (index < 0 || index >= static_cast<int>(drives.size()))
        return;
    const std::string& last = drives[static_cast<std::size_t>(index)].lastDirectory;
    listLocalDirectory(last.size() < 2 ? drives[static_cast<std::size_t>(index)].root : last);
}

void TMainForm::setCaption(const std::string& caption) { setWindowTitle(toQString(caption)); }

std::string TMainForm::caption() const { return fromQString(windowTitle()); }

void TMainForm::setStatusText(int panel, const std::string& text) {
    if (panel >= 0 && panel < 3)
        panels_[panel]->setText(toQString(text));
}

void TMainForm::setExplorerVisible(bool visible) {
    pnlExplorer_->setVisible(visible);
    if (actShowExplorer_)
        actShowExplorer_->setChecked(visible);
}

void TMainForm::applyPlacement(const WindowPlacement& p) {
    if (p.maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    QRect g = geometry();
    if (p.left)
        g.moveLeft(p.left);
    if (p.top)
        g.moveTop(p.top);
    if (p.width > 0)
        g.setWidth(p.width);
    if (p.height > 0)
        g.setHeight(p.height);
    setGeometry(g);
}

WindowPlacement TMainForm::placement() const {
    WindowPlacement p;
    p.maximised = isMaximized();
    QRect g = geometry();
    p.left = g.left();
    p.top = g.top();
    p.width = g.width();
    p.height = g.height();
    return p;
}

void TMainForm::setDrives(const std::vector<std::string>& roots) {
    cmbDrive_->clear();
    for (const auto& r : roots)
        cmbDrive_->addItem(pathToQString(r));
}

void TMainForm::selectDrive(int index) { cmbDrive_->setCurrentIndex(index); }

void TMainForm::listLocalDirectory(const std::string& path) {
    try {
        LocalListing listing = qorvi::listLocalDirectory(path);
        lstLocalFiles_->clear();
        for (const auto& item : listing.items)
            lstLocalFiles_->addItem(pathToQString(item));
        lblLocalPath_->setText(pathToQString(listing.label));
        shell_->setDriveLastDirectory(cmbDrive_->currentIndex(), listing.label);
    } catch (const QorviError& e) {
        ui_->showInformation(e.message());
    }
}

void TMainForm::restoreAndRaise() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TMainForm::startStartupTimer(int milliseconds) { tmrMain_->start(milliseconds); }

void TMainForm::closeEvent(QCloseEvent* event) {
    try {
        shell_->closeQuery();
    } catch (const std::exception& e) {
        ui_->showInformation(e.what());
    }
    event->accept();
}

} // namespace qorvi
