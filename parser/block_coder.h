#pragma once

// The block method of the compressor: an LZ coder with a 4096-byte window,
// one hash probe per position, copies of 3-18 bytes and runs of 16-4095
// equal bytes. Each block of at most 32768 input bytes is coded on its own;
// a block whose coding would be longer than its input is stored instead.
// Compressed parser images must stay byte-identical, so the encoder follows
// its steps exactly (hash, probe order, when the control word is flushed).
//
// The decoder trusts nothing: every item must lie inside the block, every
// copy must refer to bytes the block has already produced, and a block may
// not produce more than 32768 bytes.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qorvi {

inline constexpr std::size_t kBlockSize = 32768;
// The longest block data: a stored full block (kind byte + 32768 bytes).
inline constexpr std::size_t kMaxBlockData = kBlockSize + 1;

inline constexpr std::uint8_t kBlockStored = 0x80;
inline constexpr std::uint8_t kBlockCompressed = 0x40;

// Codes `n` bytes (n <= kBlockSize) of `input` into `out`, which is replaced.
void compressBlock(const std::uint8_t* input, std::size_t n, std::string& out);

// Decodes one block's data and appends the bytes to `out`. Returns false
// (with `out` holding some of the block) when the data is malformed.
bool decompressBlock(const std::uint8_t* data, std::size_t length, std::string& out);

} // namespace qorvi
