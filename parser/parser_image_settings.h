#pragma once

// The first part of a parser image: the language's editor settings. Kept
// apart so that the rest of the image does not depend on how the settings
// travel.

#include <cstdint>

namespace qorvi {

class TRudivoVoruParser;
class TStream;

void WriteImageSettings(TRudivoVoruParser& parser, TStream& image);
// `version` is the image version read; versions up to 50 carry no gutter font.
void ReadImageSettings(TRudivoVoruParser& parser, TStream& image, std::uint16_t version);

} // namespace qorvi
