#pragma once

// Builds parser tables in tests the way the script compiler will: words with
// their state changes, tokens for every character of their start group,
// handlers and state changes by token value. Also tokenises a text.

#include "editor/lexicon/char_group.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/rudivo_voru_parser.h"

#include <string>
#include <utility>
#include <vector>

namespace qorvi::testing {

inline TSM_CharGroup group(const std::string& notation) {
    TSM_CharGroup g;
    int pos = 1;
    if (!notation.empty())
        TSM_CharGroup_SetFromString(notation, pos, g);
    return g;
}

inline TSM_SpecRec groupSpec(TParserTables& t, const std::string& notation, bool optional = false) {
    TSM_SpecRec spec;
    spec.CharSet = t.InternGroup(group(notation));
    spec.Optional = optional;
    return spec;
}

inline TSM_SpecRec handlerSpec(int number, bool custom = false, bool optional = false) {
    TSM_SpecRec spec;
    spec.IsHandler = 1;
    spec.IsCustom = custom;
    spec.HandlerIndex = number;
    spec.Optional = optional;
    return spec;
}

inline TSM_EndsAction groupEnds(TParserTables& t, const std::vector<std::string>& notations, bool include) {
    TSM_EndsAction ends;
    ends.Include = include;
    ends.Count = static_cast<std::uint8_t>(notations.size());
    for (std::size_t i = 0; i < notations.size(); ++i)
        ends.CharSets[i] = t.InternGroup(group(notations[i]));
    return ends;
}

inline TSM_EndsAction handlerEnds(int number, bool custom = false) {
    TSM_EndsAction ends;
    ends.IsHandler = 1;
    ends.IsCustom = custom;
    ends.HandlerIndex = number;
    return ends;
}

// The state-change entry of a value gets `states` as valid states.
inline void addValidIn(TParserTables& t, std::uint8_t value, const TByteSet& states, bool withZero) {
    if (TSM_StateChanges* sc = t.StateChanges(value)) {
        sc->ValidIn |= states;
        return;
    }
    TSM_StateChanges sc;
    sc.ValidIn = states;
    if (withZero)
        sc.ValidIn.Include(0);
    t.SetStateChanges(value, sc);
}

inline void addWord(TParserTables& t, const std::string& word, std::uint8_t value,
                    const std::string& follow = "", const TByteSet& states = {0}, bool caseSensitive = true) {
    t.Keywords().Add(word, caseSensitive, group(follow), states, value);
    addValidIn(t, value, states, true);
}

inline void addHandler(TParserTables& t, std::uint8_t value, const TSM_SpecRec& continuation,
                       const TSM_EndsAction& terminator = {}) {
    t.SetHandler(value, TSM_HandlerActions{continuation, terminator});
}

// A token in the global table (state < 0) or in the table of `state`.
inline void addToken(TParserTables& t, std::uint8_t value, const std::string& start,
                     const TSM_SpecRec& continuation, const TSM_EndsAction& terminator, TByteSet states = {0},
                     int state = -1) {
    TSM_TokenActions e;
    e.Start = groupSpec(t, start);
    e.ValidStates = states;
    e.Continuation = continuation;
    e.Terminator = terminator;
    e.TokenValue = value;
    TSM_StatesTable& table =
        state < 0 ? t.StartTable() : t.EnsureStateTable(static_cast<std::uint8_t>(state));
    const TSM_CharGroup g = group(start);
    for (int c = 0; c < 256; ++c)
        if (g.ContainsChar(static_cast<std::uint8_t>(c)))
            TParserTables::SetTokenActions(table, static_cast<std::uint8_t>(c), e);
    addValidIn(t, value, states, false);
}

// A token scanned by a whole-token handler (number 10-20).
inline void addHandlerToken(TParserTables& t, std::uint8_t value, int number, const std::string& start,
                            TByteSet states = {0}, int state = -1) {
    TSM_TokenActions e;
    e.Start = groupSpec(t, start);
    e.Start.IsHandler = 1;
    e.Start.HandlerIndex = number;
    e.ValidStates = states;
    e.TokenValue = value;
    TSM_StatesTable& table =
        state < 0 ? t.StartTable() : t.EnsureStateTable(static_cast<std::uint8_t>(state));
    const TSM_CharGroup g = group(start);
    for (int c = 0; c < 256; ++c)
        if (g.ContainsChar(static_cast<std::uint8_t>(c)))
            TParserTables::SetTokenActions(table, static_cast<std::uint8_t>(c), e);
    addValidIn(t, value, states, false);
}

inline TSM_StateChanges& stateChange(TParserTables& t, std::uint8_t value) {
    if (!t.StateChanges(value)) {
        TSM_StateChanges sc;
        sc.ValidIn = {0};
        t.SetStateChanges(value, sc);
    }
    return *t.StateChanges(value);
}

// A text in a store and a scanner over it; lines break at CR.
struct Text {
    explicit Text(const std::string& text) {
        store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
        stream = store.GetTextStream(0);
    }
    TTextStore store;
    std::unique_ptr<TEdStream> stream;
};

using Tokens = std::vector<std::pair<int, std::string>>;

// Every token of `text` from ParseInit(initValue) on, as (value, characters).
inline Tokens tokenise(TRudivoVoruParser& parser, const std::string& text, std::uint8_t initValue = 0) {
    Text t(text);
    parser.ParseInit(initValue);
    Tokens tokens;
    std::int32_t pos = 0;
    while (!t.stream->yyeof()) {
        std::int32_t len = 0;
        const int value = parser.ParseStream(nullptr, *t.stream, len);
        if (len < 1 || t.stream->GetYYpos() != pos + len)
            return {{-1, "bad length at " + std::to_string(pos)}};
        tokens.emplace_back(value, text.substr(static_cast<std::size_t>(pos), static_cast<std::size_t>(len)));
        pos += len;
    }
    return tokens;
}

} // namespace qorvi::testing
