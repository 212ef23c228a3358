#pragma once

// What a document window asks of its editor control, `txtMain`. The window's
// logic works through this and nothing else, so it runs the same against the
// real control and against a model of it.
//
// Lines are text lines - the runs between stored line breaks, whatever rows
// word wrap or the 2047-character record limit cut them into - numbered from
// 0 unless a function says 1-based. Offsets count characters of the whole
// text in which every line break is one CR. An empty text has one line.

#include "editor/text/line_breaks.h"

#include "platform/text_encoding.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

class PrinterPort;
class TextLoader;
struct ParserSlot;

class DocumentEditor {
public:
    virtual ~DocumentEditor() = default;

    // ---- the text
    virtual std::int32_t textLength() const = 0;
    // The characters [from, from + count), clamped to the text.
    virtual std::string textRange(std::int32_t from, std::int32_t count) const = 0;
    virtual std::int32_t lineCount() const = 0;
    // Offset of the first character of `line` (clamped to the text).
    virtual std::int32_t lineStart(std::int32_t line) const = 0;
    // Offset of the line break that ends `line`, or the text's end.
    virtual std::int32_t lineEnd(std::int32_t line) const = 0;
    virtual std::int32_t lineOfOffset(std::int32_t offset) const = 0;
    // How the loaded file broke its lines (LF for a new document).
    virtual LineBreakStyle lineBreaks() const = 0;
    // Replaces the whole text by the file's; a file that cannot be read
    // raises with the control's message and leaves the text as it was.
    virtual void loadFromFile(const std::string& path) = 0;
    // The same with the bytes `loader` was fed (a file received from a server).
    virtual void loadFromLoader(TextLoader& loader) = 0;
    // How the bytes read as characters (found on loading; UTF-8 when new).
    virtual TextEncoding encoding() const { return TextEncoding::Windows1252; }
    // Reads the same bytes in `encoding`.
    virtual void setEncoding(TextEncoding /*encoding*/) {}
    // Re-encodes the text into `encoding`; false, unchanged, when a
    // character has no byte there.
    virtual bool convertEncoding(TextEncoding encoding) { return encoding == this->encoding(); }
    // Unicode text (UTF-8) as this document's bytes, or nothing when a
    // character has no byte here and the document stays as it is.
    virtual std::optional<std::string> encodeForDocument(const std::string& utf8) {
        return encodeFromUtf8(utf8, encoding());
    }
    // The screen cells between two offsets of one line (characters in an
    // 8-bit document; wide characters count two, combining marks none).
    virtual std::int32_t cellsBetween(std::int32_t from, std::int32_t to) const { return to - from; }

    // ---- selection and editing
    // The selection as the control holds it (anchor, caret); not ordered.
    virtual std::pair<std::int32_t, std::int32_t> selection() const = 0;
    virtual void setSelection(std::int32_t anchor, std::int32_t caret) = 0;
    virtual std::string selectedText() const = 0;
    // The control's one replace-selection edit (recorded for undo).
    virtual void replaceSelection(const std::string& text) = 0;
    // The control's immediate search from the selection (kFind* flags of
    // the control; kFindNow is added): the match's start and length, or -1.
    virtual std::int32_t find(std::int32_t flags, const std::string& text, std::int32_t& length) = 0;
    // Edits between these two calls undo and redo as one step.
    virtual void beginEditGroup() {}
    virtual void endEditGroup() {}
    // The run of one style around the caret (the word to search for).
    virtual std::string tokenTextAtCaret() const = 0;
    virtual void scrollCaretIntoView() = 0;
    // Prints the text, or the lines of the selection when there is one.
    virtual void print(PrinterPort& /*printer*/) {}
    virtual void selectAll() = 0;
    virtual bool canUndo() const = 0;
    virtual void undo() = 0;
    // Does again what the last undo took back; nothing when there is none.
    virtual void redo() = 0;
    // Names the state the history is in: undo and redo come back to a name
    // once given, a new edit gets a new one.
    virtual std::uint64_t historyState() const = 0;
    // Block indent and undent of the selected lines.
    virtual void indent() = 0;
    virtual void undent() = 0;
    virtual void copyToClipboard() = 0;
    virtual void cutToClipboard() = 0;
    virtual void pasteFromClipboard() = 0;
    // Numbered bookmarks 0..9: set on a 1-based line at column 1 (cleared
    // instead when it already stands there), and jumped to.
    virtual void setBookmark(int index, std::int32_t line) = 0;
    virtual void jumpToBookmark(int index) = 0;

    // ---- state
    virtual bool modified() const = 0;
    virtual void clearModified() = 0;
    virtual bool readOnly() const = 0;
    virtual void setReadOnly(bool readOnly) = 0;
    // Painting waits while frozen; unfreezing repaints.
    virtual void setPaintingFrozen(bool frozen) = 0;
    // Parser1 := the slot's parser; ActiveParser := 1.
    virtual void setParser(const ParserSlot& slot) = 0;
    // The options dialog of the editor's parser on the given pages (a set
    // of the control's pp* bits); nothing without a parser.
    virtual void modifyParserProperties(unsigned /*pages*/) {}

    // ---- line marks (1-based lines)
    // A line track carrying `data` on the line; -1 when there is no such line.
    virtual std::intptr_t addLineTrack(std::int32_t line, std::int32_t data) = 0;
    virtual void removeLineTrack(std::intptr_t id) = 0;
    // The first track on the line, or -1.
    virtual std::intptr_t firstTrackOnLine(std::int32_t line) const = 0;
    virtual bool trackValid(std::intptr_t id) const = 0;
    virtual std::int32_t trackData(std::intptr_t id) const = 0;
    struct LineTrack {
        std::intptr_t id = -1;
        std::int32_t line = 0; // 1-based
        std::int32_t data = 0;
    };
    // Every track, in text order.
    virtual std::vector<LineTrack> lineTracks() const = 0;
    virtual void addLineGlyph(int glyph, std::int32_t line) = 0;
    virtual void removeLineGlyph(int glyph, std::int32_t line) = 0;
    // Colours 0x00BBGGRR; -1 is the default.
    virtual void setLineColor(std::int32_t line, std::int32_t color) = 0;
    virtual void setLineTextColor(std::int32_t line, std::int32_t color) = 0;

    // ---- the watched file's text, which changes also while read-only
    // Appends `text` (any line breaks) at the end, without undo.
    virtual void appendText(const std::string& text) = 0;
    // Removes the characters [0, count), without undo.
    virtual void deleteLeadingText(std::int32_t count) = 0;
};

} // namespace qorvi
