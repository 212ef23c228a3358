#include "app/document_text.h"

#include "app/code_collapse.h"
#include "app/document_editor.h"
#include "editor/text/line_break_writer.h"
#include "platform/qorvi_error.h"
#include "platform/safe_file_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qorvi {

namespace {

// Pieces of the editor's text read at a time while saving.
constexpr std::int32_t kChunk = 1 << 20;

// Feeds `sink` the text to save piece by piece.
template <class Sink>
void produce(const DocumentEditor& editor, const CodeCollapseList& collapses, Sink&& sink) {
    const std::vector<TextPiece> pieces = collapsedPieces(editor, collapses);
    const std::int32_t length = editor.textLength();
    std::int32_t at = 0;
    auto copyUpTo = [&](std::int32_t to) {
        while (at < to) {
            std::int32_t count = std::min(kChunk, to - at);
            sink(editor.textRange(at, count));
            at += count;
        }
    };
    for (const TextPiece& piece : pieces) {
        copyUpTo(piece.from);
        sink(piece.text);
        at = piece.from + piece.count;
    }
    copyUpTo(length);
}

} // namespace

std::vector<TextPiece> collapsedPieces(const DocumentEditor& editor, const CodeCollapseList& collapses) {
    std::vector<TextPiece> pieces;
    std::int32_t lastLine = 0;
    for (const auto& track : editor.lineTracks()) {
        const TCodeCollapse* section = collapses.find(track.data);
        // One marker per line: a second track on a line adds nothing.
        if (!section || track.line == lastLine)
            continue;
        lastLine = track.line;
        const std::int32_t from = editor.lineStart(track.line - 1);
        const std::int32_t to = editor.lineEnd(track.line - 1);
        const auto size = static_cast<std::int32_t>(section->text.size());
        if (editor.textRange(from, size) == section->text)
            continue; // the lines are back in the text
        pieces.push_back({from, to - from, section->text});
    }
    std::sort(pieces.begin(), pieces.end(),
              [](const TextPiece& a, const TextPiece& b) { return a.from < b.from; });
    return pieces;
}

std::string textToSave(const DocumentEditor& editor, const CodeCollapseList& collapses) {
    std::string text;
    produce(editor, collapses, [&](const std::string& piece) { text += piece; });
    return text;
}

void saveDocumentText(const DocumentEditor& editor, const CodeCollapseList& collapses,
                      const std::string& path) {
    SafeFileWriter file(path);
    LineBreakWriter out(editor.lineBreaks(), [&](const char* data, std::size_t count) {
        if (file.write(data, count) != count)
            file.commit(); // raises: the writer has failed
    });
    produce(editor, collapses, [&](const std::string& piece) { out.write(piece); });
    out.flush();
    file.commit();
}

void writeDocumentCopy(const DocumentEditor& editor, const CodeCollapseList& collapses,
                       const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        throw QorviError("Cannot write '" + path + "': " + std::strerror(errno));
    auto fail = [&] {
        const int error = errno;
        ::close(fd);
        throw QorviError("Cannot write '" + path + "': " + std::strerror(error));
    };
    writeDocumentCopy(editor, collapses, [&](const char* data, std::size_t count) {
        while (count > 0) {
            const ssize_t n = ::write(fd, data, count);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail();
            data += n;
            count -= static_cast<std::size_t>(n);
        }
    });
    if (::close(fd) != 0)
        throw QorviError("Cannot write '" + path + "': " + std::strerror(errno));
}

void writeDocumentCopy(const DocumentEditor& editor, const CodeCollapseList& collapses,
                       const LineBreakWriter::Sink& sink) {
    LineBreakWriter out(editor.lineBreaks(), sink);
    produce(editor, collapses, [&](const std::string& piece) { out.write(piece); });
    out.flush();
}

} // namespace qorvi
