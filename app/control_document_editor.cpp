#include "app/control_document_editor.h"

#include "app/parser_bank.h"
#include "editor/control/rudivo_voru.h"
#include "editor/text/text_loader.h"
#include "parser/rudivo_voru_parser.h"

#include <algorithm>

namespace qorvi {

ControlDocumentEditor::ControlDocumentEditor(TRudivoVoru& control) : control_(control) {
    // A new document is UTF-8, as the desktop's files are; loading a file
    // finds the file's own.
    control_.SetEncoding(TextEncoding::Utf8);
}

// ---- the text

std::int32_t ControlDocumentEditor::textLength() const {
    return control_.TextStore().NumChars();
}

std::string ControlDocumentEditor::textRange(std::int32_t from, std::int32_t count) const {
    return control_.TextStore().GetText(std::max(0, from), std::max(0, count));
}

bool ControlDocumentEditor::endsWithBreak() const {
    const TTextStore& store = control_.TextStore();
    return store.NumChars() > 0 && store.LastLine() && store.LastLine()->EndsWithCR();
}

std::int32_t ControlDocumentEditor::lineCount() const {
    return control_.TextLineOfRow(textLength());
}

std::int32_t ControlDocumentEditor::existingLineStart(std::int32_t line) const {
    if (line <= 0)
        return 0;
    // Found from the row whose line is known, so lines near the caret are
    // found without walking the whole text.
    const std::int32_t start = control_.UnwrappedCharOffset(line + 1, 1);
    return lineOfOffset(start) == line ? start : -1;
}

std::int32_t ControlDocumentEditor::lineStart(std::int32_t line) const {
    if (std::int32_t start = existingLineStart(line); start >= 0)
        return start;
    // Past the last record: the empty line after a final break has no
    // record of its own; anything further is clamped to the last line.
    const std::int32_t count = lineCount();
    line = std::clamp(line, 0, count - 1);
    if (line == count - 1 && endsWithBreak())
        return textLength();
    return control_.UnwrappedCharOffset(line + 1, 1);
}

std::int32_t ControlDocumentEditor::lineEnd(std::int32_t line) const {
    line = std::max(0, line);
    const std::int32_t next = existingLineStart(line + 1);
    if (next >= 0)
        return next - 1;
    // The line after is the empty one after a final break, or none.
    if (endsWithBreak() && lineOfOffset(textLength()) == line + 1)
        return textLength() - 1;
    return textLength();
}

std::int32_t ControlDocumentEditor::lineOfOffset(std::int32_t offset) const {
    return control_.TextLineOfRow(std::clamp(offset, 0, textLength())) - 1;
}

LineBreakStyle ControlDocumentEditor::lineBreaks() const {
    return control_.TextStore().FileLineBreaks();
}

void ControlDocumentEditor::loadFromFile(const std::string& path) {
    control_.LoadFromFile(path);
    control_.SetModified(false);
}

void ControlDocumentEditor::loadFromLoader(TextLoader& loader) {
    control_.LoadFromLoader(loader);
    control_.SetModified(false);
}

TextEncoding ControlDocumentEditor::encoding() const {
    return control_.Encoding();
}

void ControlDocumentEditor::setEncoding(TextEncoding encoding) {
    control_.SetEncoding(encoding);
}

bool ControlDocumentEditor::convertEncoding(TextEncoding encoding) {
    return control_.ConvertEncoding(encoding);
}

std::optional<std::string> ControlDocumentEditor::encodeForDocument(const std::string& utf8) {
    return control_.EncodeForDocument(utf8);
}

std::int32_t ControlDocumentEditor::cellsBetween(std::int32_t from, std::int32_t to) const {
    if (to <= from || encoding() != TextEncoding::Utf8)
        return std::max(0, to - from);
    const std::string text = textRange(from, to - from);
    std::int32_t cells = 0;
    for (std::size_t at = 0; at < text.size();) {
        const TextCluster cluster = nextCluster(text, at);
        cells += cluster.cells;
        at = cluster.end;
    }
    return cells;
}

std::int32_t ControlDocumentEditor::recordOf(std::int32_t line) const {
    return control_.TextStore().InfoFromIndex(lineStart(line - 1)).index + 1;
}

std::int32_t ControlDocumentEditor::textLineOfRecord(std::int32_t record) const {
    const TTextStore& store = control_.TextStore();
    if (!store.Buffer())
        return 1;
    return lineOfOffset(store.LineFromLineIndex(std::max(0, record - 1)).start) + 1;
}

template <class F> void ControlDocumentEditor::forEachRecordOf(std::int32_t line, F&& f) {
    const TTextStore& store = control_.TextStore();
    if (!store.Buffer() || line < 1 || line > lineCount())
        return;
    std::int32_t record = recordOf(line);
    for (const TLine* row = store.LineFromLineIndex(record - 1).line; row; row = store.Next(row), ++record) {
        f(record);
        if (row->EndsWithCR())
            break;
    }
}

// ---- selection and editing

std::pair<std::int32_t, std::int32_t> ControlDocumentEditor::selection() const {
    const TChRange r = control_.GetSelection();
    return {r.chStart, r.chEnd};
}

void ControlDocumentEditor::setSelection(std::int32_t anchor, std::int32_t caret) {
    control_.SetSelection({anchor, caret});
}

std::string ControlDocumentEditor::selectedText() const {
    return control_.GetSelText();
}

void ControlDocumentEditor::replaceSelection(const std::string& text) {
    control_.DoReplaceSel(text);
}

std::int32_t ControlDocumentEditor::find(std::int32_t flags, const std::string& text, std::int32_t& length) {
    const std::int32_t at = static_cast<std::int32_t>(
        control_.perform(SMM_FIND, static_cast<std::uintptr_t>(flags | kFindNow), reinterpret_cast<std::intptr_t>(text.c_str())));
    if (at < 0)
        return -1;
    if (!(flags & kFindRegExpr)) {
        length = static_cast<std::int32_t>(text.size());
        return at;
    }
    const std::int32_t start = control_.GetFindRESection(0);
    length = control_.GetFindRESection(control_.GetFindRESectionCount()) - start;
    return start;
}

void ControlDocumentEditor::beginEditGroup() {
    control_.UndoTransBegin(utReplace);
}

void ControlDocumentEditor::endEditGroup() {
    control_.UndoTransEnd(utReplace);
}

std::string ControlDocumentEditor::tokenTextAtCaret() const {
    std::int32_t start = 0;
    std::string text;
    control_.TokenTextAtPos(control_.GetSelection().chEnd, start, text);
    return text;
}

void ControlDocumentEditor::print(PrinterPort& printer) {
    if (control_.GetSelection().Empty())
        control_.Print(printer);
    else
        control_.PrintSelection(printer);
}

void ControlDocumentEditor::scrollCaretIntoView() {
    control_.perform(EM_SCROLLCARET);
}

void ControlDocumentEditor::selectAll() {
    control_.SelectAll();
}

bool ControlDocumentEditor::canUndo() const {
    return control_.perform(EM_CANUNDO) != 0;
}

std::uint64_t ControlDocumentEditor::historyState() const {
    const TUndoStack* history = control_.TextStore().UndoStack();
    return history ? history->CurrentId() : 0;
}

void ControlDocumentEditor::undo() {
    control_.perform(EM_UNDO);
}

void ControlDocumentEditor::redo() {
    control_.DoReDo();
}

void ControlDocumentEditor::indent() {
    control_.perform(SMM_INDENT, 0, 1);
}

void ControlDocumentEditor::undent() {
    control_.perform(SMM_UNDENT, 0, 1);
}

void ControlDocumentEditor::copyToClipboard() {
    control_.CopyToClipboard();
}

void ControlDocumentEditor::cutToClipboard() {
    control_.CutToClipboard();
}

void ControlDocumentEditor::pasteFromClipboard() {
    control_.PasteFromClipboard();
}

void ControlDocumentEditor::setBookmark(int index, std::int32_t line) {
    control_.SetBookmark(index, recordOf(line), 1);
}

void ControlDocumentEditor::jumpToBookmark(int index) {
    control_.JumpToBookmark(index);
}

// ---- state

bool ControlDocumentEditor::modified() const {
    return control_.GetModified();
}

// What is saved is where undo starts: clearing the flag empties the history.
void ControlDocumentEditor::clearModified() {
    control_.SetModified(false);
}

bool ControlDocumentEditor::readOnly() const {
    return control_.ReadOnly();
}

void ControlDocumentEditor::setReadOnly(bool readOnly) {
    control_.SetReadOnly(readOnly);
}

void ControlDocumentEditor::setPaintingFrozen(bool frozen) {
    control_.perform(SMM_LOCKUPDATE, kSmmSet, frozen ? 1 : 0);
}

void ControlDocumentEditor::setParser(const ParserSlot& slot) {
    control_.SetParser1(slot.Parser.get());
    control_.SetActiveParser(1);
}

void ControlDocumentEditor::modifyParserProperties(unsigned pages) {
    if (TCustomRudivoVoruParser* parser = control_.GetCurrentParser())
        parser->ModifySelectedProperties(pages);
}

// ---- line marks

std::intptr_t ControlDocumentEditor::addLineTrack(std::int32_t line, std::int32_t data) {
    if (line < 1 || line > lineCount())
        return -1;
    return control_.AddLineTrack(recordOf(line), data);
}

void ControlDocumentEditor::removeLineTrack(std::intptr_t id) {
    control_.RemoveLineTrack(id);
}

std::intptr_t ControlDocumentEditor::firstTrackOnLine(std::int32_t line) const {
    if (line < 1 || line > lineCount())
        return -1;
    // The empty line after a final break has no record of its own: the
    // record found for it is the line before, whose tracks are not its.
    const std::int32_t record = recordOf(line);
    if (textLineOfRecord(record) != line)
        return -1;
    return control_.GetFirstTrackIDOnLine(record);
}

bool ControlDocumentEditor::trackValid(std::intptr_t id) const {
    return control_.IsLineTrackIDValid(id);
}

std::int32_t ControlDocumentEditor::trackData(std::intptr_t id) const {
    return control_.GetLineTrackData(id);
}

std::vector<DocumentEditor::LineTrack> ControlDocumentEditor::lineTracks() const {
    std::vector<LineTrack> out;
    for (TTrackID id = control_.GetFirstLineTrackID(); id != -1; id = control_.NextLineTrackID(id))
        out.push_back(
            {id, textLineOfRecord(control_.LineTrackIDToLineNo(id)), control_.GetLineTrackData(id)});
    return out;
}

void ControlDocumentEditor::addLineGlyph(int glyph, std::int32_t line) {
    if (line >= 1 && line <= lineCount())
        control_.AddLineGlyph(glyph, recordOf(line));
}

void ControlDocumentEditor::removeLineGlyph(int glyph, std::int32_t line) {
    if (line >= 1 && line <= lineCount())
        control_.RemoveLineGlyph(glyph, recordOf(line));
}

void ControlDocumentEditor::setLineColor(std::int32_t line, std::int32_t color) {
    forEachRecordOf(line, [&](std::int32_t record) { control_.SetLineColor(record, color); });
}

void ControlDocumentEditor::setLineTextColor(std::int32_t line, std::int32_t color) {
    forEachRecordOf(line, [&](std::int32_t record) { control_.SetLineTextColor(record, color); });
}

// ---- the watched file's text

template <class F> void ControlDocumentEditor::editEvenIfReadOnly(F&& edit) {
    const bool readOnly = control_.ReadOnly();
    control_.SetReadOnly(false);
    try {
        edit();
    } catch (...) {
        control_.SetReadOnly(readOnly);
        throw;
    }
    control_.SetReadOnly(readOnly);
}

void ControlDocumentEditor::appendText(const std::string& text) {
    editEvenIfReadOnly([&] {
        control_.SetSelection({textLength(), textLength()}, true);
        control_.DoReplaceSel(text);
    });
}

void ControlDocumentEditor::deleteLeadingText(std::int32_t count) {
    editEvenIfReadOnly([&] {
        control_.SetSelection({0, std::clamp(count, 0, textLength())}, true);
        control_.DoReplaceSel("");
    });
}

} // namespace qorvi
