#include "gui/main_form.h"

#include "app/document_window.h"
#include "app/entry_sequence.h"
#include "app/local_explorer.h"
#include "app/main_shell.h"
#include "app/screen_fit.h"
#include "gui/find_rep_form.h"
#include "gui/ftp_login_form.h"
#include "gui/get_pass_form.h"
#include "gui/guarded.h"
#include "gui/long_work_watch.h"
#include "gui/mdi_child.h"
#include "gui/options_dialog.h"
#include "gui/qt_printer_port.h"
#include "gui/settings_form.h"
#include "gui/qt_shell_timer.h"
#include "gui/shell_icons.h"
#include "gui/unknown_form.h"
#include "gui/what_to_do_form.h"
#include "platform/hive.h"
#include "platform/qorvi_error.h"
#include "platform/qt/instance_listener.h"
#include "platform/qt/text_convert.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace qorvi {

namespace {

// Draws a list item as the explorer's lists are drawn: the background, the
// item's icon, and 2 pixels right of the icon the item's text from its
// second character on; item 0 ("  Parent Directory...") shows its icon only.
class FileListDelegate : public QStyledItemDelegate {
public:
    using IconFor = std::function<int(int row, const QString& text)>;
    FileListDelegate(IconFor iconFor, QObject* parent)
        : QStyledItemDelegate(parent), iconFor_(std::move(iconFor)) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        const QString text = index.data().toString();
        int icon = 2;
        try {
            icon = iconFor_(index.row(), text);
        } catch (const std::exception&) {
            // Drawing never fails: an unknown item shows the plain icon.
        }
        const QPixmap& picture = fileIcons().at(static_cast<std::size_t>(std::clamp(icon, 0, 9)));
        const int y = option.rect.top() + (option.rect.height() - picture.height()) / 2;
        painter->drawPixmap(option.rect.left(), y, picture);
        if (index.row() == 0)
            return;
        painter->setPen(selected ? option.palette.highlightedText().color() : option.palette.text().color());
        QRect textRect = option.rect.adjusted(picture.width() + 2, 0, 0, 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text.mid(1));
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        return {s.width() + 18, std::max(s.height(), 18)};
    }

private:
    IconFor iconFor_;
};

QString withoutAccelerator(const char* caption) {
    return QString(caption).remove('&');
}

} // namespace

template <class F> void TMainForm::guarded(F&& action) {
    qorvi::guarded(action, [this](const std::string& text) { ui_->showInformation(text); });
}

TMainForm::TMainForm(Options options, QWidget* parent)
    : QMainWindow(parent), options_(std::move(options)), qtUi_(this) {
    setObjectName("MainForm");
    setWindowTitle("Qorvi");
    setWindowIcon(programIcon());
    ui_ = options_.ui ? options_.ui : &qtUi_;
    buildWidgets();
    buildMenus();
    buildToolBar();
    setAcceptDrops(true);
    Hive& hive = options_.hive ? *options_.hive : Hive::user();
    typeSettings_ = std::make_unique<SettingValues>(hive);
    typeSelector_ = std::make_unique<FormTypeSelector>(*typeSettings_, this);
    TypeSelector& selector = options_.typeSelector ? *options_.typeSelector : *typeSelector_;
    shell_ = std::make_unique<MainShell>(
        *this, *ui_, selector, hive,
        MainShell::Environment{options_.args, options_.currentDirectory, options_.programDirectory});
    shell_->create();
    // "Syntax &Highlighting..." and the editors' ModifyProperties open the
    // options dialog over this window.
    for (const ParserSlot& slot : shell_->parsers().components())
        slot.Parser->OptionsDialog = TOptionsDialog::runner(*ui_, this);
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

TMainForm::~TMainForm() {
    // Document windows report to the shell while they go.
    for (TMDIChild* child : children())
        child->discard();
    disconnect(mdi_, nullptr, this, nullptr);
    delete mdi_;
    mdi_ = nullptr;
}

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
    buildExplorer();

    auto* documents = new QWidget(splitter_);
    auto* docLayout = new QVBoxLayout(documents);
    docLayout->setContentsMargins(0, 0, 0, 0);
    docLayout->setSpacing(0);
    pgcFiles_ = new QTabBar(documents);
    pgcFiles_->setObjectName("pgcFiles");
    pgcFiles_->setDocumentMode(true);
    pgcFiles_->setExpanding(false);
    mdi_ = new QMdiArea(documents);
    mdi_->setObjectName("MDIClient");
    mdi_->setBackground(QBrush(QColor(0x80, 0x80, 0x80)));
    docLayout->addWidget(pgcFiles_);
    docLayout->addWidget(mdi_, 1);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* w) { subWindowActivated(w); });
    connect(pgcFiles_, &QTabBar::currentChanged, this, [this](int index) { pgcFilesChange(index); });

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
}

void TMainForm::buildExplorer() {
    pnlExplorer_ = new QWidget(splitter_);
    pnlExplorer_->setObjectName("pnlExplorer");
    auto* explorerLayout = new QVBoxLayout(pnlExplorer_);
    explorerLayout->setContentsMargins(0, 0, 0, 0);
    pgcMain_ = new QTabWidget(pnlExplorer_);
    pgcMain_->setObjectName("pgcMain");
    explorerLayout->addWidget(pgcMain_);

    auto iconFor = [this](int row, const QString& text) {
        return static_cast<int>(shell_->explorer().iconFor(row, pathFromQString(text)));
    };

    auto* tbLocal = new QWidget;
    tbLocal->setObjectName("tbLocal");
    auto* local = new QVBoxLayout(tbLocal);
    cmbDrive_ = new QComboBox(tbLocal);
    cmbDrive_->setObjectName("cmbDrive");
    lblLocalPath_ = new QLabel(tbLocal);
    lblLocalPath_->setObjectName("lblLocalPath");
    lstLocalFiles_ = new QListWidget(tbLocal);
    lstLocalFiles_->setObjectName("lstLocalFiles");
    lstLocalFiles_->setItemDelegate(new FileListDelegate(iconFor, lstLocalFiles_));
    lstLocalFiles_->setContextMenuPolicy(Qt::CustomContextMenu);
    local->addWidget(cmbDrive_);
    local->addWidget(lblLocalPath_);
    local->addWidget(lstLocalFiles_, 1);
    pgcMain_->addTab(tbLocal, "Local");

    buildRemotePage();
    pgcMain_->setCurrentIndex(0);

    // The shared context menu of both lists: its commands act on the list
    // of the page shown; "Change Directory..." and "Upload File..." are
    // there only while the "Remote" page is.
    popMain_ = new QMenu(this);
    popMain_->setObjectName("popMain");
    auto onPage = [this](auto local, auto remote) {
        return [this, local, remote] {
            guarded([&] {
                if (remotePageShown())
                    (shell_->remote().*remote)();
                else
                    (shell_->explorer().*local)();
            });
        };
    };
    popMain_->addAction("Open File", this, onPage(&LocalExplorer::openSelected, &RemoteExplorer::openSelected));
    popMain_->addAction("Delete File", this,
                        onPage(&LocalExplorer::deleteSelected, &RemoteExplorer::deleteSelected));
    auto* changeDirectory = popMain_->addAction(
        "Change Directory...", this, [this] { guarded([this] { shell_->remote().changeDirectory(); }); });
    auto* upload = popMain_->addAction("Upload File...", this,
                                       [this] { guarded([this] { shell_->remote().uploadFile(); }); });
    changeDirectory->setObjectName("actChangeDirectory");
    upload->setObjectName("actUploadFile");
    changeDirectory->setVisible(false);
    upload->setVisible(false);
    connect(pgcMain_, &QTabWidget::currentChanged, this, [this, changeDirectory, upload] {
        changeDirectory->setVisible(remotePageShown());
        upload->setVisible(remotePageShown());
    });
    popMain_->addAction("Rename File...", this,
                        onPage(&LocalExplorer::renameSelected, &RemoteExplorer::renameSelected));
    popMain_->addAction("Refresh", this, onPage(&LocalExplorer::refresh, &RemoteExplorer::refresh));
    connect(lstLocalFiles_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popMain_->popup(lstLocalFiles_->viewport()->mapToGlobal(at)); });
    connect(lstLocalFiles_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { guarded([this] { shell_->explorer().openSelected(); }); });
    connect(cmbDrive_, qOverload<int>(&QComboBox::activated), this,
            [this] { guarded([this] { shell_->explorer().driveClicked(); }); });
}

void TMainForm::buildRemotePage() {
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
    lstRemoteFiles_->setItemDelegate(new FileListDelegate(
        [this](int row, const QString& text) {
            return static_cast<int>(shell_->remote().iconFor(row, pathFromQString(text)));
        },
        lstRemoteFiles_));
    lstRemoteFiles_->setContextMenuPolicy(Qt::CustomContextMenu);
    remote->addWidget(cmbSites_);
    remote->addWidget(lblRemotePath_);
    remote->addWidget(lstRemoteFiles_, 1);
    pgcMain_->addTab(tbRemote, "Remote");
    connect(cmbSites_, qOverload<int>(&QComboBox::activated), this,
            [this] { guarded([this] { shell_->remote().siteClicked(); }); });
    connect(lstRemoteFiles_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { guarded([this] { shell_->remote().openSelected(); }); });
    connect(lstRemoteFiles_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popMain_->popup(lstRemoteFiles_->viewport()->mapToGlobal(at)); });
    tmrStayAlive_ = std::make_unique<QtShellTimer>([this] {
        guarded([this] { shell_->remote().keepAliveTick(); });
    });
    tmrStayAlive_->timer().setObjectName("tmrStayAlive");
}

bool TMainForm::remotePageShown() const {
    return pgcMain_->currentIndex() == 1;
}

void TMainForm::buildMenus() {
    std::map<std::string, QMenu*> menus;
    for (const CommandInfo& c : commandTable()) {
        QMenu* menu = nullptr;
        if (auto sub = submenus_.find(c.menu); sub != submenus_.end()) {
            menu = sub->second;
        } else if (auto top = menus.find(c.menu); top != menus.end()) {
            menu = top->second;
        } else {
            menu = menuBar()->addMenu(c.menu);
            menus[c.menu] = menu;
        }
        if (c.separatorBefore)
            menu->addSeparator();
        QAction* action = nullptr;
        if (c.id == Command::SetBookmarks || c.id == Command::GotoBookmarks) {
            QMenu* sub = menu->addMenu(c.caption);
            submenus_[c.caption] = sub;
            action = sub->menuAction();
        } else {
            action = menu->addAction(c.caption);
            if (*c.shortcut)
                action->setShortcut(QKeySequence(c.shortcut));
            action->setCheckable(c.checkable);
            action->setIcon(commandIcon(c.id));
            const Command id = c.id;
            const int tag = c.tag;
            connect(action, &QAction::triggered, this, [this, action, id, tag](bool checked) {
                // The command sets its own check mark from what it did.
                if (action->isCheckable())
                    action->setChecked(!checked);
                guarded([&] { shell_->commands().run(id, tag); });
            });
        }
        action->setStatusTip(withoutAccelerator(c.caption));
        action->setEnabled(false);
        actions_[{c.id, c.tag}] = action;
    }
}

void TMainForm::buildToolBar() {
    toolBar_ = addToolBar("ToolBar");
    toolBar_->setObjectName("ToolBar");
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(16, 16));
    for (const ToolBarEntry& e : toolBarLayout()) {
        if (e.separator)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(action(e.id));
    }
}

QAction* TMainForm::action(Command id, int tag) const {
    auto it = actions_.find({id, tag});
    return it == actions_.end() ? nullptr : it->second;
}

void TMainForm::tmrMainTimer() {
    guarded([this] {
        tmrMain_->stop();
        shell_->startupTimerFired();
    });
}

std::vector<TMDIChild*> TMainForm::children() const {
    std::vector<TMDIChild*> out;
    if (!mdi_)
        return out;
    for (QMdiSubWindow* w : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* child = qobject_cast<TMDIChild*>(w);
            child && !child->discarded() && !child->logic().closing())
            out.push_back(child);
    return out;
}

TMDIChild* TMainForm::childOf(const DocumentWindow& window) const {
    for (TMDIChild* child : children())
        if (&child->logic() == &window)
            return child;
    return nullptr;
}

void TMainForm::subWindowActivated(QMdiSubWindow* window) {
    guarded([&] {
        if (auto* child = qobject_cast<TMDIChild*>(window);
            child && !child->discarded() && !child->logic().closing())
            child->logic().activated();
        shell_->commands().updateEnabling();
    });
}

void TMainForm::pgcFilesChange(int index) {
    if (index < 0)
        return;
    guarded([&] {
        const int id = pgcFiles_->tabData(index).toInt();
        for (TMDIChild* child : children())
            if (child->logic().documentId() == id && mdi_->currentSubWindow() != child)
                mdi_->setActiveSubWindow(child);
    });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // A transfer is cancelled first; the window closes once it has ended
    // (LongWorkWatch closes it again then).
    if (shell_->remote().busy()) {
        shell_->remote().cancelTransfer();
        event->ignore();
        return;
    }
    bool mayClose = true;
    try {
        // Every modified document is asked about, in front, before any
        // window goes: a Cancel keeps the whole session open.
        mayClose = shell_->queryCloseDocuments();
        for (TMDIChild* child : mayClose ? children() : std::vector<TMDIChild*>{}) {
            if (!child->close()) {
                mayClose = false;
                break;
            }
        }
        if (mayClose)
            shell_->closeQuery();
    } catch (const std::exception& e) {
        ui_->showInformation(e.what());
    }
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    std::vector<std::string> names;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            names.push_back(pathFromQString(url.toLocalFile()));
    event->acceptProposedAction();
    guarded([&] { shell_->filesDropped(names); });
}

bool TMainForm::event(QEvent* event) {
    // Command hints go to status panel 0, not over the panels.
    if (event->type() == QEvent::StatusTip) {
        panels_[0]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

// ---- MainView

void TMainForm::setCaption(const std::string& caption) {
    setWindowTitle(toQString(caption));
}

std::string TMainForm::caption() const {
    return fromQString(windowTitle());
}

void TMainForm::setStatusText(int panel, const std::string& text) {
    if (panel >= 0 && panel < 3)
        panels_[panel]->setText(toQString(text));
}

void TMainForm::setExplorerVisible(bool visible) {
    pnlExplorer_->setVisible(visible);
    if (QAction* a = action(Command::ShowExplorer))
        a->setChecked(visible);
}

bool TMainForm::explorerVisible() const {
    return !pnlExplorer_->isHidden();
}

void TMainForm::applyPlacement(const WindowPlacement& p) {
    if (p.maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
        return;
    }
    // Taken as they are stored (any int) and fitted before Qt sees them:
    // QRect's own arithmetic would overflow on such values.
    const QRect g = geometry();
    const ScreenRect wanted{p.left ? p.left : g.left(), p.top ? p.top : g.top(), p.width > 0 ? p.width : g.width(),
                            p.height > 0 ? p.height : g.height()};
    std::vector<ScreenRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect a = screen->availableGeometry();
        screens.push_back({a.left(), a.top(), a.width(), a.height()});
    }
    const ScreenRect fitted = fitToScreens(wanted, screens);
    setGeometry(fitted.left, fitted.top, fitted.width, fitted.height);
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

void TMainForm::restoreAndRaise() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void TMainForm::startStartupTimer(int milliseconds) {
    tmrMain_->start(milliseconds);
}

void TMainForm::postOpenPending() {
    QTimer::singleShot(0, this, [this] { guarded([this] { shell_->openNextPending(); }); });
}

void TMainForm::closeWindow() {
    close();
}

void TMainForm::showFindDialog(FindReplace& dialog, bool replace) {
    if (!findRep_)
        findRep_ = new TfrmFindRep(dialog, *ui_, [this]() -> DocumentEditor* {
            DocumentWindow* child = activeDocument();
            return child ? &child->editor() : nullptr;
        }, this);
    findRep_->showMode(replace);
}

bool TMainForm::showSettingsDialog(SettingsDialog& dialog) {
    TfrmSettings form(dialog, this);
    return form.run();
}

bool TMainForm::showProfileDialog(FtpLoginDialog& dialog) {
    TfrmFTPLogin form(dialog, this);
    return form.run();
}

QPrinter& TMainForm::printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

PrinterPort* TMainForm::choosePrinter() {
    QPrintDialog dialog(&printer(), this);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    printerPort_ = std::make_unique<QtPrinterPort>(printer());
    printerPort_->setProgressParent(this);
    return printerPort_.get();
}

void TMainForm::showPrinterSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.exec();
}

void TMainForm::showAbout() {
    QMessageBox::about(this, "About Qorvi", toQString(versionText()));
}

DocumentWindow& TMainForm::createDocumentWindow(int documentId, const std::string& caption) {
    auto* child = new TMDIChild(*shell_, *ui_, documentId, caption);
    mdi_->addSubWindow(child);
    child->show();
    mdi_->setActiveSubWindow(child);
    return child->logic();
}

void TMainForm::discardDocumentWindow(DocumentWindow& window) {
    if (TMDIChild* child = childOf(window)) {
        child->discard();
        mdi_->removeSubWindow(child);
        child->deleteLater();
    }
}

std::vector<DocumentWindow*> TMainForm::documentWindows() const {
    std::vector<DocumentWindow*> out;
    for (TMDIChild* child : children())
        out.push_back(&child->logic());
    return out;
}

DocumentWindow* TMainForm::activeDocument() const {
    auto* child = qobject_cast<TMDIChild*>(mdi_->currentSubWindow());
    if (!child || child->discarded() || child->logic().closing())
        return nullptr;
    return &child->logic();
}

void TMainForm::activateDocument(DocumentWindow& window) {
    if (TMDIChild* child = childOf(window)) {
        if (child->isMinimized())
            child->showNormal();
        mdi_->setActiveSubWindow(child);
    }
}

void TMainForm::maximiseDocument(DocumentWindow& window) {
    if (TMDIChild* child = childOf(window))
        child->showMaximized();
}

void TMainForm::closeActiveDocument() {
    if (QMdiSubWindow* w = mdi_->currentSubWindow())
        w->close();
}

void TMainForm::arrangeDocuments(Arrangement arrangement) {
    std::vector<TMDIChild*> open;
    for (TMDIChild* child : children())
        if (!child->isMinimized())
            open.push_back(child);
    const QRect area = mdi_->viewport()->rect();
    const int n = static_cast<int>(open.size());
    switch (arrangement) {
    case Arrangement::Cascade:
        mdi_->cascadeSubWindows();
        break;
    case Arrangement::TileHorizontally: // one above the other
        for (int i = 0; i < n; ++i) {
            open[static_cast<std::size_t>(i)]->showNormal();
            open[static_cast<std::size_t>(i)]->setGeometry(
                0, area.height() * i / n, area.width(), area.height() * (i + 1) / n - area.height() * i / n);
        }
        break;
    case Arrangement::TileVertically: // side by side
        for (int i = 0; i < n; ++i) {
            open[static_cast<std::size_t>(i)]->showNormal();
            open[static_cast<std::size_t>(i)]->setGeometry(
                area.width() * i / n, 0, area.width() * (i + 1) / n - area.width() * i / n, area.height());
        }
        break;
    case Arrangement::MinimizeAll:
        for (TMDIChild* child : children())
            child->showMinimized();
        break;
    case Arrangement::ArrangeAll: {
        // Minimised windows line up along the bottom edge.
        int x = 0;
        for (TMDIChild* child : children()) {
            if (!child->isMinimized())
                continue;
            child->move(x, area.height() - child->height());
            x += child->width();
        }
        break;
    }
    }
}

int TMainForm::askWhatToDo() {
    TfrmWhatToDo form(this);
    return form.ask();
}

int TMainForm::tabIndexOf(int documentId) const {
    for (int i = 0; i < pgcFiles_->count(); ++i)
        if (pgcFiles_->tabData(i).toInt() == documentId)
            return i;
    return -1;
}

void TMainForm::addDocumentTab(const std::string& caption, int documentId) {
    QSignalBlocker block(pgcFiles_);
    const int index = pgcFiles_->addTab(pathToQString(caption));
    pgcFiles_->setTabData(index, documentId);
    pgcFiles_->setCurrentIndex(index);
}

int TMainForm::activeDocumentTab() const {
    const int index = pgcFiles_->currentIndex();
    return index < 0 ? -1 : pgcFiles_->tabData(index).toInt();
}

void TMainForm::selectDocumentTab(int documentId) {
    if (int index = tabIndexOf(documentId); index >= 0) {
        QSignalBlocker block(pgcFiles_);
        pgcFiles_->setCurrentIndex(index);
    }
}

void TMainForm::setDocumentTabCaption(int documentId, const std::string& caption) {
    if (int index = tabIndexOf(documentId); index >= 0)
        pgcFiles_->setTabText(index, pathToQString(caption));
}

void TMainForm::removeDocumentTab(int documentId) {
    if (int index = tabIndexOf(documentId); index >= 0) {
        QSignalBlocker block(pgcFiles_);
        pgcFiles_->removeTab(index);
    }
}

void TMainForm::setCommandEnabled(Command id, int tag, bool enabled) {
    if (QAction* a = action(id, tag))
        a->setEnabled(enabled);
}

void TMainForm::setCommandChecked(Command id, int tag, bool checked) {
    if (QAction* a = action(id, tag))
        a->setChecked(checked);
}

bool TMainForm::commandChecked(Command id, int tag) const {
    QAction* a = action(id, tag);
    return a && a->isChecked();
}

void TMainForm::setDrives(const std::vector<std::string>& roots) {
    cmbDrive_->clear();
    for (const auto& r : roots)
        cmbDrive_->addItem(pathToQString(r));
}

void TMainForm::selectDrive(int index) {
    cmbDrive_->setCurrentIndex(index);
}

int TMainForm::selectedDrive() const {
    return cmbDrive_->currentIndex();
}

std::string TMainForm::driveText() const {
    return pathFromQString(cmbDrive_->currentText());
}

void TMainForm::showLocalListing(const std::string& label, const std::vector<std::string>& items) {
    lstLocalFiles_->clear();
    for (const auto& item : items)
        lstLocalFiles_->addItem(pathToQString(item));
    lblLocalPath_->setText(pathToQString(label));
}

std::string TMainForm::localPath() const {
    return pathFromQString(lblLocalPath_->text());
}

int TMainForm::selectedLocalItem() const {
    const auto selected = lstLocalFiles_->selectedItems();
    return selected.isEmpty() ? -1 : lstLocalFiles_->row(selected.front());
}

std::string TMainForm::localItemText(int index) const {
    QListWidgetItem* item = lstLocalFiles_->item(index);
    return item ? pathFromQString(item->text()) : std::string();
}

// ---- the remote page

void TMainForm::setSites(const std::vector<std::string>& items) {
    QSignalBlocker block(cmbSites_);
    cmbSites_->clear();
    for (const auto& item : items)
        cmbSites_->addItem(toQString(item));
}

void TMainForm::selectSite(int index) {
    QSignalBlocker block(cmbSites_);
    cmbSites_->setCurrentIndex(index);
}

int TMainForm::selectedSite() const {
    return cmbSites_->currentIndex();
}

std::string TMainForm::siteText() const {
    return fromQString(cmbSites_->currentText());
}

void TMainForm::showRemoteListing(const std::vector<std::string>& items) {
    lstRemoteFiles_->clear();
    for (const auto& item : items)
        lstRemoteFiles_->addItem(pathToQString(item));
}

void TMainForm::setRemotePath(const std::string& path) {
    lblRemotePath_->setText(pathToQString(path));
}

std::string TMainForm::remotePath() const {
    return pathFromQString(lblRemotePath_->text());
}

int TMainForm::selectedRemoteItem() const {
    const auto selected = lstRemoteFiles_->selectedItems();
    return selected.isEmpty() ? -1 : lstRemoteFiles_->row(selected.front());
}

std::string TMainForm::remoteItemText(int index) const {
    QListWidgetItem* item = lstRemoteFiles_->item(index);
    return item ? pathFromQString(item->text()) : std::string();
}

ShellTimer* TMainForm::stayAliveTimer() {
    return tmrStayAlive_.get();
}

QTimer* TMainForm::tmrStayAlive() const {
    return tmrStayAlive_ ? &tmrStayAlive_->timer() : nullptr;
}

std::string TMainForm::askPassword() {
    // Asked in the middle of connecting: the dialog takes input.
    LongWorkWatch::Pause pause;
    TfrmGetPass form(this);
    return form.ask();
}

int TMainForm::askUnknownType() {
    LongWorkWatch::Pause pause;
    TfrmUnknown form(this);
    return form.ask();
}

} // namespace qorvi
