#pragma once

// The thirteen parser components of the main window, one per document type,
// each known by its component name and its `Tag` (the type number). Each
// owns its tokenising parser, read at start-up from the compiled image built
// into the program for its type key (the `Parser` property of the form
// data), so the program needs no script files.
//
// A type whose image is missing or cannot be read keeps an empty parser (its
// documents show without colours) and the program starts all the same; the
// main window tells the user once (takeLoadWarning).

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class ExtensionMap;
class TRudivoVoruParser;
struct EmbeddedParserImage;

// Finds the compiled image of a type key, or null.
using ParserImageLookup = std::function<const EmbeddedParserImage*(std::string_view typeKey)>;

struct ParserSlot {
    ParserSlot();
    ParserSlot(ParserSlot&&) noexcept;
    ParserSlot& operator=(ParserSlot&&) noexcept;
    ~ParserSlot();

    std::string Name; // "prsCPP" ...
    int Tag = 0;      // the type number 1..13
    std::string Key;  // the type key: "cpp" ...
    // Never null; empty (every character plain text) when Loaded is false.
    std::unique_ptr<TRudivoVoruParser> Parser;
    // The image was read.
    bool Loaded = false;
};

class ParserBank {
public:
    // Reads the images built into the program.
    ParserBank();
    // Reads the images `lookup` finds (tests give missing or damaged ones).
    explicit ParserBank(const ParserImageLookup& lookup);

    const std::vector<ParserSlot>& components() const { return slots_; }
    // The component whose Tag equals `number`, searched from last to first;
    // none gives prsPlain.
    const ParserSlot& parserForNumber(int number) const;
    // The component for an extension through the mapping list.
    const ParserSlot& parserForExtension(const ExtensionMap& map, const std::string& ext) const;
    const ParserSlot& plain() const;

    // The message naming every type whose parser could not be read, the
    // first time it is asked for; "" when all were read, and afterwards.
    std::string takeLoadWarning();

private:
    std::vector<ParserSlot> slots_;
    std::string loadWarning_;
};

} // namespace qorvi
