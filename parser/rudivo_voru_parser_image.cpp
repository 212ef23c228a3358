// Reading and writing a parser's compiled image (the binary `Parser`
// property): the 16-bit image version, the 32-bit size of the image, then
// the image compressed by the block method.

#include "editor/support/memory_stream.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "parser/parser_image.h"
#include "parser/parser_image_settings.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/shell_ui.h"

#include <new>

namespace qorvi {

namespace {
constexpr const char* kMsgCannotAssignParser = "Cannot assign a %s to %s";
constexpr const char* kMsgOutOfMemory = "Out of memory";
} // namespace

void TRudivoVoruParser::WriteParserData(TStream& Stream) {
    try {
        TMemoryStream image;
        WriteImageSettings(*this, image);
        WriteParserTables(tables_, image);
        SWriteWord(Stream, kImageVersion);
        SWriteLongint(Stream, static_cast<std::int32_t>(image.GetSize()));
        compressor_.SetInputStream(&image);
        compressor_.SetOutputStream(&Stream);
        compressor_.Compress();
        compressor_.SetInputStream(nullptr);
        compressor_.SetOutputStream(nullptr);
    } catch (const std::bad_alloc&) {
        throw QorviError(formatMsg(kMsgParserImageFailure, Name(), kMsgOutOfMemory));
    } catch (const std::exception& e) {
        throw QorviError(formatMsg(kMsgParserImageFailure, Name(), e.what()));
    }
}

void TRudivoVoruParser::readImage(TStream& Stream) {
    const std::uint16_t version = SReadWord(Stream);
    if (version < kOldestImageVersion) {
        reportVersion(version);
        return;
    }
    // The stated size must be the compressed stream's own, so that the
    // image never grows past what the header promised.
    const std::int32_t size = SReadLongint(Stream);
    if (size < 0 || size > kMaxImageSize)
        throw EStreamError(kMsgImageSizeOutOfRange);
    TMemoryStream image;
    compressor_.SetInputStream(&Stream);
    compressor_.SetOutputStream(&image);
    compressor_.SetExpectedSize(size);
    try {
        compressor_.Decompress();
    } catch (...) {
        compressor_.SetInputStream(nullptr);
        compressor_.SetOutputStream(nullptr);
        compressor_.SetExpectedSize(-1);
        throw;
    }
    compressor_.SetInputStream(nullptr);
    compressor_.SetOutputStream(nullptr);
    compressor_.SetExpectedSize(-1);
    char extra;
    if (Stream.Read(&extra, 1) > 0)
        throw EStreamError(kMsgImageTrailingData);
    image.SetPosition(0);
    // Any later version is read as the current layout.
    ReadImageSettings(*this, image, version);
    ReadParserTables(tables_, image);
}

void TRudivoVoruParser::ReadParserData(TStream& Stream) {
    Reset();
    try {
        readImage(Stream);
    } catch (const ERudivoVoruParserError&) {
        Reset();
        throw;
    } catch (const std::bad_alloc&) {
        Reset();
        throw QorviError(formatMsg(kMsgParserImageFailure, Name(), kMsgOutOfMemory));
    } catch (const std::exception& e) {
        Reset();
        throw QorviError(formatMsg(kMsgParserImageFailure, Name(), e.what()));
    }
    currentStates_ = tables_.StartState();
    savedStates_ = currentStates_;
    GetLowestState();
}

void TRudivoVoruParser::reportVersion(std::uint16_t version) {
    const std::string message = formatMsg(kMsgParserVersion, Name(), int{kImageVersion}, int{version});
    if (Loading())
        throw ERudivoVoruParserError(message);
    if (OnParserVersionError) {
        OnParserVersionError(*this, version, kImageVersion);
        return;
    }
    if (Ui) {
        Ui->showError(message);
        return;
    }
    // Nobody to tell: the failure must not pass for an empty language.
    throw ERudivoVoruParserError(message);
}

void TRudivoVoruParser::Assign(const TCustomRudivoVoruParser& Source) {
    const auto* source = dynamic_cast<const TRudivoVoruParser*>(&Source);
    if (!source)
        throw ERudivoVoru(formatMsg(kMsgCannotAssignParser, Source.ClassName(), ClassName()));
    TMemoryStream image;
    // Writing does not change the source; only its compressor's stream
    // pointers are used meanwhile.
    const_cast<TRudivoVoruParser*>(source)->WriteParserData(image);
    image.SetPosition(0);
    ReadParserData(image);
}

} // namespace qorvi
