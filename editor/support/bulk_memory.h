#pragma once

// A block of memory for the bulk storage of a large document (record text,
// record tables). A 100 MB file touches a few hundred megabytes at load;
// taking them 4 KB per page fault costs more than copying the text, so
// blocks of at least kHugePageSize are mapped on their own, aligned, and
// offered to the kernel for huge pages. Smaller blocks come from the heap.
// The contents start undefined.

#include <cstddef>

namespace qorvi {

class BulkMemory {
public:
    static constexpr std::size_t kHugePageSize = 2u << 20;

    BulkMemory() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit BulkMemory(std::size_t size);
    BulkMemory(BulkMemory&& other) noexcept;
    BulkMemory& operator=(BulkMemory&& other) noexcept;
    BulkMemory(const BulkMemory&) = delete;
    BulkMemory& operator=(const BulkMemory&) = delete;
    ~BulkMemory();

    char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    void release();

    char* data_ = nullptr;
    std::size_t size_ = 0;
    bool mapped_ = false;
};

} // namespace qorvi
