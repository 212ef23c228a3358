#pragma once

// The text a document window saves: the editor's text with every collapsed
// section expanded - each marker line replaced by the lines it stands for -
// written with the line breaks the file was loaded with (LF for a new
// document), through a temp file beside the target that replaces it only
// when every byte was written (SafeFileWriter). A failed save leaves the
// file as it was.
//
// A marker line whose section is back in the text already (an undo of the
// collapse brought the lines back while the track stayed on the first of
// them) is written as it stands, so no line is ever written twice.

#include "editor/text/line_break_writer.h"
#include <cstdint>
#include <string>
#include <vector>

namespace qorvi {

class CodeCollapseList;
class DocumentEditor;

struct TextPiece {
    std::int32_t from = 0;  // offset in the editor's text
    std::int32_t count = 0; // characters of the editor's text it replaces
    std::string text;       // what is written instead (stored form)
};

// The marker lines to replace, in text order.
std::vector<TextPiece> collapsedPieces(const DocumentEditor& editor, const CodeCollapseList& collapses);

// The whole text to save in stored form (CR breaks). Meant for small texts
// and tests; saving streams instead.
std::string textToSave(const DocumentEditor& editor, const CodeCollapseList& collapses);

// Writes the text to save to `path`. Raises QorviError (SafeFileError) with
// the message to show when the file cannot be written.
void saveDocumentText(const DocumentEditor& editor, const CodeCollapseList& collapses,
                      const std::string& path);

// Writes the text to save into `path`, an existing file that holds no one's
// work (the private temp copy a remote save uploads): in place, without the
// safe writer's sync and rename. Raises QorviError when it cannot be written.
void writeDocumentCopy(const DocumentEditor& editor, const CodeCollapseList& collapses,
                       const std::string& path);
// The same text handed to `sink` a piece at a time.
void writeDocumentCopy(const DocumentEditor& editor, const CodeCollapseList& collapses,
                       const LineBreakWriter::Sink& sink);

} // namespace qorvi
