#pragma once

// The pictures of the shell's image lists, drawn at start-up: the tool bar
// (`ImageList1`), the explorer's file icons (`imgFiles`: 0 folder, 1 file
// of a registered type, 2 read-only file, 3 parent directory, 4 file of an
// unregistered type, 9 link) and the document window's user glyphs
// (`imgMain`: glyph 1 marks a collapsed section).

#include "app/main_commands.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <vector>

namespace qorvi {

// A null icon for commands without a tool bar picture.
QIcon commandIcon(Command id);
// The ten icons of `imgFiles`, 16 x 16.
const std::vector<QPixmap>& fileIcons();
// The user glyphs of a document window's gutter.
std::vector<QImage> documentGlyphs();
// The program's own icon (windows, documents, the task bar).
// The program's icon, known to desktops by this name (the desktop entry's id).
inline constexpr const char* kProgramIconName = "org.qorvi.Qorvi";
QIcon programIcon();

} // namespace qorvi
