#include "app/options_dialog_state.h"

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/shell_ui.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace qorvi {

namespace {

// Default marks of the settings for the fixed elements.
constexpr int kMarkMargin = 0;
constexpr int kMarkSelText = 1;
constexpr int kMarkSelBack = 2;
constexpr int kMarkGutter = 3;

std::optional<std::int64_t> parseNumber(const std::string& text) {
    std::int64_t n = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, n);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return n;
}

} // namespace

const std::vector<OptionsPageInfo>& optionsPages() {
    static const std::vector<OptionsPageInfo> pages = {
        {ppOPTIONS, "Options"},          {ppHIGHLIGHTING, "Highlighting"}, {ppKEYS, "Key assignments"},
        {ppAUTOCORRECT, "Auto correct"}, {ppTEMPLATES, "Code templates"},
    };
    return pages;
}

unsigned firstOptionsPage(unsigned pages) {
    for (unsigned bit : {ppHIGHLIGHTING, ppOPTIONS, ppKEYS, ppAUTOCORRECT, ppTEMPLATES})
        if (pages & bit)
            return bit;
    return 0;
}

const std::vector<OptionBox>& optionBoxes() {
    static const std::vector<OptionBox> boxes = {
        {"WrapLineBox", "Wrap long lines", smoPrintWrap},
        {"LineNosBox", "Line numbers", smoPrintLineNos},
        {"FileNamBox", "Title in header", smoPrintFilename},
        {"DateBox", "Date in header", smoPrintDate},
        {"PageNosBox", "Page numbers", smoPrintPageNos},
        {"DispWrapBox", "Word wrap", smoWordWrap},
        {"AutoIndentBox", "Auto indent", smoAutoIndent},
        {"TabColBox", "Smart tab", smoTabToColumn},
        {"WrapOverrideBox", "Override wrapping", smoWrapOverride},
        {"WordSelectBox", "Word select", smoWordSelect},
        {"PrnSynHighlightBox", "Syntax highlight", smoSyntaxHighlight},
        {"VisRMarginBox", "Visible right margin", smoShowRMargin},
        {"VisGutterBox", "Visible gutter", smoShowGutter},
        {"ShowWrapColumnBox", "Show word-wrap column", smoShowWrapColumn},
        {"TitleAsFilenameBox", "Title as filename", smoTitleAsFilename},
        {"BlockCursorBox", "Block cursor for Overwrite", smoBlockOverwriteCursor},
        {"MarkWrapBox", "Mark wrapped lines", smoShowWrapGlyph},
        {"UseTabBox", "Use tab character", smoUseTAB},
        {"SmartFillBox", "Smart fill", smoSmartFill},
        {"ShowAllCharsBox", "Show all chars", smoShowAllChars},
        {"CursorAfterEOLBox", "Cursor beyond EOL", smoCaretAfterEOL},
        {"EdLineNosBox", "Line numbers in gutter", smoLineNumbers},
    };
    return boxes;
}

const std::vector<CharsetName>& fontCharsets() {
    static const std::vector<CharsetName> charsets = [] {
        std::vector<CharsetName> c = {
            {"ANSI_CHARSET", 0},     {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
            {"MAC_CHARSET", 77},     {"SHIFTJIS_CHARSET", 128},   {"HANGEUL_CHARSET", 129},
            {"JOHAB_CHARSET", 130},  {"GB2312_CHARSET", 134},     {"CHINESEBIG5_CHARSET", 136},
            {"GREEK_CHARSET", 161},  {"TURKISH_CHARSET", 162},    {"HEBREW_CHARSET", 177},
            {"ARABIC_CHARSET", 178}, {"BALTIC_CHARSET", 186},     {"RUSSIAN_CHARSET", 204},
            {"THAI_CHARSET", 222},   {"EASTEUROPE_CHARSET", 238}, {"OEM_CHARSET", 255},
        };
        std::sort(c.begin(), c.end(),
                  [](const CharsetName& a, const CharsetName& b) { return std::string(a.name) < b.name; });
        return c;
    }();
    return charsets;
}

const std::vector<int>& fontSizes() {
    static const std::vector<int> sizes = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 30};
    return sizes;
}

OptionsDialogState::OptionsDialogState(TRudivoVoruParser& parser, ShellUi& ui, TRudivoVoru& preview,
                                       TRudivoVoru& templateEditor)
    : parser_(parser), ui_(ui), preview_(preview), templateEditor_(templateEditor),
      previewParser_(std::make_unique<TRudivoVoruParser>()) {
    previewParser_->Assign(parser);
    // The image keeps less of the settings than a copy does.
    previewParser_->Settings().Assign(parser.Settings());
    previewParser_->SetName(parser.Name());
    previewParser_->OnCustomParse = parser.OnCustomParse;
    TSM_Settings& s = working();
    for (int slot = 1; slot <= kEditableCount; ++slot) {
        const TEditableEntry& e = s.GetEditableEntry(slot);
        if (e.Name.empty())
            break;
        elements_.push_back({e.Name, e.Value});
    }
    elements_.push_back({"Selected text", kElementSelectedText});
    elements_.push_back({"Left margin", kElementLeftMargin});
    elements_.push_back({"Gutter", kElementGutter});
    keys_ = std::make_unique<KeyAssignments>(s.KeyMap());
    autoReplace_ = std::make_unique<AutoReplacePage>(s.AutoReplace());
    templates_ = std::make_unique<TemplatesPage>(s.Templates());

    for (TRudivoVoru* editor : {&preview_, &templateEditor_}) {
        editor->SetParser1(previewParser_.get());
        editor->SetActiveParser(1);
    }
    preview_.SetText(s.ScriptText());
    preview_.SetSelection({0, 0});
    preview_.SetReadOnly(true);
}

OptionsDialogState::~OptionsDialogState() {
    for (TRudivoVoru* editor : {&preview_, &templateEditor_})
        editor->SetParser1(nullptr);
}

TSM_Settings& OptionsDialogState::working() {
    return previewParser_->Settings();
}

const TSM_Settings& OptionsDialogState::working() const {
    return previewParser_->Settings();
}

void OptionsDialogState::refreshPreview() {
    working().RefreshResources();
    previewParser_->UpdateEditors();
}

// ---- options page

bool OptionsDialogState::option(std::uint32_t bit) const {
    return (working().Options() & bit) != 0;
}

void OptionsDialogState::setOption(std::uint32_t bit, bool on) {
    const std::uint32_t options = working().Options();
    preview_.SetOptions(on ? options | bit : options & ~bit);
    refreshPreview();
}

bool OptionsDialogState::smartTabEnabled() const {
    return !option(smoWordWrap);
}

bool OptionsDialogState::caretAfterEOLEnabled() const {
    return preview_.CanProcessCaretAfterEOL();
}

std::string OptionsDialogState::marginBoxEdited(MarginBox box, const std::string& text) {
    if (text.empty())
        return text;
    const auto n = parseNumber(text);
    if (!n || *n < 0 || *n > 199) {
        ui_.showError(kMsgMarginRange);
        return "1";
    }
    if (box == MarginBox::Gutter)
        preview_.SetGutter(static_cast<std::int32_t>(*n));
    else
        preview_.SetRightMargin(static_cast<std::int32_t>(*n));
    return text;
}

std::string OptionsDialogState::marginBoxText(MarginBox box) const {
    return std::to_string(box == MarginBox::Gutter ? preview_.GetGutter() : preview_.GetRightMargin());
}

std::string OptionsDialogState::wrapColumnLeft(const std::string& text) {
    if (const auto n = parseNumber(text))
        preview_.SetWrapColumn(static_cast<std::uint16_t>(std::clamp<std::int64_t>(*n, 0, 0xFFFF)));
    return wrapColumnText();
}

std::string OptionsDialogState::indentStepLeft(const std::string& text) {
    if (const auto n = parseNumber(text))
        preview_.SetIndentStep(static_cast<std::uint8_t>(std::clamp<std::int64_t>(*n, 0, 0xFF)));
    return indentStepText();
}

std::string OptionsDialogState::tabColumnsLeft(const std::string& text) {
    try {
        preview_.SetTabColumns(text);
    } catch (const QorviError& e) {
        ui_.showError(e.message());
    }
    return tabColumnsText();
}

std::string OptionsDialogState::tabDefaultLeft(const std::string& text) {
    try {
        const auto n = parseNumber(text);
        preview_.SetDefTabStop(
            static_cast<std::int32_t>(std::clamp<std::int64_t>(n.value_or(0), -1, 1 << 30)));
    } catch (const QorviError& e) {
        ui_.showError(e.message());
    }
    return tabDefaultText();
}

std::string OptionsDialogState::wrapColumnText() const {
    return std::to_string(preview_.GetWrapColumn());
}

std::string OptionsDialogState::indentStepText() const {
    return std::to_string(preview_.GetIndentStep());
}

std::string OptionsDialogState::tabColumnsText() const {
    return preview_.GetTabColumns();
}

std::string OptionsDialogState::tabDefaultText() const {
    return std::to_string(preview_.GetDefTabStop());
}

// ---- highlighting page

const std::string& OptionsDialogState::languageName() const {
    return working().LanguageName();
}

ElementLook OptionsDialogState::look(int element) const {
    const TSM_Settings& s = working();
    ElementLook look;
    switch (element) {
    case kElementSelectedText:
        look.hasForeground = true;
        look.foreground = s.SelTextColor();
        look.background = s.SelTextBack();
        look.defaultForeground = s.DefaultMark(kMarkSelText) != 0;
        look.defaultBackground = s.DefaultMark(kMarkSelBack) != 0;
        break;
    case kElementLeftMargin:
        look.background = s.MarginColor();
        look.defaultBackground = s.DefaultMark(kMarkMargin) != 0;
        break;
    case kElementGutter:
        look.background = s.GutterColor();
        look.defaultBackground = s.DefaultMark(kMarkGutter) != 0;
        break;
    default: {
        if (element < 0 || element >= kFormatCount)
            break;
        const TFormatEntry& e = s.GetFormatEntry(element);
        look.fontStyles = true;
        look.hasForeground = true;
        look.style = e.Style;
        look.foreground = e.TextColor;
        look.background = e.BackColor;
        look.defaultForeground = e.DefaultText != 0;
        look.defaultBackground = e.DefaultBack != 0;
    }
    }
    return look;
}

TFormatEntry* OptionsDialogState::editable(int element, TFormatEntry& entry) const {
    if (element < 0 || element >= kFormatCount)
        return nullptr;
    entry = working().GetFormatEntry(element);
    entry.InUse = entry.InUse ? entry.InUse : 1;
    return &entry;
}

void OptionsDialogState::setFontStyle(int element, std::uint8_t bit, bool on) {
    TFormatEntry entry;
    if (!editable(element, entry))
        return;
    entry.Style = static_cast<std::uint8_t>(on ? entry.Style | bit : entry.Style & ~bit);
    working().SetFormatEntry(element, entry);
    refreshPreview();
}

void OptionsDialogState::setColour(int element, bool foreground, TColor colour) {
    TSM_Settings& s = working();
    TFormatEntry entry;
    if (element == kElementSelectedText) {
        if (foreground)
            s.SetSelTextColor(colour);
        else
            s.SetSelTextBack(colour);
    } else if (element == kElementLeftMargin) {
        if (!foreground)
            s.SetMarginColor(colour);
    } else if (element == kElementGutter) {
        if (!foreground)
            s.SetGutterColor(colour);
    } else if (editable(element, entry)) {
        (foreground ? entry.TextColor : entry.BackColor) = colour;
        s.SetFormatEntry(element, entry);
    }
    refreshPreview();
}

void OptionsDialogState::setDefaultColour(int element, bool foreground, bool on) {
    TSM_Settings& s = working();
    const std::uint8_t mark = on ? 1 : 0;
    TFormatEntry entry;
    if (element == kElementSelectedText)
        s.SetDefaultMark(foreground ? kMarkSelText : kMarkSelBack, mark);
    else if (element == kElementLeftMargin)
        s.SetDefaultMark(kMarkMargin, mark);
    else if (element == kElementGutter)
        s.SetDefaultMark(kMarkGutter, mark);
    else if (editable(element, entry)) {
        (foreground ? entry.DefaultText : entry.DefaultBack) = mark;
        s.SetFormatEntry(element, entry);
    }
    refreshPreview();
}

const TFontSpec& OptionsDialogState::font() const {
    return working().Font();
}

void OptionsDialogState::setFont(const std::string& name, std::int32_t size, std::uint8_t charset) {
    TFontSpec f = working().Font();
    f.Name = name;
    f.Size = size;
    f.CharSet = charset;
    working().SetFont(f);
    refreshPreview();
}

// ---- closing

bool OptionsDialogState::accept() {
    try {
        keys_->apply();
    } catch (const QorviError& e) {
        ui_.showError(e.message());
        return false;
    }
    TSM_Settings& own = parser_.Settings();
    own.FreeResources();
    own.Assign(working());
    own.RefreshResources();
    return true;
}

} // namespace qorvi
