#include "app/file_argument.h"
#include "app/handover.h"
#include "app/main_shell.h"
#include "app/main_view.h"
#include "app/setting_values.h"
#include "app/type_selection.h"
#include "platform/handover_block.h"
#include "platform/hive.h"
#include "tests/support/fake_main_view.h"
#include "tests/support/fake_shell_ui.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"
#include "tests/support/file_bytes.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

using namespace qorvi;

namespace {

using qorvi::test::readFile;

void touch(const std::string& path) {
    std::ofstream(path) << "x";
}

class NoSelector : public TypeSelector {
public:
    int selectType(const std::string&) override { return 0; }
};

// A clean machine for the shell: its own hive, program and working directories.
struct ShellFixture {
    test::TempDir root;
    test::ScopedEnv runtime{"XDG_RUNTIME_DIR", root.path()};
    test::ScopedEnv display{"DISPLAY", ":shell-test-" + root.path()};
    test::ScopedEnv wayland{"WAYLAND_DISPLAY", ""};
    Hive hive{root.file("hkcu.reg")};
    test::FakeMainView view;
    test::FakeShellUi ui;
    NoSelector selector;
    std::string work = root.file("work");

    ShellFixture() {
        ::mkdir(work.c_str(), 0700);
        ::mkdir(root.file("prog").c_str(), 0700);
    }
    std::unique_ptr<MainShell> make(std::vector<std::string> args) {
        auto shell = std::make_unique<MainShell>(
            view, ui, selector, hive, MainShell::Environment{std::move(args), work, root.file("prog")});
        view.attach(*shell, ui);
        return shell;
    }
};

} // namespace

TEST(ExpandFileArgument, PlainNameIsTakenFromTheCurrentDirectory) {
    test::TempDir dir;
    touch(dir.file("a.txt"));
    test::FakeShellUi ui;
    std::vector<std::string> pending;
    EXPECT_EQ(expandFileArgument("a.txt", false, dir.path(), pending, ui), 1);
    EXPECT_EQ(pending, std::vector<std::string>{dir.file("a.txt")});
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(ExpandFileArgument, PatternsMatchEveryEntryIncludingDirectoriesSorted) {
    test::TempDir dir;
    touch(dir.file("b.cpp"));
    touch(dir.file("a.cpp"));
    touch(dir.file("a.h"));
    ::mkdir(dir.file("dir.cpp").c_str(), 0700);
    touch(dir.file("[x].cpp"));
    test::FakeShellUi ui;
    std::vector<std::string> pending;
    expandFileArgument(dir.path() + "/*.cpp", false, "/", pending, ui);
    EXPECT_EQ(pending, (std::vector<std::string>{dir.file("[x].cpp"), dir.file("a.cpp"), dir.file("b.cpp"),
                                                 dir.file("dir.cpp")}));
    pending.clear();
    expandFileArgument("?.h", false, dir.path(), pending, ui);
    EXPECT_EQ(pending, std::vector<std::string>{dir.file("a.h")});
    pending.clear();
    expandFileArgument("[x].cpp", false, dir.path(), pending, ui);
    EXPECT_EQ(pending, std::vector<std::string>{dir.file("[x].cpp")}) << "brackets are not wildcards";
}

TEST(ExpandFileArgument, NoMatchIsReportedUnlessQuiet) {
    test::TempDir dir;
    test::FakeShellUi ui;
    std::vector<std::string> pending;
    EXPECT_EQ(expandFileArgument("nothing.txt", false, dir.path(), pending, ui), 0);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].text, "File: " + dir.file("nothing.txt") + " not found.");
    EXPECT_EQ(ui.boxes[0].icon, MsgIcon::Information);
    expandFileArgument("nothing.txt", true, dir.path(), pending, ui);
    expandFileArgument("/no/such/dir/x", true, dir.path(), pending, ui);
    EXPECT_EQ(ui.boxes.size(), 1u);
    EXPECT_TRUE(pending.empty());
}

TEST(HandoverNames, NamesBecomeAbsoluteAndSwitchesGoAsTheyAre) {
    EXPECT_EQ(handoverNames({"a.txt", "/abs/b.txt", "-G"}, "/w"),
              (std::vector<std::string>{"/w/a.txt", "/abs/b.txt", "/w/-G"}));
}

TEST(HandoverNames, EveryNameArrivesWithEveryByteInTextsThatFit) {
    // Names of any bytes but zero (the one byte no path holds), of any
    // length and number, in texts of any size.
    std::mt19937 random(20);
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> names(random() % 40);
        for (auto& name : names) {
            name = "/";
            for (std::size_t n = random() % 300; n > 0; --n)
                name += static_cast<char>(1 + random() % 255);
        }
        const std::size_t capacity = 2 + random() % 2000;
        HandoverTexts texts = encodeHandoverNames(names, capacity);
        std::vector<std::string> arrived, expected;
        for (const auto& text : texts.texts) {
            ASSERT_FALSE(text.empty()) << "a record needs a text to be answered";
            ASSERT_LE(text.size(), capacity);
            for (auto& name : decodeHandoverNames(text))
                arrived.push_back(name);
        }
        for (const auto& name : names)
            if (name.size() + 1 <= capacity)
                expected.push_back(name);
        EXPECT_EQ(arrived, expected);
        EXPECT_EQ(texts.dropped.size(), names.size() - expected.size());
    }
    EXPECT_EQ(decodeHandoverNames(encodeHandoverNames({"/w/ends-in-cr\r", "/w/a\nb"}, 100).texts.at(0)),
              (std::vector<std::string>{"/w/ends-in-cr\r", "/w/a\nb"}));
    EXPECT_NE(droppedNamesMessage({"/long"}).find("/long"), std::string::npos);
}

TEST(HandoverList, ReceiverSplitsOnLfAndCrLf) {
    EXPECT_EQ(splitHandoverList("/a\n/b\r\n\n/c"), (std::vector<std::string>{"/a", "/b", "/c"}));
    EXPECT_TRUE(splitHandoverList("").empty());
}

TEST(MainShell, CreationReadsSettingsAndStartsTheTimer) {
    ShellFixture f;
    SettingValues s(f.hive);
    s.writeString("ShowExplorer", "0");
    s.writeString("LastLeft", "40");
    s.writeString("LastWidth", "junk");
    s.writeString("NumLinesInWatch", "0");
    auto shell = f.make({});
    shell->create();
    EXPECT_FALSE(f.view.explorer);
    EXPECT_FALSE(f.view.applied.maximised);
    EXPECT_EQ(f.view.applied.left, 40);
    EXPECT_EQ(f.view.applied.width, 0);
    EXPECT_EQ(shell->watchLineCount(), 30) << "a watch line count below 1 reads as 30";
    EXPECT_EQ(f.view.timer, 500);
    EXPECT_EQ(f.view.drives.front(), "/");
    EXPECT_TRUE(shell->handoverBlockOpen());
    EXPECT_EQ(shell->mapping().lines(), ExtensionMap::defaultLines());
    EXPECT_EQ(f.view.captionText, "Qorvi");
}

TEST(MainShell, DeletedShowExplorerShowsTheExplorerAndLastMaxIgnoresBounds) {
    ShellFixture f;
    SettingValues s(f.hive);
    s.writeString("LastMax", "1");
    s.writeString("LastTop", "99");
    f.make({})->create();
    EXPECT_TRUE(f.view.explorer);
    EXPECT_TRUE(f.view.applied.maximised);
    EXPECT_EQ(f.view.applied.top, 0);
}

TEST(MainShell, DebugSwitchOrderDecidesDebugMode) {
    ShellFixture f;
    touch(f.work + "/a.txt");
    {
        auto shell = f.make({"-G", "a.txt"});
        shell->create();
        EXPECT_FALSE(shell->debugMode());
    }
    {
        auto shell = f.make({"a.txt", "-G"});
        shell->create();
        EXPECT_TRUE(shell->debugMode());
        EXPECT_EQ(f.view.captionText, "Qorvi; DEBUG MODE");
    }
    EXPECT_NE(readFile(f.work + "/debug.log").find(f.work + "/a.txt"), std::string::npos);
}

TEST(MainShell, SwitchesAreNotReportedAsMissingFiles) {
    ShellFixture f;
    f.make({"-m", "/m", "-M", "/M", "-G"})->create();
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(MainShell, StartupTimerOpensPendingFilesThenListsRootAndCurrentDirectory) {
    ShellFixture f;
    touch(f.work + "/a.txt");
    touch(f.work + "/b.txt");
    auto shell = f.make({"*.txt", "missing.txt"});
    shell->create();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"File: " + f.work + "/missing.txt not found."});
    EXPECT_TRUE(shell->openedNames().empty()) << "nothing opens before the timer";
    shell->startupTimerFired();
    EXPECT_EQ(shell->openedNames(), (std::vector<std::string>{f.work + "/a.txt", f.work + "/b.txt"}));
    EXPECT_EQ(f.view.labels, (std::vector<std::string>{"/", f.work + "/"}));
    EXPECT_EQ(f.view.selectedDrives.front(), 0) << "the first root is listed first";
    EXPECT_EQ(f.view.tabCaptions(), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(MainShell, HandoverOpensTheBlocksNamesQuietlyAndRestores) {
    ShellFixture f;
    touch(f.work + "/c.txt");
    auto shell = f.make({"-G"});
    shell->create();
    auto sender = HandoverBlock::open();
    ASSERT_TRUE(sender);
    // What an older sender writes: absolute names, each ended by a line feed.
    sender->write(f.work + "/c.txt\n" + f.work + "/gone.txt\n");
    EXPECT_TRUE(shell->filterMessage({kHandoverMessage, 0, 0}));
    EXPECT_TRUE(shell->filterMessage({WM_SYSCOMMAND, SC_RESTORE, 0}));
    EXPECT_FALSE(shell->filterMessage({kHandoverMessage + 1, 0, 0}));
    f.view.runPostedOpens(*shell);
    EXPECT_EQ(shell->openedNames(), std::vector<std::string>{f.work + "/c.txt"});
    EXPECT_EQ(f.view.restored, 1);
    EXPECT_TRUE(f.ui.boxes.empty()) << "handed-over names that match nothing are skipped silently";
    EXPECT_EQ(sender->read(), f.work + "/c.txt\n" + f.work + "/gone.txt\n")
        << "the receiver does not clear the block";
    std::string log = readFile(f.work + "/debug.log");
    EXPECT_NE(log.find("pending " + f.work + "/c.txt"), std::string::npos);
    EXPECT_NE(log.find("opened " + f.work + "/c.txt"), std::string::npos);
}

TEST(MainShell, HandedOverNamesKeepEveryByteAndOpenOneAtATime) {
    ShellFixture f;
    const std::string same = f.work + "/same.txt", other = f.work + "/other.txt", cr = f.work + "/cr.txt\r";
    for (const auto& path : {same, other, cr, f.work + "/cr.txt"})
        touch(path);
    auto shell = f.make({"-G"});
    shell->create();
    auto handOver = [&](const std::vector<std::string>& names) {
        for (const auto& text : encodeHandoverNames(names, kMaxPostedText).texts)
            EXPECT_TRUE(shell->filterMessage({kHandoverNamesMessage, 0, 0, text}));
    };
    handOver({same, cr});
    f.view.runPostedOpens(*shell);
    EXPECT_EQ(shell->openedNames(), (std::vector<std::string>{same, cr}))
        << "a trailing CR is part of the name";

    // While the box asks about the open file, the same name arrives again
    // and again (a held-down key in a file manager) and another file once:
    // they wait for the box instead of opening boxes inside it.
    int delivered = 0;
    f.view.whileAskingWhatToDo = [&] {
        for (; delivered < 3000; ++delivered)
            handOver({delivered == 1500 ? other : same});
    };
    handOver({same});
    f.view.runPostedOpens(*shell);
    EXPECT_EQ(delivered, 3000);
    EXPECT_EQ(f.view.deepestWhatToDo, 1);
    EXPECT_EQ(f.view.whatToDoAsked, 1) << "a burst of the same name asks once";
    EXPECT_EQ(shell->openedNames(), (std::vector<std::string>{same, cr, other}));
}

TEST(MainShell, CloseQueryWritesPlacement) {
    ShellFixture f;
    auto shell = f.make({});
    shell->create();
    f.view.current = {false, 10, 20, 800, 600};
    shell->closeQuery();
    SettingValues s(f.hive);
    EXPECT_EQ(s.readString("LastMax", ""), "0");
    EXPECT_EQ(s.readString("LastHeight", ""), "600");
    EXPECT_EQ(s.readString("LastLeft", ""), "10");
    EXPECT_TRUE(shell->closing());

    f.hive.deleteValue(kProgramKey, "LastHeight");
    f.view.current.maximised = true;
    shell->closeQuery();
    EXPECT_EQ(s.readString("LastMax", ""), "1");
    EXPECT_FALSE(f.hive.value(kProgramKey, "LastHeight")) << "maximised writes only LastMax";
}
