#pragma once

// A last-in first-out stack of pointers. The parser keeps its saved state
// sets on one and the undo history its records; each owner says, through a
// clear routine, how the items still on the stack are freed when the stack
// is cleared or destroyed.

#include "platform/qorvi_error.h"

#include <cstddef>
#include <vector>

namespace qorvi {

class EStackError : public QorviError {
public:
    using QorviError::QorviError;
};

inline constexpr const char* kMsgStackUnderflow = "Stack underflow";

class TStack {
public:
    using ClearProc = void (*)(void* item);

    explicit TStack(ClearProc clearProc = nullptr) : clearProc_(clearProc) {}
    virtual ~TStack() { Clear(); }
    TStack(const TStack&) = delete;
    TStack& operator=(const TStack&) = delete;

    void Push(void* item) { items_.push_back(item); }
    // Raises EStackError "Stack underflow" when empty.
    void* Pop();
    // The top item, or null when empty.
    void* Peek() const { return items_.empty() ? nullptr : items_.back(); }
    std::size_t Count() const { return items_.size(); }
    bool IsEmpty() const { return items_.empty(); }
    // Frees every item through the clear routine, top first.
    void Clear();

private:
    std::vector<void*> items_;
    ClearProc clearProc_;
};

} // namespace qorvi
