#pragma once

// Collapsed sections of a document. Collapsing replaces whole lines by one
// marker line ("--------------- 5 lines collapsed ---------------") that
// carries a line track with the section's id, user glyph 1 and grey colours;
// the lines themselves live in a `TCodeCollapse` until a click in the
// gutter of the marker puts them back. The document's text as saved is
// always the text with every section expanded (document_text.h).
//
// A selection that holds a marker line is never collapsed: that would hide
// a marker inside another section, and its lines with it.
//
// Undo and redo replay collapsing and expanding as plain text: a redo of a
// collapse, or an undo of an expansion, brings the marker line back on a new
// record, without its track. Such a section has lost its marker; before
// saving and on a gutter click the marker line is looked for again by its
// text (the one nearest to where it was) and marked anew, so the section's
// lines are never lost. Expanded sections are kept for this.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class DocumentEditor;
class ShellUi;

// The user glyph that marks a collapsed section in the gutter.
constexpr int kCollapseGlyph = 1;
constexpr std::int32_t kCollapseLineColor = 0x808080;
constexpr std::int32_t kCollapseLineTextColor = 0xFFFFFF;

struct TCodeCollapse {
    std::string text;      // the collapsed lines, with their line breaks (CR)
    std::int32_t line = 0; // 1-based line where the marker was last seen (or expanded)
    std::int32_t id = 0;
    std::string marker;       // the marker line's text
    std::intptr_t track = -1; // the marker line's track
    // History states: the last one the marker was seen standing in, and
    // for an expanded or undone section the one that brings it back (undo
    // and redo return to the state the marker went in).
    std::uint64_t seenIn = 0;
    std::uint64_t returnsIn = 0;
};

// "--------------- n lines collapsed ---------------".
std::string collapseMarkerText(std::int32_t lineCount);

class CodeCollapseList {
public:
    static constexpr const char* kMsgNothingToCollapse =
        "Nothing to collapse. You must select the lines you want to collapse.";
    static constexpr const char* kMsgNestedCollapse =
        "You already have a collapsed block of code within your selection. \nYou cannot do that. Please "
        "break your selection into multiple chucks \nso that it does not include an embedded collapsed "
        "block and try again";
    static constexpr const char* kMsgNotFound = "Not found";

    // Collapses the lines the selection touches (a selection that ends at
    // the very start of a line leaves that line out). False, with a message,
    // when nothing is selected or the lines hold a marker.
    bool collapse(DocumentEditor& editor, ShellUi& ui);
    // A gutter click on the 1-based line: puts the section whose marker is
    // there back. False when the line has no marker.
    bool expand(DocumentEditor& editor, ShellUi& ui, std::int32_t line);

    const TCodeCollapse* find(std::int32_t id) const;
    const std::vector<std::unique_ptr<TCodeCollapse>>& items() const { return items_; }
    std::int32_t counter() const { return counter_; }
    // Forgets every section (the text was replaced by a load).
    void clear() {
        items_.clear();
        retired_.clear();
    }

    // The 1-based lines that carry a marker of a section of this list.
    std::vector<std::int32_t> markerLines(const DocumentEditor& editor) const;
    // Marks the marker lines of sections whose track went (see above) anew.
    void reattachMarkers(DocumentEditor& editor);
    // After any change of the text. A section whose lines an undo of its
    // collapse brought back is collapsed no more: its track stays on the
    // first of those lines, where later edits would make it pass for an
    // edited marker and have its lines written twice, so it is dropped at
    // once, while the lines still read as they were hidden. A marker that
    // an undo or redo brought back to its place is marked again at once.
    void textChanged(DocumentEditor& editor);

private:
    void markLine(DocumentEditor& editor, TCodeCollapse& section, std::int32_t line);
    void unmarkLine(DocumentEditor& editor, TCodeCollapse& section, std::int32_t line);
    // Marks `line` as the section's marker (moving its track there) and
    // makes an expanded section collapsed again.
    void attach(DocumentEditor& editor, TCodeCollapse& section, std::int32_t line,
                const std::map<std::intptr_t, std::int32_t>& trackLines);
    void retireUndone(DocumentEditor& editor);
    // Moves a section whose collapse was undone to the expanded ones.
    std::vector<std::unique_ptr<TCodeCollapse>>::iterator
    retire(std::vector<std::unique_ptr<TCodeCollapse>>::iterator section);
    void remarkReturned(DocumentEditor& editor);

    std::vector<std::unique_ptr<TCodeCollapse>> items_;
    // Expanded sections, whose marker an undo may bring back.
    std::vector<std::unique_ptr<TCodeCollapse>> retired_;
    std::int32_t counter_ = 0;
};

} // namespace qorvi
