#pragma once

// The editor control's own find and replace dialog - the one a program
// embedding the control gets from SMM_FIND and SMM_REPLACE without
// kFindNow. One modeless window per control in find or replace mode; its
// buttons send the control's DialogFindNext and DialogReplace requests.

#include <QDialog>
#include <cstdint>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace qorvi {

class TCustomRudivoVoru;

class ControlSearchDialog : public QDialog {
    Q_OBJECT
public:
    ControlSearchDialog(TCustomRudivoVoru& control, QWidget* parent);

    // Shows the dialog in replace or find mode (an open dialog of the other
    // mode gives way) with its starting texts and options (kFind* flags).
    void showMode(bool replace, const QString& findText, const QString& replaceText, std::int32_t flags);
    bool replaceMode() const { return replaceMode_; }

    QLineEdit* findBox() const { return find_; }
    QLineEdit* replaceBox() const { return replace_; }
    QCheckBox* matchCaseBox() const { return matchCase_; }
    QPushButton* findNextButton() const { return findNext_; }
    QPushButton* replaceButton() const { return replaceOne_; }
    QPushButton* replaceAllButton() const { return replaceAll_; }

private:
    std::int32_t options() const;

    TCustomRudivoVoru& control_;
    bool replaceMode_ = false;
    QLineEdit* find_;
    QLabel* replaceLabel_;
    QLineEdit* replace_;
    QCheckBox* wholeWord_;
    QCheckBox* matchCase_;
    QGroupBox* direction_;
    QRadioButton* up_;
    QRadioButton* down_;
    QPushButton* findNext_;
    QPushButton* replaceOne_;
    QPushButton* replaceAll_;
    QPushButton* cancel_;
};

} // namespace qorvi
