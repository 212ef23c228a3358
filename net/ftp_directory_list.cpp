#include "net/ftp_directory_list.h"

#include "net/ftp_dos_list.h"
#include "net/ftp_unix_list.h"
#include "net/ftp_vendor.h"

namespace qorvi {

void TFTPDirectoryList::ParseLine(const std::string& line) {
    for (auto& w : words_)
        w.clear();
    wordEnds_.fill(0);
    overflowed_ = false;
    int current = 1;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            // A run of spaces separates exactly two words.
            while (i < line.size() && line[i] == ' ')
                ++i;
            if (current == kWordSlots) {
                overflowed_ = true;
                break;
            }
            ++current;
            wordEnds_[static_cast<std::size_t>(current - 1)] = i;
            continue;
        }
        std::string& w = words_[static_cast<std::size_t>(current - 1)];
        if (w.size() < kMaxWordLength)
            w += line[i];
        wordEnds_[static_cast<std::size_t>(current - 1)] = ++i;
    }
    wordCount_ = current;
}

void TFTPDirectoryList::Clear() {
    attributes_.clear();
    names_.clear();
    dates_.clear();
    sizes_.clear();
}

const std::string& TFTPDirectoryList::word(int i) const {
    static const std::string empty;
    if (i < 1 || i > wordCount_)
        return empty;
    return words_[static_cast<std::size_t>(i - 1)];
}

void TFTPDirectoryList::addEntry(std::string attribute, std::string name, std::string date,
                                 std::string size) {
    attributes_.push_back(std::move(attribute));
    names_.push_back(std::move(name));
    dates_.push_back(std::move(date));
    sizes_.push_back(std::move(size));
}

std::unique_ptr<TFTPDirectoryList> createDirectoryList(int vendor) {
    if (vendor == kVendorDos)
        return std::make_unique<TFTPDOSList>();
    return std::make_unique<TFTPUnixList>();
}

} // namespace qorvi
