#pragma once

// The items of the undo history. Each is a record of four words - a phase,
// a type and two values - and, for texts and streams, the characters:
//   range  (type 0): anchor and caret
//   text   (type 1): characters removed or inserted (may be empty)
//   stream (type 4): imported data
//   marker (type 5): the record kind (phase 0) or the transaction code
//                    (phase 2 at a transaction's begin, 3 at its end)
// Records are pushed bottom to top as
//   replace (kind 1): marker · range before · text removed · text inserted ·
//                     range after · marker
//   import  (kind 4): marker · range before · text removed · stream · range
//                     after · marker
//   transaction:      marker · selection · marker (begin, then end)
// Block indent and unindent write one replace-shaped record per line.
//
// An item is stored packed: a tag byte (markers with small codes are that
// byte alone) and the values as base-128 numbers, so that typing one
// character costs about fifty bytes of history.

#include "editor/support/ch_range.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvi {

enum TUndoItemType : std::int32_t { uitRange = 0, uitText = 1, uitStream = 4, uitMarker = 5 };

// Marker phases.
inline constexpr std::int32_t kUndoPhaseRecord = 0;
inline constexpr std::int32_t kUndoPhaseBegin = 2;
inline constexpr std::int32_t kUndoPhaseEnd = 3;

// Record kinds (the value of a phase-0 marker).
inline constexpr std::int32_t kUndoKindReplace = 1;
inline constexpr std::int32_t kUndoKindImport = 4;

// Transaction codes: what opened the transaction.
enum TUndoTransaction : std::int32_t {
    utDrop = 13,   // text dropped on the control
    utTyping = 14, // a typed character, auto-indent padding, smart tab
    utDelete = 15, // caDELETE, caBACKSPACE
    utPaste = 16,
    utCut = 17,
    utExpansion = 18, // template or auto-replace expansion
    utBlockIndent = 19,
    utBlockUndent = 20,
    utDelPrevWord = 21,
    utDelNextWord = 22,
    utReplace = 23,    // replace in find and replace
    utReplaceSel = 24, // every replace-selection
};

struct TUndoItem {
    std::int32_t Phase = 0;
    TUndoItemType Type = uitRange;
    std::int32_t Value1 = 0;
    std::int32_t Value2 = 0;
    std::string Text;

    static TUndoItem Range(const TChRange& range) { return {0, uitRange, range.chStart, range.chEnd, {}}; }
    static TUndoItem Chars(std::string_view text) { return {0, uitText, 0, 0, std::string(text)}; }
    static TUndoItem Stream(std::string_view data) { return {0, uitStream, 0, 0, std::string(data)}; }
    static TUndoItem Marker(std::int32_t phase, std::int32_t value) {
        return {phase, uitMarker, value, 0, {}};
    }

    TChRange AsRange() const { return {Value1, Value2}; }
    bool IsMarker(std::int32_t phase) const { return Type == uitMarker && Phase == phase; }
    bool operator==(const TUndoItem&) const = default;
};

// The packed form, and back. Decoding raises ERudivoVoru "Bad do/undo stack
// state" for bytes that are no item.
std::string EncodeUndoItem(const TUndoItem& item);
TUndoItem DecodeUndoItem(std::string_view bytes);

} // namespace qorvi
