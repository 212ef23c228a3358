#pragma once

// `TfrmGetPass`: asks for a site's password at connect time.

#include "app/password_prompt.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace qorvi {

class TfrmGetPass : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGetPass(QWidget* parent = nullptr);
    // Shows the dialog modally: the typed text after "&Ok", else empty.
    std::string ask();

    QLineEdit* txtPassword() const { return txtPassword_; }
    QPushButton* btnOk() const { return btnOk_; }

private:
    QLineEdit* txtPassword_;
    QPushButton* btnOk_;
};

class FormPasswordPrompt : public PasswordPrompt {
public:
    explicit FormPasswordPrompt(QWidget* parent) : parent_(parent) {}
    std::string askPassword() override {
        TfrmGetPass form(parent_);
        return form.ask();
    }

private:
    QWidget* parent_;
};

} // namespace qorvi
