#pragma once

// Writing the text out: a range of it (copying the selection) or all of it
// (saving), in one of the output styles. The stored line break is one CR;
// after it the CR LF style adds an LF, the CR style writes it alone and the
// Unix style writes an LF in its place.
//
// A stream that takes fewer bytes than it is given fails the write at once
// with "Could not save text to stream": the text is never written twice into
// a stream that has already taken part of it.

#include "editor/text/line_breaks.h"
#include "editor/text/text_store.h"

#include <cstdint>
#include <string>

namespace qorvi {

class TStream;

enum TSaveFormat { sfTEXT, sfRTF, sfHTML, sfUNIX };

// The output style that writes a file back with the breaks it was read with:
// LF -> sfUNIX, CR LF -> sfTEXT with lsCRLF, CR -> sfTEXT with lsLF.
struct TextOutputStyle {
    TSaveFormat format = sfUNIX;
    TSelLineStyle lineStyle = lsCRLF;
};
TextOutputStyle OutputStyleFor(LineBreakStyle style);

// Writes the characters [from, to) (clamped) in plain text: sfUNIX writes an
// LF for each CR, any other format CR with an LF after it when `lineStyle`
// is lsCRLF. RTF and HTML are the control's exports.
void ExportPlainText(const TTextStore& store, std::int32_t from, std::int32_t to, TStream& stream,
                     TSaveFormat format, TSelLineStyle lineStyle);

// Saves the whole text. A null stream raises EFileSaveError "Bad TStream
// instance"; a short write EFileSaveError "Could not save text to stream".
void SaveTextToStream(const TTextStore& store, TStream* stream, TSaveFormat format, TSelLineStyle lineStyle);

// Saves the whole text to a file in the line-break style the store's text
// was loaded with, through SafeFileWriter: the file is replaced only when
// every byte was written and synced. Raises SafeFileError when the file
// cannot be made or replaced, EFileSaveError on a short write.
void SaveTextToFile(const TTextStore& store, const std::string& path);

} // namespace qorvi
