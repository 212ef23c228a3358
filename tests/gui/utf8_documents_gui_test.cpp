// UTF-8 documents in the real widget: accents, CJK and emoji show as Qt
// draws those characters (each in its cells, glyphs from the system's
// fallback fonts), the caret stands after a wide character after one Right,
// and typed and pasted Unicode reaches the text as the document's bytes
// through the system clipboard and key events.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "gui/editor_widget.h"
#include "platform/qt/qt_canvas.h"
#include "platform/qt/qt_clipboard.h"
#include "tests/gui/test_application.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

QImage grabViewport(EditorWidget& widget) {
    QApplication::processEvents();
    widget.viewport()->repaint();
    QWidget* top = widget.window();
    const QImage whole = top->screen()->grabWindow(top->winId()).toImage();
    const QPoint at = widget.viewport()->mapTo(top, QPoint(0, 0));
    return whole.copy(QRect(at, widget.viewport()->size())).convertToFormat(QImage::Format_RGB32);
}

// Where the ink is: dark pixels of black text, and the coloured pixels of
// an emoji, on a white ground.
QImage inkOf(const QImage& image, const QRect& area) {
    QImage ink(area.size(), QImage::Format_Mono);
    ink.fill(0);
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            if (qGray(image.pixel(area.left() + x, area.top() + y)) < 200)
                ink.setPixel(x, y, 1);
    return ink;
}

int inkPixels(const QImage& ink) {
    int n = 0;
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            n += ink.pixelIndex(x, y);
    return n;
}

void typeUnicode(QWidget& widget, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, text);
    QApplication::sendEvent(&widget, &release);
}

} // namespace

TEST(Utf8Documents, CharactersShowAsQtDrawsThemAndTheCaretPassesAWideOneWhole) {
    app();
    EditorWidget widget;
    widget.setTabStop(false); // no blinking caret in the picture
    widget.resize(480, 120);
    TRudivoVoru& core = widget.control();
    core.SetEncoding(TextEncoding::Utf8);
    // Accents, a combining mark, CJK, an emoji: one character per piece.
    const QStringList pieces = {"C", "a", "f", "é", " ", "u", "̈", "b", "中", "文", " ", "😀", "!"};
    core.SetText(pieces.join("").toStdString());
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    const QImage shown = grabViewport(widget);

    // The same characters drawn by Qt directly, each at its cell.
    QImage reference(shown.size(), QImage::Format_RGB32);
    reference.fill(Qt::white);
    {
        QPainter painter(&reference);
        QtCanvas canvas(painter);
        const TSM_Settings& settings = core.Settings();
        canvas.setFont(TSM_Settings::MakeFont(settings.Font().Name, settings.Font().Size,
                                              settings.GetFormatEntry(0).Style, canvas, settings.Font().CharSet));
        painter.setFont(canvas.currentFont());
        painter.setPen(Qt::black);
        const qreal baseline = QFontMetricsF(canvas.currentFont()).ascent();
        int cell = 0;
        for (const QString& piece : pieces) {
            const std::string bytes = piece.toStdString();
            if (piece == "̈") { // combining: drawn with its base, no cell of its own
                continue;
            }
            const QString drawn = piece == "u" ? QString::fromUtf8("u\xCC\x88") : piece; // u and its mark as stored
            painter.drawText(QPointF(core.LeftRefPoint() + cell * core.CellWidth(), baseline), drawn);
            cell += nextCluster(bytes, 0).cells;
        }
    }
    const QRect row(core.LeftRefPoint(), 0, shown.width() - core.LeftRefPoint(), core.GetLineHeight());
    const QImage got = inkOf(shown, row);
    const QImage expected = inkOf(reference, row);
    QImage differing = got;
    for (int y = 0; y < got.height(); ++y)
        for (int x = 0; x < got.width(); ++x)
            differing.setPixel(x, y, got.pixelIndex(x, y) != expected.pixelIndex(x, y));
    const int ink = inkPixels(expected);
    EXPECT_GT(ink, 100);
    if (inkPixels(differing) * 20 > ink) {
        shown.save(QString::fromStdString(testing::TempDir() + "utf8_shown.png"));
        reference.save(QString::fromStdString(testing::TempDir() + "utf8_reference.png"));
    }
    // Anti-aliased edges may round differently; the glyphs and their places
    // may not.
    EXPECT_LE(inkPixels(differing) * 20, ink) << "pictures in " << testing::TempDir();

    // One Right from before 中 puts the caret two cells on, after it.
    widget.setTabStop(true);
    widget.setFocus();
    const auto before = static_cast<std::int32_t>(pieces.mid(0, 8).join("").toUtf8().size());
    core.SetSelection({before, before});
    const int x = core.CaretRect().left;
    QTest::keyClick(&widget, Qt::Key_Right);
    EXPECT_EQ(core.GetSelection().chEnd, before + 3);
    EXPECT_EQ(core.CaretRect().left, x + 2 * core.CellWidth());
}

TEST(Utf8Documents, TypedPastedAndCopiedTextCrossesTheSystemClipboardAsUnicode) {
    app();
    const QString unicode = QString::fromUtf8("Café 中文 😀");
    EditorWidget utf8;
    utf8.control().SetEncoding(TextEncoding::Utf8);
    utf8.control().SetClipboard(&systemClipboard());
    typeUnicode(utf8, unicode);
    EXPECT_EQ(utf8.control().GetText(), unicode.toStdString());
    utf8.control().SelectAll();
    utf8.control().CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), unicode);

    EditorWidget latin;
    latin.control().SetEncoding(TextEncoding::Windows1252);
    latin.control().SetClipboard(&systemClipboard());
    typeUnicode(latin, QString::fromUtf8("é€"));
    EXPECT_EQ(latin.control().GetText(), "\xE9\x80");
    latin.control().SelectAll();
    latin.control().CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("é€"));
    // What Windows-1252 cannot hold is refused, never turned into '?'.
    int refusals = 0;
    latin.control().OnEncodingRefused = [&](TCustomRudivoVoru&, const std::string&) {
        ++refusals;
        return false;
    };
    QApplication::clipboard()->setText(unicode);
    latin.control().SetSelection({2, 2});
    latin.control().PasteFromClipboard();
    typeUnicode(latin, QString::fromUtf8("中"));
    EXPECT_EQ(latin.control().GetText(), "\xE9\x80");
    EXPECT_EQ(refusals, 2);
    QApplication::clipboard()->setText(QString::fromUtf8("Café"));
    latin.control().PasteFromClipboard();
    EXPECT_EQ(latin.control().GetText(), "\xE9\x80" "Caf\xE9");
    latin.control().OnEncodingRefused = nullptr;
}
