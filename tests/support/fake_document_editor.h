#pragma once

// A model of the editor control for document-window tests: the text in its
// stored form (every line break one CR), the selection, per-line marks that
// stay with their line as the control's records do (the line that keeps the
// start of a joined line keeps its marks; lines that go take theirs with
// them), undo by replaying the inverse edit, and a read-only flag that
// refuses edits.

#include "app/document_editor.h"
#include "app/parser_bank.h"
#include "editor/control/rudivo_voru_messages.h"
#include "editor/text/line_break_writer.h"
#include "editor/text/text_loader.h"
#include "editor/text/text_store.h"
#include "platform/file_system.h"
#include "platform/qorvi_error.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace qorvi::test {

class FakeDocumentEditor : public DocumentEditor {
public:
    struct Marks {
        std::vector<std::intptr_t> tracks;
        std::uint16_t glyphs = 0;
        std::int32_t color = -1;
        std::int32_t textColor = -1;
    };

    std::string parserName;
    int refusedEdits = 0;
    int frozen = 0;
    int maxFrozen = 0;
    std::map<int, std::int32_t> bookmarks; // index -> 1-based line
    inline static std::string clipboard;

    FakeDocumentEditor() : marks_(1) {}

    // Stored form of `text`: CR LF, LF and CR all become CR.
    static std::string stored(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                continue;
            out.push_back(text[i] == '\n' ? '\r' : text[i]);
        }
        return out;
    }

    void setText(const std::string& text) {
        text_ = stored(text);
        marks_.assign(static_cast<std::size_t>(std::count(text_.begin(), text_.end(), '\r') + 1), Marks{});
        tracks_.clear();
        undo_.clear();
        sel_ = {0, 0};
        modified_ = false;
    }
    const std::string& text() const { return text_; }
    const Marks& marksOf(std::int32_t line1) const { return marks_.at(static_cast<std::size_t>(line1 - 1)); }
    std::string lineText(std::int32_t line) const {
        return text_.substr(static_cast<std::size_t>(lineStart(line)),
                            static_cast<std::size_t>(lineEnd(line) - lineStart(line)));
    }
    void setModified(bool m) { modified_ = m; }
    void setLineBreaks(LineBreakStyle style) { breaks_ = style; }

    // ---- the text
    std::int32_t textLength() const override { return static_cast<std::int32_t>(text_.size()); }
    std::string textRange(std::int32_t from, std::int32_t count) const override {
        from = std::clamp(from, 0, textLength());
        count = std::clamp(count, 0, textLength() - from);
        return text_.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
    }
    std::int32_t lineCount() const override { return static_cast<std::int32_t>(marks_.size()); }
    std::int32_t lineStart(std::int32_t line) const override {
        line = std::clamp(line, 0, lineCount() - 1);
        std::size_t at = 0;
        for (std::int32_t i = 0; i < line; ++i)
            at = text_.find('\r', at) + 1;
        return static_cast<std::int32_t>(at);
    }
    std::int32_t lineEnd(std::int32_t line) const override {
        auto at = text_.find('\r', static_cast<std::size_t>(lineStart(line)));
        return at == std::string::npos ? textLength() : static_cast<std::int32_t>(at);
    }
    std::int32_t lineOfOffset(std::int32_t offset) const override {
        offset = std::clamp(offset, 0, textLength());
        return static_cast<std::int32_t>(std::count(text_.begin(), text_.begin() + offset, '\r'));
    }
    LineBreakStyle lineBreaks() const override { return breaks_; }
    void loadFromFile(const std::string& path) override {
        auto data = fs::isFile(path) ? fs::readFile(path) : std::nullopt;
        if (!data)
            throw QorviError("File '" + path + "' cannot be opened for reading");
        loadBytes(*data);
    }
    // The bytes the loader was fed, written back as a file would hold them.
    void loadFromLoader(TextLoader& loader) override {
        TTextStore store;
        loader.finish(store);
        loadBytes(withLineBreaks(store.GetText(), store.FileLineBreaks()));
    }
    void loadBytes(const std::string& data) {
        breaks_ = LineBreakStyle::LF;
        if (auto at = data.find_first_of("\r\n"); at != std::string::npos)
            breaks_ = data[at] == '\n'                               ? LineBreakStyle::LF
                      : at + 1 < data.size() && data[at + 1] == '\n' ? LineBreakStyle::CRLF
                                                                     : LineBreakStyle::CR;
        setText(data);
        encoding_ = detectEncoding(data);
        ++loads;
    }
    TextEncoding encoding() const override { return encoding_; }
    void setEncoding(TextEncoding encoding) override { encoding_ = encoding; }
    int loads = 0;

    // ---- selection and editing
    std::pair<std::int32_t, std::int32_t> selection() const override { return sel_; }
    void setSelection(std::int32_t anchor, std::int32_t caret) override {
        sel_ = {std::clamp(anchor, 0, textLength()), std::clamp(caret, 0, textLength())};
    }
    // Plain search only (the control's own search is tested with it).
    std::int32_t find(std::int32_t flags, const std::string& text, std::int32_t& length) override {
        auto [a, b] = ordered();
        const std::string all = textRange(0, textLength());
        std::size_t at = (flags & kFindBackwards) ? (a == 0 ? std::string::npos : all.rfind(text, a - 1)) : all.find(text, b);
        if (at == std::string::npos || text.empty())
            return -1;
        length = static_cast<std::int32_t>(text.size());
        return static_cast<std::int32_t>(at);
    }
    std::string tokenTextAtCaret() const override { return tokenAtCaret; }
    void print(PrinterPort&) override { ++printed; }
    int printed = 0;
    std::string tokenAtCaret;
    std::string selectedText() const override {
        auto [a, b] = ordered();
        return textRange(a, b - a);
    }
    void replaceSelection(const std::string& text) override {
        if (readOnly_) {
            ++refusedEdits;
            return;
        }
        auto [a, b] = ordered();
        const std::string in = stored(text);
        undo_.push_back({a, textRange(a, b - a), static_cast<std::int32_t>(in.size()), historyState()});
        state_ = ++lastState_;
        replace(a, b, in);
        const auto caret = a + static_cast<std::int32_t>(in.size());
        sel_ = {caret, caret};
        modified_ = true;
    }
    void scrollCaretIntoView() override { ++scrolls; }
    int scrolls = 0;
    void selectAll() override { sel_ = {0, textLength()}; }
    bool canUndo() const override { return !undo_.empty(); }
    std::uint64_t historyState() const override { return state_; }
    void undo() override {
        if (undo_.empty() || readOnly_)
            return;
        Edit e = undo_.back();
        undo_.pop_back();
        state_ = e.stateBefore;
        replace(e.at, e.at + e.insertedCount, e.removed);
        modified_ = true;
    }
    void redo() override { ++redos; }
    int redos = 0;
    void indent() override { ++indents; }
    void undent() override { ++undents; }
    int indents = 0, undents = 0;
    void copyToClipboard() override { clipboard = selectedText(); }
    void cutToClipboard() override {
        clipboard = selectedText();
        replaceSelection("");
    }
    void pasteFromClipboard() override { replaceSelection(clipboard); }
    void setBookmark(int index, std::int32_t line) override {
        auto it = bookmarks.find(index);
        if (it != bookmarks.end() && it->second == line)
            bookmarks.erase(it);
        else
            bookmarks[index] = line;
    }
    void jumpToBookmark(int index) override {
        if (auto it = bookmarks.find(index); it != bookmarks.end())
            setSelection(lineStart(it->second - 1), lineStart(it->second - 1));
    }

    // ---- state
    bool modified() const override { return modified_; }
    void clearModified() override {
        modified_ = false;
        undo_.clear();
    }
    bool readOnly() const override { return readOnly_; }
    void setReadOnly(bool readOnly) override { readOnly_ = readOnly; }
    void setPaintingFrozen(bool on) override {
        frozen += on ? 1 : -1;
        maxFrozen = std::max(maxFrozen, frozen);
    }
    void setParser(const ParserSlot& slot) override { parserName = slot.Name; }

    // ---- line marks
    std::intptr_t addLineTrack(std::int32_t line, std::int32_t data) override {
        if (line < 1 || line > lineCount())
            return -1;
        std::intptr_t id = nextTrack_++;
        tracks_[id] = data;
        marks_[static_cast<std::size_t>(line - 1)].tracks.push_back(id);
        return id;
    }
    void removeLineTrack(std::intptr_t id) override {
        if (!tracks_.erase(id))
            throw QorviError("Invalid track ID (" + std::to_string(id) + ")");
        for (auto& m : marks_)
            std::erase(m.tracks, id);
    }
    std::intptr_t firstTrackOnLine(std::int32_t line) const override {
        if (line < 1 || line > lineCount())
            return -1;
        const auto& t = marks_[static_cast<std::size_t>(line - 1)].tracks;
        return t.empty() ? -1 : t.front();
    }
    bool trackValid(std::intptr_t id) const override { return tracks_.count(id) != 0; }
    std::int32_t trackData(std::intptr_t id) const override {
        auto it = tracks_.find(id);
        if (it == tracks_.end())
            throw QorviError("Invalid track ID (" + std::to_string(id) + ")");
        return it->second;
    }
    std::vector<LineTrack> lineTracks() const override {
        std::vector<LineTrack> out;
        for (std::size_t i = 0; i < marks_.size(); ++i)
            for (auto id : marks_[i].tracks)
                out.push_back({id, static_cast<std::int32_t>(i + 1), tracks_.at(id)});
        return out;
    }
    void addLineGlyph(int glyph, std::int32_t line) override {
        at(line).glyphs |= std::uint16_t(1u << glyph);
    }
    void removeLineGlyph(int glyph, std::int32_t line) override {
        at(line).glyphs &= std::uint16_t(~(1u << glyph));
    }
    void setLineColor(std::int32_t line, std::int32_t color) override { at(line).color = color; }
    void setLineTextColor(std::int32_t line, std::int32_t color) override { at(line).textColor = color; }

    // ---- watch
    void appendText(const std::string& text) override {
        replace(textLength(), textLength(), stored(text));
        modified_ = true;
    }
    void deleteLeadingText(std::int32_t count) override {
        replace(0, std::clamp(count, 0, textLength()), "");
        sel_ = {0, 0};
        modified_ = true;
    }

private:
    struct Edit {
        std::int32_t at;
        std::string removed;
        std::int32_t insertedCount;
        std::uint64_t stateBefore;
    };

    std::pair<std::int32_t, std::int32_t> ordered() const {
        return {std::min(sel_.first, sel_.second), std::max(sel_.first, sel_.second)};
    }
    Marks& at(std::int32_t line) {
        static Marks none;
        if (line < 1 || line > lineCount())
            return none;
        return marks_[static_cast<std::size_t>(line - 1)];
    }
    // Lines after the first of the replaced range go with their marks; the
    // first keeps its own; each inserted break makes a line without marks.
    void replace(std::int32_t from, std::int32_t to, const std::string& in) {
        const std::int32_t first = lineOfOffset(from);
        const std::int32_t last = lineOfOffset(to);
        for (std::int32_t l = first + 1; l <= last; ++l)
            for (auto id : marks_[static_cast<std::size_t>(l)].tracks)
                tracks_.erase(id);
        marks_.erase(marks_.begin() + first + 1, marks_.begin() + last + 1);
        const auto added = std::count(in.begin(), in.end(), '\r');
        marks_.insert(marks_.begin() + first + 1, static_cast<std::size_t>(added), Marks{});
        text_.replace(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from), in);
    }

    std::string text_;
    TextEncoding encoding_ = TextEncoding::Utf8;
    std::vector<Marks> marks_;
    std::map<std::intptr_t, std::int32_t> tracks_;
    std::intptr_t nextTrack_ = 1000;
    std::vector<Edit> undo_;
    std::uint64_t state_ = 0;
    std::uint64_t lastState_ = 0;
    std::pair<std::int32_t, std::int32_t> sel_{0, 0};
    bool modified_ = false;
    bool readOnly_ = false;
    LineBreakStyle breaks_ = LineBreakStyle::LF;
};

} // namespace qorvi::test
