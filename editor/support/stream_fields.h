#pragma once

// The field routines shared by every stream form of the editor's data
// objects (character groups, keyword tables, templates, the key map, the
// settings) and of the compiled parser image. Integers are little-endian
// whatever the host. Booleans have two forms: four bytes in the parser image
// and the key-table parts of the settings (SWriteBoolean), one byte where a
// form says so (SWriteByteBoolean).
//
// Readers never trust the stream: a short read raises EStreamError "Stream
// read error", and a count or length that cannot fit in the bytes left (or is
// negative) raises EStreamError "Invalid data in stream" before anything is
// allocated for it.

#include "editor/support/byte_set.h"
#include "editor/support/stream.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvi {

inline constexpr const char* kMsgStreamReadError = "Stream read error";
inline constexpr const char* kMsgInvalidStreamData = "Invalid data in stream";
inline constexpr const char* kMsgShortStringTooLong =
    "String too long for a short string field (%d characters)";

void SWriteByte(TStream& stream, std::uint8_t value);
std::uint8_t SReadByte(TStream& stream);
void SWriteChar(TStream& stream, char value);
char SReadChar(TStream& stream);
void SWriteWord(TStream& stream, std::uint16_t value);
std::uint16_t SReadWord(TStream& stream);
void SWriteLongint(TStream& stream, std::int32_t value);
std::int32_t SReadLongint(TStream& stream);

// Four bytes: the value as a 32-bit integer (masked with 0x7F); any non-zero
// value reads as true.
void SWriteBoolean(TStream& stream, bool value);
bool SReadBoolean(TStream& stream);
// One byte, 0 or 1; any non-zero value reads as true.
void SWriteByteBoolean(TStream& stream, bool value);
bool SReadByteBoolean(TStream& stream);

// A 32-bit length, then the bytes (no terminator).
void SWriteString(TStream& stream, std::string_view value);
std::string SReadString(TStream& stream);
// A length byte, then the bytes. Writing more than 255 bytes raises
// EStreamError: a silently cut field would read back as different data.
void SWriteShortString(TStream& stream, std::string_view value);
std::string SReadShortString(TStream& stream);

// The 32-byte form of a state or character set.
void SWriteSet(TStream& stream, const TByteSet& set);
TByteSet SReadSet(TStream& stream);

// Bytes between the position and the end of the stream.
std::int64_t SBytesLeft(TStream& stream);
// Reads a 32-bit count of items that take at least `minItemBytes` each and
// checks that so many can follow.
std::int32_t SReadCount(TStream& stream, std::int64_t minItemBytes);
// Raises the corrupt-data error unless `needed` bytes are left.
void SCheckBytesLeft(TStream& stream, std::int64_t needed);

} // namespace qorvi
