#pragma once

// `TMDIChild`: a document window of the main window's MDI area. It holds
// the editor control `txtMain`, the three-panel status bar `stbMain`, the
// context menu `ppmMain` and the watch timer `tmrMain`, and shows what its
// logic (DocumentWindow) decides. Every event handler is guarded: failures
// are shown, never passed to the event loop.

#include "app/document_host.h"

#include <QMdiSubWindow>
#include <memory>

class QLabel;
class QMenu;
class QAction;
class QStatusBar;

namespace qorvi {

class ControlDocumentEditor;
class DocumentWindow;
class EditorWidget;
class QtShellTimer;
class ShellUi;

class TMDIChild : public QMdiSubWindow, public DocumentView {
    Q_OBJECT
public:
    TMDIChild(DocumentHost& host, ShellUi& ui, int documentId, const std::string& caption,
              QWidget* parent = nullptr);
    ~TMDIChild() override;

    DocumentWindow& logic() { return *logic_; }
    EditorWidget* txtMain() const { return txtMain_; }
    QStatusBar* stbMain() const { return stbMain_; }
    QLabel* statusPanel(int i) const { return panels_[i]; }
    QMenu* ppmMain() const { return ppmMain_; }
    QAction* mnuStartFileWatch() const { return mnuStartFileWatch_; }
    QAction* mnuReadOnly() const { return mnuReadOnly_; }
    QAction* mnuReopenEncoding() const { return mnuReopenEncoding_; }
    QAction* mnuConvertEncoding() const { return mnuConvertEncoding_; }
    // Leaves without the close query (a window that could not be opened).
    void discard();
    bool discarded() const { return discarded_; }

    // DocumentView
    void setCaption(const std::string& caption) override;
    std::string caption() const override;
    void setStatusText(int panel, const std::string& text) override;
    bool isShown() const override;
    bool isMaximised() const override;
    void setReadOnlyChecked(bool checked) override;
    void setWatchChecked(bool checked) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildEditor();
    void buildContextMenu();
    void showContextMenu(const QPoint& at);
    template <class F> void guarded(F&& action);

    ShellUi& ui_;
    EditorWidget* txtMain_ = nullptr;
    QStatusBar* stbMain_ = nullptr;
    QLabel* panels_[4] = {};
    QMenu* ppmMain_ = nullptr;
    QAction* mnuCopy_ = nullptr;
    QAction* mnuCut_ = nullptr;
    QAction* mnuReadOnly_ = nullptr;
    QAction* mnuStartFileWatch_ = nullptr;
    QAction* mnuReopenEncoding_ = nullptr;
    QAction* mnuConvertEncoding_ = nullptr;
    std::unique_ptr<QtShellTimer> tmrMain_;
    std::unique_ptr<ControlDocumentEditor> editor_;
    std::unique_ptr<DocumentWindow> logic_;
    std::string caption_;
    bool discarded_ = false;
    bool closed_ = false;
};

} // namespace qorvi
