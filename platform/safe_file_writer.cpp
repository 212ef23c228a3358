#include "platform/safe_file_writer.h"

#include "platform/fd_io.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qorvi {

namespace {

SafeFileWriter::FailAt injected = SafeFileWriter::FailAt::Nothing;
std::size_t injectedAfter = 0;

bool shouldFail(SafeFileWriter::FailAt step) {
    if (injected != step)
        return false;
    injected = SafeFileWriter::FailAt::Nothing;
    return true;
}

std::string directoryOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symlinks to the file that is really written, even when the last
// link points at a file that does not exist yet.
std::string resolveTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            break;
        std::vector<char> link(PATH_MAX + 1);
        ssize_t n = ::readlink(current.c_str(), link.data(), PATH_MAX);
        if (n <= 0)
            break;
        std::string to(link.data(), static_cast<std::size_t>(n));
        current = to[0] == '/' ? to : directoryOf(current) + "/" + to;
    }
    return current;
}

bool copyFile(int from, int to) {
    char buffer[64 * 1024];
    // Both from the start: a truncated file keeps its old write offset.
    if (::lseek(from, 0, SEEK_SET) < 0 || ::lseek(to, 0, SEEK_SET) < 0)
        return false;
    for (;;) {
        ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAll(to, buffer, static_cast<std::size_t>(n)))
            return false;
    }
}

void syncDirectory(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void SafeFileWriter::failNext(FailAt step, std::size_t afterBytes) {
    injected = step;
    injectedAfter = afterBytes;
}

SafeFileWriter::SafeFileWriter(const std::string& target, int newFileMode) : target_(resolveTarget(target)) {
    const std::string cannotCreate = "Cannot create file '" + target + "'";
    struct stat st {};
    bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw SafeFileError(cannotCreate);
    multiLinked_ = exists && st.st_nlink > 1;

    temp_ = directoryOf(target_) + "/." + fileNameOf(target_) + ".XXXXXX";
    fd_ = shouldFail(FailAt::CreateTemp) ? (errno = EACCES, -1) : ::mkstemp(temp_.data());
    if (fd_ < 0) {
        const int err = errno;
        temp_.clear();
        // The directory refuses a temp file; a file that may be written is
        // rewritten in place.
        if (exists && (err == EACCES || err == EPERM || err == EROFS) && ::access(target_.c_str(), W_OK) == 0) {
            inMemory_ = true;
            return;
        }
        throw SafeFileError(cannotCreate, err);
    }
    mode_t mode;
    if (exists) {
        mode = st.st_mode & 07777;
        if (::geteuid() == 0)
            (void)::fchown(fd_, st.st_uid, st.st_gid);
    } else if (newFileMode >= 0) {
        mode = static_cast<mode_t>(newFileMode);
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
}

SafeFileWriter::~SafeFileWriter() {
    if (fd_ >= 0)
        ::close(fd_);
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
}

std::size_t SafeFileWriter::write(const char* data, std::size_t count) {
    if (failed_ || (fd_ < 0 && !inMemory_))
        return 0;
    std::size_t allowed = count;
    if (injected == FailAt::Write && written_ + count > injectedAfter) {
        injected = FailAt::Nothing;
        allowed = injectedAfter > written_ ? injectedAfter - written_ : 0;
    }
    if (inMemory_) {
        memory_.append(data, allowed);
        written_ += allowed;
        failed_ = allowed < count;
        return allowed;
    }
    const std::size_t done = writeFully(fd_, data, allowed);
    written_ += done;
    if (done < count) {
        error_ = done < allowed ? errno : ENOSPC;
        failed_ = true;
    }
    return done;
}

void SafeFileWriter::commit() {
    const std::string cannotWrite = "Could not write file '" + target_ + "'";
    if (committed_)
        return;
    if (inMemory_ && !failed_) {
        commitFromMemory();
        return;
    }
    if (failed_ || fd_ < 0)
        throw SafeFileError(cannotWrite, error_);
    if (shouldFail(FailAt::Sync) || ::fsync(fd_) != 0) {
        error_ = errno;
        failed_ = true;
        throw SafeFileError(cannotWrite, error_);
    }
    if (multiLinked_) {
        commitInPlace();
        return;
    }
    ::close(fd_);
    fd_ = -1;
    if (shouldFail(FailAt::Rename) || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        failed_ = true;
        throw SafeFileError(cannotWrite, error_);
    }
    committed_ = true;
    syncDirectory(directoryOf(target_));
}

void SafeFileWriter::commitInPlace() {
    const std::string cannotWrite = "Could not write file '" + target_ + "'";
    // Keep a copy of the original, so that a failed rewrite can be undone.
    std::string backup = directoryOf(target_) + "/." + fileNameOf(target_) + ".backup.XXXXXX";
    int backupFd = ::mkstemp(backup.data());
    int targetFd = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
    bool ok = backupFd >= 0 && targetFd >= 0 && copyFile(targetFd, backupFd) && ::fsync(backupFd) == 0;
    bool keepBackup = false;
    if (ok) {
        ok = ::ftruncate(targetFd, 0) == 0 && !shouldFail(FailAt::InPlaceWrite) && copyFile(fd_, targetFd) &&
             ::fsync(targetFd) == 0;
        // Put the original back; should even that fail, the backup stays.
        if (!ok)
            keepBackup =
                !(::ftruncate(targetFd, 0) == 0 && copyFile(backupFd, targetFd) && ::fsync(targetFd) == 0);
    }
    if (targetFd >= 0)
        ::close(targetFd);
    if (backupFd >= 0) {
        ::close(backupFd);
        if (!keepBackup)
            ::unlink(backup.c_str());
    }
    if (!ok) {
        failed_ = true;
        throw SafeFileError(cannotWrite);
    }
    ::close(fd_);
    fd_ = -1;
    ::unlink(temp_.c_str());
    committed_ = true;
}

void SafeFileWriter::commitFromMemory() {
    const std::string cannotWrite = "Could not write file '" + target_ + "'";
    int fd = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
    std::string old;
    bool ok = fd >= 0;
    if (ok) {
        // The old bytes, so that a failed rewrite can be taken back.
        char buffer[64 * 1024];
        for (;;) {
            ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false;
            if (n <= 0)
                break;
            old.append(buffer, static_cast<std::size_t>(n));
        }
    }
    auto rewrite = [fd](const std::string& bytes) {
        return ::ftruncate(fd, 0) == 0 && ::lseek(fd, 0, SEEK_SET) == 0 && writeAll(fd, bytes.data(), bytes.size()) &&
               ::fsync(fd) == 0;
    };
    // An injected failure cuts the rewrite half way, as a full disk would.
    const bool injectedFailure = shouldFail(FailAt::InPlaceWrite);
    if (ok && (!rewrite(injectedFailure ? memory_.substr(0, memory_.size() / 2) : memory_) || injectedFailure)) {
        ok = false;
        (void)rewrite(old);
    }
    if (fd >= 0)
        ::close(fd);
    if (!ok) {
        failed_ = true;
        throw SafeFileError(cannotWrite);
    }
    committed_ = true;
}

} // namespace qorvi
