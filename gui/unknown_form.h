#pragma once

// `TfrmUnknown`: what to do with a remote file of unregistered type.

#include "app/type_selection.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace qorvi {

class TfrmUnknown : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUnknown(QWidget* parent = nullptr);
    // Shows the dialog modally; 0 cancelled, 1 download, 2 open, 3 open and register.
    int ask();

    QRadioButton* rdbDownload() const { return download_; }
    QRadioButton* rdbOpen() const { return open_; }
    QCheckBox* chkRegister() const { return register_; }
    UnknownTypeChoice::Result result() const;

private:
    void updateEnabled();
    QRadioButton* download_;
    QRadioButton* open_;
    QCheckBox* register_;
};

} // namespace qorvi
