#include "parser/scan_words.h"

#include <bit>
#include <cstring>
#include <utility>

namespace qorvi {

void TScanWords::Clear() {
    shapes_ = {};
    trie_ = nullptr;
    slots_.clear();
    words_.clear();
}

namespace {

constexpr std::int32_t kKeyBytes = 8;

// A-Z to a-z in each byte of `x` at once.
std::uint64_t foldBytes(std::uint64_t x) {
    constexpr std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t low = x & (0x7F * ones);
    const std::uint64_t atLeastA = low + (0x80 - 'A') * ones;
    const std::uint64_t pastZ = low + (0x80 - 'Z' - 1) * ones;
    const std::uint64_t upper = atLeastA & ~pastZ & ~x & (0x80 * ones);
    return x | (upper >> 2);
}

std::uint32_t hashOfKey(std::uint64_t key, std::int32_t len) {
    return static_cast<std::uint32_t>(((key + static_cast<std::uint64_t>(len)) * 0x9E3779B97F4A7C15ull) >>
                                      32);
}

} // namespace

std::uint64_t TScanWords::keyOf(const unsigned char* at, std::int32_t len, std::int32_t readable) const {
    std::uint64_t key = 0;
    if (std::endian::native == std::endian::little && readable >= kKeyBytes) {
        // One load: copying the word byte by byte into the key and reading
        // it back would wait for the stores to drain.
        std::memcpy(&key, at, kKeyBytes);
        if (len < kKeyBytes)
            key &= (std::uint64_t{1} << (8 * len)) - 1;
    } else {
        for (std::int32_t i = 0; i < len; ++i)
            key |= std::uint64_t{at[i]} << (8 * i);
    }
    return fold_ ? foldBytes(key) : key;
}

std::uint32_t TScanWords::hashOf(const unsigned char* at, std::int32_t len) const {
    if (len <= kKeyBytes)
        return hashOfKey(keyOf(at, len, len), len);
    std::uint32_t h = 2166136261u;
    for (std::int32_t i = 0; i < len; ++i)
        h = (h ^ (fold_ ? TKeywords::foldCase(at[i]) : at[i])) * 16777619u;
    return h;
}

bool TScanWords::sameWord(const Slot& slot, const unsigned char* at, std::int32_t len) const {
    if (slot.Length != static_cast<std::uint32_t>(len))
        return false;
    if (len <= kKeyBytes)
        return slot.Key == keyOf(at, len, len);
    const char* word = words_.data() + slot.Offset;
    for (std::int32_t i = 0; i < len; ++i)
        if (static_cast<unsigned char>(word[i]) != (fold_ ? TKeywords::foldCase(at[i]) : at[i]))
            return false;
    return true;
}

void TScanWords::Build(const TKeywords& trie) {
    Clear();
    trie_ = &trie;
    fold_ = !trie.CaseSensitive();
    // Depth first over the trie; a node with entries ends a word.
    std::vector<std::pair<std::uint32_t, std::string>> found;
    std::vector<std::pair<const TKeywordNode*, std::string>> stack;
    if (const TKeywordNode* root = trie.Root())
        stack.emplace_back(root, std::string());
    while (!stack.empty()) {
        auto [node, prefix] = std::move(stack.back());
        stack.pop_back();
        if (const TKeywordNode* sibling = trie.NodeAt(node->Sibling))
            stack.emplace_back(sibling, prefix);
        std::string word = prefix + static_cast<char>(node->Character);
        if (node->Ends != kNoEndData)
            found.emplace_back(static_cast<std::uint32_t>(node - trie.NodeAt(0)), word);
        if (const TKeywordNode* child = trie.NodeAt(node->Child))
            stack.emplace_back(child, std::move(word));
    }
    std::size_t size = 16;
    while (size < found.size() * 2)
        size *= 2;
    slots_.assign(size, Slot{});
    for (const auto& [node, word] : found) {
        Slot slot;
        slot.Node = node;
        slot.FirstEntry = trie.NodeAt(node)->Ends;
        slot.Offset = static_cast<std::uint32_t>(words_.size());
        slot.Length = static_cast<std::uint32_t>(word.size());
        const auto* text = reinterpret_cast<const unsigned char*>(word.data());
        const auto length = static_cast<std::int32_t>(word.size());
        slot.Hash = hashOf(text, length);
        if (length <= kKeyBytes)
            slot.Key = keyOf(text, length, length);
        words_ += word;
        // Stored words are folded already.
        shapes_[shapeOf(text[0], text[length - 1])] |= lengthBit(length);
        std::size_t i = slot.Hash & (size - 1);
        while (slots_[i].Node != kNoKeywordNode)
            i = (i + 1) & (size - 1);
        slots_[i] = slot;
    }
}

const TEndData* TScanWords::Match(const unsigned char* at, std::int32_t len, std::int32_t avail,
                                  const TByteSet& states) const {
    const unsigned char first = fold_ ? TKeywords::foldCase(at[0]) : at[0];
    const unsigned char last = fold_ ? TKeywords::foldCase(at[len - 1]) : at[len - 1];
    if (!(shapes_[shapeOf(first, last)] & lengthBit(len)))
        return nullptr;
    const bool keyed = len <= kKeyBytes;
    const std::uint64_t key = keyed ? keyOf(at, len, avail) : 0;
    const std::uint32_t h = keyed ? hashOfKey(key, len) : hashOf(at, len);
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = h & mask; slots_[i].Node != kNoKeywordNode; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.Hash != h || slot.Length != static_cast<std::uint32_t>(len))
            continue;
        if (keyed ? slot.Key != key : !sameWord(slot, at, len))
            continue;
        // The entry of the word that the trie walk would take.
        return trie_->EntryAccepting(slot.FirstEntry, states, at[len]);
    }
    return nullptr;
}

void TScanWords::ForEachEntry(const std::function<void(const std::string&, const TEndData&)>& visit) const {
    for (const Slot& slot : slots_) {
        if (slot.Node == kNoKeywordNode)
            continue;
        const std::string word = words_.substr(slot.Offset, slot.Length);
        for (const TEndData* e = trie_->EndAt(trie_->NodeAt(slot.Node)->Ends); e; e = trie_->EndAt(e->Next))
            visit(word, *e);
    }
}

} // namespace qorvi
