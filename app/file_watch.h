#pragma once

// The file watch ("tail") mode of a document window: while it is on, the
// editor is read-only and shows only the last N lines of the file, and
// every tick of the watch timer appends what was written to the file since
// the tick before. Switching on notes where the shown text ends in the file
// (its size when it was loaded or saved, when that is known), so that lines
// written since then, even within the first tick, all appear. A file that
// shrank (truncated or replaced) is read again from its start.
//
// The encoding follows the file as opening it would find it: a UTF-8
// document becomes Windows-1252 when bytes that are not UTF-8 arrive (unless
// the file starts with a byte-order mark), and a file read again from its
// start is judged by its own bytes. The bytes are never changed.
//
// A writer may be caught between the CR and the LF of a CR LF break: the LF
// that arrives at the next tick ends a line that is already ended, so it is
// not shown as a line of its own.

#include "platform/text_encoding.h"

#include <cstdint>
#include <string>

namespace qorvi {

class DocumentEditor;

// Keeps the last `lines` lines of the editor's text (an empty line after a
// final line break does not count) and puts the caret on line `lines`.
void keepLastLines(DocumentEditor& editor, std::int32_t lines);

// Caret to the start of the 1-based `line`, clamped to the text, scrolled
// into view.
void goToLineOf(DocumentEditor& editor, std::int32_t line);

class FileWatch {
public:
    static constexpr int kIntervalMs = 3000;
    // Bytes read from the file at a time.
    static constexpr std::size_t kReadBlock = 2048;

    bool watching() const { return watching_; }
    // Once watched, a document never saves again.
    bool wasWatched() const { return wasWatched_; }
    std::int64_t offset() const { return offset_; }

    // Watch mode on for the file `path`: the editor keeps the last `lines`
    // lines. `shownSize` is the file's size when the editor's text was read
    // or written (-1 when unknown: then the file's size now).
    void start(DocumentEditor& editor, std::int32_t lines, const std::string& path, std::int64_t shownSize = -1);
    void stop() { watching_ = false; }

    // One tick of the watch timer for the file `path`. True when text was
    // appended.
    bool tick(DocumentEditor& editor, const std::string& path, std::int32_t lines);

private:
    bool watching_ = false;
    bool wasWatched_ = false;
    bool primed_ = false;
    std::int64_t offset_ = 0;
    std::int64_t fileTime_ = 0;
    std::int64_t fileSize_ = -1;
    std::uint64_t fileId_ = 0; // the inode: a rotated log is another file
    bool endedWithCR_ = false; // the last byte read (or seen at the start) was a CR
    EncodingDetector read_;    // the bytes read since the start or the last read from the file's start
    bool bom_ = false;         // the file starts with a byte-order mark
};

} // namespace qorvi
