// Collapses sections of any selection, expands them by gutter clicks on any
// line, and undoes and redoes in any order over the real editor control.
// Collapsing hides text but never changes the document, so the text to save
// must be the starting text after every step: no hidden line lost, none
// written twice.

#include "app/code_collapse.h"
#include "app/control_document_editor.h"
#include "app/document_text.h"
#include "editor/control/rudivo_voru.h"
#include "tests/support/fake_shell_ui.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qorvi;

namespace {

std::string startText(std::uint8_t lines, bool finalBreak) {
    std::string text;
    for (int i = 1; i <= 2 + lines % 30; ++i) {
        text += "line " + std::to_string(i);
        // Now and then a line longer than one record.
        if (i % 11 == 0)
            text += std::string(2100, 'x');
        text += '\r';
    }
    if (!finalBreak)
        text.pop_back();
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    TRudivoVoru control;
    ControlDocumentEditor editor(control);
    test::FakeShellUi ui;
    CodeCollapseList collapses;
    const std::string start = startText(data[0], data[0] & 0x80);
    control.SetText(start);
    control.SetModified(false);
    // As the document window does: the list hears of every change while
    // it collapses and expands, not only after each step.
    control.OnChange = [&](TCustomRudivoVoru&) { collapses.textChanged(editor); };
    for (std::size_t i = 1; i + 3 <= size && i < 3 * 200; i += 3) {
        const std::uint8_t op = data[i], a = data[i + 1], b = data[i + 2];
        const std::int32_t lines = editor.lineCount();
        switch (op % 5) {
        case 0:
        case 1: { // select from line a (column) to line b (column) and collapse
            const std::int32_t from = editor.lineStart(a % lines) + (op >> 5);
            const std::int32_t to = editor.lineStart(b % lines) + (op >> 3 & 3);
            editor.setSelection(std::min(from, editor.textLength()), std::min(to, editor.textLength()));
            collapses.collapse(editor, ui);
            break;
        }
        case 2: // a gutter click on a line
            collapses.reattachMarkers(editor);
            collapses.expand(editor, ui, 1 + a % lines);
            break;
        case 3:
            if (editor.canUndo())
                editor.undo();
            break;
        default:
            control.DoReDo();
            break;
        }
        // As the document window does: the change event after each step,
        // the markers found again before saving.
        collapses.textChanged(editor);
        collapses.reattachMarkers(editor);
        if (textToSave(editor, collapses) != start)
            std::abort();
    }
    return 0;
}
