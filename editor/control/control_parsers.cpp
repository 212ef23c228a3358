// Parser slots and shared settings. While a parser is active the control
// works on the parser's settings object, which every control of that
// language shares (reference counted); a change made through one control
// reaches the others through the parser's UpdateEditors, which makes each
// install its active parser again and refresh (SMM_REFRESH).

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/custom_rudivo_voru_parser.h"
#include "editor/styling/incremental_styler.h"
#include "editor/support/rudivo_voru_error.h"

#include <algorithm>

namespace qorvi {
namespace {

// A parser whose script uses custom matches colours nothing until a
// handler for them is assigned.
TCustomRudivoVoruParser* stylingParser(TCustomRudivoVoruParser* parser) {
    if (parser && parser->UsesCustomMatch() && !parser->HasCustomParseHandler())
        return nullptr;
    return parser;
}

} // namespace

TCustomRudivoVoruParser* TCustomRudivoVoru::GetParser(int slot) const {
    if (slot < 1 || slot > kParserSlots)
        throw ERudivoVoru(kMsgParserIndexRange);
    return parsers_[static_cast<std::size_t>(slot - 1)];
}

TCustomRudivoVoruParser* TCustomRudivoVoru::GetCurrentParser() const {
    return parsers_[static_cast<std::size_t>(activeParser_ - 1)];
}

void TCustomRudivoVoru::takeSettings(TSM_Settings* settings) {
    if (settings == settings_)
        return;
    settings_->Release(this);
    settings_ = settings;
    settings_->AddRef(this);
}

void TCustomRudivoVoru::InstallNewParser(int slot, TCustomRudivoVoruParser* parser) {
    if (slot < 1 || slot > kParserSlots)
        throw ERudivoVoru(kMsgParserIndexRange);
    TCustomRudivoVoruParser*& held = parsers_[static_cast<std::size_t>(slot - 1)];
    if (held != parser) {
        TCustomRudivoVoruParser* old = held;
        held = parser;
        // A parser that sits in another slot too stays attached.
        if (old && std::find(parsers_.begin(), parsers_.end(), old) == parsers_.end())
            old->DetachEditor(this);
    }
    if (parser)
        parser->AttachEditor(this);
    if (slot != activeParser_)
        return;
    TSM_Settings* settings = parser ? parser->ParserSettings() : nullptr;
    takeSettings(settings ? settings : ownSettings_.get());
    styler_->SetParser(stylingParser(parser), this);
    if (focused_)
        SetUI();
    refreshFromSettings();
}

void TCustomRudivoVoru::SetActiveParser(int slot) {
    if (slot < 1 || slot > kParserSlots)
        throw ERudivoVoru(kMsgParserIndexRange);
    activeParser_ = slot;
    InstallNewParser(slot, parsers_[static_cast<std::size_t>(slot - 1)]);
}

std::vector<std::string> TCustomRudivoVoru::GetLanguageNames() const {
    std::vector<std::string> names;
    for (TCustomRudivoVoruParser* parser : parsers_)
        if (parser) {
            const TSM_Settings* settings = parser->ParserSettings();
            names.push_back(settings ? settings->LanguageName() : parser->Name());
        }
    return names;
}

void TCustomRudivoVoru::reinstallActiveParser() {
    InstallNewParser(activeParser_, GetCurrentParser());
}

void TCustomRudivoVoru::parserDestroyed(TCustomRudivoVoruParser* parser) {
    IncrementalStyler::ForgetParser(parser);
    const bool active = GetCurrentParser() == parser;
    for (TCustomRudivoVoruParser*& held : parsers_)
        if (held == parser)
            held = nullptr;
    if (!active || destroying_)
        return;
    takeSettings(ownSettings_.get());
    styler_->SetParser(nullptr, this);
    refreshFromSettings();
}

void TCustomRudivoVoru::Loaded() {
    loading_ = false;
    // Undo history: cleared by the editing layer when it comes.
    for (TCustomRudivoVoruParser* parser : parsers_)
        if (parser)
            parser->AttachEditor(this);
    ScreenInvalid();
    Paint();
}

void TCustomRudivoVoru::ModifyProperties() {
    TCustomRudivoVoruParser* parser = GetCurrentParser();
    if (!parser)
        throw ERudivoVoru(kMsgNoActiveParser);
    parser->ModifyProperties();
}

void TCustomRudivoVoru::ShowChangesInUI() {
    if (TCustomRudivoVoruParser* parser = GetCurrentParser())
        parser->UpdateEditors();
    else
        perform(SMM_REFRESH);
}

void TCustomRudivoVoru::refreshFromSettings() {
    MakeMoveSet();
    const TFontSpec& shared = settings_->Font();
    if (shared.Name != font_.Name || shared.Size != font_.Size || shared.CharSet != font_.CharSet) {
        font_.Name = shared.Name;
        font_.Size = shared.Size;
        font_.CharSet = shared.CharSet;
        takingFontFromParser_ = true;
        try {
            FontChanged();
        } catch (...) {
            takingFontFromParser_ = false;
            throw;
        }
        takingFontFromParser_ = false;
    } else {
        recomputeVisible();
    }
    settings_->RefreshResources();
    InvalidateFormats();
    rewrapIfLayoutChanged();
    refreshTopRow();
    ScreenInvalid();
    reasons_ |= crFormats;
    DoChange();
    UpdateScrollBars();
    Paint();
}

} // namespace qorvi
