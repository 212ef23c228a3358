#pragma once

// Breakpoints of a text store. Each marks the start of a line; the store
// forwards every change of the text (TextChanged, breakpoints first, then
// the code-break marker), and the breakpoints move with their lines.
//
// A breakpoint stays on a line start through every edit: text typed at the
// very start of its line leaves it where it is (unless the typed text ends
// with a line break and so pushes the line down); a deletion that removes
// its whole line frees it; one that removes only the start of its line, or
// joins its line to the one before, moves it to the start of the joined
// line, where a breakpoint already there wins. To know which lines a
// deletion removes whole, the control announces it (Removing) before the
// rows go, as it does for named bookmarks.

#include "editor/marks/breakpoint_control.h"
#include "editor/marks/breakpoint_data.h"
#include "editor/marks/offset_index.h"
#include "editor/support/data_object_base.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qorvi {

enum TSM_BreakpointChangeReason : int { bpci_NONE = 0, bpci_ENABLE = 1, bpci_CREATE = 2 };

class TSM_Breakpoints : public TSM_Base {
public:
    TSM_Breakpoints();
    ~TSM_Breakpoints() override;

    // Bound by the control to OnBreakpointStateChange and OnBreakpointFree.
    void SetOnStateChange(TBreakpointNotify notify) { onStateChange_ = std::move(notify); }
    void SetOnFree(TBreakpointNotify notify) { onFree_ = std::move(notify); }
    void SetEditControl(BreakpointControl* control) { control_ = control; }
    BreakpointControl* GetEditControl() const { return control_; }

    // Fires the state-change notification and resets the change reason.
    virtual void DoBreakpointChange(TSM_BreakpointData* data);
    // True when a breakpoint starts at `Offset`; gives its glyph and colours.
    virtual bool PrepareLineDraw(std::int32_t Offset, int& Glyph, std::int32_t& LineColor,
                                 std::int32_t& TextColor) const;
    // `Delta` characters were inserted (> 0) or removed (< 0) at `Start`.
    virtual void TextChanged(std::int32_t Start, std::int32_t Delta);
    // [Pos, Pos + Count) is about to be deleted: notes which breakpoints
    // lose their whole line, for the TextChanged that follows.
    virtual void Removing(std::int32_t Count, std::int32_t Pos);

    // Adds `Data` at the start of its line (offset 0 without a control),
    // freeing a breakpoint already there; null when the line does not exist.
    TSM_BreakpointData* AddBreakpoint(std::unique_ptr<TSM_BreakpointData> Data);
    TSM_BreakpointData* EnableBreakpointAtLine(std::int32_t Line);
    void DisableBreakpointAtLine(std::int32_t Line);
    void RemoveBreakpointAtLine(std::int32_t Line);
    bool BreakpointExistsAtLine(std::int32_t Line, TSM_BreakpointData*& Data) const;
    TSM_BreakpointData* LocateBPAtCharOffset(std::int32_t Offset) const;
    // Frees every breakpoint (free notifications fire).
    void Clear();

    std::size_t Count() const { return list_.size(); }
    TSM_BreakpointData* First() const { return static_cast<TSM_BreakpointData*>(list_.first()); }
    TSM_BreakpointData* Next(const TSM_BreakpointData* data) const {
        return static_cast<TSM_BreakpointData*>(list_.next(data));
    }
    TSM_BreakpointChangeReason ChangeReason() const { return reason_; }

    // Glyphs and colours (0x00BBGGRR); setters repaint only on a change.
    int DisabledGlyph() const { return disabledGlyph_; }
    int EnabledGlyph() const { return enabledGlyph_; }
    std::int32_t DisabledTextColor() const { return disabledText_; }
    std::int32_t DisabledLineColor() const { return disabledLine_; }
    std::int32_t EnabledTextColor() const { return enabledText_; }
    std::int32_t EnabledLineColor() const { return enabledLine_; }
    void SetDisabledGlyph(int glyph) { change(disabledGlyph_, glyph); }
    void SetEnabledGlyph(int glyph) { change(enabledGlyph_, glyph); }
    void SetDisabledTextColor(std::int32_t color) { change(disabledText_, color); }
    void SetDisabledLineColor(std::int32_t color) { change(disabledLine_, color); }
    void SetEnabledTextColor(std::int32_t color) { change(enabledText_, color); }
    void SetEnabledLineColor(std::int32_t color) { change(enabledLine_, color); }

    // The glyphs, the colours and every breakpoint (offset, enabled flag,
    // line, user text and number).
    void SaveToStream(TStream& stream) const override;
    // Reads everything before changing anything; the old breakpoints are
    // freed with their notifications.
    void LoadFromStream(TStream& stream) override;
    const char* ClassName() const override { return "TSM_Breakpoints"; }

    const OffsetIndex& Index() const { return list_; }

protected:
    std::unique_ptr<TSM_Base> makeEmpty() const override;
    void repaint() const;
    template <class T> void change(T& field, T value) {
        if (field == value)
            return;
        field = value;
        repaint();
    }
    BreakpointControl* control_ = nullptr;
    int disabledGlyph_ = 12;
    int enabledGlyph_ = 11;
    std::int32_t disabledText_ = 0x00FFFF;
    std::int32_t disabledLine_ = 0x008000;
    std::int32_t enabledText_ = 0xFFFFFF;
    std::int32_t enabledLine_ = 0x0000FF;

private:
    friend class TSM_BreakpointData;
    void enabledChanged(TSM_BreakpointData* data);
    void freeData(TSM_BreakpointData* data);
    std::int32_t lineStartOf(std::int32_t line) const;

    OffsetIndex list_;
    TBreakpointNotify onStateChange_;
    TBreakpointNotify onFree_;
    TSM_BreakpointChangeReason reason_ = bpci_NONE;
    std::int32_t removingPos_ = -1;
    std::int32_t removingCount_ = 0;
};

} // namespace qorvi
