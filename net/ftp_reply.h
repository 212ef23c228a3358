#pragma once

// Reading what an FTP server says: reply codes, multi-line replies, the
// PASV address, the byte count of a RETR reply and the PWD path. Everything
// here is bounded, since it comes from the network.

#include <cstdint>
#include <string>
#include <vector>

namespace qorvi {

constexpr std::size_t kMaxReplyContinuationLines = 1000;

// The value of the line's leading decimal digits (at most 10), 0 when it has
// none; values beyond int saturate.
int replyCode(const std::string& line);

// Collects the lines of one reply. A first line "ddd-text" opens a multi-line
// reply that ends with the line starting "ddd " (or "ddd" alone); anything
// else is a single-line reply.
class FtpReplyReader {
public:
    // Adds a line (its line break already removed); true once the reply is
    // complete. Raises FTPException past kMaxReplyContinuationLines.
    bool addLine(const std::string& line);
    bool complete() const { return complete_; }
    const std::vector<std::string>& lines() const { return lines_; }
    int code() const { return lines_.empty() ? 0 : replyCode(lines_.front()); }

private:
    std::vector<std::string> lines_;
    std::string terminator_;
    bool complete_ = false;
};

// Strips one trailing LF and one CR before it.
std::string stripLineBreak(std::string line);

// The data port of a 227 reply: six numbers 0-255 (in parentheses or after
// the code), the last two giving a non-zero port. False for anything else.
bool parsePassiveReply(const std::string& reply, int& port);

// The decimal number before the first "BYTE" (any case), 0 when there is
// none; numbers too large to be a size give 0.
std::uint64_t byteCountFromReply(const std::string& reply);

// The path a PWD reply quotes ("" inside stands for one quote); empty when
// the reply quotes nothing.
std::string quotedPath(const std::string& reply);

// Raises FTPException when `text` holds CR, LF or NUL, which would let one
// argument smuggle further commands onto the control connection.
void checkCommandText(const std::string& text);

} // namespace qorvi
