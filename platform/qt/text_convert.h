#pragma once

// Text crosses into Qt here: the system's 8-bit Windows-1252 strings become
// QStrings and back through the code-page table. A document's text follows
// its own encoding instead (TCustomRudivoVoru::EncodeForDocument and
// DecodeFromDocument).

#include "platform/code_page.h"

#include <QString>
#include <string>

namespace qorvi {

inline QString toQString(const std::string& text) { return QString::fromUtf8(cp1252ToUtf8(text)); }
inline std::string fromQString(const QString& text) { return utf8ToCp1252(text.toUtf8().toStdString()); }

// File names are raw OS bytes, not code-page text.
inline QString pathToQString(const std::string& path) { return QString::fromLocal8Bit(path.c_str()); }
inline std::string pathFromQString(const QString& path) { return path.toLocal8Bit().toStdString(); }

} // namespace qorvi
