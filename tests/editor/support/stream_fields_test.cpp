#include "editor/support/memory_stream.h"
#include "editor/support/stream_fields.h"

#include <gtest/gtest.h>
#include <string>

namespace qorvi {
namespace {

std::string bytesOf(const TMemoryStream& s) {
    return s.DataString();
}

TEST(StreamFields, IntegersAreLittleEndian) {
    TMemoryStream s;
    SWriteWord(s, 0x1234);
    SWriteLongint(s, -2);
    SWriteLongint(s, 0x01020304);
    EXPECT_EQ(bytesOf(s), std::string("\x34\x12\xFE\xFF\xFF\xFF\x04\x03\x02\x01", 10));
    s.SetPosition(0);
    EXPECT_EQ(SReadWord(s), 0x1234);
    EXPECT_EQ(SReadLongint(s), -2);
    EXPECT_EQ(SReadLongint(s), 0x01020304);
}

TEST(StreamFields, BooleansTakeFourBytesOrOne) {
    TMemoryStream s;
    SWriteBoolean(s, true);
    SWriteByteBoolean(s, true);
    SWriteBoolean(s, false);
    EXPECT_EQ(bytesOf(s), std::string("\x01\x00\x00\x00\x01\x00\x00\x00\x00", 9));
    // Any non-zero value reads as true.
    TMemoryStream odd(std::string("\x00\x01\x00\x00\x07", 5));
    EXPECT_TRUE(SReadBoolean(odd));
    EXPECT_TRUE(SReadByteBoolean(odd));
}

TEST(StreamFields, StringsCarryTheirLength) {
    TMemoryStream s;
    SWriteString(s, "abc");
    SWriteShortString(s, "xy");
    SWriteShortString(s, "");
    EXPECT_EQ(bytesOf(s), std::string("\x03\x00\x00\x00"
                                      "abc"
                                      "\x02xy"
                                      "\x00",
                                      11));
    s.SetPosition(0);
    EXPECT_EQ(SReadString(s), "abc");
    EXPECT_EQ(SReadShortString(s), "xy");
    EXPECT_EQ(SReadShortString(s), "");
}

TEST(StreamFields, ShortStringRefusesMoreThan255Bytes) {
    TMemoryStream s;
    SWriteShortString(s, std::string(255, 'a'));
    EXPECT_THROW(SWriteShortString(s, std::string(256, 'a')), EStreamError);
    EXPECT_EQ(s.DataString().size(), 256u);
}

TEST(StreamFields, SetsAreThirtyTwoBytesBitNOfByteNDiv8) {
    TMemoryStream s;
    SWriteSet(s, TByteSet{0, 9, 255});
    const std::string b = bytesOf(s);
    ASSERT_EQ(b.size(), 32u);
    EXPECT_EQ(static_cast<unsigned char>(b[0]), 0x01);
    EXPECT_EQ(static_cast<unsigned char>(b[1]), 0x02);
    EXPECT_EQ(static_cast<unsigned char>(b[31]), 0x80);
    s.SetPosition(0);
    EXPECT_EQ(SReadSet(s), (TByteSet{0, 9, 255}));
}

TEST(StreamFields, TruncatedFieldsRaiseReadError) {
    TMemoryStream word(std::string("\x01", 1));
    EXPECT_THROW(SReadWord(word), EStreamError);
    TMemoryStream shortString(std::string("\x05"
                                          "ab",
                                          3));
    EXPECT_THROW(SReadShortString(shortString), EStreamError);
    TMemoryStream set(std::string(31, '\0'));
    EXPECT_THROW(SReadSet(set), EStreamError);
}

TEST(StreamFields, LengthsBeyondTheBytesLeftAreRejectedBeforeAllocating) {
    // A string claiming 2 GB in a 6-byte stream.
    TMemoryStream huge(std::string("\xFF\xFF\xFF\x7F"
                                   "ab",
                                   6));
    try {
        SReadString(huge);
        FAIL() << "accepted an impossible length";
    } catch (const EStreamError& e) {
        EXPECT_EQ(e.message(), kMsgInvalidStreamData);
    }
    TMemoryStream negative(std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_THROW(SReadString(negative), EStreamError);
    // A count of 3 items of 8 bytes needs 24 bytes after it.
    TMemoryStream count(std::string("\x03\x00\x00\x00", 4) + std::string(23, 'x'));
    EXPECT_THROW(SReadCount(count, 8), EStreamError);
    TMemoryStream enough(std::string("\x03\x00\x00\x00", 4) + std::string(24, 'x'));
    EXPECT_EQ(SReadCount(enough, 8), 3);
}

} // namespace
} // namespace qorvi
