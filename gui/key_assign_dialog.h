#pragma once

// `TKeyAssignDialog`: the two-step wizard that captures a key pair for a
// command of the key map. Step 1 takes the first key combination, step 2
// an optional second key of a chord; each has a "Clear" button.

#include "app/key_assignments.h"

#include <QDialog>
#include <QLineEdit>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace qorvi {

// A box that shows the key combination last pressed in it.
class KeyCaptureBox : public QLineEdit {
    Q_OBJECT
public:
    explicit KeyCaptureBox(QWidget* parent = nullptr);
    TShortCut shortCut() const { return key_; }
    void setShortCut(TShortCut key);

signals:
    void shortCutChanged(TShortCut key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    TShortCut key_ = 0;
};

class TKeyAssignDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kMsgFirstKey =
        "Press the first key combination until the correct key sequence appears then press the NEXT button";
    static constexpr const char* kMsgSecondKey =
        "If the key sequence requires a 2nd key press then enter the "
        "key now. Press the FINISH button to accept changes";

    TKeyAssignDialog(const std::string& command, const KeyPair& initial, QWidget* parent = nullptr);

    // The pair entered (second 0 for a single key), or nothing when cancelled.
    static std::optional<KeyPair> run(const std::string& command, const KeyPair& initial, QWidget* parent);

    KeyPair pair() const;
    int step() const;
    KeyCaptureBox* firstBox() const { return first_; }
    KeyCaptureBox* secondBox() const { return second_; }
    QPushButton* backButton() const { return back_; }
    QPushButton* nextButton() const { return next_; }

private:
    void showStep(int step);
    void nextClicked();

    QStackedWidget* steps_ = nullptr;
    KeyCaptureBox* first_ = nullptr;
    KeyCaptureBox* second_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* next_ = nullptr;
};

} // namespace qorvi
