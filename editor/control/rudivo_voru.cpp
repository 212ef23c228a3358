// The control as a whole: construction and destruction, the properties that
// are views onto the settings, and change notification (DoChange).

#include "editor/control/rudivo_voru.h"

#include "editor/control/control_macro_port.h"
#include "editor/control/null_canvas.h"
#include "editor/control/rudivo_voru_strings.h"
#include "editor/control/sm_caret_control.h"
#include "editor/settings/editor_settings.h"
#include "editor/settings/tab_columns.h"
#include "editor/styling/custom_rudivo_voru_parser.h"
#include "editor/styling/incremental_styler.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/undo/undo_stack.h"

#include <algorithm>
#include <cmath>

namespace qorvi {
namespace {

NullCanvas& fallbackCanvas() {
    static NullCanvas canvas;
    return canvas;
}

} // namespace

TCustomRudivoVoru::TCustomRudivoVoru()
    : ownStore_(std::make_unique<TTextStore>()), store_(ownStore_.get()),
      ownSettings_(std::make_unique<TSM_Settings>()), settings_(ownSettings_.get()),
      styler_(std::make_unique<IncrementalStyler>(*store_)) {
    store_->AttachEditor(this);
    settings_->AddRef(this);
    styler_->SetTokenSeen(
        [this](int& style, std::int32_t position, std::int32_t tokenStart) { tokenSeen(style, position, tokenStart); });
    cells_.fill(cellWidth_);
    wrapApplied_ = currentWrapLayout();
    alive_ = std::make_shared<TCustomRudivoVoru*>(this);
    macroPort_ = std::make_unique<MacroPort>(*this);
    MakeMoveSet();
    store_->UndoStack()->ClearHistory();
}

TCustomRudivoVoru::~TCustomRudivoVoru() {
    destroying_ = true;
    alive_.reset();
    if (pickList_ && host_)
        host_->hidePickList();
    tracks_.reset();
    styler_->SetParser(nullptr, nullptr);
    std::vector<TCustomRudivoVoruParser*> attached;
    for (TCustomRudivoVoruParser* p : parsers_)
        if (p && std::find(attached.begin(), attached.end(), p) == attached.end())
            attached.push_back(p);
    for (TCustomRudivoVoruParser* p : attached)
        p->DetachEditor(this);
    settings_->Release(this);
    if (settings_ != ownSettings_.get())
        ownSettings_->Release(this);
    store_->ReleaseEditor(this);
}

void TCustomRudivoVoru::tokenSeen(int& style, std::int32_t position, std::int32_t tokenStart) {
    if (!OnTokenSeen)
        return;
    // The handler may ask for the token's text while it is told about it.
    if (tokenStart >= 0 && position > tokenStart)
        gatheredToken_ = store_->GetText(tokenStart, std::min<std::int32_t>(position - tokenStart, 4096));
    else
        gatheredToken_.clear();
    OnTokenSeen(*this, style, position, tokenStart);
}

void TCustomRudivoVoru::SetHost(ControlHost* host) {
    host_ = host;
    // The first window measures the font.
    if (host_ && !fontMeasured_)
        FontChanged();
}

Canvas& TCustomRudivoVoru::resourceCanvas() {
    if (printCanvas_)
        return *printCanvas_;
    return host_ ? host_->measureCanvas() : fallbackCanvas();
}

void TCustomRudivoVoru::settingsChanged() {
    perform(SMM_REFRESH);
}

// ---------------------------------------------------------------- the text store

void TCustomRudivoVoru::SetTextStore(TTextStore* store) {
    TTextStore* next = store ? store : ownStore_.get();
    if (next == store_)
        return;
    store_->ReleaseEditor(this);
    tracks_.reset();
    pendingUndo_ = {};
    beyondEOL_ = false;
    store_ = next;
    store_->AttachEditor(this);
    TCustomRudivoVoruParser* parser = styler_->Parser();
    styler_ = std::make_unique<IncrementalStyler>(*store_);
    styler_->SetTokenSeen(
        [this](int& style, std::int32_t position, std::int32_t tokenStart) { tokenSeen(style, position, tokenStart); });
    styler_->SetParser(parser, this);
    sel_ = {};
    topLine_ = 0;
    leftCol_ = 0;
    lineCount_ = {};
    refreshTopRow();
    perform(SMM_REFRESH);
}

void TCustomRudivoVoru::refreshFromStore() {
    refreshTopRow();
    ScreenInvalid();
    Paint();
    UpdateScrollBars();
}

void TCustomRudivoVoru::repaintFromStore() {
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::repaintBreakpoints() {
    // Breakpoints move while an edit is under way, possibly an edit through
    // another control showing this store: the rows this control shows may be
    // gone already, so only a whole repaint is asked for, no row is touched.
    fullRepaint_ = true;
    Paint();
}

TRudivoVoruStrings& TCustomRudivoVoru::Lines() {
    if (!lines_)
        lines_ = std::make_unique<TRudivoVoruStrings>(*this);
    return *lines_;
}

TSM_CaretControl& TCustomRudivoVoru::CaretControl() {
    if (!caretControl_)
        caretControl_ = std::make_unique<TSM_CaretControl>(*this);
    return *caretControl_;
}

// ---------------------------------------------------------------- change notification

bool TCustomRudivoVoru::canNotify() const {
    return updateLock_ == 0 && !loading_ && !destroying_ && redraw_;
}

void TCustomRudivoVoru::DoChange() {
    if (!canNotify())
        return;
    if (pendingParse_ >= 0)
        ParseText();
    const std::uint32_t reasons = reasons_;
    reasons_ = 0;
    if (reasons) {
        lastReasons_ = reasons;
        if (OnChange)
            OnChange(*this);
    }
}

// ---------------------------------------------------------------- colours

TColor TCustomRudivoVoru::selTextColor() const {
    return settings_->DefaultMark(1) ? clHighlightText : settings_->SelTextColor();
}

TColor TCustomRudivoVoru::selTextBack() const {
    return settings_->DefaultMark(2) ? clHighlight : settings_->SelTextBack();
}

TColor TCustomRudivoVoru::gutterBrush() const {
    return settings_->DefaultMark(3) ? clBtnFace : settings_->GutterColor();
}

TColor TCustomRudivoVoru::marginBrush() const {
    return settings_->DefaultMark(0) ? def_BackColor : settings_->MarginColor();
}

// ---------------------------------------------------------------- properties kept by the settings

std::int32_t TCustomRudivoVoru::GetGutter() const {
    return settings_->Gutter();
}

void TCustomRudivoVoru::SetGutter(std::int32_t value) {
    if (!hasSize_ || clientWidth_ <= 0 || value < 0 || (value >= 1 && value <= 33))
        return;
    if (value > static_cast<std::int32_t>(std::lround(clientWidth_ * 0.2)))
        return;
    if (value == settings_->Gutter())
        return;
    settings_->SetGutter(value);
    ShowChangesInUI();
}

std::int32_t TCustomRudivoVoru::GetMargin() const {
    return settings_->Margin();
}

void TCustomRudivoVoru::SetMargin(std::int32_t value) {
    if (value < 0 || value > charWidth_ || value == settings_->Margin())
        return;
    settings_->SetMargin(value);
    ShowChangesInUI();
}

TColor TCustomRudivoVoru::GetGutterColor() const {
    return settings_->GutterColor();
}

void TCustomRudivoVoru::SetGutterColor(TColor color) {
    settings_->SetGutterColor(color);
    settings_->SetDefaultMark(3, 0);
    ShowChangesInUI();
}

TColor TCustomRudivoVoru::GetMarginColor() const {
    return settings_->MarginColor();
}

void TCustomRudivoVoru::SetMarginColor(TColor color) {
    settings_->SetMarginColor(color);
    settings_->SetDefaultMark(0, 0);
    ShowChangesInUI();
}

std::int32_t TCustomRudivoVoru::GetRightMargin() const {
    return settings_->RightMargin();
}

void TCustomRudivoVoru::SetRightMargin(std::int32_t column) {
    settings_->SetRightMargin(column);
    ShowChangesInUI();
}

TColor TCustomRudivoVoru::GetSelTextColor() const {
    return settings_->SelTextColor();
}

void TCustomRudivoVoru::SetSelTextColor(TColor color) {
    settings_->SetSelTextColor(color);
    settings_->SetDefaultMark(1, 0);
    ShowChangesInUI();
}

TColor TCustomRudivoVoru::GetSelTextBack() const {
    return settings_->SelTextBack();
}

void TCustomRudivoVoru::SetSelTextBack(TColor color) {
    settings_->SetSelTextBack(color);
    settings_->SetDefaultMark(2, 0);
    ShowChangesInUI();
}

TFontSpec TCustomRudivoVoru::GetGutterFont() const {
    return settings_->GutterFont();
}

void TCustomRudivoVoru::SetGutterFont(const TFontSpec& font) {
    // The settings tell every control attached to them.
    settings_->SetGutterFont(font);
}

std::uint32_t TCustomRudivoVoru::GetOptions() const {
    return settings_->Options();
}

void TCustomRudivoVoru::SetOptions(std::uint32_t options) {
    perform(SMM_OPTIONS, kSmmSet, static_cast<std::intptr_t>(options));
}

std::string TCustomRudivoVoru::GetTabColumns() const {
    return TabColumnsAsText(settings_->GetTabStops());
}

void TCustomRudivoVoru::SetTabColumns(const std::string& text) {
    TTabColumns columns;
    TextToTabColumns(text, columns);
    settings_->SetTabStops(columns);
    ShowChangesInUI();
}

std::int32_t TCustomRudivoVoru::GetDefTabStop() const {
    return settings_->TabDefault();
}

void TCustomRudivoVoru::SetDefTabStop(std::int32_t width) {
    if (width <= 0)
        throw ERudivoVoru(kMsgIllegalTabDefault);
    settings_->SetTabDefault(width);
    ShowChangesInUI();
}

std::uint8_t TCustomRudivoVoru::GetIndentStep() const {
    return settings_->IndentStep();
}

void TCustomRudivoVoru::SetIndentStep(std::uint8_t step) {
    if (step >= 1 && step <= 19)
        settings_->SetIndentStep(step);
}

TFormatEntry TCustomRudivoVoru::GetFormatEntry(int index) const {
    return settings_->GetFormatEntry(index);
}

void TCustomRudivoVoru::SetFormatEntry(int index, const TFormatEntry& entry) {
    settings_->SetFormatEntry(index, entry);
    ShowChangesInUI();
}

std::uint8_t TCustomRudivoVoru::GetMapEntry(int token) const {
    return settings_->GetMapEntry(token);
}

void TCustomRudivoVoru::SetMapEntry(int token, std::uint8_t style) {
    settings_->SetMapEntry(token, style);
    ShowChangesInUI();
}

void TCustomRudivoVoru::ReleaseFormats() {
    settings_->Release(this);
}

void TCustomRudivoVoru::RegisterFormats() {
    settings_->AddRef(this);
}

// ---------------------------------------------------------------- properties of the control

void TCustomRudivoVoru::SetFont(const TFontSpec& font) {
    font_ = font;
    FontChanged();
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::SetHideSelection(bool hide) {
    if (hide == hideSelection_)
        return;
    hideSelection_ = hide;
    repaintRange(sel_.chStart, sel_.chEnd);
    Paint();
}

void TCustomRudivoVoru::SetReadOnly(bool readOnly) {
    if (readOnly == readOnly_)
        return;
    readOnly_ = readOnly;
    // Only read-only colours show the change.
    if (readOnlyClrChange_) {
        ScreenInvalid();
        Paint();
    }
}

void TCustomRudivoVoru::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::SetShowFocusLine(bool show) {
    if (show == showFocusLine_)
        return;
    showFocusLine_ = show;
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::SetInsMode(bool insert) {
    if (insert == insMode_)
        return;
    insMode_ = insert;
    reasons_ |= crInsertMode;
    DoChange();
    Paint();
}

void TCustomRudivoVoru::SetUserGlyphs(int count) {
    userGlyphs_ = std::max(0, count);
    ScreenInvalid();
    Paint();
}

namespace {

template <class T> bool assignChanged(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

} // namespace

void TCustomRudivoVoru::SetDisabledFgColor(TColor c) {
    if (assignChanged(disabledFg_, c) && !enabled_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetDisabledBgColor(TColor c) {
    if (assignChanged(disabledBg_, c) && !enabled_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetDisabledFgApply(bool on) {
    if (assignChanged(disabledFgApply_, on) && !enabled_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetDisabledBgApply(bool on) {
    if (assignChanged(disabledBgApply_, on) && !enabled_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetDisabledClrChange(bool on) {
    if (assignChanged(disabledClrChange_, on) && !enabled_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetReadOnlyFgColor(TColor c) {
    if (assignChanged(readOnlyFg_, c) && readOnly_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetReadOnlyBgColor(TColor c) {
    if (assignChanged(readOnlyBg_, c) && readOnly_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetReadOnlyFgApply(bool on) {
    if (assignChanged(readOnlyFgApply_, on) && readOnly_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetReadOnlyBgApply(bool on) {
    if (assignChanged(readOnlyBgApply_, on) && readOnly_)
        repaintFromStore();
}
void TCustomRudivoVoru::SetReadOnlyClrChange(bool on) {
    if (assignChanged(readOnlyClrChange_, on) && readOnly_)
        repaintFromStore();
}

// ---------------------------------------------------------------- line attributes

std::uint16_t TCustomRudivoVoru::GetLineGlyph(std::int32_t line) const {
    return store_->GetLineGlyph(line);
}

void TCustomRudivoVoru::SetLineGlyph(std::int32_t line, std::uint16_t glyphs) {
    store_->SetLineGlyph(glyphs, line);
}

void TCustomRudivoVoru::AddLineGlyph(int glyph, std::int32_t line) {
    store_->AddLineGlyph(glyph, line);
}

void TCustomRudivoVoru::RemoveLineGlyph(int glyph, std::int32_t line) {
    store_->RemoveLineGlyph(glyph, line);
}

bool TCustomRudivoVoru::LineHasGlyph(int glyph, std::int32_t line) const {
    return store_->LineHasGlyph(glyph, line);
}

std::int32_t TCustomRudivoVoru::GetLineColor(std::int32_t line) const {
    return store_->GetLineColor(line);
}

void TCustomRudivoVoru::SetLineColor(std::int32_t line, std::int32_t color) {
    store_->SetLineColor(color, line);
}

std::int32_t TCustomRudivoVoru::GetLineTextColor(std::int32_t line) const {
    return store_->GetLineTextColor(line);
}

void TCustomRudivoVoru::SetLineTextColor(std::int32_t line, std::int32_t color) {
    store_->SetLineTextColor(color, line);
}

// ---------------------------------------------------------------- line index for breakpoints

std::int32_t TCustomRudivoVoru::lineStart(std::int32_t line) const {
    if (line < 1 || line > store_->NumLines())
        return -1;
    return store_->LineFromLineIndex(line - 1).start;
}

std::int32_t TCustomRudivoVoru::lineOf(std::int32_t offset) const {
    if (!store_->Buffer())
        return 1;
    return store_->InfoFromIndex(offset).index + 1;
}

std::int32_t TCustomRudivoVoru::lineEnd(std::int32_t offset) const {
    const TTextStore::LineInfo info = store_->InfoFromIndex(offset);
    return info.line ? info.start + info.line->Len() : 0;
}

} // namespace qorvi
