#pragma once

// Writing a user's file so that a failure never damages it.
//
// The text goes to a temp file beside the real target (symlinks resolved),
// made with the target's mode, and its owner when running as root. Commit
// syncs it and renames it over the target, then syncs the directory; only a
// commit that succeeded replaces anything. A target with more than one hard
// link is not replaced but copied to a backup and rewritten in place, so
// that its links stay links; the backup puts it back if that fails. A writer
// destroyed without a successful commit removes its temp file.
//
// A file the user may write in a directory they may not (no temp file can
// be made beside it) is rewritten in place: the new text is gathered in
// memory, the old bytes are read into memory before the file is cut, and
// they are written back should the rewrite fail.

#include "platform/qorvi_error.h"

#include <cstddef>
#include <string>

namespace qorvi {

class SafeFileError : public QorviError {
public:
    explicit SafeFileError(const std::string& message, int systemError = 0)
        : QorviError(message), systemError_(systemError) {}
    // The errno of the step that failed (0 when unknown).
    int systemError() const { return systemError_; }

private:
    int systemError_;
};

class SafeFileWriter {
public:
    // Opens the temp file for `target`. Raises SafeFileError "Cannot create
    // file '%s'" when it cannot be made. A target that does not exist yet is
    // made with `newFileMode` (-1: 0666 less the umask); an existing one
    // keeps its mode.
    explicit SafeFileWriter(const std::string& target, int newFileMode = -1);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    // Writes `count` bytes; returns how many the file took. Fewer than
    // `count` means the disk refused the rest, and the writer is failed.
    std::size_t write(const char* data, std::size_t count);
    bool failed() const { return failed_; }

    // Makes the written bytes the target's contents. Raises SafeFileError
    // "Could not write file '%s'" when any step fails (the target then holds
    // what it held before), and when a write before it failed.
    void commit();

    // The file that is replaced: the target with its symlinks resolved.
    const std::string& targetPath() const { return target_; }
    const std::string& tempPath() const { return temp_; }

    // Failure injection for tests: the step that fails next, once.
    enum class FailAt { Nothing, Write, Sync, Rename, InPlaceWrite, CreateTemp };
    static void failNext(FailAt step, std::size_t afterBytes = 0);

    // True when no temp file could be made and the target is rewritten in
    // place from memory.
    bool writesInPlace() const { return inMemory_; }

private:
    void commitInPlace();
    void commitFromMemory();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
    bool multiLinked_ = false;
    bool inMemory_ = false;
    std::string memory_; // the new contents, when rewriting in place from memory
    std::size_t written_ = 0;
    int error_ = 0;
};

} // namespace qorvi
