#include "parser/rt_stack.h"

namespace qorvi {

void TRTStack::PushState(const TByteSet& Set) {
    sets_.push_back(Set);
}

void TRTStack::PopState(TByteSet& Set) {
    if (sets_.empty())
        throw EStackError(kMsgStackUnderflow);
    Set = sets_.back();
    sets_.pop_back();
}

} // namespace qorvi
