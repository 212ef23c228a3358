#include "editor/text/text_store.h"

#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_save.h"
#include "editor/text/text_store_editor.h"

#include <algorithm>
#include <cstring>

namespace qorvi {

TTextStore::TTextStore()
    : chain_(std::make_unique<LineChain>()), undoStack_(std::make_unique<TUndoStack>()),
      customBookmarks_(std::make_unique<TCustomBookmarks>()),
      breakpoints_(std::make_unique<TSM_Breakpoints>()), codeBreak_(std::make_unique<TSM_CodeBreak>()) {
}

TTextStore::~TTextStore() {
    // Tracks fire their free notifications while the records still exist.
    extras_.clear();
}

// ---------------------------------------------------------------- reference point

void TTextStore::SetTopLine(TLine* line) {
    topLine_ = line;
    topOffset_ = line ? OffsetOfLine(line) : 0;
}

void TTextStore::FixRefPoint(std::int32_t topLineIndex) {
    if (topLine_)
        return;
    LineInfo info = LineFromLineIndex(topLineIndex);
    topLine_ = info.line;
    topOffset_ = info.start;
}

// ---------------------------------------------------------------- look-ups

TTextStore::LineInfo TTextStore::InfoFromIndex(std::int32_t offset) const {
    // Rows are mostly asked for in order (painting, caret moves): answer
    // from the last record found or its successor before searching.
    if (lastFoundStamp_ == chain_->stamp() && lastFound_.line) {
        const LineInfo& last = lastFound_;
        std::int32_t end = last.start + last.line->Len();
        if (offset >= last.start && (offset < end || !chain_->next(last.line)))
            return last;
        if (offset >= end) {
            TLine* next = chain_->next(last.line);
            if (offset < end + next->Len() || !chain_->next(next)) {
                lastFound_ = {next, last.index + 1, end};
                return lastFound_;
            }
        }
    }
    LineChain::Position p = chain_->atOffset(offset);
    lastFound_ = {p.line, p.index, static_cast<std::int32_t>(p.start)};
    lastFoundStamp_ = chain_->stamp();
    return lastFound_;
}

TLine* TTextStore::LineFromIndex(std::int32_t offset, std::int32_t* lineStart) const {
    LineInfo info = InfoFromIndex(offset);
    if (lineStart)
        *lineStart = info.start;
    return info.line;
}

TTextStore::LineInfo TTextStore::LineFromLineIndex(std::int32_t index) const {
    LineChain::Position p = chain_->atIndex(index);
    return {p.line, p.index, static_cast<std::int32_t>(p.start)};
}

std::int32_t TTextStore::OffsetOfLine(const TLine* line) const {
    return static_cast<std::int32_t>(chain_->offsetOf(line));
}

std::int32_t TTextStore::IndexOfLine(const TLine* line) const {
    return chain_->indexOf(line);
}

std::string TTextStore::GetText(std::int32_t offset, std::int32_t count) const {
    std::int64_t from = std::clamp<std::int64_t>(offset, 0, chain_->charCount());
    std::int64_t to =
        std::clamp<std::int64_t>(from + std::max<std::int64_t>(count, 0), from, chain_->charCount());
    std::string text;
    if (from == to)
        return text;
    text.reserve(static_cast<std::size_t>(to - from));
    LineChain::Position p = chain_->atOffset(from);
    std::int64_t skip = from - p.start;
    for (const TLine* line = p.line; line && static_cast<std::int64_t>(text.size()) < to - from;
         line = chain_->next(line)) {
        std::int64_t take = std::min<std::int64_t>(line->Len() - skip, to - from - text.size());
        text.append(line->Text() + skip, static_cast<std::size_t>(take));
        skip = 0;
    }
    return text;
}

std::unique_ptr<TEdStream> TTextStore::GetTextStream(std::int32_t offset, std::int32_t caret) {
    if (offset == -1)
        offset = caret;
    offset = std::clamp(offset, 0, NumChars());
    auto stream = std::make_unique<TEdStream>(this);
    stream->SetYYpos(offset);
    return stream;
}

// ---------------------------------------------------------------- side data

TTextStore::LineExtras* TTextStore::extrasOf(const TLine* line) const {
    if (!line || !line->HasExtras())
        return nullptr;
    auto it = extras_.find(line);
    return it == extras_.end() ? nullptr : const_cast<LineExtras*>(&it->second);
}

TTextStore::LineExtras& TTextStore::ensureExtras(TLine* line) {
    LineExtras& extras = extras_[line];
    LineChain::setHasExtras(line, true);
    return extras;
}

void TTextStore::dropExtrasIfPlain(TLine* line) {
    LineExtras* extras = extrasOf(line);
    if (extras && extras->glyphs == 0 && extras->backColor == -1 && extras->foreColor == -1 &&
        !extras->tracks) {
        extras_.erase(line);
        LineChain::setHasExtras(line, false);
    }
}

std::uint16_t TTextStore::Glyphs(const TLine* line) const {
    LineExtras* extras = extrasOf(line);
    return extras ? extras->glyphs : 0;
}

std::int32_t TTextStore::BackColor(const TLine* line) const {
    LineExtras* extras = extrasOf(line);
    return extras ? extras->backColor : -1;
}

std::int32_t TTextStore::ForeColor(const TLine* line) const {
    LineExtras* extras = extrasOf(line);
    return extras ? extras->foreColor : -1;
}

TLineTrack* TTextStore::Tracks(const TLine* line) const {
    LineExtras* extras = extrasOf(line);
    return extras ? extras->tracks.get() : nullptr;
}

TLineTrack& TTextStore::EnsureTracks(TLine* line) {
    LineExtras& extras = ensureExtras(line);
    if (!extras.tracks)
        extras.tracks = std::make_unique<TLineTrack>(line, trackFreeNotify_);
    return *extras.tracks;
}

// ---------------------------------------------------------------- line attributes

TLine* TTextStore::lineByNumber(std::int32_t line) const {
    if (line == 0)
        line = 1;
    if (line < 1 || line > NumLines())
        return nullptr;
    return chain_->atIndex(line - 1).line;
}

void TTextStore::markAndRepaint(TLine* line) {
    line->AddFlags(lfRepaint);
    for (TextStoreEditor* editor : editors_)
        editor->repaintFromStore();
}

std::uint16_t TTextStore::GetLineGlyph(std::int32_t line) const {
    return Glyphs(lineByNumber(line));
}

void TTextStore::SetLineGlyph(std::uint16_t glyphs, std::int32_t line) {
    TLine* record = lineByNumber(line);
    if (!record)
        return;
    ensureExtras(record).glyphs = glyphs;
    dropExtrasIfPlain(record);
    markAndRepaint(record);
}

void TTextStore::AddLineGlyph(int glyph, std::int32_t line) {
    if (glyph < 1 || glyph > 16)
        return;
    SetLineGlyph(static_cast<std::uint16_t>(GetLineGlyph(line) | (1u << (glyph - 1))), line);
}

void TTextStore::RemoveLineGlyph(int glyph, std::int32_t line) {
    if (glyph < 1 || glyph > 16)
        return;
    SetLineGlyph(static_cast<std::uint16_t>(GetLineGlyph(line) & ~(1u << (glyph - 1))), line);
}

bool TTextStore::LineHasGlyph(int glyph, std::int32_t line) const {
    if (glyph < 1 || glyph > 16)
        return false;
    return GetLineGlyph(line) & (1u << (glyph - 1));
}

std::int32_t TTextStore::GetLineColor(std::int32_t line) const {
    return BackColor(lineByNumber(line));
}

void TTextStore::SetLineColor(std::int32_t color, std::int32_t line) {
    TLine* record = lineByNumber(line);
    if (!record)
        return;
    ensureExtras(record).backColor = color;
    dropExtrasIfPlain(record);
    markAndRepaint(record);
}

std::int32_t TTextStore::GetLineTextColor(std::int32_t line) const {
    return ForeColor(lineByNumber(line));
}

void TTextStore::SetLineTextColor(std::int32_t color, std::int32_t line) {
    TLine* record = lineByNumber(line);
    if (!record)
        return;
    ensureExtras(record).foreColor = color;
    dropExtrasIfPlain(record);
    markAndRepaint(record);
}

// ---------------------------------------------------------------- companions

std::uint16_t TTextStore::GetBookmarkCol(int index) const {
    return index >= 0 && index < 10 ? bookmarkCol_[index] : 0;
}

void TTextStore::SetBookmarkCol(int index, std::uint16_t column) {
    if (index >= 0 && index < 10)
        bookmarkCol_[index] = column;
}

int TTextStore::AttachEditor(TextStoreEditor* editor) {
    auto it = std::find(editors_.begin(), editors_.end(), editor);
    if (it != editors_.end())
        return static_cast<int>(it - editors_.begin()) + 1;
    editors_.push_back(editor);
    return static_cast<int>(editors_.size()) - 1;
}

void TTextStore::ReleaseEditor(TextStoreEditor* editor) {
    editors_.erase(std::remove(editors_.begin(), editors_.end(), editor), editors_.end());
}

void TTextStore::UpdateEditors() {
    // A control may release itself while refreshing.
    std::vector<TextStoreEditor*> editors = editors_;
    for (TextStoreEditor* editor : editors)
        editor->refreshFromStore();
}

void TTextStore::TextChanged(std::int32_t start, std::int32_t delta) {
    breakpoints_->TextChanged(start, delta);
    codeBreak_->TextChanged(start, delta);
}

void TTextStore::ExportTextToStream(TStream& stream) const {
    ExportPlainText(*this, 0, NumChars(), stream, sfTEXT, selLineStyle_);
}

} // namespace qorvi
