#pragma once

// The auto-replace list: a word is replaced as soon as one of the activation
// keys (by default ; , : . = ( ) [ ] Return Tab Space) is typed after it.
// The key itself still goes through; no pick list, no indentation, no caret
// marker.

#include "editor/macros/code_templates.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

inline constexpr const char* kDefaultActivateKeys = ";,:.=()[]\\{Return}\\{Tab}\\{Space}";
inline constexpr const char* kMsgBadKeySpecifier = "Bad key specifier";
inline constexpr const char* kMsgActivateKeysTooLong =
    "Activation key text too long (at most 255 characters)";

class TAutoReplace : public TCodeTemplates {
public:
    TAutoReplace();

    // AddMacro(Item, no description, Replacement, case-insensitive).
    void AddEntry(std::string_view Item, std::string_view Replacement) {
        AddMacro(Item, "", Replacement, false);
    }

    // Rebuilds the activation keys from a text: each character becomes the
    // key that types it; \n and \r Return, \s Space, \t Tab, \{name} the key
    // of that name (names not known are skipped), \ + any other character
    // that character's key without modifiers. "\{" without "}" raises
    // ERudivoVoru "Bad key specifier"; a text over 255 characters (more than
    // the stream keeps) is refused too. Keys are not listed twice. On an
    // error the keys stay as they were.
    void SetActivateKeys(std::string_view Text);
    const std::string& ActivateKeyText() const { return activateText_; }
    const std::vector<std::uint16_t>& ActivateKeys() const { return activateKeys_; }

    // Empties the list and restores the default activation keys.
    void Clear() override;
    // Active, activation keys present, and the key is one of them.
    bool IsActivateKey(std::uint16_t Key, TShiftState Shift) const override;

    // The key value of Key with Shift: 0 above 255, else Key + 0x100 for
    // Shift + 0x200 for Ctrl + 0x400 for Alt.
    static std::uint16_t TSM_ShortCut(std::uint16_t Key, TShiftState Shift);

    // Whether the item found at `itemStart` may be replaced: a word item must
    // not run on into a word character, and a replacement starting a word
    // must not be glued to a word character before the item.
    static bool AcceptsItem(TTextStore& store, std::int32_t itemStart, std::int32_t itemLength,
                            std::string_view replacement, const CharTest& isWordChar,
                            const CharTest& isWordStart);

    // The template form, then the activation key text as a short string.
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TAutoReplace"; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override { return std::make_unique<TAutoReplace>(); }
    void takeContents(TCodeTemplates& other) override;

private:
    std::string activateText_;
    std::vector<std::uint16_t> activateKeys_;
};

} // namespace qorvi
