#include "editor/text/text_load.h"

#include "editor/support/fast_memory_stream.h"
#include "editor/support/file_stream.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/text/line_breaks.h"
#include "editor/text/text_store.h"

#include <array>
#include <cstring>
#include <new>
#include <string>

namespace qorvi {

namespace {

constexpr std::size_t kPiece = 8192;

// Feeds adjusted text into the new store a whole line (or whole 2047-character
// runs) at a time, so that every record is made once, exactly sized.
class RecordFeeder {
public:
    explicit RecordFeeder(TTextStore& store) : store_(store) {}

    void add(const char* text, std::size_t count) {
        pending_.append(text, count);
        std::size_t lastCR = pending_.rfind('\r');
        std::size_t ready =
            lastCR == std::string::npos ? pending_.size() / kMaxLineLen * kMaxLineLen : lastCR + 1;
        if (ready > 0) {
            store_.InsertStoredText(store_.NumChars(), pending_.data(), static_cast<std::int64_t>(ready));
            pending_.erase(0, ready);
        }
    }
    void finish() {
        if (!pending_.empty())
            store_.InsertStoredText(store_.NumChars(), pending_.data(),
                                    static_cast<std::int64_t>(pending_.size()));
        pending_.clear();
    }

private:
    TTextStore& store_;
    std::string pending_;
};

} // namespace

void LoadTextFromStream(TTextStore& store, TStream& stream, bool detectEncoding) {
    try {
        TTextStore fresh;
        // Long lines are cut between characters while the file may still
        // turn out UTF-8; in an 8-bit file such a cut only comes a byte or
        // two early.
        if (detectEncoding)
            fresh.SetEncoding(TextEncoding::Utf8);
        RecordFeeder feeder(fresh);
        LineBreakAdjuster adjuster;
        std::array<char, kPiece + 1> raw;
        std::array<char, kPiece + 1> adjusted;
        LineBreakStyle style = LineBreakStyle::LF;
        bool styleKnown = false;
        bool crPending = false; // a first CR ended the previous piece
        EncodingDetector detector;
        for (;;) {
            std::int64_t n = stream.Read(raw.data(), static_cast<std::int64_t>(kPiece));
            if (n <= 0)
                break;
            if (detectEncoding)
                detector.feed(std::string_view(raw.data(), static_cast<std::size_t>(n)));
            if (!styleKnown) {
                if (crPending) {
                    style = raw[0] == '\n' ? LineBreakStyle::CRLF : LineBreakStyle::CR;
                    styleKnown = true;
                } else if (findLineBreakStyle(raw.data(), static_cast<std::size_t>(n), true, style)) {
                    styleKnown = true;
                } else if (raw[static_cast<std::size_t>(n - 1)] == '\r') {
                    crPending = true;
                }
            }
            feeder.add(adjusted.data(), adjuster.adjust(adjusted.data(), raw.data(), static_cast<std::size_t>(n), false));
        }
        feeder.finish();
        if (crPending && !styleKnown)
            style = LineBreakStyle::CR;
        store.AdoptText(fresh);
        store.SetFileLineBreaks(style);
        if (detectEncoding)
            store.SetEncoding(detector.result());
    } catch (const std::bad_alloc&) {
        throw ERudivoVoru(kMsgNotEnoughMemory);
    }
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
