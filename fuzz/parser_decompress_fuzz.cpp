// Feeds arbitrary bytes to the block-method decompressor. It must either
// refuse them with a compressor error or decode them; whatever it decodes
// must survive a compress-decompress round trip, and so must the raw input.

#include "editor/support/memory_stream.h"
#include "parser/compressor.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qorvi;

namespace {

std::string roundTrip(const std::string& data) {
    TMemoryStream plain(data);
    TMemoryStream packed;
    TCompressor::CompressStream(plain, packed);
    packed.SetPosition(0);
    TMemoryStream back;
    TCompressor::DecompressStream(packed, back);
    return back.DataString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    TMemoryStream in(bytes);
    TMemoryStream out;
    try {
        const std::int64_t decoded = TCompressor::DecompressStream(in, out);
        if (decoded != out.GetSize())
            std::abort();
        if (roundTrip(out.DataString()) != out.DataString())
            std::abort();
    } catch (const ECompressorException&) {
    }
    if (roundTrip(bytes) != bytes)
        std::abort();
    return 0;
}
