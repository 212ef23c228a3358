// The control's exports of a small coloured sample, exactly as written: the
// RTF header, colour table, runs and escapes, the HTML page with its runs
// and entities, plain and Unix text; import in pieces; the clipboard's
// formats and pasted HTML.

#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "editor/support/memory_stream.h"
#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::ControlFixture;

struct Sample : ControlFixture {
    test::TestParser parser;
    Sample() {
        TSM_Settings& s = parser.settings;
        s.SetFormatEntry(0, {0, clBlack, clWhite, 0, 0, 0, 1});
        s.SetFormatEntry(1, {fsBold, clNavy, clWhite, 0, 0, 0, 1});   // keywords
        s.SetFormatEntry(2, {fsItalic, clGreen, clYellow, 0, 0, 0, 1}); // comments
        for (int token = 0; token < 256; ++token)
            s.SetMapEntry(token, token == 1 || token == 2 ? static_cast<std::uint8_t>(token) : 0);
        TFontSpec font = s.Font();
        font.Name = "Mono";
        font.Size = 10;
        font.CharSet = 0;
        s.SetFont(font);
        ctl.SetParser1(&parser);
        ctl.SetText("int a; // {\\}'<&\">\xE9\tx\rif");
        idle();
        ctl.SelectAll();
    }
    ~Sample() { ctl.SetParser1(nullptr); }
};

TEST(ControlExport, RtfAndHtmlOfAColouredSample) {
    Sample f;
    const std::string rtf = f.ctl.ExportText(kExportRTF);
    EXPECT_EQ(rtf, "{\\rtf1 \\deff1{\\fonttbl {\\f1 \\fnil\\fcharset0 Mono;}}\r\n"
                   "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red0\\green0\\blue128;"
                   "\\red0\\green128\\blue0;\\red255\\green255\\blue0;}\r\n"
                   "{\\f1\\fs20\\cf0\\cb1 \\b1 \\cf2 int\\b0 \\cf0  a; \\i1 \\cf3 \\cb4 // \\{\\\\\\}\\'27<&\">\\'e9\\tab x\\i0 \\cf0 \\cb1 \\line \r\n"
                   "\\b1 \\cf2 if\r\n}}"); // the line break is not part of the comment
    f.ctl.HTMLTitle = "a<b>";
    const std::string html = f.ctl.ExportText(kExportHTML);
    const std::size_t body = html.find("<BODY");
    ASSERT_NE(body, std::string::npos);
    EXPECT_EQ(html.substr(0, html.find("<META NAME=\"Date\"")),
              "<HTML><HEAD>\r\n<META NAME=\"Generator\" CONTENT=\"TCustomRudivoVoru "
              "(qorvi-editor@users.noreply.invalid)\">\r\n<TITLE>a&lt;b&gt;</TITLE>\r\n");
    EXPECT_EQ(html.substr(body),
              "<BODY TEXT=\"#000000\" BGCOLOR=\"#ffffff\">\r\n<PRE><FONT FACE=\"Mono\">"
              "</FONT><FONT COLOR=\"#000080\"><B>int</B></FONT><FONT COLOR=\"#000000\"> a; "
              "</FONT><FONT COLOR=\"#008000\"><I>// {\\}'&lt;&amp;&quot;&gt;&#233;&nbsp;x</I></FONT><FONT COLOR=\"#000000\">\r\n"
              "</FONT><FONT COLOR=\"#000080\"><B>if\r\n</B></PRE></FONT></BODY></HTML>\r\n");
}

TEST(ControlExport, PlainTextSavesAndImports) {
    ControlFixture f;
    f.ctl.SetText("one\rtwo\r");
    f.ctl.SetSelection({1, 6});
    EXPECT_EQ(f.ctl.ExportText(0), "ne\rtw");
    EXPECT_EQ(f.ctl.ExportText(kExportLineFeeds), "ne\r\ntw");
    EXPECT_EQ(f.ctl.ExportText(kExportUnix), "ne\ntw");
    std::string viaMessage;
    f.ctl.perform(SMM_EXPORTTEXT, kExportUnix, reinterpret_cast<std::intptr_t>(&viaMessage));
    EXPECT_EQ(viaMessage, "ne\ntw");

    // Import in pieces of 8192, never parting a CR from its LF, as one
    // undo step.
    std::string text(8191, 'a');
    text += "\r\nbbb";
    text += std::string(9000, 'c');
    TMemoryStream in(text);
    f.ctl.SetSelection({0, 0});
    f.ctl.UndoTransBegin(utPaste);
    f.ctl.perform(SMM_IMPORT, 0, reinterpret_cast<std::intptr_t>(&in));
    f.ctl.UndoTransEnd(utPaste);
    EXPECT_TRUE(f.ctl.GetText() == std::string(8191, 'a') + "\rbbb" + std::string(9000, 'c') + "one\rtwo\r");
    f.ctl.DoUndo();
    EXPECT_EQ(f.ctl.GetText(), "one\rtwo\r");

    // SaveFormat chooses the export the whole text is saved in.
    TMemoryStream out;
    f.ctl.SaveFormat = sfHTML;
    f.ctl.SaveToStream(&out);
    EXPECT_NE(out.DataString().find("one\r\ntwo\r\n"), std::string::npos);
    EXPECT_EQ(out.DataString().rfind("</HTML>\r\n"), out.DataString().size() - 9);
    EXPECT_FALSE(f.ctl.CanUndo()) << "a save clears the history";
}

TEST(ControlExport, ClipboardCarriesTextAndRtfAndTakesHtml) {
    MemoryClipboard clipboard;
    Sample f;
    f.ctl.SetClipboard(&clipboard);
    f.ctl.SetSelection({0, 3});
    f.ctl.CopyToClipboard();
    EXPECT_EQ(clipboard.data(ClipFormat::Text), "int");
    ASSERT_TRUE(clipboard.data(ClipFormat::RichText));
    EXPECT_NE(clipboard.data(ClipFormat::RichText)->find("\\b1 \\cf2 int"), std::string::npos);
    f.ctl.ClipCopyFormats = smTEXT;
    f.ctl.CopyToClipboard();
    EXPECT_FALSE(clipboard.hasFormat(ClipFormat::RichText));

    // HTML alone: inserted as it is unless the paste asks for the fragment.
    const std::string html = "Version:0.9\r\n<html><body><!--StartFragment-->x<b>y</b><!--EndFragment--></body></html>";
    clipboard.setContents({{ClipFormat::Html, html}});
    f.ctl.SetText("");
    f.ctl.PasteFromClipboard();
    EXPECT_EQ(f.ctl.GetText(), "Version:0.9\r<html><body><!--StartFragment-->x<b>y</b><!--EndFragment--></body></html>");
    f.ctl.OnDataDrop = [](TCustomRudivoVoru&, TSourceTypes& types) { types |= sourceBit(stExtractHTML); };
    f.ctl.SetText("");
    f.ctl.PasteFromClipboard();
    EXPECT_EQ(f.ctl.GetText(), "x<b>y</b>");
    EXPECT_EQ(TCustomRudivoVoru::ProcessTextFormat("hdr <p>", sourceBit(stHTML) | sourceBit(stFullHTML)), "<p>");
    f.ctl.SetClipboard(nullptr);
}

} // namespace
} // namespace qorvi
