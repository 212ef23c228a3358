#pragma once

// A character trie with case-insensitive keys, holding either macro texts
// (the preprocessor's macro store) or lexeme codes (its keyword store).
//
// Nodes live in one array and refer to each other by index, so a very long
// name makes a long chain but never a deep recursion when the store is
// freed. Macro texts are shared: a nested expansion keeps the text it reads
// alive even when a #define inside it replaces the macro.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class TWordStore {
public:
    using MacroText = std::shared_ptr<const std::string>;

    TWordStore();

    // Stores `text` under `name` (lower-cased); a redefinition replaces the
    // text. An empty name is ignored.
    void InsertMacro(std::string_view name, std::string_view text);
    // Stores the lexeme `code` under `word`.
    void InsertKeyword(std::string_view word, int code);

    // The text of the macro `name` (whole name, case ignored), or null.
    MacroText MacroTextOf(std::string_view name) const;
    bool IsDefined(std::string_view name) const { return MacroTextOf(name) != nullptr; }

    // The longest keyword at `cursor` that ends on a word boundary (its last
    // character and the one after it are not both word characters). The
    // text must be NUL-terminated. Returns the keyword's code and moves
    // `cursor` after it, or returns -1 and leaves `cursor`.
    int LongestKeyword(const char*& cursor) const;

    static bool isWordChar(unsigned char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    }
    static unsigned char lower(unsigned char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c | 0x20) : c;
    }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;

    struct Node {
        std::uint32_t sibling = kNone;
        std::uint32_t child = kNone;
        int code = -1;
        MacroText macro;
        bool terminal = false;
        unsigned char character = 0;
    };

    // The node that ends `name`, created along the way when `create` is set.
    std::uint32_t walk(std::string_view name, bool create);
    std::uint32_t find(std::string_view name) const;
    std::uint32_t childOf(std::uint32_t parent, unsigned char c) const;

    std::vector<Node> nodes_;
    std::array<std::uint32_t, 256> first_;
};

} // namespace qorvi
