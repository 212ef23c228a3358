// The editor control's own find and replace dialog on a real EditorWidget,
// offscreen: opened by the control's messages with the selected text, its
// buttons searching and replacing (the question box answered like a user),
// and the long-work watch that makes a long search cancellable by Escape.

#include "editor/control/rudivo_voru_messages.h"
#include "gui/control_search_dialog.h"
#include "gui/editor_widget.h"
#include "gui/long_work_watch.h"
#include "tests/gui/test_application.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <vector>
#include <gtest/gtest.h>

using namespace qorvi;

namespace {

// Clicks the buttons in the question boxes as they show, one per box, and
// keeps their texts.
void answerBoxes(std::vector<QMessageBox::StandardButton> buttons, QStringList* texts) {
    if (buttons.empty())
        return;
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        texts->append(box->text());
        answerBoxes({buttons.begin() + 1, buttons.end()}, texts);
        box->button(buttons.front())->click();
    });
}

} // namespace

TEST(ControlSearchDialog, FindsAndReplacesThroughTheControl) {
    test::app();
    EditorWidget widget;
    widget.resize(400, 200);
    widget.show();
    TRudivoVoru& control = widget.control();
    control.SetText("cat dog Cat\rcat");
    control.SetSelection({4, 7});
    control.perform(SMM_FIND, kFindMatchCase, 0);
    ControlSearchDialog* dialog = widget.searchDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->replaceMode());
    EXPECT_EQ(dialog->findBox()->text(), "dog") << "the selected text";
    EXPECT_TRUE(dialog->matchCaseBox()->isChecked());
    EXPECT_FALSE(control.HideSelection());

    dialog->findBox()->setText("cat");
    control.SetSelection({0, 0});
    dialog->findNextButton()->click();
    EXPECT_EQ(control.GetSelection(), (TChRange{0, 3}));
    dialog->findNextButton()->click();
    EXPECT_EQ(control.GetSelection(), (TChRange{12, 15})) << "match case passes over Cat";

    // Replace mode: the same window; Replace asks about each match.
    control.SetSelection({0, 0});
    control.perform(SMM_REPLACE, 0, 0);
    ASSERT_TRUE(dialog->replaceMode());
    dialog->findBox()->setText("cat");
    dialog->replaceBox()->setText("ox");
    QStringList boxes;
    answerBoxes({QMessageBox::YesToAll, QMessageBox::Ok}, &boxes);
    dialog->replaceButton()->click();
    EXPECT_EQ(boxes, (QStringList{"Replace this occurence of 'cat' with 'ox' ?", "Search string \"cat\" not found."}));
    EXPECT_EQ(control.GetText(), "ox dog ox\rox");
    control.DoUndo();
    EXPECT_EQ(control.GetText(), "cat dog Cat\rcat") << "one undo step";
    control.SetSelection({0, 0});
    dialog->replaceAllButton()->click();
    EXPECT_EQ(control.GetText(), "ox dog ox\rox");
}

TEST(ControlSearchDialog, EscapeCancelsLongWorkAfterTheBusyCursorShows) {
    test::app();
    QWidget window;
    window.show();
    LongWorkWatch& watch = LongWorkWatch::instance();
    watch.begin();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(watch.cancelled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "no busy cursor for short work";
    bool sawBusy = false;
    bool posted = false;
    while (!watch.cancelled() && clock.elapsed() < 5000) {
        if (clock.elapsed() > 150 && !posted) {
            QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
            QCoreApplication::postEvent(&window, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
            posted = true;
        }
        sawBusy = sawBusy || QApplication::overrideCursor() != nullptr;
    }
    EXPECT_TRUE(watch.cancelled());
    EXPECT_TRUE(sawBusy);
    EXPECT_GE(clock.elapsed(), 100);
    watch.end();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(watch.cancelled()) << "until the next work begins";
    watch.begin();
    EXPECT_FALSE(watch.cancelled());
    watch.end();
}
