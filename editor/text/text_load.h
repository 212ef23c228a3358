#pragma once

// Loading text into a store from a stream (through TextLoader: the whole
// text is replaced, and only once all of it has been read, so a failing
// stream or a shortage of memory leaves the document as it was). A file's
// encoding is found from its bytes, while text set from memory keeps the
// store's.

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
