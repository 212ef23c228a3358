// The main window in a real X window: caption "Qorvi", three status panels,
// the explorer listing a directory. Saves a screenshot and fails when the
// window is not what it should be.

#include "gui/main_form.h"
#include "platform/hive.h"

#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>

using namespace qorvi;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    test::TempDir root;
    ::setenv("XDG_RUNTIME_DIR", root.path().c_str(), 1);
    std::string work = root.file("project");
    ::mkdir(work.c_str(), 0700);
    ::mkdir((work + "/src").c_str(), 0700);
    std::ofstream(work + "/main.cpp") << "int main() {}\n";
    std::ofstream(work + "/README") << "hello\n";
    Hive hive(root.file("hkcu.reg"));
    test::FakeShellUi ui;
    TMainForm::Options o;
    o.currentDirectory = work;
    o.programDirectory = root.path();
    o.hive = &hive;
    o.ui = &ui;
    TMainForm form(std::move(o));
    form.resize(1100, 750);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 10000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    (void)QTest::qWaitFor([&] { return form.lstLocalFiles()->count() == 4; }, 5000);
    QTest::qWait(300);
    QDir().mkpath(QFileInfo(argv[1]).absolutePath());
    QPixmap shot = form.screen()->grabWindow(0, form.frameGeometry().x(), form.frameGeometry().y(),
                                             form.frameGeometry().width(), form.frameGeometry().height());
    if (shot.isNull() || !shot.save(argv[1])) {
        std::fprintf(stderr, "could not save %s\n", argv[1]);
        return 1;
    }
    int panels = form.statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel")).size();
    bool ok = form.windowTitle() == "Qorvi" && form.windowHandle() && form.windowHandle()->title() == "Qorvi" &&
              panels == 3 && form.lstLocalFiles()->count() == 4 && QImage(argv[1]).width() > 500;
    std::printf("caption=%s panels=%d items=%d png=%s\n", qPrintable(form.windowTitle()), panels,
                form.lstLocalFiles()->count(), argv[1]);
    return ok ? 0 : 1;
}
