#pragma once

// A drop-down colour picker: a button showing the colour, whose menu offers
// the sixteen basic colours and "Other..." (the colour dialog).

#include "platform/colors.h"

#include <QToolButton>

namespace qorvi {

class ColourButton : public QToolButton {
    Q_OBJECT
public:
    explicit ColourButton(QWidget* parent = nullptr);
    TColor colour() const { return colour_; }
    // Shows a colour without telling anyone.
    void setColour(TColor colour);
    // As if the user picked it.
    void choose(TColor colour);

signals:
    void colourChosen(TColor colour);

private:
    TColor colour_ = clBlack;
};

} // namespace qorvi
