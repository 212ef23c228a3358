#include "editor/lexicon/syntax_keywords.h"

#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"

namespace qorvi {

void TSyntaxKeywords::Add(std::string_view Keyword, bool CaseSensitive, const TSM_CharGroup& CharGroup,
                          const TByteSet& States, std::intptr_t Data) {
    if (Keyword.empty())
        return;
    if (Keyword.size() > 255)
        throw EKeywords(formatMsg(kMsgKeywordTooLong, std::string(Keyword)));
    // The trie refuses duplicates; record the word only once it is in.
    TKeywords::Add(Keyword, CaseSensitive, CharGroup, States, Data);
    words_.emplace_back(std::string(Keyword), std::make_unique<TEndStyleObject>(
                                                  CharGroup, States, static_cast<std::int32_t>(Data)));
}

void TSyntaxKeywords::Clear() {
    TKeywords::Clear();
    words_.clear();
}

void TSyntaxKeywords::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, CaseSensitive() ? 1 : 0);
    SWriteLongint(stream, static_cast<std::int32_t>(words_.size()));
    for (const auto& [word, entry] : words_) {
        SWriteShortString(stream, word);
        entry->CharGroup.SaveToStream(stream);
        SWriteSet(stream, entry->States);
        SWriteLongint(stream, entry->Data);
    }
    SWriteShortString(stream, "");
}

void TSyntaxKeywords::LoadFromStream(TStream& stream) {
    TSyntaxKeywords loaded;
    readEntries(stream, loaded);
    takeTrie(loaded);
    words_ = std::move(loaded.words_);
}

} // namespace qorvi
