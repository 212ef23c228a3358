#pragma once

// The 2048-byte hand-over block "QorviShare" through which a second start
// passes its file names to the running instance: a NUL-terminated list of
// names, each followed by a line feed. It is POSIX shared memory named per
// user and instance socket (so per display and runtime directory), mode
// 0600; a block owned by another user is never used. Senders of this program
// send their names over the instance channel instead; the block stays for
// senders that write it and post message 1224.

#include <cstddef>
#include <optional>
#include <string>

namespace qorvi {

class HandoverBlock {
public:
    static constexpr std::size_t kSize = 2048;

    // "/QorviShare.<uid>.<hash of the instance socket's path>".
    static std::string objectName();

    // The running instance's side: creates (or opens) the block and keeps it
    // for its lifetime. nullopt when that fails.
    static std::optional<HandoverBlock> create();
    // A sender's or the receiver's side: opens an existing block. nullopt
    // when there is none (or it is not ours).
    static std::optional<HandoverBlock> open();

    HandoverBlock(HandoverBlock&& other) noexcept;
    HandoverBlock& operator=(HandoverBlock&& other) noexcept;
    HandoverBlock(const HandoverBlock&) = delete;
    HandoverBlock& operator=(const HandoverBlock&) = delete;
    ~HandoverBlock();

    // Zeroes all 2048 bytes, then copies `text` (at most 2047 bytes, so a
    // terminating zero always remains) to the start.
    void write(const std::string& text);
    // The content up to the first zero, at most 2048 bytes.
    std::string read() const;

private:
    HandoverBlock(int fd, unsigned char* view, bool owner);
    int fd_ = -1;
    unsigned char* view_ = nullptr;
    bool owner_ = false; // created the name, so removes it at the end
};

} // namespace qorvi
