// The document's encoding as the control applies it: the bytes stay as they
// are; only where the caret may stop, what typed and pasted Unicode text
// becomes, and how a whole text is converted follow it. A character a
// Windows-1252 document cannot hold is never replaced by a substitute: it is
// refused, and OnEncodingRefused may convert the document to UTF-8 first.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/undo/undo_record.h"

#include <algorithm>

namespace qorvi {

namespace {

// How far around the caret a character is looked for: clusters longer
// than this (long runs of combining marks) are stepped through in pieces.
constexpr std::int32_t kClusterWindow = 64;

bool asciiPair(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) < 0x80 &&
           (at + 1 >= text.size() || static_cast<unsigned char>(text[at + 1]) < 0x80);
}

} // namespace

void TCustomRudivoVoru::SetEncoding(TextEncoding encoding) {
    if (encoding == store_->Encoding())
        return;
    store_->SetEncoding(encoding);
    leftCol_ = 0;
    widest_ = {};
    // Characters take other widths now.
    if (settings_->HasOption(smoWordWrap))
        rewrapAll();
    perform(SMM_REFRESH);
}

bool TCustomRudivoVoru::ConvertEncoding(TextEncoding encoding) {
    if (encoding == Encoding())
        return true;
    const std::string text = store_->GetText(0, store_->NumChars());
    const std::string unicode = decodeToUtf8(text, Encoding());
    // Invalid bytes of a UTF-8 text have no character to convert.
    if (Encoding() == TextEncoding::Utf8 && !isValidUtf8(text))
        return false;
    const std::optional<std::string> converted = encodeFromUtf8(unicode, encoding);
    if (!converted)
        return false;
    // The caret stays before the same character.
    const std::int32_t caret = std::clamp(sel_.chEnd, 0, static_cast<std::int32_t>(text.size()));
    const std::optional<std::string> before = encodeFromUtf8(
        decodeToUtf8(std::string_view(text).substr(0, static_cast<std::size_t>(caret)), Encoding()), encoding);
    if (*converted != text) {
        UndoTransBegin(utReplaceSel);
        try {
            SetSelection({0, store_->NumChars()}, true);
            DoReplaceSel(*converted, true);
        } catch (...) {
            UndoTransEnd(utReplaceSel);
            throw;
        }
        UndoTransEnd(utReplaceSel);
    }
    store_->SetEncoding(encoding);
    const auto at = static_cast<std::int32_t>(before ? before->size() : 0);
    SetSelection({at, at}, true);
    leftCol_ = 0;
    perform(SMM_REFRESH);
    return true;
}

std::optional<std::string> TCustomRudivoVoru::EncodeForDocument(std::string_view utf8) {
    if (std::optional<std::string> bytes = encodeFromUtf8(utf8, Encoding()))
        return bytes;
    if (OnEncodingRefused && OnEncodingRefused(*this, firstUnrepresentable(utf8)))
        return encodeFromUtf8(utf8, Encoding());
    return std::nullopt;
}

std::int32_t TCustomRudivoVoru::NextCharIndex(std::int32_t index) const {
    const std::int32_t length = store_->NumChars();
    index = std::clamp(index, 0, length);
    if (index >= length)
        return length;
    if (Encoding() != TextEncoding::Utf8)
        return index + 1;
    for (std::int32_t window = kClusterWindow;; window *= 16) {
        const std::string text = store_->GetText(index, window);
        if (asciiPair(text, 0))
            return index + 1;
        const std::size_t end = nextCluster(text, 0).end;
        if (end < text.size() || index + window >= length || window >= kMaxLineLen)
            return index + static_cast<std::int32_t>(end);
    }
}

std::int32_t TCustomRudivoVoru::PrevCharIndex(std::int32_t index) const {
    index = std::clamp(index, 0, store_->NumChars());
    if (index == 0)
        return 0;
    if (Encoding() != TextEncoding::Utf8)
        return index - 1;
    const std::int32_t from = std::max(0, index - kClusterWindow);
    const std::string text = store_->GetText(from, index - from);
    const auto last = static_cast<unsigned char>(text.back());
    // Nothing joins an ASCII character to the one before it but CR LF.
    if (last < 0x80 && last != '\n')
        return index - 1;
    // The window may begin inside a character: start at the next one.
    std::size_t start = 0;
    while (start < 3 && start + 1 < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        ++start;
    return from + static_cast<std::int32_t>(previousClusterStart(text, start, text.size()));
}

} // namespace qorvi
