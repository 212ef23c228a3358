#include "gui/options_dialog.h"

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "gui/colour_button.h"
#include "gui/editor_widget.h"
#include "gui/guarded.h"
#include "gui/key_assign_dialog.h"
#include "platform/qt/text_convert.h"
#include "platform/shell_ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace qorvi {

namespace {

// The writing system whose fonts a character set offers.
QFontDatabase::WritingSystem writingSystemOf(std::uint8_t charset) {
    switch (charset) {
    case 2:
        return QFontDatabase::Symbol;
    case 128:
        return QFontDatabase::Japanese;
    case 129:
    case 130:
        return QFontDatabase::Korean;
    case 134:
        return QFontDatabase::SimplifiedChinese;
    case 136:
        return QFontDatabase::TraditionalChinese;
    case 161:
        return QFontDatabase::Greek;
    case 177:
        return QFontDatabase::Hebrew;
    case 178:
        return QFontDatabase::Arabic;
    case 204:
        return QFontDatabase::Cyrillic;
    case 222:
        return QFontDatabase::Thai;
    default:
        return QFontDatabase::Latin;
    }
}

QLineEdit* numberBox(QWidget* parent, const char* name, int maxLength) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    box->setMaximumWidth(80);
    return box;
}

QPushButton* button(QWidget* parent, const char* caption, const char* name) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

// The part of a list line before its TAB.
std::string firstField(const QString& line) {
    return fromQString(line.section('\t', 0, 0));
}

} // namespace

template <class F> void TOptionsDialog::guarded(F&& action) {
    qorvi::guarded(action, [this](const std::string& text) { ui_.showError(text); });
}

TOptionsDialog::TOptionsDialog(TRudivoVoruParser& parser, ShellUi& ui, QWidget* parent)
    : QDialog(parent), ui_(ui) {
    setWindowTitle(kOptionsDialogCaption);
    setObjectName("OptionsDialog");
    keyWizard = [this](const std::string& command, const KeyPair& initial) {
        return TKeyAssignDialog::run(command, initial, this);
    };
    FEditor_ = new EditorWidget(this);
    FEditor_->setObjectName("FEditor");
    FEditor_->setShellUi(&ui);
    FEditor_->setMinimumHeight(170);
    // The template editor lives on its page; it is made here so that the
    // dialog's state can take both editors at once.
    RudivoVoru1_ = new EditorWidget(this);
    RudivoVoru1_->setObjectName("RudivoVoru1");
    RudivoVoru1_->setShellUi(&ui);
    state_ = std::make_unique<OptionsDialogState>(parser, ui, FEditor_->control(), RudivoVoru1_->control());

    pages_ = new QTabWidget(this);
    pages_->setObjectName("pgcPages");
    QWidget* built[] = {buildOptionsPage(), buildHighlightingPage(), buildKeysPage(), buildAutoCorrectPage(),
                        buildTemplatesPage()};
    for (std::size_t i = 0; i < optionsPages().size(); ++i)
        pages_->addTab(built[i], optionsPages()[i].caption);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { guarded([this] { okClicked(); }); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(new QLabel("Preview:", this));
    layout->addWidget(FEditor_, 1);
    layout->addWidget(buttons);
    resize(720, 640);
}

TOptionsDialog::~TOptionsDialog() {
    // The editors let go of the dialog's parser before they go, and tell
    // no page about it.
    filling_ = true;
    RudivoVoru1_->control().OnChange = nullptr;
    state_.reset();
}

TOptionsDialogRunner TOptionsDialog::runner(ShellUi& ui, QWidget* parent) {
    return [&ui, parent](TRudivoVoruParser& parser, unsigned pages) {
        TOptionsDialog dialog(parser, ui, parent);
        return dialog.ExecuteSelected(pages);
    };
}

bool TOptionsDialog::ExecuteSelected(unsigned Pages) {
    if ((Pages & kAllOptionPages) == 0)
        return false;
    prepare(Pages);
    return exec() == QDialog::Accepted;
}

void TOptionsDialog::prepare(unsigned pages) {
    fill();
    for (std::size_t i = 0; i < optionsPages().size(); ++i)
        pages_->setTabVisible(static_cast<int>(i), (pages & optionsPages()[i].bit) != 0);
    for (std::size_t i = 0; i < optionsPages().size(); ++i)
        if (optionsPages()[i].bit == firstOptionsPage(pages))
            pages_->setCurrentIndex(static_cast<int>(i));
}

// ---- options page

QWidget* TOptionsDialog::buildOptionsPage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsOptions");
    auto* grid = new QGridLayout;
    int i = 0;
    for (const OptionBox& box : optionBoxes()) {
        auto* check = new QCheckBox(box.caption, page);
        check->setObjectName(box.name);
        const std::uint32_t bit = box.bit;
        connect(check, &QCheckBox::toggled, this, [this, bit](bool on) {
            if (filling_)
                return;
            guarded([&] {
                state_->setOption(bit, on);
                updateOptionBoxes();
            });
        });
        optionBoxes_.emplace_back(check, bit);
        grid->addWidget(check, i % 11, i / 11);
        ++i;
    }
    indentEdit_ = numberBox(page, "IndentEdit", 3);
    wrapColumnEdit_ = numberBox(page, "WrapColumnEdit", 5);
    tabColumnsEdit_ = new QLineEdit(page);
    tabColumnsEdit_->setObjectName("TabColumnsEdit");
    tabDefaultEdit_ = numberBox(page, "TabDefaultEdit", 4);
    auto leave = [this](QLineEdit* box, std::string (OptionsDialogState::*left)(const std::string&)) {
        connect(box, &QLineEdit::editingFinished, this, [this, box, left] {
            guarded([&] { box->setText(toQString(((*state_).*left)(fromQString(box->text())))); });
        });
    };
    leave(indentEdit_, &OptionsDialogState::indentStepLeft);
    leave(wrapColumnEdit_, &OptionsDialogState::wrapColumnLeft);
    leave(tabColumnsEdit_, &OptionsDialogState::tabColumnsLeft);
    leave(tabDefaultEdit_, &OptionsDialogState::tabDefaultLeft);
    auto* numbers = new QFormLayout;
    numbers->addRow("Block indent step:", indentEdit_);
    numbers->addRow("Word-wrap column:", wrapColumnEdit_);
    numbers->addRow("Tab columns:", tabColumnsEdit_);
    numbers->addRow("Default tab width:", tabDefaultEdit_);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(grid, 2);
    layout->addLayout(numbers, 1);
    return page;
}

void TOptionsDialog::updateOptionBoxes() {
    for (auto [box, bit] : optionBoxes_) {
        if (bit == smoTabToColumn)
            box->setEnabled(state_->smartTabEnabled());
        else if (bit == smoCaretAfterEOL)
            box->setEnabled(state_->caretAfterEOLEnabled());
    }
}

// ---- highlighting page

QWidget* TOptionsDialog::buildHighlightingPage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsHighlighting");
    languageEdit_ = new QLineEdit(page);
    languageEdit_->setObjectName("LanguageEdit");
    languageEdit_->setReadOnly(true);
    gutterEdit_ = numberBox(page, "GutterEdit", 3);
    rightMarginEdit_ = numberBox(page, "RightMarginEdit", 3);
    for (auto [box, kind] :
         {std::pair{gutterEdit_, MarginBox::Gutter}, {rightMarginEdit_, MarginBox::RightMargin}}) {
        connect(box, &QLineEdit::textEdited, this, [this, box, kind](const QString& text) {
            guarded([&] {
                const std::string shown = state_->marginBoxEdited(kind, fromQString(text));
                if (shown != fromQString(text))
                    box->setText(toQString(shown));
            });
        });
        connect(box, &QLineEdit::editingFinished, this,
                [this, box, kind] { box->setText(toQString(state_->marginBoxText(kind))); });
    }

    elementList_ = new QListWidget(page);
    elementList_->setObjectName("ElementList");
    connect(elementList_, &QListWidget::currentRowChanged, this,
            [this] { guarded([this] { showElement(); }); });

    static const char* const kStyles[] = {"Bold", "Italic", "Underline"};
    static const std::uint8_t kBits[] = {fsBold, fsItalic, fsUnderline};
    auto* styles = new QGroupBox("Font style", page);
    auto* stylesLayout = new QVBoxLayout(styles);
    for (int i = 0; i < 3; ++i) {
        styleBoxes_[i] = new QCheckBox(kStyles[i], styles);
        styleBoxes_[i]->setObjectName(QString(kStyles[i]) + "Box");
        const std::uint8_t bit = kBits[i];
        connect(styleBoxes_[i], &QCheckBox::toggled, this, [this, bit](bool on) {
            if (!filling_)
                guarded([&] { state_->setFontStyle(selectedElement(), bit, on); });
        });
        stylesLayout->addWidget(styleBoxes_[i]);
    }

    foreground_ = new ColourButton(page);
    foreground_->setObjectName("ForegroundButton");
    background_ = new ColourButton(page);
    background_->setObjectName("BackgroundButton");
    auto* defaults = new QGroupBox("Use defaults for", page);
    auto* defaultsLayout = new QVBoxLayout(defaults);
    defaultForeground_ = new QCheckBox("Foreground", defaults);
    defaultForeground_->setObjectName("DefaultForegroundBox");
    defaultBackground_ = new QCheckBox("Background", defaults);
    defaultBackground_->setObjectName("DefaultBackgroundBox");
    defaultsLayout->addWidget(defaultForeground_);
    defaultsLayout->addWidget(defaultBackground_);
    for (bool fg : {true, false}) {
        connect(fg ? foreground_ : background_, &ColourButton::colourChosen, this, [this, fg](TColor c) {
            if (!filling_)
                guarded([&] { state_->setColour(selectedElement(), fg, c); });
        });
        connect(fg ? defaultForeground_ : defaultBackground_, &QCheckBox::toggled, this, [this, fg](bool on) {
            if (filling_)
                return;
            guarded([&] {
                state_->setDefaultColour(selectedElement(), fg, on);
                showElement();
            });
        });
    }

    charsetBox_ = new QComboBox(page);
    charsetBox_->setObjectName("CharsetBox");
    for (const CharsetName& c : fontCharsets())
        charsetBox_->addItem(c.name, c.value);
    fontNameBox_ = new QComboBox(page);
    fontNameBox_->setObjectName("FontNameBox");
    fontSizeBox_ = new QComboBox(page);
    fontSizeBox_->setObjectName("FontSizeBox");
    for (int size : fontSizes())
        fontSizeBox_->addItem(QString::number(size), size);
    connect(charsetBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (filling_)
            return;
        guarded([this] {
            fillFontNames();
            fontChanged();
        });
    });
    for (QComboBox* box : {fontNameBox_, fontSizeBox_})
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling_)
                guarded([this] { fontChanged(); });
        });

    auto* top = new QFormLayout;
    top->addRow("Language:", languageEdit_);
    auto* margins = new QHBoxLayout;
    margins->addWidget(new QLabel("Gutter width:", page));
    margins->addWidget(gutterEdit_);
    margins->addWidget(new QLabel("Right margin:", page));
    margins->addWidget(rightMarginEdit_);
    margins->addStretch(1);
    top->addRow(margins);
    auto* colours = new QFormLayout;
    colours->addRow("Foreground:", foreground_);
    colours->addRow("Background:", background_);
    auto* fonts = new QFormLayout;
    fonts->addRow("Character set:", charsetBox_);
    fonts->addRow("Font:", fontNameBox_);
    fonts->addRow("Size:", fontSizeBox_);
    auto* attributes = new QVBoxLayout;
    auto* styleRow = new QHBoxLayout;
    styleRow->addWidget(styles);
    styleRow->addWidget(defaults);
    attributes->addLayout(styleRow);
    attributes->addLayout(colours);
    attributes->addLayout(fonts);
    attributes->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addWidget(elementList_, 1);
    body->addLayout(attributes, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(top);
    layout->addLayout(body, 1);
    return page;
}

int TOptionsDialog::selectedElement() const {
    const int row = elementList_->currentRow();
    if (row < 0 || row >= static_cast<int>(state_->elements().size()))
        return -1;
    return state_->elements()[static_cast<std::size_t>(row)].value;
}

void TOptionsDialog::showElement() {
    const int element = selectedElement();
    const ElementLook look = state_->look(element);
    filling_ = true;
    for (int i = 0; i < 3; ++i) {
        styleBoxes_[i]->setEnabled(look.fontStyles);
        styleBoxes_[i]->setChecked((look.style & (1 << i)) != 0);
    }
    foreground_->setColour(look.foreground);
    background_->setColour(look.background);
    defaultForeground_->setEnabled(look.hasForeground);
    defaultForeground_->setChecked(look.defaultForeground);
    defaultBackground_->setChecked(look.defaultBackground);
    // A colour taken from the defaults is not picked.
    foreground_->setEnabled(look.hasForeground && !look.defaultForeground);
    background_->setEnabled(!look.defaultBackground);
    filling_ = false;
}

void TOptionsDialog::fillFontNames() {
    const bool wasFilling = filling_;
    filling_ = true;
    const QString current = toQString(state_->font().Name);
    fontNameBox_->clear();
    QStringList names = QFontDatabase::families(
        writingSystemOf(static_cast<std::uint8_t>(charsetBox_->currentData().toInt())));
    // A stored name stays, whether this machine has the font or not.
    if (!current.isEmpty() && !names.contains(current))
        names << current;
    names.sort(Qt::CaseInsensitive);
    fontNameBox_->addItems(names);
    fontNameBox_->setCurrentText(current);
    filling_ = wasFilling;
}

void TOptionsDialog::fontChanged() {
    state_->setFont(fromQString(fontNameBox_->currentText()), fontSizeBox_->currentData().toInt(),
                    static_cast<std::uint8_t>(charsetBox_->currentData().toInt()));
}

// ---- key assignments page

QWidget* TOptionsDialog::buildKeysPage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsKeys");
    commandList_ = new QListWidget(page);
    commandList_->setObjectName("CommandList");
    keyList_ = new QListWidget(page);
    keyList_->setObjectName("KeyList");
    keyAdd_ = button(page, "Add", "KeyAddButton");
    keyEdit_ = button(page, "Edit", "KeyEditButton");
    keyDelete_ = button(page, "Delete", "KeyDeleteButton");
    connect(commandList_, &QListWidget::currentRowChanged, this,
            [this] { guarded([this] { fillKeyList(0); }); });
    connect(keyList_, &QListWidget::currentRowChanged, this, [this](int row) {
        keyDelete_->setEnabled(row >= 0);
        keyEdit_->setEnabled(row >= 0);
    });
    connect(keyAdd_, &QPushButton::clicked, this, [this] { guarded([this] { runKeyWizard(false); }); });
    connect(keyEdit_, &QPushButton::clicked, this, [this] { guarded([this] { runKeyWizard(true); }); });
    connect(keyDelete_, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const int row = keyList_->currentRow();
            if (row < 0)
                return;
            state_->keys().remove(selectedCommand(), static_cast<std::size_t>(row));
            fillKeyList(row > 0 ? row - 1 : 0);
        });
    });
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(keyAdd_);
    buttons->addWidget(keyEdit_);
    buttons->addWidget(keyDelete_);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    auto* commands = new QVBoxLayout;
    commands->addWidget(new QLabel("Commands:", page));
    commands->addWidget(commandList_);
    auto* keys = new QVBoxLayout;
    keys->addWidget(new QLabel("Keys:", page));
    keys->addWidget(keyList_);
    layout->addLayout(commands, 1);
    layout->addLayout(keys, 1);
    layout->addLayout(buttons);
    return page;
}

std::string TOptionsDialog::selectedCommand() const {
    const QListWidgetItem* item = commandList_->currentItem();
    return item ? fromQString(item->text()) : std::string();
}

void TOptionsDialog::fillKeyList(int select) {
    keyList_->clear();
    const std::string command = selectedCommand();
    if (!command.empty())
        for (const std::string& text : state_->keys().pairTexts(command))
            keyList_->addItem(toQString(text));
    keyList_->setCurrentRow(keyList_->count() ? std::min(select, keyList_->count() - 1) : -1);
    keyDelete_->setEnabled(keyList_->currentRow() >= 0);
    keyEdit_->setEnabled(keyList_->currentRow() >= 0);
    keyAdd_->setEnabled(!command.empty());
}

void TOptionsDialog::runKeyWizard(bool edit) {
    const std::string command = selectedCommand();
    if (command.empty())
        return;
    const int row = keyList_->currentRow();
    const auto& pairs = state_->keys().pairs(command);
    const KeyPair initial = edit && row >= 0 ? pairs[static_cast<std::size_t>(row)] : KeyPair{};
    const std::optional<KeyPair> pair = keyWizard(command, initial);
    if (!pair)
        return;
    if (edit && row >= 0) {
        state_->keys().replace(command, static_cast<std::size_t>(row), *pair);
        fillKeyList(row);
    } else {
        state_->keys().add(command, *pair);
        fillKeyList(static_cast<int>(state_->keys().pairs(command).size()) - 1);
    }
}

// ---- auto correct page

QWidget* TOptionsDialog::buildAutoCorrectPage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsAutoCorrect");
    wordEdit_ = new QLineEdit(page);
    wordEdit_->setObjectName("WordEdit");
    replacementEdit_ = new QLineEdit(page);
    replacementEdit_->setObjectName("ReplacementEdit");
    autoList_ = new QListWidget(page);
    autoList_->setObjectName("AutoCorrectList");
    autoAdd_ = button(page, "Add", "AutoAddButton");
    autoSecond_ = button(page, "Delete", "AutoSecondButton");
    activateKeysEdit_ = new QLineEdit(page);
    activateKeysEdit_->setObjectName("ActivateKeysEdit");
    for (QLineEdit* box : {wordEdit_, replacementEdit_})
        connect(box, &QLineEdit::textChanged, this, [this] { guarded([this] { updateAutoButtons(); }); });
    connect(autoList_, &QListWidget::currentTextChanged, this, [this](const QString& line) {
        if (filling_ || line.isEmpty())
            return;
        wordEdit_->setText(line.section('\t', 0, 0));
        replacementEdit_->setText(line.section('\t', 1));
    });
    connect(autoAdd_, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const std::string word = fromQString(wordEdit_->text());
            state_->autoReplace().add(word, fromQString(replacementEdit_->text()));
            fillAutoList(word);
        });
    });
    connect(autoSecond_, &QPushButton::clicked, this, [this] {
        guarded([this] {
            const std::string word = fromQString(wordEdit_->text());
            if (autoSecond_->text() == "Replace") {
                state_->autoReplace().replace(word, fromQString(replacementEdit_->text()));
                fillAutoList(word);
                return;
            }
            const int next = state_->autoReplace().remove(word);
            const auto& lines = state_->autoReplace().lines();
            fillAutoList(next >= 0 ? firstField(toQString(lines[static_cast<std::size_t>(next)])) : "");
        });
    });
    connect(activateKeysEdit_, &QLineEdit::editingFinished, this, [this] {
        guarded([this] {
            try {
                state_->autoReplace().setActivateKeys(fromQString(activateKeysEdit_->text()));
            } catch (...) {
                activateKeysEdit_->setText(toQString(state_->autoReplace().activateKeys()));
                throw;
            }
        });
    });
    auto* fields = new QFormLayout;
    fields->addRow("Word:", wordEdit_);
    fields->addRow("Replace with:", replacementEdit_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(autoAdd_);
    buttons->addWidget(autoSecond_);
    buttons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(autoList_, 1);
    listRow->addLayout(buttons);
    auto* keys = new QFormLayout;
    keys->addRow("Activation keys:", activateKeysEdit_);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addLayout(listRow, 1);
    layout->addLayout(keys);
    return page;
}

void TOptionsDialog::fillAutoList(const std::string& select) {
    filling_ = true;
    autoList_->clear();
    for (const std::string& line : state_->autoReplace().lines()) {
        autoList_->addItem(toQString(line));
        if (!select.empty() && firstField(toQString(line)) == select)
            autoList_->setCurrentRow(autoList_->count() - 1);
    }
    filling_ = false;
    if (QListWidgetItem* item = autoList_->currentItem()) {
        wordEdit_->setText(item->text().section('\t', 0, 0));
        replacementEdit_->setText(item->text().section('\t', 1));
    }
    updateAutoButtons();
}

void TOptionsDialog::updateAutoButtons() {
    const MacroButtons b =
        state_->autoReplace().buttons(fromQString(wordEdit_->text()), fromQString(replacementEdit_->text()));
    autoAdd_->setEnabled(b.addEnabled);
    autoSecond_->setText(toQString(b.second));
    autoSecond_->setEnabled(b.secondEnabled);
}

// ---- code templates page

QWidget* TOptionsDialog::buildTemplatesPage() {
    auto* page = new QWidget(this);
    page->setObjectName("tsTemplates");
    templateNameEdit_ = new QLineEdit(page);
    templateNameEdit_->setObjectName("TemplateNameEdit");
    templateDescriptionEdit_ = new QLineEdit(page);
    templateDescriptionEdit_->setObjectName("TemplateDescriptionEdit");
    templateList_ = new QListWidget(page);
    templateList_->setObjectName("TemplateList");
    templateAdd_ = button(page, "Add", "TemplateAddButton");
    templateSecond_ = button(page, "Delete", "TemplateSecondButton");
    hotKeyBox_ = new KeyCaptureBox(page);
    hotKeyBox_->setObjectName("HotKeyBox");
    RudivoVoru1_->setParent(page);
    RudivoVoru1_->setMinimumHeight(90);
    RudivoVoru1_->control().OnChange = [this](TCustomRudivoVoru&) {
        if (!filling_)
            guarded([this] { updateTemplateButtons(); });
    };
    for (QLineEdit* box : {templateNameEdit_, templateDescriptionEdit_})
        connect(box, &QLineEdit::textChanged, this, [this] {
            if (!filling_)
                guarded([this] { updateTemplateButtons(); });
        });
    connect(templateList_, &QListWidget::currentTextChanged, this, [this](const QString& line) {
        if (filling_ || line.isEmpty())
            return;
        guarded([&] {
            const TMacroEntry* entry = state_->templates().find(firstField(line));
            if (!entry)
                return;
            filling_ = true;
            templateNameEdit_->setText(toQString(entry->Name));
            templateDescriptionEdit_->setText(toQString(entry->Description));
            RudivoVoru1_->control().SetText(entry->Replacement);
            filling_ = false;
            updateTemplateButtons();
        });
    });
    auto define = [this] {
        guarded([this] {
            const std::string name = fromQString(templateNameEdit_->text());
            state_->templates().define(name, fromQString(templateDescriptionEdit_->text()),
                                       RudivoVoru1_->control().GetText());
            RudivoVoru1_->control().SetModified(false);
            fillTemplateList(name);
        });
    };
    connect(templateAdd_, &QPushButton::clicked, this, define);
    connect(templateSecond_, &QPushButton::clicked, this, [this, define] {
        if (templateSecond_->text() == "Replace") {
            define();
            return;
        }
        guarded([this] {
            state_->templates().remove(fromQString(templateNameEdit_->text()));
            fillTemplateList("");
        });
    });
    connect(hotKeyBox_, &KeyCaptureBox::shortCutChanged, this, [this](TShortCut key) {
        guarded([&] {
            if (!state_->templates().setHotKey(key))
                hotKeyBox_->setText(toQString(state_->templates().hotKeyText()));
        });
    });
    auto* fields = new QFormLayout;
    fields->addRow("Name:", templateNameEdit_);
    fields->addRow("Description:", templateDescriptionEdit_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(templateAdd_);
    buttons->addWidget(templateSecond_);
    buttons->addStretch(1);
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(templateList_, 1);
    listRow->addLayout(buttons);
    auto* keys = new QFormLayout;
    keys->addRow("Template hot key:", hotKeyBox_);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addLayout(listRow, 1);
    layout->addWidget(RudivoVoru1_, 1);
    layout->addLayout(keys);
    return page;
}

void TOptionsDialog::fillTemplateList(const std::string& select) {
    filling_ = true;
    templateList_->clear();
    for (const std::string& line : state_->templates().lines()) {
        templateList_->addItem(toQString(line));
        if (!select.empty() && firstField(toQString(line)) == select)
            templateList_->setCurrentRow(templateList_->count() - 1);
    }
    filling_ = false;
    updateTemplateButtons();
}

void TOptionsDialog::updateTemplateButtons() {
    const MacroButtons b = state_->templates().buttons(fromQString(templateNameEdit_->text()),
                                                       fromQString(templateDescriptionEdit_->text()),
                                                       RudivoVoru1_->control().GetText());
    templateAdd_->setEnabled(b.addEnabled);
    templateSecond_->setText(toQString(b.second));
    templateSecond_->setEnabled(b.secondEnabled);
}

// ---- filling and closing

void TOptionsDialog::fill() {
    filling_ = true;
    languageEdit_->setText(toQString(state_->languageName()));
    gutterEdit_->setText(toQString(state_->marginBoxText(MarginBox::Gutter)));
    rightMarginEdit_->setText(toQString(state_->marginBoxText(MarginBox::RightMargin)));
    elementList_->clear();
    for (const StyleElement& e : state_->elements())
        elementList_->addItem(toQString(e.name));
    const TFontSpec& font = state_->font();
    for (int i = 0; i < charsetBox_->count(); ++i)
        if (charsetBox_->itemData(i).toInt() == font.CharSet)
            charsetBox_->setCurrentIndex(i);
    fillFontNames();
    const int size = fontSizeBox_->findData(font.Size);
    if (size < 0)
        fontSizeBox_->addItem(QString::number(font.Size), font.Size);
    fontSizeBox_->setCurrentIndex(fontSizeBox_->findData(font.Size));

    for (auto [box, bit] : optionBoxes_)
        box->setChecked(state_->option(bit));
    indentEdit_->setText(toQString(state_->indentStepText()));
    wrapColumnEdit_->setText(toQString(state_->wrapColumnText()));
    tabColumnsEdit_->setText(toQString(state_->tabColumnsText()));
    tabDefaultEdit_->setText(toQString(state_->tabDefaultText()));

    const QString command = commandList_->currentItem() ? commandList_->currentItem()->text() : QString();
    commandList_->clear();
    for (const std::string& name : state_->keys().commands())
        commandList_->addItem(toQString(name));
    activateKeysEdit_->setText(toQString(state_->autoReplace().activateKeys()));
    hotKeyBox_->setText(toQString(state_->templates().hotKeyText()));
    filling_ = false;

    elementList_->setCurrentRow(0);
    showElement();
    updateOptionBoxes();
    const auto found = commandList_->findItems(command, Qt::MatchExactly);
    commandList_->setCurrentRow(found.isEmpty() ? 0 : commandList_->row(found.front()));
    fillKeyList(0);
    fillAutoList("");
    fillTemplateList("");
}

void TOptionsDialog::okClicked() {
    if (state_->accept())
        accept();
}

} // namespace qorvi
