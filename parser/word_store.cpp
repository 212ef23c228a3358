#include "parser/word_store.h"

namespace qorvi {

TWordStore::TWordStore() {
    first_.fill(kNone);
}

std::uint32_t TWordStore::childOf(std::uint32_t parent, unsigned char c) const {
    std::uint32_t n = parent == kNone ? first_[c] : nodes_[parent].child;
    if (parent == kNone)
        return n;
    while (n != kNone && nodes_[n].character != c)
        n = nodes_[n].sibling;
    return n;
}

std::uint32_t TWordStore::walk(std::string_view name, bool create) {
    std::uint32_t at = kNone;
    for (char ch : name) {
        const unsigned char c = lower(static_cast<unsigned char>(ch));
        std::uint32_t next = childOf(at, c);
        if (next == kNone) {
            if (!create)
                return kNone;
            next = static_cast<std::uint32_t>(nodes_.size());
            Node node;
            node.character = c;
            if (at == kNone) {
                first_[c] = next;
            } else {
                node.sibling = nodes_[at].child;
                nodes_[at].child = next;
            }
            nodes_.push_back(std::move(node));
        }
        at = next;
    }
    return at;
}

std::uint32_t TWordStore::find(std::string_view name) const {
    std::uint32_t at = kNone;
    for (char ch : name) {
        at = childOf(at, lower(static_cast<unsigned char>(ch)));
        if (at == kNone)
            return kNone;
    }
    return at;
}

void TWordStore::InsertMacro(std::string_view name, std::string_view text) {
    if (name.empty())
        return;
    Node& node = nodes_[walk(name, true)];
    node.terminal = true;
    node.macro = std::make_shared<const std::string>(text);
}

void TWordStore::InsertKeyword(std::string_view word, int code) {
    if (word.empty())
        return;
    Node& node = nodes_[walk(word, true)];
    node.terminal = true;
    node.code = code;
}

TWordStore::MacroText TWordStore::MacroTextOf(std::string_view name) const {
    if (name.empty())
        return nullptr;
    const std::uint32_t at = find(name);
    if (at == kNone || !nodes_[at].terminal)
        return nullptr;
    return nodes_[at].macro;
}

int TWordStore::LongestKeyword(const char*& cursor) const {
    const char* p = cursor;
    std::uint32_t at = kNone;
    int bestCode = -1;
    const char* bestEnd = nullptr;
    // The NUL that ends every text is never a key character, so the walk
    // stops there.
    while (*p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        at = childOf(at, lower(c));
        if (at == kNone)
            break;
        ++p;
        const Node& node = nodes_[at];
        if (node.terminal && node.code >= 0 &&
            !(isWordChar(c) && isWordChar(static_cast<unsigned char>(*p)))) {
            bestCode = node.code;
            bestEnd = p;
        }
    }
    if (bestCode >= 0)
        cursor = bestEnd;
    return bestCode;
}

} // namespace qorvi
