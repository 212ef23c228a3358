#pragma once

// What a parser needs from an editor control attached to it. The control
// (which comes with the editor's view layer) implements this; the parser
// keeps a list of its attached controls and tells them when its tables or
// settings change and when it goes away.

namespace qorvi {

class SettingsClient;
class TCustomRudivoVoruParser;

class ParserClient {
public:
    virtual ~ParserClient() = default;

    // The parser's tables or settings changed: install the active parser
    // again, so that the control takes the new settings and re-parses.
    virtual void reinstallActiveParser() = 0;
    // The parser is being destroyed; the control drops every reference to it
    // (the slot holding it becomes empty).
    virtual void parserDestroyed(TCustomRudivoVoruParser* parser) = 0;
    // The control as the parser's settings know it (for their drawing
    // resources), or null.
    virtual SettingsClient* settingsClient() { return nullptr; }
};

} // namespace qorvi
