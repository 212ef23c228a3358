#pragma once

// What a settings object needs from each editor control attached to it: a
// canvas to make the drawing resources on, and a way to tell the control
// that the settings changed under it (the gutter font, remade resources).

namespace qorvi {

class Canvas;

class SettingsClient {
public:
    virtual ~SettingsClient() = default;
    // The canvas fonts are made and measured on (the printer's while the
    // control prints).
    virtual Canvas& resourceCanvas() = 0;
    virtual bool printingResources() const { return false; }
    // The settings changed in a way the control must show.
    virtual void settingsChanged() = 0;
};

} // namespace qorvi
