#include "editor/text/text_load.h"

#include "editor/support/fast_memory_stream.h"
#include "editor/support/file_stream.h"
#include "editor/text/text_loader.h"

#include <vector>

namespace qorvi {

void LoadTextFromStream(TTextStore& store, TStream& stream, bool detectEncoding) {
    TextLoader loader(detectEncoding);
    std::vector<char> raw(loader.pieceSize());
    for (;;) {
        raw.resize(loader.pieceSize());
        const std::int64_t n = stream.Read(raw.data(), static_cast<std::int64_t>(raw.size()));
        if (n <= 0)
            break;
        loader.feed(raw.data(), static_cast<std::size_t>(n));
    }
    loader.finish(store);
}

void LoadTextFromFile(TTextStore& store, const std::string& path) {
    TFileStream stream(path);
    LoadTextFromStream(store, stream, true);
}

void SetStoreText(TTextStore& store, const char* text) {
    TFastMemoryStream stream(text);
    LoadTextFromStream(store, stream);
}

} // namespace qorvi
