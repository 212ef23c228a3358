#include "app/type_selection.h"

#include "app/document_types.h"
#include "app/setting_values.h"
#include "platform/code_page.h"

#include <algorithm>

namespace qorvi {

NewDocTypeChoice::NewDocTypeChoice(SettingValues& settings) : settings_(settings) {
    for (const auto& t : documentTypes())
        items_.push_back(typeListItem(t.number));
    std::stable_sort(items_.begin(), items_.end(),
                     [](const std::string& a, const std::string& b) { return lowerCase(a) < lowerCase(b); });
}

int NewDocTypeChoice::initialIndex() const {
    int index = settings_.newDocType();
    return index >= 0 && index < static_cast<int>(items_.size()) ? index : 5;
}

std::string NewDocTypeChoice::caption(const std::string& title) { return title.empty() ? kCaption : title; }

int NewDocTypeChoice::finish(int selectedIndex) {
    if (selectedIndex < 0 || selectedIndex >= static_cast<int>(items_.size()))
        return 0;
    settings_.setNewDocType(selectedIndex);
    return typeNumberOfItem(items_[static_cast<std::size_t>(selectedIndex)]);
}

UnknownTypeChoice::Result UnknownTypeChoice::result(bool accepted, bool openChosen, bool registerChecked) {
    if (!accepted)
        return Cancelled;
    if (!openChosen)
        return Download;
    return registerChecked ? OpenAndRegister : OpenOnly;
}

} // namespace qorvi
