#pragma once

// `TfrmSettings`: the "Settings..." command's dialog over its logic
// (`SettingsDialog`): the type for files without extension and the number of
// lines kept in watch mode.

#include "app/settings_dialog.h"

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace qorvi {

class TfrmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSettings(SettingsDialog& dialog, QWidget* parent = nullptr);
    // Shows the dialog modally; on "&Ok" the dialog's state takes what the
    // user chose and true is returned.
    bool run();

    QComboBox* cmbFileExt() const { return cmbFileExt_; }
    QLineEdit* txtNumLinesInFileWatch() const { return txtNumLinesInFileWatch_; }
    QPushButton* btnOk() const { return btnOk_; }
    QPushButton* btnCancel() const { return btnCancel_; }

private:
    SettingsDialog& dialog_;
    QComboBox* cmbFileExt_;
    QLineEdit* txtNumLinesInFileWatch_;
    QPushButton* btnOk_;
    QPushButton* btnCancel_;
};

} // namespace qorvi
