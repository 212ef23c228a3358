#pragma once

// Named bookmarks of a text store: name -> character offset.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qorvi {

class TCustomBookmarks {
public:
    virtual ~TCustomBookmarks() = default;

    // Copies the names with their offsets.
    std::vector<std::pair<std::string, std::int32_t>> Retrieve() const { return entries_; }

protected:
    std::vector<std::pair<std::string, std::int32_t>> entries_;
};

} // namespace qorvi
