// The explorer's "Remote" page offscreen, driven through its widgets against
// a real FTP server on 127.0.0.1: the site box, the remote list with its
// double click and context menu, a remote document edited and saved back,
// the status bar and the keep-alive timer.

#include "app/document_window.h"
#include "app/main_shell.h"
#include "app/remote_explorer.h"
#include "app/site_profiles.h"
#include "gui/editor_widget.h"
#include "gui/long_work_watch.h"
#include "gui/main_form.h"
#include "gui/mdi_child.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "tests/gui/main_form_fixture.h"
#include "tests/net/ftp_test_server.h"

#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using namespace qorvi;
using test::DocumentsFixture;
using test::FtpTestServer;

namespace {

QAction* menuAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

QStringList itemTexts(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

void doubleClickItem(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << text.toStdString();
    list->scrollToItem(found.front());
    const QPoint at = list->visualItemRect(found.front()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

TEST(RemotePage, SiteBoxListOpenEditSaveAndContextMenu) {
    FtpTestServer server;
    std::filesystem::create_directory(server.file("src"));
    std::ofstream(server.file("src/hello.c"), std::ios::binary) << "int hello;\n";
    std::ofstream(server.file("notes file.txt"), std::ios::binary) << "notes\n";
    DocumentsFixture f({});
    SiteProfile p;
    p.name = "Loopback";
    p.hostName = "127.0.0.1";
    p.uid = FtpTestServer::kUser;
    p.password = FtpTestServer::kPassword;
    p.port = std::to_string(server.port());
    SiteProfiles(f.hive, SystemClock::instance()).save(p);
    f.shell().remote().fillSites();
    TMainForm& form = *f.form;

    // Creation step 14: the site box, "<< Not connected >>" selected.
    QComboBox* sites = form.cmbSites();
    ASSERT_EQ(sites->count(), 3);
    EXPECT_EQ(sites->itemText(0), "<< Not connected >>");
    EXPECT_EQ(sites->itemText(1), "<< Add new site >>");
    EXPECT_EQ(sites->itemText(2), "Loopback");
    EXPECT_EQ(sites->currentIndex(), 0);

    // The page's own commands show only on the "Remote" page.
    QMenu* pop = form.popMain();
    QAction* changeDirectory = menuAction(pop, "Change Directory...");
    QAction* upload = menuAction(pop, "Upload File...");
    ASSERT_NE(changeDirectory, nullptr);
    ASSERT_NE(upload, nullptr);
    EXPECT_FALSE(changeDirectory->isVisible());
    form.pgcMain()->setCurrentIndex(1);
    EXPECT_TRUE(changeDirectory->isVisible());
    EXPECT_TRUE(upload->isVisible());

    // Picking the site connects and lists the initial directory.
    sites->setCurrentIndex(2);
    emit sites->activated(2);
    ASSERT_TRUE(f.shell().remote().ftp().Connected()) << ::testing::PrintToString(f.ui.texts());
    EXPECT_EQ(itemTexts(form.lstRemoteFiles()),
              (QStringList{"  Parent Directory...", "0 src", "2 notes file.txt"}));
    EXPECT_EQ(form.lblRemotePath()->text(), "/");
    EXPECT_EQ(form.statusPanel(2)->text(), "Connected");
    ASSERT_NE(form.tmrStayAlive(), nullptr);
    EXPECT_TRUE(form.tmrStayAlive()->isActive());
    EXPECT_EQ(form.tmrStayAlive()->interval(), 60000);

    // Double clicks: into "src", then open hello.c.
    doubleClickItem(form.lstRemoteFiles(), "0 src");
    EXPECT_EQ(form.lblRemotePath()->text(), "/src");
    doubleClickItem(form.lstRemoteFiles(), "2 hello.c");
    ASSERT_TRUE(f.waitForTabs(1)) << ::testing::PrintToString(f.ui.texts());
    TMDIChild* child = form.children().at(0);
    EXPECT_EQ(child->windowTitle(), "Loopback:/src/hello.c");
    EXPECT_EQ(form.pgcFiles()->tabText(0), "hello.c");
    EXPECT_TRUE(child->logic().remote());

    // Type into the editor and save with Ctrl+S's command.
    child->txtMain()->setFocus();
    QTest::keyClicks(child->txtMain(), "/* x */");
    EXPECT_TRUE(child->logic().editor().modified());
    form.action(Command::Save)->trigger();
    EXPECT_EQ(fs::readFile(server.file("src/hello.c")).value_or(""), "/* x */int hello;\n");
    EXPECT_FALSE(child->logic().editor().modified());
    EXPECT_EQ(form.statusPanel(2)->text(), "File successfully saved");
    EXPECT_EQ(form.statusPanel(1)->text(), "Opened files: 1; Modified: 0");

    // The context menu acts on the remote list: Refresh shows a new file.
    std::ofstream(server.file("src/new.txt"), std::ios::binary) << "n\n";
    menuAction(pop, "Refresh")->trigger();
    EXPECT_EQ(itemTexts(form.lstRemoteFiles()),
              (QStringList{"  Parent Directory...", "2 hello.c", "2 new.txt"}));
    // Delete File on the selected item, confirmed.
    form.lstRemoteFiles()->setCurrentRow(2);
    f.ui.answers.push_back(MsgResult::Yes);
    menuAction(pop, "Delete File")->trigger();
    EXPECT_FALSE(fs::exists(server.file("src/new.txt")));
    EXPECT_EQ(itemTexts(form.lstRemoteFiles()), (QStringList{"  Parent Directory...", "2 hello.c"}));
    // Change Directory... to the root.
    f.ui.inputs.push_back(std::string("/"));
    changeDirectory->trigger();
    EXPECT_EQ(form.lblRemotePath()->text(), "/");
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"This will delete new.txt. Do you wish to continue?"});
    EXPECT_EQ(f.ui.busyDepth, 0);

    // Back on the local page the menu is the local one again.
    form.pgcMain()->setCurrentIndex(0);
    EXPECT_FALSE(changeDirectory->isVisible());
}

TEST(RemotePage, ClosingTheMainWindowDuringATransferCancelsItThenCloses) {
    test::app();
    QMainWindow window;
    window.show();
    LongWorkWatch& watch = LongWorkWatch::instance();
    watch.begin(); // a transfer's busy stretch
    QElapsedTimer clock;
    clock.start();
    bool posted = false;
    while (!watch.cancelled() && clock.elapsed() < 5000) {
        if (clock.elapsed() > 150 && !posted) {
            QCoreApplication::postEvent(&window, new QCloseEvent);
            posted = true;
        }
    }
    EXPECT_TRUE(watch.cancelled()) << "the close cancels the transfer";
    EXPECT_TRUE(window.isVisible()) << "the window waits for the transfer to end";
    watch.end();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 2000)) << "then it closes";
}
