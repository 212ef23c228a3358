#pragma once

// The names a second start hands to the running instance.
//
// This program's senders send them as the text of records over the
// instance channel: absolute names, each followed by a zero byte, so that a
// name keeps every byte it has (a trailing carriage return or a line feed
// included), split into texts of at most kMaxPostedText bytes, so that any
// number of names goes. Older senders write the hand-over block instead:
// the names each followed by a line feed, the whole list with its
// terminating zero within 2048 bytes.

#include <cstddef>
#include <string>
#include <vector>

namespace qorvi {

// The arguments as given (switches included); relative names are made
// absolute against `currentDirectory`.
std::vector<std::string> handoverNames(const std::vector<std::string>& args,
                                       const std::string& currentDirectory);

struct HandoverTexts {
    std::vector<std::string> texts;   // one per record, never empty
    std::vector<std::string> dropped; // names longer than a whole text
};
// Packs whole names into texts of at most `capacity` bytes. No names give
// one text of a single zero byte: a record needs a text to be answered.
HandoverTexts encodeHandoverNames(const std::vector<std::string>& names, std::size_t capacity);
// The names of one text, in order (empty names skipped).
std::vector<std::string> decodeHandoverNames(const std::string& text);

// The message telling the user which names were not handed over.
std::string droppedNamesMessage(const std::vector<std::string>& dropped);

// Splits the block's content into names (LF or CR LF end a line; empty lines
// are skipped).
std::vector<std::string> splitHandoverList(const std::string& text);

} // namespace qorvi
