// Word wrap (UpdateFormat): each text line's rows are joined and cut anew
// at the wrap width (the wrap column, or the window edge), at word
// boundaries; lines of 2048 characters or more are cut even without word
// wrap. The store re-cuts the records (RecutLine) and keeps the style bytes
// with their characters, so a re-wrap needs no re-parse.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"

#include <algorithm>
#include <cstring>

namespace qorvi {

std::int32_t TCustomRudivoVoru::DoWordBreakTest(const char* text, std::int32_t position, int kind,
                                                std::int32_t length) const {
    if (OnWordBreakProc)
        return OnWordBreakProc(text, position, kind, length);
    return DefaultWordBreakTest(text, position, kind, length);
}

int TCustomRudivoVoru::wrapWidth() const {
    const int unit = fixedPitch_ ? cellWidth_ : charWidth_;
    if (const std::uint16_t column = settings_->WrapAtColumn())
        return std::max(8, unit * column);
    if (!hasSize_)
        return std::max(8, unit * 80);
    const int extent = host_ ? host_->scrollBarExtent() : 0;
    return std::max(8, clientWidth_ - LeftRefPoint() - extent);
}

bool TCustomRudivoVoru::wrapExempt(std::string_view line) const {
    if (!settings_->HasOption(smoWrapOverride) || line.empty())
        return false;
    return settings_->WrapOverride().find(line.front()) != std::string::npos;
}

TCustomRudivoVoru::WrapLayout TCustomRudivoVoru::currentWrapLayout() const {
    WrapLayout layout;
    layout.wrap = settings_->HasOption(smoWordWrap);
    layout.column = settings_->WrapAtColumn();
    layout.width = wrapWidth();
    layout.override = settings_->HasOption(smoWrapOverride);
    layout.marks = settings_->WrapOverride();
    return layout;
}

void TCustomRudivoVoru::rewrapLines(TLine* first, TLine* last) {
    if (!first)
        return;
    TLine* head = first;
    while (head->IsContinuation() && store_->Prev(head))
        head = store_->Prev(head);
    // The row after the line holding `last`.
    TLine* stop = last ? last : first;
    while (!stop->EndsWithCR() && store_->Next(stop))
        stop = store_->Next(stop);
    stop = store_->Next(stop);

    const bool wrap = settings_->HasOption(smoWordWrap);
    const int width = wrapWidth();
    Canvas* canvas = host_ ? &host_->measureCanvas() : nullptr;
    RowMeasure measure;
    measure.tabColumns = &settings_->GetTabStops();
    measure.tabDefault = settings_->TabDefault();
    measure.utf8 = Encoding() == TextEncoding::Utf8;
    if (fixedPitch_ || !canvas) {
        measure.cellWidth = fixedPitch_ ? cellWidth_ : charWidth_;
    } else {
        // Measured in the default format's font.
        const CanvasFont font = canvasFont(settings_->GetFormatEntry(0).Style);
        measure.textWidth = [canvas, font](std::string_view text) {
            canvas->setFont(font);
            return canvas->textWidth(text);
        };
    }
    const TWordBreakProc breakTest = [this](const char* text, std::int32_t position, int kind,
                                            std::int32_t length) {
        return DoWordBreakTest(text, position, kind, length);
    };

    const bool countValid = lineCount_.stamp == store_->EditStamp();
    bool changed = false;
    std::string joined;
    std::vector<std::uint16_t> current;
    for (TLine* row = head; row && row != stop;) {
        // The line's rows and their text.
        current.clear();
        TLine* end = row;
        current.push_back(end->Len());
        while (!end->EndsWithCR() && store_->Next(end)) {
            end = store_->Next(end);
            current.push_back(end->Len());
        }
        TLine* after = store_->Next(end);
        std::string_view text;
        if (row == end) {
            text = row->View();
        } else {
            joined.clear();
            for (TLine* r = row;; r = store_->Next(r)) {
                joined.append(r->Text(), r->Len());
                if (r == end)
                    break;
            }
            text = joined;
        }
        // One short row needs nothing without word wrap.
        if (wrap || row != end || text.size() > static_cast<std::size_t>(kMaxLineLen)) {
            const std::vector<std::uint16_t> lengths =
                RowLengths(text, wrap && !wrapExempt(text), width, measure, breakTest);
            if (lengths != current) {
                store_->RecutLine(row, lengths);
                changed = true;
            }
        }
        row = after;
    }
    if (!changed)
        return;
    // The text is the same; only where its rows end moved.
    if (countValid)
        lineCount_.stamp = store_->EditStamp();
    refreshTopRow();
    ScreenInvalid();
}

void TCustomRudivoVoru::rewrapAll() {
    rewrapLines(store_->Buffer(), store_->LastLine());
    wrapApplied_ = currentWrapLayout();
}

void TCustomRudivoVoru::rewrapIfLayoutChanged() {
    const WrapLayout layout = currentWrapLayout();
    if (layout == wrapApplied_)
        return;
    if (layout.wrap != wrapApplied_.wrap)
        leftCol_ = 0;
    // Without word wrap nothing depends on the width or the marks.
    if (!layout.wrap && !wrapApplied_.wrap) {
        wrapApplied_ = layout;
        return;
    }
    rewrapAll();
}

void TCustomRudivoVoru::UpdateFormat(TLine* fromRow, TLine* toRow) {
    if (!store_->Buffer())
        return;
    if (pendingParse_ >= 0)
        ParseText();
    if (!fromRow)
        rewrapAll();
    else
        rewrapLines(fromRow, toRow ? toRow : fromRow);
}

bool TCustomRudivoVoru::GetWordWrap() const {
    return settings_->HasOption(smoWordWrap);
}

void TCustomRudivoVoru::SetWordWrap(bool on) {
    if (on == GetWordWrap())
        return;
    const std::uint32_t options =
        on ? (settings_->Options() | smoWordWrap) : (settings_->Options() & ~smoWordWrap);
    perform(SMM_OPTIONS, kSmmSet, static_cast<std::intptr_t>(options));
}

std::uint16_t TCustomRudivoVoru::GetWrapColumn() const {
    return settings_->WrapAtColumn();
}

void TCustomRudivoVoru::SetWrapColumn(std::uint16_t column) {
    if (column == settings_->WrapAtColumn())
        return;
    settings_->SetWrapAtColumn(column);
    if (!GetWordWrap())
        return;
    rewrapIfLayoutChanged();
    CaretInView(sel_.chEnd);
    reasons_ |= crOptions;
    DoChange();
    Paint();
}

std::string TCustomRudivoVoru::GetWROverrideMarks() const {
    return settings_->WrapOverride();
}

void TCustomRudivoVoru::SetWROverrideMarks(const std::string& marks) {
    if (marks == settings_->WrapOverride())
        return;
    settings_->SetWrapOverride(marks);
    if (!GetWordWrap())
        return;
    rewrapIfLayoutChanged();
    Paint();
}

} // namespace qorvi
