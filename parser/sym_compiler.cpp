#include "parser/sym_compiler.h"

#include "editor/support/message_format.h"
#include "editor/support/stream.h"
#include "editor/text/line_breaks.h"
#include "parser/predefined_names.h"
#include "parser/script_messages.h"
#include "parser/sym_lexemes.h"
#include "platform/file_system.h"
#include "platform/hex_digit.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace qorvi {

namespace {

// What NextLexeme yields for text read in a false branch.
constexpr int kLexSkipped = -1;
constexpr unsigned char kNoBreakSpace = 160;

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isIdentStart(unsigned char c) {
    return isLetter(c) || c == '_';
}
bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(TWordStore::lower(static_cast<unsigned char>(c)));
    return out;
}

// The bytes of an included file, or nullopt when it is not a regular file
// or cannot be read. Only as many bytes as the file had when it was opened
// are read, without blocking, so a device, a pipe or a pseudo-file that
// never ends (/proc/kmsg) cannot hold the compiler.
std::optional<std::string> readIncludeFile(const std::string& path, std::int64_t limit, bool& tooLong) {
    tooLong = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    if (st.st_size > limit) {
        ::close(fd);
        tooLong = true;
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return bytes;
}

} // namespace

std::string ReadScriptText(TStream& stream) {
    std::string raw;
    char buffer[65536];
    for (;;) {
        const std::int64_t got = stream.Read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        raw.append(buffer, static_cast<std::size_t>(got));
    }
    return NormaliseScriptText(std::move(raw));
}

std::string NormaliseScriptText(std::string raw) {
    // A NUL ends the script, as it always has; what follows is not text.
    const std::size_t nul = raw.find('\0');
    if (nul != std::string::npos)
        raw.resize(nul);
    std::string text(raw.size(), '\0');
    LineBreakAdjuster adjuster;
    text.resize(adjuster.adjust(text.data(), raw.data(), raw.size(), true));
    return text;
}

TSYM_Compiler::TSYM_Compiler(TStream& script, std::string baseDirectory)
    : script_(ReadScriptText(script)), baseDirectory_(std::move(baseDirectory)) {
    cursor_ = script_.c_str();
    definePredefinedMacros(macros_);
    for (const LexemeKeyword& k : kLexemeKeywords)
        keywords_.InsertKeyword(k.text, k.code);
}

void TSYM_Compiler::RaiseError(const std::string& message) const {
    throw ESYM_COMP_ERROR(formatMsg(kMsgErrorNear, line_ + 1, column_ + 1, message));
}

unsigned char TSYM_Compiler::CChar() {
    while (*cursor_ == '\0' && !nest_.empty()) {
        cursor_ = nest_.back().resume;
        nestNames_.erase(lowerCase(nest_.back().name));
        nest_.pop_back();
    }
    return static_cast<unsigned char>(*cursor_);
}

void TSYM_Compiler::step() {
    const char c = *cursor_;
    if (c == '\0')
        return;
    ++cursor_;
    if (c == '\r') {
        ++line_;
        column_ = 0;
        fileColumn_ = 0;
    } else if (c != '\n') {
        countColumns(1);
    }
}

void TSYM_Compiler::countColumns(int n) {
    // Lines of the script and its included files are bounded, not the text
    // macros expand into (which the nesting limits bound).
    if (nest_.empty() || nest_.back().isFile) {
        if (fileColumn_ + n > kMaxLineLength)
            RaiseError(formatMsg(kMsgLineTooLong, kMaxLineLength));
        fileColumn_ += n;
    }
    column_ += n;
}

void TSYM_Compiler::Nest(const std::string& name, TWordStore::MacroText text, std::string directory) {
    std::string key = lowerCase(name);
    if (nestNames_.count(key))
        RaiseError(formatMsg(kMsgRecursiveExpansion, name));
    if (static_cast<int>(nest_.size()) >= kMaxNestDepth)
        RaiseError(formatMsg(kMsgNestingTooDeep, kMaxNestDepth));
    nestedBytes_ += static_cast<std::int64_t>(text->size()) + kNestCost;
    if (nestedBytes_ > kMaxNestedBytes)
        RaiseError(formatMsg(kMsgExpansionTooLong, static_cast<int>(kMaxNestedBytes)));
    const bool isFile = !directory.empty();
    nest_.push_back(NestRecord{name, text, cursor_, std::move(directory), isFile});
    nestNames_.insert(std::move(key));
    cursor_ = nest_.back().text->c_str();
}

std::string TSYM_Compiler::ReadIdentifier() {
    const char* start = cursor_;
    while (TWordStore::isWordChar(static_cast<unsigned char>(*cursor_))) {
        if (cursor_ - start >= kMaxIdentifierLength)
            RaiseError(formatMsg(kMsgIdentifierTooLong, kMaxIdentifierLength));
        step();
    }
    return std::string(start, static_cast<std::size_t>(cursor_ - start));
}

void TSYM_Compiler::NextChar() {
    for (;;) {
        const unsigned char c = CChar();
        switch (c) {
        case '\0':
            return;
        case '\t':
        case ' ':
        case kNoBreakSpace:
        case '\r':
        case '\n':
            step();
            continue;
        case '#': {
            if (state_ & symcsNOEXPAND)
                return;
            const char* p = cursor_ + 1;
            while (isLetter(static_cast<unsigned char>(*p)))
                ++p;
            const std::string_view word(cursor_ + 1, static_cast<std::size_t>(p - cursor_ - 1));
            enum class Directive { None, Define, Ifdef, Ifndef, Else, Endif, Include };
            Directive directive = Directive::None;
            if (word == "define")
                directive = Directive::Define;
            else if (word == "ifdef")
                directive = Directive::Ifdef;
            else if (word == "ifndef")
                directive = Directive::Ifndef;
            else if (word == "else")
                directive = Directive::Else;
            else if (word == "endif")
                directive = Directive::Endif;
            else if (word == "include")
                directive = Directive::Include;
            else
                return; // an ordinary '#', which starts no lexeme
            countColumns(static_cast<int>(p - cursor_));
            cursor_ = p;
            switch (directive) {
            case Directive::Define:
                DoDefine();
                break;
            case Directive::Ifdef:
                DoIFDEF(true);
                break;
            case Directive::Ifndef:
                DoIFDEF(false);
                break;
            case Directive::Else:
                DoELSE();
                break;
            case Directive::Endif:
                DoENDIF();
                break;
            case Directive::Include:
                DoINCLUDE();
                break;
            case Directive::None:
                break;
            }
            continue;
        }
        case '/':
            if (cursor_[1] == '*') {
                step();
                step();
                while (*cursor_ && !(cursor_[0] == '*' && cursor_[1] == '/'))
                    step();
                step();
                step();
                continue;
            }
            if (cursor_[1] == '/') {
                while (*cursor_ && *cursor_ != '\r')
                    step();
                continue;
            }
            return;
        default: {
            if (!isIdentStart(c) || (state_ & (symcsNOEXPAND | symcsSKIPPING)))
                return;
            const char* start = cursor_;
            const int startColumn = column_;
            const std::string name = ReadIdentifier();
            TWordStore::MacroText text = macros_.MacroTextOf(name);
            if (!text) {
                cursor_ = start;
                column_ = startColumn;
                return;
            }
            Nest(name, std::move(text));
            continue;
        }
        }
    }
}

void TSYM_Compiler::DoDefine() {
    if (state_ & symcsSKIPPING) {
        while (*cursor_ && *cursor_ != '\r')
            step();
        return;
    }
    state_ |= symcsNOEXPAND;
    NextChar();
    if (!isIdentStart(CChar()))
        RaiseError(kMsgMacroNameExpected);
    const std::string name = ReadIdentifier();
    while (*cursor_ == ' ' || *cursor_ == '\t' || static_cast<unsigned char>(*cursor_) == kNoBreakSpace)
        step();
    const char* start = cursor_;
    while (*cursor_ && *cursor_ != '\r')
        step();
    std::string_view text(start, static_cast<std::size_t>(cursor_ - start));
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32)
        text.remove_suffix(1);
    // "#define X x" would only ever expand into itself.
    if (lowerCase(text) != lowerCase(name))
        macros_.InsertMacro(name, text);
    state_ &= static_cast<std::uint8_t>(~symcsNOEXPAND);
}

void TSYM_Compiler::DoIFDEF(bool wantDefined) {
    conditions_.push_back(state_);
    if (state_ & symcsSKIPPING)
        return;
    state_ |= symcsNOEXPAND;
    NextChar();
    if (!isIdentStart(CChar()))
        RaiseError(kMsgMacroNameExpectedIfdef);
    const std::string name = ReadIdentifier();
    state_ &= static_cast<std::uint8_t>(~symcsNOEXPAND);
    if (macros_.IsDefined(name) != wantDefined)
        state_ |= symcsSKIPPING;
}

void TSYM_Compiler::DoELSE() {
    if (conditions_.empty())
        RaiseError(kMsgElseWithoutIf);
    if (!(conditions_.back() & symcsSKIPPING))
        state_ ^= symcsSKIPPING;
}

void TSYM_Compiler::DoENDIF() {
    if (conditions_.empty())
        RaiseError(kMsgEndifWithoutIf);
    state_ = conditions_.back();
    conditions_.pop_back();
}

std::string TSYM_Compiler::includingDirectory() const {
    for (auto it = nest_.rbegin(); it != nest_.rend(); ++it)
        if (it->isFile)
            return it->directory;
    return baseDirectory_;
}

void TSYM_Compiler::DoINCLUDE() {
    if (state_ & symcsSKIPPING)
        return;
    state_ |= symcsNOEXPAND;
    NextChar();
    const unsigned char opener = CChar();
    if (opener != '<' && opener != '"')
        RaiseError(kMsgIncludeNotEnclosed);
    const char closer = opener == '<' ? '>' : '"';
    step();
    const char* start = cursor_;
    while (*cursor_ != closer) {
        if (*cursor_ == '\0' || *cursor_ == '\r')
            RaiseError(formatMsg(kMsgIncludeMissingTerminator, std::string(1, closer)));
        step();
    }
    std::string name(start, static_cast<std::size_t>(cursor_ - start));
    step();
    state_ &= static_cast<std::uint8_t>(~symcsNOEXPAND);

    // Scripts written on Windows separate directories with backslashes.
    std::string path = name;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    std::string shown = name;
    if (opener == '<') {
        if (!baseDirectory_.empty()) {
            path = fs::joinPath(baseDirectory_, path);
            shown = path;
        }
    } else if (!path.empty() && !fs::isAbsolute(path)) {
        // A quoted name is looked for beside the file that includes it, then
        // where the program runs.
        const std::string beside = fs::joinPath(includingDirectory(), path);
        if (!includingDirectory().empty() && fs::isFile(beside))
            path = beside;
    }
    const std::string openerText(1, static_cast<char>(opener));
    const std::string closerText(1, closer);
    bool tooLong = false;
    std::optional<std::string> bytes;
    if (!path.empty())
        bytes = readIncludeFile(path, kMaxNestedBytes - nestedBytes_, tooLong);
    if (tooLong)
        RaiseError(formatMsg(kMsgExpansionTooLong, static_cast<int>(kMaxNestedBytes)));
    if (!bytes)
        RaiseError(formatMsg(kMsgIncludeCannotOpen, openerText, shown, closerText));
    std::string text = NormaliseScriptText(std::move(*bytes));
    std::string directory = fs::directoryPart(path);
    if (directory.empty())
        directory.assign(1, '.');
    // Built in two steps: GCC 12 warns falsely (-Wrestrict) about literal + string here.
    std::string frameName = "-file-: ";
    frameName += path;
    Nest(frameName, std::make_shared<const std::string>(std::move(text)), std::move(directory));
}

void TSYM_Compiler::ReadDecimalNumber() {
    // Wraps like the 32-bit arithmetic of expressions.
    std::uint32_t value = 0;
    while (isDigit(static_cast<unsigned char>(*cursor_))) {
        value = value * 10u + static_cast<std::uint32_t>(*cursor_ - '0');
        step();
    }
    number_ = static_cast<std::int32_t>(value);
}

void TSYM_Compiler::ReadStringLiteral() {
    step(); // the opening quote
    rawString_.clear();
    for (;;) {
        const char c = *cursor_;
        if (c == '\0')
            break; // left open: ends with the text
        if (c == '\'') {
            step();
            break;
        }
        if (c == '\\' && cursor_[1] == '\r') {
            // A backslash at the end of a line joins the next one, without
            // its indentation and one leading backslash.
            step();
            step();
            while ((*cursor_ >= 1 && static_cast<unsigned char>(*cursor_) <= 32) ||
                   static_cast<unsigned char>(*cursor_) == kNoBreakSpace)
                step();
            if (*cursor_ == '\\')
                step();
            continue;
        }
        rawString_ += c;
        step();
        if (c == '\\' && *cursor_ != '\0') {
            rawString_ += *cursor_;
            step();
        }
    }
}

int TSYM_Compiler::NextLexeme() {
    NextChar();
    const unsigned char c = CChar();
    if (c == '\0') {
        lexeme_ = kLexEnd;
        return kLexEnd;
    }
    const bool skipping = (state_ & symcsSKIPPING) != 0;
    const char* after = cursor_;
    const int keyword = keywords_.LongestKeyword(after);
    if (keyword >= 0) {
        countColumns(static_cast<int>(after - cursor_));
        cursor_ = after;
        lexeme_ = keyword;
        return skipping ? kLexSkipped : keyword;
    }
    if (skipping) {
        step();
        return kLexSkipped;
    }
    if (c == '\'') {
        ReadStringLiteral();
        lexeme_ = kLexString;
    } else if (isDigit(c)) {
        ReadDecimalNumber();
        lexeme_ = kLexNumber;
    } else if (isIdentStart(c)) {
        identifier_ = ReadIdentifier();
        lexeme_ = kLexIdentifier;
    } else {
        character_ = c;
        step();
        lexeme_ = kLexOther;
    }
    return lexeme_;
}

int TSYM_Compiler::yylex() {
    int code;
    do {
        code = NextLexeme();
    } while (code == kLexSkipped);
    if (code == kLexIdentifier)
        RaiseError(std::string(kMsgIdentifier) + " \"" + identifier_ + "\" " + kMsgUnknown);
    if (code == kLexOther)
        RaiseError(formatMsg(kMsgUnknownCharacter, static_cast<unsigned>(character_)));
    return code;
}

std::string TSYM_Compiler::GetStrLiteral() const {
    return DecodeStrLiteral(rawString_);
}

std::string DecodeStrLiteral(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    const std::size_t n = raw.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(raw[i++]);
        if (c != '\\') {
            out += static_cast<char>(c);
            continue;
        }
        if (i == n)
            break; // a backslash at the very end is dropped
        const unsigned char e = static_cast<unsigned char>(raw[i++]);
        if (e >= '0' && e <= '7') {
            std::uint32_t value = e - '0';
            while (i < n && raw[i] >= '0' && raw[i] <= '7')
                value = value * 8u + static_cast<std::uint32_t>(raw[i++] - '0');
            out += static_cast<char>(value & 0xFFu);
            continue;
        }
        switch (e) {
        case 'b':
        case 'B':
            out += '\x08';
            break;
        case 'e':
        case 'E':
            out += '\x1B';
            break;
        case 'n':
        case 'N':
            out += '\r'; // the stored line break
            break;
        case 'r':
        case 'R':
            out += '\n';
            break;
        case 's':
        case 'S':
            out += ' ';
            break;
        case 't':
        case 'T':
            out += '\t';
            break;
        case 'x':
        case 'X': {
            std::uint32_t value = 0;
            bool any = false;
            while (i < n && hexDigitValue(static_cast<unsigned char>(raw[i])) >= 0) {
                value =
                    value * 16u + static_cast<std::uint32_t>(hexDigitValue(static_cast<unsigned char>(raw[i++])));
                any = true;
            }
            if (any)
                out += static_cast<char>(value & 0xFFu);
            break;
        }
        default:
            out += static_cast<char>(e);
            break;
        }
    }
    return out;
}

} // namespace qorvi
