#include "parser/predefined_handlers.h"

#include "editor/text/ed_stream.h"

#include <array>

namespace qorvi {

namespace {

constexpr unsigned char kCR = 13;

// The character under the scanner, or -1 at the end of the text.
inline int peek(TEdStream& s) {
    const unsigned char c = s.GetYYchar();
    if (c == 0 && s.yyeof())
        return -1;
    return c;
}

inline bool isDigit(int c) {
    return c >= '0' && c <= '9';
}
inline bool isLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline bool isIdentChar(int c) {
    return isLetter(c) || isDigit(c) || c == '_';
}

inline void skipDigits(TEdStream& s) {
    while (isDigit(peek(s)))
        s.yyadvance();
}

// Accepts: the scanner moved from `start` to where it stands now.
inline bool accept(TEdStream& s, std::int32_t& len, std::int32_t start) {
    len += s.GetYYpos() - start;
    return true;
}

inline bool refuse(TEdStream& s, std::int32_t start) {
    s.SetYYpos(start);
    return false;
}

// Digits, then optionally `.` and digits (a `.` without a digit after it is
// given back and ends the number), then optionally an exponent. An `e` or
// sign without digits after it is given back too, so that 1else reads as a
// number and a word.
bool scanNumber(TEdStream& s) {
    if (!isDigit(peek(s)))
        return false;
    skipDigits(s);
    if (peek(s) == '.') {
        const std::int32_t dot = s.GetYYpos();
        s.yyadvance();
        if (!isDigit(peek(s))) {
            s.SetYYpos(dot);
            return true;
        }
        skipDigits(s);
    }
    const int e = peek(s);
    if (e == 'e' || e == 'E') {
        const std::int32_t at = s.GetYYpos();
        s.yyadvance();
        const int sign = peek(s);
        if (sign == '+' || sign == '-')
            s.yyadvance();
        if (isDigit(peek(s)))
            skipDigits(s);
        else
            s.SetYYpos(at);
    }
    return true;
}

// A quoted string whose closing quote is `quote`; `escapes`: a backslash
// takes the next character into the string; `doubled`: two quotes in a row
// stand for one. Ends before CR or at the end when unterminated.
bool scanQuoted(TEdStream& s, std::int32_t& len, unsigned char quote, bool escapes, bool doubled) {
    const std::int32_t start = s.GetYYpos();
    if (peek(s) < 0)
        return false;
    s.yyadvance(); // the opening quote, whatever it is
    for (;;) {
        // The plain characters of the current record, stepped over at once.
        const unsigned char* at;
        const std::int32_t avail = s.Span(at);
        std::int32_t plain = 0;
        while (plain < avail && at[plain] != quote && at[plain] != kCR && !(escapes && at[plain] == '\\'))
            ++plain;
        s.Skip(plain);
        const int c = peek(s);
        if (c < 0 || c == kCR)
            break;
        s.yyadvance();
        if (c == quote) {
            if (doubled && peek(s) == quote) {
                s.yyadvance();
                continue;
            }
            break;
        }
        if (escapes && c == '\\' && peek(s) >= 0)
            s.yyadvance();
    }
    return accept(s, len, start);
}

bool isWebChar(int c) {
    if (isLetter(c) || isDigit(c))
        return true;
    switch (c) {
    case '#':
    case '&':
    case '-':
    case '.':
    case '/':
    case ':':
    case '=':
    case '?':
    case '@':
    case '\\':
    case '_':
    case '|':
    case '~':
        return true;
    default:
        return false;
    }
}

bool isMailChar(int c) {
    return isLetter(c) || isDigit(c) || c == '~' || c == '.' || c == '-' || c == '_' || c == '@';
}

} // namespace

bool Char_PASCAL_CHAR(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    const int c = peek(s);
    if (c < 0 || c == kCR)
        return false;
    s.yyadvance();
    if (c == '\'') {
        if (peek(s) != '\'')
            return refuse(s, start);
        s.yyadvance();
    }
    return accept(s, len, start);
}

bool Char_WEB_CHAR(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    int last = -1;
    for (int c = peek(s); c >= 0 && isWebChar(c); c = peek(s)) {
        last = c;
        s.yyadvance();
    }
    if (last == '.')
        s.SetYYpos(s.GetYYpos() - 1);
    if (s.GetYYpos() == start)
        return refuse(s, start);
    return accept(s, len, start);
}

bool Char_ORIGINAL_CHAR(TEdStream& s, std::int32_t& len, std::int32_t tokenStart) {
    const std::int32_t start = s.GetYYpos();
    if (tokenStart > 0) {
        s.SetYYpos(tokenStart - 1);
        const bool lineStart = s.GetYYchar() == kCR;
        s.SetYYpos(start);
        if (!lineStart)
            return false;
    }
    for (int c = peek(s); c >= 0 && c != kCR; c = peek(s))
        s.yyadvance();
    return accept(s, len, start);
}

bool Token_STD_IDENTIFIER(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    const int c = peek(s);
    if (!isLetter(c) && c != '_')
        return false;
    s.yyadvance();
    while (isIdentChar(peek(s)))
        s.yyadvance();
    return accept(s, len, start);
}

bool Token_STD_NUMBER_OR_FP(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    if (!scanNumber(s))
        return false;
    return accept(s, len, start);
}

bool Token_STD_PASCALSTRING(TEdStream& s, std::int32_t& len, std::int32_t) {
    return scanQuoted(s, len, '\'', false, true);
}

bool Token_STD_C_STRING(TEdStream& s, std::int32_t& len, std::int32_t) {
    return scanQuoted(s, len, '"', true, false);
}

bool Token_STD_C_CHAR(TEdStream& s, std::int32_t& len, std::int32_t) {
    return scanQuoted(s, len, '\'', true, false);
}

bool Token_STDC_NUM_FP_SIGNED(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    const int c = peek(s);
    if (c == '+' || c == '-')
        s.yyadvance();
    if (!scanNumber(s))
        return refuse(s, start);
    return accept(s, len, start);
}

bool Token_STD_NUMBER(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    if (!isDigit(peek(s)))
        return false;
    skipDigits(s);
    return accept(s, len, start);
}

bool Token_STD_MAIL_URL(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    bool at = false;
    int last = -1;
    for (int c = peek(s); c >= 0 && isMailChar(c); c = peek(s)) {
        at = at || c == '@';
        last = c;
        s.yyadvance();
    }
    if (!at)
        return refuse(s, start);
    if (last == '.')
        s.SetYYpos(s.GetYYpos() - 1);
    return accept(s, len, start);
}

bool Token_STD_HTML_STRING(TEdStream& s, std::int32_t& len, std::int32_t) {
    return scanQuoted(s, len, '"', false, false);
}

bool Token_STD_JS_LINE_COMMENT(TEdStream& s, std::int32_t& len, std::int32_t) {
    const std::int32_t start = s.GetYYpos();
    int dashes = 0;
    for (int c = peek(s); c >= 0 && c != kCR; c = peek(s)) {
        if (c == '>' && dashes >= 2) {
            // The --> closes an HTML comment: leave it for the next token.
            s.SetYYpos(s.GetYYpos() - 2);
            break;
        }
        dashes = c == '-' ? dashes + 1 : 0;
        s.yyadvance();
    }
    return accept(s, len, start);
}

bool Token_STD_C_STRING_SQ(TEdStream& s, std::int32_t& len, std::int32_t) {
    return scanQuoted(s, len, '\'', true, false);
}

TPredefinedHandler PredefinedHandler(std::int64_t slot) {
    static constexpr std::array<TPredefinedHandler, kPredefinedHandlerCount> kSlots = {
        Char_PASCAL_CHAR,          Char_WEB_CHAR,          Char_ORIGINAL_CHAR, Token_STD_IDENTIFIER,
        Token_STD_NUMBER_OR_FP,    Token_STD_PASCALSTRING, Token_STD_C_STRING, Token_STD_C_CHAR,
        Token_STDC_NUM_FP_SIGNED,  Token_STD_NUMBER,       Token_STD_MAIL_URL, Token_STD_HTML_STRING,
        Token_STD_JS_LINE_COMMENT, Token_STD_C_STRING_SQ};
    if (slot < 0 || slot >= kPredefinedHandlerCount)
        return nullptr;
    return kSlots[static_cast<std::size_t>(slot)];
}

} // namespace qorvi
