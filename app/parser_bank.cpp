#include "app/parser_bank.h"

#include "app/document_types.h"
#include "app/extension_map.h"
#include "editor/support/memory_stream.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"

#include <exception>

namespace qorvi {

namespace {

constexpr const char* kMsgParsersNotLoaded =
    "The colouring of these document types could not be loaded; their documents are shown as plain "
    "text:";
constexpr const char* kMsgNoImage = "no compiled parser is built into this program";

// Reads the slot's image into its parser, as the form data is read at
// start-up; "" on success, else why not.
std::string loadSlot(ParserSlot& slot, const ParserImageLookup& lookup) {
    const EmbeddedParserImage* image = lookup(slot.Key);
    if (!image)
        return slot.Name + ": " + kMsgNoImage;
    slot.Parser->SetLoading(true);
    try {
        TMemoryStream data(std::string(reinterpret_cast<const char*>(image->data), image->size));
        slot.Parser->ReadParserData(data);
    } catch (const std::exception& e) {
        // The reader leaves the parser Reset: an empty language.
        slot.Parser->Reset();
        slot.Parser->SetLoading(false);
        return e.what();
    }
    slot.Parser->Loaded();
    slot.Loaded = true;
    return {};
}

} // namespace

ParserSlot::ParserSlot() = default;
ParserSlot::ParserSlot(ParserSlot&&) noexcept = default;
ParserSlot& ParserSlot::operator=(ParserSlot&&) noexcept = default;
ParserSlot::~ParserSlot() = default;

ParserBank::ParserBank() : ParserBank(FindEmbeddedParserImage) {
}

ParserBank::ParserBank(const ParserImageLookup& lookup) {
    std::string failures;
    for (const auto& t : documentTypes()) {
        ParserSlot slot;
        slot.Name = t.parserName;
        slot.Tag = t.number;
        slot.Key = t.key;
        slot.Parser = std::make_unique<TRudivoVoruParser>();
        slot.Parser->SetName(slot.Name);
        if (std::string why = loadSlot(slot, lookup); !why.empty())
            failures += "\n" + std::string(t.displayName) + " (" + why + ")";
        slots_.push_back(std::move(slot));
    }
    if (!failures.empty())
        loadWarning_ = kMsgParsersNotLoaded + failures;
}

std::string ParserBank::takeLoadWarning() {
    std::string warning;
    warning.swap(loadWarning_);
    return warning;
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
