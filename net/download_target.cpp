#include "net/download_target.h"

#include "net/ftp_exception.h"
#include "net/sock_errors.h"

#include "platform/fd_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qorvi {

namespace {

std::string resolvedTarget(const std::string& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

mode_t currentUmask() {
    mode_t mask = ::umask(022);
    ::umask(mask);
    return mask;
}

void copyInto(int from, const std::string& to) {
    int out = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (out < 0)
        throw FTPException("Can't write " + to + ": " + SocketErrorStr(errno));
    std::vector<char> block(1 << 16);
    off_t offset = 0;
    for (;;) {
        ssize_t n = ::pread(from, block.data(), block.size(), offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(out);
            throw FTPException("Can't write " + to + ": " + SocketErrorStr(errno));
        }
        if (n == 0)
            break;
        if (!writeAll(out, block.data(), static_cast<std::size_t>(n))) {
            const int error = errno;
            ::close(out);
            throw FTPException("Can't write " + to + ": " + SocketErrorStr(error));
        }
        offset += n;
    }
    if (::fsync(out) != 0 || ::close(out) != 0)
        throw FTPException("Can't write " + to + ": " + SocketErrorStr(errno));
}

} // namespace

DownloadTarget::DownloadTarget(const std::string& path) : target_(resolvedTarget(path)) {
    struct stat st {};
    if (::stat(target_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw FTPException("Can't write " + path + ": " + SocketErrorStr(EISDIR));
        existed_ = true;
        mode_ = st.st_mode & 07777;
        uid_ = st.st_uid;
        gid_ = st.st_gid;
        links_ = st.st_nlink;
        size_ = st.st_size;
    } else {
        mode_ = 0666 & ~currentUmask();
    }
    std::size_t slash = target_.rfind('/');
    std::string dir = slash == std::string::npos ? "." : target_.substr(0, slash == 0 ? 1 : slash);
    std::string base = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    temp_ = dir + (dir == "/" ? "" : "/") + "." + base + ".XXXXXX";
    fd_ = ::mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0)
        throw FTPException("Can't create " + path + ": " + SocketErrorStr(errno));
}

DownloadTarget::~DownloadTarget() {
    discard();
}

void DownloadTarget::commit() {
    if (fd_ < 0)
        return;
    try {
        if (existed_ && size_ > 0 && ::fsync(fd_) != 0)
            throw FTPException("Can't write " + target_ + ": " + SocketErrorStr(errno));
        if (existed_ && links_ > 1) {
            copyInto(fd_, target_);
            discard();
            return;
        }
        ::fchmod(fd_, mode_);
        if (existed_ && ::geteuid() == 0)
            (void)!::fchown(fd_, uid_, gid_);
        if (::rename(temp_.c_str(), target_.c_str()) != 0)
            throw FTPException("Can't write " + target_ + ": " + SocketErrorStr(errno));
    } catch (...) {
        discard();
        throw;
    }
    ::close(fd_);
    fd_ = -1;
}

void DownloadTarget::discard() {
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
}

} // namespace qorvi
