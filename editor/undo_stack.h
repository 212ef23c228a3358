#pragma once

// The undo history of a text store. Controls that share a store share its
// history. This holds the state the store hands out and keeps across
// controls; the records and their replay belong to the control's undo.

#include <cstdint>

namespace qorvi {

class TUndoStack {
public:
    virtual ~TUndoStack() = default;

    // Memory limit in bytes; -1 means none.
    std::int64_t MemoryLimit() const { return memoryLimit_; }
    void SetMemoryLimit(std::int64_t limit) { memoryLimit_ = limit < 0 ? -1 : limit; }

private:
    std::int64_t memoryLimit_ = -1;
};

} // namespace qorvi
