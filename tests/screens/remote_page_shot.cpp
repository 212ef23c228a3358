// The explorer's "Remote" page in a real X window: a site profile of a
// local FTP server (pyftpdlib on 127.0.0.1) chosen in the site box, its
// directory listed, and a remote C file open beside it in syntax colours.
// Saves a screenshot and fails when the window is not what it should be.

#include "app/document_window.h"
#include "app/main_commands.h"
#include "app/main_shell.h"
#include "app/remote_explorer.h"
#include "app/site_profiles.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "platform/clock.h"
#include "platform/hive.h"
#include "tests/net/ftp_test_server.h"
#include "tests/screens/window_shot.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace qorvi;

namespace {

const char* const kC = "/* Reads the port from the environment. */\n"
                       "#include <stdlib.h>\n"
                       "\n"
                       "int port(void) {\n"
                       "    const char* text = getenv(\"PORT\");\n"
                       "    return text ? atoi(text) : 21; /* the FTP default */\n"
                       "}\n";

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    test::TempDir root;
    ::setenv("XDG_RUNTIME_DIR", root.path().c_str(), 1);
    test::FtpTestServer server;
    std::filesystem::create_directories(server.file("www/cgi-bin"));
    std::filesystem::create_directories(server.file("www/images"));
    std::ofstream(server.file("www/port.c"), std::ios::binary) << kC;
    std::ofstream(server.file("www/index.html"), std::ios::binary) << "<html></html>\n";
    std::ofstream(server.file("www/deploy notes.txt"), std::ios::binary) << "notes\n";
    std::ofstream(server.file("www/site.conf"), std::ios::binary) << "a=1\n";
    std::ofstream(server.file("www/logo.xcf"), std::ios::binary) << "?";
    std::filesystem::create_symlink("images", server.file("www/pictures"));

    Hive hive(root.file("hkcu.reg"));
    SiteProfile p;
    p.name = "loopback";
    p.hostName = "127.0.0.1";
    p.uid = test::FtpTestServer::kUser;
    p.password = test::FtpTestServer::kPassword;
    p.port = std::to_string(server.port());
    p.initialDir = "/www";
    SiteProfiles(hive, SystemClock::instance()).save(p);

    test::FakeShellUi ui;
    TMainForm::Options o;
    o.currentDirectory = root.path();
    o.programDirectory = root.path();
    o.hive = &hive;
    o.ui = &ui;
    TMainForm form(std::move(o));
    form.resize(1180, 760);
    form.show();
    if (!QTest::qWaitForWindowExposed(&form, 10000)) {
        std::fprintf(stderr, "window never exposed\n");
        return 1;
    }
    form.pgcMain()->setCurrentIndex(1);
    form.cmbSites()->setCurrentIndex(2);
    emit form.cmbSites()->activated(2);
    const auto found = form.lstRemoteFiles()->findItems("2 port.c", Qt::MatchExactly);
    if (found.size() == 1) {
        form.lstRemoteFiles()->setCurrentItem(found.front());
        emit form.lstRemoteFiles()->itemDoubleClicked(found.front());
    }
    (void)QTest::qWaitFor([&] { return form.pgcFiles()->count() == 1; }, 5000);
    QTest::qWait(300);
    // Filling the document area with its caption in view.
    form.shell().commands().run(Command::TileVertically);
    QTest::qWait(600);

    if (!test::saveWindowShot(form, argv[1]))
        return 1;
    const int items = form.lstRemoteFiles()->count();
    bool ok = form.lstRemoteFiles()->count() == 9 && form.lblRemotePath()->text() == "/www" &&
              form.pgcFiles()->count() == 1 && form.pgcFiles()->tabText(0) == "port.c" &&
              !form.children().empty() && form.children()[0]->windowTitle() == "loopback:/www/port.c" &&
              ui.boxes.empty() && QImage(argv[1]).width() > 500;
    std::printf("items=%d path=%s tabs=%d status=\"%s\" boxes=%zu png=%s\n", items,
                qPrintable(form.lblRemotePath()->text()), form.pgcFiles()->count(),
                qPrintable(form.statusPanel(2)->text()), ui.boxes.size(), argv[1]);
    for (const auto& b : ui.boxes)
        std::printf("box: %s\n", b.text.c_str());
    return ok ? 0 : 1;
}
