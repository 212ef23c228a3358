#pragma once

// The records of a parser's tables, as the script compiler fills them and
// the compiled image carries them. Character groups are referred to by their
// 16-bit id in the keyword table's group manager.

#include "editor/support/byte_set.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi {

// A character specifier: a character group, or a handler (predefined slot
// or custom match). Used as a token's start and as a continuation.
struct TSM_SpecRec {
    // Set when the script wrote `?` after the continuation: the terminator is
    // then tried before the first continuation step.
    std::uint8_t Optional = 0;
    std::uint16_t CharSet = 0;
    std::uint8_t IsHandler = 0;
    std::uint8_t IsCustom = 0;
    std::int32_t HandlerIndex = 0;

    bool operator==(const TSM_SpecRec&) const = default;
};

// A terminator: up to four character groups matched in sequence, or a handler.
struct TSM_EndsAction {
    static constexpr int kMaxCharSets = 4;

    // Set when the characters matched by the terminator belong to the token.
    std::uint8_t Include = 0;
    std::uint8_t IsHandler = 0;
    std::uint8_t Count = 0;
    std::array<std::uint16_t, kMaxCharSets> CharSets{};
    std::uint8_t IsCustom = 0;
    std::int32_t HandlerIndex = 0;

    // A terminator is present when it is a handler or names a group.
    bool Present() const { return IsHandler != 0 || Count > 0; }
    bool operator==(const TSM_EndsAction&) const = default;
};

// How a token found by a keyword continues (one per token value).
struct TSM_HandlerActions {
    TSM_SpecRec Continuation;
    TSM_EndsAction Terminator;

    bool operator==(const TSM_HandlerActions&) const = default;
};

// How a token that starts with a given character is scanned.
struct TSM_TokenActions {
    TSM_SpecRec Start;
    TByteSet ValidStates;
    TSM_SpecRec Continuation;
    TSM_EndsAction Terminator;
    std::uint8_t TokenValue = 0;

    bool operator==(const TSM_TokenActions&) const = default;
};

// Stack operations of a state change; at most one is set.
inline constexpr std::uint8_t kPushBefore = 1;
inline constexpr std::uint8_t kPopBefore = 2;
inline constexpr std::uint8_t kPushAfter = 4;
inline constexpr std::uint8_t kPopAfter = 8;

// The states a token value is valid in and the change it makes.
struct TSM_StateChanges {
    static constexpr int kStreamBytes = 3 * TByteSet::kBytes + 3;

    TByteSet ValidIn;
    TByteSet Enter;
    TByteSet Leave;
    std::uint8_t IsContainer = 0;
    // Set when Enter and Leave are both empty (or were discarded).
    std::uint8_t NoChange = 1;
    std::uint8_t StackOps = 0;

    bool operator==(const TSM_StateChanges&) const = default;
};

// A range of a start table that does not fit the 256 one-byte slots.
struct TSM_WideActions {
    std::uint16_t Lo = 0;
    std::uint16_t Hi = 0;
    std::unique_ptr<TSM_TokenActions> Actions;
};

// A start table: the token actions by first character, plus the range list.
struct TSM_StatesTable {
    std::array<std::unique_ptr<TSM_TokenActions>, 256> Slots;
    std::vector<TSM_WideActions> Wide;

    void Clear();
};

} // namespace qorvi
