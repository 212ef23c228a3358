// The requests of the control's own find and replace dialogs (the host
// shows them): find next, replace with a question about each match, and
// replace all - every run of replacements one undo step.

#include "editor/control/rudivo_voru.h"

#include <algorithm>

namespace qorvi {
namespace {

constexpr std::int32_t kDialogOptions = kFindMatchCase | kFindWholeWord | kFindBackwards;

std::string replaceQuestion(const std::string& found, const std::string& replacement) {
    return "Replace this occurence of '" + found + "' with '" + replacement + "' ?";
}

} // namespace

bool TCustomRudivoVoru::DialogFindNext(const std::string& text, std::int32_t options) {
    if (text.empty())
        return false;
    const std::int32_t flags = (options & kDialogOptions) | (searchRegExpr_ ? kFindRegExpr : 0) | kFindNow;
    const bool backwards = (flags & kFindBackwards) != 0;
    const std::int32_t selStart = std::min(sel_.chStart, sel_.chEnd);
    std::int32_t start = searchStartFor(backwards);
    // An empty match found last would be found again where it stands.
    if (!backwards && lastMatchStart_ >= 0 && lastMatchStart_ == selStart && sel_.chStart == sel_.chEnd)
        ++start;
    LongSearch longSearch(*this);
    for (;;) {
        const std::int32_t at = searchFrom(text, flags, start);
        if (at < 0)
            break;
        if (!(flags & kFindRegExpr)) {
            SetSelection({at, at + static_cast<std::int32_t>(text.size())});
            return true;
        }
        if (GetFindRESection(GetFindRESectionCount()) > at)
            return true; // the regular-expression search selected it
        // A match of no characters is no answer here: look further on.
        start = backwards ? at : at + 1;
    }
    if (!searchInterrupted_)
        DoFindNotFound(text);
    return false;
}

std::int32_t TCustomRudivoVoru::DialogReplace(const std::string& findText, const std::string& replaceText,
                                              std::int32_t options, bool all) {
    if (findText.empty())
        return 0;
    const std::int32_t flags =
        (options & (kFindMatchCase | kFindWholeWord)) | (searchRegExpr_ ? kFindRegExpr : 0) | kFindNow;
    if (all && !searchRegExpr_) {
        const std::int32_t count = DoReplaceAll(std::min(sel_.chStart, sel_.chEnd), store_->NumChars(),
                                                (flags & kFindWholeWord) != 0, (flags & kFindMatchCase) != 0,
                                                replaceText, findText);
        if (count == 0 && !searchInterrupted_)
            DoFindNotFound(findText);
        return count;
    }
    return regExprReplaceLoop(findText, replaceText, flags, !all);
}

// One match after the other from the selection start; each replacement
// moves the next search behind the inserted text, and behind the character
// after an empty match, so the loop always ends.
std::int32_t TCustomRudivoVoru::regExprReplaceLoop(const std::string& findText, const std::string& replaceText,
                                                   std::int32_t flags, bool ask) {
    const bool regExpr = (flags & kFindRegExpr) != 0;
    LongSearch longSearch(*this);
    std::int32_t pos = std::min(sel_.chStart, sel_.chEnd);
    std::int32_t replaced = 0;
    bool open = false; // the undo step, begun at the first replacement
    bool cancelled = false;
    std::int32_t caret = pos; // behind the last replacement
    for (;;) {
        const std::int32_t at = searchFrom(findText, flags, pos);
        if (at < 0)
            break;
        const std::int32_t end =
            regExpr ? GetFindRESection(GetFindRESectionCount()) : at + static_cast<std::int32_t>(findText.size());
        std::string replacement = replaceText;
        if (regExpr)
            FormReplaceText(replaceText, replacement);
        if (ask) {
            SetSelection({at, end});
            perform(EM_SCROLLCARET);
            const CanvasRect near = CaretRect();
            const ReplaceAnswer answer = host_ ? host_->askReplace(replaceQuestion(GetSelText(), replacement), near)
                                               : ReplaceAnswer::Cancel;
            if (answer == ReplaceAnswer::Cancel) {
                cancelled = true;
                break;
            }
            if (answer == ReplaceAnswer::No) {
                pos = end > at ? end : at + 1;
                continue;
            }
            ask = answer == ReplaceAnswer::Yes;
        }
        if (!open) {
            UndoTransBegin(utReplace);
            open = true;
        }
        SetSelection({at, end}, true);
        DoReplaceSel(replacement, true);
        ++replaced;
        // Every pass removes the matched characters or steps over one.
        caret = at + static_cast<std::int32_t>(replacement.size());
        pos = caret + (end == at ? 1 : 0);
    }
    if (open) {
        SetSelection({caret, caret}, true);
        UndoTransEnd(utReplace);
        ScreenInvalid();
        SetSelection({caret, caret});
    }
    if (!cancelled && !searchInterrupted_)
        DoFindNotFound(findText);
    return replaced;
}

} // namespace qorvi
