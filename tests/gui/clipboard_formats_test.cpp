// The system clipboard between two editor widgets, offscreen: plain text
// and RTF leave together, the text comes back exactly in the other control,
// and RTF offered under either of its names is seen.

#include "gui/editor_widget.h"
#include "platform/qt/qt_clipboard.h"
#include "tests/gui/test_application.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <gtest/gtest.h>

using namespace qorvi;

TEST(ClipboardFormats, TextAndRtfTravelBetweenTwoControls) {
    test::app();
    EditorWidget from;
    EditorWidget to;
    from.control().SetText("alpha {beta}\r\\gamma\r");
    from.control().SelectAll();
    from.control().CopyToClipboard();
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->text(), "alpha {beta}\n\\gamma\n");
    const QByteArray rtf = mime->data("text/rtf");
    EXPECT_TRUE(rtf.startsWith("{\\rtf1 \\deff1")) << rtf.left(40).toStdString();
    EXPECT_TRUE(rtf.contains("alpha \\{beta\\}\\line \r\n\\\\gamma")) << rtf.toStdString();

    to.control().PasteFromClipboard();
    EXPECT_EQ(to.control().GetText(), from.control().GetText());

    auto* other = new QMimeData;
    other->setData("application/rtf", "{\\rtf1 x}");
    QApplication::clipboard()->setMimeData(other);
    EXPECT_TRUE(systemClipboard().hasFormat(ClipFormat::RichText));
    EXPECT_EQ(systemClipboard().data(ClipFormat::RichText), "{\\rtf1 x}");
}
