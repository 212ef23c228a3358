#pragma once

// The parser component that colours text for the editor control. Its tables
// come from a compiled image (ReadParserData) or from the script compiler
// (through Tables()); ParseStream then scans one token at a time.
//
// How a token is scanned, at the scanner's position P0:
//  1. The main keyword table matches the longest keyword of the current
//     states; failing that, the language's extra keyword tables (%%kwTables).
//  2. When the token value found (0 when none) has a handler, the handler's
//     continuation and terminator extend the token.
//  3. Without a keyword (or when the handler failed), the active start table
//     names the token's scanning by its first character, in the states it is
//     valid in.
//  4. The token's state change (if its value is valid in the current states)
//     updates the states and the state stack; a container token's change
//     lasts for the one token after it.
// Any refusal falls back to a one-character token of value 0, so every call
// moves the scanner on by at least one character.
//
// Most tokens take these steps the same way every time the same character
// starts them in the same states; those are read from plans made once per
// set of states (scan_plans.h), with the same result.

#include "editor/lexicon/keyword_table_set.h"
#include "editor/settings/editor_settings.h"
#include "editor/styling/custom_rudivo_voru_parser.h"
#include "editor/support/byte_set.h"
#include "parser/compressor.h"
#include "parser/parser_tables.h"
#include "parser/rt_stack.h"
#include "parser/scan_plans.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace qorvi {

class Hive;
class ShellUi;
class TEdStream;
class TStream;
class TRudivoVoruParser;

// Raised for an image of an unreadable version while form data is read.
class ERudivoVoruParserError : public QorviError {
public:
    using QorviError::QorviError;
};

inline constexpr const char* kMsgParserVersion =
    "%s: DFM file saved by different version of TRudivoVoruParser.\n\rRecompile script to update DFM "
    "file.\n\rExpected version was %d read version was %d";
// Any failure while an image is read or written: the component name and the
// original message.
inline constexpr const char* kMsgParserImageFailure = "%s: %s";
// An image whose stated size is negative or past kMaxImageSize.
inline constexpr const char* kMsgImageSizeOutOfRange = "Image size out of range";
// Bytes after the compressed image: the property is not an image as written.
inline constexpr const char* kMsgImageTrailingData = "Data after the end of the image";

// A custom match `match(n)` of the script. The handler scans from the
// scanner's position, adds what it consumed to kLength and may set kValue
// (the token value); it returns false to refuse.
using TCustomParseEvent = std::function<bool(TRudivoVoruParser& Sender, int ParseID, TEdStream& IStream,
                                             std::int32_t& kLength, std::int32_t& kValue)>;
using TVersionErrorEvent = std::function<void(TRudivoVoruParser& Sender, std::uint16_t VersionEncountered,
                                              std::uint16_t VersionExpected)>;
using TModifyPropertiesEvent = std::function<void(TRudivoVoruParser& Sender)>;
// Runs the editor options dialog on the parser's settings with the given
// pages; true when the user accepted.
using TOptionsDialogRunner = std::function<bool(TRudivoVoruParser& Sender, unsigned Pages)>;
// Writes the parser's styles to the registry under its RegistryKey.
using TStyleSaver = std::function<void(TRudivoVoruParser& Sender)>;

// The option pages of the editor options dialog (one bit each).
inline constexpr unsigned kAllOptionPages = 0x1F;

class TRudivoVoruParser : public TCustomRudivoVoruParser {
public:
    static constexpr std::uint16_t kImageVersion = 51;
    static constexpr std::uint16_t kOldestImageVersion = 50;
    // Images of the thirteen languages take 20-125 KB; the bound keeps a
    // crafted image from expanding into gigabytes.
    static constexpr std::int32_t kMaxImageSize = 16 << 20;

    TRudivoVoruParser();
    ~TRudivoVoruParser() override;

    // --- Runtime (called by the editor control) ---
    std::uint8_t ParseStream(ParserClient* Sender, TEdStream& Stream, std::int32_t& Len) override;
    void ParseInit(std::uint8_t Index) override;
    // ModifySelectedProperties with all five option pages.
    void ModifyProperties() override { ModifySelectedProperties(kAllOptionPages); }
    // OnModifyProperties when assigned; otherwise the options dialog edits the
    // settings and, when the user accepts, the controls are updated and (with
    // UseRegistry and a RegistryKey) the styles saved.
    void ModifySelectedProperties(unsigned Pages) override;
    TSM_Settings* ParserSettings() override { return settings_.get(); }
    void GetAnchor(TByteSet& Set) const override { Set = tables_.Anchor(); }
    bool InBoundState() const override { return currentStates_.Meets(tables_.BoundStates()); }
    bool Busy() const override { return inContainer_; }
    void GetCurrentParserState(TByteSet& Set) const override { Set = currentStates_; }
    bool UsesCustomMatch() const override { return tables_.UsesCustomMatch() != 0; }
    bool HasCustomParseHandler() const override { return static_cast<bool>(OnCustomParse); }

    // Selects the start table for the current states: the table of the
    // lowest current state that owns one, else the global start table.
    void GetLowestState();
    // Calls OnCustomParse; false when none is assigned.
    bool CustomParse(int ParseID, TEdStream& Stream, std::int32_t& kLength, std::int32_t& kValue);

    const TByteSet& CurrentStates() const { return currentStates_; }
    const TByteSet& SavedStates() const { return savedStates_; }
    std::int32_t ContainerEnd() const { return containerEnd_; }
    std::uint8_t ContainerValue() const { return containerValue_; }
    std::size_t StackDepth() const { return stack_.Count(); }

    // --- Tables ---
    // Releases every table and record, resets the settings, empties the
    // keyword tables and the state stack, and clears the case flag.
    void Reset();
    TParserTables& Tables() { return tables_; }
    const TParserTables& Tables() const { return tables_; }
    // The script's `case` option while it compiles: the words and keyword
    // tables compiled after it take it as their own case flag, and match
    // with that flag (it is not part of the image).
    bool CaseSensitive() const { return caseSensitive_; }
    void SetCaseSensitive(bool caseSensitive) { caseSensitive_ = caseSensitive; }
    // The language's editor settings, shared by every attached control; they
    // travel at the head of the compiled image.
    TSM_Settings& Settings() { return *settings_; }
    const TSM_Settings& Settings() const { return *settings_; }
    // The language's extra keyword tables (%%kwTables), kept by the settings.
    KeywordTableSet& KeywordTables() { return settings_->KeywordTables(); }
    const KeywordTableSet& KeywordTables() const { return settings_->KeywordTables(); }

    // --- Compiled image ---
    // Writes version 51, the image size and the compressed image.
    void WriteParserData(TStream& Stream);
    void EmitToStream(TStream& Stream) { WriteParserData(Stream); }
    // Resets the parser, checks the version and rebuilds every table from
    // the rest of the stream. A damaged image raises "<name>: <message>" and
    // leaves the parser Reset; an image older than version 50 goes through
    // the version-error path (see ReadParserData in the .cpp).
    void ReadParserData(TStream& Stream);
    void SetFromStream(TStream& Stream) { ReadParserData(Stream); }
    // Copies another parser through its image. Raises ERudivoVoru "Cannot
    // assign a %s to %s" for anything but a TRudivoVoruParser.
    void Assign(const TCustomRudivoVoruParser& Source);

    // --- The user's styles and key map in the registry ---
    // The style string of the settings (see style_string.h).
    std::string StylesAsString() const;
    // Applies a style string, then UpdateEditors; a damaged string raises
    // and changes nothing.
    void StylesFromString(const std::string& Text);
    // Writes the "Highlighting - " and "Key Assignments - " values of the
    // language under RegistryKey. Raises "Registry interface disabled in: "
    // + Name() without UseRegistry or RegistryKey.
    void StylesToRegistry();
    // Reads both values from RegistryKey (UseOwnKey; the same rule as
    // StylesToRegistry) or from Key. A missing key or style value changes
    // nothing. Both values are read whole before either is applied: a
    // damaged one raises "Invalid data in registry entry "<key>\<value>""
    // and the settings stay as they were.
    void StylesFromRegistry(bool UseOwnKey, const std::string& Key);

    // After the form data is read: compiles Script when AutoScriptUpdate is
    // set, then lets every attached control take the parser again.
    void Loaded();

    const char* ClassName() const override { return "TRudivoVoruParser"; }

    // Plain tokens are scanned from plans made per set of states (see
    // scan_plans.h); off, every token takes the general path. The tokens are
    // the same either way.
    void SetScanPlans(bool use) {
        usePlans_ = use;
        dropPlans();
    }

    // --- Properties and events ---
    std::string Script;
    bool AutoScriptUpdate = false;
    bool UseRegistry = false;
    std::string RegistryKey;
    // The hive the styles go to; null is the user's own (Hive::user()).
    Hive* Registry = nullptr;
    TCustomParseEvent OnCustomParse;
    TVersionErrorEvent OnParserVersionError;
    TModifyPropertiesEvent OnModifyProperties;
    // Set by the GUI: the options dialog, and where the version message is
    // shown when no OnParserVersionError handler is assigned.
    TOptionsDialogRunner OptionsDialog;
    // Saves the styles after the dialog was accepted; unassigned, they go
    // to the registry (StylesToRegistry).
    TStyleSaver SaveStyles;
    ShellUi* Ui = nullptr;

private:
    enum class Scan { Complete, Failed };

    void settingsAddRef(ParserClient* Control) override;
    void settingsRelease(ParserClient* Control) override;

    void setCurrentStates(const TByteSet& states);
    void fail(TEdStream& s);
    Scan scanHandler(const TSM_HandlerActions& h, TEdStream& s, std::int32_t& Len, int& value);
    void scanStartTable(const TSM_TokenActions& e, TEdStream& s, std::int32_t& Len, int& value);
    // `ch` is the character under the scanner (-1 at the end), read once by
    // the caller: the scanning loops test it against both groups.
    bool terminatorTest(const TSM_EndsAction& t, TEdStream& s, std::int32_t& Len, int ch);
    bool continuationStep(const TSM_SpecRec& c, TEdStream& s, std::int32_t& Len, int& value, int ch);
    bool callHandler(std::int64_t slot, TEdStream& s, std::int32_t& Len);
    void applyStateChange(const TSM_StateChanges& sc);
    void popStates();
    void dropPlans() {
        plans_.Clear();
        plan_ = nullptr;
    }
    // Scans a plain token that lies, with the character after it, in the
    // current record, from the plan of the current states; false (and
    // nothing moved) for any other token.
    bool scanInPlace(TEdStream& s, std::int32_t& Len, std::uint8_t& value);
    // Takes the states after a planned token (not OneChar) and their plan.
    void enterStatesAfter(TScanOutcome& out);
    // Every other token: from the plan through the scanner, or the general
    // path. Kept out of ParseStream so that the common path stays small.
    [[gnu::noinline]] std::uint8_t parseToken(TEdStream& s, std::int32_t& Len);
    // Scans a plain token from the plan of the current states through the
    // scanner; false when the token needs the general path, which then
    // starts at P0 again unless `keyword` was found (the scanner then
    // stands after it).
    bool scanPlanned(TEdStream& s, unsigned char c0, std::int32_t& Len, std::uint8_t& value,
                     const TEndData*& keyword, std::int32_t& keywordLen);

    void readImage(TStream& Stream);
    void reportVersion(std::uint16_t version);

    std::unique_ptr<TSM_Settings> settings_;
    TParserTables tables_;
    TRTStack stack_;
    TCompressor compressor_;
    bool caseSensitive_ = false;

    // Run-time state.
    TByteSet currentStates_;
    TByteSet savedStates_;
    const TSM_StatesTable* activeTable_ = nullptr;
    bool inContainer_ = false;
    std::int32_t containerEnd_ = 0;
    std::uint8_t containerValue_ = 0;
    // Per token: where it started, and whether an extra keyword table found it.
    std::int32_t tokenStart_ = 0;
    bool keywordMatched_ = false;
    ParserClient* lastSender_ = nullptr;

    TScanPlans plans_;
    // The plan of currentStates_; null when not looked up since they changed.
    TScanPlan* plan_ = nullptr;
    // The tables' generation the plans were made from.
    std::uint64_t plansGeneration_ = 0;
    bool usePlans_ = true;
};

} // namespace qorvi
