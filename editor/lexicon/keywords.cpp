#include "editor/lexicon/keywords.h"

#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/ed_stream.h"

#include <utility>

namespace qorvi {
namespace {

constexpr std::uint64_t childKey(std::uint32_t parent, unsigned char c) {
    return ((std::uint64_t{parent} + 1) << 8) | c;
}

// A neighbour outside the text (its start or end) is a line break.
constexpr unsigned char kOutsideText = '\r';

} // namespace

TKeywords::TKeywords() {
    first_.fill(kNoKeywordNode);
    groups_.IdOfSet(TSM_CharGroup());
}

TKeywords::~TKeywords() {
    killEntries();
}

std::uint32_t TKeywords::findChild(std::uint32_t parent, unsigned char c) const {
    if (childIndex_.empty())
        return kNoKeywordNode;
    const std::uint64_t key = childKey(parent, c);
    const std::size_t mask = childIndex_.size() - 1;
    std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> childShift_);
    for (;;) {
        const std::uint64_t entry = childIndex_[slot];
        if (entry == 0)
            return kNoKeywordNode;
        if ((entry >> 32) == key)
            return static_cast<std::uint32_t>(entry);
        slot = (slot + 1) & mask;
    }
}

void TKeywords::growChildIndex() {
    std::vector<std::uint64_t> old = std::move(childIndex_);
    const std::size_t size = old.empty() ? 64 : old.size() * 2;
    childIndex_.assign(size, 0);
    childShift_ = static_cast<std::uint32_t>(64 - __builtin_ctzll(size));
    const std::size_t mask = size - 1;
    for (std::uint64_t entry : old) {
        if (entry == 0)
            continue;
        std::size_t slot = static_cast<std::size_t>(((entry >> 32) * 0x9E3779B97F4A7C15ull) >> childShift_);
        while (childIndex_[slot] != 0)
            slot = (slot + 1) & mask;
        childIndex_[slot] = entry;
    }
}

void TKeywords::indexChild(std::uint32_t parent, unsigned char c, std::uint32_t child) {
    // Keep the index at most half full so probes stay short.
    if ((nodes_.size() + 1) * 2 > childIndex_.size())
        growChildIndex();
    const std::uint64_t key = childKey(parent, c);
    const std::size_t mask = childIndex_.size() - 1;
    std::size_t slot = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> childShift_);
    while (childIndex_[slot] != 0)
        slot = (slot + 1) & mask;
    childIndex_[slot] = (key << 32) | child;
}

std::uint32_t TKeywords::NewTreeNode(unsigned char c) {
    // Keys hold the parent index in 24 bits.
    if (nodes_.size() >= 0xFFFFFEu)
        throw EKeywords(kMsgNotEnoughMemory);
    TKeywordNode node;
    node.Character = c;
    nodes_.push_back(node);
    return static_cast<std::uint32_t>(nodes_.size() - 1);
}

std::uint32_t TKeywords::GetNode(std::uint32_t parent, unsigned char c) {
    std::uint32_t head = parent == kNoKeywordNode ? root_ : nodes_[parent].Child;
    std::uint32_t prev = kNoKeywordNode;
    std::uint32_t cur = head;
    while (cur != kNoKeywordNode && nodes_[cur].Character < c) {
        prev = cur;
        cur = nodes_[cur].Sibling;
    }
    if (cur != kNoKeywordNode && nodes_[cur].Character == c)
        return cur;
    const std::uint32_t made = NewTreeNode(c);
    nodes_[made].Sibling = cur;
    if (prev != kNoKeywordNode)
        nodes_[prev].Sibling = made;
    else if (parent == kNoKeywordNode)
        root_ = made;
    else
        nodes_[parent].Child = made;
    if (parent == kNoKeywordNode) {
        if (first_[c] == kNoKeywordNode)
            first_[c] = made;
    } else {
        indexChild(parent, c, made);
    }
    return made;
}

void TKeywords::Add(std::string_view Keyword, bool CaseSensitive, const TSM_CharGroup& CharGroup,
                    const TByteSet& States, std::intptr_t Data) {
    if (Keyword.empty())
        return;
    caseSensitive_ = CaseSensitive;
    std::string word(Keyword);
    if (!CaseSensitive)
        for (char& ch : word)
            ch = static_cast<char>(foldCase(static_cast<unsigned char>(ch)));

    // Everything that can refuse the word is checked before the trie changes.
    const int known = groups_.FindSet(CharGroup);
    if (known > 255 || (known < 0 && groups_.Count() > 255))
        throw EKeywords(kMsgTooManyKeywordGroups);
    std::uint32_t existing = first_[static_cast<unsigned char>(word[0])];
    for (std::size_t i = 1; i < word.size() && existing != kNoKeywordNode; ++i)
        existing = findChild(existing, static_cast<unsigned char>(word[i]));
    if (existing != kNoKeywordNode)
        for (std::uint32_t e = nodes_[existing].Ends; e != kNoEndData; e = ends_[e].Next)
            if (ends_[e].States.Meets(States))
                throw EKeywords(formatMsg(kMsgDuplicateKeyword, std::string(Keyword)));

    std::uint32_t node = kNoKeywordNode;
    for (char ch : word) {
        node = GetNode(node, static_cast<unsigned char>(ch));
        nodes_[node].States |= States;
    }
    TEndData entry;
    entry.States = States;
    entry.Accepted = CharGroup.AcceptedChars();
    entry.Data = Data;
    entry.CharGroup = static_cast<std::uint8_t>(groups_.IdOfSet(CharGroup));
    ends_.push_back(entry);
    const auto made = static_cast<std::uint32_t>(ends_.size() - 1);
    std::uint32_t* link = &nodes_[node].Ends;
    while (*link != kNoEndData)
        link = &ends_[*link].Next;
    *link = made;
}

const TKeywordNode* TKeywords::MatchKeyword(std::string_view Keyword, bool CaseSensitive) const {
    if (Keyword.empty())
        return nullptr;
    auto fold = [&](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return CaseSensitive ? c : foldCase(c);
    };
    std::uint32_t node = first_[fold(Keyword[0])];
    if (node == kNoKeywordNode)
        return nullptr;
    for (std::size_t i = 1; i < Keyword.size(); ++i) {
        const std::uint32_t child = findChild(node, fold(Keyword[i]));
        if (child == kNoKeywordNode)
            break;
        node = child;
    }
    return &nodes_[node];
}

bool TKeywords::MatchInPlace(const unsigned char* at, std::int32_t avail, bool CaseSensitive,
                             const TByteSet& states, const TEndData*& best, std::int32_t& bestLen) const {
    best = nullptr;
    bestLen = 0;
    std::int32_t len = 0;
    std::uint32_t n = first_[CaseSensitive ? at[0] : foldCase(at[0])];
    while (n != kNoKeywordNode) {
        const TKeywordNode& node = nodes_[n];
        if (!node.States.Meets(states))
            return true;
        ++len;
        // The character after the word is needed to accept it; past the
        // record it may be another record's or the end of the text. A last
        // word whose entry takes any character (a line break as a word)
        // needs no look at it.
        if (len >= avail) {
            if (node.Child != kNoKeywordNode)
                return false;
            for (std::uint32_t e = node.Ends; e != kNoEndData; e = ends_[e].Next) {
                const TEndData& entry = ends_[e];
                if (entry.States.Meets(states)) {
                    if (entry.Accepted != TByteSet::All())
                        return false;
                    best = &entry;
                    bestLen = len;
                    return true;
                }
            }
            return true;
        }
        const unsigned char next = at[len];
        if (const TEndData* entry = EntryAccepting(node.Ends, states, next)) {
            best = entry;
            bestLen = len;
        }
        if (node.Child == kNoKeywordNode)
            return true;
        n = findChild(n, CaseSensitive ? next : foldCase(next));
    }
    return true;
}

const TEndData* TKeywords::MatchStream(TEdStream& Stream, bool CaseSensitive, bool Forward,
                                       std::int32_t& MatchLen, std::int32_t& StartPos,
                                       std::int32_t& StartOffset) const {
    StartPos = Stream.GetYYpos();
    StartOffset = Stream.OffsetInLine();
    MatchLen = 0;
    const TEndData* best = nullptr;
    std::int32_t bestLen = 0;
    std::int32_t len = 0;

    if (Forward) {
        const unsigned char* at;
        const std::int32_t avail = Stream.Span(at);
        // A word that ends inside the current record (nearly all): its
        // characters are read in place and the scanner moves once.
        if (avail > 0) {
            if (MatchInPlace(at, avail, CaseSensitive, currentStates_, best, bestLen)) {
                if (best) {
                    MatchLen = bestLen;
                    Stream.Skip(bestLen);
                    return best;
                }
                MatchLen = 1;
                Stream.Skip(1);
                return nullptr;
            }
            // The walk reached the record's end: the general walk below
            // takes it again from the start.
            best = nullptr;
            bestLen = 0;
        }
    }

    const unsigned char c = Stream.GetYYchar();
    if (c != 0 || !Stream.yyeof()) {
        std::uint32_t n = first_[CaseSensitive ? c : foldCase(c)];
        while (n != kNoKeywordNode) {
            const TKeywordNode& node = nodes_[n];
            if (!node.States.Meets(currentStates_))
                break;
            bool outside;
            unsigned char next;
            if (Forward) {
                Stream.yyadvance();
                // The scanner reads 0 past the end; only then is the end test needed.
                next = Stream.GetYYchar();
                outside = next == 0 && Stream.yyeof();
            } else {
                // At the text's start there is nothing to step back to.
                outside = Stream.GetYYpos() == 0;
                next = 0;
                if (!outside) {
                    Stream.yyretard();
                    next = Stream.GetYYchar();
                }
            }
            ++len;
            if (outside)
                next = kOutsideText;
            if (const TEndData* entry = EntryAccepting(node.Ends, currentStates_, next)) {
                best = entry;
                bestLen = len;
            }
            if (outside || node.Child == kNoKeywordNode)
                break;
            n = findChild(n, CaseSensitive ? next : foldCase(next));
        }
    }

    if (best) {
        MatchLen = bestLen;
        if (Forward) {
            if (bestLen != len)
                Stream.SetYYpos(StartPos + bestLen);
        } else {
            Stream.SetYYpos(StartPos - bestLen + 1);
        }
        return best;
    }
    MatchLen = 1;
    if (len != 0 || !Forward) {
        if (Forward && len == 1)
            return nullptr; // already one past the start
        Stream.SetYYpos(StartPos);
    }
    Stream.yyadvance();
    return nullptr;
}

void TKeywords::killEntries() {
    if (!onKill_ || root_ == kNoKeywordNode)
        return;
    // For each node: its sibling chain first, then its children, then its own
    // entries from the last to the first. Iterative, so a long word or a wide
    // level cannot exhaust the stack.
    struct Frame {
        std::uint32_t node;
        bool expanded;
    };
    std::vector<Frame> stack{{root_, false}};
    std::vector<std::uint32_t> entries;
    while (!stack.empty()) {
        Frame& top = stack.back();
        const std::uint32_t n = top.node;
        if (!top.expanded) {
            top.expanded = true;
            // Pushed in reverse: the sibling chain is handled before the children.
            if (nodes_[n].Child != kNoKeywordNode)
                stack.push_back({nodes_[n].Child, false});
            if (nodes_[n].Sibling != kNoKeywordNode)
                stack.push_back({nodes_[n].Sibling, false});
            continue;
        }
        stack.pop_back();
        entries.clear();
        for (std::uint32_t e = nodes_[n].Ends; e != kNoEndData; e = ends_[e].Next)
            entries.push_back(e);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it)
            onKill_(ends_[*it].Data);
    }
}

void TKeywords::Clear() {
    killEntries();
    nodes_.clear();
    ends_.clear();
    first_.fill(kNoKeywordNode);
    root_ = kNoKeywordNode;
    childIndex_.clear();
    childShift_ = 32;
    groups_.Clear();
    caseSensitive_ = false;
}

void TKeywords::takeTrie(TKeywords& other) {
    TKeywords::Clear();
    nodes_ = std::move(other.nodes_);
    ends_ = std::move(other.ends_);
    first_ = other.first_;
    root_ = other.root_;
    childIndex_ = std::move(other.childIndex_);
    childShift_ = other.childShift_;
    groups_.Clear();
    std::swap(groups_, other.groups_);
    caseSensitive_ = other.caseSensitive_;
    other.nodes_.clear();
    other.ends_.clear();
    other.first_.fill(kNoKeywordNode);
    other.root_ = kNoKeywordNode;
    other.childIndex_.clear();
}

void TKeywords::ForEachEntry(const std::function<void(const std::string&, const TEndData&)>& visit) const {
    struct Frame {
        std::uint32_t node;
        std::size_t depth;
    };
    std::vector<Frame> stack;
    if (root_ != kNoKeywordNode)
        stack.push_back({root_, 0});
    std::string word;
    while (!stack.empty()) {
        const Frame f = stack.back();
        stack.pop_back();
        const TKeywordNode& node = nodes_[f.node];
        word.resize(f.depth);
        word.push_back(static_cast<char>(node.Character));
        for (std::uint32_t e = node.Ends; e != kNoEndData; e = ends_[e].Next)
            visit(word, ends_[e]);
        if (node.Sibling != kNoKeywordNode)
            stack.push_back({node.Sibling, f.depth});
        if (node.Child != kNoKeywordNode)
            stack.push_back({node.Child, f.depth + 1});
    }
}

void TKeywords::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, caseSensitive_ ? 1 : 0);
    SWriteLongint(stream, static_cast<std::int32_t>(ends_.size()));
    ForEachEntry([&](const std::string& word, const TEndData& entry) {
        SWriteShortString(stream, word);
        groups_.GetCharSet(entry.CharGroup).SaveToStream(stream);
        SWriteSet(stream, entry.States);
        SWriteLongint(stream, static_cast<std::int32_t>(entry.Data));
    });
    SWriteShortString(stream, "");
}

void TKeywords::LoadFromStream(TStream& stream) {
    TKeywords loaded;
    readEntries(stream, loaded);
    takeTrie(loaded);
}

void TKeywords::readEntries(TStream& stream, TKeywords& target) {
    const bool caseSensitive = SReadLongint(stream) != 0;
    const std::int32_t count = SReadLongint(stream);
    target.caseSensitive_ = caseSensitive;
    TSM_CharGroup group;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string word = SReadShortString(stream);
        if (word.empty())
            return;
        group.LoadFromStream(stream);
        const TByteSet states = SReadSet(stream);
        const std::int32_t data = SReadLongint(stream);
        target.Add(word, caseSensitive, group, states, data);
    }
    // After the counted entries only the empty terminator may follow.
    if (!SReadShortString(stream).empty())
        throw EStreamError(kMsgInvalidStreamData);
}

} // namespace qorvi
