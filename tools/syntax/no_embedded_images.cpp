// The image table of qorvi-syntax-host, the build's own copy of the tool that
// compiles and embeds the images and so cannot carry them itself.

#include "parser/embedded_images.h"

namespace qorvi {

std::span<const EmbeddedParserImage> EmbeddedParserImages() {
    return {};
}

} // namespace qorvi
