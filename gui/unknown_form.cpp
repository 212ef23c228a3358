#include "gui/unknown_form.h"

#include "platform/qt/text_convert.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qorvi {

TfrmUnknown::TfrmUnknown(QWidget* parent) : QDialog(parent) {
    setWindowTitle(toQString(UnknownTypeChoice::kCaption));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(toQString(UnknownTypeChoice::kText), this);
    text->setWordWrap(true);
    layout->addWidget(text);
    download_ = new QRadioButton(toQString(UnknownTypeChoice::kDownload), this);
    open_ = new QRadioButton(toQString(UnknownTypeChoice::kOpen), this);
    register_ = new QCheckBox(toQString(UnknownTypeChoice::kRegister), this);
    download_->setChecked(true);
    register_->setChecked(true);
    layout->addWidget(download_);
    layout->addWidget(open_);
    layout->addWidget(register_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("&Ok", this);
    auto* cancel = new QPushButton("&Cancel", this);
    ok->setDefault(true);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(download_, &QRadioButton::toggled, this, [this] { updateEnabled(); });
    connect(open_, &QRadioButton::toggled, this, [this] { updateEnabled(); });
    updateEnabled();
}

void TfrmUnknown::updateEnabled() { register_->setEnabled(UnknownTypeChoice::registerEnabled(open_->isChecked())); }

UnknownTypeChoice::Result TfrmUnknown::result() const {
    return UnknownTypeChoice::result(QDialog::result() == QDialog::Accepted, open_->isChecked(),
                                     register_->isChecked());
}

int TfrmUnknown::ask() {
    exec();
    return result();
}

} // namespace qorvi
