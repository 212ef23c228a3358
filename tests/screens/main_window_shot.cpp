// The main window in a real X window: the explorer listing a project
// directory and two documents from the command line, C++ and SQL, tiled
// side by side in syntax colours, with their tabs. Saves a screenshot and
// fails when the window is not what it should be.

#include "app/document_window.h"
#include "app/main_shell.h"
#include "gui/editor_widget.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "platform/hive.h"
#include "tests/screens/window_shot.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QWindow>
#include <cstdio>
#include <fstream>
#include <set>
#include <sys/stat.h>

using namespace qorvi;

namespace {

const char* const kCpp = "// Sums the weights of a list.\n"
                         "#include <vector>\n"
                         "\n"
                         "int total(const std::vector<int>& weights) {\n"
                         "    int sum = 0; /* running sum */\n"
                         "    for (int w : weights)\n"
                         "        sum += w * 0x1F;\n"
                         "    return sum;\n"
                         "}\n"
                         "\n"
                         "const char* name = \"weights\";\n";

const char* const kSql = "-- Orders of the last week\n"
                         "SELECT o.id, o.total, c.name\n"
                         "  FROM orders o\n"
                         "  JOIN customers c ON c.id = o.customer_id\n"
                         " WHERE o.placed > CURRENT_DATE - 7\n"
                         "   AND c.name LIKE 'A%'\n"
                         " ORDER BY o.total DESC;\n";

// Distinct clearly coloured (not grey) pixels of a widget's picture.
int colouredPixels(QWidget* w) {
    const QImage image = w->grab().toImage();
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 1)
        for (int x = 0; x < image.width(); x += 1) {
            const QColor c = image.pixelColor(x, y);
            if (c.hsvSaturation() > 120 && c.value() > 60)
                colours.insert(c.rgb() & 0xF0F0F0);
        }
    return static_cast<int>(colours.size());
}

} // namespace

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
    ::mkdir((work + "/docs").c_str(), 0700);
    std::ofstream(work + "/weights.cpp") << kCpp;
    std::ofstream(work + "/orders.sql") << kSql;
    std::ofstream(work + "/README") << "hello\n";
    std::ofstream(work + "/notes.xyz") << "?\n";
    std::ofstream(work + "/LICENSE") << "text\n";
    ::chmod((work + "/LICENSE").c_str(), 0444);
    Hive hive(root.file("hkcu.reg"));
    test::FakeShellUi ui;
    TMainForm::Options o;
    o.args = {"weights.cpp", "orders.sql"};
    o.currentDirectory = work;
    o.programDirectory = root.path();
    o.hive = &hive;
    o.ui = &ui;
    TMainForm form(std::move(o));
    form.resize(1180, 760);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 10000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    (void)QTest::qWaitFor([&] { return form.lstLocalFiles()->count() == 8 && form.pgcFiles()->count() == 2; },
                          5000);
    QTest::qWait(300); // the tab strip takes its height
    form.shell().commands().run(Command::TileVertically);
    QTest::qWait(600);
    int coloured[2] = {0, 0};
    const auto children = form.children();
    for (std::size_t i = 0; i < children.size() && i < 2; ++i)
        coloured[i] = colouredPixels(children[i]->txtMain()->viewport());

    if (!test::saveWindowShot(form, argv[1]))
        return 1;
    const QString counts = form.statusPanel(1)->text();
    bool ok = form.windowTitle() == "Qorvi" && form.lstLocalFiles()->count() == 8 &&
              form.pgcFiles()->count() == 2 && form.pgcFiles()->tabText(0) == "weights.cpp" &&
              form.pgcFiles()->tabText(1) == "orders.sql" && counts == "Opened files: 2; Modified: 0" &&
              coloured[0] >= 3 && coloured[1] >= 2 && ui.boxes.empty() && QImage(argv[1]).width() > 500;
    std::printf("caption=%s items=%d tabs=%d counts=\"%s\" colours=%d,%d boxes=%zu png=%s\n",
                qPrintable(form.windowTitle()), form.lstLocalFiles()->count(), form.pgcFiles()->count(),
                qPrintable(counts), coloured[0], coloured[1], ui.boxes.size(), argv[1]);
    for (const auto& b : ui.boxes)
        std::printf("box: %s\n", b.text.c_str());
    return ok ? 0 : 1;
}
