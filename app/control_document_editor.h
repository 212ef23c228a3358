#pragma once

// The document window's editor (`txtMain`) as the editor control core:
// DocumentEditor over TRudivoVoru. It turns the window's text lines into the
// control's rows and records (a text line is cut into several by word wrap
// and by the 2047-character record limit) and its requests into the
// control's operations and messages.

#include "app/document_editor.h"

#include <cstdint>

namespace qorvi {

class TRudivoVoru;

class ControlDocumentEditor : public DocumentEditor {
public:
    explicit ControlDocumentEditor(TRudivoVoru& control);

    TRudivoVoru& control() { return control_; }

    std::int32_t textLength() const override;
    std::string textRange(std::int32_t from, std::int32_t count) const override;
    std::int32_t lineCount() const override;
    std::int32_t lineStart(std::int32_t line) const override;
    std::int32_t lineEnd(std::int32_t line) const override;
    std::int32_t lineOfOffset(std::int32_t offset) const override;
    LineBreakStyle lineBreaks() const override;
    void loadFromFile(const std::string& path) override;
    void loadFromLoader(TextLoader& loader) override;
    TextEncoding encoding() const override;
    void setEncoding(TextEncoding encoding) override;
    bool convertEncoding(TextEncoding encoding) override;
    // Refused as typing would be: the control offers to convert the document.
    std::optional<std::string> encodeForDocument(const std::string& utf8) override;
    std::int32_t cellsBetween(std::int32_t from, std::int32_t to) const override;

    std::pair<std::int32_t, std::int32_t> selection() const override;
    void setSelection(std::int32_t anchor, std::int32_t caret) override;
    std::string selectedText() const override;
    void replaceSelection(const std::string& text) override;
    std::int32_t find(std::int32_t flags, const std::string& text, std::int32_t& length) override;
    std::string tokenTextAtCaret() const override;
    void beginEditGroup() override;
    void endEditGroup() override;
    void scrollCaretIntoView() override;
    void print(PrinterPort& printer) override;
    void selectAll() override;
    bool canUndo() const override;
    std::uint64_t historyState() const override;
    void undo() override;
    void redo() override;
    void indent() override;
    void undent() override;
    void copyToClipboard() override;
    void cutToClipboard() override;
    void pasteFromClipboard() override;
    void setBookmark(int index, std::int32_t line) override;
    void jumpToBookmark(int index) override;

    bool modified() const override;
    void clearModified() override;
    bool readOnly() const override;
    void setReadOnly(bool readOnly) override;
    void setPaintingFrozen(bool frozen) override;
    void setParser(const ParserSlot& slot) override;
    void modifyParserProperties(unsigned pages) override;

    std::intptr_t addLineTrack(std::int32_t line, std::int32_t data) override;
    void removeLineTrack(std::intptr_t id) override;
    std::intptr_t firstTrackOnLine(std::int32_t line) const override;
    bool trackValid(std::intptr_t id) const override;
    std::int32_t trackData(std::intptr_t id) const override;
    std::vector<LineTrack> lineTracks() const override;
    void addLineGlyph(int glyph, std::int32_t line) override;
    void removeLineGlyph(int glyph, std::int32_t line) override;
    void setLineColor(std::int32_t line, std::int32_t color) override;
    void setLineTextColor(std::int32_t line, std::int32_t color) override;

    void appendText(const std::string& text) override;
    void deleteLeadingText(std::int32_t count) override;

    // The 1-based record number (what the control's gutter click gives) as
    // a 1-based text line.
    std::int32_t textLineOfRecord(std::int32_t record) const;

private:
    // The 1-based record number of the first record of a 1-based text line.
    std::int32_t recordOf(std::int32_t line) const;
    template <class F> void forEachRecordOf(std::int32_t line, F&& f);
    template <class F> void editEvenIfReadOnly(F&& edit);
    bool endsWithBreak() const;
    // The start of an existing line; -1 past the last record.
    std::int32_t existingLineStart(std::int32_t line) const;

    TRudivoVoru& control_;
};

} // namespace qorvi
