#include "editor/support/stream_fields.h"

#include "editor/support/message_format.h"

#include <array>

namespace qorvi {
namespace {

void readExactly(TStream& stream, void* buffer, std::int64_t count) {
    if (count > 0 && stream.Read(buffer, count) != count)
        throw EStreamError(kMsgStreamReadError);
}

void writeExactly(TStream& stream, const void* buffer, std::int64_t count) {
    stream.WriteBuffer(buffer, count);
}

[[noreturn]] void corrupt() {
    throw EStreamError(kMsgInvalidStreamData);
}

} // namespace

void SWriteByte(TStream& stream, std::uint8_t value) {
    writeExactly(stream, &value, 1);
}

std::uint8_t SReadByte(TStream& stream) {
    std::uint8_t value = 0;
    readExactly(stream, &value, 1);
    return value;
}

void SWriteChar(TStream& stream, char value) {
    writeExactly(stream, &value, 1);
}

char SReadChar(TStream& stream) {
    char value = 0;
    readExactly(stream, &value, 1);
    return value;
}

void SWriteWord(TStream& stream, std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    writeExactly(stream, bytes, 2);
}

std::uint16_t SReadWord(TStream& stream) {
    std::uint8_t bytes[2];
    readExactly(stream, bytes, 2);
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

void SWriteLongint(TStream& stream, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                                   static_cast<std::uint8_t>(u >> 16), static_cast<std::uint8_t>(u >> 24)};
    writeExactly(stream, bytes, 4);
}

std::int32_t SReadLongint(TStream& stream) {
    std::uint8_t bytes[4];
    readExactly(stream, bytes, 4);
    const std::uint32_t u = bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(u);
}

void SWriteBoolean(TStream& stream, bool value) {
    SWriteLongint(stream, static_cast<std::int32_t>(value) & 0x7F);
}

bool SReadBoolean(TStream& stream) {
    return SReadLongint(stream) != 0;
}

void SWriteByteBoolean(TStream& stream, bool value) {
    SWriteByte(stream, value ? 1 : 0);
}

bool SReadByteBoolean(TStream& stream) {
    return SReadByte(stream) != 0;
}

void SWriteString(TStream& stream, std::string_view value) {
    SWriteLongint(stream, static_cast<std::int32_t>(value.size()));
    writeExactly(stream, value.data(), static_cast<std::int64_t>(value.size()));
}

std::string SReadString(TStream& stream) {
    const std::int32_t length = SReadCount(stream, 1);
    std::string value(static_cast<std::size_t>(length), '\0');
    readExactly(stream, value.data(), length);
    return value;
}

void SWriteShortString(TStream& stream, std::string_view value) {
    if (value.size() > 255)
        throw EStreamError(formatMsg(kMsgShortStringTooLong, static_cast<int>(value.size())));
    SWriteByte(stream, static_cast<std::uint8_t>(value.size()));
    writeExactly(stream, value.data(), static_cast<std::int64_t>(value.size()));
}

std::string SReadShortString(TStream& stream) {
    const std::uint8_t length = SReadByte(stream);
    std::string value(length, '\0');
    readExactly(stream, value.data(), length);
    return value;
}

void SWriteSet(TStream& stream, const TByteSet& set) {
    const auto bytes = set.ToBytes();
    writeExactly(stream, bytes.data(), TByteSet::kBytes);
}

TByteSet SReadSet(TStream& stream) {
    std::array<std::uint8_t, TByteSet::kBytes> bytes{};
    readExactly(stream, bytes.data(), TByteSet::kBytes);
    return TByteSet::FromBytes(bytes.data());
}

std::int64_t SBytesLeft(TStream& stream) {
    const std::int64_t here = stream.GetPosition();
    const std::int64_t size = stream.GetSize();
    return size > here ? size - here : 0;
}

void SCheckBytesLeft(TStream& stream, std::int64_t needed) {
    if (needed < 0 || needed > SBytesLeft(stream))
        corrupt();
}

std::int32_t SReadCount(TStream& stream, std::int64_t minItemBytes) {
    const std::int32_t count = SReadLongint(stream);
    if (count < 0)
        corrupt();
    SCheckBytesLeft(stream, static_cast<std::int64_t>(count) * minItemBytes);
    return count;
}

} // namespace qorvi
