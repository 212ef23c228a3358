#pragma once

#include "net/ftp_directory_list.h"

namespace qorvi {

// Unix long-listing lines: "-rw-r--r--  1 owner group  1234 Jan 12 10:30 name".
// The date is found by its shape (month abbreviation, day, hh:mm or year)
// rather than by counting back from the end, so names keep their spaces; a
// symbolic link's entry names the link itself, not its target.
class TFTPUnixList : public TFTPDirectoryList {
public:
    void ParseLine(const std::string& line) override;
};

} // namespace qorvi
