#include "app/code_collapse.h"

#include "app/document_editor.h"
#include "platform/shell_ui.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace qorvi {

std::string collapseMarkerText(std::int32_t lineCount) {
    return std::string("---------------") + " " + std::to_string(lineCount) + " lines collapsed " +
           "---------------";
}

const TCodeCollapse* CodeCollapseList::find(std::int32_t id) const {
    for (const auto& item : items_)
        if (item->id == id)
            return item.get();
    return nullptr;
}

std::vector<std::int32_t> CodeCollapseList::markerLines(const DocumentEditor& editor) const {
    std::vector<std::int32_t> lines;
    for (const auto& track : editor.lineTracks())
        if (find(track.data))
            lines.push_back(track.line);
    return lines;
}

bool CodeCollapseList::collapse(DocumentEditor& editor, ShellUi& ui) {
    auto [anchor, caret] = editor.selection();
    if (anchor == caret) {
        ui.showError(kMsgNothingToCollapse);
        return false;
    }
    // A marker a redo brought back is a marker again before the check
    // below, so that no section is collapsed into another.
    reattachMarkers(editor);
    const std::int32_t start = std::min(anchor, caret);
    const std::int32_t end = std::max(anchor, caret);
    const std::int32_t s = editor.lineOfOffset(start);
    std::int32_t e = editor.lineOfOffset(end);
    // Lines selected whole end at the start of the next line, which is not
    // part of the selection.
    if (e > s && editor.lineStart(e) == end)
        --e;

    // Every marker inside the lines, first and last included: collapsing it
    // would bury its section inside this one.
    for (std::int32_t marker : markerLines(editor)) {
        if (marker - 1 >= s && marker - 1 <= e) {
            ui.showInformation(kMsgNestedCollapse);
            return false;
        }
    }

    editor.setSelection(editor.lineStart(s), editor.lineEnd(e));
    auto section = std::make_unique<TCodeCollapse>();
    section->line = s + 1;
    section->id = ++counter_;
    section->text = editor.selectedText();
    section->marker = collapseMarkerText(e - s + 1);
    editor.replaceSelection(section->marker);
    section->seenIn = editor.historyState();

    markLine(editor, *section, s + 1);
    items_.push_back(std::move(section));
    return true;
}

void CodeCollapseList::markLine(DocumentEditor& editor, TCodeCollapse& section, std::int32_t line) {
    section.track = editor.addLineTrack(line, section.id);
    editor.addLineGlyph(kCollapseGlyph, line);
    editor.setLineColor(line, kCollapseLineColor);
    editor.setLineTextColor(line, kCollapseLineTextColor);
}

void CodeCollapseList::unmarkLine(DocumentEditor& editor, TCodeCollapse& section, std::int32_t line) {
    editor.removeLineGlyph(kCollapseGlyph, line);
    editor.setLineColor(line, -1);
    editor.setLineTextColor(line, -1);
    editor.removeLineTrack(section.track);
    section.track = -1;
}

void CodeCollapseList::textChanged(DocumentEditor& editor) {
    retireUndone(editor);
    remarkReturned(editor);
}

void CodeCollapseList::retireUndone(DocumentEditor& editor) {
    if (items_.empty())
        return;
    const std::uint64_t state = editor.historyState();
    for (const auto& track : editor.lineTracks()) {
        auto it = std::find_if(items_.begin(), items_.end(),
                               [&](const auto& item) { return item->track == track.id; });
        if (it == items_.end())
            continue;
        TCodeCollapse& section = **it;
        const std::int32_t from = editor.lineStart(track.line - 1);
        if (editor.textRange(from, editor.lineEnd(track.line - 1) - from) == section.marker) {
            section.seenIn = state;
            section.line = track.line;
            continue;
        }
        if (editor.textRange(from, static_cast<std::int32_t>(section.text.size())) != section.text)
            continue; // the marker was edited: its lines are still hidden
        unmarkLine(editor, section, track.line);
        retire(it);
    }
    // A marker on the last line has a record of its own that the undo of its
    // collapse replaces, track and all: its lines are back where it was last
    // seen. Left collapsed, the section would take the next marker of the
    // same text for its own and write its lines twice.
    for (auto it = items_.begin(); it != items_.end();) {
        TCodeCollapse& section = **it;
        if (section.track != -1 && editor.trackValid(section.track)) {
            ++it;
            continue;
        }
        const std::int32_t line = section.line;
        const std::int32_t from = line >= 1 && line <= editor.lineCount() ? editor.lineStart(line - 1) : -1;
        if (from < 0 || editor.textRange(from, static_cast<std::int32_t>(section.text.size())) != section.text) {
            ++it;
            continue;
        }
        section.track = -1;
        it = retire(it);
    }
}

std::vector<std::unique_ptr<TCodeCollapse>>::iterator
CodeCollapseList::retire(std::vector<std::unique_ptr<TCodeCollapse>>::iterator section) {
    // The undo or redo that took the marker away is taken back in the state
    // the marker was last seen in.
    (*section)->returnsIn = (*section)->seenIn;
    retired_.push_back(std::move(*section));
    return items_.erase(section);
}

void CodeCollapseList::remarkReturned(DocumentEditor& editor) {
    // Runs on every change: most of them bring no marker back.
    const std::uint64_t state = editor.historyState();
    if (std::none_of(retired_.begin(), retired_.end(), [&](const auto& r) { return r->returnsIn == state; }))
        return;
    std::map<std::intptr_t, std::int32_t> trackLines;
    std::vector<std::int32_t> taken;
    for (const auto& track : editor.lineTracks()) {
        trackLines[track.id] = track.line;
        taken.push_back(track.line);
    }
    const std::int32_t lines = editor.lineCount();
    for (std::size_t i = retired_.size(); i-- > 0;) {
        TCodeCollapse& section = *retired_[i];
        const std::int32_t line = section.line;
        if (section.returnsIn != state || line < 1 || line > lines ||
            std::find(taken.begin(), taken.end(), line) != taken.end())
            continue;
        const std::int32_t from = editor.lineStart(line - 1);
        if (editor.textRange(from, editor.lineEnd(line - 1) - from) != section.marker)
            continue;
        attach(editor, section, line, trackLines);
        taken.push_back(line);
    }
}

namespace {

// The 0-based lines whose whole text is `text`, read in pieces.
std::vector<std::int32_t> linesReading(const DocumentEditor& editor, const std::string& text) {
    std::vector<std::int32_t> lines;
    constexpr std::int32_t kPiece = 1 << 20;
    const std::int32_t length = editor.textLength();
    const auto size = static_cast<std::int32_t>(text.size());
    for (std::int32_t from = 0; from < length; from += kPiece) {
        // A piece starts one character early (to see the break before a
        // line) and reaches one past the text's length (to see the break after).
        const std::int32_t at = std::max(0, from - 1);
        const std::string piece = editor.textRange(at, std::min(length, from + kPiece + size + 1) - at);
        for (std::size_t hit = piece.find(text); hit != std::string::npos; hit = piece.find(text, hit + 1)) {
            const std::int32_t offset = at + static_cast<std::int32_t>(hit);
            if (offset < from || offset >= from + kPiece)
                continue; // another piece's
            const bool starts = offset == 0 || piece[hit - 1] == '\r';
            const std::size_t after = hit + text.size();
            const bool ends = offset + size == length || (after < piece.size() && piece[after] == '\r');
            if (starts && ends)
                lines.push_back(editor.lineOfOffset(offset));
        }
    }
    return lines;
}

} // namespace

void CodeCollapseList::reattachMarkers(DocumentEditor& editor) {
    // Where each track is, and which lines show their own section's marker.
    std::map<std::intptr_t, std::int32_t> trackLines;
    for (const auto& track : editor.lineTracks())
        trackLines[track.id] = track.line;
    auto markerLineOf = [&](const TCodeCollapse& section) -> std::int32_t {
        auto it = trackLines.find(section.track);
        if (it == trackLines.end())
            return 0;
        const std::int32_t from = editor.lineStart(it->second - 1);
        return editor.textRange(from, editor.lineEnd(it->second - 1) - from) == section.marker ? it->second
                                                                                               : 0;
    };
    std::vector<std::int32_t> taken;
    std::vector<TCodeCollapse*> lost;
    for (const auto& section : items_) {
        if (std::int32_t line = markerLineOf(*section))
            taken.push_back(line);
        else
            lost.push_back(section.get());
    }
    // An expanded or undone section is back only in the state its marker
    // stood in (equal markers look alike).
    const std::uint64_t state = editor.historyState();
    for (auto it = retired_.rbegin(); it != retired_.rend(); ++it)
        if ((*it)->returnsIn == state)
            lost.push_back(it->get());
    if (lost.empty())
        return;

    // The text is read once for each marker text looked for.
    std::map<std::string, std::vector<std::int32_t>> found;
    for (TCodeCollapse* section : lost) {
        if (!found.count(section->marker))
            found[section->marker] = linesReading(editor, section->marker);
    }
    // Where the marker went is where it comes back, unless edits since
    // moved it: places are taken first, the nearest marker after that.
    std::vector<TCodeCollapse*> attached;
    for (const bool exact : {true, false}) {
        for (TCodeCollapse* section : lost) {
            if (std::find(attached.begin(), attached.end(), section) != attached.end())
                continue;
            std::int32_t best = 0;
            for (std::int32_t line0 : found[section->marker]) {
                const std::int32_t line = line0 + 1;
                if (std::find(taken.begin(), taken.end(), line) != taken.end())
                    continue;
                if (exact ? line == section->line
                          : best == 0 || std::abs(line - section->line) < std::abs(best - section->line))
                    best = line;
            }
            if (best == 0)
                continue; // its lines are in the text, or the marker was edited
            attach(editor, *section, best, trackLines);
            taken.push_back(best);
            attached.push_back(section);
        }
    }
}

void CodeCollapseList::attach(DocumentEditor& editor, TCodeCollapse& section, std::int32_t line,
                              const std::map<std::intptr_t, std::int32_t>& trackLines) {
    // A track left on a line that is no marker any more (an undo put the
    // section's first line there) must not mark it.
    if (auto it = trackLines.find(section.track); it != trackLines.end())
        unmarkLine(editor, section, it->second);
    markLine(editor, section, line);
    section.line = line;
    section.seenIn = editor.historyState();
    // An expanded section whose marker came back (its expansion was undone)
    // is collapsed again.
    auto retired = std::find_if(retired_.begin(), retired_.end(), [&](const auto& r) { return r.get() == &section; });
    if (retired != retired_.end()) {
        items_.push_back(std::move(*retired));
        retired_.erase(retired);
    }
}

bool CodeCollapseList::expand(DocumentEditor& editor, ShellUi& ui, std::int32_t line) {
    const std::intptr_t track = editor.firstTrackOnLine(line);
    if (track == -1 || !editor.trackValid(track))
        return false;
    const std::int32_t id = editor.trackData(track);
    auto it = std::find_if(items_.begin(), items_.end(), [id](const auto& item) { return item->id == id; });
    if (it == items_.end()) {
        ui.showInformation(kMsgNotFound);
        return false;
    }
    editor.removeLineGlyph(kCollapseGlyph, line);
    editor.setLineColor(line, -1);
    editor.setLineTextColor(line, -1);
    // The marker's record stays (it is replaced, not removed), so its track
    // goes by hand: it must not mark the first restored line.
    editor.removeLineTrack(track);
    // Kept aside before the text changes (the change event looks at the
    // sections): an undo of the expansion brings its marker back, here.
    TCodeCollapse& section = **it;
    section.returnsIn = editor.historyState();
    section.track = -1;
    section.line = line;
    retired_.push_back(std::move(*it));
    items_.erase(it);
    editor.setSelection(editor.lineStart(line - 1), editor.lineEnd(line - 1));
    editor.replaceSelection(section.text);
    return true;
}

} // namespace qorvi
