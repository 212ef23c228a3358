#include "editor/marks/breakpoint_data.h"

#include "editor/marks/breakpoints.h"

namespace qorvi {

TSM_BreakpointData::TSM_BreakpointData(std::int32_t line, bool enabled, std::string userText,
                                       std::int32_t userInt)
    : enabled_(enabled), line_(line), userText_(std::move(userText)), userInt_(userInt) {
}

TSM_BreakpointData::~TSM_BreakpointData() {
    alive_ = false;
    // The owner's current binding: the control may have rebound it since.
    const TBreakpointNotify& notify = owner_ ? owner_->onFree_ : onFree_;
    if (notify)
        notify(this);
}

void TSM_BreakpointData::SetEnabled(bool enabled) {
    if (enabled == enabled_)
        return;
    enabled_ = enabled;
    if (owner_)
        owner_->enabledChanged(this);
    else if (onChange_)
        onChange_(this);
}

std::int32_t TSM_BreakpointData::GetCurrentLine() const {
    if (!owner_ || !owner_->GetEditControl())
        return 0;
    return owner_->GetEditControl()->lineOf(Offset());
}

} // namespace qorvi
