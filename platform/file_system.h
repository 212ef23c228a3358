#pragma once

// File-system services of the shell on POSIX: path pieces, pattern
// expansion, roots, the program's own directories and small file helpers.
// Paths are raw OS bytes; "/" separates components.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qorvi::fs {

// Everything before the last "/" ("/" itself for a file in the root; empty
// when there is no "/").
std::string directoryPart(const std::string& path);
// Everything after the last "/".
std::string fileNamePart(const std::string& path);
// What follows the last "." of the file-name part, without the dot; empty
// when there is none (".profile" has the extension "profile").
std::string extensionOf(const std::string& path);
// `dir` + "/" + `name`, without doubling a trailing "/".
std::string joinPath(const std::string& dir, const std::string& name);
bool isAbsolute(const std::string& path);

std::string currentDirectory();
std::string homeDirectory();

// $XDG_CONFIG_HOME/qorvi (default ~/.config/qorvi), created with mode 0700.
std::string configDirectory();
// $XDG_DATA_HOME/qorvi (default ~/.local/share/qorvi), created: home of "Qorvi.dat".
std::string programDirectory();
// $TMPDIR or /tmp.
std::string tempDirectory();
// The folder holding the running program's executable (empty if unknown).
std::string executableDirectory();

// The roots offered by the drive box: "/" first, then the home directory.
std::vector<std::string> fileSystemRoots();
// The root that is the longest prefix of `path` ("/" when no other is).
std::string rootOf(const std::string& path);

bool exists(const std::string& path);
bool isDirectory(const std::string& path);
// A regular file (or a link to one).
bool isFile(const std::string& path);
std::optional<std::int64_t> fileSize(const std::string& path);
// Last-write time in nanoseconds since the epoch; nullopt when missing.
std::optional<std::int64_t> lastWriteTime(const std::string& path);

// Which file a path names and how it stood: another program that rewrote,
// appended to or replaced the file changes its stamp.
struct FileStamp {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modified = 0; // nanoseconds since the epoch
    bool operator==(const FileStamp&) const = default;
};
// nullopt when the file does not exist (or cannot be looked at).
std::optional<FileStamp> fileStamp(const std::string& path);
// No write permission bit in the file's mode (whoever runs the program).
bool isReadOnlyFile(const std::string& path);

// True when `name` matches `pattern` ("*" any run, "?" one character; "*.*"
// matches every name). Case-sensitive.
bool matchesPattern(const std::string& name, const std::string& pattern);

struct DirEntry {
    std::string name;
    bool directory = false;
    bool readOnly = false; // no write permission bit in the mode
    bool hidden = false;   // a leading "."
};

// Entries of `dir` (without "." and "..") whose names match `pattern`, sorted
// by name. Throws QorviError with the system's message when the directory
// cannot be read.
std::vector<DirEntry> listDirectory(const std::string& dir, const std::string& pattern = "*");

// Removes a file; false when it could not.
bool deleteFile(const std::string& path);
// Renames; false when it could not.
bool renameFile(const std::string& from, const std::string& to);

// Creates a new empty file with mode 0600 in `dir` (default: the temp
// directory) whose name starts with `prefix`, and returns its path.
std::string makeTempFile(const std::string& prefix, const std::string& dir = {});

// Whole-file read; nullopt when the file cannot be read.
std::optional<std::string> readFile(const std::string& path);

// A read of a file the program keeps its own data in (the settings file):
// only a regular file is read (a FIFO or device in its place is refused
// without waiting for a writer), and at most `maxBytes` of it.
struct BoundedRead {
    enum class Problem { None, Missing, CannotOpen, NotRegularFile, TooLarge, ReadError };
    Problem problem = Problem::None;
    int error = 0; // errno of CannotOpen and ReadError
    std::string text;
};
BoundedRead readRegularFile(const std::string& path, std::size_t maxBytes);

// Follows symlinks to the file that is really meant, even when the last link
// points at a file that does not exist yet. nullopt with `error` ELOOP when
// the links lead round in a loop (or too deep), or another errno when a link
// cannot be read.
std::optional<std::string> resolveSymlinks(const std::string& path, int& error);

} // namespace qorvi::fs
