#pragma once

// Saves what the screen shows of a window, its frame included, as a PNG.

#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QScreen>
#include <QWidget>
#include <cstdio>

namespace qorvi::test {

// False, with a message on stderr, when the picture cannot be taken or saved.
inline bool saveWindowShot(const QWidget& window, const char* path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QRect frame = window.frameGeometry();
    const QPixmap shot = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull() || !shot.save(path)) {
        std::fprintf(stderr, "could not save %s\n", path);
        return false;
    }
    return true;
}

} // namespace qorvi::test
