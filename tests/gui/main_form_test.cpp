#include "app/main_shell.h"
#include "gui/main_form.h"
#include "platform/hive.h"
#include "tests/gui/test_application.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {

struct FormFixture {
    test::TempDir root;
    test::ScopedEnv runtime{"XDG_RUNTIME_DIR", root.path()};
    test::ScopedEnv display{"DISPLAY", ":form-test-" + root.path()};
    Hive hive{root.file("hkcu.reg")};
    test::FakeShellUi ui;
    std::string work = root.file("work");
    FormFixture() {
        app();
        ::mkdir(work.c_str(), 0700);
        ::mkdir(root.file("prog").c_str(), 0700);
    }
    std::unique_ptr<TMainForm> make(std::vector<std::string> args = {}) {
        TMainForm::Options o;
        o.args = std::move(args);
        o.currentDirectory = work;
        o.programDirectory = root.file("prog");
        o.hive = &hive;
        o.ui = &ui;
        return std::make_unique<TMainForm>(std::move(o));
    }
};

} // namespace

TEST(MainForm, OpensWithCaptionThreeStatusPanelsAndTheExplorer) {
    FormFixture f;
    auto form = f.make();
    form->show();
    EXPECT_EQ(form->windowTitle(), "Qorvi");
    EXPECT_EQ(form->statusBar()->findChildren<QLabel*>(QRegularExpression("^StatusPanel")).size(), 3);
    EXPECT_TRUE(form->findChild<QWidget*>("pnlExplorer")->isVisible());
    EXPECT_EQ(form->cmbDrive()->itemText(0), "/");
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(MainForm, StartupTimerListsTheCurrentDirectoryInTheExplorer) {
    FormFixture f;
    std::ofstream(f.work + "/b.txt") << "x";
    ::mkdir((f.work + "/sub").c_str(), 0700);
    std::ofstream(f.work + "/.hidden") << "x";
    auto form = f.make({"b.txt"});
    form->show();
    (void)QTest::qWaitFor(
        [&] { return form->lblLocalPath()->text() == QString::fromStdString(f.work + "/"); }, 3000);
    EXPECT_EQ(form->lblLocalPath()->text(), QString::fromStdString(f.work + "/"));
    QStringList items;
    for (int i = 0; i < form->lstLocalFiles()->count(); ++i)
        items << form->lstLocalFiles()->item(i)->text();
    EXPECT_EQ(items, (QStringList{"  Parent Directory...", "0 sub", "2 b.txt"}));
    EXPECT_EQ(form->shell().openedNames(), std::vector<std::string>{f.work + "/b.txt"});
    ASSERT_EQ(form->pgcFiles()->count(), 1);
    EXPECT_EQ(form->pgcFiles()->tabText(0), "b.txt");
}

TEST(MainForm, ClosingWritesThePlacementAndShowExplorerPersists) {
    FormFixture f;
    {
        auto form = f.make();
        form->show();
        form->setExplorerVisible(false);
        form->close();
    }
    EXPECT_EQ(f.hive.value("SOFTWARE\\Varnu\\Qorvi", "LastMax")->data, "0");
    EXPECT_TRUE(f.hive.value("SOFTWARE\\Varnu\\Qorvi", "LastWidth").has_value());
}

TEST(MainForm, APlacementFromTheSettingsIsFittedToTheScreen) {
    app();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const std::vector<std::array<const char*, 4>> stored = {{"0", "0", "100000", "100000"},
                                                            {"-50000", "2000000000", "640", "480"},
                                                            {"2147483647", "5", "-3", "2147483647"}};
    for (const auto& [left, top, width, height] : stored) {
        FormFixture f;
        for (const auto& [name, value] :
             {std::pair{"LastLeft", left}, {"LastTop", top}, {"LastWidth", width}, {"LastHeight", height}})
            f.hive.setValue("SOFTWARE\\Varnu\\Qorvi", name, HiveValue::string(value));
        auto form = f.make();
        form->show();
        const QRect got = form->geometry();
        EXPECT_TRUE(got.width() <= screen.width() && got.height() <= screen.height() &&
                    screen.contains(got.topLeft()))
            << got.x() << "," << got.y() << " " << got.width() << "x" << got.height() << " from " << left
            << " " << top << " " << width << " " << height;
    }
}
