#pragma once

// The code-break marker: the one line where execution stopped, drawn over
// everything else on that line. It follows the text like a breakpoint, but
// a deletion of its whole line disables it instead of freeing it.

#include "editor/marks/breakpoints.h"

namespace qorvi {

class TSM_CodeBreak : public TSM_Breakpoints {
public:
    TSM_CodeBreak();

    // Offset := the start of `Line`, enabled, repaint.
    void MoveCodeBreakLineTo(std::int32_t Line);
    // Disables the marker.
    void ClearLastCodeBreakLine();
    bool GetEnabled() const { return data_.GetEnabled(); }
    void SetEnabled(bool enabled);
    // The control's line of the marker; 0 without a control.
    std::int32_t GetLineNumber() const;
    std::int32_t Offset() const { return data_.relStart; }

    int Glyph() const { return enabledGlyph_; }
    void SetGlyph(int glyph) { SetEnabledGlyph(glyph); }
    std::int32_t TextColor() const { return enabledText_; }
    void SetTextColor(std::int32_t color) { SetEnabledTextColor(color); }
    std::int32_t LineColor() const { return enabledLine_; }
    void SetLineColor(std::int32_t color) { SetEnabledLineColor(color); }

    // True only when enabled and starting at `Offset`.
    bool PrepareLineDraw(std::int32_t Offset, int& Glyph, std::int32_t& LineColor,
                         std::int32_t& TextColor) const override;
    void TextChanged(std::int32_t Start, std::int32_t Delta) override;
    void Removing(std::int32_t Count, std::int32_t Pos) override;
    const char* ClassName() const override { return "TSM_CodeBreak"; }
    void SaveToStream(TStream& stream) const override;
    void LoadFromStream(TStream& stream) override;

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override;

private:
    TSM_BreakpointData data_;
    bool doomed_ = false;
    std::int32_t removingPos_ = -1;
    std::int32_t removingCount_ = 0;
};

} // namespace qorvi
