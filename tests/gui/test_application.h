#pragma once

// The one QApplication of a GUI test program, made by whichever test needs
// it first.

#include <QApplication>

namespace qorvi::test {

inline QApplication& app() {
    if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return *existing;
    static int argc = 1;
    static char name[] = "gui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

} // namespace qorvi::test
