#include "editor/marks/code_break.h"

#include "editor/support/stream_fields.h"

namespace qorvi {

TSM_CodeBreak::TSM_CodeBreak() : data_(0, false) {
    enabledGlyph_ = disabledGlyph_ = 12;
    enabledText_ = disabledText_ = 0xFFFFFF;
    enabledLine_ = disabledLine_ = 0x800000;
}

std::unique_ptr<TSM_Base> TSM_CodeBreak::makeEmpty() const {
    return std::make_unique<TSM_CodeBreak>();
}

void TSM_CodeBreak::MoveCodeBreakLineTo(std::int32_t Line) {
    const std::int32_t offset = control_ ? control_->lineStart(Line) : 0;
    data_.relStart = data_.relEnd = offset < 0 ? 0 : offset;
    data_.enabled_ = offset >= 0;
    repaint();
}

void TSM_CodeBreak::ClearLastCodeBreakLine() {
    SetEnabled(false);
}

void TSM_CodeBreak::SetEnabled(bool enabled) {
    if (data_.enabled_ == enabled)
        return;
    data_.enabled_ = enabled;
    repaint();
}

std::int32_t TSM_CodeBreak::GetLineNumber() const {
    return control_ ? control_->lineOf(data_.relStart) : 0;
}

bool TSM_CodeBreak::PrepareLineDraw(std::int32_t Offset, int& Glyph, std::int32_t& LineColor,
                                    std::int32_t& TextColor) const {
    if (!data_.enabled_ || Offset != data_.relStart)
        return false;
    Glyph = enabledGlyph_;
    LineColor = enabledLine_;
    TextColor = enabledText_;
    return true;
}

void TSM_CodeBreak::Removing(std::int32_t Count, std::int32_t Pos) {
    removingPos_ = Pos;
    removingCount_ = Count;
    const std::int32_t at = data_.relStart;
    doomed_ = control_ && Count > 0 && at >= Pos &&
              static_cast<std::int64_t>(at) < static_cast<std::int64_t>(Pos) + Count &&
              control_->lineEnd(at) <= static_cast<std::int64_t>(Pos) + Count;
}

void TSM_CodeBreak::TextChanged(std::int32_t Start, std::int32_t Delta) {
    std::int32_t& at = data_.relStart;
    if (Delta > 0) {
        if (at > Start || (at == Start && (!control_ || control_->isLineStart(Start + Delta))))
            at += Delta;
    } else if (Delta < 0) {
        const std::int32_t count = -Delta;
        const bool announced = removingPos_ == Start && removingCount_ == count;
        removingPos_ = -1;
        const std::int64_t stop = static_cast<std::int64_t>(Start) + count;
        if (at >= stop) {
            at -= count;
        } else if (at >= Start) {
            if (announced && doomed_ && data_.enabled_) {
                data_.enabled_ = false;
                repaint();
            }
            at = Start;
        }
        doomed_ = false;
        // Keep it on a line start when its line was joined to another.
        if (at == Start && control_)
            at = control_->lineStart(control_->lineOf(Start));
    }
    data_.relEnd = at;
}

void TSM_CodeBreak::SaveToStream(TStream& stream) const {
    SWriteLongint(stream, enabledGlyph_);
    SWriteLongint(stream, enabledText_);
    SWriteLongint(stream, enabledLine_);
    SWriteLongint(stream, data_.relStart);
    SWriteByteBoolean(stream, data_.enabled_);
}

void TSM_CodeBreak::LoadFromStream(TStream& stream) {
    const std::int32_t glyph = SReadLongint(stream);
    const std::int32_t text = SReadLongint(stream);
    const std::int32_t line = SReadLongint(stream);
    const std::int32_t offset = SReadLongint(stream);
    const bool enabled = SReadByteBoolean(stream);
    enabledGlyph_ = disabledGlyph_ = glyph;
    enabledText_ = disabledText_ = text;
    enabledLine_ = disabledLine_ = line;
    data_.relStart = data_.relEnd = offset < 0 ? 0 : offset;
    data_.enabled_ = enabled;
    repaint();
}

} // namespace qorvi
