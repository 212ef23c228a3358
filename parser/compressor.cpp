#include "parser/compressor.h"

#include "editor/support/file_stream.h"
#include "editor/support/stream.h"
#include "parser/block_coder.h"
#include "platform/safe_file_writer.h"

#include <memory>
#include <new>
#include <vector>

namespace qorvi {

namespace {

// The output file of file mode, written beside the target and put in its
// place only by commit().
class SafeFileStream : public TStream {
public:
    explicit SafeFileStream(const std::string& path) : writer_(path) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (count <= 0)
            return 0;
        const std::size_t n =
            writer_.write(static_cast<const char*>(buffer), static_cast<std::size_t>(count));
        position_ += static_cast<std::int64_t>(n);
        return static_cast<std::int64_t>(n);
    }
    std::int64_t Seek(std::int64_t offset, int origin) override {
        // Only the position query is needed; the file is written front to back.
        if (offset == 0 && origin != soFromBeginning)
            return position_;
        return -1;
    }
    void commit() { writer_.commit(); }

private:
    SafeFileWriter writer_;
    std::int64_t position_ = 0;
};

void writeAll(TStream& output, const void* data, std::int64_t count) {
    std::int64_t written = 0;
    try {
        written = output.Write(data, count);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        written = -1;
    }
    if (written != count)
        throw ECompressorException(kMsgCompressorWriteError);
}

// Reads up to `count` bytes; fewer only at the end of the input. A read
// that fails raises `message`.
std::int64_t readSome(TStream& input, void* data, std::int64_t count,
                      const char* message = kMsgCompressorBlockReadError) {
    std::int64_t got = 0;
    try {
        while (got < count) {
            const std::int64_t n = input.Read(static_cast<char*>(data) + got, count - got);
            if (n <= 0)
                break;
            got += n;
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        throw ECompressorException(message);
    }
    return got;
}

// Reads exactly `count` bytes or raises `message`.
void readAll(TStream& input, void* data, std::int64_t count, const char* message) {
    if (readSome(input, data, count, message) != count)
        throw ECompressorException(message);
}

void checkOutput(TStream& output) {
    try {
        if (output.Seek(0, soFromCurrent) < 0)
            throw ECompressorException(kMsgCompressorInitOutput);
    } catch (const ECompressorException&) {
        throw;
    } catch (const std::exception&) {
        throw ECompressorException(kMsgCompressorInitOutput);
    }
}

void putLE32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t getLE32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

} // namespace

std::int64_t TCompressor::CompressStream(TStream& input, TStream& output) {
    std::int64_t size = 0;
    try {
        if (input.Seek(0, soFromBeginning) != 0)
            throw ECompressorException(kMsgCompressorInitInput);
    } catch (const ECompressorException&) {
        throw;
    } catch (const std::exception&) {
        throw ECompressorException(kMsgCompressorInitInput);
    }
    try {
        size = input.GetSize();
    } catch (const std::exception&) {
        size = -1;
    }
    if (size < 0 || size > 0xFFFFFFFFll)
        throw ECompressorException(kMsgCompressorInputSize);
    checkOutput(output);

    std::vector<std::uint8_t> buffer;
    std::string block;
    try {
        buffer.resize(kBlockSize + 16);
        block.reserve(kBlockSize + 16);
    } catch (const std::bad_alloc&) {
        throw ECompressorException(kMsgCompressorNoMemory);
    }

    std::uint8_t header[8];
    putLE32(header, kCompressorBlockMagic);
    putLE32(header + 4, static_cast<std::uint32_t>(size));
    writeAll(output, header, 8);
    std::int64_t written = 8;
    for (;;) {
        const std::int64_t got = readSome(input, buffer.data(), kBlockSize);
        compressBlock(buffer.data(), static_cast<std::size_t>(got), block);
        const std::uint8_t length[2] = {static_cast<std::uint8_t>(block.size()),
                                        static_cast<std::uint8_t>(block.size() >> 8)};
        writeAll(output, length, 2);
        writeAll(output, block.data(), static_cast<std::int64_t>(block.size()));
        written += 2 + static_cast<std::int64_t>(block.size());
        if (got < static_cast<std::int64_t>(kBlockSize))
            break;
    }
    return written;
}

std::int64_t TCompressor::DecompressStream(TStream& input, TStream& output, std::int64_t expectedSize) {
    checkOutput(output);
    std::uint8_t header[8];
    readAll(input, header, 4, kMsgCompressorReadError);
    // Only the block method is built; an LZH stream is as unreadable as junk.
    if (getLE32(header) != kCompressorBlockMagic)
        throw ECompressorException(kMsgCompressorNoHeader);
    readAll(input, header + 4, 4, kMsgCompressorReadError);
    const std::int64_t original = getLE32(header + 4);
    if (expectedSize >= 0 && original != expectedSize)
        throw ECompressorException(kMsgCompressorSizeMismatch);

    std::vector<std::uint8_t> data;
    std::string decoded;
    try {
        data.resize(kMaxBlockData);
        decoded.reserve(kBlockSize);
    } catch (const std::bad_alloc&) {
        throw ECompressorException(kMsgCompressorNoMemory);
    }

    std::int64_t total = 0;
    std::size_t lastBlock = kBlockSize;
    while (lastBlock == kBlockSize) {
        std::uint8_t length[2];
        readAll(input, length, 2, kMsgCompressorReadError);
        const std::size_t blockLength = length[0] | std::size_t{length[1]} << 8;
        if (blockLength > kMaxBlockData)
            throw ECompressorException(kMsgCompressorCorruptBlock);
        readAll(input, data.data(), static_cast<std::int64_t>(blockLength), kMsgCompressorReadError);
        decoded.clear();
        if (!decompressBlock(data.data(), blockLength, decoded) || decoded.size() > kBlockSize)
            throw ECompressorException(kMsgCompressorCorruptBlock);
        if (total + static_cast<std::int64_t>(decoded.size()) > original)
            throw ECompressorException(kMsgCompressorSizeMismatch);
        writeAll(output, decoded.data(), static_cast<std::int64_t>(decoded.size()));
        total += static_cast<std::int64_t>(decoded.size());
        lastBlock = decoded.size();
    }
    if (total != original)
        throw ECompressorException(kMsgCompressorSizeMismatch);
    return total;
}

template <typename Work> std::int64_t TCompressor::inFiles(Work work) {
    std::unique_ptr<TFileStream> input;
    try {
        input = std::make_unique<TFileStream>(inputFile_);
    } catch (const std::exception&) {
        throw ECompressorException(kMsgCompressorOpenInput + inputFile_);
    }
    std::unique_ptr<SafeFileStream> output;
    try {
        output = std::make_unique<SafeFileStream>(outputFile_);
    } catch (const std::exception&) {
        throw ECompressorException(kMsgCompressorOpenOutput + outputFile_);
    }
    // On any failure the writer is destroyed uncommitted and removes its
    // temp file, so no half-written output is left behind.
    const std::int64_t result = work(*input, *output);
    try {
        output->commit();
    } catch (const std::exception&) {
        throw ECompressorException(kMsgCompressorWriteError);
    }
    return result;
}

std::int64_t TCompressor::Compress() {
    if (method_ == cmLZH)
        throw ECompressorException(kMsgCompressorNoLzh);
    if (mode_ == cmFile)
        return inFiles([](TStream& in, TStream& out) { return CompressStream(in, out); });
    if (!input_)
        throw ECompressorException(kMsgCompressorInitInput);
    if (!output_)
        throw ECompressorException(kMsgCompressorInitOutput);
    return CompressStream(*input_, *output_);
}

std::int64_t TCompressor::Decompress() {
    if (mode_ == cmFile)
        return inFiles(
            [this](TStream& in, TStream& out) { return DecompressStream(in, out, expectedSize_); });
    if (!input_)
        throw ECompressorException(kMsgCompressorInitInput);
    if (!output_)
        throw ECompressorException(kMsgCompressorInitOutput);
    return DecompressStream(*input_, *output_, expectedSize_);
}

} // namespace qorvi
