#pragma once

// What the main window's logic asks of the window that shows it.

#include <string>
#include <vector>

namespace qorvi {

struct WindowPlacement {
    bool maximised = false;
    // Bounds; 0 leaves that bound where the window system put it.
    int left = 0, top = 0, width = 0, height = 0;
};

class MainView {
public:
    virtual ~MainView() = default;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;
    // Status bar panels: 0 command hints, 1 document counts, 2 activity.
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual void setExplorerVisible(bool visible) = 0;
    virtual void applyPlacement(const WindowPlacement& placement) = 0;
    virtual WindowPlacement placement() const = 0;
    // The drive box: one item per root.
    virtual void setDrives(const std::vector<std::string>& roots) = 0;
    virtual void selectDrive(int index) = 0;
    // Lists a local directory in the explorer's local page.
    virtual void listLocalDirectory(const std::string& path) = 0;
    // Shows a minimised window normally and brings it to the front.
    virtual void restoreAndRaise() = 0;
    virtual void startStartupTimer(int milliseconds) = 0;
};

} // namespace qorvi
