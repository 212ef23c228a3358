// The settings, site profile and password dialogs offscreen, driven through
// their widgets: captions and hints, the type list, what "&Ok", "&Cancel"
// and "&Delete profile" store.

#include "app/document_types.h"
#include "app/ftp_login_dialog.h"
#include "app/main_shell.h"
#include "app/site_profiles.h"
#include "gui/ftp_login_form.h"
#include "gui/get_pass_form.h"
#include "gui/main_form.h"
#include "gui/settings_form.h"
#include "platform/clock.h"
#include "tests/gui/main_form_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace qorvi;
using test::DocumentsFixture;

namespace {

// Runs `user` on the modal dialog of type Form that `open` shows.
template <class Form>
void whileShown(const std::function<void()>& open, const std::function<void(Form&)>& user) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<Form*>(QApplication::activeModalWidget());
        ASSERT_NE(form, nullptr);
        seen = true;
        user(*form);
        if (form->isVisible())
            form->reject();
    });
    open();
    EXPECT_TRUE(seen);
}

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

QStringList labelsOf(QWidget& form) {
    QStringList out;
    for (auto* label : form.findChildren<QLabel*>())
        out << label->text();
    return out;
}

} // namespace

TEST(TfrmSettings, OkStoresTheTypeKeyAndThirtyForALineCountThatIsNoNumber) {
    DocumentsFixture f({});
    f.shell().settings().setDefaultExt("cpp");
    QAction* command = f.form->action(Command::Settings);
    ASSERT_TRUE(command->isEnabled());
    whileShown<TfrmSettings>([&] { command->trigger(); },
                             [&](TfrmSettings& form) {
                                 EXPECT_EQ(form.windowTitle(), "Default settings");
                                 EXPECT_EQ(form.findChild<QGroupBox*>()->title(), "Settings");
                                 EXPECT_EQ(labelsOf(form),
                                           (QStringList{"If there is no file extension, treat it as:",
                                                        "Number of lines to display during file watch"}));
                                 EXPECT_EQ(form.btnOk()->text(), "&Ok");
                                 EXPECT_EQ(form.btnCancel()->text(), "&Cancel");
                                 ASSERT_EQ(form.cmbFileExt()->count(), 13);
                                 EXPECT_EQ(form.cmbFileExt()->itemText(1).toStdString(), typeListItem(3))
                                     << "unsorted: HTML second";
                                 EXPECT_EQ(form.cmbFileExt()->currentIndex(), 0) << "C/Cpp for cpp";
                                 EXPECT_EQ(form.txtNumLinesInFileWatch()->text(), "30");
                                 form.cmbFileExt()->setCurrentIndex(
                                     form.cmbFileExt()->findText("Unix shell script", Qt::MatchStartsWith));
                                 retype(form.txtNumLinesInFileWatch(), "abc");
                                 QTest::mouseClick(form.btnOk(), Qt::LeftButton);
                             });
    EXPECT_EQ(f.hive.value(kProgramKey, "DefaultExt")->data, "sh");
    EXPECT_EQ(f.hive.value(kProgramKey, "NumLinesInWatch")->data, "30");

    whileShown<TfrmSettings>([&] { command->trigger(); },
                             [&](TfrmSettings& form) {
                                 EXPECT_EQ(form.cmbFileExt()->currentText().toStdString(), typeListItem(11));
                                 retype(form.txtNumLinesInFileWatch(), "12");
                                 form.cmbFileExt()->setCurrentIndex(3);
                                 QTest::mouseClick(form.btnCancel(), Qt::LeftButton);
                             });
    EXPECT_EQ(f.hive.value(kProgramKey, "DefaultExt")->data, "sh") << "cancel stores nothing";
    EXPECT_EQ(f.shell().watchLineCount(), 30);
}

TEST(TfrmFTPLogin, AddModeRefusesABlankNameThenSavesWhatWasTyped) {
    DocumentsFixture f({});
    SiteProfiles profiles(f.hive, SystemClock::instance());
    FtpLoginDialog dialog(FtpLoginDialog::Mode::Add, profiles, f.ui);
    TfrmFTPLogin form(dialog);
    EXPECT_EQ(form.windowTitle(), "FTP Connection Parameters");
    EXPECT_EQ(form.findChild<QGroupBox*>()->title(), "Host Information");
    EXPECT_EQ(labelsOf(form),
              (QStringList{"Profile Name:", "Host Name:", "User ID:", "Password:", "Port Number:",
                           "Initial Directory:", "Proxy Server:", "Proxy Port #:"}));
    EXPECT_EQ(form.txtPWD()->toolTip(), "Leave it blank to get authorization at connect time");
    EXPECT_EQ(form.txtProxyPort()->toolTip(), "Proxy server port. Leave it blank if none.");
    EXPECT_EQ(form.txtPWD()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.txtPort()->text(), "21");
    EXPECT_TRUE(form.btnOk()->isDefault());
    bool accepted = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(form.txtProfile()->isVisible());
        EXPECT_FALSE(form.cmbProfile()->isVisible());
        EXPECT_FALSE(form.btnDelete()->isVisible());
        QTest::mouseClick(form.btnOk(), Qt::LeftButton);
        EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Please specifiy a profile name."});
        ASSERT_TRUE(form.isVisible()) << "a refused save keeps the dialog open";
        QTest::keyClicks(form.txtProfile(), "home");
        QTest::keyClicks(form.txtHostName(), "ftp.example.org");
        QTest::keyClicks(form.txtUID(), "anna");
        QTest::keyClicks(form.txtPWD(), "pw");
        QTest::mouseClick(form.btnOk(), Qt::LeftButton);
    });
    accepted = form.run();
    EXPECT_TRUE(accepted);
    EXPECT_EQ(profiles.load("home"),
              (SiteProfile{"home", "ftp.example.org", "anna", "pw", "21", "", "", ""}));
}

TEST(TfrmFTPLogin, EditRemoteProfilesLoadsTheSelectedProfileRewritesAndDeletesIt) {
    DocumentsFixture f({});
    SiteProfiles profiles(f.hive, SystemClock::instance());
    profiles.save({"alpha", "a.example.org", "ann", "", "21", "", "", ""});
    profiles.save({"beta", "b.example.org", "bob", "pw", "2121", "/pub", "proxy", "8080"});
    QAction* command = f.form->action(Command::EditRemoteProfiles);
    ASSERT_TRUE(command->isEnabled());
    whileShown<TfrmFTPLogin>([&] { command->trigger(); },
                             [&](TfrmFTPLogin& form) {
                                 EXPECT_FALSE(form.txtProfile()->isVisible());
                                 EXPECT_TRUE(form.cmbProfile()->isVisible());
                                 EXPECT_TRUE(form.btnDelete()->isVisible());
                                 ASSERT_EQ(form.cmbProfile()->count(), 2);
                                 EXPECT_EQ(form.txtHostName()->text(), "a.example.org");
                                 form.cmbProfile()->setCurrentIndex(1);
                                 EXPECT_EQ(form.txtProxyPort()->text(), "8080");
                                 EXPECT_EQ(form.txtPWD()->text(), "pw");
                                 retype(form.txtHostName(), "c.example.org");
                                 QTest::mouseClick(form.btnOk(), Qt::LeftButton);
                             });
    EXPECT_EQ(profiles.load("beta").hostName, "c.example.org");

    f.ui.answers = {MsgResult::Yes};
    whileShown<TfrmFTPLogin>([&] { command->trigger(); },
                             [&](TfrmFTPLogin& form) {
                                 QTest::mouseClick(form.btnDelete(), Qt::LeftButton);
                                 ASSERT_EQ(form.cmbProfile()->count(), 1);
                                 EXPECT_EQ(form.cmbProfile()->currentText(), "beta");
                                 EXPECT_EQ(form.txtHostName()->text(), "c.example.org");
                             });
    EXPECT_EQ(profiles.names(), std::vector<std::string>{"beta"});
}

TEST(TfrmGetPass, OkGivesTheTypedTextAndClosingGivesNothing) {
    test::app();
    TfrmGetPass form;
    EXPECT_EQ(form.windowTitle(), "Password");
    EXPECT_EQ(labelsOf(form), QStringList{"Please enter the password"});
    EXPECT_EQ(form.txtPassword()->echoMode(), QLineEdit::Password);
    QTimer::singleShot(0, [&] {
        QTest::keyClicks(form.txtPassword(), "s3cret");
        QTest::mouseClick(form.btnOk(), Qt::LeftButton);
    });
    EXPECT_EQ(form.ask(), "s3cret");
    QTimer::singleShot(0, [&] { form.reject(); });
    EXPECT_EQ(form.ask(), "");
}
