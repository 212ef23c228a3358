#include "editor/lexicon/keyword_table_set.h"

#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

namespace qorvi {

int KeywordTableSet::Count() const {
    int count = 0;
    for (const auto& slot : slots_)
        count += slot ? 1 : 0;
    return count;
}

void KeywordTableSet::Clear() {
    for (auto& slot : slots_)
        slot.reset();
    trie_.reset();
}

void KeywordTableSet::DefineKeywordTable(const TByteSet& States, const std::string& TerminatorText,
                                         bool CaseSensitive, const KeywordWordList& Words) {
    TByteSet states = States;
    if (states.IsEmpty())
        states = TByteSet{0};

    std::size_t target = slots_.size();
    for (std::size_t i = 0; i < slots_.size(); ++i) {
        if (!slots_[i] || !slots_[i]->States.Meets(states))
            continue;
        if (slots_[i]->States != states)
            throw EKeywords(kMsgAmbiguousKeyTable);
        target = i;
        break;
    }
    if (target == slots_.size())
        for (std::size_t i = 0; i < slots_.size() && target == slots_.size(); ++i)
            if (!slots_[i])
                target = i;
    if (target == slots_.size())
        throw EKeywords(kMsgTooManyKeywordTables);

    auto def = std::make_unique<KeywordTableDef>();
    def->States = states;
    def->Terminator = TerminatorText;
    def->CaseSensitive = CaseSensitive;
    def->Words = Words;
    std::unique_ptr<KeywordTableDef> previous = std::move(slots_[target]);
    slots_[target] = std::move(def);
    try {
        InvalidateKeywordTrie();
    } catch (...) {
        slots_[target] = std::move(previous);
        InvalidateKeywordTrie();
        throw;
    }
}

void KeywordTableSet::InvalidateKeywordTrie() {
    // Built aside so that a failure leaves the old trie in place.
    std::unique_ptr<TKeywords> trie;
    for (const auto& slot : slots_) {
        if (!slot || slot->Words.empty())
            continue;
        TSM_CharGroup terminator;
        if (slot->Terminator.empty()) {
            terminator.AddCharSet(TByteSet::All());
        } else {
            int pos = 1;
            TSM_CharGroup_SetFromString(slot->Terminator, pos, terminator);
        }
        for (const auto& [word, data] : slot->Words) {
            if (word.empty())
                continue;
            if (!trie)
                trie = std::make_unique<TKeywords>();
            trie->Add(word, slot->CaseSensitive, terminator, slot->States, data);
        }
    }
    trie_ = std::move(trie);
}

void KeywordTableSet::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, Count());
    for (const auto& slot : slots_) {
        if (!slot)
            continue;
        SWriteSet(stream, slot->States);
        SWriteString(stream, slot->Terminator);
        SWriteLongint(stream, slot->CaseSensitive ? 1 : 0);
        SWriteLongint(stream, static_cast<std::int32_t>(slot->Words.size()));
        for (const auto& [word, data] : slot->Words) {
            SWriteString(stream, word);
            SWriteLongint(stream, static_cast<std::int32_t>(data));
        }
    }
}

void KeywordTableSet::LoadFromStream(TStream& stream) {
    // A table takes at least its states, an empty terminator, the flag and the count.
    constexpr std::int64_t kMinTableBytes = 32 + 4 + 4 + 4;
    constexpr std::int64_t kMinWordBytes = 4 + 4;
    KeywordTableSet loaded;
    const std::int32_t count = SReadCount(stream, kMinTableBytes);
    for (std::int32_t t = 0; t < count; ++t) {
        const TByteSet states = SReadSet(stream);
        const std::string terminator = SReadString(stream);
        const bool caseSensitive = SReadLongint(stream) != 0;
        const std::int32_t wordCount = SReadCount(stream, kMinWordBytes);
        KeywordWordList words;
        words.reserve(static_cast<std::size_t>(wordCount));
        for (std::int32_t w = 0; w < wordCount; ++w) {
            std::string word = SReadString(stream);
            words.emplace_back(std::move(word), SReadLongint(stream));
        }
        loaded.DefineKeywordTable(states, terminator, caseSensitive, words);
    }
    slots_ = std::move(loaded.slots_);
    trie_ = std::move(loaded.trie_);
}

} // namespace qorvi
