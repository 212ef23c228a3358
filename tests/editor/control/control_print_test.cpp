// Printing through a recording printer: pages and their breaks, the header
// and page-number footer (seven line heights less text per page), the
// line-number gutter, print wrap, one page rendered alone, the selection
// printed by caPRINTSEL, and a page too small for a line.

#include "editor/control/rudivo_voru.h"
#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "tests/editor/control/control_test_support.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

using test::ControlFixture;

constexpr int kLh = 18; // the recording canvas's line height

struct FakePrinter : PrinterPort {
    RecordingCanvas canvas{300};
    CanvasRect page{0, 0, 800, kLh * 20};
    int pages = 0;
    bool ended = false;
    int cancelAfter = 1 << 30; // pageFinished answers false from this page on
    std::vector<std::vector<std::string>> texts; // the text drawn on each page
    Canvas& beginDocument(const std::string&) override {
        pages = 1;
        ended = false;
        texts.assign(1, {});
        canvas.clearCalls();
        return canvas;
    }
    void newPage() override {
        collect();
        ++pages;
        texts.emplace_back();
    }
    void endDocument() override {
        collect();
        ended = true;
    }
    CanvasRect pageRect() const override { return page; }
    Canvas* currentCanvas() override { return pages > 0 && !ended ? &canvas : nullptr; }
    bool pageFinished(int done) override { return done < cancelAfter; }
    void collect() {
        for (const std::string& c : canvas.calls())
            if (c.rfind("text ", 0) == 0)
                texts.back().push_back(c.substr(c.find('\'') + 1, c.rfind('\'') - c.find('\'') - 1) + "@" +
                                       c.substr(5, c.find(' ', 5) - 5));
        canvas.clearCalls();
    }
};

std::string lines(int n) {
    std::string text;
    for (int i = 1; i <= n; ++i)
        text += "line " + std::to_string(i) + "\r";
    return text;
}

void setOptions(TCustomRudivoVoru& ctl, std::uint32_t on) {
    ctl.Settings().SetOptions((ctl.Settings().Options() & ~(smoPrintWrap | smoPrintLineNos | smoPrintFilename |
                                                             smoPrintDate | smoPrintPageNos)) | on);
}

TEST(ControlPrint, PagesHeaderFooterAndLineNumbers) {
    ControlFixture f;
    FakePrinter printer;
    f.ctl.SetText(lines(100));
    setOptions(f.ctl, 0);
    f.ctl.Print(printer);
    EXPECT_TRUE(printer.ended);
    EXPECT_EQ(printer.pages, 5) << "20 lines a page";
    EXPECT_EQ(printer.texts[1].front(), "line 21@0,0");

    setOptions(f.ctl, smoPrintPageNos | smoPrintFilename);
    f.ctl.HTMLTitle = "notes.txt";
    f.ctl.Print(printer);
    EXPECT_EQ(printer.pages, 8) << "13 lines a page: seven line heights go to the header and footer";
    const auto has = [&](int page, const std::string& text) {
        return std::find(printer.texts[page].begin(), printer.texts[page].end(), text) != printer.texts[page].end();
    };
    EXPECT_EQ(printer.texts[0][0], "notes.txt@0,0");
    EXPECT_TRUE(has(0, "line 1@0,54")) << "the text starts three line heights down";
    EXPECT_TRUE(has(1, "- 2 -@380,315")) << "two and a half line heights above the bottom, centred";
    EXPECT_TRUE(has(1, "line 26@0,270")) << "the last row ends four line heights above the bottom";

    setOptions(f.ctl, smoPrintLineNos);
    f.ctl.Print(printer);
    EXPECT_EQ(printer.texts[0][0], "     1:@0,0");
    EXPECT_EQ(printer.texts[0][1], "line 1@80,0") << "the text starts ten characters right";
}

TEST(ControlPrint, WrapRenderPageSelectionAndTinyPages) {
    ControlFixture f;
    FakePrinter printer;
    std::string words;
    for (int i = 0; i < 40; ++i)
        words += "abcd ";
    f.ctl.SetText(words + "\rlast\r");
    setOptions(f.ctl, smoPrintWrap);
    printer.page = {0, 0, 81 * 8, kLh * 20}; // 80 printable columns
    f.ctl.Print(printer);
    ASSERT_GE(printer.texts[0].size(), 4u);
    EXPECT_EQ(printer.texts[0][1].substr(printer.texts[0][1].find('@')), "@0,18");
    EXPECT_EQ(printer.texts[0][2].substr(printer.texts[0][2].find('@')), "@0,36");
    EXPECT_EQ(printer.texts[0][0].size() + printer.texts[0][1].size() + printer.texts[0][2].size(), 200u + 4 + 5 + 5) << "every character printed once";
    EXPECT_EQ(printer.texts[0][3], "last@0,54") << "200 characters in three rows, broken after blanks";

    // One page alone, and whether the text goes on.
    f.ctl.SetText(lines(30));
    setOptions(f.ctl, 0);
    RecordingCanvas page(300);
    EXPECT_TRUE(f.ctl.RenderPage(page, {0, 0, 800, kLh * 20}, 1));
    page.clearCalls();
    EXPECT_FALSE(f.ctl.RenderPage(page, {0, 0, 800, kLh * 20}, 2));
    bool sawLine21 = false;
    for (const std::string& c : page.calls())
        sawLine21 = sawLine21 || c.find("'line 21'") != std::string::npos;
    EXPECT_TRUE(sawLine21);

    // caPRINTSEL prints the selected lines on the host's printer.
    f.host.printerPort = &printer;
    f.ctl.SetSelection({7, 21}); // from line 2 to the first character of line 4
    f.ctl.ExecuteCommand(caPRINTSEL, 0, false);
    ASSERT_EQ(printer.texts.size(), 1u);
    EXPECT_EQ(printer.texts[0], (std::vector<std::string>{"line 2@0,0", "line 3@0,18"}));

    printer.page = {0, 0, 800, 5};
    EXPECT_ANY_THROW(f.ctl.Print(printer));
    EXPECT_TRUE(printer.ended) << "the job ends however printing ends";
}

TEST(ControlPrint, TextsSharingAJobAndCancelling) {
    ControlFixture f;
    FakePrinter printer;
    f.ctl.SetText(lines(5));
    f.ctl.HTMLTitle = "two texts";
    setOptions(f.ctl, smoPrintFilename);
    EXPECT_ANY_THROW(f.ctl.PrintInline(printer, 0)) << "no job running";
    printer.beginDocument("two texts");
    int y = f.ctl.PrintInline(printer, 0);
    EXPECT_EQ(y, 8 * kLh) << "below the header's place, which this text does not draw";
    y = f.ctl.PrintInline(printer, y);
    EXPECT_EQ(y, 13 * kLh);
    f.ctl.SetSelection({7, 21}); // lines 2 and 3
    y = f.ctl.PrintSelectionInLine(printer, -1);
    EXPECT_EQ(printer.pages, 2) << "a negative y starts a new page";
    EXPECT_EQ(y, 5 * kLh);
    for (int i = 0; i < 3; ++i)
        y = f.ctl.PrintInline(printer, y);
    EXPECT_EQ(y, 20 * kLh) << "the page is full";
    EXPECT_EQ(printer.pages, 2);
    y = f.ctl.PrintInline(printer, y);
    EXPECT_EQ(printer.pages, 3) << "the text that does not fit goes on on a new page, with its header";
    printer.endDocument();
    EXPECT_EQ(printer.texts[0].size(), 10u);
    EXPECT_EQ(printer.texts[0][5], "line 1@0,144");
    EXPECT_EQ(printer.texts[1][0], "line 2@0,54");
    EXPECT_EQ(printer.texts[2][0], "two texts@0,0");

    // The user cancels after the second page: the job ends there.
    setOptions(f.ctl, 0);
    f.ctl.SetText(lines(100));
    printer.cancelAfter = 2;
    f.ctl.Print(printer);
    EXPECT_EQ(printer.pages, 2);
    EXPECT_TRUE(printer.ended);
}

} // namespace
} // namespace qorvi
