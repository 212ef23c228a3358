#include "editor/control/sm_caret_control.h"

#include "editor/control/rudivo_voru.h"
#include "editor/settings/rudivo_voru_options.h"

#include <algorithm>

namespace qorvi {

std::int32_t TSM_CaretControl::GetOffsetColumn() const {
    return control_.GetCPos().x;
}

void TSM_CaretControl::SetOffsetColumn(std::int32_t column) {
    control_.SetCPos({column, GetVisibleRow()});
}

std::int32_t TSM_CaretControl::GetVisibleColumn() const {
    return control_.CaretColumn() + 1;
}

void TSM_CaretControl::SetVisibleColumn(std::int32_t column) {
    control_.SetCaretColumn(control_.GetSelection().chEnd, std::max(1, column) - 1);
}

std::int32_t TSM_CaretControl::GetVisibleRow() const {
    return static_cast<std::int32_t>(control_.perform(EM_LINEFROMCHAR, static_cast<std::uintptr_t>(-1))) + 1;
}

void TSM_CaretControl::SetVisibleRow(std::int32_t row) {
    SetVisibleLocation({GetVisibleColumn(), row});
}

void TSM_CaretControl::SetOffsetLocation(const TPoint& p) {
    control_.SetCPos({p.x, p.y});
}

void TSM_CaretControl::SetVisibleLocation(const TPoint& p) {
    const auto rows = static_cast<std::int32_t>(control_.perform(EM_GETLINECOUNT));
    if (p.y > rows) {
        // Past the last line: after the final line break.
        control_.perform(EM_SETSEL, static_cast<std::uintptr_t>(control_.TextStore().NumChars()),
                         control_.TextStore().NumChars());
        return;
    }
    const auto start = static_cast<std::int32_t>(
        control_.perform(EM_LINEINDEX, static_cast<std::uintptr_t>(std::max(1, p.y) - 1)));
    control_.SetCaretColumn(std::max(0, start), std::max(1, p.x) - 1);
}

std::int32_t TSM_CaretControl::GetTopLine() const {
    return static_cast<std::int32_t>(control_.perform(SMM_TOPLINE)) + 1;
}

void TSM_CaretControl::SetTopLine(std::int32_t line) {
    control_.perform(SMM_TOPLINE, kSmmSet, std::max(1, line) - 1);
}

std::int32_t TSM_CaretControl::GetLeftIndent() const {
    return static_cast<std::int32_t>(control_.perform(SMM_LEFTCOLUMN)) + 1;
}

void TSM_CaretControl::SetLeftIndent(std::int32_t column) {
    control_.perform(SMM_LEFTCOLUMN, kSmmSet, std::max(1, column) - 1);
}

bool TSM_CaretControl::GetCaretAfterEOL() const {
    return (control_.GetOptions() & smoCaretAfterEOL) != 0;
}

void TSM_CaretControl::SetCaretAfterEOL(bool on) {
    const std::uint32_t options = control_.GetOptions();
    control_.SetOptions(on ? options | smoCaretAfterEOL
                           : options & ~static_cast<std::uint32_t>(smoCaretAfterEOL));
}

bool TSM_CaretControl::IsLineWrapped(std::int32_t line) const {
    const TTextStore& store = control_.TextStore();
    if (line < 1 || line > store.NumLines())
        return false;
    const TLine* row = store.LineFromLineIndex(line - 1).line;
    return !row->EndsWithCR() && store.Next(row) != nullptr;
}

} // namespace qorvi
