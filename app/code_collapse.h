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

#include <cstdint>
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
    std::int32_t line = 0; // 1-based line of the marker when collapsed
    std::int32_t id = 0;
    std::string marker; // the marker line's text
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
    void clear() { items_.clear(); }

    // The 1-based lines that carry a marker of a section of this list.
    std::vector<std::int32_t> markerLines(const DocumentEditor& editor) const;

private:
    std::vector<std::unique_ptr<TCodeCollapse>> items_;
    std::int32_t counter_ = 0;
};

} // namespace qorvi
