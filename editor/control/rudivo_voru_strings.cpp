#include "editor/control/rudivo_voru_strings.h"

#include "editor/control/rudivo_voru.h"
#include "editor/text/stored_line_breaks.h"
#include "editor/undo/undo_record.h"

#include <algorithm>

namespace qorvi {

std::int32_t TRudivoVoruStrings::shownLines() const {
    if (CountRows)
        return static_cast<std::int32_t>(control_.perform(EM_GETLINECOUNT));
    return control_.TextLineOfRow(control_.TextStore().NumChars());
}

std::int32_t TRudivoVoruStrings::Count() const {
    const std::int32_t lines = shownLines();
    // The empty line after a final break (or of an empty text) is no entry.
    const TTextStore& store = control_.TextStore();
    const std::int32_t length = store.NumChars();
    const bool lastEmpty = length == 0 || store.GetText(length - 1, 1)[0] == '\r';
    return std::max(0, lines - (lastEmpty ? 1 : 0));
}

TRudivoVoruStrings::Span TRudivoVoruStrings::span(std::int32_t i) const {
    Span s;
    const std::int32_t lines = shownLines();
    if (i < 0 || i >= lines)
        return s;
    const TTextStore& store = control_.TextStore();
    const std::int32_t length = store.NumChars();
    s.exists = true;
    if (CountRows) {
        s.start = static_cast<std::int32_t>(control_.perform(EM_LINEINDEX, static_cast<std::uintptr_t>(i)));
        s.end = s.start + static_cast<std::int32_t>(
                              control_.perform(EM_LINELENGTH, static_cast<std::uintptr_t>(s.start)));
    } else {
        // The empty line after a final break starts at the end of the text.
        const bool endsWithBreak = length > 0 && store.GetText(length - 1, 1)[0] == '\r';
        auto lineStart = [&](std::int32_t n) {
            return n == lines - 1 && endsWithBreak ? length : control_.UnwrappedCharOffset(n + 1, 1);
        };
        s.start = lineStart(i);
        s.end = i + 1 < lines ? lineStart(i + 1) - 1 : length;
    }
    s.end = std::clamp(s.end, s.start, length);
    s.hasBreak = s.end < length && store.GetText(s.end, 1)[0] == '\r';
    return s;
}

void TRudivoVoruStrings::replace(std::int32_t from, std::int32_t to, std::string_view text) {
    // A temporary selection, put back where its text went afterwards. The
    // undo step starts from the user's selection, so that an undo shows it
    // again rather than the temporary one.
    TChRange saved = control_.GetSelection();
    control_.UndoTransBegin(utReplaceSel);
    try {
        TChRange range{from, to};
        control_.perform(SMM_SELECTION, kSmmSet | kSmmNoRepaint, reinterpret_cast<std::intptr_t>(&range));
        const std::int32_t before = control_.TextStore().NumChars();
        const std::string copy(text);
        control_.DoReplaceSel(copy);
        const std::int32_t delta = control_.TextStore().NumChars() - before;
        auto follow = [&](std::int32_t& at) {
            if (at >= to)
                at += delta;
            else if (at > from)
                at = from;
        };
        follow(saved.chStart);
        follow(saved.chEnd);
        control_.perform(SMM_SELECTION, kSmmSet, reinterpret_cast<std::intptr_t>(&saved));
    } catch (...) {
        control_.UndoTransEnd(utReplaceSel);
        throw;
    }
    control_.UndoTransEnd(utReplaceSel);
}

std::string TRudivoVoruStrings::Get(std::int32_t i) const {
    const Span s = span(i);
    if (!s.exists)
        return {};
    return control_.TextStore().GetText(s.start, s.end - s.start);
}

void TRudivoVoruStrings::Put(std::int32_t i, std::string_view text) {
    const Span s = span(i);
    if (!s.exists)
        return;
    replace(s.start, s.end, text);
}

void TRudivoVoruStrings::Insert(std::int32_t i, std::string_view text) {
    if (i < 0)
        return;
    const Span s = span(i);
    if (s.exists) {
        std::string line(text);
        line.push_back('\r');
        replace(s.start, s.start, line);
        return;
    }
    const Span before = span(i - 1);
    if (!before.exists)
        return;
    std::string line;
    if (before.end > before.start)
        line.push_back('\r');
    line.append(text);
    if (line.empty())
        line.push_back('\r');
    replace(before.end, before.end, line);
}

void TRudivoVoruStrings::AddStrings(const std::vector<std::string>& lines) {
    for (const std::string& line : lines)
        Add(line);
}

void TRudivoVoruStrings::Delete(std::int32_t i) {
    const Span s = span(i);
    if (!s.exists)
        return;
    const std::int32_t length = control_.TextStore().NumChars();
    if (s.hasBreak)
        replace(s.start, s.end + 1, "");
    else if (s.start > 0 && s.start == s.end && s.end == length)
        return; // the empty line after a final break is no line of its own
    else
        replace(s.start, length, "");
}

void TRudivoVoruStrings::Clear() {
    control_.Clear();
}

std::string TRudivoVoruStrings::GetText() const {
    std::string text;
    const std::int32_t count = Count();
    for (std::int32_t i = 0; i < count; ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TRudivoVoruStrings::SetText(std::string_view text) {
    const std::string stored = toStoredLineBreaks(text);
    if (stored == control_.GetText())
        return;
    // Not through WM_SETTEXT: its zero-terminated text would end at the
    // first zero byte of the user's text.
    control_.SetText(stored);
}

void TRudivoVoruStrings::LoadFromStream(TStream& stream) {
    control_.LoadFromStream(stream);
}

void TRudivoVoruStrings::SaveToStream(TStream& stream) const {
    SaveTextToStream(control_.TextStore(), &stream, control_.SaveFormat, control_.TextStore().SelLineStyle());
}

void TRudivoVoruStrings::LoadFromFile(const std::string& path) {
    control_.LoadFromFile(path);
}

void TRudivoVoruStrings::SaveToFile(const std::string& path) const {
    SaveTextToFile(control_.TextStore(), path);
}

void TRudivoVoruStrings::BeginUpdate() {
    if (updates_++ == 0)
        control_.perform(WM_SETREDRAW, 0);
}

void TRudivoVoruStrings::EndUpdate() {
    if (updates_ > 0 && --updates_ == 0)
        control_.perform(WM_SETREDRAW, 1);
}

} // namespace qorvi
