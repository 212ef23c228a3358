#include "net/fifo_buffer.h"

#include "net/sock_errors.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qorvi {

namespace {

constexpr std::size_t kMinCapacity = 65536;
// Refilling in bounded steps keeps a single read from the spill file short.
constexpr std::size_t kRefillStep = 1 << 20;

std::string tempDirectory() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

int createSpillFile() {
    const std::string dir = tempDirectory();
    int fd = ::open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0)
        return fd;
    // File systems without O_TMPFILE: a named file that is unlinked at once.
    std::string path = dir + "/BufXXXXXX";
    fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0)
        throw ESockError("Can't create a temporary file");
    ::unlink(path.c_str());
    return fd;
}

} // namespace

std::size_t TFifoBuffer::defaultCapacity() {
    long pages = ::sysconf(_SC_AVPHYS_PAGES);
    long pageSize = ::sysconf(_SC_PAGESIZE);
    std::uint64_t bytes = pages > 0 && pageSize > 0 ? static_cast<std::uint64_t>(pages) * pageSize : 0;
    std::uint64_t capacity = bytes / 20 / 1024 * 1024;
    return static_cast<std::size_t>(std::max<std::uint64_t>(capacity, kMinCapacity));
}

TFifoBuffer::TFifoBuffer() : capacity_(defaultCapacity()) {
}

TFifoBuffer::TFifoBuffer(std::size_t memoryCapacity) : capacity_(std::max<std::size_t>(memoryCapacity, 1)) {
}

TFifoBuffer::~TFifoBuffer() {
    if (fd_ >= 0)
        ::close(fd_);
}

void TFifoBuffer::Append(const char* bytes, std::size_t n) {
    if (n == 0)
        return;
    std::size_t toMemory = 0;
    // Once bytes are in the file, newer ones must follow them there.
    if (!spilled())
        toMemory = std::min(n, capacity_ - std::min(capacity_, memoryCount()));
    if (toMemory > 0) {
        if (head_ > 0 && memory_.size() + toMemory > memory_.capacity()) {
            memory_.erase(memory_.begin(), memory_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
        memory_.insert(memory_.end(), bytes, bytes + toMemory);
    }
    if (toMemory < n)
        writeFile(bytes + toMemory, n - toMemory);
}

void TFifoBuffer::Peek(char* bytes, std::size_t n) const {
    if (n > Count())
        throw ESockError("Can't read the source buffer");
    std::size_t fromMemory = std::min(n, memoryCount());
    if (fromMemory > 0)
        std::memcpy(bytes, memory_.data() + head_, fromMemory);
    if (fromMemory < n)
        readFile(fileStart_, bytes + fromMemory, n - fromMemory);
}

void TFifoBuffer::Remove(char* bytes, std::size_t n) {
    if (n > Count())
        throw ESockError("Can't read the source buffer");
    if (bytes)
        Peek(bytes, n);
    std::size_t fromMemory = std::min(n, memoryCount());
    head_ += fromMemory;
    fileStart_ += n - fromMemory;
    if (head_ == memory_.size()) {
        memory_.clear();
        head_ = 0;
    }
    refill();
}

std::string TFifoBuffer::RemoveString(std::size_t n) {
    std::string out(n, '\0');
    Remove(out.data(), n);
    return out;
}

std::size_t TFifoBuffer::Search(std::string_view pattern) const {
    if (pattern.empty() || pattern.size() > Count())
        return 0;
    // The memory part first, then the file in chunks that overlap by the
    // pattern's length so an occurrence across a boundary is still found.
    const char* mem = memory_.data() + head_;
    const char* memEnd = mem + memoryCount();
    auto hit = std::search(mem, memEnd, pattern.begin(), pattern.end());
    if (hit != memEnd)
        return static_cast<std::size_t>(hit - mem) + pattern.size();
    if (!spilled())
        return 0;
    std::string window(memEnd - std::min<std::size_t>(memoryCount(), pattern.size() - 1), memEnd);
    std::size_t windowOffset = memoryCount() - window.size();
    std::uint64_t offset = fileStart_;
    std::vector<char> chunk;
    while (offset < fileEnd_) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kRefillStep, fileEnd_ - offset));
        chunk.resize(n);
        readFile(offset, chunk.data(), n);
        window.append(chunk.data(), n);
        std::size_t pos = window.find(pattern);
        if (pos != std::string::npos)
            return windowOffset + pos + pattern.size();
        std::size_t keep = std::min(window.size(), pattern.size() - 1);
        windowOffset += window.size() - keep;
        window.erase(0, window.size() - keep);
        offset += n;
    }
    return 0;
}

void TFifoBuffer::Clear() {
    memory_.clear();
    memory_.shrink_to_fit();
    head_ = 0;
    fileStart_ = fileEnd_ = 0;
    if (fd_ >= 0 && ::ftruncate(fd_, 0) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

void TFifoBuffer::SetMemoryCapacity(std::size_t capacity) {
    if (capacity < memoryCount() || capacity == 0)
        throw ESockError("Can not lower memory capacity at this time");
    capacity_ = capacity;
    refill();
}

std::size_t TFifoBuffer::findByte(char c, std::size_t limit) const {
    std::size_t inMemory = std::min(limit, memoryCount());
    const void* hit = inMemory > 0 ? std::memchr(memory_.data() + head_, c, inMemory) : nullptr;
    if (hit)
        return static_cast<std::size_t>(static_cast<const char*>(hit) - (memory_.data() + head_));
    if (limit <= inMemory || !spilled())
        return std::string::npos;
    std::size_t rest =
        static_cast<std::size_t>(std::min<std::uint64_t>(limit - inMemory, fileEnd_ - fileStart_));
    std::vector<char> chunk(rest);
    readFile(fileStart_, chunk.data(), rest);
    if (const void* hit = std::memchr(chunk.data(), c, rest))
        return inMemory + static_cast<std::size_t>(static_cast<const char*>(hit) - chunk.data());
    return std::string::npos;
}

void TFifoBuffer::writeFile(const char* bytes, std::size_t n) {
    if (fd_ < 0)
        fd_ = createSpillFile();
    while (n > 0) {
        ssize_t done = ::pwrite(fd_, bytes, n, static_cast<off_t>(fileEnd_));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw ESockError("Can't write to the destination buffer");
        bytes += done;
        n -= static_cast<std::size_t>(done);
        fileEnd_ += static_cast<std::uint64_t>(done);
    }
}

void TFifoBuffer::readFile(std::uint64_t offset, char* bytes, std::size_t n) const {
    while (n > 0) {
        ssize_t done = ::pread(fd_, bytes, n, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            throw ESockError("Can't read the source buffer");
        bytes += done;
        n -= static_cast<std::size_t>(done);
        offset += static_cast<std::uint64_t>(done);
    }
}

void TFifoBuffer::refill() {
    if (!spilled()) {
        if (fd_ >= 0 && fileEnd_ > 0) {
            fileStart_ = fileEnd_ = 0;
            if (::ftruncate(fd_, 0) != 0) {
                ::close(fd_);
                fd_ = -1;
            }
        }
        return;
    }
    std::size_t room = capacity_ - std::min(capacity_, memoryCount());
    std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>({room, kRefillStep, fileEnd_ - fileStart_}));
    if (n == 0)
        return;
    if (head_ > 0) {
        memory_.erase(memory_.begin(), memory_.begin() + static_cast<std::ptrdiff_t>(head_));
        head_ = 0;
    }
    std::size_t old = memory_.size();
    memory_.resize(old + n);
    readFile(fileStart_, memory_.data() + old, n);
    fileStart_ += n;
    if (!spilled())
        refill();
}

} // namespace qorvi
