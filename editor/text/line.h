#pragma once

// One stored line record of the text store.
//
// A record holds at most 2047 characters. A text line ends at a record whose
// last character is CR; a longer run is cut into several records, and each
// record that follows one not ending in CR carries the continuation mark
// 0x1000 in MarkBits. The cap keeps every edit, every repaint and every
// re-parse of a row bounded, whatever the file.
//
// Records are compact because a large file has millions of them: 24 bytes
// each, with the text and the style bytes (one per character, written by the
// parsing pass) in one block, the chain links as 32-bit record numbers of the
// owning chain, and the rarely used glyphs, colours and line tracks kept by
// the store outside the record. The chain (LineChain) resolves the links; a
// record's address never changes while it lives, so controls, views and line
// tracks may hold on to it.

#include <cstdint>
#include <string_view>

namespace qorvi {

inline constexpr int kMaxLineLen = 2047;

// Flags bits.
inline constexpr std::uint32_t lfRepaint = 1;     // the record must be repainted
inline constexpr std::uint32_t lfChanged = 2;     // text changed, not parsed since
inline constexpr std::uint32_t lfHasTab = 4;      // holds a TAB
inline constexpr std::uint32_t lfParseStart = 16; // parsing was requested from here

// MarkBits bits.
inline constexpr std::uint16_t kBookmarkMask = 0x03FF;
inline constexpr std::uint16_t kContinuationMark = 0x1000;

class TLine {
public:
    // Characters in Text, the terminating CR included.
    std::uint16_t Len() const { return lenBits_ & kLenMask; }
    // Exactly Len characters are significant; there is no terminating NUL.
    const char* Text() const { return data_; }
    std::string_view View() const { return {data_, Len()}; }
    bool EndsWithCR() const { return Len() > 0 && data_[Len() - 1] == '\r'; }

    // One style byte per character, or null until the record has been parsed.
    const std::uint8_t* Styles() const {
        return (lenBits_ & kStyled) ? reinterpret_cast<const std::uint8_t*>(data_) + Len() : nullptr;
    }
    std::uint8_t* Styles() {
        return (lenBits_ & kStyled) ? reinterpret_cast<std::uint8_t*>(data_) + Len() : nullptr;
    }
    // The style bytes, created zeroed when the record has none yet. The room
    // is always there, so this never allocates.
    std::uint8_t* EnsureStyles();
    // Forgets the style bytes (the record counts as never parsed).
    void DropStyles() { lenBits_ &= static_cast<std::uint16_t>(~kStyled); }

    // Only the low eight bits are kept; every defined flag lives there.
    std::uint32_t Flags() const { return leafAndFlags_ & 0xFF; }
    void SetFlags(std::uint32_t flags) { leafAndFlags_ = (leafAndFlags_ & ~0xFFu) | (flags & 0xFF); }
    void AddFlags(std::uint32_t flags) { SetFlags(Flags() | flags); }
    void ClearFlags(std::uint32_t flags) { SetFlags(Flags() & ~flags); }

    std::uint16_t MarkBits() const { return markBits_; }
    void SetMarkBits(std::uint16_t bits) { markBits_ = bits; }
    bool IsContinuation() const { return markBits_ & kContinuationMark; }

private:
    friend class LineChain;
    friend class LineTextAllocator;

    static constexpr std::uint16_t kLenMask = 0x0FFF;
    static constexpr std::uint16_t kStyled = 0x1000;
    static constexpr std::uint16_t kHasExtras = 0x2000; // glyphs, colours or tracks kept by the store
    static constexpr std::uint16_t kArenaText = 0x4000; // text block lives in the bulk arena

    std::uint32_t leaf() const { return leafAndFlags_ >> 8; }
    void setLeaf(std::uint32_t leaf) { leafAndFlags_ = (leaf << 8) | (leafAndFlags_ & 0xFF); }
    void setLen(std::uint16_t len) { lenBits_ = static_cast<std::uint16_t>((lenBits_ & ~kLenMask) | len); }
    bool hasBit(std::uint16_t bit) const { return lenBits_ & bit; }
    void setBit(std::uint16_t bit, bool on) {
        lenBits_ = static_cast<std::uint16_t>(on ? (lenBits_ | bit) : (lenBits_ & ~bit));
    }

public:
    bool HasExtras() const { return hasBit(kHasExtras); }

private:
    char* data_ = nullptr;           // Len text bytes, then Len style bytes
    std::uint32_t next_ = 0;         // record number of the next record, 0 = none
    std::uint32_t prev_ = 0;         // record number of the previous record, 0 = none
    std::uint32_t leafAndFlags_ = 0; // index leaf (bits 8-31) and Flags (bits 0-7)
    std::uint16_t lenBits_ = 0;      // Len (bits 0-11) and state bits
    std::uint16_t markBits_ = 0;
};

static_assert(sizeof(TLine) == 24, "a record must stay compact");

} // namespace qorvi
