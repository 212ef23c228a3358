// A parser's user styles and key map in the registry: the style string as
// the "Highlighting - " value of the language and the key controller's
// stream form as its "Key Assignments - " value. Reading checks both values
// whole before it applies either, so a damaged registry never takes a
// language's compiled settings away.

#include "editor/control/rudivo_voru.h"
#include "editor/support/memory_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "parser/registry_styles.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/style_string.h"
#include "platform/hive.h"

#include <memory>

namespace qorvi {

namespace {

Hive& hiveOf(const TRudivoVoruParser& parser) {
    return parser.Registry ? *parser.Registry : Hive::user();
}

std::string keyMapHeader() {
    TMemoryStream header;
    SWriteShortString(header, kKeyMapTag);
    return header.DataString();
}

[[noreturn]] void invalidEntry(const std::string& key, const char* value, const std::string& language) {
    throw ERudivoVoru(std::string(kMsgInvalidRegistryEntry) + " \"" + key + "\\" + value + language + "\"");
}

} // namespace

std::string TRudivoVoruParser::StylesAsString() const {
    return qorvi::StylesAsString(*settings_);
}

void TRudivoVoruParser::StylesFromString(const std::string& Text) {
    qorvi::StylesFromString(*settings_, Text);
    settings_->RefreshResources();
    UpdateEditors();
}

void TRudivoVoruParser::StylesToRegistry() {
    if (!UseRegistry || RegistryKey.empty())
        throw ERudivoVoru(kMsgRegistryDisabled + Name());
    Hive& hive = hiveOf(*this);
    const std::string& language = settings_->LanguageName();
    hive.setValue(RegistryKey, kHighlightingValue + language, HiveValue::string(StylesAsString()));
    TMemoryStream keys;
    SWriteShortString(keys, kKeyMapTag);
    settings_->KeyMap().SaveToStream(keys);
    hive.setValue(RegistryKey, kKeyAssignmentsValue + language, HiveValue::binary(keys.DataString()));
}

void TRudivoVoruParser::StylesFromRegistry(bool UseOwnKey, const std::string& Key) {
    if (UseOwnKey && (!UseRegistry || RegistryKey.empty()))
        throw ERudivoVoru(kMsgRegistryDisabled + Name());
    const std::string key = UseOwnKey ? RegistryKey : Key;
    Hive& hive = hiveOf(*this);
    if (!hive.keyExists(key))
        return;
    const std::string language = settings_->LanguageName();
    // A value of another type reads as missing, as every registry value does.
    const auto styles = hive.value(key, kHighlightingValue + language);
    if (!styles || styles->type != HiveValue::Type::String)
        return;

    // The key map is read into a copy first, and the style string is read
    // whole before it is applied: either both are taken or neither.
    std::unique_ptr<TKeyboardActionContoller> keys;
    const auto keyValue = hive.value(key, kKeyAssignmentsValue + language);
    if (keyValue && keyValue->type == HiveValue::Type::Binary) {
        const std::string header = keyMapHeader();
        if (keyValue->data.compare(0, header.size(), header) != 0)
            invalidEntry(key, kKeyAssignmentsValue, language);
        keys = std::make_unique<TKeyboardActionContoller>();
        try {
            TMemoryStream stream(keyValue->data.substr(header.size()));
            keys->LoadFromStream(stream);
        } catch (const QorviError&) {
            invalidEntry(key, kKeyAssignmentsValue, language);
        }
    }
    try {
        qorvi::StylesFromString(*settings_, styles->data);
    } catch (const QorviError&) {
        invalidEntry(key, kHighlightingValue, language);
    }
    if (keys)
        settings_->KeyMap().Assign(*keys);
    settings_->RefreshResources();
    UpdateEditors();
}

void GetCurrentStyles(TCustomRudivoVoru& control) {
    if (auto* parser = dynamic_cast<TRudivoVoruParser*>(control.GetCurrentParser()))
        parser->StylesFromRegistry(true, "");
}

} // namespace qorvi
