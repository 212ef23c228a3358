#include "editor/stack.h"

namespace qorvi {

void* TStack::Pop() {
    if (items_.empty())
        throw EStackError(kMsgStackUnderflow);
    void* item = items_.back();
    items_.pop_back();
    return item;
}

void TStack::Clear() {
    while (!items_.empty()) {
        void* item = items_.back();
        items_.pop_back();
        if (clearProc_)
            clearProc_(item);
    }
}

} // namespace qorvi
