// The editor options dialog in a real X window, on its highlighting page,
// with the C++ sample in the live preview. Saves a screenshot and fails
// when the preview does not show the sample in its syntax colours.

#include "gui/editor_widget.h"
#include "gui/options_dialog.h"
#include "tests/gui/painted_colours.h"
#include "tests/support/built_in_cpp_parser.h"
#include "tests/support/fake_shell_ui.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace qorvi;
using namespace qorvi::test;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    const std::unique_ptr<TRudivoVoruParser> parser = builtInCppParser();
    FakeShellUi ui;
    TOptionsDialog dialog(*parser, ui);
    dialog.prepare(ppOPTIONS | ppHIGHLIGHTING);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog, 10000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    EditorWidget& preview = *dialog.preview();
    (void)QTest::qWaitFor([&] { return !preview.idleStylingPending(); }, 5000);
    QTest::qWait(300);

    QDir().mkpath(QFileInfo(argv[1]).absolutePath());
    const QRect frame = dialog.frameGeometry();
    QPixmap shot = dialog.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull() || !shot.save(argv[1])) {
        std::fprintf(stderr, "could not save %s\n", argv[1]);
        return 1;
    }
    // Some character of the sample's first rows is painted in a colour of
    // its own, and that colour is on screen where the control put it.
    const TRudivoVoru& ctl = preview.control();
    const QImage view = preview.viewport()->grab().toImage();
    int coloured = 0;
    for (int row = 0; row < 6 && row < ctl.TextStore().NumLines(); ++row) {
        const TLine* line = ctl.TextStore().LineFromLineIndex(row).line;
        for (int column = 0; column < line->Len() && column < 40; ++column) {
            const QColor c = colourOf(ctl, row, column);
            if (c != QColor(Qt::black) && c != QColor(Qt::white) && cellsShow(view, ctl, row, column, 1, c))
                ++coloured;
        }
    }
    const bool highlighting = dialog.pgcPages()->currentWidget()->objectName() == "tsHighlighting";
    std::printf("highlighting=%d coloured=%d png=%s\n", highlighting, coloured, argv[1]);
    return highlighting && coloured > 0 && QImage(argv[1]).width() > 500 ? 0 : 1;
}
