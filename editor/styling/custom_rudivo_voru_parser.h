#pragma once

// The parser as the editor control knows it. The control hands the parser a
// scanner positioned at the start of a token and gets the token's value
// (0-255, the style byte of each of its characters) and length; between
// tokens the parser keeps its own state set, which the control reads only
// through the queries below (where to restart, whether a construct crosses
// a row end, whether a container token is being re-scanned).
//
// The control registers itself through AttachEditor and leaves through
// DetachEditor (also when it is destroyed); the parser tells every attached
// control to install it again after a change (UpdateEditors) and tells them
// when it is destroyed.

#include "editor/support/byte_set.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qorvi {

class ParserClient;
class TEdStream;
class TSM_Settings;

class TCustomRudivoVoruParser {
public:
    TCustomRudivoVoruParser() = default;
    virtual ~TCustomRudivoVoruParser();
    TCustomRudivoVoruParser(const TCustomRudivoVoruParser&) = delete;
    TCustomRudivoVoruParser& operator=(const TCustomRudivoVoruParser&) = delete;

    // Scans one token from the scanner's position: returns its value, sets
    // Len to its length in characters and leaves the scanner after it.
    // Sender is the calling control (may be null); a control not yet
    // attached is attached by its first call.
    virtual std::uint8_t ParseStream(ParserClient* Sender, TEdStream& Stream, std::int32_t& Len) = 0;
    // Prepares a parse that restarts at a token whose value is Index.
    virtual void ParseInit(std::uint8_t Index) = 0;
    // Lets the user edit the parser's settings.
    virtual void ModifyProperties() = 0;

    // The token values at which the control may restart a parse.
    virtual void GetAnchor(TByteSet& Set) const = 0;
    // True while the parser is inside a construct that continues past the end
    // of a row, so the control keeps parsing.
    virtual bool InBoundState() const = 0;
    // True while a container token's content is being scanned.
    virtual bool Busy() const = 0;
    // The current state set.
    virtual void GetCurrentParserState(TByteSet& Set) const = 0;
    // True when the parser's script uses custom matches; such a parser colours
    // nothing while no custom-match handler is assigned.
    virtual bool UsesCustomMatch() const { return false; }
    virtual bool HasCustomParseHandler() const { return false; }
    // The settings shared by the controls attached to this parser, or null.
    virtual TSM_Settings* ParserSettings() { return nullptr; }

    // Adds the control once (and registers it with the settings).
    void AttachEditor(ParserClient* Control);
    // Removes the control (and releases it from the settings).
    void DetachEditor(ParserClient* Control);
    // Makes every attached control install this parser again. A control that
    // fails with an exception does not stop the others.
    void UpdateEditors();
    bool IsAttached(const ParserClient* Control) const;
    const std::vector<ParserClient*>& AttachedEditors() const { return editors_; }

    // The component name used in messages ("prsCPP").
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    // While set (reading form data), UpdateEditors does nothing.
    bool Loading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }

    virtual const char* ClassName() const { return "TCustomRudivoVoruParser"; }

protected:
    // Registration of a control with the parser's settings.
    virtual void settingsAddRef(ParserClient* /*Control*/) {}
    virtual void settingsRelease(ParserClient* /*Control*/) {}
    // Tells every attached control that the parser goes away; a subclass
    // calls it first in its destructor, while it is still whole.
    void notifyDestroyed();

private:
    std::vector<ParserClient*> editors_;
    std::string name_;
    bool loading_ = false;
    bool destroyedNotified_ = false;
};

} // namespace qorvi
