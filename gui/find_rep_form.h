#pragma once

// `TfrmFindRep`: the find/replace dialog - one modeless window kept on top,
// made once and shared by every document window. Its controls edit the
// fields of a FindReplace (app/find_replace.h), whose logic runs each
// search in the active document's editor.

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace qorvi {

class DocumentEditor;
class FindReplace;
class ShellUi;

class TfrmFindRep : public QDialog {
    Q_OBJECT
public:
    // `target` names the editor a search runs in when it runs (the active
    // document's; null when none).
    TfrmFindRep(FindReplace& logic, ShellUi& ui, std::function<DocumentEditor*()> target, QWidget* parent);
    // Shows the dialog in replace or find mode, the focus in the find box.
    void showMode(bool replace);

    QComboBox* cmbFind() const { return find_; }
    QComboBox* cmbReplace() const { return replace_; }
    QPushButton* btnFind() const { return btnFind_; }
    QPushButton* btnReplaceAll() const { return btnReplaceAll_; }
    QCheckBox* chkPrompt() const { return prompt_; }

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a button's work with the dialog's fields handed to the logic
    // first and its histories shown after.
    void act(const std::function<void()>& work);
    void toLogic();
    void showHistories();

    FindReplace& logic_;
    ShellUi& ui_;
    std::function<DocumentEditor*()> target_;
    QComboBox* find_;
    QComboBox* replace_;
    QLabel* lblReplace_;
    QCheckBox* caseSensitive_;
    QCheckBox* wholeWord_;
    QCheckBox* regExpression_;
    QRadioButton* forward_;
    QRadioButton* back_;
    QCheckBox* prompt_;
    QPushButton* btnFind_;
    QPushButton* btnReplace_;
    QPushButton* btnReplaceAll_;
    QPushButton* btnClose_;
};

} // namespace qorvi
