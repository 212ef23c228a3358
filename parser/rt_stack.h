#pragma once

// The parser's stack of saved state sets (script `push` and `pop`). Each
// push copies the set into a block of its own; blocks left on the stack are
// freed when it is cleared or destroyed.

#include "editor/support/byte_set.h"
#include "editor/support/stack.h"

namespace qorvi {

class TRTStack : public TStack {
public:
    TRTStack() : TStack(&RTStackClear) {}
    ~TRTStack() override { Clear(); }

    void PushState(const TByteSet& Set) { Push(new TByteSet(Set)); }
    // Pops the top set into `Set`; raises EStackError "Stack underflow" when
    // the stack is empty.
    void PopState(TByteSet& Set);

    static void RTStackClear(void* item);
};

} // namespace qorvi
