#pragma once

// The common part of code templates and auto-replace: a sorted list of
// named texts and a keyword trie holding each name reversed, so that the
// name ending at the caret is found by matching the text backwards from it.
// A key-down that is an activation key (the hot key for templates) looks up
// the name before the caret and hands its text to the fire handler - the
// control's expansion - or, for templates, opens the pick list.
//
// Names are stored lower-cased; texts keep stored line breaks (one CR).

#include "editor/lexicon/keywords.h"
#include "editor/lexicon/word_chars.h"
#include "platform/keys.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class TTextStore;
class TMacroKeywords;

struct TMacroEntry {
    std::string Name;
    std::string Description; // at most 255 characters (a short string in streams)
    std::string Replacement;
};

// The fire handler: Sender, TemplateName (the name as typed; empty when the
// pick list fired), var Replacement.
using TMacroFireEvent =
    std::function<void(TMacroKeywords* Sender, const std::string& TemplateName, std::string& Replacement)>;

// The control as the expansion lists see it while handling a key.
class MacroHost {
public:
    virtual ~MacroHost() = default;
    virtual TTextStore& macroText() = 0;
    // The caret (the selection's end).
    virtual std::int32_t macroCaret() = 0;
    virtual bool isWordChar(unsigned char c) { return isDefaultWordChar(c); }
    virtual bool isWordStart(unsigned char c) { return isDefaultWordStart(c); }
    // Selects [start, end) and keeps the selection visible while the pick
    // list is up.
    virtual void selectTypedPrefix(std::int32_t start, std::int32_t end) = 0;
    virtual void collapseSelectionToEnd() = 0;
    // Shows the pick list of `list`'s entries with entry `selected` chosen.
    virtual void showMacroPopup(TMacroKeywords& list, int selected) = 0;
};

class TMacroKeywords : public TKeywords {
public:
    ~TMacroKeywords() override;

    // Adds a named text. The name is lower-cased unless `CaseSensitive`; the
    // reversed name goes into the trie, which refuses a name already present
    // with EKeywords "Duplicate keyword - '%s'" (the name reversed). Names
    // longer than 255 characters are refused, descriptions cut to 255; an
    // empty name is ignored. The text is kept with stored line breaks.
    void AddMacro(std::string_view Name, std::string_view Description, std::string_view Replacement,
                  bool CaseSensitive);
    // Empties the list and the trie.
    void Reset();
    // Rebuilds the trie from the list.
    void Invalidate();

    // Active and the shortcut of Key with Shift is the hot key.
    virtual bool IsActivateKey(std::uint16_t Key, TShiftState Shift) const;
    // Handles a key-down of the control: true when the key was acted upon.
    bool KeyPressed(MacroHost& Sender, std::uint16_t& Key, bool& Handled, TShiftState Shift);

    // The name that ends at `caret`, matched backwards case-insensitively.
    // When the list requires word starts (templates), a name that begins
    // with a word character must not follow one.
    struct CaretMatch {
        const TMacroEntry* entry = nullptr;
        std::int32_t start = 0;
        std::int32_t length = 0;
        std::string typed; // the name as it stands in the text
    };
    bool MatchAtCaret(TTextStore& store, std::int32_t caret, const CharTest& isWordChar,
                      CaretMatch& match) const;

    // Steps 3-5 of an expansion: with `indentColumn` >= 0, every line break
    // gets that many blanks after it; line breaks become stored ones; with
    // the caret-marker flag the first "|" is taken out and its position
    // returned in `markerPos` (-1 without one).
    std::string PrepareExpansion(std::string_view text, int indentColumn, int& markerPos) const;

    // The pick list: the entry to select first (the first whose name holds
    // `prefix`, else 0), a typed character (the index selected, -1 when
    // nothing matches) and firing an entry.
    int PopupInitialIndex(std::string_view prefix) const;
    int PopupSearchKey(char c);
    void FirePopupEntry(MacroHost& Sender, int index);
    // "description TAB name", as the pick list shows an entry.
    std::string PopupItemText(int index) const;

    const std::vector<std::unique_ptr<TMacroEntry>>& Entries() const { return entries_; }
    // The entry of a name (lower-cased first unless found as given), or null.
    const TMacroEntry* FindEntry(std::string_view name) const;
    bool ListCreated() const { return listCreated_; }

    TShortCut HotKey = scCtrl | 'J';
    bool Active = true;
    bool SwallowKey;
    bool IndentLines;
    bool CaretMarker;
    bool PopUp;
    std::string TypedPrefix;
    std::string PopupSearch;
    TMacroFireEvent OnFire;

protected:
    // Templates swallow the key, indent, mark the caret, pop up the list and
    // expand only at word starts; auto-replace does none of these.
    explicit TMacroKeywords(bool templateFlags);

    // Takes the list, trie and settings of `other`, which is left empty.
    void takeMacros(TMacroKeywords& other);
    void removeEntry(std::string_view name);
    bool requireWordStart_;

private:
    std::size_t lowerBound(std::string_view name) const;

    std::vector<std::unique_ptr<TMacroEntry>> entries_; // sorted by name
    bool listCreated_ = false;
};

} // namespace qorvi
