#include "editor/macros/macro_keywords.h"

#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/ed_stream.h"
#include "editor/text/stored_line_breaks.h"
#include "editor/text/text_store.h"
#include "platform/code_page.h"

#include <algorithm>

namespace qorvi {
namespace {

std::string reversed(std::string_view s) {
    return std::string(s.rbegin(), s.rend());
}

} // namespace

TMacroKeywords::TMacroKeywords(bool templateFlags)
    : SwallowKey(templateFlags), IndentLines(templateFlags), CaretMarker(templateFlags), PopUp(templateFlags),
      requireWordStart_(templateFlags) {
    SetCurrentStates({0});
}

TMacroKeywords::~TMacroKeywords() = default;

std::size_t TMacroKeywords::lowerBound(std::string_view name) const {
    auto it = std::lower_bound(
        entries_.begin(), entries_.end(), name,
        [](const std::unique_ptr<TMacroEntry>& e, std::string_view n) { return e->Name < n; });
    return static_cast<std::size_t>(it - entries_.begin());
}

const TMacroEntry* TMacroKeywords::FindEntry(std::string_view name) const {
    for (const std::string& key : {std::string(name), lowerCase(name)}) {
        const std::size_t at = lowerBound(key);
        if (at < entries_.size() && entries_[at]->Name == key)
            return entries_[at].get();
    }
    return nullptr;
}

void TMacroKeywords::AddMacro(std::string_view Name, std::string_view Description,
                              std::string_view Replacement, bool CaseSensitive) {
    if (Name.empty())
        return;
    std::string name = CaseSensitive ? std::string(Name) : lowerCase(Name);
    if (name.size() > 255)
        throw EKeywords(formatMsg(kMsgKeywordTooLong, name));
    auto entry = std::make_unique<TMacroEntry>();
    entry->Name = name;
    entry->Description = std::string(Description.substr(0, 255));
    entry->Replacement = toStoredLineBreaks(Replacement);
    // The trie refuses a name that is present; only then does the list take it.
    // Matching at the caret folds the text, so the trie holds the folded name.
    TKeywords::Add(reversed(name), false, TSM_CharGroup(), {0}, reinterpret_cast<std::intptr_t>(entry.get()));
    const std::size_t at = lowerBound(name);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    listCreated_ = true;
}

void TMacroKeywords::Reset() {
    TKeywords::Clear();
    entries_.clear();
    listCreated_ = false;
}

void TMacroKeywords::Invalidate() {
    TKeywords::Clear();
    for (const auto& entry : entries_)
        TKeywords::Add(reversed(entry->Name), false, TSM_CharGroup(), {0},
                       reinterpret_cast<std::intptr_t>(entry.get()));
}

void TMacroKeywords::removeEntry(std::string_view name) {
    const std::size_t at = lowerBound(name);
    if (at < entries_.size() && entries_[at]->Name == name) {
        entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(at));
        Invalidate();
    }
}

void TMacroKeywords::takeMacros(TMacroKeywords& other) {
    takeTrie(other);
    entries_ = std::move(other.entries_);
    other.entries_.clear();
    listCreated_ = other.listCreated_;
    other.listCreated_ = false;
    HotKey = other.HotKey;
    Active = other.Active;
    SetCurrentStates({0});
}

bool TMacroKeywords::IsActivateKey(std::uint16_t Key, TShiftState Shift) const {
    return Active && Key <= 0xFF && makeShortCut(Key, Shift) == HotKey;
}

bool TMacroKeywords::MatchAtCaret(TTextStore& store, std::int32_t caret, const CharTest& isWordChar,
                                  CaretMatch& match) const {
    match = CaretMatch();
    if (caret <= 0 || caret > store.NumChars() || IsEmpty())
        return false;
    std::unique_ptr<TEdStream> stream = store.GetTextStream(caret - 1);
    std::int32_t len = 0, startPos = 0, startOffset = 0;
    const TEndData* found = MatchStream(*stream, false, false, len, startPos, startOffset);
    if (!found)
        return false;
    const std::int32_t start = caret - len;
    match.typed = store.GetText(start, len);
    if (requireWordStart_ && start > 0 && isWordChar) {
        const auto first = static_cast<unsigned char>(match.typed[0]);
        const auto before = static_cast<unsigned char>(store.GetText(start - 1, 1)[0]);
        if (isWordChar(first) && isWordChar(before)) {
            match = CaretMatch();
            return false;
        }
    }
    match.entry = reinterpret_cast<const TMacroEntry*>(found->Data);
    match.start = start;
    match.length = len;
    return true;
}

bool TMacroKeywords::KeyPressed(MacroHost& Sender, std::uint16_t& Key, bool& Handled, TShiftState Shift) {
    if (!IsActivateKey(Key, Shift))
        return false;
    TTextStore& store = Sender.macroText();
    const std::int32_t caret = std::clamp(Sender.macroCaret(), 0, store.NumChars());
    const CharTest wordChar = [&](unsigned char c) { return Sender.isWordChar(c); };

    CaretMatch match;
    if (store.NumChars() > 0 && MatchAtCaret(store, caret, wordChar, match) && OnFire) {
        TypedPrefix = match.typed;
        std::string replacement = match.entry->Replacement;
        OnFire(this, TypedPrefix, replacement);
        Handled = SwallowKey;
        return true;
    }

    // No name: the word before the caret, unless the caret is inside a word,
    // narrows the pick list.
    TypedPrefix.clear();
    std::int32_t prefixStart = caret;
    const bool insideWord =
        caret < store.NumChars() && Sender.isWordChar(static_cast<unsigned char>(store.GetText(caret, 1)[0]));
    if (!insideWord) {
        while (prefixStart > 0 &&
               Sender.isWordChar(static_cast<unsigned char>(store.GetText(prefixStart - 1, 1)[0])))
            --prefixStart;
        TypedPrefix = lowerCase(store.GetText(prefixStart, caret - prefixStart));
    }
    if (!listCreated_ || !PopUp)
        return false;
    if (!TypedPrefix.empty())
        Sender.selectTypedPrefix(prefixStart, caret);
    PopupSearch.clear();
    Sender.showMacroPopup(*this, PopupInitialIndex(TypedPrefix));
    Handled = SwallowKey;
    return true;
}

std::string TMacroKeywords::PrepareExpansion(std::string_view text, int indentColumn, int& markerPos) const {
    std::string out;
    const std::string stored = toStoredLineBreaks(text);
    if (IndentLines && indentColumn > 0 && !stored.empty()) {
        for (char c : stored) {
            out.push_back(c);
            if (c == '\r')
                out.append(static_cast<std::size_t>(indentColumn), ' ');
        }
    } else {
        out = stored;
    }
    markerPos = -1;
    if (CaretMarker) {
        if (const std::size_t bar = out.find('|'); bar != std::string::npos) {
            out.erase(bar, 1);
            markerPos = static_cast<int>(bar);
        }
    }
    return out;
}

int TMacroKeywords::PopupInitialIndex(std::string_view prefix) const {
    if (!prefix.empty())
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i]->Name.find(prefix) != std::string::npos)
                return static_cast<int>(i);
    return 0;
}

int TMacroKeywords::PopupSearchKey(char c) {
    auto search = [&]() -> int {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (lowerCase(entries_[i]->Name).starts_with(PopupSearch))
                return static_cast<int>(i);
        return -1;
    };
    PopupSearch.push_back(static_cast<char>(cp1252Lower(static_cast<unsigned char>(c))));
    int found = search();
    if (found >= 0)
        return found;
    const bool single = PopupSearch.size() == 1;
    PopupSearch.clear();
    if (single)
        return -1;
    // A longer search that fails starts again with this character alone.
    PopupSearch.push_back(static_cast<char>(cp1252Lower(static_cast<unsigned char>(c))));
    found = search();
    if (found < 0)
        PopupSearch.clear();
    return found;
}

void TMacroKeywords::FirePopupEntry(MacroHost& Sender, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size())
        return;
    const TMacroEntry& entry = *entries_[static_cast<std::size_t>(index)];
    if (entry.Name.find(TypedPrefix) == std::string::npos)
        Sender.collapseSelectionToEnd();
    std::string replacement = entry.Replacement;
    if (OnFire)
        OnFire(this, std::string(), replacement);
}

std::string TMacroKeywords::PopupItemText(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size())
        return {};
    const TMacroEntry& entry = *entries_[static_cast<std::size_t>(index)];
    return entry.Description + '\t' + entry.Name;
}

} // namespace qorvi
