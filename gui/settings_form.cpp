#include "gui/settings_form.h"

#include "platform/qt/text_convert.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qorvi {

TfrmSettings::TfrmSettings(SettingsDialog& dialog, QWidget* parent) : QDialog(parent), dialog_(dialog) {
    setWindowTitle(toQString(SettingsDialog::kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(toQString(SettingsDialog::kGroup), this);
    auto* inner = new QVBoxLayout(group);
    inner->addWidget(new QLabel(toQString(SettingsDialog::kExtensionLabel), group));
    cmbFileExt_ = new QComboBox(group);
    cmbFileExt_->setObjectName("cmbFileExt");
    for (const auto& item : dialog_.items())
        cmbFileExt_->addItem(toQString(item));
    cmbFileExt_->setCurrentIndex(dialog_.selectedIndex);
    inner->addWidget(cmbFileExt_);
    inner->addWidget(new QLabel(toQString(SettingsDialog::kLinesLabel), group));
    txtNumLinesInFileWatch_ = new QLineEdit(toQString(dialog_.linesText), group);
    txtNumLinesInFileWatch_->setObjectName("txtNumLinesInFileWatch");
    inner->addWidget(txtNumLinesInFileWatch_);
    layout->addWidget(group);

    auto* buttons = new QHBoxLayout;
    btnCancel_ = new QPushButton(toQString(SettingsDialog::kCancelButton), this);
    btnOk_ = new QPushButton(toQString(SettingsDialog::kOkButton), this);
    btnOk_->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(btnCancel_);
    buttons->addWidget(btnOk_);
    layout->addLayout(buttons);
    connect(btnOk_, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel_, &QPushButton::clicked, this, &QDialog::reject);
}

bool TfrmSettings::run() {
    if (exec() != QDialog::Accepted)
        return false;
    dialog_.selectedIndex = cmbFileExt_->currentIndex();
    dialog_.linesText = fromQString(txtNumLinesInFileWatch_->text());
    return true;
}

} // namespace qorvi
