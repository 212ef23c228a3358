#pragma once

// The parser's stack of saved state sets (script `push` and `pop`). It is
// used on every token of some languages (each string, each ${...}), so the
// sets lie by value in one array that keeps its room between parses: a push
// allocates nothing once the array has grown to the nesting depth.

#include "editor/support/byte_set.h"
#include "editor/support/stack.h"

#include <cstddef>
#include <vector>

namespace qorvi {

class TRTStack {
public:
    // Out of line, so that the parser's path for tokens that push nothing
    // stays lean.
    void PushState(const TByteSet& Set);
    // Pops the top set into `Set`; raises EStackError "Stack underflow" when
    // the stack is empty.
    void PopState(TByteSet& Set);

    void Clear() { sets_.clear(); }
    bool IsEmpty() const { return sets_.empty(); }
    std::size_t Count() const { return sets_.size(); }

private:
    std::vector<TByteSet> sets_;
};

} // namespace qorvi
