#include "app/code_collapse.h"

#include "app/document_editor.h"
#include "platform/shell_ui.h"

#include <algorithm>

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

    const std::int32_t line = s + 1;
    editor.addLineTrack(line, section->id);
    editor.addLineGlyph(kCollapseGlyph, line);
    editor.setLineColor(line, kCollapseLineColor);
    editor.setLineTextColor(line, kCollapseLineTextColor);
    items_.push_back(std::move(section));
    return true;
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
    editor.setSelection(editor.lineStart(line - 1), editor.lineEnd(line - 1));
    editor.replaceSelection((*it)->text);
    items_.erase(it);
    return true;
}

} // namespace qorvi
