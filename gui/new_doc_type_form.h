#pragma once

// `TfrmNewDocType`: asks for a document type from the sorted type list.

#include "app/type_selection.h"

#include <QDialog>

class QListWidget;

namespace qorvi {

class SettingValues;

class TfrmNewDocType : public QDialog {
    Q_OBJECT
public:
    TfrmNewDocType(NewDocTypeChoice& choice, const std::string& title, QWidget* parent = nullptr);
    QListWidget* lstTypes() const { return list_; }
    int selectedIndex() const;

private:
    QListWidget* list_;
};

// Shows the dialog modally: "&Select", a double click or closing the window
// all take the selection.
class FormTypeSelector : public TypeSelector {
public:
    FormTypeSelector(SettingValues& settings, QWidget* parent) : settings_(settings), parent_(parent) {}
    int selectType(const std::string& title) override;

private:
    SettingValues& settings_;
    QWidget* parent_;
};

} // namespace qorvi
