#pragma once

// Storage of the records' blocks (characters followed by style runs).
//
// Records made in bulk (a load, a paste, a line split) take exactly sized
// blocks from an arena of large chunks, so a loaded file costs little more
// than its characters and their style runs. A record whose length changes moves to its own heap
// block with room to grow, since a line being typed into changes again soon.
// An arena chunk is given back once none of its blocks is in use.

#include "editor/support/bulk_memory.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace qorvi {

class LineTextAllocator {
public:
    LineTextAllocator() = default;
    LineTextAllocator(const LineTextAllocator&) = delete;
    LineTextAllocator& operator=(const LineTextAllocator&) = delete;

    // A block of `bytes` bytes from the arena.
    char* allocateExact(std::size_t bytes);
    void releaseExact(char* block, std::size_t bytes);

    // A heap block of `capacity` bytes that knows its size.
    static char* allocateHeap(std::uint16_t capacity);
    static std::uint16_t heapCapacity(const char* block);
    static void releaseHeap(char* block);

    // Forgets every arena chunk (the chain has released or abandoned all
    // its blocks).
    void clear();

    std::size_t arenaBytes() const { return arenaBytes_; }

private:
    struct Chunk {
        BulkMemory memory;
        std::size_t size = 0;
        std::size_t live = 0; // bytes handed out and not yet released
    };

    std::map<const char*, Chunk> chunks_; // by start address
    char* cursor_ = nullptr;              // next free byte of the newest chunk
    char* limit_ = nullptr;
    Chunk* current_ = nullptr;
    std::size_t nextChunkSize_ = 64 * 1024;
    std::size_t arenaBytes_ = 0;
};

} // namespace qorvi
