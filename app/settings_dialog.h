#pragma once

// The logic of `TfrmSettings`, the "Settings..." command's dialog: the type
// assumed for a file name without extension ("DefaultExt") and the number of
// lines kept in watch mode ("NumLinesInWatch").

#include <string>
#include <vector>

namespace qorvi {

class SettingValues;

class SettingsDialog {
public:
    static constexpr const char* kCaption = "Default settings";
    static constexpr const char* kGroup = "Settings";
    static constexpr const char* kExtensionLabel = "If there is no file extension, treat it as:";
    static constexpr const char* kLinesLabel = "Number of lines to display during file watch";
    static constexpr const char* kCancelButton = "&Cancel";
    static constexpr const char* kOkButton = "&Ok";

    // `currentType`: the type number of the parser "DefaultExt" gives.
    SettingsDialog(SettingValues& settings, int currentType);

    // The type list `cmbFileExt`, in its fixed (unsorted) order.
    const std::vector<std::string>& items() const { return items_; }
    // What the form shows and the user changes: the selected item (-1: none)
    // and the text of `txtNumLinesInFileWatch`.
    int selectedIndex = -1;
    std::string linesText;

    // "&Ok": stores the line count (30 when the text is no number or below 1)
    // and the selected type's key as "DefaultExt"; returns that type number
    // (-1 without a selection, which leaves "DefaultExt" as it was).
    int accept();

private:
    SettingValues& settings_;
    std::vector<std::string> items_;
};

} // namespace qorvi
