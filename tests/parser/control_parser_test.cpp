// The editor control with a compiled parser: the script's styles reach the
// rows and the painter, and the parser's settings are shared by every
// control attached to it.

#include "editor/control/rudivo_voru.h"
#include "parser/rudivo_voru_parser.h"
#include "tests/parser/script_test_support.h"
#include "tests/support/c_like_script.h"
#include "tests/support/quiet_control_host.h"
#include "tests/support/recording_canvas.h"

#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

using Host = QuietControlHost;

struct Window {
    Host host;
    TRudivoVoru ctl;
    explicit Window(TRudivoVoruParser& parser) {
        ctl.SetHost(&host);
        ctl.ViewResize(800, 180);
        ctl.SetParser1(&parser);
    }
    ~Window() {
        ctl.SetParser1(nullptr);
        ctl.SetHost(nullptr);
    }
    std::string styles(int row) {
        const TLine* line = ctl.TextStore().LineFromLineIndex(row).line;
        std::string s;
        for (int i = 0; i < line->Len(); ++i)
            s.push_back(line->IsStyled() ? static_cast<char>('0' + line->StyleAt(i)) : '-');
        return s;
    }
};

} // namespace

TEST(ControlWithCompiledParser, ScriptTokensBecomeStylesAndColours) {
    auto parser = compile(kCLikeScript);
    Window w(*parser);
    w.ctl.SetText("int n = 42; // note\r\"s\" /* a\rb */ x\r");
    EXPECT_EQ(w.styles(0), "11104000550022222220");
    EXPECT_EQ(w.styles(1), "666033333");
    EXPECT_EQ(w.styles(2), "3333040");
    w.host.canvas.clearCalls();
    w.ctl.PaintTo(w.host.canvas, {0, 0, 800, 180});
    const auto& calls = w.host.canvas.calls();
    auto has = [&](const std::string& c) { return std::find(calls.begin(), calls.end(), c) != calls.end(); };
    EXPECT_TRUE(has("text 36,0 [36,0,60,18] opaque cells 'int' 00FF0000/00FFFFFF"));
    EXPECT_TRUE(has("text 132,0 [132,0,188,18] opaque cells '// note' 00008000/00FFFFFF"));
    EXPECT_TRUE(has("text 36,18 [36,18,60,36] opaque cells '\"s\"' 00000080/00FFFFFF"));
}

TEST(ControlWithCompiledParser, OpeningACommentRestylesTheFollowingRowsOnly) {
    auto parser = compile(kCLikeScript);
    Window w(*parser);
    std::string text;
    for (int i = 0; i < 10; ++i)
        text += "x = y;\r";
    text += "z */ w;\r";
    for (int i = 0; i < 10; ++i)
        text += "x = y;\r";
    w.ctl.SetText(text);
    w.ctl.SetSelection({7 * 3, 7 * 3});
    w.ctl.DoReplaceSel("/*");
    EXPECT_EQ(w.styles(3), "333333333");
    EXPECT_EQ(w.styles(9), "3333333");
    EXPECT_EQ(w.styles(10), "33330400");
    EXPECT_EQ(w.styles(11), "4000400");
}

TEST(ControlWithCompiledParser, OptionsChangedThroughOneControlReachTheOther) {
    auto parser = compile(kCLikeScript);
    Window a(*parser);
    Window b(*parser);
    EXPECT_EQ(&a.ctl.Settings(), &parser->Settings());
    EXPECT_EQ(&b.ctl.Settings(), &parser->Settings());
    a.ctl.SetWordWrap(true);
    EXPECT_TRUE(b.ctl.GetWordWrap());
    a.ctl.SetTabColumns("3 7");
    EXPECT_EQ(b.ctl.GetTabColumns(), "3 7");
    EXPECT_EQ(parser->Settings().RefCount(), 2);
}
