#include "editor/keys/command_action.h"

namespace qorvi {
namespace {

constexpr const char* kDisplayNames[kCommandActionCount] = {
    "Cursor left",
    "Cursor right",
    "Line start",
    "Line end",
    "Up one line",
    "Down one line",
    "Up one page",
    "Down one page",
    "Move to word before",
    "Move to word after",
    "Document start",
    "Document end",
    "Cut to clipboard",
    "Copy to clipboard",
    "Paste from clipboard",
    "Delete character at cursor",
    "Delete character before caret",
    "Indent selected block",
    "Un-indent selected block",
    "Toggle insert/overwrite mode",
    "Set Bookmark 0",
    "Set Bookmark 1",
    "Set Bookmark 2",
    "Set Bookmark 3",
    "Set Bookmark 4",
    "Set Bookmark 5",
    "Set Bookmark 6",
    "Set Bookmark 7",
    "Set Bookmark 8",
    "Set Bookmark 9",
    "Goto Bookmark 0",
    "Goto Bookmark 1",
    "Goto Bookmark 2",
    "Goto Bookmark 3",
    "Goto Bookmark 4",
    "Goto Bookmark 5",
    "Goto Bookmark 6",
    "Goto Bookmark 7",
    "Goto Bookmark 8",
    "Goto Bookmark 9",
    "Delete current line",
    "Undo",
    "Redo",
    "Delete previous word",
    "Print selection",
    "Delete next word",
    "Scroll display up one line",
    "Scroll display down one line",
};

} // namespace

const char* commandActionDisplayName(int code) {
    return code >= 0 && code < kCommandActionCount ? kDisplayNames[code] : "";
}

} // namespace qorvi
