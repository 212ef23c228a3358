// Feeds arbitrary bytes to the parser image reader. The first byte picks the
// form: 0 reads the rest as a whole `Parser` property (header and compressed
// stream); 1 takes the rest as the tables part of an image behind default
// settings, wrapped in a valid header and compression, so that the table
// reader itself is reached; anything else takes the rest as a whole
// uncompressed image (settings included). A bad image must give a clear
// error and leave the parser empty; a good one must write out and read back
// to an equal image and tokenise a text without a crash, an endless loop or
// a zero-length token.

#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"
#include "editor/support/stream_fields.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"
#include "parser/compressor.h"
#include "parser/rudivo_voru_parser.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace qorvi;

namespace {

std::string defaultSettings() {
    TSM_Settings settings;
    settings.SetFormatVersion(51);
    TMemoryStream out;
    settings.SaveToStream(out);
    return out.DataString();
}

std::string wrapImage(const std::string& image) {
    TMemoryStream plain(image);
    TMemoryStream property;
    SWriteWord(property, 51);
    SWriteLongint(property, static_cast<std::int32_t>(image.size()));
    TCompressor::CompressStream(plain, property);
    return property.DataString();
}

std::string imageOf(TRudivoVoruParser& parser) {
    TMemoryStream out;
    parser.WriteParserData(out);
    return out.DataString();
}

void tokenise(TRudivoVoruParser& parser) {
    static const std::string text = "int main() { /* x */ return a[1] + \"s\\\"\" 'c'; } // end\r"
                                    "<?php echo $x; ?> <a href=\"u\">--> 1.5e3 -2 mail@x.org\r";
    TTextStore store;
    store.InsertText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    parser.OnCustomParse = [](TRudivoVoruParser&, int id, TEdStream& s, std::int32_t& len,
                              std::int32_t& value) {
        if (id % 3 == 0)
            return false;
        if (id % 3 == 1 && !s.yyeof()) {
            s.yyadvance();
            ++len;
        }
        value = id;
        return true;
    };
    for (int start = 0; start < 256; start += 85) {
        parser.ParseInit(static_cast<std::uint8_t>(start));
        stream->SetYYpos(0);
        std::int32_t pos = 0;
        while (!stream->yyeof()) {
            std::int32_t len = 0;
            parser.ParseStream(nullptr, *stream, len);
            if (len < 1 || stream->GetYYpos() != pos + len)
                std::abort();
            pos += len;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    static const std::string settings = defaultSettings();
    const std::string property = data[0] == 0 ? rest : wrapImage(data[0] == 1 ? settings + rest : rest);
    TRudivoVoruParser parser;
    parser.SetName("prsFuzz");
    parser.OnParserVersionError = [](TRudivoVoruParser&, std::uint16_t, std::uint16_t) {};
    TMemoryStream in(property);
    try {
        parser.ReadParserData(in);
    } catch (const QorviError&) {
        // A refused image leaves the parser empty.
        if (!parser.Tables().Keywords().IsEmpty() || parser.Tables().Handler(0) ||
            !parser.Tables().NoStateTables())
            std::abort();
        return 0;
    }
    // The first write may drop what the next read cannot tell from its
    // default (a context set equal to the start state reads back empty, a
    // range list without entries is not written); from then on the image is
    // a fixed point.
    TRudivoVoruParser again;
    TMemoryStream first(imageOf(parser));
    again.ReadParserData(first);
    const std::string second = imageOf(again);
    TRudivoVoruParser third;
    TMemoryStream secondStream(second);
    third.ReadParserData(secondStream);
    if (imageOf(third) != second)
        std::abort();
    tokenise(parser);
    return 0;
}
