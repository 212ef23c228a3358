#pragma once

// The text of the hand-over block: absolute names, each followed by a line
// feed, the whole list with its terminating zero within 2048 bytes.

#include <string>
#include <vector>

namespace qorvi {

struct HandoverList {
    std::string text;                 // what the sender writes into the block
    std::vector<std::string> dropped; // names that did not fit
};

// Builds the list from the arguments as given (switches included); relative
// names are made absolute against `currentDirectory`. Only whole names are
// written: a name that would not fit is dropped, later shorter ones may still go.
HandoverList buildHandoverList(const std::vector<std::string>& args, const std::string& currentDirectory);

// The message telling the user which names were not handed over.
std::string droppedNamesMessage(const std::vector<std::string>& dropped);

// Splits the block's content into names (LF or CR LF end a line; empty lines
// are skipped).
std::vector<std::string> splitHandoverList(const std::string& text);

} // namespace qorvi
