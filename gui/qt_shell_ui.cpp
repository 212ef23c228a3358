#include "gui/qt_shell_ui.h"

#include "gui/long_work_watch.h"
#include "platform/qt/text_convert.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace qorvi {

namespace {

// "All files (*.*)|*.*" → "All files (*)".
QString qtFilter(const std::string& filter) {
    QStringList parts = toQString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace("*.*", "*").replace(';', ' ');
        QString name = parts[i];
        name.replace("(*.*)", "(*)");
        out << name.section('(', 0, 0).trimmed() + " (" + patterns + ")";
    }
    return out.join(";;");
}

// A box grows with its text; past this many lines (a list of names, say)
// the lines after the first go into a scrolling list instead.
constexpr int kMaxBoxLines = 20;

QMessageBox::Icon boxIcon(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::Ok:
        return QMessageBox::Ok;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::YesNoCancelAll:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll;
    }
    return QMessageBox::Ok;
}

// The box for a long text: its first line, then the rest in a scrolling
// list, the whole no larger than two thirds of the screen.
int execLongTextBox(QWidget* parent, const QString& caption, const QString& text, MsgButtons buttons) {
    QDialog box(parent);
    box.setObjectName("LongTextBox");
    box.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&box);
    const qsizetype firstBreak = text.indexOf('\n');
    auto* first = new QLabel(text.left(firstBreak), &box);
    first->setWordWrap(true);
    layout->addWidget(first);
    auto* rest = new QPlainTextEdit(text.mid(firstBreak + 1), &box);
    rest->setReadOnly(true);
    rest->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(rest, 1);
    auto* choices =
        new QDialogButtonBox(QDialogButtonBox::StandardButtons(static_cast<int>(boxButtons(buttons))), &box);
    layout->addWidget(choices);
    QObject::connect(choices, &QDialogButtonBox::clicked, &box, [&box, choices](QAbstractButton* button) {
        box.done(static_cast<int>(choices->standardButton(button)));
    });
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() * 2 / 3 : QSize(640, 480);
    box.resize(std::min(room.width(), 640), room.height());
    box.setMaximumSize(screen ? screen->availableGeometry().size() : room);
    return box.exec();
}

} // namespace

MsgResult QtShellUi::messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                MsgButtons buttons) {
    const QString shown = toQString(text);
    // A busy cursor must not hide that the program waits for an answer,
    // and the box takes input even in the middle of long work.
    LongWorkWatch::Pause pause;
    bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    int r = 0;
    if (shown.count('\n') >= kMaxBoxLines) {
        r = execLongTextBox(parent_, toQString(caption), shown, buttons);
    } else {
        QMessageBox box(parent_);
        box.setWindowTitle(toQString(caption));
        box.setText(shown);
        box.setIcon(boxIcon(icon));
        box.setStandardButtons(boxButtons(buttons));
        if (QAbstractButton* all = box.button(QMessageBox::YesToAll))
            all->setText("&All");
        if (near_)
            box.move(*near_);
        r = box.exec();
    }
    if (busy)
        QApplication::restoreOverrideCursor();
    switch (r) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::YesToAll: return MsgResult::All;
    default: return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
    }
}

std::optional<std::string> QtShellUi::inputBox(const std::string& caption, const std::string& prompt,
                                               const std::string& defaultValue) {
    bool ok = false;
    QString text = QInputDialog::getText(parent_, toQString(caption), toQString(prompt), QLineEdit::Normal,
                                         toQString(defaultValue), &ok);
    if (!ok)
        return std::nullopt;
    return fromQString(text);
}

std::optional<std::string> QtShellUi::openFileDialog(const FileDialogOptions& options) {
    QString name = QFileDialog::getOpenFileName(parent_, toQString(options.caption),
                                                pathToQString(options.initialDirectory), qtFilter(options.filter));
    if (name.isEmpty())
        return std::nullopt;
    return pathFromQString(name);
}

std::optional<std::string> QtShellUi::saveFileDialog(const FileDialogOptions& options) {
    QString start = pathToQString(options.initialDirectory);
    if (!options.fileName.empty())
        start += "/" + pathToQString(options.fileName);
    QString name = QFileDialog::getSaveFileName(parent_, toQString(options.caption), start, qtFilter(options.filter));
    if (name.isEmpty())
        return std::nullopt;
    return pathFromQString(name);
}

void QtShellUi::setBusy(bool busy) {
    // A busy stretch is long work the user may cancel with Escape.
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        LongWorkWatch::instance().begin();
    } else {
        LongWorkWatch::instance().end();
        QApplication::restoreOverrideCursor();
    }
}

bool QtShellUi::cancelRequested() {
    return LongWorkWatch::instance().cancelled();
}

} // namespace qorvi
