#include "editor/macros/auto_replace.h"

#include "editor/keys/key_names.h"
#include "editor/keys/typed_key.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/text_store.h"

#include <algorithm>

namespace qorvi {

TAutoReplace::TAutoReplace() : TCodeTemplates(false) {
    SetActivateKeys(kDefaultActivateKeys);
}

void TAutoReplace::SetActivateKeys(std::string_view Text) {
    if (Text.size() > 255)
        throw ERudivoVoru(kMsgActivateKeysTooLong);
    std::vector<std::uint16_t> keys;
    auto addKey = [&](int key) {
        if (key > 0 && std::find(keys.begin(), keys.end(), key) == keys.end())
            keys.push_back(static_cast<std::uint16_t>(key));
    };
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const auto c = static_cast<unsigned char>(Text[i]);
        if (c != '\\' || i + 1 >= Text.size()) {
            addKey(keyThatTypes(c));
            continue;
        }
        const auto e = static_cast<unsigned char>(Text[++i]);
        switch (e) {
        case 'n':
        case 'N':
        case 'r':
        case 'R':
            addKey(VK_RETURN);
            break;
        case 's':
        case 'S':
            addKey(VK_SPACE);
            break;
        case 't':
        case 'T':
            addKey(VK_TAB);
            break;
        case '{': {
            const std::size_t close = Text.find('}', i + 1);
            if (close == std::string_view::npos)
                throw ERudivoVoru(kMsgBadKeySpecifier);
            addKey(keyCodeFromName(Text.substr(i + 1, close - i - 1)));
            i = close;
            break;
        }
        default: {
            const int key = keyThatTypes(e);
            addKey(key < 0 ? -1 : (key & 0xFF));
            break;
        }
        }
    }
    activateKeys_ = std::move(keys);
    activateText_ = std::string(Text);
}

void TAutoReplace::Clear() {
    Reset();
    SetActivateKeys(kDefaultActivateKeys);
}

std::uint16_t TAutoReplace::TSM_ShortCut(std::uint16_t Key, TShiftState Shift) {
    if (Key > 255)
        return 0;
    return static_cast<std::uint16_t>(Key + ((Shift & ssShift) ? kTypedKeyShift : 0) +
                                      ((Shift & ssCtrl) ? kTypedKeyCtrl : 0) +
                                      ((Shift & ssAlt) ? kTypedKeyAlt : 0));
}

bool TAutoReplace::IsActivateKey(std::uint16_t Key, TShiftState Shift) const {
    if (!Active || activateText_.empty())
        return false;
    const std::uint16_t value = TSM_ShortCut(Key, Shift);
    return value != 0 && std::find(activateKeys_.begin(), activateKeys_.end(), value) != activateKeys_.end();
}

bool TAutoReplace::AcceptsItem(TTextStore& store, std::int32_t itemStart, std::int32_t itemLength,
                               std::string_view replacement, const CharTest& isWordChar,
                               const CharTest& isWordStart) {
    if (itemLength <= 0 || itemStart < 0 || itemStart + itemLength > store.NumChars())
        return false;
    auto charAt = [&](std::int32_t at) { return static_cast<unsigned char>(store.GetText(at, 1)[0]); };
    const std::int32_t end = itemStart + itemLength;
    if (isWordChar(charAt(end - 1)) && end < store.NumChars() && isWordChar(charAt(end)))
        return false;
    if (!replacement.empty() && isWordStart(static_cast<unsigned char>(replacement[0])) && itemStart > 0 &&
        isWordChar(charAt(itemStart - 1)))
        return false;
    return true;
}

void TAutoReplace::SaveToStream(TStream& stream) const {
    saveTemplates(stream);
    SWriteShortString(stream, activateText_);
}

void TAutoReplace::LoadFromStream(TStream& stream) {
    TAutoReplace loaded;
    loaded.loadTemplates(stream);
    loaded.SetActivateKeys(SReadShortString(stream));
    takeContents(loaded);
}

void TAutoReplace::takeContents(TCodeTemplates& other) {
    if (auto* list = dynamic_cast<TAutoReplace*>(&other)) {
        activateText_ = list->activateText_;
        activateKeys_ = list->activateKeys_;
    }
    takeMacros(other);
}

} // namespace qorvi
