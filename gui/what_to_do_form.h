#pragma once

// `TfrmWhatToDo`: what to do with a file that is open in a window already.

#include <QDialog>

class QRadioButton;

namespace qorvi {

class TfrmWhatToDo : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kCaption = "Confirmation";
    static constexpr const char* kText =
        "This file already opened in another window. What do you want to do?";
    static constexpr const char* kDoNotOpen = "Do NOT open a second copy";
    static constexpr const char* kSecondWindow = "Open the file in a second window";
    static constexpr const char* kReload = "Open it in the current window and discard all my changes";

    explicit TfrmWhatToDo(QWidget* parent = nullptr);
    // Shows the dialog modally: 1 do not open a second copy, 2 open a second
    // window, 3 reload in the open window. Closing it without "&Ok" opens
    // nothing (1).
    int ask();
    // The choice of the radio buttons.
    int choice() const;

    QRadioButton* rdbDoNotOpen() const { return doNotOpen_; }
    QRadioButton* rdbSecondWindow() const { return secondWindow_; }
    QRadioButton* rdbReload() const { return reload_; }

private:
    QRadioButton* doNotOpen_;
    QRadioButton* secondWindow_;
    QRadioButton* reload_;
};

} // namespace qorvi
