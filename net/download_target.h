#pragma once

// The local file a download writes. Bytes go to a temp file beside the target
// (symbolic links resolved) that takes the target's place only when the
// transfer has succeeded, so a failed or cancelled download leaves neither a
// partial file nor a damaged earlier copy. A target with several hard links is
// rewritten in place so the links stay links. The bytes are flushed to disk
// before they replace a non-empty file, so a crash cannot cost the earlier
// copy; a new or empty target has nothing to lose and skips that wait.

#include <string>
#include <sys/types.h>

namespace qorvi {

class DownloadTarget {
public:
    // Raises FTPException when the temp file cannot be created.
    explicit DownloadTarget(const std::string& path);
    ~DownloadTarget();
    DownloadTarget(const DownloadTarget&) = delete;
    DownloadTarget& operator=(const DownloadTarget&) = delete;

    int fd() const { return fd_; }
    // Puts the received bytes in place; raises FTPException on failure, which
    // leaves the target as it was.
    void commit();
    void discard();

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool existed_ = false;
    mode_t mode_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    nlink_t links_ = 0;
    off_t size_ = 0;
};

} // namespace qorvi
