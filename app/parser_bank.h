#pragma once

// The thirteen parser components of the main window, one per document type,
// each known by its component name and its `Tag` (the type number). The
// tokenising parser object of each type is attached to its slot when it is
// built from the embedded images.

#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class ExtensionMap;

struct ParserSlot {
    std::string Name; // "prsCPP" ...
    int Tag = 0;      // the type number 1..13
};

class ParserBank {
public:
    ParserBank();

    const std::vector<ParserSlot>& components() const { return slots_; }
    // The component whose Tag equals `number`, searched from last to first;
    // none gives prsPlain.
    const ParserSlot& parserForNumber(int number) const;
    // The component for an extension through the mapping list.
    const ParserSlot& parserForExtension(const ExtensionMap& map, const std::string& ext) const;
    const ParserSlot& plain() const;

private:
    std::vector<ParserSlot> slots_;
};

} // namespace qorvi
