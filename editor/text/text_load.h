#pragma once

// Loading text into a store: the whole text is replaced by the stream's
// contents from its current position, read in pieces of 8192 bytes (past
// the first megabyte, 64 KB pieces while a second thread builds the records)
// and passed through the line-break adjustment. The new text is
// built apart and takes the old one's place only when all of it has been
// read, so a failing stream or a shortage of memory leaves the document as
// it was. The line-break style of the first break is recorded in the store
// (LF when there is none), so that saving writes the file back the same way;
// a file's encoding is found the same way (a UTF-8 byte-order mark or valid
// UTF-8 makes it UTF-8, else Windows-1252), while text set from memory keeps
// the store's.

#include <string>

namespace qorvi {

class TStream;
class TTextStore;

// Raises ERudivoVoru "Not enough memory for operation" when memory runs out
// (or the text would pass 2^31 - 1 characters); stream errors pass through.
void LoadTextFromStream(TTextStore& store, TStream& stream, bool detectEncoding = false);
// Raises EFOpenError "File '%s' cannot be opened for reading" for a missing
// or unreadable file.
void LoadTextFromFile(TTextStore& store, const std::string& path);
// WM_SETTEXT: a null text loads an empty one.
void SetStoreText(TTextStore& store, const char* text);

} // namespace qorvi
