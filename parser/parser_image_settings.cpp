#include "parser/parser_image_settings.h"

#include "editor/settings/editor_settings.h"
#include "parser/rudivo_voru_parser.h"

#include <climits>

namespace qorvi {

namespace {

// Sets the settings' format version for one read or write and puts the
// "newest" mark back afterwards, also when the stream fails.
class FormatVersionScope {
public:
    FormatVersionScope(TSM_Settings& settings, std::int32_t version) : settings_(settings) {
        settings_.SetFormatVersion(version);
    }
    ~FormatVersionScope() { settings_.SetFormatVersion(INT32_MAX); }
    FormatVersionScope(const FormatVersionScope&) = delete;
    FormatVersionScope& operator=(const FormatVersionScope&) = delete;

private:
    TSM_Settings& settings_;
};

} // namespace

void WriteImageSettings(TRudivoVoruParser& parser, TStream& image) {
    // Version 51 so that the version-dependent fields (the gutter font) go out.
    FormatVersionScope scope(parser.Settings(), TRudivoVoruParser::kImageVersion);
    parser.Settings().SaveToStream(image);
}

void ReadImageSettings(TRudivoVoruParser& parser, TStream& image, std::uint16_t version) {
    FormatVersionScope scope(parser.Settings(), version);
    parser.Settings().LoadFromStream(image);
}

} // namespace qorvi
