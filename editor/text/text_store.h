#pragma once

// The text of one document for the editor control: the chain of line
// records (LineChain) with everything that must follow the text rather than
// one control - the undo history, numbered and named bookmarks, custom marks,
// breakpoints and the code-break marker, and the per-record glyphs, colours
// and line tracks. Several controls may show one store; each registers
// itself with AttachEditor.
//
// Offsets are zero-based character offsets into the concatenated record
// texts, in which every stored line break is one CR. The store does all
// structural editing itself (InsertText, DeleteText), so that its counters,
// its index and the continuation marks are always right: a control never
// links records by hand.

#include "editor/marks/breakpoints.h"
#include "editor/marks/code_break.h"
#include "editor/marks/custom_bookmarks.h"
#include "editor/marks/line_track.h"
#include "editor/marks/mark_list.h"
#include "editor/text/line.h"
#include "editor/text/line_breaks.h"
#include "editor/text/line_chain.h"
#include "editor/undo/undo_stack.h"
#include "platform/text_encoding.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace qorvi {

class TEdStream;
class TStream;
class TextStoreEditor;

// Line-break style for writing the text out.
enum TSelLineStyle { lsCRLF = 0, lsLF = 1 };

class TTextStore {
public:
    // A record with its zero-based number and the offset of its first character.
    struct LineInfo {
        TLine* line = nullptr;
        std::int32_t index = 0;
        std::int32_t start = 0;
    };
    // What an insertion produced: the first record it touched (the pending
    // parse start) and the number of characters stored.
    struct InsertResult {
        TLine* first = nullptr;
        std::int32_t count = 0;
    };

    // The most characters a store holds: offsets are 32-bit.
    static constexpr std::int64_t kMaxChars = 0x7FFFFFFF;

    TTextStore();
    ~TTextStore();
    TTextStore(const TTextStore&) = delete;
    TTextStore& operator=(const TTextStore&) = delete;

    // ---- the chain
    TLine* Buffer() const { return chain_->first(); }
    TLine* LastLine() const { return chain_->last(); }
    TLine* Next(const TLine* line) const { return chain_->next(line); }
    TLine* Prev(const TLine* line) const { return chain_->prev(line); }
    std::int32_t NumLines() const { return chain_->lineCount(); }
    std::int32_t NumChars() const { return static_cast<std::int32_t>(chain_->charCount()); }
    // Len of the longest record; at least 1.
    std::int32_t MaxLength() const { return std::max<std::int32_t>(1, chain_->longest()); }
    std::int32_t GetLongestLineLength() const { return chain_->longest(); }
    // Changes with every edit of the text.
    std::uint64_t EditStamp() const { return chain_->stamp(); }
    const LineChain& Chain() const { return *chain_; }
    // Gives a record its style bytes (one per character); false, leaving it
    // unstyled, when there is no memory for them.
    bool SetLineStyles(TLine* line, const std::uint8_t* styles) { return chain_->setStyles(line, styles); }
    bool SetLineStyleRuns(TLine* line, const std::uint8_t* runs, std::size_t bytes) {
        return chain_->setStyleRuns(line, runs, bytes);
    }

    // ---- reference point of the control that fixed it
    TLine* TopLine() const { return topLine_; }
    std::int32_t TopLineOffset() const { return topOffset_; }
    void SetTopLine(TLine* line);
    // When TopLine is unknown: the record `topLineIndex` (clamped) becomes it.
    void FixRefPoint(std::int32_t topLineIndex);

    // ---- look-ups; offsets and indexes are clamped to the text
    LineInfo InfoFromIndex(std::int32_t offset) const;
    TLine* LineFromIndex(std::int32_t offset, std::int32_t* lineStart = nullptr) const;
    LineInfo LineFromLineIndex(std::int32_t index) const;
    std::int32_t OffsetOfLine(const TLine* line) const;
    std::int32_t IndexOfLine(const TLine* line) const;
    // The characters [offset, offset + count), clamped to the text.
    std::string GetText(std::int32_t offset = 0, std::int32_t count = kMaxChars) const;

    // A read-only character stream positioned at `offset`: -1 means at
    // `caret`, other negative values mean 0, values past the end the end.
    std::unique_ptr<TEdStream> GetTextStream(std::int32_t offset, std::int32_t caret = 0);

    // ---- editing
    // Inserts `count` characters at `offset` after line-break adjustment.
    InsertResult InsertText(std::int32_t offset, const char* text, std::int64_t count);
    // Inserts text already in stored form (undo replay): only cut at CR.
    InsertResult InsertStoredText(std::int32_t offset, const char* text, std::int64_t count);
    // Removes [offset, offset + count) (clamped) and returns the record that
    // holds the join, or null when the store became empty.
    TLine* DeleteText(std::int32_t offset, std::int32_t count);
    // Frees the chain from `line` to its end.
    void EraseFromLine(TLine* line);
    void Clear();
    // Takes over the whole text of `other` (built by a load), which is left
    // empty; this store's old records and their side data go.
    void AdoptText(TTextStore& other);
    // Word wrap: cuts the text line whose first record is `first` anew into
    // records of `lengths` characters (each 1 ... 2047, together the line's
    // length). The text does not change; the style bytes go with their
    // characters (kept only when every old record had them). Records are
    // reused in order, so the first keeps its identity, marks and side data;
    // a dropped record's bookmark moves to the record now holding its first
    // character unless that one has a bookmark already. Every record of the
    // line gets the repaint bit; changed and parse bits spread over the line.
    // Returns the line's last record, or null (nothing done) when `first`
    // does not start a line or the lengths do not fit it.
    TLine* RecutLine(TLine* first, const std::vector<std::uint16_t>& lengths);

    // ---- per-record side data
    std::uint16_t Glyphs(const TLine* line) const;
    std::int32_t BackColor(const TLine* line) const;
    std::int32_t ForeColor(const TLine* line) const;
    TLineTrack* Tracks(const TLine* line) const;
    TLineTrack& EnsureTracks(TLine* line);
    void SetTrackFreeNotify(TLineTrack::FreeNotify onFree) { trackFreeNotify_ = std::move(onFree); }

    // ---- per-line attributes by one-based record number (0 counts as 1)
    std::uint16_t GetLineGlyph(std::int32_t line) const;
    void SetLineGlyph(std::uint16_t glyphs, std::int32_t line);
    void AddLineGlyph(int glyph, std::int32_t line);
    void RemoveLineGlyph(int glyph, std::int32_t line);
    bool LineHasGlyph(int glyph, std::int32_t line) const;
    std::int32_t GetLineColor(std::int32_t line) const;
    void SetLineColor(std::int32_t color, std::int32_t line);
    std::int32_t GetLineTextColor(std::int32_t line) const;
    void SetLineTextColor(std::int32_t color, std::int32_t line);

    // ---- owned companions
    TUndoStack* UndoStack() const { return undoStack_.get(); }
    void SetUndoStack(std::unique_ptr<TUndoStack> stack) { undoStack_ = std::move(stack); }
    TMarkList* ObjectList() const { return objectList_.get(); }
    // The marks list, made on first use; its events go to every editor.
    TMarkList& EnsureObjectList();
    void SetObjectList(std::unique_ptr<TMarkList> list);
    TCustomBookmarks& CustomBookmarks() { return *customBookmarks_; }
    std::vector<std::pair<std::string, std::int32_t>>& BookmarkList() { return bookmarkList_; }
    TSM_Breakpoints& Breakpoints() { return *breakpoints_; }
    TSM_CodeBreak& CodeBreak() { return *codeBreak_; }
    // Remembered column of numbered bookmark 0-9; 0 = not set.
    std::uint16_t GetBookmarkCol(int index) const;
    void SetBookmarkCol(int index, std::uint16_t column);

    TSelLineStyle SelLineStyle() const { return selLineStyle_; }
    void SetSelLineStyle(TSelLineStyle style) { selLineStyle_ = style; }
    // How the file this text came from broke its lines (LF for new text).
    LineBreakStyle FileLineBreaks() const { return fileLineBreaks_; }
    void SetFileLineBreaks(LineBreakStyle style) { fileLineBreaks_ = style; }
    // How the bytes read as characters: found when a file is loaded, else
    // what the owner chose. The bytes themselves never change with it.
    TextEncoding Encoding() const { return encoding_; }
    void SetEncoding(TextEncoding encoding) { encoding_ = encoding; }

    // ---- attached controls
    const std::vector<TextStoreEditor*>& Editors() const { return editors_; }
    // Returns the new list index, or the existing index + 1.
    int AttachEditor(TextStoreEditor* editor);
    // The breakpoints take their line index from the editor attached last;
    // when it goes, from another that still shows the store.
    void ReleaseEditor(TextStoreEditor* editor);
    void UpdateEditors();

    // Writes every record; after a final CR one LF follows with lsCRLF.
    void ExportTextToStream(TStream& stream) const;
    // Tells breakpoints and then the code-break marker that `delta`
    // characters were inserted (positive) or removed (negative) at `start`.
    void TextChanged(std::int32_t start, std::int32_t delta);

private:
    struct LineExtras {
        std::uint16_t glyphs = 0;
        std::int32_t backColor = -1;
        std::int32_t foreColor = -1;
        std::unique_ptr<TLineTrack> tracks;
    };

    TLine* lineByNumber(std::int32_t line) const;
    LineExtras* extrasOf(const TLine* line) const;
    LineExtras& ensureExtras(TLine* line);
    void dropExtrasIfPlain(TLine* line);
    void markAndRepaint(TLine* line);

    InsertResult insertPiece(std::int64_t offset, const char* text, std::size_t count);
    // One piece of a long insertion: the characters to store, and how many
    // characters of the caller's text they stand for.
    struct Piece {
        const char* text;
        std::size_t size;
        std::int64_t consumed;
    };
    using PieceSource = std::function<Piece(std::int64_t done)>;
    // Inserts `count` characters of the caller's text piece by piece; when
    // memory runs out the pieces already in are taken back.
    InsertResult insertPieces(std::int32_t offset, std::int64_t count, const PieceSource& nextPiece);
    TLine* insertRecords(TLine* after, const char* text, std::size_t count, TLine** lastMade);
    void eraseRecord(TLine* line);
    void fixContinuation(TLine* line);
    void touchRecord(TLine* line);
    void editedAt(std::int64_t offset);
    void checkRoom(std::int64_t adding) const;
    // Hands each marker event to every attached editor.
    void bindMarkerEvents();
    void bindMarkEvents();
    template <class Tell> void tellEditors(Tell&& tell);

    std::unique_ptr<LineChain> chain_;
    TLine* topLine_ = nullptr;
    std::int32_t topOffset_ = 0;
    mutable LineInfo lastFound_;
    mutable std::uint64_t lastFoundStamp_ = ~0ull;

    std::vector<TextStoreEditor*> editors_;
    std::unique_ptr<TUndoStack> undoStack_;
    std::unique_ptr<TMarkList> objectList_;
    std::array<std::uint16_t, 10> bookmarkCol_{};
    std::unique_ptr<TCustomBookmarks> customBookmarks_;
    std::vector<std::pair<std::string, std::int32_t>> bookmarkList_;
    TSelLineStyle selLineStyle_ = lsCRLF;
    LineBreakStyle fileLineBreaks_ = LineBreakStyle::LF;
    TextEncoding encoding_ = TextEncoding::Windows1252;
    std::unique_ptr<TSM_Breakpoints> breakpoints_;
    std::unique_ptr<TSM_CodeBreak> codeBreak_;
    std::unordered_map<const TLine*, LineExtras> extras_;
    TLineTrack::FreeNotify trackFreeNotify_;
};

} // namespace qorvi
