// A changed setting and a site profile survive a restart: a main window in
// an isolated home changes them through its dialogs and closes, the real
// program then starts and ends in that home, and a new main window reads
// them back from the user's hive file, which stays private.

#include "app/main_shell.h"
#include "app/site_profiles.h"
#include "gui/ftp_login_form.h"
#include "gui/main_form.h"
#include "gui/settings_form.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/hive.h"
#include "tests/gui/test_application.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/file_bytes.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qorvi;

namespace {

struct IsolatedHome {
    test::TempDir root;
    std::string home = root.file("home");
    test::ScopedEnv homeEnv{"HOME", home};
    test::ScopedEnv config{"XDG_CONFIG_HOME", home + "/.config"};
    test::ScopedEnv data{"XDG_DATA_HOME", home + "/.local/share"};
    test::ScopedEnv runtime{"XDG_RUNTIME_DIR", root.file("run")};
    test::ScopedEnv display{"DISPLAY", ":restart-" + root.path()};
    test::ScopedEnv wayland{"WAYLAND_DISPLAY", ""};
    test::FakeShellUi ui;

    IsolatedHome() {
        ::mkdir(home.c_str(), 0700);
        ::mkdir(root.file("run").c_str(), 0700);
    }
    // One life of the editor's main window over the hive file of this home.
    std::unique_ptr<TMainForm> start(Hive& hive) {
        test::app();
        TMainForm::Options o;
        o.currentDirectory = home;
        o.programDirectory = fs::programDirectory();
        o.hive = &hive;
        o.ui = &ui;
        auto form = std::make_unique<TMainForm>(std::move(o));
        form->show();
        return form;
    }
    // The real program in this home, until it has opened `file`.
    bool runProgram(const std::string& file) {
        const std::string program = std::string(QORVI_BINARY_DIR) + "/bin/qorvi";
        pid_t pid = ::fork();
        if (pid == 0) {
            ::chdir(home.c_str());
            ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
            // "-G" after the file: a name after the switch ends debug mode.
            ::execl(program.c_str(), program.c_str(), file.c_str(), "-G", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        const std::string log = home + "/debug.log";
        bool opened = false;
        for (int waited = 0; waited < 20000 && !opened; waited += 50) {
            opened = test::readFile(log).find("opened ") != std::string::npos;
            QTest::qWait(50);
        }
        ::kill(pid, SIGTERM);
        int status = 0;
        ::waitpid(pid, &status, 0);
        return opened;
    }
};

template <class Form> void onDialog(const std::function<void(Form&)>& user) {
    QTimer::singleShot(0, [user] {
        if (auto* form = qobject_cast<Form*>(QApplication::activeModalWidget()))
            user(*form);
    });
}

} // namespace

TEST(SettingsRestart, AChangedSettingAndAProfileSurviveARestartInAPrivateFile) {
    IsolatedHome user;
    {
        Hive hive(Hive::defaultPath());
        auto form = user.start(hive);
        onDialog<TfrmSettings>([](TfrmSettings& f) {
            f.cmbFileExt()->setCurrentIndex(f.cmbFileExt()->findText("Java", Qt::MatchStartsWith));
            f.txtNumLinesInFileWatch()->setText("12");
            QTest::mouseClick(f.btnOk(), Qt::LeftButton);
        });
        form->action(Command::Settings)->trigger();
        SiteProfiles profiles(hive, SystemClock::instance());
        FtpLoginDialog add(FtpLoginDialog::Mode::Add, profiles, user.ui);
        TfrmFTPLogin login(add, form.get());
        onDialog<TfrmFTPLogin>([](TfrmFTPLogin& f) {
            QTest::keyClicks(f.txtProfile(), "home site");
            QTest::keyClicks(f.txtHostName(), "ftp.example.org");
            QTest::keyClicks(f.txtUID(), "anna");
            QTest::keyClicks(f.txtPWD(), "s3cret");
            QTest::mouseClick(f.btnOk(), Qt::LeftButton);
        });
        ASSERT_TRUE(login.run());
        form->close();
    }
    std::ofstream(user.home + "/Makefile") << "all:\n";
    ASSERT_TRUE(user.runProgram(user.home + "/Makefile")) << "the program did not start";

    Hive hive(Hive::defaultPath());
    auto form = user.start(hive);
    EXPECT_EQ(form->shell().watchLineCount(), 12);
    std::string shownType, shownLines;
    onDialog<TfrmSettings>([&](TfrmSettings& f) {
        shownType = f.cmbFileExt()->currentText().toStdString();
        shownLines = f.txtNumLinesInFileWatch()->text().toStdString();
        f.reject();
    });
    form->action(Command::Settings)->trigger();
    EXPECT_EQ(shownType.substr(0, 5), "Java ");
    EXPECT_EQ(shownLines, "12");
    SiteProfile shownProfile;
    onDialog<TfrmFTPLogin>([&](TfrmFTPLogin& f) {
        shownProfile = {f.cmbProfile()->currentText().toStdString(),
                        f.txtHostName()->text().toStdString(),
                        f.txtUID()->text().toStdString(),
                        f.txtPWD()->text().toStdString(),
                        f.txtPort()->text().toStdString(),
                        "",
                        "",
                        ""};
        f.reject();
    });
    form->action(Command::EditRemoteProfiles)->trigger();
    EXPECT_EQ(shownProfile,
              (SiteProfile{"home site", "ftp.example.org", "anna", "s3cret", "21", "", "", ""}));
    EXPECT_TRUE(user.ui.boxes.empty()) << user.ui.texts().front();

    struct stat st {};
    ASSERT_EQ(::stat(Hive::defaultPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    form->close();
}
