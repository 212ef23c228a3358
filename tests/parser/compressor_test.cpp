#include "editor/support/memory_stream.h"
#include "parser/block_coder.h"
#include "parser/compressor.h"
#include "tests/support/file_bytes.h"
#include "tests/support/temp_dir.h"

#include <cstdio>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <unistd.h>

namespace qorvi {
namespace {

using test::readFile;
using test::writeFile;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

std::string compress(const std::string& input) {
    TMemoryStream in(input);
    TMemoryStream out;
    const std::int64_t written = TCompressor::CompressStream(in, out);
    EXPECT_EQ(written, static_cast<std::int64_t>(out.DataString().size()));
    return out.DataString();
}

std::string decompress(const std::string& packed) {
    TMemoryStream in(packed);
    TMemoryStream out;
    const std::int64_t decoded = TCompressor::DecompressStream(in, out);
    EXPECT_EQ(decoded, static_cast<std::int64_t>(out.DataString().size()));
    return out.DataString();
}

std::string blockOf(const std::string& input) {
    std::string out;
    compressBlock(reinterpret_cast<const std::uint8_t*>(input.data()), input.size(), out);
    return out;
}

std::string header(std::uint32_t size) {
    return bytes({0x57, 0x52, 0x5A, 0x4C, int(size & 0xFF), int((size >> 8) & 0xFF), int((size >> 16) & 0xFF),
                  int(size >> 24)});
}

std::string withLength(const std::string& block) {
    return bytes({int(block.size() & 0xFF), int(block.size() >> 8)}) + block;
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

// Text-like data with repeats, so that copies, runs and literals all occur.
std::string mixedBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    const char* words[] = {"int ", "return ", "while (", "std::string ",
                           "    ", "}\r",     "{\r",     "x = y + 1;\r"};
    std::string s;
    while (s.size() < n) {
        const unsigned pick = rng() % 10;
        if (pick < 8)
            s += words[pick];
        else if (pick == 8)
            s.append(rng() % 60, static_cast<char>('a' + rng() % 26));
        else
            s.push_back(static_cast<char>(rng()));
    }
    s.resize(n);
    return s;
}

std::string compressorMessage(const std::string& packed) {
    try {
        decompress(packed);
    } catch (const ECompressorException& e) {
        return e.message();
    }
    return "";
}

// The block coder's exact output for inputs worked out by hand from its steps.
TEST(BlockCoder, CodesLiteralsCopiesAndRunsExactly) {
    const std::string input = "abcabcabcabcabcabc" + std::string(20, 'X') + "abcabc";
    // a b c literals; copy offset 3 length 15; run of 20 X; copy offset 35 length 6.
    EXPECT_EQ(blockOf(input),
              bytes({0x40, 0x1C, 0x00, 'a', 'b', 'c', 0x00, 0x3C, 0x00, 0x00, 0x04, 'X', 0x02, 0x33}));
}

TEST(BlockCoder, FlushesTheControlWordAfterSixteenItems) {
    std::string input;
    for (int i = 0; i < 17; ++i)
        input.push_back(static_cast<char>(i));
    input.append(100, 'Z');
    std::string expected = bytes({0x40, 0x00, 0x00});
    expected += input.substr(0, 16);
    expected += bytes({0x40, 0x00, 16, 0x00, 0x00, 84, 'Z'});
    EXPECT_EQ(blockOf(input), expected);
}

TEST(BlockCoder, RunOfTwentyIsOneRunItemAndRunOfFifteenIsLiteralAndCopy) {
    EXPECT_EQ(blockOf(std::string(20, 'y')), bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x04, 'y'}));
    EXPECT_EQ(blockOf(std::string(15, 'y')), bytes({0x40, 0x40, 0x00, 'y', 0x00, 0x1B}));
}

TEST(BlockCoder, StoresABlockWhoseCodingWouldBeLonger) {
    const std::string input = randomBytes(100, 3);
    EXPECT_EQ(blockOf(input), bytes({0x80}) + input);
    EXPECT_EQ(blockOf("ab"), bytes({0x80, 'a', 'b'}));
    EXPECT_EQ(blockOf(""), bytes({0x80}));
}

TEST(BlockCoder, OverlappingCopyRepeatsThePreviousByte) {
    // Literal q, then a copy with offset 1 and length 18.
    const std::string block = bytes({0x40, 0x40, 0x00, 'q', 0x00, 0x1F});
    std::string out;
    ASSERT_TRUE(decompressBlock(reinterpret_cast<const std::uint8_t*>(block.data()), block.size(), out));
    EXPECT_EQ(out, std::string(19, 'q'));
}

TEST(BlockCoder, DecoderRefusesMalformedBlocks) {
    auto refuses = [](const std::string& block) {
        std::string out;
        return !decompressBlock(reinterpret_cast<const std::uint8_t*>(block.data()), block.size(), out);
    };
    // A copy reaching back before the block's first byte.
    EXPECT_TRUE(refuses(bytes({0x40, 0x40, 0x00, 'q', 0x00, 0x2F})));
    EXPECT_TRUE(refuses(bytes({0x40, 0x80, 0x00, 0x00, 0x1F})));
    // A copy or run cut off by the end of the block.
    EXPECT_TRUE(refuses(bytes({0x40, 0x40, 0x00, 'q', 0x00})));
    EXPECT_TRUE(refuses(bytes({0x40, 0x80, 0x00, 0x00, 0x00, 0x04})));
    // A control word cut off after sixteen items.
    std::string sixteen = bytes({0x40, 0x00, 0x00}) + std::string(16, 'a') + bytes({0x00});
    EXPECT_TRUE(refuses(sixteen));
    // Runs adding up to more than 32768 bytes.
    std::string runs = bytes({0x40, 0xFF, 0xFF});
    for (int i = 0; i < 9; ++i)
        runs += bytes({0x00, 0x0F, 0xEF, 'r'});
    EXPECT_TRUE(refuses(runs));
    // The same runs, eight of them (32640 bytes), are fine.
    std::string eight = bytes({0x40, 0xFF, 0x00});
    for (int i = 0; i < 8; ++i)
        eight += bytes({0x00, 0x0F, 0xEF, 'r'});
    std::string out;
    EXPECT_TRUE(decompressBlock(reinterpret_cast<const std::uint8_t*>(eight.data()), eight.size(), out));
    EXPECT_EQ(out, std::string(8 * 4095, 'r'));
}

TEST(Compressor, PinnedStreamStaysByteIdentical) {
    const std::string input = "abcabcabcabcabcabc" + std::string(20, 'X') + "abcabc";
    EXPECT_EQ(compress(input), header(44) + bytes({14, 0, 0x40, 0x1C, 0x00, 'a', 'b', 'c', 0x00, 0x3C, 0x00,
                                                   0x00, 0x04, 'X', 0x02, 0x33}));
}

TEST(Compressor, PinnedMultiBlockStreamStaysByteIdentical) {
    // A fixed two-block input: its packed form may never change, or stored
    // images would no longer match the ones the build produces.
    std::string input;
    for (int i = 0; i < 3000; ++i)
        input += "line " + std::to_string(i * 7 % 1000) + (i % 3 ? " = value;\r" : " += other(x);\r");
    const std::string packed = compress(input);
    std::uint32_t checksum = 2166136261u;
    for (unsigned char c : packed)
        checksum = (checksum ^ c) * 16777619u;
    EXPECT_EQ(input.size(), 57670u);
    EXPECT_EQ(packed.size(), 13166u);
    EXPECT_EQ(checksum, 1509455153u) << "packed stream changed";
    EXPECT_EQ(decompress(packed), input);
}

TEST(Compressor, ExactlyOneFullBlockEndsWithTheEmptyBlock) {
    const std::string input = randomBytes(32768, 11);
    const std::string packed = compress(input);
    EXPECT_EQ(packed, header(32768) + withLength(bytes({0x80}) + input) + bytes({1, 0, 0x80}));
    EXPECT_EQ(decompress(packed), input);
}

TEST(Compressor, EmptyInputIsTheHeaderAndTheEmptyBlock) {
    EXPECT_EQ(compress(""), header(0) + bytes({1, 0, 0x80}));
    EXPECT_EQ(decompress(header(0) + bytes({1, 0, 0x80})), "");
}

TEST(Compressor, RoundTripsDataOfManySizes) {
    const std::size_t sizes[] = {1,    2,    3,     4,     15,    16,    17,    18,    19,     100,   4095,
                                 4096, 4097, 32767, 32768, 32769, 65535, 65536, 65537, 100000, 200000};
    unsigned seed = 1;
    for (std::size_t n : sizes) {
        for (const std::string& input :
             {randomBytes(n, seed++), mixedBytes(n, seed++), std::string(n, 'z')}) {
            const std::string packed = compress(input);
            ASSERT_EQ(decompress(packed), input) << "size " << n;
            // Every block but the last holds 32768 bytes.
            EXPECT_EQ(packed.substr(4, 4), header(static_cast<std::uint32_t>(n)).substr(4, 4));
        }
    }
}

TEST(Compressor, RepetitiveInputShrinks) {
    const std::string input = mixedBytes(100000, 5);
    EXPECT_LT(compress(input).size(), input.size() / 2);
}

TEST(Compressor, DecompressReadsFromTheInputPosition) {
    const std::string input = mixedBytes(5000, 8);
    TMemoryStream in("junk" + compress(input) + "trailer");
    in.SetPosition(4);
    TMemoryStream out;
    EXPECT_EQ(TCompressor::DecompressStream(in, out), 5000);
    EXPECT_EQ(out.DataString(), input);
}

TEST(Compressor, RejectsUnknownAndLzhMagicWithoutWriting) {
    for (const std::string& magic : {bytes({0x21, 0x48, 0x5A, 0x4C}), std::string("PK\x03\x04", 4)}) {
        TMemoryStream in(magic + bytes({5, 0, 0, 0}) + bytes({6, 0, 0x80, 1, 2, 3, 4, 5}));
        TMemoryStream out;
        try {
            TCompressor::DecompressStream(in, out);
            FAIL() << "accepted a bad magic";
        } catch (const ECompressorException& e) {
            EXPECT_EQ(e.message(), kMsgCompressorNoHeader);
        }
        EXPECT_EQ(out.GetSize(), 0);
    }
}

TEST(Compressor, ReportsEveryDamageWithItsMessage) {
    const std::string good = compress(mixedBytes(40000, 9));
    // Cut anywhere: a short header, block length or block.
    for (std::size_t cut : {std::size_t{2}, std::size_t{6}, std::size_t{9}, std::size_t{20}, good.size() - 1})
        EXPECT_EQ(compressorMessage(good.substr(0, cut)), kMsgCompressorReadError) << cut;
    // A stored size that differs from what the blocks hold.
    std::string bigger = good;
    bigger[4] = static_cast<char>(static_cast<unsigned char>(bigger[4]) + 1);
    EXPECT_EQ(compressorMessage(bigger), kMsgCompressorSizeMismatch);
    std::string smaller = good;
    smaller[4] = static_cast<char>(static_cast<unsigned char>(smaller[4]) - 1);
    EXPECT_EQ(compressorMessage(smaller), kMsgCompressorSizeMismatch);
    // A block length beyond the longest block.
    EXPECT_EQ(compressorMessage(header(10) + bytes({0x02, 0x80}) + std::string(0x8002, 'x')),
              kMsgCompressorCorruptBlock);
    // A copy from before the block.
    EXPECT_EQ(compressorMessage(header(4) + withLength(bytes({0x40, 0x40, 0x00, 'q', 0x01, 0x00}))),
              kMsgCompressorCorruptBlock);
}

// A stream that fails on demand: short writes, throwing reads, no seeking.
class FailingStream : public TMemoryStream {
public:
    using TMemoryStream::TMemoryStream;
    std::int64_t Read(void* buffer, std::int64_t count) override {
        if (failReads)
            throw EStreamError("device gone");
        return TMemoryStream::Read(buffer, count);
    }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (GetSize() + count > writeLimit)
            return TMemoryStream::Write(buffer, writeLimit - GetSize());
        return TMemoryStream::Write(buffer, count);
    }
    std::int64_t Seek(std::int64_t offset, int origin) override {
        if (failSeeks)
            throw EStreamError("cannot seek");
        return TMemoryStream::Seek(offset, origin);
    }
    bool failReads = false;
    bool failSeeks = false;
    std::int64_t writeLimit = 1 << 30;
};

std::string streamFailure(const std::function<void()>& work) {
    try {
        work();
    } catch (const ECompressorException& e) {
        return e.message();
    }
    return "";
}

TEST(Compressor, StreamFailuresGiveTheirMessages) {
    const std::string input = mixedBytes(50000, 4);
    const std::string packed = compress(input);
    {
        FailingStream in(input);
        in.failReads = true;
        TMemoryStream out;
        EXPECT_EQ(streamFailure([&] { TCompressor::CompressStream(in, out); }), kMsgCompressorBlockReadError);
    }
    {
        FailingStream in(packed);
        in.failReads = true;
        TMemoryStream out;
        EXPECT_EQ(streamFailure([&] { TCompressor::DecompressStream(in, out); }), kMsgCompressorReadError);
    }
    for (std::int64_t limit : {0, 5, 9, 100}) {
        TMemoryStream in(input);
        FailingStream out;
        out.writeLimit = limit;
        EXPECT_EQ(streamFailure([&] { TCompressor::CompressStream(in, out); }), kMsgCompressorWriteError)
            << limit;
        TMemoryStream packedIn(packed);
        FailingStream decoded;
        decoded.writeLimit = limit;
        EXPECT_EQ(streamFailure([&] { TCompressor::DecompressStream(packedIn, decoded); }),
                  kMsgCompressorWriteError)
            << limit;
    }
    {
        FailingStream in(input);
        in.failSeeks = true;
        TMemoryStream out;
        EXPECT_EQ(streamFailure([&] { TCompressor::CompressStream(in, out); }), kMsgCompressorInitInput);
        TMemoryStream source(input);
        FailingStream target;
        target.failSeeks = true;
        EXPECT_EQ(streamFailure([&] { TCompressor::CompressStream(source, target); }),
                  kMsgCompressorInitOutput);
    }
}

TEST(Compressor, FileModeRoundTripsAndNamesAMissingInput) {
    test::TempDir dir;
    const std::string input = mixedBytes(70000, 12);
    writeFile(dir.path() + "/in", input);
    TCompressor c;
    c.SetMode(TCompressor::cmFile);
    c.SetInputFile(dir.path() + "/in");
    c.SetOutputFile(dir.path() + "/packed");
    const std::int64_t written = c.Compress();
    EXPECT_EQ(written, static_cast<std::int64_t>(readFile(dir.path() + "/packed").size()));
    EXPECT_EQ(readFile(dir.path() + "/packed"), compress(input));
    c.SetInputFile(dir.path() + "/packed");
    c.SetOutputFile(dir.path() + "/out");
    EXPECT_EQ(c.Decompress(), 70000);
    EXPECT_EQ(readFile(dir.path() + "/out"), input);

    c.SetInputFile(dir.path() + "/missing");
    try {
        c.Decompress();
        FAIL();
    } catch (const ECompressorException& e) {
        EXPECT_EQ(e.message(), std::string(kMsgCompressorOpenInput) + dir.path() + "/missing");
    }
}

TEST(Compressor, FileModeFailureLeavesTheOutputAsItWas) {
    test::TempDir dir;
    writeFile(dir.path() + "/bad", "this is no compressed stream");
    writeFile(dir.path() + "/out", "previous contents");
    TCompressor c;
    c.SetMode(TCompressor::cmFile);
    c.SetInputFile(dir.path() + "/bad");
    c.SetOutputFile(dir.path() + "/out");
    EXPECT_THROW(c.Decompress(), ECompressorException);
    EXPECT_EQ(readFile(dir.path() + "/out"), "previous contents");
    c.SetOutputFile(dir.path() + "/new");
    EXPECT_THROW(c.Decompress(), ECompressorException);
    EXPECT_NE(access((dir.path() + "/new").c_str(), F_OK), 0);
}

TEST(Compressor, StreamModeNeedsBothStreamsAndAdvisesTheBlockMethod) {
    TCompressor c;
    EXPECT_EQ(c.Advise(), TCompressor::cmBlock);
    EXPECT_THROW(c.Compress(), ECompressorException);
    TMemoryStream in("abc");
    TMemoryStream out;
    c.SetInputStream(&in);
    c.SetOutputStream(&out);
    EXPECT_EQ(c.Compress(), 8 + 2 + 4);
    c.SetMethod(TCompressor::cmLZH);
    EXPECT_THROW(c.Compress(), ECompressorException);
}

} // namespace
} // namespace qorvi
