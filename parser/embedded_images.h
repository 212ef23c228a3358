#pragma once

// The compiled parser images built into the programs, one per document type
// key ("cpp", "java", "htm", ...). The build compiles every script listed in
// parser/scripts/scripts.cmake and generates the table (library
// qorvi_images); the table is empty while no script is listed.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace qorvi {

struct EmbeddedParserImage {
    const char* typeKey;
    const std::uint8_t* data; // the Parser property bytes: version, size, compressed image
    std::size_t size;
};

// Defined by the generated source of qorvi_images.
std::span<const EmbeddedParserImage> EmbeddedParserImages();

// The image of `typeKey`, or null.
inline const EmbeddedParserImage* FindEmbeddedParserImage(std::string_view typeKey) {
    for (const EmbeddedParserImage& image : EmbeddedParserImages())
        if (typeKey == image.typeKey)
            return &image;
    return nullptr;
}

} // namespace qorvi
