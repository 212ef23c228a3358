#include "gui/key_assign_dialog.h"

#include "platform/qt/key_codes.h"
#include "platform/qt/text_convert.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace qorvi {

KeyCaptureBox::KeyCaptureBox(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
}

void KeyCaptureBox::setShortCut(TShortCut key) {
    key_ = key;
    setText(key ? toQString(shortCutToText(key)) : QString());
}

bool KeyCaptureBox::event(QEvent* event) {
    // Tab, Return and the like belong to the box while it has the focus.
    if (event->type() == QEvent::KeyPress) {
        keyPressEvent(static_cast<QKeyEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void KeyCaptureBox::keyPressEvent(QKeyEvent* event) {
    const std::uint16_t vk = virtualKeyFromQt(event->key());
    // A modifier alone is no key yet.
    if (vk == 0 || vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU)
        return;
    const TShiftState shift = shiftStateFromQt(event->modifiers());
    TShortCut key = vk;
    if (shift & ssShift)
        key |= scShift;
    if (shift & ssCtrl)
        key |= scCtrl;
    if (shift & ssAlt)
        key |= scAlt;
    setShortCut(key);
    emit shortCutChanged(key);
}

TKeyAssignDialog::TKeyAssignDialog(const std::string& command, const KeyPair& initial, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(toQString(command));
    auto* layout = new QVBoxLayout(this);
    steps_ = new QStackedWidget(this);
    auto makeStep = [&](const char* prompt, KeyCaptureBox*& box, TShortCut key) {
        auto* page = new QWidget(steps_);
        auto* v = new QVBoxLayout(page);
        auto* label = new QLabel(prompt, page);
        label->setWordWrap(true);
        v->addWidget(label);
        auto* row = new QHBoxLayout;
        box = new KeyCaptureBox(page);
        box->setShortCut(key);
        auto* clear = new QPushButton("Clear", page);
        clear->setObjectName("Clear");
        connect(clear, &QPushButton::clicked, box, [box] {
            box->setShortCut(0);
            box->setFocus();
        });
        row->addWidget(box, 1);
        row->addWidget(clear);
        v->addLayout(row);
        v->addStretch(1);
        steps_->addWidget(page);
    };
    makeStep(kMsgFirstKey, first_, initial.first);
    makeStep(kMsgSecondKey, second_, initial.second);
    first_->setObjectName("FirstKeyBox");
    second_->setObjectName("SecondKeyBox");
    layout->addWidget(steps_, 1);

    auto* buttons = new QHBoxLayout;
    back_ = new QPushButton("< Back", this);
    next_ = new QPushButton("Next >", this);
    auto* cancel = new QPushButton("Cancel", this);
    for (QPushButton* b : {back_, next_, cancel})
        b->setAutoDefault(false);
    buttons->addStretch(1);
    buttons->addWidget(back_);
    buttons->addWidget(next_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(back_, &QPushButton::clicked, this, [this] { showStep(0); });
    connect(next_, &QPushButton::clicked, this, [this] { nextClicked(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, 180);
    showStep(0);
}

int TKeyAssignDialog::step() const {
    return steps_->currentIndex();
}

void TKeyAssignDialog::showStep(int step) {
    steps_->setCurrentIndex(step);
    back_->setEnabled(step > 0);
    next_->setText(step == 0 ? "Next >" : "Finish");
    (step == 0 ? first_ : second_)->setFocus();
}

void TKeyAssignDialog::nextClicked() {
    if (step() == 0) {
        // Without a first key there is nothing to assign.
        if (first_->shortCut() != 0)
            showStep(1);
        return;
    }
    accept();
}

KeyPair TKeyAssignDialog::pair() const {
    return {first_->shortCut(), second_->shortCut()};
}

std::optional<KeyPair> TKeyAssignDialog::run(const std::string& command, const KeyPair& initial,
                                             QWidget* parent) {
    TKeyAssignDialog dialog(command, initial, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.pair().first == 0)
        return std::nullopt;
    return dialog.pair();
}

} // namespace qorvi
