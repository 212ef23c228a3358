#include "editor/support/file_stream.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {

namespace {
std::string cannotOpen(const std::string& path) {
    return "File '" + path + "' cannot be opened for reading";
}
} // namespace

TFileStream::TFileStream(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0)
        throw EFOpenError(cannotOpen(path));
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        throw EFOpenError(cannotOpen(path));
    }
}

TFileStream::~TFileStream() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::int64_t TFileStream::Read(void* buffer, std::int64_t count) {
    std::int64_t done = 0;
    char* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(fd_, out + done, static_cast<std::size_t>(count - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EStreamError("Stream read error");
        }
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

std::int64_t TFileStream::Write(const void*, std::int64_t) {
    throw EStreamError(kMsgReadOnlyStream);
}

std::int64_t TFileStream::Seek(std::int64_t offset, int origin) {
    int whence = origin == soFromCurrent ? SEEK_CUR : origin == soFromEnd ? SEEK_END : SEEK_SET;
    if (origin < soFromBeginning || origin > soFromEnd)
        return ::lseek(fd_, 0, SEEK_CUR);
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    return r < 0 ? ::lseek(fd_, 0, SEEK_CUR) : r;
}

} // namespace qorvi
