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
// each, the chain links as 32-bit record numbers of the owning chain, and the
// rarely used glyphs, colours and line tracks kept by the store outside the
// record. The text and the styles share one block: the characters, then the
// styles (one per character, written by the parsing pass) as runs of
// (count, style) byte pairs, since a source line holds a few runs and a
// byte per character would double the memory of a big file. The chain
// (LineChain) resolves the links and owns the blocks; a record's address
// never changes while it lives, so controls, views and line tracks may hold
// on to it.

#include <array>
#include <cstddef>
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

    // True once the parsing pass has given the record its styles.
    bool IsStyled() const { return lenBits_ & kStyled; }
    // The style of character `at`; 0 when the record has no styles.
    std::uint8_t StyleAt(int at) const;
    // Writes the Len style bytes to `out`; false, writing nothing, when the
    // record has no styles.
    bool ReadStyles(std::uint8_t* out) const;
    // True when the record is styled with exactly the runs `runs` (as
    // EncodeStyleRuns writes them).
    bool HasStyleRuns(const std::uint8_t* runs, std::size_t bytes) const;
    // True when the record is styled with exactly the Len style bytes
    // `styles`; cheaper than encoding them to compare runs.
    bool HasStyles(const std::uint8_t* styles) const;
    // Forgets the styles (the record counts as never parsed); their room
    // stays for the next parse.
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
    static constexpr std::uint16_t kRunsStored = 0x8000; // the block holds runs after the text

    const std::uint8_t* runs() const { return reinterpret_cast<const std::uint8_t*>(data_) + Len(); }
    // Bytes of the runs stored after the text (valid or not).
    std::size_t runBytes() const;

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
    char* data_ = nullptr;           // Len text bytes, then the style runs
    std::uint32_t next_ = 0;         // record number of the next record, 0 = none
    std::uint32_t prev_ = 0;         // record number of the previous record, 0 = none
    std::uint32_t leafAndFlags_ = 0; // index leaf (bits 8-31) and Flags (bits 0-7)
    std::uint16_t lenBits_ = 0;      // Len (bits 0-11) and state bits
    std::uint16_t markBits_ = 0;
};

static_assert(sizeof(TLine) == 24, "a record must stay compact");

// Encodes `len` style bytes as runs into `out` (room for 2 * len bytes);
// returns the bytes written.
std::size_t EncodeStyleRuns(const std::uint8_t* styles, int len, std::uint8_t* out);

// The style bytes of a record, expanded for code that reads them by index.
class LineStyles {
public:
    explicit LineStyles(const TLine& line) : styled_(line.ReadStyles(bytes_.data())) {}
    // One byte per character, or null when the record has no styles.
    const std::uint8_t* data() const { return styled_ ? bytes_.data() : nullptr; }

private:
    std::array<std::uint8_t, kMaxLineLen> bytes_;
    bool styled_;
};

} // namespace qorvi
