#include "editor/styling/custom_rudivo_voru_parser.h"

#include "editor/styling/parser_client.h"

#include <algorithm>
#include <exception>

namespace qorvi {

TCustomRudivoVoruParser::~TCustomRudivoVoruParser() {
    notifyDestroyed();
}

void TCustomRudivoVoruParser::notifyDestroyed() {
    if (destroyedNotified_)
        return;
    destroyedNotified_ = true;
    // A control that drops the parser may detach itself meanwhile.
    const std::vector<ParserClient*> editors = editors_;
    editors_.clear();
    for (ParserClient* control : editors)
        control->parserDestroyed(this);
}

bool TCustomRudivoVoruParser::IsAttached(const ParserClient* Control) const {
    return std::find(editors_.begin(), editors_.end(), Control) != editors_.end();
}

void TCustomRudivoVoruParser::AttachEditor(ParserClient* Control) {
    if (!Control || IsAttached(Control))
        return;
    editors_.push_back(Control);
    settingsAddRef(Control);
}

void TCustomRudivoVoruParser::DetachEditor(ParserClient* Control) {
    const auto it = std::find(editors_.begin(), editors_.end(), Control);
    if (it == editors_.end())
        return;
    editors_.erase(it);
    settingsRelease(Control);
}

void TCustomRudivoVoruParser::UpdateEditors() {
    if (loading_)
        return;
    // A control may detach itself (or another) while it installs the parser.
    const std::vector<ParserClient*> editors = editors_;
    for (ParserClient* control : editors) {
        if (!IsAttached(control))
            continue;
        try {
            control->reinstallActiveParser();
        } catch (const std::exception&) {
            // One control that cannot take the new settings must not keep
            // the others on the old ones.
        }
    }
}

} // namespace qorvi
