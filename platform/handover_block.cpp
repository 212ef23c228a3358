#include "platform/handover_block.h"

#include "platform/instance_channel.h"
#include "platform/instance_scope.h"
#include "platform/name_hash.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qorvi {

namespace {

// A block we did not create ourselves must still be ours alone.
bool trustworthy(int fd) {
    struct stat st;
    return ::fstat(fd, &st) == 0 && st.st_uid == ::getuid() && (st.st_mode & 077) == 0 &&
           st.st_size >= static_cast<off_t>(HandoverBlock::kSize);
}

} // namespace

std::string HandoverBlock::objectName() {
    // The block belongs to the instance that owns the socket: two instances
    // on one display with different runtime directories have a block each.
    auto socket = InstanceChannel::socketPath();
    return "/QorviShare." + std::to_string(::getuid()) + "." + (socket ? nameHash(*socket) : instanceScope());
}

HandoverBlock::HandoverBlock(int fd, unsigned char* view, bool owner) : fd_(fd), view_(view), owner_(owner) {}

HandoverBlock::HandoverBlock(HandoverBlock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), view_(std::exchange(other.view_, nullptr)),
      owner_(std::exchange(other.owner_, false)) {}

HandoverBlock& HandoverBlock::operator=(HandoverBlock&& other) noexcept {
    if (this != &other) {
        this->~HandoverBlock();
        fd_ = std::exchange(other.fd_, -1);
        view_ = std::exchange(other.view_, nullptr);
        owner_ = std::exchange(other.owner_, false);
    }
    return *this;
}

HandoverBlock::~HandoverBlock() {
    if (view_)
        ::munmap(view_, kSize);
    if (fd_ >= 0)
        ::close(fd_);
    if (owner_)
        ::shm_unlink(objectName().c_str());
}

std::optional<HandoverBlock> HandoverBlock::create() {
    std::string name = objectName();
    bool owner = true;
    int fd = ::shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
        // Another instance (started with "-m") made it first: share it.
        owner = false;
        fd = ::shm_open(name.c_str(), O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0 && !trustworthy(fd)) {
            ::close(fd);
            return std::nullopt;
        }
    }
    if (fd < 0)
        return std::nullopt;
    if (owner && ::ftruncate(fd, kSize) != 0) {
        ::close(fd);
        ::shm_unlink(name.c_str());
        return std::nullopt;
    }
    void* view = ::mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        ::close(fd);
        if (owner)
            ::shm_unlink(name.c_str());
        return std::nullopt;
    }
    return HandoverBlock(fd, static_cast<unsigned char*>(view), owner);
}

std::optional<HandoverBlock> HandoverBlock::open() {
    int fd = ::shm_open(objectName().c_str(), O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0)
        return std::nullopt;
    if (!trustworthy(fd)) {
        ::close(fd);
        return std::nullopt;
    }
    void* view = ::mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
        ::close(fd);
        return std::nullopt;
    }
    return HandoverBlock(fd, static_cast<unsigned char*>(view), false);
}

void HandoverBlock::write(const std::string& text) {
    std::memset(view_, 0, kSize);
    std::memcpy(view_, text.data(), std::min(text.size(), kSize - 1));
}

std::string HandoverBlock::read() const {
    const void* zero = std::memchr(view_, 0, kSize);
    std::size_t len = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - view_) : kSize;
    return std::string(reinterpret_cast<const char*>(view_), len);
}

} // namespace qorvi
