// Fuzz target over what the FTP client reads from a server: reply lines (code,
// multi-line assembly, PASV address, byte count, PWD path, SYST system) and
// directory listing lines in the Unix, DOS and IIS layouts. Beyond the
// sanitizers it checks that the parsed columns stay parallel and that every
// name comes from its line.

#include "net/ftp_directory_list.h"
#include "net/ftp_dos_list.h"
#include "net/ftp_exception.h"
#include "net/ftp_reply.h"
#include "net/ftp_unix_list.h"
#include "net/ftp_vendor.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

void check(bool condition) {
    if (!condition)
        __builtin_trap();
}

void checkColumns(const qorvi::TFTPDirectoryList& list, std::size_t lines) {
    check(list.count() <= lines);
    check(list.attributes().size() == list.count() && list.dates().size() == list.count() &&
          list.sizes().size() == list.count());
    check(list.wordCount() >= 0 && list.wordCount() <= qorvi::TFTPDirectoryList::kWordSlots);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= input.size()) {
        std::size_t lf = input.find('\n', start);
        lines.push_back(
            qorvi::stripLineBreak(input.substr(start, lf == std::string::npos ? lf : lf - start + 1)));
        if (lf == std::string::npos)
            break;
        start = lf + 1;
    }

    qorvi::FtpReplyReader reader;
    try {
        for (const auto& line : lines)
            if (reader.addLine(line))
                break;
    } catch (const qorvi::FTPException&) {
        check(reader.lines().size() == qorvi::kMaxReplyContinuationLines + 1);
    }
    check(reader.lines().size() <= qorvi::kMaxReplyContinuationLines + 1);

    qorvi::TFTPUnixList unix;
    qorvi::TFTPDOSList dos;
    for (const auto& line : lines) {
        check(qorvi::replyCode(line) >= 0);
        int port = -1;
        if (qorvi::parsePassiveReply(line, port))
            check(port > 0 && port <= 65535);
        qorvi::byteCountFromReply(line);
        check(qorvi::quotedPath(line).size() <= line.size());
        int vendor = qorvi::vendorFromSystReply(line);
        check(vendor >= qorvi::kVendorUnix && vendor <= qorvi::kVendorNetWare);
        try {
            qorvi::checkCommandText(line);
        } catch (const qorvi::FTPException&) {
        }

        std::size_t before = unix.count();
        unix.ParseLine(line);
        if (unix.count() > before)
            check(line.find(unix.names().back()) != std::string::npos);
        dos.ParseLine(line);
        check(dos.names().back().size() <= line.size());
    }
    checkColumns(unix, lines.size());
    checkColumns(dos, lines.size());
    check(dos.count() == lines.size());
    return 0;
}
