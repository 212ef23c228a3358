#include "parser/rt_stack.h"

#include <memory>

namespace qorvi {

void TRTStack::PopState(TByteSet& Set) {
    std::unique_ptr<TByteSet> top(static_cast<TByteSet*>(Pop()));
    Set = *top;
}

void TRTStack::RTStackClear(void* item) {
    delete static_cast<TByteSet*>(item);
}

} // namespace qorvi
