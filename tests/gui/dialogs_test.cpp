#include "app/setting_values.h"
#include "gui/new_doc_type_form.h"
#include "gui/qt_shell_ui.h"
#include "gui/unknown_form.h"
#include "platform/hive.h"
#include "platform/qt/key_codes.h"
#include "tests/gui/test_application.h"
#include "tests/support/temp_dir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <gtest/gtest.h>

using namespace qorvi;
using namespace qorvi::test;

namespace {
} // namespace

TEST(TfrmUnknown, RegisterBoxFollowsTheOpenChoice) {
    app();
    TfrmUnknown form;
    EXPECT_EQ(form.windowTitle(), "Unknown file format");
    EXPECT_TRUE(form.rdbDownload()->isChecked());
    EXPECT_FALSE(form.chkRegister()->isEnabled());
    form.rdbOpen()->setChecked(true);
    EXPECT_TRUE(form.chkRegister()->isEnabled());
    EXPECT_TRUE(form.chkRegister()->isChecked());
    QTimer::singleShot(0, &form, &QDialog::accept);
    EXPECT_EQ(form.ask(), 3);
    form.chkRegister()->setChecked(false);
    QTimer::singleShot(0, &form, &QDialog::reject);
    EXPECT_EQ(form.ask(), 0);
}

TEST(TfrmNewDocType, SelectingPhpReturnsThirteenAndRemembersTheIndex) {
    app();
    test::TempDir dir;
    Hive hive(dir.file("hkcu.reg"));
    SettingValues settings(hive);
    NewDocTypeChoice choice(settings);
    TfrmNewDocType form(choice, "Select a new type");
    EXPECT_EQ(form.windowTitle(), "Select a new type");
    EXPECT_EQ(form.lstTypes()->currentRow(), 5);
    auto found = form.lstTypes()->findItems("PHP Script", Qt::MatchStartsWith);
    ASSERT_EQ(found.size(), 1);
    form.lstTypes()->setCurrentItem(found[0]);
    EXPECT_EQ(choice.finish(form.selectedIndex()), 13);
    EXPECT_EQ(NewDocTypeChoice(settings).initialIndex(), form.selectedIndex());
}

TEST(KeyCodes, QtKeysMapToVirtualKeysByOneTable) {
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_A), 'A');
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_7), '7');
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_F12), 123);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Left), 37);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Down), 40);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Home), 36);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_End), 35);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_PageUp), 33);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_PageDown), 34);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Insert), 45);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Delete), 46);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Backspace), 8);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Tab), 9);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Return), 13);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Escape), 27);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Space), 32);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_BracketLeft), 0xDB);
    EXPECT_EQ(virtualKeyFromQt(Qt::Key_Exclam), '1');
    EXPECT_EQ(shiftStateFromQt(Qt::ShiftModifier | Qt::ControlModifier), ssShift | ssCtrl);
    EXPECT_EQ(makeShortCut(VK_F3, ssShift), 0x2000 + 114);
    EXPECT_EQ(shortCutToText(makeShortCut('S', ssCtrl | ssShift)), "Shift+Ctrl+S");
}

TEST(QtShellUi, ABoxOfManyLinesFitsTheScreenWithItsButtonsInReach) {
    app();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (int lines : {3, 1000}) {
        std::string text = "These names were not opened:";
        for (int i = 0; i < lines; ++i)
            text += "\n/home/user/project/src/file-" + std::to_string(i) + ".txt";
        bool checked = false;
        QTimer::singleShot(0, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            checked = true;
            EXPECT_LE(box->frameGeometry().height(), screen.height()) << lines;
            EXPECT_LE(box->frameGeometry().width(), screen.width()) << lines;
            QAbstractButton* no = nullptr;
            for (QAbstractButton* button : box->findChildren<QAbstractButton*>()) {
                if (button->text().remove('&') == "No")
                    no = button;
            }
            ASSERT_NE(no, nullptr);
            EXPECT_TRUE(no->isVisible());
            EXPECT_TRUE(box->rect().contains(QRect(no->mapTo(box, QPoint(0, 0)), no->size()))) << lines;
            no->click();
        });
        EXPECT_EQ(QtShellUi().messageBox(text, "Qorvi", MsgIcon::Information, MsgButtons::YesNo),
                  MsgResult::No);
        EXPECT_TRUE(checked) << lines;
    }
}
