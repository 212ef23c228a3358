#pragma once

// The store's list of custom marks (character ranges with user data). The
// control creates it on first use and hands it to the store, which owns it
// so that every control showing the store sees the same marks.

namespace qorvi {

class TMarkList {
public:
    virtual ~TMarkList() = default;
};

} // namespace qorvi
