// Keyboard entry: a key goes down (KeyDown) - the code templates and the
// auto-replace list see it first, then the key map, which turns keys and
// chords into action codes; a character is typed (KeyPress) unless its key
// was consumed. Typing a character is one undo step with its auto-indent;
// Tab fills to the next column of the lines above (smart tab) or to the
// next tab stop.

#include "editor/control/control_macro_port.h"
#include "editor/control/rudivo_voru.h"
#include "editor/keys/command_action.h"
#include "editor/keys/key_store.h"
#include "editor/keys/keyboard_action_controller.h"
#include "editor/settings/editor_settings.h"
#include "editor/undo/undo_record.h"

#include <algorithm>

namespace qorvi {

// ---------------------------------------------------------------- binding

void TCustomRudivoVoru::bindUI() {
    // The lists and the key map belong to the language and serve whichever
    // control has the focus; a handler left behind by a control that went
    // away does nothing.
    std::weak_ptr<TCustomRudivoVoru*> self = alive_;
    settings_->KeyMap().OnCommand = [self](TKeyboardActionContoller* sender, std::int32_t& action) {
        if (auto control = self.lock())
            (*control)->KeyRecognised(sender, action);
    };
    auto fire = [self](TMacroKeywords* sender, const std::string& name, std::string& replacement) {
        if (auto control = self.lock())
            (*control)->templateFire(sender, name, replacement);
    };
    settings_->Templates().OnFire = fire;
    settings_->AutoReplace().OnFire = fire;
}

void TCustomRudivoVoru::SetUI() {
    bindUI();
}

void TCustomRudivoVoru::MakeMoveSet() {
    moveSet_.fill(false);
    TKeyboardActionContoller& keys = settings_->KeyMap();
    std::vector<std::int32_t> actions;
    for (std::int32_t a = caLEFT; a <= caDOCEND; ++a)
        actions.push_back(a);
    actions.push_back(caBACKSPACE);
    for (std::int32_t action : actions) {
        TShortCut key1 = 0;
        TShortCut key2 = 0;
        for (bool more = keys.GetFirstKeyPair(action, key1, key2); more;
             more = keys.GetNextKeyPair(action, key1, key2))
            if (key2 == 0)
                moveSet_[key1 & 0xFF] = true;
    }
}

// ---------------------------------------------------------------- keys

namespace {

// Shift, Ctrl, Alt and Caps Lock going down alone: they only change the next
// key, so they neither end a half-entered chord (Ctrl pressed again before
// the chord's second key) nor reach the lists.
bool isModifierKey(std::uint16_t key) {
    return key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU || key == VK_CAPITAL || key == VK_LWIN ||
           key == VK_RWIN;
}

} // namespace

bool TCustomRudivoVoru::KeyDown(std::uint16_t key, TShiftState shift) {
    keyConsumed_ = false;
    reasons_ |= crKeyboard;
    if (!enabled_ || isModifierKey(key))
        return false;
    bindUI();
    bool handled = false;
    std::uint16_t macroKey = key;
    if (!readOnly_) {
        if (settings_->Templates().KeyPressed(*macroPort_, macroKey, handled, shift) && handled) {
            keyConsumed_ = true;
            return true;
        }
        handled = false;
        macroKey = key;
        settings_->AutoReplace().KeyPressed(*macroPort_, macroKey, handled, shift);
        if (handled) {
            keyConsumed_ = true;
            return true;
        }
    }
    // Shift with a movement key reaches the same action and extends the
    // selection.
    keyShift_ = shift;
    TShiftState lookup = shift;
    if (KeyMoveSetHas(key))
        lookup &= ~static_cast<TShiftState>(ssShift);
    std::uint16_t mapKey = key;
    handled = false;
    settings_->KeyMap().KeyPressed(mapKey, lookup, handled);
    if (handled)
        keyConsumed_ = true;
    return keyConsumed_;
}

bool TCustomRudivoVoru::KeyWanted(std::uint16_t key, TShiftState shift) const {
    if (!enabled_ || isModifierKey(key))
        return false;
    const TKeyStore& keys = settings_->KeyMap().KeyStore();
    if (keys.ChordPending())
        return true;
    if (!readOnly_ && settings_->Templates().IsActivateKey(key, shift))
        return true;
    TShiftState lookup = shift;
    if (KeyMoveSetHas(key))
        lookup &= ~static_cast<TShiftState>(ssShift);
    const TShortCut shortCut = makeShortCut(key, lookup);
    for (const TKeyNode* node = keys.Root(); node; node = node->Sibling)
        if (node->Key == shortCut)
            return true;
    return false;
}

void TCustomRudivoVoru::KeyRecognised(TKeyboardActionContoller*, std::int32_t action) {
    if (OnCommandRecognised)
        OnCommandRecognised(*this, action);
    keyConsumed_ = true;
    ExecuteCommand(action, 0, (keyShift_ & ssShift) != 0);
}

void TCustomRudivoVoru::KeyPress(char key) {
    if (keyConsumed_) {
        keyConsumed_ = false;
        return;
    }
    if (!enabled_ || !TabStop)
        return;
    const auto c = static_cast<unsigned char>(key);
    if ((c >= 32 && c <= 126) || c >= 128) {
        TypeChar(key);
    } else if (c == '\r' && WantReturns) {
        TypeChar('\r');
    } else if (c == '\n' && !WantReturns) {
        TypeChar('\r');
    } else if (c == '\t') {
        if (settings_->HasOption(smoUseTAB) &&
            (!settings_->HasOption(smoTabToColumn) || settings_->HasOption(smoWordWrap)))
            TypeChar('\t');
        else
            smartTab();
    } else {
        return;
    }
    CaretInView(sel_.chEnd);
    UpdateScrollBars();
    DoChange();
    Paint();
}

void TCustomRudivoVoru::KeyPressText(std::string_view utf8) {
    if (isAscii(utf8)) {
        for (char c : utf8)
            KeyPress(c);
        return;
    }
    if (keyConsumed_) {
        keyConsumed_ = false;
        return;
    }
    if (!enabled_ || !TabStop || readOnly_)
        return;
    const std::optional<std::string> bytes = EncodeForDocument(utf8);
    if (!bytes)
        return;
    // Character by character, as if typed one at a time: a cluster of a
    // UTF-8 document is one typed character.
    const bool utf8Document = Encoding() == TextEncoding::Utf8;
    for (std::size_t i = 0; i < bytes->size();) {
        const std::size_t end = utf8Document ? nextCluster(*bytes, i).end : i + 1;
        const std::string_view one = std::string_view(*bytes).substr(i, end - i);
        if (one.size() == 1) {
            KeyPress(one[0]);
        } else {
            TypeCharacter(one);
            CaretInView(sel_.chEnd);
            UpdateScrollBars();
            DoChange();
            Paint();
        }
        i = end;
    }
}

// ---------------------------------------------------------------- typing

std::int32_t TCustomRudivoVoru::autoIndentColumn() const {
    const std::int32_t caret = sel_.Normalised().chStart;
    CaretRow row = caretRow(caret);
    if (row.phantom)
        return 0;
    // On a wrapped line the indent is the line's first row's.
    while (row.line->IsContinuation() && store_->Prev(row.line)) {
        row.line = store_->Prev(row.line);
        row.start -= row.line->Len();
    }
    const char* text = row.line->Text();
    const std::int32_t limit = std::min<std::int32_t>(row.line->Len(), caret - row.start);
    std::int32_t end = 0;
    while (end < limit && (text[end] == ' ' || text[end] == '\t'))
        ++end;
    return end > 0 ? CharOffsetToColumn(end, row.line) : 0;
}

void TCustomRudivoVoru::TypeChar(char c) { TypeCharacter(std::string_view(&c, 1)); }

void TCustomRudivoVoru::TypeCharacter(std::string_view bytes) {
    if (readOnly_ || bytes.empty())
        return;
    const char c = bytes[0];
    UndoTransBegin(utTyping);
    reasons_ |= crSelection | crText | crKeyboard;
    try {
        const std::int32_t indent = c == '\r' && settings_->HasOption(smoAutoIndent) ? autoIndentColumn() : 0;
        if (!insMode_ && sel_.Empty() && c != '\r' && !beyondEOL_) {
            // Overwrite: the character under the caret goes, unless it is
            // the line end.
            const std::int32_t at = sel_.chEnd;
            if (at < store_->NumChars() && store_->GetText(at, 1)[0] != '\r')
                SetSelection({at, NextCharIndex(at)}, true);
        }
        DoReplaceSel(bytes, indent > 0 && !settings_->HasOption(smoWordWrap));
        if (indent > 0) {
            std::string padding;
            FormPadding(0, indent, false, padding);
        }
    } catch (...) {
        UndoTransEnd(utTyping);
        throw;
    }
    UndoTransEnd(utTyping);
    if (OnSpellWord && !IsWordChar(static_cast<unsigned char>(c)))
        spellWordBefore(sel_.Normalised().chStart - 1);
}

void TCustomRudivoVoru::spellWordBefore(std::int32_t end) {
    // The word that ends at `end`, read back at most a few hundred
    // characters: a run longer than that is no word to check.
    constexpr std::int32_t kLongestWord = 256;
    const std::int32_t from = std::max(0, end - kLongestWord);
    const std::string before = store_->GetText(from, end - from);
    std::size_t start = before.size();
    while (start > 0 && IsWordChar(static_cast<unsigned char>(before[start - 1])))
        --start;
    if (start == before.size() || (start == 0 && from > 0))
        return;
    OnSpellWord(*this, before.substr(start), from + static_cast<std::int32_t>(start));
}

void TCustomRudivoVoru::FormPadding(std::int32_t fromColumn, std::int32_t toColumn, bool noInsert,
                                    std::string& text) {
    text.clear();
    toColumn = std::min(toColumn, fromColumn + 0xFFFF);
    if (toColumn > fromColumn) {
        std::int32_t column = fromColumn;
        if (settings_->HasOption(smoUseTAB) && settings_->HasOption(smoSmartFill)) {
            for (std::int32_t next = NextTabStop(column); next <= toColumn && next > column;
                 next = NextTabStop(column)) {
                text.push_back('\t');
                column = next;
            }
        }
        text.append(static_cast<std::size_t>(toColumn - column), ' ');
    }
    if (!noInsert && !text.empty())
        DoReplaceSel(text);
}

void TCustomRudivoVoru::smartTab() {
    if (readOnly_)
        return;
    UndoTransBegin(utTyping);
    reasons_ |= crSelection | crText | crKeyboard;
    const std::int32_t column = CaretColumn();
    std::int32_t target = -1;
    const CaretRow row = caretRow(sel_.chEnd);
    if (settings_->HasOption(smoTabToColumn)) {
        // The nearest line above that reaches past the caret's column: the
        // start of its next word after the one at that column.
        for (TLine* above = row.phantom ? store_->LastLine() : store_->Prev(row.line); above && target < 0;
             above = store_->Prev(above)) {
            // A row without a tab is as wide as its characters: one too short
            // is passed over without laying it out, so that a search up a
            // long file costs little.
            const std::int32_t chars = above->Len() - (above->EndsWithCR() ? 1 : 0);
            if (!(above->Flags() & lfHasTab) && chars <= column)
                continue;
            ExpandTabs(above, displayRow_);
            std::string_view shown = displayRow_.Text();
            if (!shown.empty() && shown.back() == '\r')
                shown.remove_suffix(1);
            auto length = static_cast<std::int32_t>(shown.size());
            if (length <= column)
                continue;
            std::int32_t c = column;
            while (c < length && shown[static_cast<std::size_t>(c)] != ' ')
                ++c;
            while (c < length && shown[static_cast<std::size_t>(c)] == ' ')
                ++c;
            target = c;
        }
    }
    if (target <= column)
        target = NextTabStop(column);
    std::string padding;
    try {
        FormPadding(column, target, false, padding);
    } catch (...) {
        UndoTransEnd(utTyping);
        throw;
    }
    UndoTransEnd(utTyping);
}

} // namespace qorvi
