// Structural editing of the text store: insertion and deletion.
//
// Inserted text is cut into records after each CR (which stays as the
// record's last character) and, in a run without CR, after 2047 characters.
// The record holding the insertion point keeps its identity, marks and side
// data; a whole line inserted at the start of a record goes in front of it,
// so that bookmarks and tracks stay with the text they were set on. A
// deletion joins the head of its first record with the tail of its last; the
// record that keeps the start of the joined line keeps its marks. After
// every edit the continuation mark of the record behind it is made right.

#include "editor/support/rudivo_voru_error.h"
#include "editor/text/text_store.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>

namespace qorvi {

namespace {

constexpr std::int64_t kPiece = 8192;

// Length of the record that starts at `text`: up to and including the first
// CR, at most 2047 characters. In UTF-8 text a record cut short ends before
// the character the cut would split.
std::size_t recordLength(const char* text, std::size_t count, bool utf8, std::size_t floor = 1) {
    std::size_t window = std::min<std::size_t>(count, kMaxLineLen);
    const void* cr = std::memchr(text, '\r', window);
    if (cr)
        return static_cast<std::size_t>(static_cast<const char*>(cr) - text) + 1;
    for (std::size_t back = 0; utf8 && window < count && back < 3 && window > floor &&
                               (static_cast<unsigned char>(text[window]) & 0xC0) == 0x80;
         ++back)
        --window;
    return window;
}

std::uint8_t styleBefore(const TLine* line, int at) {
    return at > 0 ? line->StyleAt(at - 1) : 0;
}

} // namespace

void TTextStore::checkRoom(std::int64_t adding) const {
    if (chain_->charCount() + adding > kMaxChars)
        throw ERudivoVoru(kMsgNotEnoughMemory);
}

void TTextStore::editedAt(std::int64_t offset) {
    // The reference record stays valid only for edits behind it.
    if (topLine_ && offset <= topOffset_)
        topLine_ = nullptr;
}

void TTextStore::touchRecord(TLine* line) {
    std::uint32_t flags = line->Flags() | lfChanged | lfRepaint;
    if (std::memchr(line->Text(), '\t', line->Len()))
        flags |= lfHasTab;
    else
        flags &= ~lfHasTab;
    line->SetFlags(flags);
}

void TTextStore::fixContinuation(TLine* line) {
    if (!line)
        return;
    const TLine* prev = Prev(line);
    bool continues = prev && !prev->EndsWithCR();
    if (continues == line->IsContinuation())
        return;
    line->SetMarkBits(static_cast<std::uint16_t>(continues ? (line->MarkBits() | kContinuationMark)
                                                           : (line->MarkBits() & ~kContinuationMark)));
    line->AddFlags(lfRepaint);
}

TLine* TTextStore::insertRecords(TLine* after, const char* text, std::size_t count, TLine** lastMade) {
    TLine* prev = after;
    TLine* first = nullptr;
    for (std::size_t pos = 0; pos < count;) {
        std::size_t len = recordLength(text + pos, count - pos, encoding_ == TextEncoding::Utf8);
        TLine* line = chain_->insertAfter(prev, text + pos, static_cast<std::uint16_t>(len));
        std::uint32_t flags = lfChanged | lfRepaint;
        if (std::memchr(text + pos, '\t', len))
            flags |= lfHasTab;
        line->SetFlags(flags);
        if (prev && !prev->EndsWithCR())
            line->SetMarkBits(kContinuationMark);
        if (!first)
            first = line;
        prev = line;
        pos += len;
    }
    if (lastMade)
        *lastMade = prev;
    return first;
}

TTextStore::InsertResult TTextStore::insertPiece(std::int64_t offset, const char* text, std::size_t count) {
    if (count == 0)
        return {};
    const std::int32_t stored = static_cast<std::int32_t>(count);
    editedAt(offset);
    TLine* lastMade = nullptr;
    if (!Buffer())
        return {insertRecords(nullptr, text, count, nullptr), stored};

    LineChain::Position p = chain_->atOffset(offset);
    TLine* line = p.line;
    const int at = static_cast<int>(offset - p.start);
    if (at == line->Len() && (line->EndsWithCR() || line->Len() == kMaxLineLen)) {
        // Appending after a complete record (the end of the text).
        return {insertRecords(line, text, count, nullptr), stored};
    }
    if (at == 0 && text[count - 1] == '\r') {
        // Whole lines in front of a record: the record keeps its own text.
        TLine* first = insertRecords(Prev(line), text, count, &lastMade);
        fixContinuation(line);
        return {first, stored};
    }

    const std::uint8_t fill = styleBefore(line, at);
    if (line->Len() + count <= static_cast<std::size_t>(kMaxLineLen) && !std::memchr(text, '\r', count)) {
        // Typing: the record takes the text and stays one record.
        chain_->splice(line, at, 0, text, static_cast<int>(count), fill);
        touchRecord(line);
        fixContinuation(Next(line));
        return {line, stored};
    }
    // The record takes its head, the inserted text and its tail, cut anew.
    std::string joined;
    joined.reserve(line->Len() + count);
    joined.append(line->Text(), static_cast<std::size_t>(at));
    joined.append(text, count);
    joined.append(line->Text() + at, static_cast<std::size_t>(line->Len() - at));
    std::size_t firstLen = recordLength(joined.data(), joined.size(), encoding_ == TextEncoding::Utf8,
                                         std::max<std::size_t>(1, static_cast<std::size_t>(at)));
    std::string rest = joined.substr(firstLen);
    // The part of the record's tail that stays in it keeps its style bytes;
    // the rest of the tail moves on to the records made after it.
    const int inserted = static_cast<int>(std::min(count, firstLen - static_cast<std::size_t>(at)));
    const int keptTail = static_cast<int>(firstLen) - at - inserted;
    const int movedTail = line->Len() - at - keptTail;
    if (keptTail > 0 && movedTail > 0) {
        // The record overflows: one splice, so that running out of memory
        // leaves it as it was, then the kept tail gets its styles back.
        std::uint8_t styles[kMaxLineLen];
        const bool styled = line->ReadStyles(styles);
        chain_->splice(line, at, line->Len() - at, joined.data() + at, static_cast<int>(firstLen) - at, fill);
        if (styled) {
            std::memmove(styles + at + inserted, styles + at, static_cast<std::size_t>(keptTail));
            std::memset(styles + at, fill, static_cast<std::size_t>(inserted));
            chain_->setStyles(line, styles);
        }
    } else {
        chain_->splice(line, at, keptTail > 0 ? 0 : movedTail, text, inserted, fill);
    }
    touchRecord(line);
    lastMade = line;
    if (!rest.empty())
        insertRecords(line, rest.data(), rest.size(), &lastMade);
    fixContinuation(Next(lastMade));
    return {line, stored};
}

TTextStore::InsertResult TTextStore::insertPieces(std::int32_t offset, std::int64_t count,
                                                  const PieceSource& nextPiece) {
    checkRoom(count);
    offset = std::clamp(offset, 0, NumChars());
    const std::int32_t before = NumChars();
    InsertResult result;
    try {
        std::int64_t at = offset;
        for (std::int64_t done = 0; done < count;) {
            const Piece piece = nextPiece(done);
            InsertResult part = insertPiece(at, piece.text, piece.size);
            if (!result.first)
                result.first = part.first;
            result.count += part.count;
            at += part.count;
            done += piece.consumed;
        }
    } catch (const std::bad_alloc&) {
        // All of the text or none of it: take back the pieces that went in.
        try {
            DeleteText(offset, NumChars() - before);
        } catch (...) {
        }
        throw ERudivoVoru(kMsgNotEnoughMemory);
    }
    return result;
}

TTextStore::InsertResult TTextStore::InsertText(std::int32_t offset, const char* text, std::int64_t count) {
    if (!text || count <= 0)
        return {};
    // Pieces of 8192 characters through one buffer; a piece whose last
    // character is CR is cut before it, so a CR LF pair stays together.
    std::array<char, kPiece + 1> buffer;
    LineBreakAdjuster adjuster;
    return insertPieces(offset, count, [&](std::int64_t done) {
        std::int64_t piece = std::min(count - done, kPiece);
        if (piece == kPiece && done + piece < count && text[done + piece - 1] == '\r')
            --piece;
        const bool last = done + piece == count;
        const std::size_t n = adjuster.adjust(buffer.data(), text + done, static_cast<std::size_t>(piece), last);
        return Piece{buffer.data(), n, piece};
    });
}

TTextStore::InsertResult TTextStore::InsertStoredText(std::int32_t offset, const char* text,
                                                      std::int64_t count) {
    if (!text || count <= 0)
        return {};
    return insertPieces(offset, count, [&](std::int64_t done) {
        const std::int64_t piece = std::min(count - done, kPiece);
        return Piece{text + done, static_cast<std::size_t>(piece), piece};
    });
}

TLine* TTextStore::DeleteText(std::int32_t offset, std::int32_t count) {
    const std::int64_t total = chain_->charCount();
    const std::int64_t s = std::clamp<std::int64_t>(offset, 0, total);
    const std::int64_t e = std::clamp<std::int64_t>(s + std::max(count, 0), s, total);
    if (s == e)
        return nullptr;
    if (s == 0 && e == total) {
        Clear();
        return nullptr;
    }
    editedAt(s);
    LineChain::Position fp = chain_->atOffset(s);
    TLine* first = fp.line;
    const int head = static_cast<int>(s - fp.start);
    LineChain::Position lp = e < total ? chain_->atOffset(e) : LineChain::Position{};
    TLine* last = lp.line;

    if (last == first) {
        // Within one record, which keeps at least one character.
        chain_->splice(first, head, static_cast<int>(e - s), nullptr, 0);
        touchRecord(first);
        fixContinuation(Next(first));
        return first;
    }
    for (TLine* line = Next(first); line != last;) {
        TLine* next = Next(line);
        eraseRecord(line);
        line = next;
    }
    if (!last) {
        // The range runs to the end of the text.
        if (head == 0) {
            TLine* before = Prev(first);
            eraseRecord(first);
            return before;
        }
        chain_->splice(first, head, first->Len() - head, nullptr, 0);
        touchRecord(first);
        return first;
    }
    const int tailStart = static_cast<int>(e - lp.start);
    if (head == 0) {
        eraseRecord(first);
        if (tailStart > 0)
            chain_->splice(last, 0, tailStart, nullptr, 0);
        touchRecord(last);
        fixContinuation(last);
        return last;
    }
    // Join the head of the first record and the tail of the last in the first.
    const int tailLen = last->Len() - tailStart;
    const int fits = std::min(tailLen, kMaxLineLen - head);
    std::string rest(last->Text() + tailStart + fits, static_cast<std::size_t>(tailLen - fits));
    chain_->splice(first, head, first->Len() - head, last->Text() + tailStart, fits,
                   styleBefore(first, head));
    eraseRecord(last);
    touchRecord(first);
    TLine* lastMade = first;
    if (!rest.empty())
        insertRecords(first, rest.data(), rest.size(), &lastMade);
    fixContinuation(Next(lastMade));
    return first;
}

void TTextStore::eraseRecord(TLine* line) {
    if (line == topLine_)
        topLine_ = nullptr;
    if (line->HasExtras()) {
        // Tracks fire their free notifications while the record still exists.
        auto node = extras_.extract(line);
        node = {};
    }
    chain_->erase(line);
}

void TTextStore::EraseFromLine(TLine* line) {
    if (!line)
        return;
    editedAt(OffsetOfLine(line));
    while (line) {
        TLine* next = Next(line);
        eraseRecord(line);
        line = next;
    }
}

void TTextStore::Clear() {
    extras_.clear();
    chain_->clear();
    topLine_ = nullptr;
    topOffset_ = 0;
    bookmarkCol_ = {};
    lastFound_ = {};
}

void TTextStore::AdoptText(TTextStore& other) {
    if (&other == this)
        return;
    Clear();
    std::swap(chain_, other.chain_);
    std::swap(extras_, other.extras_);
    fileLineBreaks_ = other.fileLineBreaks_;
    other.Clear();
}

} // namespace qorvi
