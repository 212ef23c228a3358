#include "gui/mdi_child.h"

#include "app/control_document_editor.h"
#include "app/document_window.h"
#include "editor/settings/rudivo_voru_options.h"
#include "gui/editor_widget.h"
#include "gui/guarded.h"
#include "gui/qt_shell_timer.h"
#include "gui/shell_icons.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/qt/text_convert.h"
#include "platform/shell_ui.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QVBoxLayout>
#include <exception>

namespace qorvi {

namespace {

// The form data of `txtMain`.
constexpr std::uint32_t kEditorOptions =
    smoSyntaxHighlight | smoPrintWrap | smoPrintLineNos | smoPrintFilename | smoPrintDate | smoPrintPageNos |
    smoAutoIndent | smoTabToColumn | smoWordSelect | smoShowRMargin | smoShowGutter | smoShowWrapColumn |
    smoTitleAsFilename | smoProcessDroppedFiles | smoBlockOverwriteCursor | smoShowWrapGlyph |
    smoColumnTrack | smoUseTAB | smoSmartFill | smoOLEDragSource;
constexpr TColor kNavy = 0x800000;

} // namespace

template <class F> void TMDIChild::guarded(F&& action) {
    qorvi::guarded(action, [this](const std::string& text) { ui_.showInformation(text); });
}

TMDIChild::TMDIChild(DocumentHost& host, ShellUi& ui, int documentId, const std::string& caption,
                     QWidget* parent)
    : QMdiSubWindow(parent), ui_(ui) {
    setObjectName(QString("MDIChild%1").arg(documentId));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(programIcon());
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    txtMain_ = new EditorWidget(body);
    txtMain_->setObjectName("txtMain");
    txtMain_->setShellUi(&ui);
    stbMain_ = new QStatusBar(body);
    stbMain_->setObjectName("stbMain");
    stbMain_->setSizeGripEnabled(false);
    const int widths[4] = {100, 100, 50, 90};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(stbMain_);
        panels_[i]->setObjectName(QString("StatusPanel%1").arg(i));
        panels_[i]->setMinimumWidth(widths[i]);
        panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        if (i == DocumentWindow::kEncodingPanel)
            stbMain_->addPermanentWidget(panels_[i]);
        else
            stbMain_->addWidget(panels_[i], i == 2 ? 1 : 0);
    }
    layout->addWidget(txtMain_, 1);
    layout->addWidget(stbMain_);
    setWidget(body);
    setCaption(caption);
    resize(640, 420);

    editor_ = std::make_unique<ControlDocumentEditor>(txtMain_->control());
    tmrMain_ = std::make_unique<QtShellTimer>([this] { guarded([this] { logic_->watchTimerFired(); }); });
    logic_ = std::make_unique<DocumentWindow>(*this, *editor_, host, ui, *tmrMain_, documentId);
    buildEditor();
    buildContextMenu();
}

TMDIChild::~TMDIChild() {
    tmrMain_->stop();
    TRudivoVoru& control = txtMain_->control();
    control.OnChange = nullptr;
    control.OnGutterClick = nullptr;
    control.OnFilesDropped = nullptr;
    control.OnEncodingRefused = nullptr;
}

void TMDIChild::buildEditor() {
    TRudivoVoru& control = txtMain_->control();
    txtMain_->setUserGlyphs(documentGlyphs());
    control.SetFont(TFontSpec{"Courier New", 8, 1, clWindowText, 0});
    control.SetGutterFont(TFontSpec{"MS Sans Serif", 8, 1, clWindowText, 0});
    control.SetRightMargin(80);
    control.SetDefTabStop(4);
    control.SetIndentStep(1);
    control.SetMargin(2);
    control.SetSelTextColor(clWhite);
    control.SetSelTextBack(kNavy);
    control.SaveFormat = sfTEXT;
    control.TextStore().SetSelLineStyle(lsCRLF);
    control.ClipCopyFormats = smTEXT | smRTF;
    control.SetOptions(kEditorOptions);
    // The selection stays visible while the context menu or a dialog has
    // the focus.
    control.SetHideSelection(false);
    control.OnChange = [this](TCustomRudivoVoru&) { guarded([this] { logic_->editorChanged(); }); };
    control.OnGutterClick = [this](TCustomRudivoVoru&, std::int32_t record) {
        guarded([&] { logic_->gutterClicked(editor_->textLineOfRecord(record)); });
    };
    control.OnDataDrop = [](TCustomRudivoVoru&, TSourceTypes& types) { types = DocumentWindow::dropTypes(types); };
    control.OnFilesDropped = [this](TCustomRudivoVoru&, std::vector<std::string>& files, int, int) {
        // Opened once the drop is over: a file may open in this window's place.
        QMetaObject::invokeMethod(
            this, [this, files] { guarded([&] { logic_->filesDropped(files); }); }, Qt::QueuedConnection);
    };
    control.OnEncodingRefused = [this](TCustomRudivoVoru&, const std::string& character) {
        bool converted = false;
        guarded([&] { converted = logic_->offerUtf8For(character); });
        return converted;
    };
    txtMain_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(txtMain_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { showContextMenu(at); });
}

void TMDIChild::buildContextMenu() {
    ppmMain_ = new QMenu(this);
    ppmMain_->setObjectName("ppmMain");
    mnuCopy_ = ppmMain_->addAction("Copy", this, [this] { guarded([this] { logic_->copy(); }); });
    mnuCut_ = ppmMain_->addAction("Cut", this, [this] { guarded([this] { logic_->cut(); }); });
    ppmMain_->addAction("Paste", this, [this] { guarded([this] { logic_->paste(); }); });
    ppmMain_->addAction("Undo", this, [this] { guarded([this] { logic_->undo(); }); });
    ppmMain_->addAction("Reload", this, [this] { guarded([this] { logic_->reload(); }); });
    ppmMain_->addSeparator();
    ppmMain_->addAction("Select All", this, [this] { guarded([this] { logic_->selectAll(); }); });
    ppmMain_->addSeparator();
    ppmMain_->addAction("Collapse Section", this, [this] { guarded([this] { logic_->collapseSection(); }); });
    ppmMain_->addSeparator();
    mnuReadOnly_ = ppmMain_->addAction("Read Only");
    mnuReadOnly_->setCheckable(true);
    connect(mnuReadOnly_, &QAction::triggered, this,
            [this](bool checked) { guarded([&] { logic_->setReadOnlyCommand(checked); }); });
    mnuStartFileWatch_ = ppmMain_->addAction("Watch File");
    mnuStartFileWatch_->setObjectName("mnuStartFileWatch");
    mnuStartFileWatch_->setCheckable(true);
    connect(mnuStartFileWatch_, &QAction::triggered, this, [this](bool checked) {
        guarded([&] { mnuStartFileWatch_->setChecked(logic_->setWatch(checked)); });
    });
    // Every page of the language's options dialog - key assignments, auto
    // correct and code templates too, which "Syntax Highlighting..." leaves out.
    ppmMain_->addSeparator();
    QAction* options = ppmMain_->addAction("Editor Options...", this, [this] {
        guarded([this] { editor_->modifyParserProperties(kAllOptionPages); });
    });
    options->setObjectName("mnuEditorOptions");
    // The document's encoding, after the menu's own items.
    ppmMain_->addSeparator();
    mnuReopenEncoding_ = ppmMain_->addAction(
        "Reopen as Windows-1252", this, [this] { guarded([this] { logic_->reopenInOtherEncoding(); }); });
    mnuReopenEncoding_->setObjectName("mnuReopenEncoding");
    mnuConvertEncoding_ = ppmMain_->addAction(
        "Save As Windows-1252...", this, [this] { guarded([this] { logic_->convertEncoding(); }); });
    mnuConvertEncoding_->setObjectName("mnuConvertEncoding");
}

void TMDIChild::showContextMenu(const QPoint& at) {
    guarded([&] {
        const bool selected = logic_->hasSelection();
        mnuCopy_->setEnabled(selected);
        mnuCut_->setEnabled(selected);
        // The commands name the encoding they lead to.
        const QString other =
            editor_->encoding() == TextEncoding::Utf8 ? QStringLiteral("Windows-1252") : QStringLiteral("UTF-8");
        mnuReopenEncoding_->setText("Reopen as " + other);
        mnuConvertEncoding_->setText("Save As " + other + "...");
        ppmMain_->popup(txtMain_->mapToGlobal(at));
    });
}

void TMDIChild::discard() {
    discarded_ = true;
    closed_ = true;
}

void TMDIChild::closeEvent(QCloseEvent* event) {
    if (closed_) {
        event->accept();
        return;
    }
    bool mayClose = false;
    try {
        mayClose = logic_->closeQuery();
        if (mayClose) {
            logic_->closed();
            closed_ = true;
        }
    } catch (const std::exception& e) {
        ui_.showInformation(e.what());
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}

// The caption holds a path: it keeps its bytes, whatever the title shows.
void TMDIChild::setCaption(const std::string& caption) {
    caption_ = caption;
    setWindowTitle(pathToQString(caption));
}

std::string TMDIChild::caption() const {
    return caption_;
}

void TMDIChild::setStatusText(int panel, const std::string& text) {
    if (panel >= 0 && panel < 4)
        panels_[panel]->setText(toQString(text));
}

bool TMDIChild::isShown() const {
    return isVisible();
}

bool TMDIChild::isMaximised() const {
    return isMaximized();
}

void TMDIChild::setReadOnlyChecked(bool checked) {
    mnuReadOnly_->setChecked(checked);
}

void TMDIChild::setWatchChecked(bool checked) {
    mnuStartFileWatch_->setChecked(checked);
}

} // namespace qorvi
