#pragma once

// Maps keys - single keys or two-key chords such as Ctrl+K, I - to the
// editor's action codes, and names every action for display. The control
// hands each key-down to its controller; a recognised key or chord is
// swallowed and its action code goes to the command notification.
//
// One default controller (the standard key map) is built on first use; each
// settings object owns a copy, which a parser script may replace.

#include "editor/keys/key_store.h"
#include "editor/support/data_object_base.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

class TKeyboardActionContoller;

// The command notification: Sender, var ActionCode.
using TKeyboardActionEvent = std::function<void(TKeyboardActionContoller* Sender, std::int32_t& ActionCode)>;

class TKeyboardActionContoller : public TSM_Base {
public:
    TKeyboardActionContoller();
    ~TKeyboardActionContoller() override;
    // The store names actions through its owner, so a controller stays put.
    TKeyboardActionContoller(const TKeyboardActionContoller&) = delete;
    TKeyboardActionContoller& operator=(const TKeyboardActionContoller&) = delete;

    void DefineKeyAction(TShortCut Key1, TShortCut Key2, std::int32_t ActionCode) {
        store_->DefineKeyAction(Key1, Key2, ActionCode);
    }
    bool IsKeyActionDefined(TShortCut Key1, TShortCut Key2, std::int32_t& ActionCode) const {
        return store_->IsKeyActionDefined(Key1, Key2, ActionCode);
    }

    // Feeds one key-down. A chord prefix or a bound key sets Handled, clears
    // Key and Shift; a bound key also calls OnCommand with its action. Any
    // other key is left to the control and ends a half-entered chord.
    // Returns Handled.
    bool KeyPressed(std::uint16_t& Key, TShiftState& Shift, bool& Handled);

    // Replaces the name of `Code` (the last entry for it goes, the new one is
    // appended). Names are held to 255 characters, what the stream form keeps.
    void SetActionCodeName(std::int32_t Code, const std::string& Name);
    // The name of the last entry for `Code`, or empty.
    std::string GetActionCodeName(std::int32_t Code) const;
    const std::vector<std::pair<std::string, std::int32_t>>& ActionNames() const { return names_; }

    int GetNumKeyPairs(std::int32_t Code) const { return store_->GetNumKeyPairs(Code); }
    bool GetFirstKeyPair(std::int32_t Code, TShortCut& Key1, TShortCut& Key2) {
        return store_->GetFirstKeyPair(Code, Key1, Key2);
    }
    bool GetNextKeyPair(std::int32_t Code, TShortCut& Key1, TShortCut& Key2) {
        return store_->GetNextKeyPair(Code, Key1, Key2);
    }

    bool Active() const { return active_; }
    // Sets Active and abandons a half-entered chord.
    void SetActive(bool Value);
    // A second switch whose meaning the control decides; only stored here.
    bool Option2() const { return option2_; }
    void SetOption2(bool value) { option2_ = value; }

    bool ChordPending() const { return store_->ChordPending(); }
    std::int32_t LastAction() const { return store_->LastAction(); }
    const TKeyStore& KeyStore() const { return *store_; }

    // An empty key store and no names.
    void Clear();

    // Only another controller may be assigned, else ERudivoVoru "Cannot
    // assign a %s to a %s".
    void Assign(const TSM_Base& Source) override;
    // Name count, (integer code, short string name) each, binding count,
    // (16-bit Key1, 16-bit Key2, integer code) each in traversal order.
    // Loading builds a new map and takes it over only when the whole stream
    // was read and every binding accepted, so a bad stream leaves the map
    // as it was.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TKeyboardActionContoller"; }

    TKeyboardActionEvent OnCommand;

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override {
        return std::make_unique<TKeyboardActionContoller>();
    }

private:
    std::unique_ptr<TKeyStore> makeStore();

    std::unique_ptr<TKeyStore> store_;
    std::vector<std::pair<std::string, std::int32_t>> names_;
    bool active_ = false;
    bool option2_ = false;
};

// The standard key map with the 48 display names, built once.
const TKeyboardActionContoller& DefaultKeyController();

} // namespace qorvi
