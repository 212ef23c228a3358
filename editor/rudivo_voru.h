#pragma once

// The editor control's core: TCustomRudivoVoru, published as TRudivoVoru.
// It shows the rows of a text store in syntax colours, with a gutter for
// glyphs and line numbers, a margin, and right-margin and wrap-column
// lines; it binds to up to six parsers and works on the settings of the
// active one; it keeps the rows' style bytes up to date after each edit;
// it scrolls, wraps long lines into rows and expands tabs.
//
// The core draws only through the Canvas port and is driven by messages
// (perform, with the Win32 numbers) and by view events from its window
// (ControlHost), which never lets an exception through to its event loop.
// The implementation is split by concern:
//   rudivo_voru.cpp        construction, properties, change notification
//   control_metrics.cpp    font metrics, screen geometry, positions
//   control_paint.cpp      the row painter (DoPaint)
//   control_gutter.cpp     the gutter: glyphs and line numbers
//   control_parsers.cpp    parser slots, shared settings, SMM_REFRESH
//   control_styling.cpp    ParseText and the idle styling of the rest
//   control_scroll.cpp     scroll position, scroll bars, caret in view
//   control_wrap.cpp       word wrap (UpdateFormat)
//   control_tabs.cpp       tab stops, columns and offsets
//   control_edit.cpp       the selection and the replace-selection edit
//   control_view.cpp       paint, size, focus, wheel and mouse events
//   control_messages.cpp   the message dispatch

#include "editor/breakpoint_control.h"
#include "editor/canvas.h"
#include "editor/ch_range.h"
#include "editor/control_host.h"
#include "editor/display_row.h"
#include "editor/ed_stream.h"
#include "editor/format_entry.h"
#include "editor/parser_client.h"
#include "editor/render_data.h"
#include "editor/row_breaks.h"
#include "editor/rudivo_voru_messages.h"
#include "editor/settings_client.h"
#include "editor/text_store.h"
#include "editor/text_store_editor.h"
#include "editor/view_events.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class IncrementalStyler;
class TCustomRudivoVoruParser;
class TSM_Settings;
struct TMark;

inline constexpr const char* kRudivoVoruVersion = "3.00.39";
inline constexpr const char* kMsgParserIndexRange = "Parser index out of range";
inline constexpr const char* kMsgNoActiveParser = "No active parser";

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle { bsNone, bsSingle };
enum TSaveFormat { sfTEXT, sfRTF, sfHTML, sfUNIX };
enum TFlatScrollBarStyle { fssEncarta, fssFLAT, fssREGULAR };
enum TClipCopyFormat : std::uint8_t { smTEXT = 1, smRTF = 2 };
enum TPropEdPage : std::uint8_t {
    ppOPTIONS = 1,
    ppHIGHLIGHTING = 2,
    ppKEYS = 4,
    ppAUTOCORRECT = 8,
    ppTEMPLATES = 16,
};

class TCustomRudivoVoru;

// The record OnDrawLine receives for each row it may draw instead.
struct TDrawLineData {
    std::int32_t Version = 1;
    std::string_view Text; // the display text (tabs expanded)
    std::int32_t Field2 = 1;
    Canvas* canvas = nullptr;
    CanvasRect Rect; // the row
    std::int32_t CharIndex = 0;
    std::int32_t LeftColumn = 0;
    std::int32_t Length = 0;
    bool Handled = false;
};

using TNotifyEvent = std::function<void(TCustomRudivoVoru& Sender)>;
using TDrawLineEvent = std::function<void(TCustomRudivoVoru& Sender, TDrawLineData& Data)>;
using TDrawMarkEvent =
    std::function<void(TCustomRudivoVoru& Sender, Canvas& canvas, TMark* Mark, const CanvasRect& Rect)>;
using TTokenSeenEvent = std::function<void(TCustomRudivoVoru& Sender, int& Style, std::int32_t Position,
                                           std::int32_t TokenStart)>;
using TTextChangeEvent =
    std::function<void(TCustomRudivoVoru& Sender, std::int32_t Index, std::int32_t Delta)>;
using TGutterClickEvent = std::function<void(TCustomRudivoVoru& Sender, std::int32_t Line)>;
// Returns true when it handled the wheel turn.
using TMouseWheelUpDownEvent =
    std::function<bool(TCustomRudivoVoru& Sender, std::uint32_t Shift, int X, int Y)>;
// The mark-draw hook: draws a mark instead of the spelling underline.
using TMarkDrawHook = std::function<void(Canvas& canvas, TMark* Mark, const CanvasRect& Rect)>;

class TCustomRudivoVoru : public ParserClient,
                          public SettingsClient,
                          public TextStoreEditor,
                          public BreakpointControl {
public:
    // Fixed-pitch rows hand the canvas one cell width per character; longer
    // runs are drawn in pieces of this many.
    static constexpr int kCellTableSize = 301;
    static constexpr int kParserSlots = 6;

    TCustomRudivoVoru();
    ~TCustomRudivoVoru() override;
    TCustomRudivoVoru(const TCustomRudivoVoru&) = delete;
    TCustomRudivoVoru& operator=(const TCustomRudivoVoru&) = delete;

    // ---- the window
    // The window showing the control; null: no window (metrics 7 and 17).
    void SetHost(ControlHost* host);
    ControlHost* Host() const { return host_; }
    std::intptr_t perform(std::uint32_t Msg, std::uintptr_t WParam = 0, std::intptr_t LParam = 0) {
        return Int_Perform(Msg, WParam, LParam);
    }

    // ---- virtual operations, in slot order (later slots come with the
    // selection, editing, undo and printing work)
    virtual void DoChange();
    virtual std::intptr_t Int_Perform(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam);
    virtual std::int32_t GetSelLength() const;
    virtual std::int32_t GetSelStart() const;
    virtual void SetSelLength(std::int32_t Value);
    virtual void SetSelStart(std::int32_t Value);
    virtual void SetScrollBars(TScrollStyle Value);

    // ---- events from the window (control_view.cpp)
    // Paints the part `dirty` of the client area on `canvas` (the window's
    // paint event): rows are styled first, then drawn, then the caret and
    // the scroll bars follow.
    void PaintTo(Canvas& canvas, const CanvasRect& dirty);
    void ViewResize(int clientWidth, int clientHeight);
    void ViewFocus(bool focused);
    void ViewWheel(const WheelInput& wheel);
    void MouseDown(const MouseInput& mouse);
    void MouseMove(const MouseInput& mouse);
    void MouseUp(const MouseInput& mouse);
    // One step of scrolling while the left button drags outside the text;
    // false when the drag is over (button released or pointer inside).
    bool AutoScrollStep(int x, int y, bool leftButtonDown);
    // One idle slice of styling; false when nothing is left.
    bool IdleWork();
    bool Focused() const { return focused_; }

    // ---- Part 4.1: painting and metrics
    // Asks the window to repaint the rows carrying the repaint or changed
    // bit (Paint of the framework, which the window then runs as PaintTo).
    void Paint();
    void DoPaint(TRenderData& rd);
    void FontChanged();
    // The printing layer measures fonts on the printer from here until it
    // passes null; the screen's metrics then come back and every row on
    // screen is repainted. Painting the screen and the scroll bars wait.
    void UsePrinterCanvas(Canvas* printer);
    void MarkLinesChanged(TLine* row);
    void ScreenInvalid();
    void InvalidateFormats();
    void UpdateFormat(TLine* fromRow = nullptr, TLine* toRow = nullptr);
    // Character index <-> client point.
    CanvasRect CaretRect() const;
    bool PosFromIndex(std::int32_t index, int& x, int& y) const;
    std::int32_t IndexFromPos(int x, int y) const;
    int ColumnToXCoord(std::int32_t column, TLine* row) const;
    std::int32_t XCoordToColumn(int x, TLine* row) const;
    std::int32_t LeftRefPoint() const;
    int GetLineHeight() const { return textHeight_ + lhExtra_; }
    int GetLHExtra() const { return lhExtra_; }
    void SetLHExtra(int extra);
    int CharWidth() const { return charWidth_; }
    int TextHeight() const { return textHeight_; }
    int CellWidth() const { return cellWidth_; }
    bool FixedPitch() const { return fixedPitch_; }
    std::int32_t VisibleColumns() const { return visibleCols_; }
    std::int32_t VisibleRows() const { return visibleRows_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void DoSpellHighlight(Canvas& canvas, const CanvasRect& rect);
    void SetMarkDrawHook(TMarkDrawHook hook) { markDrawHook_ = std::move(hook); }
    const TMarkDrawHook& GetMarkDrawHook() const { return markDrawHook_; }

    // Line attributes by one-based line (record) number; 0 counts as 1 and
    // a line beyond the text does nothing.
    std::uint16_t GetLineGlyph(std::int32_t line) const;
    void SetLineGlyph(std::int32_t line, std::uint16_t glyphs);
    void AddLineGlyph(int glyph, std::int32_t line);
    void RemoveLineGlyph(int glyph, std::int32_t line);
    bool LineHasGlyph(int glyph, std::int32_t line) const;
    std::int32_t GetLineColor(std::int32_t line) const;
    void SetLineColor(std::int32_t line, std::int32_t color);
    std::int32_t GetLineTextColor(std::int32_t line) const;
    void SetLineTextColor(std::int32_t line, std::int32_t color);
    // The user glyphs are the window's image list (GlyphSet::User); the
    // control keeps only how many there are.
    void SetUserGlyphs(int count);
    int GetUserGlyphs() const { return userGlyphs_; }

    TFormatEntry GetFormatEntry(int index) const;
    void SetFormatEntry(int index, const TFormatEntry& entry);
    std::uint8_t GetMapEntry(int token) const;
    void SetMapEntry(int token, std::uint8_t style);
    void ReleaseFormats();
    void RegisterFormats();

    // ---- published properties
    const TFontSpec& Font() const { return font_; }
    void SetFont(const TFontSpec& font);
    TFontSpec GetGutterFont() const;
    void SetGutterFont(const TFontSpec& font);
    std::int32_t GetGutter() const;
    void SetGutter(std::int32_t value);
    std::int32_t GetMargin() const;
    void SetMargin(std::int32_t value);
    TColor GetGutterColor() const;
    void SetGutterColor(TColor color);
    TColor GetMarginColor() const;
    void SetMarginColor(TColor color);
    std::int32_t GetRightMargin() const;
    void SetRightMargin(std::int32_t column);
    TColor GetSelTextColor() const;
    void SetSelTextColor(TColor color);
    TColor GetSelTextBack() const;
    void SetSelTextBack(TColor color);
    std::uint32_t GetOptions() const;
    void SetOptions(std::uint32_t options);
    bool GetWordWrap() const;
    void SetWordWrap(bool on);
    std::uint16_t GetWrapColumn() const;
    void SetWrapColumn(std::uint16_t column);
    std::string GetWROverrideMarks() const;
    void SetWROverrideMarks(const std::string& marks);
    std::string GetTabColumns() const;
    void SetTabColumns(const std::string& text);
    std::int32_t GetDefTabStop() const;
    void SetDefTabStop(std::int32_t width);
    std::uint8_t GetIndentStep() const;
    void SetIndentStep(std::uint8_t step);
    bool HideSelection() const { return hideSelection_; }
    void SetHideSelection(bool hide);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool MonoPrint = true;
    bool ShowFocusLine() const { return showFocusLine_; }
    void SetShowFocusLine(bool show);
    TColor def_TextColor = clBlack;
    TColor def_BackColor = clWhite;
    std::uint8_t def_FontStyle = 0;
    TBorderStyle BorderStyle = bsSingle;
    std::uint8_t ClipCopyFormats = smTEXT | smRTF;
    bool FlatScrollBars = false;
    TFlatScrollBarStyle FlatScrollBarStyle = fssFLAT;
    int HyperCursor = 0;
    TSaveFormat SaveFormat = sfTEXT;
    std::uint8_t VisiblePropEdPages = ppOPTIONS | ppHIGHLIGHTING | ppKEYS | ppAUTOCORRECT | ppTEMPLATES;
    bool WantReturns = true;
    bool WantTab = true;
    TScrollStyle ScrollBars() const { return scrollBars_; }
    const char* Version() const { return kRudivoVoruVersion; }
    bool GetInsMode() const { return insMode_; }
    void SetInsMode(bool insert);

    // Colours of a disabled and of a read-only control.
    void SetDisabledFgColor(TColor c);
    void SetDisabledBgColor(TColor c);
    void SetDisabledFgApply(bool on);
    void SetDisabledBgApply(bool on);
    void SetDisabledClrChange(bool on);
    void SetReadOnlyFgColor(TColor c);
    void SetReadOnlyBgColor(TColor c);
    void SetReadOnlyFgApply(bool on);
    void SetReadOnlyBgApply(bool on);
    void SetReadOnlyClrChange(bool on);

    // ---- events
    TNotifyEvent OnChange;
    TDrawLineEvent OnDrawLine;
    TDrawMarkEvent OnDrawMark;
    TTokenSeenEvent OnTokenSeen;
    TWordBreakProc OnWordBreakProc;
    TTextChangeEvent OnTextChange;
    TGutterClickEvent OnGutterClick;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    // The reasons behind the OnChange being raised (TChangeReason set).
    std::uint32_t ChangeReasons() const { return lastReasons_; }
    // Records why the control changed, for the next DoChange.
    void AddChangeReason(std::uint32_t reasons) { reasons_ |= reasons; }

    // ---- Part 4.7: parsers and styling
    TCustomRudivoVoruParser* GetParser(int slot) const;
    void SetParser(int slot, TCustomRudivoVoruParser* parser) { InstallNewParser(slot, parser); }
    void InstallNewParser(int slot, TCustomRudivoVoruParser* parser);
    int GetActiveParser() const { return activeParser_; }
    void SetActiveParser(int slot);
    TCustomRudivoVoruParser* GetCurrentParser() const;
    std::vector<std::string> GetLanguageNames() const;
    // Form data is being read: no painting and no OnChange until Loaded.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    void ModifyProperties();
    void ShowChangesInUI();
    void ParseRequired(TLine* row);
    void ParseAllRequired();
    void ParseText();
    virtual void PostProcess() {}
    // The settings the control works on: the active parser's, or its own.
    TSM_Settings& Settings() const { return *settings_; }
    // Characters styled per idle slice.
    std::int64_t IdleSliceChars = 256 * 1024;
    // Rows beyond the screen that a parse styles at once.
    std::int32_t SyncMarginRows = 48;
    const IncrementalStyler& Styler() const { return *styler_; }
    // True while rows wait to be styled (in idle time or before painting).
    bool StylingPending() const;
    // Rows before `offset` get their final styles now (painting, export,
    // search by style).
    void StyleBefore(std::int32_t offset);

    // ---- Part 4.4: scrolling, wrap and tabs
    void NewScrollPos(std::int32_t leftColumn, std::int32_t topLine, bool autoScroll, bool repaint);
    void CaretInView(std::int32_t index);
    void UpdateScrollBars();
    std::int32_t TopLine() const { return topLine_; }
    TLine* TopRow() const { return visLine_; }
    std::int32_t TopRowStart() const { return topOffset_; }
    std::int32_t LeftColumn() const { return leftCol_; }
    // Rows per vertical scroll-bar step, so bar values stay below 32000.
    std::int32_t ScaleFactor() const;
    void DoMouseWheelDown(std::uint32_t shift, int x, int y, int lines);
    void DoMouseWheelUp(std::uint32_t shift, int x, int y, int lines);
    std::int32_t DoWordBreakTest(const char* text, std::int32_t position, int kind,
                                 std::int32_t length) const;
    std::int32_t NextTabStop(std::int32_t column) const;
    void ExpandTabs(TLine* row, DisplayRow& out) const;
    std::int32_t CharOffsetToColumn(std::int32_t offset, TLine* row) const;
    std::int32_t ColumnToCharOffset(std::int32_t column, TLine* row) const;
    // Logical lines (rows joined at their carriage returns), 1-based.
    void UnwrappedToCurrentView(std::int32_t line, std::int32_t column, std::int32_t& viewColumn,
                                std::int32_t& viewRow) const;
    void CurrentViewToUnwrapped(std::int32_t row, std::int32_t column, std::int32_t& offset,
                                std::int32_t& line) const;
    std::int32_t UnwrappedCharOffset(std::int32_t line, std::int32_t column) const;
    TLine* LineFromIndex(std::int32_t index, std::int32_t& rowStart) const;
    TLine* LineFromLineIndex(std::int32_t rowNumber, std::int32_t& rowStart,
                             std::int32_t& rowNumberReached) const;
    std::int32_t OffsetIntoLine(std::int32_t index) const;
    TTextStore::LineInfo InfoFromIndex(std::int32_t index) const;
    std::int32_t GetLongestLineLength() const;
    // The 1-based text line of the row starting at `rowStart` (carriage
    // returns before it + 1).
    std::int32_t TextLineOfRow(std::int32_t rowStart) const;

    // ---- the selection and the one editing entry (control_edit.cpp)
    TChRange GetSelection() const { return sel_; }
    // SMM_SELECTION set: clamps, repaints the rows involved, brings the
    // caret into view unless `noRepaint`.
    void SetSelection(const TChRange& range, bool noRepaint = false);
    // The single replace-selection edit: the selection's text goes, `text`
    // (any line breaks) goes in its place, markers follow, the rows of the
    // changed lines are re-wrapped and the styles re-parsed; the caret ends
    // after the new text. Undo recording, the padding of a caret beyond the
    // line end and read-only checks belong to the editing layer that
    // extends this.
    virtual void DoReplaceSel(std::string_view text, bool noRepaint = false);
    std::string GetSelText() const;

    // ---- the text
    TTextStore& TextStore() const { return *store_; }
    // Shows `store` (owned by the caller) instead of the own store; null
    // returns to the own store.
    void SetTextStore(TTextStore* store);
    // Replaces the whole text (no undo): styles dropped, view reset.
    void SetText(std::string_view text);
    // Loads a file in place of the whole text, as SetText; a file that
    // cannot be read raises EFOpenError and leaves the text as it was. (The
    // loading layer adds the undo history, the title and the formats.)
    void LoadFromFile(const std::string& path);
    std::string GetText() const;

    // ---- interfaces for the parser, the settings and the store
    void reinstallActiveParser() override;
    void parserDestroyed(TCustomRudivoVoruParser* parser) override;
    SettingsClient* settingsClient() override { return this; }
    Canvas& resourceCanvas() override;
    bool printingResources() const override { return printing_; }
    void settingsChanged() override;
    void refreshFromStore() override;
    void repaintFromStore() override;
    std::int32_t lineStart(std::int32_t line) const override;
    std::int32_t lineOf(std::int32_t offset) const override;
    std::int32_t lineEnd(std::int32_t offset) const override;
    void repaintBreakpoints() override;

protected:
    // Hooks for the editing layer: key map and templates bound to the
    // control when it takes the focus or new settings.
    virtual void SetUI() {}
    virtual void MakeMoveSet() {}
    // One row drawn at y on rd's canvas within rd.Rect (its left edge takes
    // the gutter and margin widths), as DoPaint draws it: for the printing
    // layer, which lays rows out on pages itself (the screen's selection is
    // left out on a printer).
    void DrawRow(TRenderData& rd, TLine* row, std::int32_t rowStart, int y);

private:
    struct RunColors {
        TColor text = clBlack;
        TColor back = clWhite;
        int format = 0;
    };
    struct RowPaint;

    // rudivo_voru.cpp
    bool canNotify() const;
    TColor selTextColor() const;
    TColor selTextBack() const;
    TColor gutterBrush() const;
    TColor marginBrush() const;
    void takeSettings(TSM_Settings* settings);
    void refreshEditorsOf(TSM_Settings* settings);

    // control_metrics.cpp
    void recomputeVisible();
    Canvas* measuringCanvas() const;
    CanvasFont canvasFont(std::uint8_t styleBits) const;
    void positionText(TLine* row, std::int32_t column, int& x) const;

    // control_paint.cpp
    RowPaint rowPaintFor(const TRenderData& rd) const;
    void paintRow(Canvas& c, TLine* row, std::int32_t rowStart, int y, RowPaint& p);
    void paintPastEnd(Canvas& c, int y, RowPaint& p);
    void paintRowLines(Canvas& c, int y, const RowPaint& p);
    void paintMarks(Canvas& c, TLine* row, std::int32_t rowStart, int y, const RowPaint& p);
    void paintAllChars(Canvas& c, TLine* row, int y, RowPaint& p);
    RunColors colorsFor(std::uint8_t style, bool selected, const RowPaint& p) const;
    void selectFont(Canvas& c, int format, RowPaint& p);
    int drawRun(Canvas& c, int x, int y, std::string_view text, const RunColors& colors, RowPaint& p);

    // control_gutter.cpp
    void paintGutter(Canvas& c, TLine* row, int y, std::int32_t lineNumber, int breakGlyph, RowPaint& p);

    // control_parsers.cpp
    void refreshFromSettings();

    // control_styling.cpp
    std::int32_t syncLimit(std::int32_t pendingStart) const;
    void requestIdle();
    void invalidateRestyledRows();

    // control_scroll.cpp
    void setTopLine(std::int32_t index);
    void refreshTopRow();
    bool autoScrollOutside(int x, int y) const;

    // control_wrap.cpp
    void rewrapLines(TLine* first, TLine* last);
    int wrapWidth() const;
    bool wrapExempt(std::string_view line) const;
    void rewrapAll();
    void rewrapIfLayoutChanged();

    // control_edit.cpp
    void setOptionWord(std::uint32_t options, bool noRepaint);
    void scrollMessage(bool vertical, int request, int position);
    void repaintRange(std::int32_t from, std::int32_t to);
    void textReplaced();
    void selectAtPos(int x, int y, bool extend);
    std::int32_t crBefore(std::int32_t offset) const;
    TTextStore::LineInfo firstRowOfTextLine(std::int32_t line) const;

    ControlHost* host_ = nullptr;
    std::unique_ptr<TTextStore> ownStore_;
    TTextStore* store_ = nullptr;
    std::unique_ptr<TSM_Settings> ownSettings_;
    TSM_Settings* settings_ = nullptr;
    std::unique_ptr<IncrementalStyler> styler_;
    std::array<TCustomRudivoVoruParser*, kParserSlots> parsers_{};
    int activeParser_ = 1;

    // Metrics (FontChanged).
    TFontSpec font_{"Courier New", 10, 1, clWindowText, 0};
    int charWidth_ = 7;
    int textHeight_ = 17;
    int lhExtra_ = 0;
    bool fixedPitch_ = false;
    int cellWidth_ = 8;
    std::array<int, kCellTableSize> cells_{};
    std::int32_t visibleCols_ = 80;
    std::int32_t visibleRows_ = 40;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    bool hasSize_ = false;
    bool fontMeasured_ = false;
    bool takingFontFromParser_ = false;

    // The view.
    std::int32_t topLine_ = 0;   // rows above the top row
    TLine* visLine_ = nullptr;   // the top row
    std::int32_t topOffset_ = 0; // its first character
    std::int32_t leftCol_ = 0;
    TScrollStyle scrollBars_ = ssBoth;
    CanvasRect paintClip_;
    bool clipToDirty_ = false;
    bool fullRepaint_ = false;

    // The selection and state.
    TChRange sel_;
    bool focused_ = false;
    bool hideSelection_ = true;
    bool readOnly_ = false;
    bool enabled_ = true;
    bool showFocusLine_ = false;
    bool insMode_ = true;
    bool redraw_ = true;
    int updateLock_ = 0;
    // Set while form data is read (until Loaded).
    bool loading_ = false;
    bool destroying_ = false;
    Canvas* printCanvas_ = nullptr; // metrics come from it while printing
    bool printing_ = false;
    std::uint32_t reasons_ = 0;
    std::uint32_t lastReasons_ = 0;
    std::int32_t pendingParse_ = -1; // offset of the pending parse start row
    bool dragging_ = false;
    int userGlyphs_ = 16;
    TMarkDrawHook markDrawHook_;

    // Word wrap as last applied, to tell when new settings need a re-wrap.
    struct WrapLayout {
        bool wrap = false;
        std::uint16_t column = 0;
        int width = 0;
        bool override = false;
        std::string marks;
        bool operator==(const WrapLayout&) const = default;
    };
    WrapLayout wrapApplied_;
    WrapLayout currentWrapLayout() const;

    // Disabled and read-only colours.
    TColor disabledFg_ = clBlack;
    TColor disabledBg_ = clSilver;
    bool disabledFgApply_ = false;
    bool disabledBgApply_ = true;
    bool disabledClrChange_ = true;
    TColor readOnlyFg_ = clSilver;
    TColor readOnlyBg_ = clWhite;
    bool readOnlyFgApply_ = true;
    bool readOnlyBgApply_ = true;
    bool readOnlyClrChange_ = false;

    // Carriage returns before an offset, kept for the line numbers.
    struct LineCount {
        std::uint64_t stamp = ~0ull;
        std::int32_t offset = 0;
        std::int32_t crs = 0;
    };
    mutable LineCount lineCount_;

    mutable DisplayRow displayRow_;
};

// The published control: adds only published properties to the core.
class TRudivoVoru : public TCustomRudivoVoru {
public:
    TCustomRudivoVoruParser* Parser1() const { return GetParser(1); }
    TCustomRudivoVoruParser* Parser2() const { return GetParser(2); }
    TCustomRudivoVoruParser* Parser3() const { return GetParser(3); }
    TCustomRudivoVoruParser* Parser4() const { return GetParser(4); }
    TCustomRudivoVoruParser* Parser5() const { return GetParser(5); }
    TCustomRudivoVoruParser* Parser6() const { return GetParser(6); }
    void SetParser1(TCustomRudivoVoruParser* p) { SetParser(1, p); }
    void SetParser2(TCustomRudivoVoruParser* p) { SetParser(2, p); }
    void SetParser3(TCustomRudivoVoruParser* p) { SetParser(3, p); }
    void SetParser4(TCustomRudivoVoruParser* p) { SetParser(4, p); }
    void SetParser5(TCustomRudivoVoruParser* p) { SetParser(5, p); }
    void SetParser6(TCustomRudivoVoruParser* p) { SetParser(6, p); }
};

} // namespace qorvi
