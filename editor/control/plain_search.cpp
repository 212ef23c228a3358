#include "editor/control/plain_search.h"

#include "platform/code_page.h"

#include <cstring>

namespace qorvi {
namespace {

// How common a byte is in source code and prose, roughly: the candidate
// byte is the pattern's least common one, so that memchr stops rarely.
int commonness(unsigned char c) {
    if (c == ' ' || c == 'e' || c == 't' || c == '\r')
        return 100;
    if (c == 'a' || c == 'o' || c == 'i' || c == 'n' || c == 's' || c == 'r')
        return 80;
    if (std::islower(c))
        return 50;
    if (c == '(' || c == ')' || c == ';' || c == ',' || c == '.' || c == '_' || c == '\t')
        return 40;
    if (std::isupper(c) || std::isdigit(c))
        return 20;
    return 10;
}

// The last occurrence of either byte in [text, text + len).
const char* lastOf(const char* text, std::size_t len, const unsigned char* bytes, int count) {
    const char* best = static_cast<const char*>(::memrchr(text, bytes[0], len));
    if (count == 2) {
        const char* other = static_cast<const char*>(::memrchr(text, bytes[1], len));
        if (other && (!best || other > best))
            best = other;
    }
    return best;
}

} // namespace

void TPlainSearch::Prepare(const std::string& pattern, bool matchCase, bool asciiFold) {
    if (built_ && pattern == pattern_ && matchCase == matchCase_ && asciiFold == asciiFold_)
        return;
    built_ = true;
    ++builds_;
    pattern_ = pattern;
    matchCase_ = matchCase;
    asciiFold_ = asciiFold;
    const auto upper = [asciiFold](unsigned char c) -> std::uint8_t {
        if (asciiFold)
            return c >= 'a' && c <= 'z' ? static_cast<std::uint8_t>(c - 32) : c;
        return cp1252Upper(c);
    };
    for (int c = 0; c < 256; ++c)
        fold_[c] = matchCase ? static_cast<std::uint8_t>(c) : upper(static_cast<unsigned char>(c));
    folded_.clear();
    for (char c : pattern)
        folded_.push_back(static_cast<char>(fold_[static_cast<unsigned char>(c)]));
    rare_ = 0;
    for (std::size_t i = 1; i < folded_.size(); ++i)
        if (commonness(static_cast<unsigned char>(folded_[i])) < commonness(static_cast<unsigned char>(folded_[rare_])))
            rare_ = i;
    rareCount_ = 1;
    if (!folded_.empty()) {
        const unsigned char c = static_cast<unsigned char>(folded_[rare_]);
        rareBytes_[0] = c;
        const unsigned char other = matchCase               ? c
                                    : asciiFold             ? (c >= 'A' && c <= 'Z' ? c + 32 : c)
                                                            : cp1252Lower(c);
        if (other != c)
            rareBytes_[rareCount_++] = other;
    }
}

bool TPlainSearch::fitsAt(re::TextReader& reader, std::int32_t pos) const {
    const std::int32_t n = static_cast<std::int32_t>(folded_.size());
    if (pos < 0 || pos + n > reader.count())
        return false;
    for (std::int32_t i = 0; i < n; ++i)
        if (fold_[reader.at(pos + i)] != static_cast<unsigned char>(folded_[i]))
            return false;
    return true;
}

bool TPlainSearch::wholeWordAt(re::TextReader& reader, std::int32_t pos, const WordTest& isWordChar) const {
    if (!isWordChar)
        return true;
    const int before = reader.at(pos - 1);
    const int after = reader.at(pos + static_cast<std::int32_t>(folded_.size()));
    return !(before >= 0 && isWordChar(static_cast<unsigned char>(before))) &&
           !(after >= 0 && isWordChar(static_cast<unsigned char>(after)));
}

std::int32_t TPlainSearch::nextCandidate(re::TextReader& reader, std::int32_t from) const {
    // Positions of the rare byte, shifted back to where the match would start.
    const std::int32_t shift = static_cast<std::int32_t>(rare_);
    std::int32_t at = from + shift;
    if (at >= reader.count())
        return -1;
    reader.locate(at);
    std::int32_t off = at - reader.lineStart();
    for (;;) {
        const char* text = reader.lineText();
        const std::size_t rest = static_cast<std::size_t>(reader.lineLength() - off);
        const char* hit = static_cast<const char*>(std::memchr(text + off, rareBytes_[0], rest));
        if (rareCount_ == 2) {
            const std::size_t upTo = hit ? static_cast<std::size_t>(hit - (text + off)) : rest;
            if (const char* other = static_cast<const char*>(std::memchr(text + off, rareBytes_[1], upTo)))
                hit = other;
        }
        if (hit)
            return reader.lineStart() + static_cast<std::int32_t>(hit - text) - shift;
        if (!reader.nextLine() || stopHere())
            return -1;
        off = 0;
    }
}

std::int32_t TPlainSearch::prevCandidate(re::TextReader& reader, std::int32_t from) const {
    const std::int32_t shift = static_cast<std::int32_t>(rare_);
    std::int32_t at = std::min(from + shift, reader.count() - 1);
    if (at < shift)
        return -1;
    reader.locate(at);
    std::int32_t off = at - reader.lineStart();
    for (;;) {
        if (const char* hit = lastOf(reader.lineText(), static_cast<std::size_t>(off) + 1, rareBytes_, rareCount_)) {
            const std::int32_t pos = reader.lineStart() + static_cast<std::int32_t>(hit - reader.lineText()) - shift;
            return pos < 0 ? -1 : pos;
        }
        if (!reader.prevLine() || stopHere())
            return -1;
        off = reader.lineLength() - 1;
    }
}

bool TPlainSearch::stopHere() const {
    if (!interrupt_ || (++records_ & 4095) != 0)
        return false;
    interrupted_ = interrupt_();
    return interrupted_;
}

std::int32_t TPlainSearch::Find(re::TextReader& reader, std::int32_t start, bool backwards,
                                const WordTest& isWordChar) const {
    interrupted_ = false;
    const std::int32_t n = static_cast<std::int32_t>(folded_.size());
    if (n == 0 || n > reader.count())
        return -1;
    if (!backwards) {
        for (std::int32_t pos = std::max(start, 0); pos + n <= reader.count();) {
            pos = nextCandidate(reader, pos);
            if (pos < 0)
                return -1;
            if (fitsAt(reader, pos) && wholeWordAt(reader, pos, isWordChar))
                return pos;
            ++pos;
        }
        return -1;
    }
    for (std::int32_t pos = std::min(start, reader.count() - n + 1) - 1; pos >= 0;) {
        pos = prevCandidate(reader, pos);
        if (pos < 0)
            return -1;
        if (fitsAt(reader, pos) && wholeWordAt(reader, pos, isWordChar))
            return pos;
        --pos;
    }
    return -1;
}

} // namespace qorvi
