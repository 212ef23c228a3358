#pragma once

// The main window on the offscreen platform with a project directory of its
// own: first.cpp and second.sh, files named on its command line opened by
// the start-up timer, scripted boxes, plain text for new documents.

#include "app/main_shell.h"
#include "app/type_selection.h"
#include "gui/main_form.h"
#include "platform/hive.h"
#include "tests/gui/test_application.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace qorvi::test {

class PlainTextSelector : public TypeSelector {
public:
    int selectType(const std::string&) override { return 5; }
};

struct DocumentsFixture {
    TempDir root;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", root.path()};
    ScopedEnv display{"DISPLAY", ":documents-test-" + root.path()};
    Hive hive{root.file("hkcu.reg")};
    FakeShellUi ui;
    PlainTextSelector selector;
    std::string work = root.file("work");
    std::unique_ptr<TMainForm> form;

    explicit DocumentsFixture(std::vector<std::string> args) {
        app();
        ::mkdir(work.c_str(), 0700);
        ::mkdir(root.file("prog").c_str(), 0700);
        std::ofstream(work + "/first.cpp") << "int first;\n";
        std::ofstream(work + "/second.sh") << "echo second\n";
        TMainForm::Options o;
        o.args = std::move(args);
        o.currentDirectory = work;
        o.programDirectory = root.file("prog");
        o.hive = &hive;
        o.ui = &ui;
        o.typeSelector = &selector;
        form = std::make_unique<TMainForm>(std::move(o));
        form->show();
    }
    MainShell& shell() { return form->shell(); }
    bool waitForTabs(int n) {
        return QTest::qWaitFor([&] { return form->pgcFiles()->count() == n; }, 3000);
    }
    // A log of 100 lines ("log 1" ...) in the project, opened in a window.
    TMDIChild* openLog() {
        std::string text;
        for (int i = 1; i <= 100; ++i)
            text += "log " + std::to_string(i) + "\n";
        std::ofstream(work + "/app.log") << text;
        shell().openDocument(work + "/app.log", false, "");
        return form->children()[0];
    }
};

} // namespace qorvi::test
