#pragma once

// The explorer's local file list: item 0 "  Parent Directory...", then
// "0 " + name for directories, "2 " + name for files and "3 " + name for
// read-only files, sorted as a sorted list box sorts (ignoring case), so
// directories come first, then files, then read-only files.

#include <string>
#include <vector>

namespace qorvi {

struct LocalListing {
    std::string label;              // the directory with a trailing "/"
    std::vector<std::string> items; // sorted
};

constexpr const char* kParentDirectoryItem = "  Parent Directory...";

// Lists `path`; hidden entries are left out. Throws QorviError with the
// system's message when the directory cannot be read.
LocalListing listLocalDirectory(const std::string& path);

// Sorts list items the way a sorted list box does.
void sortListItems(std::vector<std::string>& items);

// The directory above a label ("/a/b/" → "/a/"; "/" stays "/").
std::string parentDirectoryOf(const std::string& label);

} // namespace qorvi
