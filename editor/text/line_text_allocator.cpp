#include "editor/text/line_text_allocator.h"

#include <cassert>
#include <cstring>

namespace qorvi {

namespace {
// One huge page: a styling pass moves records to new blocks in text order,
// and an old chunk is given back only once all its records have moved.
constexpr std::size_t kMaxChunkSize = BulkMemory::kHugePageSize;
}

char* LineTextAllocator::allocateExact(std::size_t bytes) {
    if (bytes == 0)
        bytes = 1;
    if (!cursor_ || static_cast<std::size_t>(limit_ - cursor_) < bytes) {
        std::size_t size = std::max(nextChunkSize_, bytes);
        nextChunkSize_ = std::min(nextChunkSize_ * 2, kMaxChunkSize);
        Chunk chunk;
        chunk.memory = BulkMemory(size);
        chunk.size = size;
        char* base = chunk.memory.data();
        auto [it, inserted] = chunks_.emplace(base, std::move(chunk));
        assert(inserted);
        // The chunk we leave may already be unused entirely.
        if (current_ && current_->live == 0) {
            arenaBytes_ -= current_->size;
            chunks_.erase(current_->memory.data());
        }
        current_ = &it->second;
        cursor_ = base;
        limit_ = base + size;
        arenaBytes_ += size;
    }
    char* block = cursor_;
    cursor_ += bytes;
    current_->live += bytes;
    return block;
}

void LineTextAllocator::releaseExact(char* block, std::size_t bytes) {
    if (bytes == 0)
        bytes = 1;
    auto it = chunks_.upper_bound(block);
    assert(it != chunks_.begin());
    --it;
    Chunk& chunk = it->second;
    assert(block >= chunk.memory.data() && block + bytes <= chunk.memory.data() + chunk.size);
    chunk.live -= bytes;
    if (chunk.live == 0 && &chunk != current_) {
        arenaBytes_ -= chunk.size;
        chunks_.erase(it);
    }
}

char* LineTextAllocator::allocateHeap(std::uint16_t capacity) {
    char* raw = new char[2u + capacity];
    std::memcpy(raw, &capacity, sizeof capacity);
    return raw + 2;
}

std::uint16_t LineTextAllocator::heapCapacity(const char* block) {
    std::uint16_t capacity;
    std::memcpy(&capacity, block - 2, sizeof capacity);
    return capacity;
}

void LineTextAllocator::releaseHeap(char* block) {
    delete[](block - 2);
}

void LineTextAllocator::clear() {
    chunks_.clear();
    current_ = nullptr;
    cursor_ = limit_ = nullptr;
    nextChunkSize_ = 64 * 1024;
    arenaBytes_ = 0;
}

} // namespace qorvi
