#pragma once

// How the editor control reaches the settings a parser carries. The parser
// base class the control knows has no notion of settings; the library that
// defines a concrete parser class registers a look-up for it once (the
// parser library through RegisterParserSettingsLookup), and the control
// asks here. A parser no look-up knows leaves the control on its own
// settings.

namespace qorvi {

class TCustomRudivoVoruParser;
class TSM_Settings;

using ParserSettingsLookup = TSM_Settings* (*)(TCustomRudivoVoruParser& parser);

// Adds a look-up (once; later additions of the same one are ignored).
void AddParserSettingsLookup(ParserSettingsLookup lookup);
// The parser's settings, or null for none or an unknown parser.
TSM_Settings* ParserSettingsOf(TCustomRudivoVoruParser* parser);

} // namespace qorvi
