#include "editor/parser_settings_link.h"

#include <algorithm>
#include <vector>

namespace qorvi {
namespace {

std::vector<ParserSettingsLookup>& lookups() {
    static std::vector<ParserSettingsLookup> list;
    return list;
}

} // namespace

void AddParserSettingsLookup(ParserSettingsLookup lookup) {
    auto& list = lookups();
    if (lookup && std::find(list.begin(), list.end(), lookup) == list.end())
        list.push_back(lookup);
}

TSM_Settings* ParserSettingsOf(TCustomRudivoVoruParser* parser) {
    if (!parser)
        return nullptr;
    for (ParserSettingsLookup lookup : lookups())
        if (TSM_Settings* settings = lookup(*parser))
            return settings;
    return nullptr;
}

} // namespace qorvi
