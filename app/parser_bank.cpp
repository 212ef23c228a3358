#include "app/parser_bank.h"

#include "app/document_types.h"
#include "app/extension_map.h"

namespace qorvi {

ParserBank::ParserBank() {
    for (const auto& t : documentTypes())
        slots_.push_back({t.parserName, t.number});
}

const ParserSlot& ParserBank::plain() const {
    for (const auto& s : slots_)
        if (s.Tag == kPlainTextType)
            return s;
    return slots_.front();
}

const ParserSlot& ParserBank::parserForNumber(int number) const {
    for (auto it = slots_.rbegin(); it != slots_.rend(); ++it)
        if (it->Tag == number)
            return *it;
    return plain();
}

const ParserSlot& ParserBank::parserForExtension(const ExtensionMap& map, const std::string& ext) const {
    return parserForNumber(map.typeNumberForExtension(ext));
}

} // namespace qorvi
