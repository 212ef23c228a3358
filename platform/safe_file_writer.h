#pragma once

// Writing a user's file so that a failure never damages it.
//
// The text goes to a temp file beside the real target (symlinks resolved; a
// loop of links is refused), made with the target's mode, and its owner when
// running as root. Commit syncs it and renames it over the target, then
// syncs the directory; only a commit that succeeded replaces anything. A
// writer destroyed without a successful commit removes its temp file.
//
// Temp files have short names (".qorvi-<hash of the file name>-XXXXXX"), so
// that a file name of any allowed length can be saved, and stay locked while
// their writer lives: one left behind by a writer that was killed is
// recognised by its name and its free lock and removed by the next save of
// that file.
//
// A target with more than one hard link is not replaced but rewritten in
// place, so that its links stay links. Its old contents are first copied to
// a backup beside it ("<name>.qorvi-backup"), synced to disk; the backup
// puts the file back if the rewrite fails, and goes when it succeeded. When
// the program is killed during the rewrite the backup stays:
// interruptedSaveBackup finds it and restoreInterruptedSave puts it back.
// While it is there, a further in-place rewrite of that file is refused
// rather than overwrite it.
//
// A file the user may write in a directory they may not (no temp file can
// be made beside it) is rewritten in place: the new text is gathered in
// memory, the old bytes are read into memory before the file is cut, and
// they are written back should the rewrite fail.

#include "platform/qorvi_error.h"

#include <cstddef>
#include <optional>
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

    // The backup an in-place rewrite of `target` (symlinks resolved) keeps
    // while it runs.
    static std::string backupPathOf(const std::string& target);
    // The backup left by a rewrite of `target` that never finished, when
    // there is one.
    static std::optional<std::string> interruptedSaveBackup(const std::string& target);
    // Writes the backup's contents back into `target` in place (its links
    // stay links) and removes the backup. Raises SafeFileError, keeping the
    // backup, when that fails.
    static void restoreInterruptedSave(const std::string& target);

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
