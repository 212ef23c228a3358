#include "app/local_file_list.h"

#include "platform/code_page.h"
#include "platform/file_system.h"

#include <algorithm>

namespace qorvi {

void sortListItems(std::vector<std::string>& items) {
    std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
        std::string la = lowerCase(a), lb = lowerCase(b);
        return la != lb ? la < lb : a < b;
    });
}

LocalListing listLocalDirectory(const std::string& path) {
    LocalListing listing;
    listing.label = (!path.empty() && path.back() == '/') ? path : path + "/";
    listing.items.push_back(kParentDirectoryItem);
    for (const auto& entry : fs::listDirectory(path)) {
        if (entry.hidden)
            continue;
        std::string prefix = entry.directory ? "0 " : entry.readOnly ? "3 " : "2 ";
        listing.items.push_back(prefix + entry.name);
    }
    sortListItems(listing.items);
    return listing;
}

std::string parentDirectoryOf(const std::string& label) {
    std::string p = label;
    if (p.size() > 1 && p.back() == '/')
        p.pop_back();
    auto slash = p.rfind('/');
    if (slash == std::string::npos)
        return "/";
    return p.substr(0, slash + 1);
}

} // namespace qorvi
