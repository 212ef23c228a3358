// Site profiles: the password scrambling, the profile dialog's checks, and
// adding, editing, overwriting and deleting profiles in the hive.

#include "app/ftp_login_dialog.h"
#include "app/main_shell.h"
#include "app/password_scramble.h"
#include "app/setting_values.h"
#include "app/site_profiles.h"
#include "platform/clock.h"
#include "platform/hive.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/main_shell_fixture.h"
#include "tests/support/temp_dir.h"

#include <cctype>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace qorvi {
namespace {

using Msg = FtpLoginDialog;

struct ProfilesFixture {
    test::TempDir dir;
    Hive hive{dir.file("qorvi/hkcu.reg")};
    ManualClock clock;
    SiteProfiles profiles{hive, clock};
    test::FakeShellUi ui;

    SiteProfile sample(const std::string& name, const std::string& host) {
        return {name, host, "anna", "s3cret pw", "2121", "/pub", "", ""};
    }
    // Adds a profile through the dialog in add mode.
    bool add(const SiteProfile& p) {
        FtpLoginDialog d(FtpLoginDialog::Mode::Add, profiles, ui);
        d.fields = p;
        return d.SaveProfile();
    }
};

TEST(PasswordScramble, TheTablePairsEveryDigitAndLetterAndLeavesTheRest) {
    for (int i = 0; i < 256; ++i) {
        const char c = static_cast<char>(i);
        const char swapped = swapScrambled(c);
        EXPECT_EQ(swapScrambled(swapped), c) << i;
        if (std::isalnum(static_cast<unsigned char>(c)))
            EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(swapped)) && swapped != c) << i;
        else
            EXPECT_EQ(swapped, c) << i;
    }
}

TEST(PasswordScramble, TwoTimesGiveTwoTextsThatUnscrambleAlike) {
    ManualClock clock;
    for (const std::string password : {"", "s3cret", "with space & \"quotes\"", "caf\xe9\x80"}) {
        const std::string first = Scramble(password, clock);
        clock.advance(1000);
        const std::string second = Scramble(password, clock);
        EXPECT_NE(first, second);
        EXPECT_EQ(first.size(), 2 * (6 + password.size())) << "two hexadecimal digits per character";
        EXPECT_EQ(first.find_first_not_of("0123456789ABCDEF"), std::string::npos) << first;
        EXPECT_EQ(Unscramble(first), password);
        EXPECT_EQ(Unscramble(second), password);
    }
}

TEST(PasswordScramble, AStoredTextThatDoesNotDecodeReadsAsEmpty) {
    ManualClock clock;
    const std::string good = Scramble("pw", clock);
    for (const std::string& bad : {std::string(""), good.substr(1), "0x" + good, good.substr(0, 10),
                                   std::string("4G") + good, std::string("4142434445464748")})
        EXPECT_EQ(Unscramble(bad), "") << bad;
}

TEST(FtpLoginDialog, OkChecksNameHostAndUserInTurn) {
    ProfilesFixture f;
    FtpLoginDialog d(FtpLoginDialog::Mode::Add, f.profiles, f.ui);
    EXPECT_EQ(d.fields, (SiteProfile{"", "", "", "", "21", "", "", ""}));
    struct Step {
        ProfileField field;
        std::string typed;
        const char* message; // after this typing; null: saved
        ProfileField focus;
    };
    const std::vector<Step> steps = {
        {ProfileField::Profile, "  ", Msg::kMsgNoProfileName, ProfileField::Profile},
        {ProfileField::Profile, "work\\site", Msg::kMsgBadProfileName, ProfileField::Profile},
        {ProfileField::Profile, "work/site", Msg::kMsgBadProfileName, ProfileField::Profile},
        {ProfileField::Profile, "work", Msg::kMsgNoHostName, ProfileField::HostName},
        {ProfileField::HostName, "ftp.example.org", Msg::kMsgNoUserId, ProfileField::UID},
        {ProfileField::UID, " ", Msg::kMsgNoUserId, ProfileField::UID},
        {ProfileField::UID, "anna", nullptr, ProfileField::UID},
    };
    for (const auto& step : steps) {
        d.field(step.field) = step.typed;
        f.ui.boxes.clear();
        const bool saved = d.SaveProfile();
        EXPECT_EQ(saved, step.message == nullptr) << step.typed;
        if (step.message) {
            EXPECT_EQ(f.ui.texts(), std::vector<std::string>{step.message}) << step.typed;
            EXPECT_EQ(d.focus(), step.focus) << step.typed;
            EXPECT_TRUE(f.profiles.names().empty()) << step.typed;
        }
    }
    EXPECT_EQ(f.profiles.names(), std::vector<std::string>{"work"});
}

TEST(SiteProfiles, AddingStoresScrambledAndAnExistingNameIsOverwritten) {
    ProfilesFixture f;
    ASSERT_TRUE(f.add(f.sample("work", "one.example.org")));
    const std::string key = std::string(kProgramKey) + "\\work";
    EXPECT_EQ(f.hive.value(key, "HostName")->data, "one.example.org");
    EXPECT_EQ(f.hive.value(key, "Port")->data, "2121");
    EXPECT_EQ(f.hive.value(key, "ProxyPort")->data, "");
    EXPECT_EQ(f.hive.serialize().find("s3cret"), std::string::npos) << "the password is not kept plain";
    EXPECT_EQ(f.profiles.load("work"), f.sample("work", "one.example.org"));

    f.clock.advance(5000);
    ASSERT_TRUE(f.add(f.sample("WORK", "two.example.org")));
    EXPECT_EQ(f.profiles.names(), std::vector<std::string>{"work"}) << "names compare case-blind";
    EXPECT_EQ(f.profiles.load("work").hostName, "two.example.org");

    struct stat st {};
    ASSERT_EQ(::stat(f.hive.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the hive holds passwords";
}

TEST(SiteProfiles, ForeignOrUndecodableValuesReadAsEmptyAndPortsAsTheirDefaults) {
    ProfilesFixture f;
    const std::string key = std::string(kProgramKey) + "\\odd";
    f.hive.setValue(key, "PWD", HiveValue::string("not hex at all"));
    f.hive.setValue(key, "HostName", HiveValue::binary("h"));
    f.hive.setValue(key, "Port", HiveValue::string("ftp"));
    const SiteProfile p = f.profiles.load("odd");
    EXPECT_EQ(p, (SiteProfile{"odd", "", "", "", "ftp", "", "", ""}));
    EXPECT_EQ(SiteProfiles::portNumber(p), 21);
    EXPECT_EQ(SiteProfiles::proxyPortNumber(p), 0);
}

TEST(FtpLoginDialog, ARegistryThatCannotBeWrittenKeepsTheDialogOpenAndTheProfile) {
    ProfilesFixture f;
    ASSERT_TRUE(f.add(f.sample("work", "one.example.org")));
    ASSERT_EQ(::chmod(f.hive.path().c_str(), 0400), 0);
    FtpLoginDialog d(FtpLoginDialog::Mode::Edit, f.profiles, f.ui);
    d.fields.hostName = "two.example.org";
    EXPECT_FALSE(d.SaveProfile());
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_NE(f.ui.boxes[0].text.find("read-only"), std::string::npos) << "the registry's own message";
    f.ui.answers = {MsgResult::Yes};
    d.DeleteProfile();
    EXPECT_EQ(f.ui.texts().back(), Msg::kMsgCannotDelete);
    EXPECT_EQ(f.profiles.load("work"), f.sample("work", "one.example.org"));
    EXPECT_EQ(d.profileList(), std::vector<std::string>{"work"});
}

TEST(FtpLoginDialog, EditModeLoadsRewritesAndDeletesProfilesDownToNone) {
    test::MainShellFixture shell;
    ManualClock clock;
    SiteProfiles profiles(shell.hive, clock);
    ProfilesFixture f; // for sample()
    for (const char* name : {"alpha", "beta"}) {
        FtpLoginDialog add(FtpLoginDialog::Mode::Add, profiles, shell.ui);
        add.fields = f.sample(name, std::string(name) + ".example.org");
        ASSERT_TRUE(add.SaveProfile());
    }
    std::optional<FtpLoginDialog::Mode> mode;
    shell.view.profileDialog = [&](FtpLoginDialog& d) {
        mode = d.mode();
        EXPECT_EQ(d.profileList(), (std::vector<std::string>{"alpha", "beta"}));
        EXPECT_EQ(d.selectedProfile(), 0);
        EXPECT_EQ(d.fields.hostName, "alpha.example.org");
        d.selectProfile(1);
        d.fields.hostName = "new.example.org";
        return d.SaveProfile();
    };
    shell.shell->commands().run(Command::EditRemoteProfiles);
    EXPECT_EQ(mode, FtpLoginDialog::Mode::Edit);
    EXPECT_EQ(profiles.load("beta").hostName, "new.example.org");
    EXPECT_EQ(profiles.load("alpha").hostName, "alpha.example.org");

    FtpLoginDialog d(FtpLoginDialog::Mode::Edit, profiles, shell.ui);
    shell.ui.answers = {MsgResult::No};
    d.DeleteProfile();
    EXPECT_EQ(profiles.names().size(), 2u) << "No keeps it";
    EXPECT_EQ(shell.ui.texts().back(), Msg::kMsgConfirmDelete);
    shell.ui.answers = {MsgResult::Yes, MsgResult::Yes};
    d.DeleteProfile();
    EXPECT_EQ(d.profileList(), std::vector<std::string>{"beta"});
    EXPECT_EQ(d.fields.hostName, "new.example.org") << "the first left is loaded";
    d.DeleteProfile();
    EXPECT_TRUE(d.profileList().empty());
    EXPECT_EQ(d.selectedProfile(), -1);
    EXPECT_EQ(d.fields.name, "beta") << "the fields stay as they were";
    EXPECT_TRUE(profiles.names().empty());
    EXPECT_TRUE(shell.hive.keyExists(kProgramKey)) << "settings are not touched";

    shell.ui.answers = {MsgResult::Yes};
    FtpLoginDialog none(FtpLoginDialog::Mode::Edit, profiles, shell.ui);
    SettingValues(shell.hive).setDefaultExt("cpp");
    none.DeleteProfile();
    EXPECT_EQ(SettingValues(shell.hive).defaultExt(), "cpp") << "no profile name is not the program key";
}

} // namespace
} // namespace qorvi
