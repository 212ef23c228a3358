#pragma once

// The editor options dialog (TOptionsDialog) without its window. It edits
// a working copy of a language's settings and shows every change at once in
// a read-only preview editor; only accept() puts the working settings in
// place of the parser's own, and the parser's editors are not touched
// before that (so Cancel leaves every editor of the language as it was).
//
// The preview and the template editor use a copy of the parser (its tables
// and the working settings): the language's documents keep their own
// parser and settings the whole time the dialog is open.

#include "app/key_assignments.h"
#include "app/macro_list_pages.h"
#include "editor/settings/format_entry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class ShellUi;
class TRudivoVoru;
class TRudivoVoruParser;
class TSM_Settings;

inline constexpr const char* kOptionsDialogCaption = "Editor Options";
inline constexpr const char* kMsgMarginRange = "0-199 only";

// The pages, as the TPropEdPage bits number them, with their captions.
struct OptionsPageInfo {
    unsigned bit;
    const char* caption;
};
// In tab order: options, highlighting, key assignments, auto-replace, code templates.
const std::vector<OptionsPageInfo>& optionsPages();
// The page shown first: the first of highlighting, options, key
// assignments, auto-replace and code templates in `pages`; 0 for none.
unsigned firstOptionsPage(unsigned pages);

// A check box of the options page and its option bit.
struct OptionBox {
    const char* name;
    const char* caption;
    std::uint32_t bit;
};
const std::vector<OptionBox>& optionBoxes();

// An element of the highlighting page: an editable style (its value is the
// style index) or one of the three fixed elements.
struct StyleElement {
    std::string name;
    int value = 0;
};
inline constexpr int kElementSelectedText = 0x4000;
inline constexpr int kElementLeftMargin = 0x4001;
inline constexpr int kElementGutter = 0x4002;

// What the highlighting page shows for an element.
struct ElementLook {
    bool fontStyles = false; // bold, italic and underline apply
    std::uint8_t style = 0;
    bool hasForeground = false;
    TColor foreground = clBlack;
    TColor background = clWhite;
    bool defaultForeground = false;
    bool defaultBackground = false;
};

struct CharsetName {
    const char* name;
    std::uint8_t value;
};
// The 18 character sets, sorted by name.
const std::vector<CharsetName>& fontCharsets();
// The sizes the size box offers.
const std::vector<int>& fontSizes();

enum class MarginBox { Gutter, RightMargin };

class OptionsDialogState {
public:
    // `preview` shows the sample text read-only; `templateEditor` edits
    // template texts. Both take the parser copy for the dialog's time.
    OptionsDialogState(TRudivoVoruParser& parser, ShellUi& ui, TRudivoVoru& preview,
                       TRudivoVoru& templateEditor);
    ~OptionsDialogState();
    OptionsDialogState(const OptionsDialogState&) = delete;
    OptionsDialogState& operator=(const OptionsDialogState&) = delete;

    TSM_Settings& working();
    const TSM_Settings& working() const;

    // ---- options page
    bool option(std::uint32_t bit) const;
    void setOption(std::uint32_t bit, bool on);
    // "Smart tab" only while word wrap is off.
    bool smartTabEnabled() const;
    // "Cursor beyond EOL" only when the preview allows it with its font.
    bool caretAfterEOLEnabled() const;
    // A number 0-199 goes to the preview at once; anything else shows
    // "0-199 only" and gives "1" for the box. Returns the box's text. An
    // emptied box waits for the number being typed.
    std::string marginBoxEdited(MarginBox box, const std::string& text);
    // The preview's current value, for the box when it is left.
    std::string marginBoxText(MarginBox box) const;
    std::string wrapColumnLeft(const std::string& text);
    std::string indentStepLeft(const std::string& text);
    // A rejected text shows the editor's message; the old value stays.
    std::string tabColumnsLeft(const std::string& text);
    std::string tabDefaultLeft(const std::string& text);
    std::string wrapColumnText() const;
    std::string indentStepText() const;
    std::string tabColumnsText() const;
    std::string tabDefaultText() const;

    // ---- highlighting page
    const std::string& languageName() const;
    const std::vector<StyleElement>& elements() const { return elements_; }
    ElementLook look(int element) const;
    // Bold, italic, underline: bits 1, 2, 4 of the element's font style.
    void setFontStyle(int element, std::uint8_t bit, bool on);
    void setColour(int element, bool foreground, TColor colour);
    void setDefaultColour(int element, bool foreground, bool on);
    const TFontSpec& font() const;
    void setFont(const std::string& name, std::int32_t size, std::uint8_t charset);

    // ---- the other pages
    KeyAssignments& keys() { return *keys_; }
    AutoReplacePage& autoReplace() { return *autoReplace_; }
    TemplatesPage& templates() { return *templates_; }

    // OK: builds the key map and puts the working settings in place of the
    // parser's. False (after showing why) when a key pair cannot be bound;
    // nothing is applied then and the dialog stays open.
    bool accept();

private:
    void refreshPreview();
    TFormatEntry* editable(int element, TFormatEntry& entry) const;

    TRudivoVoruParser& parser_;
    ShellUi& ui_;
    TRudivoVoru& preview_;
    TRudivoVoru& templateEditor_;
    std::unique_ptr<TRudivoVoruParser> previewParser_;
    std::vector<StyleElement> elements_;
    std::unique_ptr<KeyAssignments> keys_;
    std::unique_ptr<AutoReplacePage> autoReplace_;
    std::unique_ptr<TemplatesPage> templates_;
};

} // namespace qorvi
