#include "net/ftp_reply.h"

#include "net/ftp_exception.h"

#include <cctype>
#include <climits>

namespace qorvi {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int replyCode(const std::string& line) {
    long long value = 0;
    for (std::size_t i = 0; i < line.size() && i < 10 && isDigit(line[i]); ++i)
        value = value * 10 + (line[i] - '0');
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

bool FtpReplyReader::addLine(const std::string& line) {
    if (complete_)
        return true;
    if (lines_.empty()) {
        lines_.push_back(line);
        if (line.size() >= 4 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) && line[3] == '-')
            terminator_ = line.substr(0, 3);
        else
            complete_ = true;
        return complete_;
    }
    if (lines_.size() > kMaxReplyContinuationLines)
        throw FTPException("Reply has too many lines");
    lines_.push_back(line);
    if (line.compare(0, 3, terminator_) == 0 && (line.size() == 3 || line[3] == ' '))
        complete_ = true;
    return complete_;
}

std::string stripLineBreak(std::string line) {
    if (!line.empty() && line.back() == '\n')
        line.pop_back();
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

bool parsePassiveReply(const std::string& reply, int& port) {
    std::size_t pos = reply.find('(');
    if (pos == std::string::npos) {
        pos = 3;
        while (pos < reply.size() && !isDigit(reply[pos]))
            ++pos;
    } else {
        ++pos;
    }
    int fields[6];
    for (int i = 0; i < 6; ++i) {
        while (pos < reply.size() && reply[pos] == ' ')
            ++pos;
        std::size_t start = pos;
        int value = 0;
        while (pos < reply.size() && isDigit(reply[pos]) && pos - start < 3)
            value = value * 10 + (reply[pos++] - '0');
        if (pos == start || value > 255 || (pos < reply.size() && isDigit(reply[pos])))
            return false;
        fields[i] = value;
        while (pos < reply.size() && reply[pos] == ' ')
            ++pos;
        if (i < 5) {
            if (pos >= reply.size() || reply[pos] != ',')
                return false;
            ++pos;
        }
    }
    port = fields[4] * 256 + fields[5];
    return port != 0;
}

std::uint64_t byteCountFromReply(const std::string& reply) {
    std::size_t at = std::string::npos;
    for (std::size_t i = 0; i + 4 <= reply.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(reply[i])) == 'B' &&
            std::toupper(static_cast<unsigned char>(reply[i + 1])) == 'Y' &&
            std::toupper(static_cast<unsigned char>(reply[i + 2])) == 'T' &&
            std::toupper(static_cast<unsigned char>(reply[i + 3])) == 'E') {
            at = i;
            break;
        }
    }
    if (at == std::string::npos)
        return 0;
    std::size_t end = at;
    while (end > 0 && !isDigit(reply[end - 1]))
        --end;
    std::size_t start = end;
    while (start > 0 && isDigit(reply[start - 1]))
        --start;
    if (start == end || end - start > 19)
        return 0;
    std::uint64_t value = 0;
    for (std::size_t i = start; i < end; ++i)
        value = value * 10 + static_cast<std::uint64_t>(reply[i] - '0');
    return value;
}

std::string quotedPath(const std::string& reply) {
    std::size_t open = reply.find('"');
    if (open == std::string::npos)
        return {};
    std::string path;
    for (std::size_t i = open + 1; i < reply.size(); ++i) {
        if (reply[i] != '"') {
            path += reply[i];
        } else if (i + 1 < reply.size() && reply[i + 1] == '"') {
            path += '"';
            ++i;
        } else {
            break;
        }
    }
    return path;
}

void checkCommandText(const std::string& text) {
    for (char c : text)
        if (c == '\r' || c == '\n' || c == '\0')
            throw FTPException("Invalid character in FTP command");
}

} // namespace qorvi
