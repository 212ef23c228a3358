#pragma once

// Everything that describes how one language is edited and shown: option
// flags, margins and gutter, tab stops, the 256 display styles and the
// token-to-style map, the style names the user may edit, the base and gutter
// fonts, the extra keyword tables, the auto-replace list, the code templates
// and the key map. Each parser owns one, stored inside its compiled image;
// every control using the parser reads its settings through it, and the
// attached controls keep the drawing resources made from it alive.

#include "editor/keys/keyboard_action_controller.h"
#include "editor/lexicon/keyword_table_set.h"
#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/settings/format_entry.h"
#include "editor/settings/rudivo_voru_options.h"
#include "editor/settings/tab_columns.h"
#include "editor/support/data_object_base.h"
#include "platform/canvas.h"

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qorvi {

class SettingsClient;

inline constexpr const char* kDefaultLanguageName = "<Custom language>";
inline constexpr const char* kDefaultWrapOverride = ">|:";
inline constexpr int kFormatCount = 256;
inline constexpr int kEditableCount = 50;
// Images of versions up to this one carry no gutter font.
inline constexpr std::int32_t kLastVersionWithoutGutterFont = 50;

// The drawing resources of a settings object: a font per in-use format
// entry and, with smoShowAllChars, the marks drawn for blanks, tabs and line
// ends.
struct SettingsResources {
    struct Marker {
        CanvasFont font;
        unsigned char character = 0;
        int width = 0;
        int height = 0;
    };
    std::array<std::optional<CanvasFont>, kFormatCount> fonts;
    std::vector<Marker> markers; // paragraph (182), then 174 and 191 of "Symbol"
};

class TSM_Settings : public TSM_Base {
public:
    TSM_Settings();
    ~TSM_Settings() override;
    TSM_Settings(const TSM_Settings&) = delete;
    TSM_Settings& operator=(const TSM_Settings&) = delete;

    // Frees the resources and restores every default.
    void Reset();

    // ---- texts and options
    const std::string& LanguageName() const { return languageName_; }
    void SetLanguageName(const std::string& name) { languageName_ = name; }
    const std::string& ScriptText() const { return scriptText_; }
    void SetScriptText(const std::string& text) { scriptText_ = text; }
    const std::string& WrapOverride() const { return wrapOverride_; }
    void SetWrapOverride(const std::string& marks) { wrapOverride_ = marks; }
    std::uint32_t Options() const { return options_; }
    void SetOptions(std::uint32_t options) { options_ = options; }
    bool HasOption(TRudivoVoruOption option) const { return (options_ & option) != 0; }

    // ---- margins, gutter and colours
    std::int32_t Margin() const { return margin_; }
    void SetMargin(std::int32_t v) { margin_ = v; }
    std::int32_t RightMargin() const { return rightMargin_; }
    void SetRightMargin(std::int32_t v) { rightMargin_ = v; }
    std::uint16_t WrapAtColumn() const { return wrapAtColumn_; }
    void SetWrapAtColumn(std::uint16_t v) { wrapAtColumn_ = v; }
    std::int32_t Gutter() const { return gutter_; }
    void SetGutter(std::int32_t v) { gutter_ = v; }
    std::uint8_t IndentStep() const { return indentStep_; }
    void SetIndentStep(std::uint8_t v) { indentStep_ = v; }
    TColor MarginColor() const { return marginColor_; }
    void SetMarginColor(TColor c) { marginColor_ = c; }
    TColor GutterColor() const { return gutterColor_; }
    void SetGutterColor(TColor c) { gutterColor_ = c; }
    TColor SelTextColor() const { return selTextColor_; }
    void SetSelTextColor(TColor c) { selTextColor_ = c; }
    TColor SelTextBack() const { return selTextBack_; }
    void SetSelTextBack(TColor c) { selTextBack_ = c; }
    // Margin colour, selected-text colour, selected-text background, gutter
    // colour: a set mark takes the default colour instead of the stored one.
    // The default marks: which fixed elements take the default colours.
    static constexpr int kMarkMargin = 0;
    static constexpr int kMarkSelText = 1;
    static constexpr int kMarkSelBack = 2;
    static constexpr int kMarkGutter = 3;
    std::uint8_t DefaultMark(int index) const;
    void SetDefaultMark(int index, std::uint8_t mark);

    // ---- tabs
    std::int32_t TabDefault() const { return tabDefault_; }
    // Raises ERudivoVoru for a width of 0 or less, and above 4096.
    void SetTabDefault(std::int32_t width);
    // Index 0 ... 31; -1 ends the list. A column outside 1 ... 4096 (other
    // than -1) is refused with ERudivoVoru.
    std::int32_t GetTabStop(int index) const;
    void SetTabStop(int index, std::int32_t column);
    // Copies the 32 values; those before the first -1 are sorted. Values
    // outside 1 ... 4096 end the list there.
    void SetTabStops(const TTabColumns& stops);
    const TTabColumns& GetTabStops() const { return tabStops_; }
    std::int32_t NextTabStop(std::int32_t column) const {
        return nextTabStop(tabStops_, tabDefault_, column);
    }

    // ---- styles
    const TFormatEntry& GetFormatEntry(int index) const;
    void SetFormatEntry(int index, const TFormatEntry& entry);
    std::uint8_t GetMapEntry(int token) const;
    void SetMapEntry(int token, std::uint8_t style);
    // Index 1 ... 50.
    const TEditableEntry& GetEditableEntry(int index) const;
    void SetEditableEntry(int index, const TEditableEntry& entry);
    // Whether an in-use style is a hot-spot style (kept until a format changes).
    bool GetHasActiveSites() const;

    // ---- fonts
    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font) { font_ = font; }
    const TFontSpec& GutterFont() const { return gutterFont_; }
    // Stores the gutter font and tells every attached control.
    void SetGutterFont(const TFontSpec& font);
    void GutterFontChange();
    // A font of `PointSize` points (a negative size is a pixel height) with
    // the style bits, for `canvas`: height -(PointSize x dpi / 72).
    static CanvasFont MakeFont(const std::string& FaceName, std::int32_t PointSize, std::uint8_t Styles,
                               const Canvas& canvas, std::uint8_t CharSet);

    // ---- keyword tables, templates, auto-replace, key map
    void DefineKeywordTable(const TByteSet& States, const std::string& TerminatorText, bool CaseSensitive,
                            const KeywordWordList& Words) {
        keywordTables_.DefineKeywordTable(States, TerminatorText, CaseSensitive, Words);
    }
    void InvalidateKeywordTrie() { keywordTables_.InvalidateKeywordTrie(); }
    KeywordTableSet& KeywordTables() { return keywordTables_; }
    const KeywordTableSet& KeywordTables() const { return keywordTables_; }
    TAutoReplace& AutoReplace() { return autoReplace_; }
    const TAutoReplace& AutoReplace() const { return autoReplace_; }
    TCodeTemplates& Templates() { return templates_; }
    const TCodeTemplates& Templates() const { return templates_; }
    TKeyboardActionContoller& KeyMap() { return keyMap_; }
    const TKeyboardActionContoller& KeyMap() const { return keyMap_; }

    // ---- attached controls and their resources
    // The first AddRef makes the resources, the last Release frees them; a
    // control is listed once.
    void AddRef(SettingsClient* control);
    void Release(SettingsClient* control);
    int RefCount() const { return static_cast<int>(controls_.size()); }
    // Remakes the resources while a control is attached.
    void RefreshResources();
    void MakeResources();
    void FreeResources();
    // Null while no control is attached.
    const SettingsResources* Resources() const { return resources_.get(); }

    // ---- the stream form
    // Images up to version 50 carry no gutter font; the parser image sets
    // the version around reading and writing.
    std::int32_t FormatVersion() const { return formatVersion_; }
    void SetFormatVersion(std::int32_t version) { formatVersion_ = version; }
    // Loading builds a new settings object and takes it over only when the
    // whole stream was read; the attached controls and resources stay.
    void SaveToStream(TStream& stream) const override { writeTo(stream, formatVersion_); }
    void LoadFromStream(TStream& stream) override { readFrom(stream, formatVersion_); }
    // Copies another settings object (the format version stays).
    void Assign(const TSM_Base& source) override;
    const char* ClassName() const override { return "TSM_Settings"; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TSM_Settings>(); }

private:
    void resetFields();
    void writeTo(TStream& stream, std::int32_t version) const;
    void readFrom(TStream& stream, std::int32_t version);
    void takeFrom(TSM_Settings& other);
    void notifyControls();

    std::string languageName_;
    std::string scriptText_;
    std::string wrapOverride_;
    std::uint32_t options_ = kDefaultOptions;
    std::int32_t margin_ = 2;
    std::int32_t rightMargin_ = 80;
    std::uint16_t wrapAtColumn_ = 0;
    std::int32_t gutter_ = 34;
    std::uint8_t indentStep_ = 1;
    TColor marginColor_ = clWhite;
    TColor gutterColor_ = clBtnFace;
    TColor selTextColor_ = clHighlightText;
    TColor selTextBack_ = clHighlight;
    std::int32_t tabDefault_ = 4;
    TTabColumns tabStops_{};
    std::array<TFormatEntry, kFormatCount> formats_;
    std::array<std::uint8_t, kFormatCount> styleMap_{};
    std::array<TEditableEntry, kEditableCount> editable_;
    TFontSpec font_;
    TFontSpec gutterFont_;
    std::array<std::uint8_t, 4> defaultMarks_{};
    KeywordTableSet keywordTables_;
    TAutoReplace autoReplace_;
    TCodeTemplates templates_;
    TKeyboardActionContoller keyMap_;
    std::vector<SettingsClient*> controls_;
    std::unique_ptr<SettingsResources> resources_;
    mutable std::optional<bool> hasActiveSites_;
    std::int32_t formatVersion_ = INT32_MAX;
};

} // namespace qorvi
