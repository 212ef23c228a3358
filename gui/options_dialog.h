#pragma once

// `TOptionsDialog`: the editor options dialog of a language - options,
// highlighting, key assignments, auto correct and code templates - with a
// read-only preview editor (`FEditor`) that shows every change at once.
// What the pages do is OptionsDialogState's; this window only shows it and
// passes the user's edits on. No exception leaves a handler.

#include "app/options_dialog_state.h"
#include "parser/rudivo_voru_parser.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

namespace qorvi {

class ColourButton;
class EditorWidget;
class KeyCaptureBox;
class ShellUi;

class TOptionsDialog : public QDialog {
    Q_OBJECT
public:
    // Runs the key-assignment wizard for a command: the pair, or nothing.
    using KeyWizard =
        std::function<std::optional<KeyPair>(const std::string& command, const KeyPair& initial)>;

    TOptionsDialog(TRudivoVoruParser& parser, ShellUi& ui, QWidget* parent = nullptr);
    ~TOptionsDialog() override;

    bool Execute() { return ExecuteSelected(kAllOptionPages); }
    // Shows the pages in `Pages` (TPropEdPage bits) modally; true on OK.
    // An empty set returns false at once.
    bool ExecuteSelected(unsigned Pages);
    // Fills the pages and shows only those in `pages`, the first of them
    // active - what ExecuteSelected does before it runs the dialog.
    void prepare(unsigned pages);

    // The options dialog runner a parser takes (its OptionsDialog).
    static TOptionsDialogRunner runner(ShellUi& ui, QWidget* parent);

    OptionsDialogState& state() { return *state_; }
    QTabWidget* pgcPages() const { return pages_; }
    EditorWidget* preview() const { return FEditor_; }
    KeyWizard keyWizard;

private:
    QWidget* buildOptionsPage();
    QWidget* buildHighlightingPage();
    QWidget* buildKeysPage();
    QWidget* buildAutoCorrectPage();
    QWidget* buildTemplatesPage();
    void fill();
    void fillFontNames();
    void updateOptionBoxes();
    int selectedElement() const;
    void showElement();
    void fontChanged();
    void fillKeyList(int select);
    std::string selectedCommand() const;
    void runKeyWizard(bool edit);
    void fillAutoList(const std::string& select);
    void updateAutoButtons();
    void fillTemplateList(const std::string& select);
    void updateTemplateButtons();
    void okClicked();
    template <class F> void guarded(F&& action);

    ShellUi& ui_;
    EditorWidget* FEditor_ = nullptr;
    EditorWidget* RudivoVoru1_ = nullptr;
    std::unique_ptr<OptionsDialogState> state_;
    bool filling_ = false;

    QTabWidget* pages_ = nullptr;
    std::vector<std::pair<QCheckBox*, std::uint32_t>> optionBoxes_;
    QLineEdit* indentEdit_ = nullptr;
    QLineEdit* wrapColumnEdit_ = nullptr;
    QLineEdit* tabColumnsEdit_ = nullptr;
    QLineEdit* tabDefaultEdit_ = nullptr;

    QLineEdit* languageEdit_ = nullptr;
    QLineEdit* gutterEdit_ = nullptr;
    QLineEdit* rightMarginEdit_ = nullptr;
    QListWidget* elementList_ = nullptr;
    QCheckBox* styleBoxes_[3] = {};
    ColourButton* foreground_ = nullptr;
    ColourButton* background_ = nullptr;
    QCheckBox* defaultForeground_ = nullptr;
    QCheckBox* defaultBackground_ = nullptr;
    QComboBox* charsetBox_ = nullptr;
    QComboBox* fontNameBox_ = nullptr;
    QComboBox* fontSizeBox_ = nullptr;

    QListWidget* commandList_ = nullptr;
    QListWidget* keyList_ = nullptr;
    QPushButton* keyAdd_ = nullptr;
    QPushButton* keyEdit_ = nullptr;
    QPushButton* keyDelete_ = nullptr;

    QLineEdit* wordEdit_ = nullptr;
    QLineEdit* replacementEdit_ = nullptr;
    QListWidget* autoList_ = nullptr;
    QPushButton* autoAdd_ = nullptr;
    QPushButton* autoSecond_ = nullptr;
    QLineEdit* activateKeysEdit_ = nullptr;

    QLineEdit* templateNameEdit_ = nullptr;
    QLineEdit* templateDescriptionEdit_ = nullptr;
    QListWidget* templateList_ = nullptr;
    QPushButton* templateAdd_ = nullptr;
    QPushButton* templateSecond_ = nullptr;
    KeyCaptureBox* hotKeyBox_ = nullptr;
};

} // namespace qorvi
