#include "platform/file_system.h"

#include "platform/qorvi_error.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi::fs {

std::string directoryPart(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return {};
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string fileNamePart(const std::string& path) {
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string extensionOf(const std::string& path) {
    std::string name = fileNamePart(path);
    auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty())
        return name;
    if (dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

bool isAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

std::string currentDirectory() {
    std::string buf(4096, '\0');
    while (!::getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE)
            return "/";
        buf.resize(buf.size() * 2);
    }
    buf.resize(std::strlen(buf.c_str()));
    return buf;
}

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return "/";
}

namespace {

std::string xdgDirectory(const char* variable, const char* fallbackUnderHome) {
    const char* v = std::getenv(variable);
    std::string base = (v && *v == '/') ? std::string(v) : joinPath(homeDirectory(), fallbackUnderHome);
    return joinPath(base, "qorvi");
}

// mkdir -p with the given mode for the directories it creates.
void makeDirectories(const std::string& path, mode_t mode) {
    if (path.empty() || isDirectory(path))
        return;
    std::string parent = directoryPart(path);
    if (!parent.empty() && parent != path)
        makeDirectories(parent, 0755);
    ::mkdir(path.c_str(), mode);
}

} // namespace

std::string configDirectory() {
    std::string dir = xdgDirectory("XDG_CONFIG_HOME", ".config");
    makeDirectories(dir, 0700);
    return dir;
}

std::string programDirectory() {
    std::string dir = xdgDirectory("XDG_DATA_HOME", ".local/share");
    makeDirectories(dir, 0700);
    return dir;
}

std::string tempDirectory() {
    const char* t = std::getenv("TMPDIR");
    return (t && *t) ? std::string(t) : std::string("/tmp");
}

std::string executableDirectory() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return {};
    std::string exe(path, static_cast<std::size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

std::vector<std::string> fileSystemRoots() {
    std::vector<std::string> roots{"/"};
    std::string home = homeDirectory();
    if (home != "/")
        roots.push_back(home);
    return roots;
}

std::string rootOf(const std::string& path) {
    std::string best = "/";
    for (const auto& root : fileSystemRoots()) {
        if (root == "/")
            continue;
        bool prefix = path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                                        path[root.size()] == '/');
        if (prefix && root.size() > best.size())
            best = root;
    }
    return best;
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool isFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::int64_t> fileSize(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_size);
}

std::optional<std::int64_t> lastWriteTime(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool isReadOnlyFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

bool matchesPattern(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Only "*" and "?" are wildcards: "[" and "\\" are ordinary characters in
    // file names. Iterative match with one backtrack point per "*".
    std::size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<DirEntry> listDirectory(const std::string& dir, const std::string& pattern) {
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        throw QorviError(std::string(std::strerror(errno)) + ": " + dir);
    std::vector<DirEntry> out;
    while (const dirent* e = ::readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || !matchesPattern(name, pattern))
            continue;
        DirEntry entry;
        entry.name = name;
        entry.hidden = name[0] == '.';
        struct stat st;
        if (::stat(joinPath(dir, name).c_str(), &st) == 0) {
            entry.directory = S_ISDIR(st.st_mode);
            entry.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        }
        out.push_back(std::move(entry));
    }
    ::closedir(d);
    std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
    return out;
}

bool deleteFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool renameFile(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

std::string makeTempFile(const std::string& prefix, const std::string& dir) {
    std::string path = joinPath(dir.empty() ? tempDirectory() : dir, prefix + "XXXXXX");
    int fd = ::mkstemp(path.data());
    if (fd < 0)
        throw QorviError("Could not create a temporary file in " + (dir.empty() ? tempDirectory() : dir));
    ::fchmod(fd, 0600);
    ::close(fd);
    return path;
}

std::optional<std::string> readFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string out;
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

BoundedRead readRegularFile(const std::string& path, std::size_t maxBytes) {
    BoundedRead out;
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        out.error = errno;
        out.problem = errno == ENOENT ? BoundedRead::Problem::Missing : BoundedRead::Problem::CannotOpen;
        return out;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        out.problem = BoundedRead::Problem::NotRegularFile;
        return out;
    }
    if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        out.problem = BoundedRead::Problem::TooLarge;
        return out;
    }
    out.text.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            out.error = errno;
            out.problem = BoundedRead::Problem::ReadError;
            out.text.clear();
            break;
        }
        if (n == 0)
            break;
        // The file may grow while it is read.
        if (out.text.size() + static_cast<std::size_t>(n) > maxBytes) {
            out.problem = BoundedRead::Problem::TooLarge;
            out.text.clear();
            break;
        }
        out.text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

std::optional<std::string> resolveSymlinks(const std::string& path, int& error) {
    error = 0;
    std::string current = path;
    // As many links as the kernel follows before it reports a loop.
    for (int depth = 0; depth <= 40; ++depth) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        std::string link(PATH_MAX, '\0');
        ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0) {
            error = n < 0 ? errno : ENOENT;
            return std::nullopt;
        }
        link.resize(static_cast<std::size_t>(n));
        current = link[0] == '/'
                      ? link
                      : joinPath(directoryPart(current).empty() ? "." : directoryPart(current), link);
    }
    error = ELOOP;
    return std::nullopt;
}

} // namespace qorvi::fs
