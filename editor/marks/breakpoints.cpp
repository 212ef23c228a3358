#include "editor/marks/breakpoints.h"

#include "editor/support/stream.h"
#include "editor/support/stream_fields.h"

#include <algorithm>
#include <vector>

namespace qorvi {

TSM_Breakpoints::TSM_Breakpoints() = default;

TSM_Breakpoints::~TSM_Breakpoints() {
    std::vector<TSM_BreakpointData*> all;
    for (TSM_BreakpointData* d = First(); d; d = Next(d))
        all.push_back(d);
    list_.clear();
    for (TSM_BreakpointData* d : all)
        delete d;
}

std::unique_ptr<TSM_Base> TSM_Breakpoints::makeEmpty() const {
    return std::make_unique<TSM_Breakpoints>();
}

void TSM_Breakpoints::repaint() const {
    if (control_)
        control_->repaintBreakpoints();
}

std::int32_t TSM_Breakpoints::lineStartOf(std::int32_t line) const {
    return control_ ? control_->lineStart(line) : 0;
}

void TSM_Breakpoints::DoBreakpointChange(TSM_BreakpointData* data) {
    if (onStateChange_)
        onStateChange_(data);
    reason_ = bpci_NONE;
}

void TSM_Breakpoints::enabledChanged(TSM_BreakpointData* data) {
    repaint();
    reason_ = bpci_ENABLE;
    DoBreakpointChange(data);
}

void TSM_Breakpoints::freeData(TSM_BreakpointData* data) {
    list_.remove(data);
    delete data; // fires the free notification
}

TSM_BreakpointData* TSM_Breakpoints::AddBreakpoint(std::unique_ptr<TSM_BreakpointData> Data) {
    if (!Data)
        return nullptr;
    const std::int32_t offset = lineStartOf(Data->LineNumber());
    if (offset < 0)
        return nullptr;
    if (TSM_BreakpointData* old = LocateBPAtCharOffset(offset))
        freeData(old);
    TSM_BreakpointData* data = Data.release();
    data->owner_ = this;
    data->onFree_ = onFree_;
    data->onChange_ = onStateChange_;
    list_.insert(data, offset, offset);
    reason_ = bpci_CREATE;
    DoBreakpointChange(data);
    repaint();
    return data;
}

TSM_BreakpointData* TSM_Breakpoints::EnableBreakpointAtLine(std::int32_t Line) {
    TSM_BreakpointData* data = nullptr;
    if (BreakpointExistsAtLine(Line, data)) {
        data->SetEnabled(true);
        return data;
    }
    return AddBreakpoint(std::make_unique<TSM_BreakpointData>(Line, true));
}

void TSM_Breakpoints::DisableBreakpointAtLine(std::int32_t Line) {
    TSM_BreakpointData* data = nullptr;
    if (BreakpointExistsAtLine(Line, data))
        data->SetEnabled(false);
}

void TSM_Breakpoints::RemoveBreakpointAtLine(std::int32_t Line) {
    TSM_BreakpointData* data = nullptr;
    if (!BreakpointExistsAtLine(Line, data))
        return;
    freeData(data);
    repaint();
}

bool TSM_Breakpoints::BreakpointExistsAtLine(std::int32_t Line, TSM_BreakpointData*& Data) const {
    const std::int32_t offset = lineStartOf(Line);
    TSM_BreakpointData* found = offset < 0 ? nullptr : LocateBPAtCharOffset(offset);
    if (!found)
        return false;
    Data = found;
    return true;
}

TSM_BreakpointData* TSM_Breakpoints::LocateBPAtCharOffset(std::int32_t Offset) const {
    auto* e = static_cast<TSM_BreakpointData*>(list_.lowerBound(Offset));
    return e && e->Offset() == Offset ? e : nullptr;
}

void TSM_Breakpoints::Clear() {
    std::vector<TSM_BreakpointData*> all;
    for (TSM_BreakpointData* d = First(); d; d = Next(d))
        all.push_back(d);
    list_.clear();
    for (TSM_BreakpointData* d : all)
        delete d;
    repaint();
}

bool TSM_Breakpoints::PrepareLineDraw(std::int32_t Offset, int& Glyph, std::int32_t& LineColor,
                                      std::int32_t& TextColor) const {
    const TSM_BreakpointData* data = LocateBPAtCharOffset(Offset);
    if (!data)
        return false;
    Glyph = data->GetEnabled() ? enabledGlyph_ : disabledGlyph_;
    LineColor = data->GetEnabled() ? enabledLine_ : disabledLine_;
    TextColor = data->GetEnabled() ? enabledText_ : disabledText_;
    return true;
}

void TSM_Breakpoints::Removing(std::int32_t Count, std::int32_t Pos) {
    removingPos_ = Pos;
    removingCount_ = Count;
    if (Count <= 0)
        return;
    const std::int64_t stop = static_cast<std::int64_t>(Pos) + Count;
    for (auto* d = static_cast<TSM_BreakpointData*>(list_.lowerBound(Pos)); d && d->Offset() < stop;
         d = Next(d))
        d->doomed_ = control_ && control_->lineEnd(d->Offset()) <= stop;
}

void TSM_Breakpoints::TextChanged(std::int32_t Start, std::int32_t Delta) {
    if (Delta == 0 || list_.empty())
        return;
    if (Delta > 0) {
        auto* first = static_cast<TSM_BreakpointData*>(list_.lowerBound(Start));
        // Text typed at the start of a breakpoint's line stays in that line
        // unless it ends with a line break.
        if (first && first->Offset() == Start && control_ && !control_->isLineStart(Start + Delta))
            first = Next(first);
        list_.shiftFrom(first, Delta);
        return;
    }
    const std::int32_t count = -Delta;
    const std::int64_t stop = static_cast<std::int64_t>(Start) + count;
    const bool announced = removingPos_ == Start && removingCount_ == count;
    removingPos_ = -1;
    std::vector<TSM_BreakpointData*> freed;
    std::vector<TSM_BreakpointData*> moved;
    auto* d = static_cast<TSM_BreakpointData*>(list_.lowerBound(Start));
    while (d && d->Offset() < stop) {
        auto* next = Next(d);
        if (announced && d->doomed_) {
            list_.remove(d);
            freed.push_back(d);
        } else {
            moved.push_back(d);
        }
        d->doomed_ = false;
        d = next;
    }
    list_.shiftFrom(d, -count);
    // The line that now holds Start: survivors of the deleted range and the
    // line joined at Start belong at its start.
    if (d && d->Offset() == Start)
        moved.push_back(d);
    const std::int32_t home = control_ ? control_->lineStart(control_->lineOf(Start)) : Start;
    TSM_BreakpointData* keeper = LocateBPAtCharOffset(home);
    for (TSM_BreakpointData* m : moved) {
        if (m == keeper)
            continue;
        if (keeper) {
            list_.remove(m);
            freed.push_back(m);
        } else {
            list_.setRange(m, home, home);
            keeper = m;
        }
    }
    for (TSM_BreakpointData* f : freed)
        delete f;
    if (!freed.empty())
        repaint();
}

void TSM_Breakpoints::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, disabledGlyph_);
    SWriteLongint(stream, enabledGlyph_);
    SWriteLongint(stream, disabledText_);
    SWriteLongint(stream, disabledLine_);
    SWriteLongint(stream, enabledText_);
    SWriteLongint(stream, enabledLine_);
    SWriteLongint(stream, static_cast<std::int32_t>(list_.size()));
    for (const TSM_BreakpointData* d = First(); d; d = Next(d)) {
        SWriteLongint(stream, d->Offset());
        SWriteByteBoolean(stream, d->GetEnabled());
        SWriteLongint(stream, d->LineNumber());
        SWriteString(stream, d->UserTextData());
        SWriteLongint(stream, d->UserIntData());
    }
}

void TSM_Breakpoints::LoadFromStream(TStream& stream) {
    struct Read {
        std::int32_t offset;
        bool enabled;
        std::int32_t line;
        std::string text;
        std::int32_t number;
    };
    std::int32_t fields[6];
    for (std::int32_t& f : fields)
        f = SReadLongint(stream);
    const std::int32_t count = SReadCount(stream, 4 + 1 + 4 + 4 + 4);
    std::vector<Read> read;
    for (std::int32_t i = 0; i < count; ++i) {
        Read r;
        r.offset = SReadLongint(stream);
        r.enabled = SReadByteBoolean(stream);
        r.line = SReadLongint(stream);
        r.text = SReadString(stream);
        r.number = SReadLongint(stream);
        read.push_back(std::move(r));
    }
    Clear();
    disabledGlyph_ = fields[0];
    enabledGlyph_ = fields[1];
    disabledText_ = fields[2];
    disabledLine_ = fields[3];
    enabledText_ = fields[4];
    enabledLine_ = fields[5];
    for (Read& r : read) {
        const std::int32_t offset = std::max(r.offset, 0);
        if (LocateBPAtCharOffset(offset))
            continue;
        auto* data = new TSM_BreakpointData(r.line, r.enabled, std::move(r.text), r.number);
        data->owner_ = this;
        data->onFree_ = onFree_;
        data->onChange_ = onStateChange_;
        list_.insert(data, offset, offset);
    }
    repaint();
}

} // namespace qorvi
