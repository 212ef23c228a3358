#include "editor/support/bulk_memory.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <utility>

namespace qorvi {

BulkMemory::BulkMemory(std::size_t size) : size_(size) {
    if (size < kHugePageSize) {
        data_ = new char[size == 0 ? 1 : size];
        return;
    }
    // Map a huge page more than asked so that an aligned start can be cut
    // out; huge pages only back aligned ranges.
    const std::size_t rounded = (size + kHugePageSize - 1) & ~(kHugePageSize - 1);
    const std::size_t span = rounded + kHugePageSize;
    void* raw = ::mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        throw std::bad_alloc();
    auto base = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (base + kHugePageSize - 1) & ~(std::uintptr_t{kHugePageSize} - 1);
    if (aligned > base)
        ::munmap(raw, aligned - base);
    const std::uintptr_t end = base + span;
    if (end > aligned + rounded)
        ::munmap(reinterpret_cast<void*>(aligned + rounded), end - (aligned + rounded));
    data_ = reinterpret_cast<char*>(aligned);
    size_ = rounded;
    mapped_ = true;
    // Advice only: without huge pages the block works as ordinary memory.
    ::madvise(data_, size_, MADV_HUGEPAGE);
}

BulkMemory::BulkMemory(BulkMemory&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, false)) {}

BulkMemory& BulkMemory::operator=(BulkMemory&& other) noexcept {
    if (this != &other) {
        release();
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        mapped_ = std::exchange(other.mapped_, false);
    }
    return *this;
}

BulkMemory::~BulkMemory() { release(); }

void BulkMemory::release() {
    if (!data_)
        return;
    if (mapped_)
        ::munmap(data_, size_);
    else
        delete[] data_;
    data_ = nullptr;
}

} // namespace qorvi
