#pragma once

#include "net/ftp_directory_list.h"

namespace qorvi {

// Listing lines of DOS and Windows servers. Lines in the common IIS layout
// ("04-27-20  09:09PM  <DIR>  name" or "... 1234 name") are read by their
// fields, with the attribute "d" for a directory and "-" for a file; any other
// line is cut at fixed columns (attribute 1-10, size 30-45, date 46-58, name
// from 60 on) and always adds an entry.
class TFTPDOSList : public TFTPDirectoryList {
public:
    void ParseLine(const std::string& line) override;
};

} // namespace qorvi
