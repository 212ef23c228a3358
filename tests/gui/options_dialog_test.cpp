// The editor options dialog on the offscreen platform, through its widgets:
// the pages it shows, the live preview, the boxes that refuse or disable,
// the key wizard, and OK and Cancel.

#include "editor/control/rudivo_voru.h"
#include "editor/keys/command_action.h"
#include "editor/settings/editor_settings.h"
#include "gui/colour_button.h"
#include "gui/editor_widget.h"
#include "gui/key_assign_dialog.h"
#include "gui/options_dialog.h"
#include "tests/gui/test_application.h"
#include "tests/support/built_in_cpp_parser.h"
#include "tests/support/fake_shell_ui.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace qorvi {
namespace {

struct DialogFixture {
    QApplication& application = test::app();
    test::FakeShellUi ui;
    std::unique_ptr<TRudivoVoruParser> parser = test::builtInCppParser();
    EditorWidget document;
    std::unique_ptr<TOptionsDialog> dialog;

    explicit DialogFixture(unsigned pages) {
        document.control().SetParser1(parser.get());
        document.control().SetText("int x;\r");
        dialog = std::make_unique<TOptionsDialog>(*parser, ui);
        dialog->prepare(pages);
        dialog->show();
    }
    template <class W> W* find(const char* name) { return dialog->findChild<W*>(name); }
    void click(QDialogButtonBox::StandardButton which) {
        for (auto* box : dialog->findChildren<QDialogButtonBox*>())
            box->button(which)->click();
    }
};

TEST(OptionsDialogGui, ShowsTheChosenPagesHighlightingFirstWithThePreview) {
    DialogFixture f(ppOPTIONS | ppHIGHLIGHTING);
    EXPECT_EQ(f.dialog->windowTitle(), "Editor Options");
    QTabWidget* pages = f.dialog->pgcPages();
    QStringList shown;
    for (int i = 0; i < pages->count(); ++i)
        if (pages->isTabVisible(i))
            shown << pages->tabText(i);
    EXPECT_EQ(shown, (QStringList{"Options", "Highlighting"}));
    EXPECT_EQ(pages->currentWidget()->objectName(), "tsHighlighting");
    auto* elements = f.find<QListWidget>("ElementList");
    ASSERT_GT(elements->count(), 3);
    EXPECT_EQ(elements->currentRow(), 0);
    EXPECT_EQ(elements->item(elements->count() - 3)->text(), "Selected text");
    EXPECT_EQ(elements->item(elements->count() - 1)->text(), "Gutter");
    TRudivoVoru& preview = f.dialog->preview()->control();
    EXPECT_TRUE(preview.ReadOnly());
    EXPECT_FALSE(preview.GetText().empty());
    EXPECT_EQ(preview.GetText().substr(0, 10), f.parser->Settings().ScriptText().substr(0, 10));
}

TEST(OptionsDialogGui, AColourShowsInThePreviewAndCancelKeepsTheDocument) {
    DialogFixture f(ppOPTIONS | ppHIGHLIGHTING);
    const int style = f.dialog->state().elements().front().value;
    const TFormatEntry before = f.document.control().GetFormatEntry(style);
    f.find<ColourButton>("ForegroundButton")->choose(0x0000AA);
    f.find<QCheckBox>("ItalicBox")->click();
    EXPECT_EQ(f.dialog->preview()->control().GetFormatEntry(style).TextColor, 0x0000AA);
    EXPECT_TRUE(f.dialog->preview()->control().GetFormatEntry(style).Style & fsItalic);
    f.click(QDialogButtonBox::Cancel);
    EXPECT_EQ(f.dialog->result(), QDialog::Rejected);
    f.dialog.reset();
    EXPECT_EQ(f.document.control().GetFormatEntry(style), before);
}

TEST(OptionsDialogGui, OkPutsTheWorkingSettingsInPlace) {
    DialogFixture f(ppOPTIONS | ppHIGHLIGHTING);
    const int style = f.dialog->state().elements().front().value;
    f.find<ColourButton>("ForegroundButton")->choose(0x0000AA);
    f.click(QDialogButtonBox::Ok);
    EXPECT_EQ(f.dialog->result(), QDialog::Accepted);
    f.dialog.reset();
    f.parser->UpdateEditors();
    EXPECT_EQ(f.document.control().GetFormatEntry(style).TextColor, 0x0000AA);
}

TEST(OptionsDialogGui, WordWrapDisablesSmartTabAndTheGutterBoxTakes0To199) {
    DialogFixture f(ppOPTIONS | ppHIGHLIGHTING);
    auto* smartTab = f.find<QCheckBox>("TabColBox");
    auto* wordWrap = f.find<QCheckBox>("DispWrapBox");
    EXPECT_EQ(smartTab->text(), "Smart tab");
    EXPECT_TRUE(smartTab->isEnabled());
    wordWrap->click();
    EXPECT_FALSE(smartTab->isEnabled());
    wordWrap->click();
    EXPECT_TRUE(smartTab->isEnabled());

    auto* gutter = f.find<QLineEdit>("GutterEdit");
    gutter->setFocus();
    gutter->selectAll();
    QTest::keyClicks(gutter, "250");
    EXPECT_EQ(gutter->text(), "1");
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{kMsgMarginRange});
}

TEST(OptionsDialogGui, TheKeyWizardTakesAChordAndAnAmbiguousPairKeepsTheDialogOpen) {
    test::app();
    TKeyAssignDialog wizard("Delete current line", {}, nullptr);
    wizard.show();
    EXPECT_FALSE(wizard.backButton()->isEnabled());
    QTest::keyClick(wizard.firstBox(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(wizard.firstBox()->text(), "Ctrl+K");
    wizard.nextButton()->click();
    EXPECT_EQ(wizard.step(), 1);
    EXPECT_EQ(wizard.nextButton()->text(), "Finish");
    QTest::keyClick(wizard.secondBox(), Qt::Key_T);
    wizard.nextButton()->click();
    EXPECT_EQ(wizard.result(), QDialog::Accepted);
    EXPECT_EQ(wizard.pair(), (KeyPair{scCtrl | 'K', 'T'}));

    DialogFixture f(kAllOptionPages);
    std::optional<KeyPair> next = KeyPair{scCtrl | 'K', 0};
    f.dialog->keyWizard = [&](const std::string&, const KeyPair&) { return next; };
    auto* commands = f.find<QListWidget>("CommandList");
    const auto undo = commands->findItems(
        QString::fromStdString(f.parser->Settings().KeyMap().GetActionCodeName(caUNDO)), Qt::MatchExactly);
    ASSERT_EQ(undo.size(), 1);
    commands->setCurrentItem(undo.front());
    f.find<QPushButton>("KeyAddButton")->click();
    EXPECT_EQ(f.find<QListWidget>("KeyList")->currentItem()->text(), "[Ctrl+K]  [<none>]");
    f.click(QDialogButtonBox::Ok);
    EXPECT_TRUE(f.dialog->isVisible());
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    f.find<QPushButton>("KeyDeleteButton")->click();
    f.click(QDialogButtonBox::Ok);
    EXPECT_EQ(f.dialog->result(), QDialog::Accepted);
}

} // namespace
} // namespace qorvi
