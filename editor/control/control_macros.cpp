// Code templates and auto-replace as the control expands them: the lists
// (shared by the language's controls) find the name before the caret and
// call back here with its text; the expansion replaces the name in one undo
// step, indents the text's later lines to the insertion column and puts the
// caret at the template's "|". Templates may also be picked from a list
// that the window shows and that reports back through PickList*.
//
// Template and auto-replace texts are Windows-1252, as the options dialog,
// the settings streams, the parser images and the template files hold them;
// a UTF-8 document receives their characters as UTF-8.

#include "editor/control/control_macro_port.h"
#include "editor/control/rudivo_voru.h"
#include "editor/macros/auto_replace.h"
#include "editor/macros/code_templates.h"
#include "editor/settings/editor_settings.h"
#include "editor/undo/undo_record.h"
#include "platform/code_page.h"

#include <algorithm>

namespace qorvi {

void TCustomRudivoVoru::templateFire(TMacroKeywords* sender, const std::string& name,
                                     std::string& replacement) {
    if (readOnly_ || !sender)
        return;
    const auto nameLength = static_cast<std::int32_t>(name.size());
    if (dynamic_cast<TAutoReplace*>(sender)) {
        const std::int32_t itemStart = sel_.chEnd - nameLength;
        bool accept = TAutoReplace::AcceptsItem(
            *store_, itemStart, nameLength, replacement, [this](unsigned char c) { return IsWordChar(c); },
            [this](unsigned char c) { return IsWordStart(c); });
        if (OnAutoReplace)
            OnAutoReplace(*this, itemStart, name, replacement, accept);
        if (!accept)
            return;
    } else if (OnTemplateEvent) {
        OnTemplateEvent(*this, name, replacement);
    }
    UndoTransBegin(utExpansion);
    try {
        TChRange range = sel_.Normalised();
        if (nameLength > 0 && range.chStart >= nameLength)
            range.chStart -= nameLength;
        applySelection(range, true);
        int marker = -1;
        const std::string text = sender->PrepareExpansion(
            Encoding() == TextEncoding::Utf8 ? cp1252ToUtf8(replacement) : replacement,
            columnOfIndex(range.chStart), marker);
        DoReplaceSel(text, true);
        if (marker >= 0)
            applySelection({range.chStart + marker, range.chStart + marker}, true);
    } catch (...) {
        UndoTransEnd(utExpansion);
        throw;
    }
    UndoTransEnd(utExpansion);
    showEdit(false);
}

// ---------------------------------------------------------------- the pick list

void TCustomRudivoVoru::showPickList(TMacroKeywords& list, int selected) {
    pickList_ = &list;
    pickListHideSelection_ = hideSelection_;
    SetHideSelection(false);
    if (!host_)
        return;
    std::vector<std::string> items;
    items.reserve(list.Entries().size());
    for (std::size_t i = 0; i < list.Entries().size(); ++i)
        items.push_back(list.PopupItemText(static_cast<int>(i)));
    host_->showPickList(items, selected, CaretRect());
}

int TCustomRudivoVoru::PickListKey(char c) {
    return pickList_ ? pickList_->PopupSearchKey(c) : -1;
}

void TCustomRudivoVoru::PickListChosen(int index) {
    TMacroKeywords* list = pickList_;
    if (!list)
        return;
    bindUI();
    try {
        list->FirePopupEntry(*macroPort_, index);
    } catch (...) {
        PickListClosed();
        throw;
    }
    PickListClosed();
}

void TCustomRudivoVoru::PickListClosed() {
    if (!pickList_)
        return;
    pickList_ = nullptr;
    if (host_)
        host_->hidePickList();
    SetHideSelection(pickListHideSelection_);
    const std::int32_t end = sel_.chEnd;
    SetSelection({end, end});
}

} // namespace qorvi
