#include "platform/safe_file_writer.h"

#include "platform/fd_io.h"
#include "platform/file_system.h"
#include "platform/name_hash.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// ".qorvi-<hash>-": short whatever the file's name, and the same for every
// save of that file, so leftovers of a killed save can be found.
std::string tempPrefix(const std::string& target) {
    return ".qorvi-" + nameHash(fileNameOf(target)) + "-";
}

constexpr std::size_t kTempSuffix = 6; // mkstemp's "XXXXXX"

// A temp file beside `target`, locked for as long as it is open.
int makeLockedTemp(const std::string& target, std::string& path) {
    path = directoryOf(target) + "/" + tempPrefix(target) + std::string(kTempSuffix, 'X');
    int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd >= 0)
        ::flock(fd, LOCK_EX | LOCK_NB);
    return fd;
}

// Removes the temp files of earlier saves of `target` whose writers are gone
// (their lock is free); a save running in another process keeps its own.
void removeLeftoverTemps(const std::string& target) {
    const std::string dir = directoryOf(target);
    const std::string prefix = tempPrefix(target);
    DIR* d = ::opendir(dir.c_str());
    if (!d)
        return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.size() != prefix.size() + kTempSuffix || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string path = dir + "/" + name;
        int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(d);
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

// Makes `to` hold exactly the bytes of `from`, synced.
bool rewriteWith(int from, int to) {
    return ::ftruncate(to, 0) == 0 && copyFile(from, to) && ::fsync(to) == 0;
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

std::string SafeFileWriter::backupPathOf(const std::string& target) {
    const std::string name = fileNameOf(target);
    const std::string suffix = ".qorvi-backup";
    // A name near the length limit gets a backup name that still fits.
    if (name.size() + suffix.size() <= NAME_MAX)
        return directoryOf(target) + "/" + name + suffix;
    return directoryOf(target) + "/qorvi-backup-" + nameHash(name);
}

std::optional<std::string> SafeFileWriter::interruptedSaveBackup(const std::string& target) {
    int error = 0;
    auto resolved = fs::resolveSymlinks(target, error);
    if (!resolved)
        return std::nullopt;
    const std::string backup = backupPathOf(*resolved);
    struct stat st {};
    if (::lstat(backup.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return backup;
}

void SafeFileWriter::restoreInterruptedSave(const std::string& target) {
    const std::string cannotWrite = "Could not write file '" + target + "'";
    int error = 0;
    auto resolved = fs::resolveSymlinks(target, error);
    if (!resolved)
        throw SafeFileError(cannotWrite, error);
    const std::string backup = backupPathOf(*resolved);
    int from = ::open(backup.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    int to = ::open(resolved->c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const bool ok = from >= 0 && to >= 0 && rewriteWith(from, to);
    error = ok ? 0 : errno;
    if (from >= 0)
        ::close(from);
    if (to >= 0)
        ::close(to);
    if (!ok)
        throw SafeFileError(cannotWrite, error);
    ::unlink(backup.c_str());
    // The save that was cut off left its temp file too.
    removeLeftoverTemps(*resolved);
    syncDirectory(directoryOf(*resolved));
}

SafeFileWriter::SafeFileWriter(const std::string& target, int newFileMode) {
    const std::string cannotCreate = "Cannot create file '" + target + "'";
    int resolveError = 0;
    auto resolved = fs::resolveSymlinks(target, resolveError);
    if (!resolved) {
        // Replacing the link with a file would hide the loop, not mend it.
        if (resolveError == ELOOP)
            throw SafeFileError(cannotCreate + ": its symbolic links lead round in a loop", ELOOP);
        throw SafeFileError(cannotCreate, resolveError);
    }
    target_ = *resolved;
    struct stat st {};
    bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode))
        throw SafeFileError(cannotCreate);
    multiLinked_ = exists && st.st_nlink > 1;

    removeLeftoverTemps(target_);
    fd_ = shouldFail(FailAt::CreateTemp) ? (errno = EACCES, -1) : makeLockedTemp(target_, temp_);
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
    if (!committed_ && !temp_.empty())
        ::unlink(temp_.c_str());
    if (fd_ >= 0)
        ::close(fd_);
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
    // The temp file stays open, and so locked, until it has its new name.
    if (shouldFail(FailAt::Rename) || ::rename(temp_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        failed_ = true;
        throw SafeFileError(cannotWrite, error_);
    }
    committed_ = true;
    ::close(fd_);
    fd_ = -1;
    syncDirectory(directoryOf(target_));
}

void SafeFileWriter::commitInPlace() {
    const std::string cannotWrite = "Could not write file '" + target_ + "'";
    const std::string directory = directoryOf(target_);
    const std::string backup = backupPathOf(target_);
    // The copy an earlier save left when it was cut off may be the only
    // whole version the user has; it is never overwritten.
    struct stat earlier {};
    if (::lstat(backup.c_str(), &earlier) == 0) {
        failed_ = true;
        throw SafeFileError(
            cannotWrite + ": '" + backup +
            "' still holds the file as it was before an earlier save was cut off; put it back or "
            "remove it first");
    }
    // The backup is complete and on disk under a name the user can find
    // before the first byte of the file changes.
    std::string backupTemp;
    int backupFd = makeLockedTemp(target_, backupTemp);
    int targetFd = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
    bool ok = backupFd >= 0 && targetFd >= 0 && copyFile(targetFd, backupFd) && ::fsync(backupFd) == 0 &&
              ::rename(backupTemp.c_str(), backup.c_str()) == 0;
    if (!ok && backupFd >= 0)
        ::unlink(backupTemp.c_str());
    bool keepBackup = false;
    if (ok) {
        syncDirectory(directory);
        ok = ::ftruncate(targetFd, 0) == 0 && !shouldFail(FailAt::InPlaceWrite) && copyFile(fd_, targetFd) &&
             ::fsync(targetFd) == 0;
        // Put the original back; should even that fail, the backup stays.
        if (!ok)
            keepBackup = !rewriteWith(backupFd, targetFd);
        if (!keepBackup)
            ::unlink(backup.c_str());
    }
    if (targetFd >= 0)
        ::close(targetFd);
    if (backupFd >= 0)
        ::close(backupFd);
    if (!ok) {
        failed_ = true;
        if (keepBackup)
            throw SafeFileError(cannotWrite + "; its previous contents are kept in '" + backup + "'");
        throw SafeFileError(cannotWrite);
    }
    ::unlink(temp_.c_str());
    committed_ = true;
    ::close(fd_);
    fd_ = -1;
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
