#pragma once

// First-in first-out byte store under every socket. The oldest bytes stay in
// memory; once the memory part is full, newer bytes go to a spill file and
// come back into memory as the front is read. The spill file never has a name
// in the temp directory (O_TMPFILE, or unlinked right after mkstemp), so a
// crash leaves nothing behind.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qorvi {

class TFifoBuffer {
public:
    // Memory part of 5% of the available physical memory, in whole KiB,
    // never less than 64 KiB.
    TFifoBuffer();
    explicit TFifoBuffer(std::size_t memoryCapacity);
    ~TFifoBuffer();
    TFifoBuffer(const TFifoBuffer&) = delete;
    TFifoBuffer& operator=(const TFifoBuffer&) = delete;

    void Append(const char* bytes, std::size_t n);
    // Copies the first n bytes without removing them; n beyond the buffered
    // count raises "Can't read the source buffer".
    void Peek(char* bytes, std::size_t n) const;
    // Removes the first n bytes, copying them to `bytes` unless it is null.
    void Remove(char* bytes, std::size_t n);
    std::string RemoveString(std::size_t n);
    // 1-based position just past the first occurrence of `pattern`; 0 when
    // absent.
    std::size_t Search(std::string_view pattern) const;
    void Clear();
    std::size_t Count() const { return memoryCount() + static_cast<std::size_t>(fileEnd_ - fileStart_); }

    std::size_t MemoryCapacity() const { return capacity_; }
    // Raises "Can not lower memory capacity at this time" while the memory
    // part holds more than `capacity`.
    void SetMemoryCapacity(std::size_t capacity);

    // 0-based index of the first `c` among the first `limit` bytes, or npos.
    std::size_t findByte(char c, std::size_t limit) const;
    bool spilled() const { return fileEnd_ > fileStart_; }

    static std::size_t defaultCapacity();

private:
    std::size_t memoryCount() const { return memory_.size() - head_; }
    void writeFile(const char* bytes, std::size_t n);
    void readFile(std::uint64_t offset, char* bytes, std::size_t n) const;
    void refill();

    std::size_t capacity_;
    std::vector<char> memory_;
    std::size_t head_ = 0;
    int fd_ = -1;
    std::uint64_t fileStart_ = 0;
    std::uint64_t fileEnd_ = 0;
};

} // namespace qorvi
