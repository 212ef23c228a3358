#pragma once

// The key map's store: a two-level tree of key nodes. The first level holds
// single keys and chord prefixes; below a prefix hang the second keys of its
// chords, which never carry modifiers. A key is either bound on its own or
// a chord prefix, never both. The chord cursor is the only state kept
// between two key-downs.

#include "platform/keys.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

struct TKeyNode {
    TShortCut Key = 0;
    TKeyNode* First = nullptr;   // second level: the chord's first-key node
    TKeyNode* Sibling = nullptr; // next node of the level, in insertion order
    TKeyNode* Child = nullptr;   // first second-key node of chords starting here
    bool Terminal = false;       // an action ends here
    std::int32_t Action = -1;
};

class TKeyStore {
public:
    // Names actions in the duplicate-binding message.
    using ActionNamer = std::function<std::string(std::int32_t)>;

    explicit TKeyStore(ActionNamer nameOf = {});
    TKeyStore(const TKeyStore&) = delete;
    TKeyStore& operator=(const TKeyStore&) = delete;
    void SetActionNamer(ActionNamer nameOf) { nameOf_ = std::move(nameOf); }

    // Binds a single key (Key2 without a key code) or the chord Key1, Key2.
    // Raises EAmbigiousKeyPair "Duplicate key sequence definition for\r\n"%s"
    // and "%s"" for a key that is bound already, a single key that prefixes
    // chords and a chord on a bound single key; the store is then unchanged.
    // A Key1 without a key code binds nothing.
    void DefineKeyAction(TShortCut Key1, TShortCut Key2, std::int32_t Code);
    // Whether the chord Key1, Key2 (Key2's modifiers ignored) exists; Code
    // receives its action, or -1.
    bool IsKeyActionDefined(TShortCut Key1, TShortCut Key2, std::int32_t& Code) const;

    // Feeds one key-down (shortcut value). Returns the node found on the
    // cursor's level, or null; a found prefix moves the cursor to its chords,
    // anything else returns the cursor to the first level.
    const TKeyNode* Match(TShortCut shortCut);
    bool ChordPending() const { return cursor_ != nullptr; }
    void ResetChord() { cursor_ = nullptr; }
    std::int32_t LastAction() const { return lastAction_; }
    void SetLastAction(std::int32_t action) { lastAction_ = action; }

    // Number of bindings of `Code`.
    int GetNumKeyPairs(std::int32_t Code) const;
    // Enumerate the bindings of `Code`: Key1 and Key2 of a chord, Key1 and 0
    // for a single key, 0 and 0 (and false) when none is left.
    bool GetFirstKeyPair(std::int32_t Code, TShortCut& Key1, TShortCut& Key2);
    bool GetNextKeyPair(std::int32_t Code, TShortCut& Key1, TShortCut& Key2);

    // Every binding in traversal order: a node, then its following siblings,
    // then its children. This is the order GetFirstKeyPair enumerates.
    void ForEachBinding(const std::function<void(TShortCut, TShortCut, std::int32_t)>& visit) const;
    // Every binding in the order that rebuilds this very tree when replayed
    // through DefineKeyAction: a first-level node followed by its chords, level
    // by level. Streams are written in this order, so that a load gives the
    // same tree, the same enumeration and, saved again, the same bytes.
    void
    ForEachBindingInTreeOrder(const std::function<void(TShortCut, TShortCut, std::int32_t)>& visit) const;
    int BindingCount() const;
    const TKeyNode* Root() const { return root_; }

private:
    TKeyNode* newNode(TShortCut key);
    [[noreturn]] void duplicate(std::int32_t code, std::int32_t other) const;
    bool findBinding(std::int32_t code, int index, TShortCut& key1, TShortCut& key2) const;

    std::vector<std::unique_ptr<TKeyNode>> nodes_;
    TKeyNode* root_ = nullptr;
    TKeyNode* cursor_ = nullptr;
    std::int32_t lastAction_ = -1;
    int enumIndex_ = 0;
    ActionNamer nameOf_;
};

} // namespace qorvi
