#pragma once

// One breakpoint: the offset of its line's start (kept by the owner's
// offset index, so edits move it), whether it is enabled, the line number
// it was created for, and the caller's text and number. Destroying it fires
// its free notification (the owner's, once it has one).

#include "editor/marks/offset_index.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qorvi {

class TSM_Breakpoints;
class TSM_BreakpointData;

using TBreakpointNotify = std::function<void(TSM_BreakpointData* data)>;

class TSM_BreakpointData : public OffsetIndex::Entry {
public:
    explicit TSM_BreakpointData(std::int32_t line = 0, bool enabled = true, std::string userText = {},
                                std::int32_t userInt = 0);
    virtual ~TSM_BreakpointData();
    TSM_BreakpointData(const TSM_BreakpointData&) = delete;
    TSM_BreakpointData& operator=(const TSM_BreakpointData&) = delete;

    // The offset of the line start it marks.
    std::int32_t Offset() const { return block ? OffsetIndex::startOf(this) : relStart; }
    bool Alive() const { return alive_; }
    bool GetEnabled() const { return enabled_; }
    // On a change: repaint, change reason "enable", state-change notification.
    void SetEnabled(bool enabled);
    // The line given at creation.
    std::int32_t LineNumber() const { return line_; }
    // The control's line number of its offset; 0 without owner or control.
    std::int32_t GetCurrentLine() const;
    const std::string& UserTextData() const { return userText_; }
    void SetUserTextData(const std::string& text) { userText_ = text; }
    std::int32_t UserIntData() const { return userInt_; }
    void SetUserIntData(std::int32_t value) { userInt_ = value; }
    TSM_Breakpoints* Owner() const { return owner_; }

private:
    friend class TSM_Breakpoints;
    friend class TSM_CodeBreak;

    TSM_Breakpoints* owner_ = nullptr;
    TBreakpointNotify onFree_;
    TBreakpointNotify onChange_;
    bool alive_ = true;
    bool enabled_;
    bool doomed_ = false; // its whole line is inside the text being deleted
    std::int32_t line_;
    std::string userText_;
    std::int32_t userInt_;
};

} // namespace qorvi
