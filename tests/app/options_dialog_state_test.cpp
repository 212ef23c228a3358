// The editor options dialog's logic, without a window: the preview shows
// each change at once, Cancel leaves the language's editors as they were,
// OK reaches every one of them and the registry, and the boxes and pages
// refuse what they must.

#include "app/options_dialog_state.h"
#include "editor/control/rudivo_voru.h"
#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "platform/hive.h"
#include "tests/support/built_in_cpp_parser.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/quiet_control_host.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

constexpr TShortCut kCtrlK = scCtrl | 'K';

struct Window {
    test::QuietControlHost host;
    TRudivoVoru ctl;
    explicit Window(TRudivoVoruParser* parser) {
        ctl.SetHost(&host);
        ctl.ViewResize(800, 300);
        ctl.SetParser1(parser);
        ctl.SetText("int main() { return 0; }\r");
    }
    ~Window() {
        ctl.SetParser1(nullptr);
        ctl.SetHost(nullptr);
    }
};

// A language with two documents open and the dialog's two editors.
struct Language {
    test::TempDir dir;
    Hive hive{dir.file("hkcu.reg")};
    test::FakeShellUi ui;
    std::unique_ptr<TRudivoVoruParser> parser = test::builtInCppParser();
    Window first{parser.get()};
    Window second{parser.get()};
    Window preview{nullptr};
    Window templateEditor{nullptr};

    Language() {
        parser->Registry = &hive;
        parser->RegistryKey = "Software\\Varnu\\Qorvi";
        parser->UseRegistry = true;
    }
    std::unique_ptr<OptionsDialogState> open() {
        return std::make_unique<OptionsDialogState>(*parser, ui, preview.ctl, templateEditor.ctl);
    }
    std::string commandOf(int code) { return parser->Settings().KeyMap().GetActionCodeName(code); }
};

TEST(OptionsDialogState, ColoursShowInThePreviewAndCancelLeavesEveryEditorUnchanged) {
    Language lang;
    auto dialog = lang.open();
    const int style = dialog->elements().front().value;
    const TFormatEntry before = lang.first.ctl.GetFormatEntry(style);
    const TColor gutterBefore = lang.second.ctl.GetGutterColor();
    dialog->setColour(style, true, 0x0000AA);
    dialog->setFontStyle(style, fsItalic, true);
    dialog->setColour(kElementGutter, false, 0x00AAAA);
    EXPECT_EQ(lang.preview.ctl.GetFormatEntry(style).TextColor, 0x0000AA);
    EXPECT_EQ(lang.preview.ctl.GetGutterColor(), 0x00AAAA);
    EXPECT_EQ(lang.first.ctl.GetFormatEntry(style), before);
    dialog.reset(); // Cancel
    for (Window* w : {&lang.first, &lang.second}) {
        EXPECT_EQ(w->ctl.GetFormatEntry(style), before);
        EXPECT_EQ(w->ctl.GetGutterColor(), gutterBefore);
    }
    EXPECT_EQ(lang.hive.valueNames("Software\\Varnu\\Qorvi").size(), 0u);
}

TEST(OptionsDialogState, OkReachesEveryEditorOfTheLanguageAndTheRegistry) {
    Language lang;
    int style = -1;
    lang.parser->OptionsDialog = [&](TRudivoVoruParser&, unsigned) {
        auto dialog = lang.open();
        style = dialog->elements().front().value;
        dialog->setColour(style, true, 0x0000AA);
        dialog->setDefaultColour(style, false, true);
        dialog->setOption(smoLineNumbers, true);
        return dialog->accept();
    };
    lang.parser->ModifySelectedProperties(ppOPTIONS | ppHIGHLIGHTING);
    for (Window* w : {&lang.first, &lang.second}) {
        EXPECT_EQ(w->ctl.GetFormatEntry(style).TextColor, 0x0000AA);
        EXPECT_EQ(w->ctl.GetFormatEntry(style).DefaultBack, 1);
        EXPECT_TRUE(w->ctl.GetOptions() & smoLineNumbers);
    }
    auto restarted = test::builtInCppParser();
    restarted->Registry = &lang.hive;
    restarted->StylesFromRegistry(false, "Software\\Varnu\\Qorvi");
    EXPECT_EQ(restarted->Settings().GetFormatEntry(style).TextColor, 0x0000AA);
    EXPECT_EQ(restarted->StylesAsString(), lang.parser->StylesAsString());
}

TEST(OptionsDialogState, WordWrapOnDisablesSmartTab) {
    Language lang;
    auto dialog = lang.open();
    EXPECT_TRUE(dialog->smartTabEnabled());
    dialog->setOption(smoWordWrap, true);
    EXPECT_FALSE(dialog->smartTabEnabled());
    EXPECT_TRUE(lang.preview.ctl.GetWordWrap());
    dialog->setOption(smoWordWrap, false);
    EXPECT_TRUE(dialog->smartTabEnabled());
}

TEST(OptionsDialogState, MarginBoxesTakeZeroTo199Only) {
    Language lang;
    auto dialog = lang.open();
    const std::string gutter = dialog->marginBoxText(MarginBox::Gutter);
    for (const char* text : {"250", "-1", "x1", "1000"}) {
        SCOPED_TRACE(text);
        lang.ui.boxes.clear();
        EXPECT_EQ(dialog->marginBoxEdited(MarginBox::Gutter, text), "1");
        EXPECT_EQ(lang.ui.texts(), std::vector<std::string>{kMsgMarginRange});
        EXPECT_EQ(dialog->marginBoxText(MarginBox::Gutter), gutter);
    }
    lang.ui.boxes.clear();
    EXPECT_EQ(dialog->marginBoxEdited(MarginBox::RightMargin, "120"), "120");
    EXPECT_EQ(dialog->marginBoxText(MarginBox::RightMargin), "120");
    EXPECT_TRUE(lang.ui.boxes.empty());
}

TEST(OptionsDialogState, RejectedTabTextsShowTheMessageAndKeepTheOldValue) {
    Language lang;
    auto dialog = lang.open();
    const std::string columns = dialog->tabColumnsText();
    EXPECT_EQ(dialog->tabColumnsLeft("9 5"), columns);
    EXPECT_EQ(dialog->tabDefaultLeft("0"), dialog->tabDefaultText());
    EXPECT_EQ(lang.ui.boxes.size(), 2u);
    EXPECT_EQ(dialog->tabColumnsLeft("5 9"), "5 9");
}

TEST(OptionsDialogState, AChordIsAssignedOnOk) {
    Language lang;
    auto dialog = lang.open();
    const std::string command = lang.commandOf(caDELETELINE);
    const std::size_t before = dialog->keys().pairs(command).size();
    dialog->keys().add(command, {kCtrlK, 'T'});
    EXPECT_EQ(dialog->keys().pairTexts(command).back(), "[Ctrl+K]  [T]");
    ASSERT_TRUE(dialog->accept());
    std::int32_t code = -1;
    EXPECT_TRUE(lang.parser->Settings().KeyMap().IsKeyActionDefined(kCtrlK, 'T', code));
    EXPECT_EQ(code, caDELETELINE);
    EXPECT_EQ(lang.parser->Settings().KeyMap().GetNumKeyPairs(caDELETELINE), static_cast<int>(before) + 1);
}

TEST(OptionsDialogState, AnAmbiguousPairKeepsTheDialogOpenAndAppliesNothing) {
    Language lang;
    std::int32_t code = -1;
    ASSERT_TRUE(lang.parser->Settings().KeyMap().IsKeyActionDefined(kCtrlK, 'I', code));
    auto dialog = lang.open();
    dialog->setColour(dialog->elements().front().value, true, 0x0000AA);
    dialog->keys().add(lang.commandOf(caUNDO), {kCtrlK, 0});
    const std::string styles = lang.parser->StylesAsString();
    EXPECT_FALSE(dialog->accept());
    ASSERT_EQ(lang.ui.boxes.size(), 1u);
    EXPECT_NE(lang.ui.boxes[0].text.find("Duplicate key sequence definition"), std::string::npos);
    EXPECT_EQ(lang.parser->StylesAsString(), styles);
    EXPECT_EQ(lang.parser->Settings().KeyMap().GetNumKeyPairs(caUNDO), 1);
    dialog->keys().remove(lang.commandOf(caUNDO), dialog->keys().pairs(lang.commandOf(caUNDO)).size() - 1);
    EXPECT_TRUE(dialog->accept());
}

TEST(OptionsDialogState, TheHighlightingPageComesFirstWhenShown) {
    EXPECT_EQ(firstOptionsPage(ppOPTIONS | ppHIGHLIGHTING), ppHIGHLIGHTING);
    EXPECT_EQ(firstOptionsPage(ppTEMPLATES | ppKEYS), ppKEYS);
    EXPECT_EQ(firstOptionsPage(0), 0u);
}

TEST(OptionsDialogState, AutoReplaceAndTemplateButtonsFollowTheTypedEntry) {
    Language lang;
    auto dialog = lang.open();
    AutoReplacePage& words = dialog->autoReplace();
    EXPECT_TRUE(words.buttons("teh", "the").addEnabled);
    words.add("teh", "the");
    EXPECT_FALSE(words.buttons("Teh", "the").addEnabled);
    EXPECT_EQ(words.buttons("teh", "the").second, "Delete");
    EXPECT_EQ(words.buttons("teh", "tea").second, "Replace");
    words.replace("teh", "tea");
    EXPECT_NE(lang.preview.ctl.Settings().AutoReplace().FindEntry("teh"), nullptr);
    EXPECT_EQ(lang.preview.ctl.Settings().AutoReplace().FindEntry("teh")->Replacement, "tea");
    words.remove("teh");
    EXPECT_EQ(lang.preview.ctl.Settings().AutoReplace().FindEntry("teh"), nullptr);

    TemplatesPage& templates = dialog->templates();
    templates.define("fori", "for loop", "for (;;) {}");
    EXPECT_EQ(templates.buttons("fori", "for loop", "for (;;) {}").second, "Delete");
    EXPECT_EQ(templates.buttons("fori", "loop", "for (;;) {}").second, "Replace");
    EXPECT_FALSE(templates.setHotKey('J'));
    EXPECT_FALSE(templates.setHotKey(scShift | 'J'));
    EXPECT_TRUE(templates.setHotKey(scAlt | 'J'));
    EXPECT_EQ(templates.hotKeyText(), "Alt+J");
}

} // namespace
} // namespace qorvi
