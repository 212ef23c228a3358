// Feeds arbitrary bytes to the stream readers of character groups, the group
// manager, keyword tables and the settings' keyword-table definitions (the
// first byte picks the reader). A reader must either reject the bytes with
// a QorviError or produce an object whose stream form reads back the same.

#include "editor/lexicon/char_group.h"
#include "editor/lexicon/char_group_manager.h"
#include "editor/lexicon/keyword_table_set.h"
#include "editor/lexicon/syntax_keywords.h"
#include "editor/support/memory_stream.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using namespace qorvi;

template <typename T> void roundTrip(const std::string& bytes) {
    T object;
    TMemoryStream in(bytes);
    try {
        object.LoadFromStream(in);
    } catch (const QorviError&) {
        return;
    }
    TMemoryStream first;
    object.SaveToStream(first);
    first.SetPosition(0);
    T again;
    again.LoadFromStream(first);
    TMemoryStream second;
    again.SaveToStream(second);
    if (first.DataString() != second.DataString())
        std::abort();
}

void matchAfterLoad(const std::string& bytes) {
    TSyntaxKeywords kw;
    TMemoryStream in(bytes);
    try {
        kw.LoadFromStream(in);
    } catch (const QorviError&) {
        return;
    }
    TTextStore store;
    const std::string text = "int main() { return x; }\rWHILE do_it\r";
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    kw.SetCurrentStates(TByteSet::All());
    std::int32_t len = 0, start = 0, offset = 0;
    for (int forward = 1; forward >= 0; --forward) {
        stream->SetYYpos(forward ? 0 : store.NumChars() - 1);
        for (int steps = 0; steps < 200 && !stream->yyeof(); ++steps) {
            kw.MatchStream(*stream, kw.CaseSensitive(), forward != 0, len, start, offset);
            if (!forward) {
                if (start == 0)
                    break;
                stream->SetYYpos(start - 1);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 5) {
    case 0:
        roundTrip<TSM_CharGroup>(bytes);
        break;
    case 1:
        roundTrip<TSM_CharGroupManager>(bytes);
        break;
    case 2:
        roundTrip<TSyntaxKeywords>(bytes);
        break;
    case 3:
        matchAfterLoad(bytes);
        break;
    default: {
        KeywordTableSet set;
        TMemoryStream in(bytes);
        try {
            set.LoadFromStream(in);
        } catch (const QorviError&) {
        }
        break;
    }
    }
    return 0;
}
