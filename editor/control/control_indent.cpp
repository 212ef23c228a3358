// Block indent and unindent of the lines the selection touches (a
// selection that ends at the first character of a line leaves that line
// out; with word wrap whole lines count, not rows). Each line changes
// through the bare edit and writes its own record, all in one transaction,
// so one undo restores every line and the selection from before.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/undo/undo_record.h"

#include <algorithm>
#include <vector>

namespace qorvi {
namespace {

bool isIndentChar(char c) {
    return c == ' ' || c == '\t' || static_cast<unsigned char>(c) == 160;
}

// The indent characters at the start of the line at `start`, at most
// `count` (with `blanksOnly`, blanks and no tabs); read piecewise, so that
// a huge count costs only the indent.
std::int32_t leadingIndent(const TTextStore& store, std::int32_t start, std::int32_t count, bool blanksOnly) {
    constexpr std::int32_t kPiece = 256;
    std::int32_t n = 0;
    while (n < count) {
        const std::int32_t piece = std::min(count - n, kPiece);
        const std::string head = store.GetText(start + n, piece);
        std::int32_t i = 0;
        while (i < static_cast<std::int32_t>(head.size()) && isIndentChar(head[static_cast<std::size_t>(i)]) &&
               !(blanksOnly && head[static_cast<std::size_t>(i)] == '\t'))
            ++i;
        n += i;
        if (i < piece)
            break;
    }
    return n;
}

struct BlockLines {
    std::vector<std::int32_t> starts; // line starts, top to bottom
    bool endsAtLineStart = false;     // the selection ends where a line begins
};

BlockLines blockLines(const TTextStore& store, const TChRange& selection) {
    BlockLines block;
    const TChRange r = selection.Normalised();
    if (!store.Buffer() || r.Empty())
        return block;
    TTextStore::LineInfo info = store.InfoFromIndex(r.chStart);
    while (info.line->IsContinuation() && store.Prev(info.line)) {
        info.line = store.Prev(info.line);
        info.start -= info.line->Len();
    }
    for (TLine* row = info.line; row; row = store.Next(row)) {
        if (!row->IsContinuation() || row == info.line) {
            if (info.start >= r.chEnd && (info.start > r.chStart)) {
                block.endsAtLineStart = info.start == r.chEnd;
                break;
            }
            block.starts.push_back(info.start);
        }
        info.start += row->Len();
    }
    return block;
}

// Whether the text indents with tabs: the first indented line of the block,
// else of the text's first lines, tells; a text indented nowhere follows
// the tab option.
bool indentsWithTabs(const TTextStore& store, const BlockLines& block, bool tabOption) {
    for (std::int32_t start : block.starts) {
        const std::string head = store.GetText(start, 1);
        if (head == "\t" || head == " ")
            return head == "\t";
    }
    constexpr int kLinesLooked = 2000;
    int lines = 0;
    for (const TLine* row = store.Buffer(); row && lines < kLinesLooked; row = store.Next(row)) {
        if (!row->IsContinuation()) {
            ++lines;
            if (row->Len() > 0 && (row->Text()[0] == '\t' || row->Text()[0] == ' '))
                return row->Text()[0] == '\t';
        }
    }
    return tabOption;
}

} // namespace

void TCustomRudivoVoru::DoIndent(std::int32_t count, std::int32_t flags) {
    if (readOnly_ || sel_.Empty() || !store_->Buffer())
        return;
    const BlockLines block = blockLines(*store_, sel_);
    if (block.starts.empty())
        return;
    std::string indent;
    if (count <= 0) {
        // One step per press, in the character the text indents with,
        // whichever command asked: a tab, or the step's blanks.
        indent = indentsWithTabs(*store_, block, settings_->HasOption(smoUseTAB))
                     ? std::string(1, '\t')
                     : std::string(std::max<std::size_t>(1, settings_->IndentStep()), ' ');
    } else {
        count = std::min(count, 255);
        indent.assign(static_cast<std::size_t>(count), (flags & 1) && settings_->HasOption(smoUseTAB) ? '\t' : ' ');
    }
    count = static_cast<std::int32_t>(indent.size());
    const bool reversed = sel_.chEnd < sel_.chStart;
    const std::int32_t end = sel_.Normalised().chEnd;
    UndoTransBegin(utBlockIndent);
    reasons_ |= crSelection | crText;
    try {
        // Bottom up, so that the lines above keep their offsets.
        for (auto it = block.starts.rbegin(); it != block.starts.rend(); ++it) {
            applySelection({*it, *it}, true);
            replaceText(indent);
            DoUndoNotify(10, *it, count);
        }
    } catch (...) {
        UndoTransEnd(utBlockIndent);
        throw;
    }
    const auto added = static_cast<std::int32_t>(block.starts.size()) * count;
    // The selection covers the indented lines.
    std::int32_t last = end + added;
    if (!block.endsAtLineStart) {
        const CaretRow row = caretRow(end + added);
        last = row.phantom ? row.start : rowCaretLimit(row);
        if (!row.phantom && !row.line->EndsWithCR() && !store_->Next(row.line))
            last = row.start + row.line->Len();
    }
    const TChRange widened{block.starts.front(), last};
    applySelection(reversed ? TChRange{widened.chEnd, widened.chStart} : widened, true);
    UndoTransEnd(utBlockIndent);
    showEdit(false);
}

void TCustomRudivoVoru::DoUndent(std::int32_t count) {
    if (readOnly_ || sel_.Empty() || !store_->Buffer())
        return;
    const BlockLines block = blockLines(*store_, sel_);
    if (block.starts.empty())
        return;
    // One step: a leading tab, or up to the step's blanks.
    const bool oneStep = count <= 0;
    if (oneStep)
        count = std::max<std::int32_t>(1, settings_->IndentStep());
    const bool reversed = sel_.chEnd < sel_.chStart;
    std::int32_t end = sel_.Normalised().chEnd;
    UndoTransBegin(utBlockUndent);
    reasons_ |= crSelection | crText;
    std::int32_t removedAll = 0;
    try {
        for (auto it = block.starts.rbegin(); it != block.starts.rend(); ++it) {
            const bool tab = oneStep && store_->GetText(*it, 1) == "\t";
            const std::int32_t n = tab ? 1 : leadingIndent(*store_, *it, count, oneStep);
            if (n == 0)
                continue;
            DoUndoNotify(9, *it, n);
            applySelection({*it, *it + n}, true);
            replaceText("");
            removedAll += n;
            end -= std::min(n, std::max(0, end - *it));
        }
    } catch (...) {
        UndoTransEnd(utBlockUndent);
        throw;
    }
    std::int32_t last = end;
    if (!block.endsAtLineStart) {
        const CaretRow row = caretRow(end);
        last = row.phantom ? row.start : rowCaretLimit(row);
        if (!row.phantom && !row.line->EndsWithCR() && !store_->Next(row.line))
            last = row.start + row.line->Len();
    }
    const TChRange widened{block.starts.front(), std::max(block.starts.front(), last)};
    applySelection(reversed ? TChRange{widened.chEnd, widened.chStart} : widened, true);
    UndoTransEnd(utBlockUndent);
    if (removedAll > 0)
        showEdit(false);
}

} // namespace qorvi
