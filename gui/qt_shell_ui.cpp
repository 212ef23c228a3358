#include "gui/qt_shell_ui.h"

#include "platform/qt/text_convert.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QAbstractButton>
#include <QMessageBox>

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

} // namespace

MsgResult QtShellUi::messageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                                MsgButtons buttons) {
    QMessageBox box(parent_);
    box.setWindowTitle(toQString(caption));
    box.setText(toQString(text));
    switch (icon) {
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (buttons) {
    case MsgButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case MsgButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoCancelAll:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::YesToAll);
        box.button(QMessageBox::YesToAll)->setText("&All");
        break;
    }
    // A busy cursor must not hide that the program waits for an answer.
    bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    int r = box.exec();
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
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

} // namespace qorvi
