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
//   control_caret_moves.cpp rows as the caret sees them, caret moves, words
//   control_keys.cpp       key-down and typed characters, auto-indent, tabs
//   control_commands.cpp   the keyboard action codes
//   control_indent.cpp     block indent and unindent
//   control_macros.cpp     template and auto-replace expansion, pick list
//   control_clipboard.cpp  plain-text copy, cut and paste
//   control_undo.cpp       undo recording and replay, the modified flag
//   control_marks.cpp      numbered bookmarks and line tracks
//   control_view.cpp       paint, size, focus and wheel events
//   control_mouse.cpp      clicks, drags, the gutter and the margin
//   control_messages.cpp   the message dispatch
// The events it raises are in rudivo_voru_events.h.

#include "editor/control/control_host.h"
#include "editor/control/printer_port.h"
#include "editor/control/display_row.h"
#include "editor/control/drop_target.h"
#include "editor/control/plain_search.h"
#include "editor/control/line_track_manager.h"
#include "editor/control/render_data.h"
#include "editor/control/row_breaks.h"
#include "editor/control/rudivo_voru_events.h"
#include "editor/control/rudivo_voru_messages.h"
#include "editor/control/view_events.h"
#include "editor/lexicon/word_chars.h"
#include "editor/marks/breakpoint_control.h"
#include "editor/regex/re_parser.h"
#include "editor/settings/format_entry.h"
#include "editor/settings/settings_client.h"
#include "editor/styling/parser_client.h"
#include "editor/support/ch_range.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_save.h"
#include "editor/text/text_store.h"
#include "editor/text/text_store_editor.h"
#include "editor/undo/undo_record.h"
#include "platform/canvas.h"
#include "platform/clipboard_port.h"
#include "platform/keys.h"
#include "platform/text_encoding.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class IncrementalStyler;
class TCustomRudivoVoruParser;
class TKeyboardActionContoller;
class TMacroKeywords;
class TRudivoVoruStrings;
class TSM_CaretControl;
class TSM_Settings;
class TUndoStack;
class TextLoader;
struct TMark;

inline constexpr const char* kRudivoVoruVersion = "3.00.39";
inline constexpr const char* kMsgParserIndexRange = "Parser index out of range";
inline constexpr const char* kMsgNoActiveParser = "No active parser";

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle { bsNone, bsSingle };
enum TFlatScrollBarStyle { fssEncarta, fssFLAT, fssREGULAR };
enum TClipCopyFormat : std::uint8_t { smTEXT = 1, smRTF = 2 };
enum TPropEdPage : std::uint8_t {
    ppOPTIONS = 1,
    ppHIGHLIGHTING = 2,
    ppKEYS = 4,
    ppAUTOCORRECT = 8,
    ppTEMPLATES = 16,
};

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

    // ---- virtual operations, in slot order
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

    // ---- painting and metrics (control_paint.cpp, control_metrics.cpp)
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
    // Without it the control takes no typed characters and ignores the mouse.
    bool TabStop = true;
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

    // ---- parsers and styling (control_parsers.cpp, control_styling.cpp)
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

    // ---- scrolling, wrap and tabs (control_scroll.cpp, control_wrap.cpp, control_tabs.cpp)
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
    // The same by 1-based row on screen (record) numbers: the 1-based
    // display column of the character at `offset` (0-based, within the row),
    // and the offset within the row of the 1-based display `column` (past
    // the row's end: its end). A row beyond the text is the last row.
    std::int32_t CharOffsetToCurrentViewColumn(std::int32_t offset, std::int32_t row) const;
    std::int32_t CurrentViewColumnToCharOffset(std::int32_t column, std::int32_t row) const;
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
    // caret into view unless `noRepaint`; the caret leaves any place beyond
    // its line end.
    void SetSelection(const TChRange& range, bool noRepaint = false);
    // The single replace-selection edit: the selection's text goes, `text`
    // (any line breaks) goes in its place, markers follow, the rows of the
    // changed lines are re-wrapped and the styles re-parsed; the caret ends
    // after the new text. A caret beyond its line end first pads the line
    // with blanks. The change is recorded for undo (one replace record, in
    // transaction 24 unless another is open). It edits read-only controls
    // too: read-only stops the user's commands, not the program.
    virtual void DoReplaceSel(std::string_view text, bool noRepaint = false);
    // The insertion half: the selection collapses to its start and `length`
    // characters of `text` (-1: up to its terminating zero) go in there,
    // through DoReplaceSel, so the insertion is recorded like any edit.
    void InsertSel(const char* text, std::int32_t length);
    std::string GetSelText() const;
    void SetSelText(std::string_view text) { DoReplaceSel(text); }
    // The selection with line breaks by SelLineStyle (CR LF with lsCRLF)
    // into `buffer` of `size` bytes, zero-terminated; the count copied.
    std::int32_t GetSelTextBuf(char* buffer, std::int32_t size) const;
    void SetSelTextBuf(const char* text) { DoReplaceSel(text ? std::string_view(text) : std::string_view()); }
    std::int32_t GetTextBuf(char* buffer, std::int32_t size) const;
    void SetTextBuf(const char* text) { perform(WM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(text)); }
    std::int32_t GetTextLen() const;
    void SelectAll() { SetSelection({0, store_->NumChars()}); }
    // Deletes the selection (a user's command: not when read-only).
    void ClearSelection();
    // Empties the text and the undo history.
    void Clear();
    // The caret as a 1-based (column, line): the character column in the
    // row and the row number.
    struct TPoint {
        std::int32_t x = 0;
        std::int32_t y = 0;
        bool operator==(const TPoint&) const = default;
    };
    TPoint GetCPos() const;
    void SetCPos(const TPoint& pos);
    // The caret's display column (tabs expanded), at its virtual column
    // when it stands beyond its line end.
    std::int32_t CaretColumn() const;
    bool CaretBeyondEOL() const { return beyondEOL_; }
    // Caret after the end of line: asked for and possible (fixed pitch).
    bool CanProcessCaretAfterEOL() const;
    // Puts the caret at display column `column` of the row holding `index`:
    // beyond the row end it stands there virtually when that is allowed.
    void SetCaretColumn(std::int32_t index, std::int32_t column);

    // ---- words (control_caret_moves.cpp)
    // In a UTF-8 document every byte of a multi-byte character is a word
    // character, so that no word ends inside one.
    bool IsWordChar(unsigned char c) const {
        return fn_CharIsInWord ? fn_CharIsInWord(c) : isDefaultWordChar(c) || multiByte(c);
    }
    bool IsWordStart(unsigned char c) const {
        return fn_CharStartsWord ? fn_CharStartsWord(c) : isDefaultWordStart(c) || multiByte(c);
    }
    bool multiByte(unsigned char c) const { return c >= 0x80 && Encoding() == TextEncoding::Utf8; }
    CharTest fn_CharIsInWord;
    CharTest fn_CharStartsWord;
    // The start of the word before / after the caret, -1 when there is none.
    std::int32_t WordBefore() const { return WordBefore(sel_.chEnd); }
    std::int32_t WordAfter() const { return WordAfter(sel_.chEnd); }
    std::int32_t WordBefore(std::int32_t index) const;
    std::int32_t WordAfter(std::int32_t index) const;
    // Selects the word at the caret.
    void DoSelectWord();

    // ---- keys and commands (control_keys.cpp, control_commands.cpp)
    // A key goes down: templates, auto-replace, then the key map. True when
    // it was consumed (KeyPress then ignores the character it types).
    bool KeyDown(std::uint16_t key, TShiftState shift);
    // A typed character (Windows-1252); dropped when its key was consumed.
    void KeyPress(char key);
    // Typed or input-method text as Unicode (UTF-8): each character goes in
    // as the document's bytes. A character a Windows-1252 document cannot
    // hold is refused (OnEncodingRefused may convert the document first);
    // dropped when its key was consumed.
    void KeyPressText(std::string_view utf8);
    // The key is up: a consumed key no longer drops the next character.
    void KeyUp() { keyConsumed_ = false; }
    void KeyRecognised(TKeyboardActionContoller* sender, std::int32_t action);
    // Carries out one action code; `extend` keeps the anchor.
    void ExecuteCommand(std::int32_t action, std::int32_t value, bool extend);
    // Types one character as the user does (transaction 14, auto-indent,
    // overwrite); nothing when read-only.
    void TypeChar(char c);
    // Types the bytes of one character (a grapheme cluster in a UTF-8
    // document) as TypeChar does.
    void TypeCharacter(std::string_view bytes);

    // ---- encoding (control_encoding.cpp)
    // The document's encoding (kept by its text store): how bytes show, take
    // cells, and what typed, pasted and copied Unicode text becomes.
    TextEncoding Encoding() const { return store_->Encoding(); }
    // Reads the same bytes as `encoding` (nothing changes in the text).
    void SetEncoding(TextEncoding encoding);
    // Re-encodes the text into `encoding` as one undo step; false, with the
    // text unchanged, when a character has no byte there.
    bool ConvertEncoding(TextEncoding encoding);
    // Unicode text as the document's bytes. A character that cannot be held
    // is offered to OnEncodingRefused (which may convert the document); when
    // it still cannot be held the result is empty.
    std::optional<std::string> EncodeForDocument(std::string_view utf8);
    // The document's bytes as Unicode text (UTF-8) for other programs.
    std::string DecodeFromDocument(std::string_view bytes) const { return decodeToUtf8(bytes, Encoding()); }
    // Asked with the first character that cannot be held; true when the
    // handler converted the document so that it can.
    std::function<bool(TCustomRudivoVoru& Sender, const std::string& Character)> OnEncodingRefused;
    // The index after / before the character (grapheme cluster in a UTF-8
    // document) at `index`; never splits one.
    std::int32_t NextCharIndex(std::int32_t index) const;
    std::int32_t PrevCharIndex(std::int32_t index) const;
    // The blanks (and, with smoUseTAB and smoSmartFill, tabs) that fill from
    // display column `fromColumn` to `toColumn`; inserted unless `noInsert`.
    void FormPadding(std::int32_t fromColumn, std::int32_t toColumn, bool noInsert, std::string& text);
    bool KeyMoveSetHas(std::uint16_t key) const { return key < 256 && moveSet_[key]; }
    // True when this key going down is the editor's: the key map binds it
    // (alone or as a chord's first key), a chord waits for its second key,
    // or it is the template hot key. The window lets the editor have such
    // keys before any shortcut of the application's menus.
    bool KeyWanted(std::uint16_t key, TShiftState shift) const;
    TCommandRecognisedEvent OnCommandRecognised;

    // ---- block indent (control_indent.cpp)
    // `count` 0 is one step in the character the text indents with (a tab,
    // or IndentStep blanks), whatever `flags` say; otherwise `count` tabs
    // when bit 0 of `flags` is set and smoUseTAB is on, else blanks. Undent
    // with `count` 0 takes one step back: a leading tab, or up to IndentStep
    // blanks. Only white space is ever removed. Not when read-only.
    void DoIndent(std::int32_t count, std::int32_t flags);
    void DoUndent(std::int32_t count);

    // ---- templates and auto-replace (control_macros.cpp)
    TTemplateEvent OnTemplateEvent;
    TAutoReplaceEvent OnAutoReplace;
    // The pick list the window shows (ControlHost::showPickList) reports
    // back: a typed character (the entry to select, -1 for none), an entry
    // chosen with Return, and the list closing (Escape or focus lost).
    int PickListKey(char c);
    void PickListChosen(int index);
    void PickListClosed();
    bool PickListShown() const { return pickList_ != nullptr; }

    // ---- undo and redo (control_undo.cpp)
    // The recorder: 1 replace (phase 1 with the new text at `data`, a
    // std::string_view*, phase 2 after the change), 2 / 3 transaction begin /
    // end (phase = code), 6 / 7 enable / disable recording, 8 clear, 9 / 10
    // an unindent / indent record (phase = index, data = count).
    void DoUndoNotify(std::int32_t kind, std::int32_t phase, std::intptr_t data);
    void PushDoUndoOp(TUndoItemType type, std::int32_t value1, std::int32_t value2,
                      std::string_view text = {});
    void UndoTransBegin(std::int32_t code);
    void UndoTransEnd(std::int32_t code);
    // One step back / forward; false when there was nothing to do (or the
    // control is read-only).
    bool DoUndo();
    bool DoReDo();
    bool CanUndo() const;
    bool CanRedo() const;
    // Undoes or redoes until the history's position is `position` (a
    // position number of TUndoStack::Iterator).
    void ExecuteTo(std::uint64_t position);
    bool GetModified() const;
    // false empties the history; true does nothing.
    void SetModified(bool modified);
    void MarkSavePoint();
    std::int64_t GetUndoMemUsed() const;
    TUndoStack* GetUndoStack() const { return store_->UndoStack(); }
    // The store takes `stack` over (null: no history, nothing recorded);
    // the history it holds already stays as it is.
    void SetUndoStack(TUndoStack* stack);
    bool UndoRecording() const { return undoRecording_; }

    // ---- clipboard (control_clipboard.cpp)
    // The clipboard the control uses (default: the process-wide one).
    void SetClipboard(ClipboardPort* clipboard) { clipboard_ = clipboard; }
    ClipboardPort& Clipboard() const;
    // Pasted HTML cut to what the source types ask for: with stFullHTML
    // from the first "<" on, with stExtractHTML only the marked fragment.
    static std::string ProcessTextFormat(std::string text, TSourceTypes types);
    // May change what a paste takes (stText, stHTML, ...).
    TDataDropEvent OnDataDrop;
    void CopyToClipboard() { perform(WM_COPY); }
    void CutToClipboard() { perform(WM_CUT); }
    void PasteFromClipboard() { perform(WM_PASTE); }
    bool CanPaste() const;

    // ---- bookmarks and line tracks (control_marks.cpp)
    // Line -1: the caret's line and column; lines and columns are 1-based
    // record numbers (with word wrap the bookmark goes to the first row of
    // the text line). Setting a bookmark on the line it stands on removes
    // it. Indexes above 9 raise "Bookmark index range error".
    void SetBookmark(int index, std::int32_t line, std::int32_t column = 1);
    bool IsBookmarkSet(int index, std::int32_t& line, std::int32_t& column) const;
    void ClearBookmark(int index);
    // The caret goes to the bookmark's row and column; the row becomes the
    // middle of the window.
    void JumpToBookmark(int index);
    TBookmarkEvent OnBookmarkSet;
    TTrackID AddLineTrack(std::int32_t line, std::int32_t data);
    void RemoveLineTrack(TTrackID id);
    bool IsLineTrackIDValid(TTrackID id) const;
    std::int32_t GetLineTrackData(TTrackID id) const;
    void SetLineTrackData(TTrackID id, std::int32_t data);
    TTrackID GetFirstLineTrackID() const;
    TTrackID NextLineTrackID(TTrackID id) const;
    std::int32_t LineTrackIDToLineNo(TTrackID id) const;
    TTrackID GetFirstTrackIDOnLine(std::int32_t line) const;
    void ClearLineTracks();
    TTrackEvent OnTrackAdd;
    TTrackEvent OnTrackFree;
    // Raised when a numbered bookmark goes (cleared, or set again on its
    // own line).
    TBookmarkEvent OnBookmarkClear;

    // ---- custom marks, named bookmarks, breakpoints (control_custom_marks.cpp)
    // Marks are character ranges with a caller's value (the words a spelling
    // checker underlines); they belong to the store and follow its text. The
    // control makes the store's list on first use. Offsets are clamped to the
    // text; an identifier that is no mark of the list reads as nothing and
    // changes nothing.
    virtual TMark* AddMark(std::int32_t Start, std::int32_t Length, std::int32_t UserData);
    void RemoveMark(TMark* ID);
    void ClearCustomMarks();
    bool IsMarkIDValid(const TMark* ID) const;
    virtual bool IsMarkPresent(std::int32_t Start, std::int32_t Length, TMark*& ID) const;
    TMark* GetFirstMark() const;
    TMark* GetLastMark() const;
    bool NextMark(TMark*& ID) const;
    bool PrevMark(TMark*& ID) const;
    virtual std::int32_t GetMarkStartPos(const TMark* ID) const;
    virtual void SetMarkStartPos(TMark* ID, std::int32_t P);
    virtual void SetMarkEndPos(TMark* ID, std::int32_t P);
    virtual std::int32_t GetMarkEndPos(const TMark* ID) const;
    std::int32_t GetMarkUserData(const TMark* ID) const;
    void SetMarkUserData(TMark* ID, std::int32_t UserData);
    // One-based rows and display columns (tabs expanded); false for an
    // invalid identifier. Setting swaps a reversed range and clamps rows and
    // columns to the text.
    bool GetMarkExtents(const TMark* ID, std::int32_t& StartLine, std::int32_t& StartCol, std::int32_t& EndLine,
                        std::int32_t& EndCol) const;
    void SetMarkExtents(TMark* ID, std::int32_t StartLine, std::int32_t StartCol, std::int32_t EndLine,
                        std::int32_t EndCol);
    TMarkEvent OnMarkChange;
    TMarkEvent OnMarkFree;

    // Named bookmarks: an offset of -1 is the caret's.
    void AddCustomBookmark(const std::string& Name, std::int32_t Offset = -1);
    void RemoveCustomBookmark(const std::string& Name);
    // Puts the caret at the bookmark; false when there is none of that name.
    bool GotoCustomBookmark(const std::string& Name);
    // Its offset, or -1.
    std::int32_t HasCustomBookmark(const std::string& Name) const;
    // The names in sorted order with their offsets, kept by the store.
    const std::vector<std::pair<std::string, std::int32_t>>& GetCustBMList();
    void CustomBookmarksToStream(TStream& Stream) const;
    void CustomBookmarksFromStream(TStream& Stream);
    TCustomBookmarkFreeNotify OnCustomBookmarkFree;

    // The store's breakpoints and its code-break marker; their line numbers
    // are this control's rows.
    TSM_Breakpoints& Breakpoints() const { return store_->Breakpoints(); }
    TSM_CodeBreak& CodeBreak() const { return store_->CodeBreak(); }
    virtual void DoBreakpointFree(TSM_BreakpointData* Data);
    virtual void DoBreakpointStateChange(TSM_BreakpointData* Data);
    TBreakpointEvent OnBreakpointFree;
    TBreakpointEvent OnBreakpointStateChange;
    TSpellWordEvent OnSpellWord;

    // ---- search and replace (control_search.cpp)
    // Searches at once with kFindNow in `flags` (-1 when nothing is found,
    // else the match's start; a regular-expression match is selected and
    // read through GetFindRESection); without it the host's find dialog.
    std::int32_t DoFindText(std::int32_t flags, const std::string& text);
    // DoFindText with `flags`; the index is the match's start.
    bool FindText(const std::string& text, std::int32_t& index, std::int32_t flags);
    // Repeats the last search from the selection and selects what it finds.
    bool FindNext(std::int32_t& index);
    // Opens the host's replace dialog (SMM_REPLACE).
    void DoReplaceText(std::int32_t flags, const std::string& findText, const std::string& replaceText);
    // Finds and selects the next match; `replacement` is what replaces it.
    bool FindReplace(const std::string& findText, const std::string& replaceText, std::int32_t flags,
                     std::string& replacement, std::int32_t& index);
    // Replaces every plain match in [from, to) in one undo step; the caret
    // ends at the start of the last one. Returns how many were replaced.
    std::int32_t DoReplaceAll(std::int32_t from, std::int32_t to, bool wholeWord, bool matchCase,
                              const std::string& replaceText, const std::string& findText);
    // The replacement template with its escapes and the last match's
    // sections filled in.
    void FormReplaceText(const std::string& Template, std::string& text) const;
    // Where section `n` of the last regular-expression match starts (n is
    // limited to the section count), and that count.
    std::int32_t GetFindRESection(int n) const;
    int GetFindRESectionCount() const { return regex_ ? regex_->SectionCount() : 0; }
    // The run around `index` of characters sharing its style byte, and the
    // run's start (an empty text on a row without styles).
    void TokenTextAtPos(std::int32_t index, std::int32_t& start, std::string& text) const;
    // The style byte at `index` (255 when there is none).
    int GetTokenAtCharPos(std::int32_t index) const;
    // The same for the character under the mouse pointer's last position.
    void GetTokenTextAtCursorPos(std::int32_t& start, std::string& text) const;
    int GetTokenAtCursorPos() const;
    // The text of the last token OnTokenSeen was told about (at most 4096
    // characters; gathered only while OnTokenSeen is assigned).
    const std::string& GetGatheredTokenText() const { return gatheredToken_; }
    // Whether the last search was cancelled by the user (not "not found").
    bool SearchInterrupted() const { return searchInterrupted_; }

    // ---- the control's own find and replace dialogs (control_search_dialog.cpp)
    // The dialog's find-next request: match case, whole word and direction
    // from `options` (kFind* flags), the regular-expression switch kept.
    // Selects what it finds; otherwise DoFindNotFound.
    bool DialogFindNext(const std::string& text, std::int32_t options);
    // The replace dialog's replace (asking about each match through the
    // host) and replace-all requests, from the selection on, in one undo
    // step. Returns how many matches were replaced.
    std::int32_t DialogReplace(const std::string& findText, const std::string& replaceText, std::int32_t options,
                               bool all);
    // The regular-expression switch the dialogs search with.
    bool SearchRegExpr() const { return searchRegExpr_; }
    // Nothing was found for `text`: OnSearchFail, else a message box.
    virtual void DoFindNotFound(const std::string& text);
    TSearchFailEvent OnSearchFail;
    const std::string& LastSearchText() const { return lastSearch_; }
    std::int32_t LastSearchFlags() const { return lastSearchFlags_; }

    // ---- the mouse (control_mouse.cpp)
    TTripleClickEvent OnTripleClick;
    THyperlinkClickEvent OnHyperlinkClick;
    TNotifyEvent OnHyperlinkHover;
    // Where a press lands: the caret goes to the nearest character.
    void SelectAtPos(int x, int y, std::int32_t index);

    // ---- companions
    // The text as a list of lines, through the control's messages.
    TRudivoVoruStrings& Lines();
    // The caret as 1-based lines and columns.
    TSM_CaretControl& CaretControl();
    // ---- printing (control_print.cpp)
    // The whole text, or the lines of the selection, as one print job.
    void Print(PrinterPort& printer);
    void PrintSelection(PrinterPort& printer);
    // caPRINTSEL: the selection on the host's printer, when it has one.
    void PrintSelection() {
        if (PrinterPort* printer = host_ ? host_->printer() : nullptr)
            PrintSelection(*printer);
    }
    // Into the job already running on `printer`, from y on (a negative y
    // first starts a new page and prints from its top): the y where the
    // text ended, so that several texts can share one job.
    int PrintInline(PrinterPort& printer, int y);
    int PrintSelectionInLine(PrinterPort& printer, int y);
    // Draws page `page` (from 1) of the text laid out on pages of `rect`;
    // true when the text goes on after it.
    bool RenderPage(Canvas& canvas, const CanvasRect& rect, int page);
    // The area printed on each page (empty: the printer's page).
    void SetPrintRect(const CanvasRect& rect) { printRect_ = rect; }
    // Called for each page when assigned: the page number, whether text is
    // drawn without background, and the text area it may make smaller.
    std::function<void(TCustomRudivoVoru& Sender, int Page, bool& Transparent, CanvasRect& Rect)> OnPrintHeaderFooter;
    // ---- drag and drop (control_drag_drop.cpp)
    // A press inside the selection that moved: with smoOLEDragSource the
    // selection is dragged through the window's drag loop (true when a drag
    // ran, whatever became of it).
    virtual bool StartTextDrag();
    // The drop target the window hands dragged data to.
    TRudivoVoruDropTarget& DropTarget();
    // The drop caret at the character nearest the client point; near the
    // top or bottom edge the view scrolls.
    void OLE_SHOWPOS(int x, int y);
    void HideDropCaret();
    std::int32_t DropIndex() const { return dropIndex_; }
    void DoOLEDragOver(const DropData* data, int& effect, int x, int y);
    // Dropped text (file names one per line) at the drop caret: the effect
    // done (deNone when nothing was dropped).
    int OnTextDropped(std::string text, int effect, TSourceTypes types, const TCustomRudivoVoru* source, int x,
                      int y);
    // Files dropped from the desktop at the client point ((-1, -1) outside).
    void DropFiles(std::vector<std::string> files, int x, int y);
    TFilesDroppedEvent OnFilesDropped;
    TOLEDragOverEvent OnOLEDragOver;

    // ---- the text
    TTextStore& TextStore() const { return *store_; }
    // Shows `store` (owned by the caller) instead of the own store; null
    // returns to the own store.
    void SetTextStore(TTextStore* store);
    // Replaces the whole text: styles dropped, view reset, history cleared.
    void SetText(std::string_view text);
    // Loads a file in place of the whole text, as SetText; a file that
    // cannot be read raises EFOpenError and leaves the text as it was.
    void LoadFromFile(const std::string& path);
    // The stream's text from its position on, in place of the whole text.
    void LoadFromStream(TStream& stream);
    // The text `loader` was fed (bytes received from elsewhere), as LoadFromFile.
    void LoadFromLoader(TextLoader& loader);
    // ---- export and import (control_export.cpp)
    // Writes the selection: kExport* flags (none: the stored characters).
    void DoExport(TStream& stream, int flags);
    void DoExportUNIX(TStream& stream);
    void DoExportRTF(TStream& stream);
    void DoExportHTML(TStream& stream);
    // The selection exported into a block of memory (SMM_EXPORTTEXT).
    std::string ExportText(int flags);
    // The stream's text in place of the selection, in pieces (SMM_IMPORT).
    void DoImport(TStream& stream);
    // The whole text in SaveFormat; the history is cleared after it.
    void SaveToStream(TStream* stream);
    // The same into a file, replaced only when the whole text was written.
    void SaveToFile(const std::string& path);
    // The title the HTML export writes.
    std::string HTMLTitle;
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
    void markChanged(TMark* mark) override;
    void markFreed(TMark* mark) override;
    void customBookmarkFreed(const std::string& name) override;
    void breakpointFreed(TSM_BreakpointData* data) override;
    void breakpointStateChanged(TSM_BreakpointData* data) override;
    BreakpointControl* breakpointLines() override { return this; }

protected:
    // The shared templates, auto-replace list and key map act for this
    // control (on focus and new settings).
    virtual void SetUI();
    // The keys of the movement actions, which Shift extends.
    virtual void MakeMoveSet();
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

    // control_keys.cpp: OnSpellWord for the word that ends at `end`.
    void spellWordBefore(std::int32_t end);
    // control_marks.cpp: OnBookmarkClear for each bookmark set in `before`
    // (a mask of set bookmarks) that is set no more.
    void bookmarksCleared(unsigned before);

    // control_paint.cpp
    RowPaint rowPaintFor(const TRenderData& rd) const;
    void paintRow(Canvas& c, TLine* row, std::int32_t rowStart, int y, RowPaint& p);
    // Sets the colours a row takes from a code-break marker or breakpoint
    // on it and from its own line colours; the marker's glyph, or -1.
    int markRow(RowPaint& p, TLine* row, std::int32_t rowStart);
    void paintPastEnd(Canvas& c, int y, RowPaint& p);
    void paintRowLines(Canvas& c, int y, const RowPaint& p);
    void paintMarks(Canvas& c, TLine* row, std::int32_t rowStart, int y, const RowPaint& p);
    void paintAllChars(Canvas& c, TLine* row, int y, RowPaint& p);
    RunColors colorsFor(std::uint8_t style, bool selected, const RowPaint& p) const;
    void selectFont(Canvas& c, int format, RowPaint& p);
    // The run's font and colours, set on the canvas only where they change.
    void selectRunStyle(Canvas& c, const RunColors& colors, RowPaint& p);
    int drawRun(Canvas& c, int x, int y, std::string_view text, const RunColors& colors, RowPaint& p);
    // A run of cells of a UTF-8 row: each cluster's bytes drawn in its cells.
    int drawCellRun(Canvas& c, int x, int y, std::int32_t column, std::int32_t end, const RunColors& colors,
                    RowPaint& p);

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

    // control_messages.cpp
    void setOptionWord(std::uint32_t options, bool noRepaint);
    void scrollMessage(bool vertical, int request, int position);
    std::intptr_t editMessage(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam, bool& handled);
    std::intptr_t styleBlock(TSMStyleBlock& block, bool set);

    // control_edit.cpp
    void repaintRange(std::int32_t from, std::int32_t to);
    void textReplaced();
    void applySelection(const TChRange& range, bool noRepaint);
    void replaceText(std::string_view text);
    void showEdit(bool noRepaint);
    std::int32_t crBefore(std::int32_t offset) const;
    TTextStore::LineInfo firstRowOfTextLine(std::int32_t line) const;

    // control_caret_moves.cpp: rows as the caret sees them. After a final
    // carriage return the caret stands on a row of its own past the last
    // record (`phantom`).
    struct CaretRow {
        TLine* line = nullptr;
        std::int32_t index = 0; // row number
        std::int32_t start = 0; // its first character
        bool phantom = false;
    };
    CaretRow caretRow(std::int32_t index) const;
    CaretRow rowByNumber(std::int32_t number) const;
    std::int32_t rowCount() const;
    // The last index the caret may take in the row (before its carriage
    // return; before the next row's first character in a cut line).
    std::int32_t rowCaretLimit(const CaretRow& row) const;
    std::int32_t indexAtColumn(const CaretRow& row, std::int32_t column) const;
    std::int32_t columnOfIndex(std::int32_t index) const;
    void moveCaret(std::int32_t index, bool extend);
    void moveCaretBeyond(std::int32_t index, std::int32_t column, bool extend);
    void moveRows(std::int32_t rows, bool extend);
    void setCaretFromColumn(const CaretRow& row, std::int32_t column, bool extend);

    // control_keys.cpp, control_commands.cpp
    void bindUI();
    void smartTab();
    std::int32_t autoIndentColumn() const;
    void deleteCommand(bool forward, std::int32_t code, std::int32_t target);
    void pageMove(bool down, bool extend);
    void scrollLine(bool down);
    void deleteRow();

    // control_clipboard.cpp
    std::intptr_t clipboardMessage(std::uint32_t msg);

    // control_macros.cpp
    class MacroPort;
    void templateFire(TMacroKeywords* sender, const std::string& name, std::string& replacement);
    void showPickList(TMacroKeywords& list, int selected);

    // control_undo.cpp
    struct PendingReplace {
        bool open = false;
        TChRange before;
        std::string removed;
    };
    void openReplaceRecord();
    void closeReplaceRecord(std::int32_t insertedAt, std::int32_t inserted);
    void historyBroken();
    bool replay(bool undo);
    void replayRecord(bool undo, std::int32_t kind);

    // control_mouse.cpp
    void selectRowAt(std::int32_t index);
    bool marginColumnAt(int x, int y, std::int32_t& column) const;
    bool hyperlinkAt(int x, int y, std::int32_t& index, std::uint8_t& style) const;
    void hyperlinkClick(std::int32_t index, std::uint8_t style);

    // control_marks.cpp
    TLineTrackManager& tracks() const;

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
    std::unique_ptr<TRudivoVoruDropTarget> dropTarget_;
    std::int32_t dropIndex_ = -1;    // the drop caret, -1: none
    bool draggingOut_ = false;       // inside StartTextDrag's drag loop
    bool ownDrop_ = false;           // the drag ended in this control
    bool dropTransOpen_ = false;     // that drop's undo step is still open
    std::int32_t dropPosition_ = -1; // where that drop put the text

    // The caret (control_caret_moves.cpp).
    bool beyondEOL_ = false; // stands beyond its line end, at virtualCol_
    std::int32_t virtualCol_ = 0;
    std::int32_t rememberedCol_ = 0; // the display column vertical moves aim for
    bool verticalMove_ = false;

    // Keys.
    std::array<bool, 256> moveSet_{};
    bool keyConsumed_ = false;
    TShiftState keyShift_ = 0;

    // Undo.
    bool undoRecording_ = true;
    bool undoReplaying_ = false;
    PendingReplace pendingUndo_;

    // The mouse.
    int clickCount_ = 0;
    std::int64_t lastClickTime_ = 0;
    std::int32_t dblClickRow_ = -1;
    bool dragArmed_ = false;     // a press inside the selection
    bool dragSelecting_ = false; // a press that selects as the pointer moves
    int pressX_ = 0;
    int pressY_ = 0;
    enum class ColumnDrag { None, Margin, Wrap };
    ColumnDrag columnDrag_ = ColumnDrag::None;
    std::int32_t dragColumn_ = -1;
    bool overHyperlink_ = false;

    // Companions.
    ClipboardPort* clipboard_ = nullptr;
    mutable std::unique_ptr<TLineTrackManager> tracks_;
    std::unique_ptr<TRudivoVoruStrings> lines_;
    std::unique_ptr<TSM_CaretControl> caretControl_;
    std::unique_ptr<MacroPort> macroPort_;
    TMacroKeywords* pickList_ = nullptr;
    bool pickListHideSelection_ = true;
    // Handlers left in shared settings check that the control still lives.
    std::shared_ptr<TCustomRudivoVoru*> alive_;
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
    // The widest record of a UTF-8 document in cells, for the horizontal
    // scroll range, with how many records are of each width: counted over
    // the whole text once, then kept up by this control's own edits, so that
    // the next widest is at hand when the widest narrows; counted again after
    // another control's edit (which changes the stamp).
    struct WidestRecord {
        std::uint64_t stamp = ~0ull;
        std::int32_t cells = 0;
        std::vector<std::int32_t> records; // by width in cells
    };
    mutable WidestRecord widest_;
    // The cells of each record holding a character of [from, to].
    std::vector<std::int32_t> recordCellsIn(std::int32_t from, std::int32_t to) const;

    mutable DisplayRow displayRow_;
    // A UTF-8 row with bytes beyond ASCII: its columns are cells, not bytes.
    bool laidOutInCells(const TLine& row) const;
    // What display columns [from, to) of the row in displayRow_ show, to be
    // measured: the columns' text, or in UTF-8 cells the bytes of the
    // characters that start there.
    std::string_view shownColumns(std::int32_t from, std::int32_t to) const;
    // The length of the UTF-8 character at `at` of a row (ending before
    // `end`) in a UTF-8 document; 0 for a byte that starts none, or in an
    // 8-bit document.
    int utf8Length(const TLine& line, std::int32_t at, std::int32_t end) const;

    // Search state: the last search, the last match and the engines, made
    // on first use and kept for repeated searches.
    std::string lastSearch_;
    std::int32_t lastSearchFlags_ = 0;
    std::int32_t lastMatchStart_ = -1;
    std::unique_ptr<TREParser> regex_;
    std::unique_ptr<TEdStream> searchStream_;
    std::unique_ptr<TPlainSearch> plainSearch_;
    // Tells the host a search that may take long runs (busy cursor, Escape).
    class LongSearch {
    public:
        explicit LongSearch(TCustomRudivoVoru& control);
        ~LongSearch();
        LongSearch(const LongSearch&) = delete;
        LongSearch& operator=(const LongSearch&) = delete;

    private:
        ControlHost* host_;
    };
    struct ExportRun {
        int style = 0;
        TColor text = 0;
        TColor back = 0;
    };
    ClipboardPort::Contents clipboardContents();
    static std::vector<std::pair<std::int32_t, std::int32_t>> printPieces(std::string_view text, std::int32_t columns);
    CanvasRect printTextArea(Canvas& c, const CanvasRect& page, int number, bool draw, bool& transparent,
                             RowPaint& p);
    bool printRange(Canvas& c, const CanvasRect& page, std::int32_t firstLine, std::int32_t lastLine, int onlyPage,
                    const std::function<bool()>& newPage, int& y, bool continuing);
    void printLines(PrinterPort& printer, std::int32_t firstLine, std::int32_t lastLine);
    int printLinesInline(PrinterPort& printer, std::int32_t firstLine, std::int32_t lastLine, int y);
    // The text lines (from 0) the selection covers for printing.
    std::pair<std::int32_t, std::int32_t> selectionPrintLines() const;
    CanvasRect printRect_{};
    void exportAll(TStream* stream);
    ExportRun exportRunFor(const std::uint8_t* styles, std::int32_t at) const;
    template <class Row> void forSelectedRows(Row&& row) const;
    bool searchRegExpr_ = false;
    bool searchInterrupted_ = false;
    std::string gatheredToken_;
    int pointerX_ = -1; // the mouse pointer's last position
    int pointerY_ = -1;
    std::int32_t searchStartFor(bool backwards) const;
    // The immediate search from `start` (kFindNow assumed).
    std::int32_t searchFrom(const std::string& text, std::int32_t flags, std::int32_t start);
    std::int32_t regExprReplaceLoop(const std::string& findText, const std::string& replaceText,
                                    std::int32_t flags, bool ask);
    void tokenSeen(int& style, std::int32_t position, std::int32_t tokenStart);
    std::int32_t findRegExpr(const std::string& pattern, std::int32_t start, bool backwards);
    std::int32_t findPlain(const std::string& text, std::int32_t start, std::int32_t flags);
    void showPatternError(const std::string& message, const std::string& pattern, int column);
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
