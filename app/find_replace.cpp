#include "app/find_replace.h"

#include "editor/control/rudivo_voru_messages.h"
#include "platform/code_page.h"

#include <algorithm>

namespace qorvi {

std::int32_t FindReplace::flags() const {
    return kFindNow | (caseSensitive ? kFindMatchCase : 0) | (wholeWord ? kFindWholeWord : 0) |
           (regExpression ? kFindRegExpr : 0) | (backwards ? kFindBackwards : 0);
}

bool FindReplace::find(const std::string& text) {
    cancelled_ = false;
    if (!text.empty())
        findText = text;
    if (findText.empty()) {
        ui_.showError("Nothing to find");
        return false;
    }
    if (!editor_)
        return false;
    const std::optional<std::string> bytes = inDocument(findText);
    if (!bytes) {
        cancelled_ = true; // refused, and said so: not "not found"
        return false;
    }
    auto [anchor, caret] = editor_->selection();
    const std::int32_t from = std::min(anchor, caret);
    const std::int32_t to = std::max(anchor, caret);
    // The match already selected is not found again.
    if (to > from) {
        const std::int32_t at = backwards ? from + (to - from) - 1 : from + 1;
        editor_->setSelection(at, at);
    }
    std::int32_t length = 0;
    const std::int32_t start = editor_->find(flags(), *bytes, length);
    if (start < 0) {
        cancelled_ = ui_.cancelRequested();
        if (to > from)
            editor_->setSelection(anchor, caret);
        return false;
    }
    editor_->setSelection(start, start + length);
    editor_->scrollCaretIntoView();
    return true;
}

std::optional<std::string> FindReplace::inDocument(const std::string& text) {
    // Matching is on bytes, so the texts become what the document holds; a
    // character a Windows-1252 document cannot hold is refused as typing it
    // would be, never searched for as "?".
    if (!editor_)
        return std::nullopt;
    return editor_->encodeForDocument(text);
}

std::string FindReplace::shown(const std::string& text) { return utf8ToCp1252(text); }

bool FindReplace::selectionIsMatch() {
    // The selection counts only when this search, run forward from its start,
    // finds exactly it - so a selection the user made for something else is
    // never replaced.
    auto [anchor, caret] = editor_->selection();
    const std::int32_t from = std::min(anchor, caret);
    const std::int32_t to = std::max(anchor, caret);
    if (to == from || findText.empty())
        return false;
    const std::optional<std::string> bytes = inDocument(findText);
    if (!bytes)
        return false;
    editor_->setSelection(from, from);
    std::int32_t length = 0;
    const std::int32_t at = editor_->find(flags() & ~kFindBackwards, *bytes, length);
    editor_->setSelection(anchor, caret);
    return at == from && length == to - from;
}

bool FindReplace::replaceAndFindNext() {
    if (!editor_)
        return false;
    // Both texts first, so that a refused one is refused once and changes nothing.
    const std::optional<std::string> with = inDocument(findText) ? inDocument(replaceText) : std::nullopt;
    if (!with) {
        cancelled_ = true;
        return false;
    }
    if (selectionIsMatch())
        editor_->replaceSelection(*with);
    return find();
}

FindReplace::ReplaceAllCount FindReplace::replaceAll() {
    ReplaceAllCount count;
    if (!editor_)
        return count;
    if (findText.empty()) {
        ui_.showError("Nothing to find");
        return count;
    }
    // Both texts are turned into the document's bytes before anything
    // changes: a refused one leaves the document untouched.
    const std::optional<std::string> with = inDocument(findText) ? inDocument(replaceText) : std::nullopt;
    refused_ = !with;
    if (refused_)
        return count;
    // One undo takes back every replacement; the group and the busy cursor
    // end however the loop ends.
    struct Group {
        DocumentEditor& editor;
        ShellUi& ui;
        Group(DocumentEditor& e, ShellUi& u) : editor(e), ui(u) {
            ui.setBusy(true);
            editor.beginEditGroup();
        }
        ~Group() {
            editor.endEditGroup();
            ui.setBusy(false);
        }
    } group(*editor_, ui_);
    bool askEach = prompt;
    bool first = true;     // a selection the user made counts only if it is a match
    bool accepted = false; // the match selected now is to be replaced
    std::int32_t lastEmpty = -1;
    for (;;) {
        if (first ? selectionIsMatch() : accepted) {
            const std::int32_t start = std::min(editor_->selection().first, editor_->selection().second);
            editor_->replaceSelection(*with);
            ++count.replaced;
            count.found += first ? 1 : 0;
            // Backwards, go on before the replacement, which may hold the
            // text searched for.
            if (backwards)
                editor_->setSelection(start, start);
        }
        first = accepted = false;
        if (ui_.cancelRequested() || !find())
            break;
        auto [anchor, caret] = editor_->selection();
        const std::int32_t start = std::min(anchor, caret);
        if (anchor == caret) { // an empty match must move on, or the search ends
            if (start == lastEmpty)
                break;
            lastEmpty = start;
        }
        ++count.found;
        if (!askEach) {
            accepted = true;
            continue;
        }
        const MsgResult answer =
            ui_.messageBox("Would you like to replace this occurence of " + shown(findText) + " to " +
                               shown(replaceText),
                           "Confirm", MsgIcon::Question, MsgButtons::YesNoCancelAll);
        if (answer == MsgResult::Yes || answer == MsgResult::All) {
            askEach = answer == MsgResult::Yes;
            accepted = true;
            continue;
        }
        if (answer == MsgResult::No) {
            // Left as it is: the next search starts past its start.
            const std::int32_t past = backwards ? start : start + 1;
            editor_->setSelection(past, past);
            continue;
        }
        editor_->setSelection(start, start); // Cancel
        break;
    }
    return count;
}

void FindReplace::noMoreFound() {
    ui_.showInformation("No more occurences of " + shown(findText) + " were found");
}

void FindReplace::findButton() {
    if (!find() && !findText.empty() && !cancelled_)
        noMoreFound();
}

void FindReplace::replaceButton() {
    if (!replaceAndFindNext() && !findText.empty() && !cancelled_)
        noMoreFound();
}

void FindReplace::replaceAllButton() {
    const ReplaceAllCount count = replaceAll();
    if (findText.empty() || refused_)
        return;
    if (count.found == count.replaced)
        ui_.showInformation(std::to_string(count.replaced) + " occurences of " + shown(findText) +
                            " were replaced by " + shown(replaceText));
    else
        ui_.showInformation(std::to_string(count.found) + " occurences of " + shown(findText) + " were found, " +
                            std::to_string(count.replaced) + " were replaced by " + shown(replaceText));
}

void FindReplace::remember(std::vector<std::string>& history, const std::string& text) {
    if (text.empty() || std::find(history.begin(), history.end(), text) != history.end())
        return;
    history.insert(history.begin(), text);
    if (history.size() > kHistoryLength)
        history.resize(kHistoryLength);
}

void FindReplace::enterInFind() {
    remember(findHistory_, findText);
    findButton();
}

void FindReplace::enterInReplace() {
    remember(replaceHistory_, replaceText);
    replaceButton();
}

bool FindReplace::findIn(DocumentEditor& editor, const std::string& text) {
    attach(&editor);
    return find(text);
}

void FindReplace::searchAgain(DocumentEditor& editor) {
    if (!findIn(editor, {}) && !findText.empty() && !cancelled_)
        noMoreFound();
}

void FindReplace::searchCurrentWord(DocumentEditor& editor) {
    // The word is the document's bytes; the dialog's texts are Unicode. Bytes
    // that are not valid UTF-8 stay as they are, so they are still found.
    std::string word = editor.tokenTextAtCaret();
    if (editor.encoding() == TextEncoding::Windows1252)
        word = cp1252ToUtf8(word);
    if (findIn(editor, word) || findText.empty() || cancelled_)
        return;
    if (ui_.confirm("No more occurences of " + shown(findText) +
                    " were found. Would you like to search from the begining of the document?")) {
        editor.setSelection(0, 0);
        searchAgain(editor);
    }
}

} // namespace qorvi
