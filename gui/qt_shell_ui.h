#pragma once

// Message boxes, input boxes, file dialogs and the busy cursor with Qt.

#include "platform/shell_ui.h"

#include <QPoint>
#include <optional>

class QWidget;

namespace qorvi {

class QtShellUi : public ShellUi {
public:
    explicit QtShellUi(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    MsgResult messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                         MsgButtons buttons) override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& defaultValue) override;
    std::optional<std::string> openFileDialog(const FileDialogOptions& options) override;
    std::optional<std::string> saveFileDialog(const FileDialogOptions& options) override;
    void setBusy(bool busy) override;
    bool cancelRequested() override;
    // The next box shows with its top left corner at `global` (screen
    // coordinates) instead of centred over the parent.
    void placeNear(QPoint global) { near_ = global; }

private:
    QWidget* parent_;
    std::optional<QPoint> near_;
};

} // namespace qorvi
