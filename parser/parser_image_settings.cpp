#include "parser/parser_image_settings.h"

#include "parser/rudivo_voru_parser.h"

namespace qorvi {

// The settings object of the parser is not in the tree yet; until it is, the
// image carries no settings part.
void WriteImageSettings(TRudivoVoruParser&, TStream&) {
}

void ReadImageSettings(TRudivoVoruParser&, TStream&, std::uint16_t) {
}

} // namespace qorvi
