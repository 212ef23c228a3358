#pragma once

// A main window's logic on a clean machine: its own hive, program and
// working directories, a recording window and scripted boxes.

#include "app/main_shell.h"
#include "app/type_selection.h"
#include "platform/hive.h"
#include "tests/support/fake_main_view.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <deque>
#include <fstream>
#include <memory>
#include <sys/stat.h>

namespace qorvi::test {

class ScriptedTypeSelector : public TypeSelector {
public:
    std::deque<int> answers;
    std::vector<std::string> titles;
    int selectType(const std::string& title) override {
        titles.push_back(title);
        if (answers.empty())
            return 5;
        int n = answers.front();
        answers.pop_front();
        return n;
    }
};

struct MainShellFixture {
    TempDir root;
    ScopedEnv runtime{"XDG_RUNTIME_DIR", root.path()};
    ScopedEnv display{"DISPLAY", ":shell-test-" + root.path()};
    ScopedEnv wayland{"WAYLAND_DISPLAY", ""};
    Hive hive{root.file("hkcu.reg")};
    FakeMainView view;
    FakeShellUi ui;
    ScriptedTypeSelector selector;
    std::string work = root.file("work");
    std::unique_ptr<MainShell> shell;

    explicit MainShellFixture(std::vector<std::string> args = {}) {
        ::mkdir(work.c_str(), 0700);
        ::mkdir(root.file("prog").c_str(), 0700);
        shell = std::make_unique<MainShell>(view, ui, selector, hive,
                                            MainShell::Environment{std::move(args), work, root.file("prog")});
        view.attach(*shell, ui);
        shell->create();
    }
    std::string file(const std::string& name, const std::string& text = "text\n") {
        std::string path = work + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
};

} // namespace qorvi::test
