#include "editor/keys/keyboard_action_controller.h"

#include "editor/keys/command_action.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

#include <algorithm>

namespace qorvi {

TKeyboardActionContoller::TKeyboardActionContoller() : store_(makeStore()) {
}

TKeyboardActionContoller::~TKeyboardActionContoller() = default;

std::unique_ptr<TKeyStore> TKeyboardActionContoller::makeStore() {
    return std::make_unique<TKeyStore>([this](std::int32_t code) { return GetActionCodeName(code); });
}

bool TKeyboardActionContoller::KeyPressed(std::uint16_t& Key, TShiftState& Shift, bool& Handled) {
    Handled = false;
    const TKeyNode* found = store_->Match(makeShortCut(Key, Shift));
    if (!found)
        return false;
    Handled = true;
    Key = 0;
    Shift = 0;
    if (found->Child)
        return true;
    std::int32_t action = found->Action;
    store_->SetLastAction(action);
    if (OnCommand)
        OnCommand(this, action);
    return true;
}

void TKeyboardActionContoller::SetActionCodeName(std::int32_t Code, const std::string& Name) {
    auto last = std::find_if(names_.rbegin(), names_.rend(), [&](const auto& n) { return n.second == Code; });
    if (last != names_.rend())
        names_.erase(std::next(last).base());
    names_.emplace_back(Name.substr(0, 255), Code);
}

std::string TKeyboardActionContoller::GetActionCodeName(std::int32_t Code) const {
    auto last = std::find_if(names_.rbegin(), names_.rend(), [&](const auto& n) { return n.second == Code; });
    return last != names_.rend() ? last->first : std::string();
}

void TKeyboardActionContoller::SetActive(bool Value) {
    active_ = Value;
    store_->ResetChord();
}

void TKeyboardActionContoller::Clear() {
    store_ = makeStore();
    names_.clear();
}

void TKeyboardActionContoller::Assign(const TSM_Base& Source) {
    if (!dynamic_cast<const TKeyboardActionContoller*>(&Source))
        throw ERudivoVoru(formatMsg(kMsgCannotAssignA, Source.ClassName(), ClassName()));
    copyThroughStream(Source);
}

void TKeyboardActionContoller::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, static_cast<std::int32_t>(names_.size()));
    for (const auto& [name, code] : names_) {
        SWriteLongint(stream, code);
        SWriteShortString(stream, name);
    }
    SWriteLongint(stream, store_->BindingCount());
    store_->ForEachBindingInTreeOrder([&](TShortCut key1, TShortCut key2, std::int32_t code) {
        SWriteWord(stream, key1);
        SWriteWord(stream, key2);
        SWriteLongint(stream, code);
    });
}

void TKeyboardActionContoller::LoadFromStream(TStream& stream) {
    TKeyboardActionContoller loaded;
    const std::int32_t nameCount = SReadCount(stream, 4 + 1);
    loaded.names_.reserve(static_cast<std::size_t>(nameCount));
    for (std::int32_t i = 0; i < nameCount; ++i) {
        const std::int32_t code = SReadLongint(stream);
        loaded.names_.emplace_back(SReadShortString(stream), code);
    }
    const std::int32_t bindingCount = SReadCount(stream, 2 + 2 + 4);
    for (std::int32_t i = 0; i < bindingCount; ++i) {
        const TShortCut key1 = SReadWord(stream);
        const TShortCut key2 = SReadWord(stream);
        loaded.DefineKeyAction(key1, key2, SReadLongint(stream));
    }
    names_ = std::move(loaded.names_);
    store_ = std::move(loaded.store_);
    store_->SetActionNamer([this](std::int32_t code) { return GetActionCodeName(code); });
}

const TKeyboardActionContoller& DefaultKeyController() {
    static TKeyboardActionContoller c;
    static const bool filled = [] {
        for (int code = 0; code < kCommandActionCount; ++code)
            c.SetActionCodeName(code, commandActionDisplayName(code));
        const TShortCut ctrlK = scCtrl | 'K';
        const TShortCut ctrlQ = scCtrl | 'Q';
        const struct {
            TShortCut key1;
            TShortCut key2;
            int code;
        } bindings[] = {
            {VK_LEFT, 0, caLEFT},
            {VK_RIGHT, 0, caRIGHT},
            {VK_HOME, 0, caLINEHOME},
            {VK_END, 0, caLINEEND},
            {VK_UP, 0, caUP},
            {VK_DOWN, 0, caDOWN},
            {VK_PRIOR, 0, caPAGEUP},
            {VK_NEXT, 0, caPAGEDOWN},
            {scCtrl | VK_LEFT, 0, caWORDLEFT},
            {scCtrl | VK_RIGHT, 0, caWORDRIGHT},
            {scCtrl | VK_HOME, 0, caDOCSTART},
            {scCtrl | VK_END, 0, caDOCEND},
            {scCtrl | 'X', 0, caCUT},
            {scCtrl | 'C', 0, caCOPY},
            {scCtrl | 'V', 0, caPASTE},
            {VK_DELETE, 0, caDELETE},
            {VK_BACK, 0, caBACKSPACE},
            {ctrlK, 'I', caBLOCKIND},
            {ctrlK, 'U', caBLOCKUND},
            {VK_INSERT, 0, caINSTOGGLE},
        };
        for (const auto& b : bindings)
            c.DefineKeyAction(b.key1, b.key2, b.code);
        for (int i = 0; i < 10; ++i)
            c.DefineKeyAction(ctrlK, static_cast<TShortCut>('0' + i), caSETBOOKMARK0 + i);
        for (int i = 0; i < 10; ++i)
            c.DefineKeyAction(ctrlQ, static_cast<TShortCut>('0' + i), caGOTOBOOKMARK0 + i);
        c.DefineKeyAction(scCtrl | 'Y', 0, caDELETELINE);
        c.DefineKeyAction(scCtrl | 'Z', 0, caUNDO);
        c.DefineKeyAction(scCtrl | scShift | 'Z', 0, caREDO);
        c.DefineKeyAction(scCtrl | VK_BACK, 0, caDELPREVWORD);
        c.DefineKeyAction(ctrlK, 'P', caPRINTSEL);
        c.DefineKeyAction(scCtrl | VK_DELETE, 0, caDELNEXTWORD);
        c.DefineKeyAction(scCtrl | VK_UP, 0, caSCROLLUP);
        c.DefineKeyAction(scCtrl | VK_DOWN, 0, caSCROLLDOWN);
        return true;
    }();
    (void)filled;
    return c;
}

} // namespace qorvi
