#include "app/settings_dialog.h"

#include "app/document_types.h"
#include "app/setting_values.h"

namespace qorvi {

namespace {

// The order of the drop-down list, by type number.
constexpr int kListOrder[] = {1, 3, 8, 2, 7, 5, 4, 6, 11, 9, 10, 12, 13};

} // namespace

SettingsDialog::SettingsDialog(SettingValues& settings, int currentType) : settings_(settings) {
    for (int number : kListOrder) {
        if (number == currentType)
            selectedIndex = static_cast<int>(items_.size());
        items_.push_back(typeListItem(number));
    }
    linesText = settings_.read(Setting::NumLinesInWatch);
}

int SettingsDialog::accept() {
    const int fallback = parseIntegerOr(settingInfo(Setting::NumLinesInWatch).defaultValue, 30);
    const int lines = parseIntegerOr(linesText, fallback);
    // Watch mode needs at least one line.
    settings_.setNumLinesInWatch(lines >= 1 ? lines : fallback);
    if (selectedIndex < 0 || selectedIndex >= static_cast<int>(items_.size()))
        return -1;
    const int number = typeNumberOfItem(items_[static_cast<std::size_t>(selectedIndex)]);
    settings_.setDefaultExt(TypeKeyForNumber(number));
    return number;
}

} // namespace qorvi
