#pragma once

// The compressor that packs a compiled parser image. A stream of the block
// method is the magic "WRZL" (0x4C5A5257 little-endian), the 32-bit original
// size, then blocks of at most 32768 input bytes, each a 16-bit length and
// that many bytes of block data (see block_coder.h). Every block but the
// last holds exactly 32768 bytes; the last holds fewer, so an input whose
// length is a multiple of 32768 ends with the empty block 0x80.
//
// The compressor works between two streams (stream mode) or two files (file
// mode). Only the block method is built: the LZH method's magic is refused
// as "no valid header", and Advise always chooses the block method.

#include "platform/qorvi_error.h"

#include <cstdint>
#include <string>

namespace qorvi {

class TStream;

class ECompressorException : public QorviError {
public:
    using QorviError::QorviError;
};

inline constexpr std::uint32_t kCompressorBlockMagic = 0x4C5A5257; // "WRZL"
inline constexpr std::uint32_t kCompressorLzhMagic = 0x4C5A4821;   // "!HZL"

inline constexpr const char* kMsgCompressorNoMemory =
    "Compressor (de)compression : Failed to get memory for I/O buffers !";
inline constexpr const char* kMsgCompressorInitInput =
    "Compressor (de)compression : Failed to initialize input stream !";
inline constexpr const char* kMsgCompressorInitOutput =
    "Compressor (de)compression : Failed to initialize output stream !";
inline constexpr const char* kMsgCompressorInputSize =
    "Compressor compression : Failed to obtain the size of the input stream !";
inline constexpr const char* kMsgCompressorNoHeader =
    "Compressor decompression : input stream contains no valid header !";
inline constexpr const char* kMsgCompressorReadError = "Compressor : Error reading from input stream !";
inline constexpr const char* kMsgCompressorBlockReadError =
    "Compressor : Error reading from input stream ! (Compressor/Vell)";
inline constexpr const char* kMsgCompressorWriteError = "Compressor : Error writing to output stream !";
inline constexpr const char* kMsgCompressorSizeMismatch =
    "Compressor (decompression Compressor/Vell) : Original and compressed sizes do not match !";
inline constexpr const char* kMsgCompressorOpenInput =
    "Compressor (de)compression : Failed to open input file : ";
inline constexpr const char* kMsgCompressorOpenOutput =
    "Compressor (de)compression : Failed to open output file : ";
// A block whose items run past its end, copy from before its start or
// produce more than 32768 bytes.
inline constexpr const char* kMsgCompressorCorruptBlock = "Compressor decompression : corrupt block data !";
inline constexpr const char* kMsgCompressorNoLzh =
    "Compressor compression : the LZH method is not available !";

class TCompressor {
public:
    enum Method { cmLZH = 0, cmBlock = 1, cmAdvise = 2 };
    enum Mode { cmStream, cmFile };

    TCompressor() = default;

    Mode GetMode() const { return mode_; }
    void SetMode(Mode mode) { mode_ = mode; }
    int GetMethod() const { return method_; }
    void SetMethod(int method) { method_ = method; }

    // Stream mode: the streams are not owned. Compress reads the whole input
    // stream from its start; Decompress reads from the input's position. Both
    // write at the output's position.
    TStream* InputStream() const { return input_; }
    void SetInputStream(TStream* stream) { input_ = stream; }
    TStream* OutputStream() const { return output_; }
    void SetOutputStream(TStream* stream) { output_ = stream; }

    // File mode. The output file is replaced only when the whole work
    // succeeded; after a failure it is as it was.
    const std::string& InputFile() const { return inputFile_; }
    void SetInputFile(std::string path) { inputFile_ = std::move(path); }
    const std::string& OutputFile() const { return outputFile_; }
    void SetOutputFile(std::string path) { outputFile_ = std::move(path); }

    // A stream whose header announces another original size is
    // refused before anything is decoded, so a caller that knows the size to
    // expect bounds what a crafted stream can make it expand. -1: any size.
    std::int64_t ExpectedSize() const { return expectedSize_; }
    void SetExpectedSize(std::int64_t size) { expectedSize_ = size; }

    // Returns the bytes written, the 8-byte header included.
    std::int64_t Compress();
    // Returns the bytes decoded.
    std::int64_t Decompress();
    // The method Compress would use: always the block method.
    int Advise() const { return cmBlock; }

    // The stream-mode operations on explicit streams.
    static std::int64_t CompressStream(TStream& input, TStream& output);
    static std::int64_t DecompressStream(TStream& input, TStream& output, std::int64_t expectedSize = -1);

private:
    template <typename Work> std::int64_t inFiles(Work work);

    Mode mode_ = cmStream;
    int method_ = cmBlock;
    TStream* input_ = nullptr;
    TStream* output_ = nullptr;
    std::int64_t expectedSize_ = -1;
    std::string inputFile_;
    std::string outputFile_;
};

} // namespace qorvi
