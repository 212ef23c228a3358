#pragma once

// The key assignments page of the editor options dialog: the commands of a
// language's key map and the key pairs bound to each, edited on the side
// and built into a new key map when the dialog is accepted. A command's
// pairs are read from the key map the first time it is shown; a command
// never shown keeps the pairs it has.

#include "platform/keys.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qorvi {

class TKeyboardActionContoller;

// A single key (second 0) or a two-key chord.
struct KeyPair {
    TShortCut first = 0;
    TShortCut second = 0;
    bool operator==(const KeyPair&) const = default;
};

class KeyAssignments {
public:
    // `keyMap` is the working settings' key map, replaced by apply().
    explicit KeyAssignments(TKeyboardActionContoller& keyMap);

    // The key map's action names, sorted.
    std::vector<std::string> commands() const;
    const std::vector<KeyPair>& pairs(const std::string& command);
    // "[Ctrl+K]  [I]", or "[Ctrl+Y]  [<none>]" for a single key.
    static std::string pairText(const KeyPair& pair);
    std::vector<std::string> pairTexts(const std::string& command);

    void add(const std::string& command, const KeyPair& pair);
    void replace(const std::string& command, std::size_t index, const KeyPair& pair);
    void remove(const std::string& command, std::size_t index);

    // Builds a new key map from every command's pairs and, when every pair
    // could be bound, puts it in place of the old one. A pair that cannot be
    // bound (such as a key that is both a single key and a chord's first
    // key) raises its error and leaves the key map as it was.
    void apply();

private:
    struct Record {
        bool loaded = false;
        bool changed = false;
        std::int32_t code = -1;
        std::vector<KeyPair> pairs;
    };
    Record& record(const std::string& command);
    std::vector<KeyPair> boundPairs(std::int32_t code);

    TKeyboardActionContoller& keyMap_;
    std::map<std::string, Record> records_;
};

} // namespace qorvi
