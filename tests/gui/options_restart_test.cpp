// A user on a machine of their own (HOME and XDG directories) changes a
// colour through "Syntax Highlighting..." and a key binding through the
// document's "Editor Options...", closes the editor and starts it again:
// the colour is painted and the chord does its work.

#include "app/main_commands.h"
#include "app/main_shell.h"
#include "editor/control/rudivo_voru.h"
#include "editor/settings/editor_settings.h"
#include "gui/colour_button.h"
#include "gui/editor_widget.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "gui/options_dialog.h"
#include "platform/hive.h"
#include "tests/gui/test_application.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qorvi {
namespace {

struct IsolatedUser {
    test::TempDir root;
    test::ScopedEnv home{"HOME", root.path()};
    test::ScopedEnv config{"XDG_CONFIG_HOME", root.file("config")};
    test::ScopedEnv data{"XDG_DATA_HOME", root.file("data")};
    test::ScopedEnv runtime{"XDG_RUNTIME_DIR", root.path()};
    test::ScopedEnv display{"DISPLAY", ":restart-test-" + root.path()};
    std::string work = root.file("work");

    IsolatedUser() {
        test::app();
        ::mkdir(work.c_str(), 0700);
        ::mkdir(root.file("prog").c_str(), 0700);
        std::ofstream(work + "/first.cpp") << "int first;\nint second;\n";
    }
};

// One run of the editor with first.cpp open; the hive is read from disk
// afresh, as a new process would.
struct EditorRun {
    Hive hive{Hive::defaultPath()};
    test::FakeShellUi ui;
    std::unique_ptr<TMainForm> form;

    explicit EditorRun(IsolatedUser& user) {
        TMainForm::Options o;
        o.currentDirectory = user.work;
        o.programDirectory = user.root.file("prog");
        o.hive = &hive;
        o.ui = &ui;
        form = std::make_unique<TMainForm>(std::move(o));
        form->show();
        form->shell().openDocument(user.work + "/first.cpp", false, "");
    }
    ~EditorRun() {
        form->close();
        form.reset();
    }
    TMDIChild& child() { return *form->children().at(0); }
    // Runs `command`, which opens the dialog modally, and `edit` on the
    // dialog once it is up; then OK.
    bool withDialog(const std::function<void()>& command, const std::function<void(TOptionsDialog&)>& edit) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<TOptionsDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = true;
            edit(*dialog);
            dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        command();
        return seen;
    }
};

TEST(OptionsAcrossRestart, AColourAndAKeyBindingComeBack) {
    IsolatedUser user;
    int style = -1;
    const TColor colour = 0x0000C0;
    const TShortCut chord[2] = {scCtrl | 'K', 'T'};
    {
        EditorRun first(user);
        ASSERT_EQ(first.form->children().size(), 1u);
        ASSERT_TRUE(first.withDialog([&] { first.form->action(Command::SyntaxHighlighting)->trigger(); },
                                     [&](TOptionsDialog& d) {
                                         EXPECT_FALSE(d.pgcPages()->isTabVisible(2));
                                         style = d.state().elements().front().value;
                                         d.findChild<ColourButton*>("ForegroundButton")->choose(colour);
                                     }));
        EXPECT_EQ(first.child().txtMain()->control().GetFormatEntry(style).TextColor, colour);
        QAction* options = first.child().findChild<QAction*>("mnuEditorOptions");
        ASSERT_NE(options, nullptr);
        ASSERT_TRUE(first.withDialog([&] { options->trigger(); },
                                     [&](TOptionsDialog& d) {
                                         d.keyWizard = [&](const std::string&, const KeyPair&) {
                                             return KeyPair{chord[0], chord[1]};
                                         };
                                         auto* commands = d.findChild<QListWidget*>("CommandList");
                                         const auto found =
                                             commands->findItems("Delete current line", Qt::MatchExactly);
                                         ASSERT_EQ(found.size(), 1);
                                         commands->setCurrentItem(found.front());
                                         d.findChild<QPushButton*>("KeyAddButton")->click();
                                     }));
        EXPECT_TRUE(first.ui.boxes.empty());
    }
    EditorRun second(user);
    ASSERT_EQ(second.form->children().size(), 1u);
    EditorWidget& editor = *second.child().txtMain();
    EXPECT_EQ(editor.control().GetFormatEntry(style).TextColor, colour);
    editor.setFocus();
    QTest::keyClick(&editor, Qt::Key_K, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_T);
    EXPECT_EQ(editor.control().GetText().substr(0, 10), "int second");
    EXPECT_TRUE(second.ui.boxes.empty());
}

} // namespace
} // namespace qorvi
