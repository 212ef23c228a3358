// What the window shows after incremental updates must be exactly what a
// full repaint of the same state shows. Random edits, pastes, undos, scrolls
// and resizes drive the real widget; after every step the picture the
// window system holds (only the regions the widget asked to update were
// repainted) is compared with the picture after repainting everything.

#include "editor/control/rudivo_voru.h"
#include "editor/control/rudivo_voru_messages.h"
#include "gui/editor_widget.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/gui/test_application.h"
#include "tests/support/built_in_cpp_parser.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <random>
#include <string>

using namespace qorvi;
using namespace qorvi::test;

namespace {

// The widget's pixels as the window system holds them now.
QImage onScreen(EditorWidget& widget) {
    QApplication::processEvents();
    QWidget* top = widget.window();
    const QImage whole = top->screen()->grabWindow(top->winId()).toImage();
    const QPoint at = widget.viewport()->mapTo(top, QPoint(0, 0));
    return whole.copy(QRect(at, widget.viewport()->size())).convertToFormat(QImage::Format_RGB32);
}

QImage afterFullRepaint(EditorWidget& widget) {
    widget.viewport()->repaint();
    return onScreen(widget);
}

std::string sampleText(std::mt19937& rng, bool utf8) {
    static const char* const kLines[] = {
        "int main() {", "    // a comment that runs on for a while", "    return 0;", "}", "",
        "\tstd::string s = \"text\";", "/* open", "   close */", "#include <vector>",
    };
    // Accents, combining marks, CJK, emoji and a stray byte's hex box.
    static const char* const kUtf8Lines[] = {
        "// Caf\xC3\xA9 \xC3\xBC" "ber na\xC3\xAFve", "\tauto s = \"\xE4\xB8\xAD\xE6\x96\x87\xE5\xAD\x97\";",
        "x = 1; // \xF0\x9F\x98\x80 \xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB", "e\xCC\x81\tn\xCC\x83 \xE9 old",
    };
    std::string text;
    const int lines = 5 + static_cast<int>(rng() % 60);
    for (int i = 0; i < lines; ++i) {
        if (i == 0 && rng() % 4 == 0) // far longer than a record
            text += std::string(300000, 'q');
        else if (rng() % 15 == 0 || i == 0) // wraps, or spans several records
            text += std::string(100 + rng() % 6000, static_cast<char>('a' + rng() % 26));
        else if (utf8 && rng() % 2)
            text += kUtf8Lines[rng() % std::size(kUtf8Lines)];
        else
            text += kLines[rng() % std::size(kLines)];
        text += '\r';
    }
    return text;
}

void randomStep(EditorWidget& widget, std::mt19937& rng, std::string& log, bool utf8) {
    TRudivoVoru& core = widget.control();
    const std::int32_t length = core.GetTextLen();
    auto at = [&] { return length ? static_cast<std::int32_t>(rng() % (length + 1)) : 0; };
    auto caretAt = [&](std::int32_t offset) { core.SetSelection({offset, offset}); };
    switch (rng() % 11) {
    case 0: // Enter somewhere
        caretAt(at());
        QTest::keyClick(&widget, Qt::Key_Return);
        log += "enter ";
        break;
    case 1: { // type a few characters, some of them quotes and comment openers, often at the top
        caretAt(rng() % 3 ? at() : 0);
        static const char kTyped[] = "xy\"/*{} ";
        static const char* const kTypedUtf8[] = {"\xC3\xA9", "\xE4\xB8\xAD", "\xF0\x9F\x98\x80", "a"};
        for (int i = 0, n = 1 + rng() % 4; i < n; ++i) {
            if (utf8 && rng() % 2) {
                const QString typed = QString::fromUtf8(kTypedUtf8[rng() % std::size(kTypedUtf8)]);
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, typed);
                QApplication::sendEvent(&widget, &press);
            } else {
                QTest::keyClick(&widget, kTyped[rng() % (sizeof kTyped - 1)]);
            }
        }
        log += "type ";
        break;
    }
    case 2: { // paste several lines over a selection
        const std::int32_t a = at();
        core.SetSelection({a, std::min(length, a + static_cast<std::int32_t>(rng() % 40))});
        core.SetSelText("one\rtwo\rthree");
        log += "paste ";
        break;
    }
    case 3: { // delete a range across lines
        const std::int32_t a = at();
        core.SetSelection({a, std::min(length, a + static_cast<std::int32_t>(rng() % 200))});
        QTest::keyClick(&widget, Qt::Key_Delete);
        log += "delete ";
        break;
    }
    case 4:
        QTest::keyClick(&widget, Qt::Key_Backspace);
        log += "backspace ";
        break;
    case 5:
        core.DoUndo();
        log += "undo ";
        break;
    case 6:
        core.DoReDo();
        log += "redo ";
        break;
    case 7:
        core.perform(WM_VSCROLL, rng() % 2 ? SB_PAGEDOWN : SB_LINEUP);
        log += "scroll ";
        break;
    case 8:
        widget.resize(300 + static_cast<int>(rng() % 400), 150 + static_cast<int>(rng() % 200));
        log += "resize ";
        break;
    case 9:
        core.SetOptions(core.GetOptions() ^ smoWordWrap);
        log += "wrap ";
        break;
    default:
        caretAt(at());
        log += "select ";
        break;
    }
}


void runScreenTruth(bool utf8, unsigned seeds) {
    app();
    auto parser = builtInCppParser();
    for (unsigned seed = 1; seed <= seeds; ++seed) {
        std::mt19937 rng(seed);
        EditorWidget widget;
        widget.setTabStop(false); // no focus, so no blinking caret in the pictures
        widget.resize(520, 260);
        widget.control().SetParser1(parser.get());
        widget.control().SetEncoding(utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252);
        widget.control().SetText(sampleText(rng, utf8));
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        std::string log;
        for (int step = 0; step < 40; ++step) {
            randomStep(widget, rng, log, utf8);
            (void)QTest::qWaitFor([&] { return !widget.idleStylingPending(); }, 5000);
            const QImage incremental = onScreen(widget);
            const QImage full = afterFullRepaint(widget);
            if (incremental != full) {
                // Both pictures, to see what was left undrawn.
                incremental.save(QString::fromStdString(testing::TempDir() + "screen_truth_incremental.png"));
                full.save(QString::fromStdString(testing::TempDir() + "screen_truth_full.png"));
            }
            ASSERT_EQ(incremental, full) << "seed " << seed << " after: " << log << "(pictures in "
                                         << testing::TempDir() << ")";
        }
        widget.control().SetParser1(nullptr);
    }
}

} // namespace

TEST(ScreenTruth, IncrementalUpdatesShowWhatAFullRepaintShows) {
    runScreenTruth(false, 30);
}

// Characters of several cells, none, or a hex box, typed, deleted and
// wrapped: the same truth holds.
TEST(ScreenTruth, Utf8DocumentsToo) {
    runScreenTruth(true, 12);
}
