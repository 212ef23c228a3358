#include "app/file_watch.h"

#include "app/document_editor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {

namespace {

// Whether the file starts with a UTF-8 byte-order mark.
bool startsWithBom(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char head[3];
    const ssize_t n = ::pread(fd, head, sizeof head, 0);
    ::close(fd);
    return n == sizeof head && startsWithUtf8Bom(std::string_view(head, sizeof head));
}

// Reads the file from `offset` to its end; the bytes read.
std::string readFrom(const std::string& path, std::int64_t offset) {
    std::string data;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return data;
    char block[FileWatch::kReadBlock];
    for (;;) {
        ssize_t n = ::pread(fd, block, sizeof block, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        data.append(block, static_cast<std::size_t>(n));
        offset += n;
    }
    ::close(fd);
    return data;
}

// Whether the byte before `offset` is a CR.
bool crBefore(const std::string& path, std::int64_t offset) {
    if (offset <= 0)
        return false;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char last = 0;
    const bool cr = ::pread(fd, &last, 1, static_cast<off_t>(offset - 1)) == 1 && last == '\r';
    ::close(fd);
    return cr;
}

} // namespace

void goToLineOf(DocumentEditor& editor, std::int32_t line) {
    line = std::clamp(line, 1, std::max(1, editor.lineCount()));
    std::int32_t at = editor.lineStart(line - 1);
    editor.setSelection(at, at);
    editor.scrollCaretIntoView();
}

void keepLastLines(DocumentEditor& editor, std::int32_t lines) {
    lines = std::max(1, lines);
    std::int32_t count = editor.lineCount();
    const std::int32_t length = editor.textLength();
    // The empty line after a final break is where the next line will go.
    if (count > 1 && editor.lineStart(count - 1) == length)
        --count;
    if (count > lines)
        editor.deleteLeadingText(editor.lineStart(count - lines));
    goToLineOf(editor, lines);
}

void FileWatch::start(DocumentEditor& editor, std::int32_t lines, const std::string& path,
                      std::int64_t shownSize) {
    keepLastLines(editor, lines);
    watching_ = true;
    wasWatched_ = true;
    primed_ = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return; // noted at the first tick that finds the file
    primed_ = true;
    const auto size = static_cast<std::int64_t>(st.st_size);
    offset_ = shownSize >= 0 && shownSize <= size ? shownSize : size;
    read_ = {};
    bom_ = startsWithBom(path);
    endedWithCR_ = crBefore(path, offset_);
    fileId_ = static_cast<std::uint64_t>(st.st_ino);
    // The first tick reads whatever lies past the offset.
    fileTime_ = -1;
    fileSize_ = -1;
}

bool FileWatch::tick(DocumentEditor& editor, const std::string& path, std::int32_t lines) {
    if (!watching_)
        return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    const std::int64_t time = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const auto size = static_cast<std::int64_t>(st.st_size);
    const auto file = static_cast<std::uint64_t>(st.st_ino);
    if (primed_ && time == fileTime_ && size == fileSize_ && file == fileId_)
        return false;
    const bool replaced = primed_ && file != fileId_;
    fileTime_ = time;
    fileSize_ = size;
    fileId_ = file;
    if (!primed_) {
        primed_ = true;
        offset_ = size;
        endedWithCR_ = crBefore(path, offset_);
        return false;
    }
    // A log that was cut short or rotated starts again.
    const bool fromStart = size < offset_ || replaced;
    if (fromStart) {
        offset_ = 0;
        endedWithCR_ = false;
        read_ = {};
    }
    const std::string added = readFrom(path, offset_);
    offset_ += static_cast<std::int64_t>(added.size());
    read_.feed(added);
    if (fromStart) {
        bom_ = startsWithUtf8Bom(added);
        editor.setEncoding(read_.invalid() && !bom_ ? TextEncoding::Windows1252 : TextEncoding::Utf8);
    } else if (read_.invalid() && !bom_) {
        editor.setEncoding(TextEncoding::Windows1252);
    }
    if (!added.empty()) {
        const bool lfOfShownBreak = endedWithCR_ && added.front() == '\n';
        endedWithCR_ = added.back() == '\r';
        if (lfOfShownBreak)
            editor.appendText(added.substr(1));
        else
            editor.appendText(added);
    }
    keepLastLines(editor, lines);
    return !added.empty();
}

} // namespace qorvi
