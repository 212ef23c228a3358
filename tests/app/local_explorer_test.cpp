// The explorer's local page: listing, moving between directories, opening,
// deleting and renaming files, and the icons of the list.

#include "app/document_window.h"
#include "app/local_explorer.h"
#include "tests/support/main_shell_fixture.h"

#include <gtest/gtest.h>

namespace qorvi {
namespace {

struct ExplorerFixture : test::MainShellFixture {
    LocalExplorer& explorer = shell->explorer();
    ExplorerFixture() {
        ::mkdir((work + "/src").c_str(), 0700);
        file("b.cpp");
        file("Zed.txt");
        file("data.xyz");
        file("ro.txt");
        ::chmod((work + "/ro.txt").c_str(), 0444);
        file(".hidden");
        view.selectDrive(0);
        explorer.list(work);
    }
};

TEST(LocalExplorer, ListsDirectoriesFilesAndReadOnlyFilesEachByName) {
    ExplorerFixture f;
    EXPECT_EQ(f.view.localPath(), f.work + "/");
    EXPECT_EQ(f.view.items, (std::vector<std::string>{"  Parent Directory...", "0 src", "2 b.cpp",
                                                      "2 data.xyz", "2 Zed.txt", "3 ro.txt"}));
    EXPECT_EQ(f.shell->drives()[0].lastDirectory, f.work + "/");
}

TEST(LocalExplorer, OpeningADirectoryListsItAndTheParentItemGoesBack) {
    ExplorerFixture f;
    ASSERT_TRUE(f.view.selectItem("0 src"));
    f.explorer.openSelected();
    EXPECT_EQ(f.view.localPath(), f.work + "/src/");
    EXPECT_EQ(f.view.items, std::vector<std::string>{"  Parent Directory..."});
    f.view.selectedItem = 0;
    f.explorer.openSelected();
    EXPECT_EQ(f.view.localPath(), f.work + "/");
    f.explorer.list("/");
    EXPECT_EQ(f.view.localPath(), "/");
    f.view.selectedItem = 0;
    f.explorer.openSelected();
    EXPECT_EQ(f.view.localPath(), "/") << "the root has no parent";
}

TEST(LocalExplorer, OpeningARegisteredFileOpensItsDocument) {
    ExplorerFixture f;
    ASSERT_TRUE(f.view.selectItem("2 b.cpp"));
    f.explorer.openSelected();
    ASSERT_EQ(f.view.children.size(), 1u);
    EXPECT_EQ(f.view.child(0).window->filePath(), f.work + "/b.cpp");
    EXPECT_TRUE(f.ui.boxes.empty());
}

TEST(LocalExplorer, AnUnregisteredFileIsOfferedForRegistrationAndOpensEitherWay) {
    ExplorerFixture f;
    ASSERT_TRUE(f.view.selectItem("2 data.xyz"));
    f.ui.answers = {MsgResult::No};
    f.explorer.openSelected();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{LocalExplorer::kMsgUnregistered});
    EXPECT_EQ(f.view.children.size(), 1u);
    EXPECT_FALSE(f.shell->mapping().isRegistered("xyz"));

    f.ui.answers = {MsgResult::Yes};
    f.selector.answers = {4};
    f.view.whatToDo = {2};
    f.explorer.openSelected();
    EXPECT_EQ(f.selector.titles.front(), "Select file format");
    EXPECT_TRUE(f.shell->mapping().isRegistered("xyz"));
    EXPECT_EQ(f.view.children.size(), 2u);
    EXPECT_EQ(f.view.child(1).editor.parserName, "prsSQL");
}

TEST(LocalExplorer, AReadOnlyFileOpensReadOnly) {
    ExplorerFixture f;
    ASSERT_TRUE(f.view.selectItem("3 ro.txt"));
    f.explorer.openSelected();
    ASSERT_EQ(f.view.children.size(), 1u);
    EXPECT_TRUE(f.view.child(0).editor.readOnly());
}

TEST(LocalExplorer, DeleteAsksFirstAndRefusesFolders) {
    ExplorerFixture f;
    f.explorer.deleteSelected();
    ASSERT_TRUE(f.view.selectItem("0 src"));
    f.explorer.deleteSelected();
    EXPECT_EQ(f.ui.texts(),
              (std::vector<std::string>{"Please select a file", "You cannot delete a folder from here"}));

    f.ui.boxes.clear();
    ASSERT_TRUE(f.view.selectItem("2 Zed.txt"));
    f.ui.answers = {MsgResult::No};
    f.explorer.deleteSelected();
    EXPECT_EQ(f.ui.texts(),
              std::vector<std::string>{"This will delete " + f.work + "/Zed.txt. Do you wish to continue?"});
    EXPECT_TRUE(fs::exists(f.work + "/Zed.txt"));
    f.ui.answers = {MsgResult::Yes};
    f.explorer.deleteSelected();
    EXPECT_FALSE(fs::exists(f.work + "/Zed.txt"));
    EXPECT_FALSE(f.view.selectItem("2 Zed.txt")) << "the list was read again";
}

TEST(LocalExplorer, RenameNeverReplacesAnotherFile) {
    ExplorerFixture f;
    f.ui.inputs = {std::string("new.cpp")};
    f.explorer.renameSelected();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Please select a file"});

    f.ui.boxes.clear();
    ASSERT_TRUE(f.view.selectItem("2 b.cpp"));
    f.ui.inputs = {std::string("Zed.txt")};
    f.explorer.renameSelected();
    EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Could not rename the file"});
    EXPECT_EQ(fs::readFile(f.work + "/Zed.txt").value(), "text\n");
    EXPECT_TRUE(fs::exists(f.work + "/b.cpp"));

    for (const char* bad : {"../out.cpp", "", "src/in.cpp"}) {
        f.ui.boxes.clear();
        ASSERT_TRUE(f.view.selectItem("2 b.cpp"));
        f.ui.inputs = {std::string(bad)};
        f.explorer.renameSelected();
        EXPECT_EQ(f.ui.texts(), std::vector<std::string>{"Could not rename the file"}) << bad;
        EXPECT_TRUE(fs::exists(f.work + "/b.cpp")) << bad;
    }

    f.ui.boxes.clear();
    ASSERT_TRUE(f.view.selectItem("0 src"));
    f.ui.inputs = {std::string("lib")};
    f.explorer.renameSelected();
    EXPECT_TRUE(f.ui.boxes.empty());
    EXPECT_TRUE(fs::isDirectory(f.work + "/lib")) << "directories can be renamed";
    EXPECT_TRUE(f.view.selectItem("0 lib"));

    f.ui.inputs = {std::nullopt};
    f.explorer.renameSelected();
    EXPECT_TRUE(fs::isDirectory(f.work + "/lib"));
}

TEST(LocalExplorer, ItemsAreDrawnWithTheIconOfTheirKind) {
    ExplorerFixture f;
    EXPECT_EQ(f.explorer.iconFor(0, "  Parent Directory..."), LocalExplorer::IconParent);
    EXPECT_EQ(f.explorer.iconFor(1, "0 src"), LocalExplorer::IconFolder);
    EXPECT_EQ(f.explorer.iconFor(2, "2 b.cpp"), LocalExplorer::IconRegistered);
    EXPECT_EQ(f.explorer.iconFor(3, "2 data.xyz"), LocalExplorer::IconUnregistered);
    EXPECT_EQ(f.explorer.iconFor(4, "2 Makefile"), LocalExplorer::IconRegistered) << "opened as DefaultExt";
    EXPECT_EQ(f.explorer.iconFor(5, "3 ro.txt"), LocalExplorer::IconReadOnly);
}

TEST(LocalExplorer, TheDriveBoxListsTheDrivesLastDirectoryOrItsRoot) {
    ExplorerFixture f;
    f.explorer.driveClicked();
    EXPECT_EQ(f.view.localPath(), f.work + "/");
    f.view.drives = {"/", f.work + "/src"};
    f.shell->setDriveLastDirectory(1, "");
    f.view.selectDrive(1);
    f.explorer.driveClicked();
    EXPECT_EQ(f.view.localPath(), f.work + "/src/");
}

TEST(LocalExplorer, AnUnreadableDirectoryIsReported) {
    ExplorerFixture f;
    f.explorer.list(f.work + "/no-such-dir");
    ASSERT_EQ(f.ui.boxes.size(), 1u);
    EXPECT_EQ(f.ui.boxes[0].icon, MsgIcon::Information);
    EXPECT_EQ(f.view.localPath(), f.work + "/") << "the list stays as it was";
}

} // namespace
} // namespace qorvi
