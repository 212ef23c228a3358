#include "editor/text/ed_stream.h"

#include "editor/text/text_store.h"

#include <algorithm>
#include <cstring>

namespace qorvi {

TEdStream::TEdStream(TTextStore* store) {
    SetStore(store);
}

void TEdStream::SetStore(TTextStore* store) {
    store_ = store;
    pos_ = 0;
    line_ = nullptr;
    offset_ = len_ = 0;
    text_ = nullptr;
    refreshCount();
    // Find the record on first use.
    stamp_ = store_ ? ~store_->EditStamp() : 0;
}

void TEdStream::refreshCount() {
    count_ = store_ ? store_->NumChars() : 0;
    if (limit_ < 0) {
        last_ = count_ > 0 ? count_ - 1 : 0;
        return;
    }
    // A limit of 0 leaves nothing to read.
    last_ = std::min(count_, limit_) - 1;
}

void TEdStream::SetLimit(std::int32_t end) {
    limit_ = end < 0 ? -1 : end;
    refreshCount();
    len_ = line_ ? line_->Len() : 0;
    clampToLimit();
}

void TEdStream::clampToLimit() {
    if (limit_ < 0 || !line_)
        return;
    const std::int32_t recordStart = pos_ - offset_;
    len_ = std::clamp(limit_ - recordStart, 0, static_cast<std::int32_t>(line_->Len()));
}

void TEdStream::enter(TLine* line, std::int32_t offset) {
    line_ = line;
    text_ = line ? line->Text() : nullptr;
    len_ = line ? line->Len() : 0;
    offset_ = std::clamp(offset, 0, len_);
}

void TEdStream::sync() {
    refreshCount();
    stamp_ = currentStamp();
    pos_ = std::clamp(pos_, 0, count_);
    if (!store_ || count_ == 0) {
        enter(nullptr, 0);
        return;
    }
    TTextStore::LineInfo info = store_->InfoFromIndex(pos_);
    enter(info.line, pos_ - info.start);
    clampToLimit();
}

void TEdStream::UseBuffer(TLine* line, std::int32_t offsetInLine, std::int32_t lineStart) {
    refreshCount();
    stamp_ = currentStamp();
    enter(line, offsetInLine);
    pos_ = lineStart + offset_;
    clampToLimit();
}

void TEdStream::stepForward() {
    if (!line_)
        return;
    // Held back by a limit inside the record: on within it.
    if (offset_ + 1 < line_->Len()) {
        ++offset_;
        ++pos_;
        return;
    }
    if (TLine* next = store_->Next(line_)) {
        enter(next, 0);
        ++pos_;
        clampToLimit();
    } else if (offset_ == len_ - 1) {
        // Park just past the last character.
        ++pos_;
        offset_ = len_;
    }
}

void TEdStream::yyretard() {
    if (stamp_ != currentStamp())
        sync();
    if (!line_)
        return;
    if (offset_ > 0) {
        --offset_;
        --pos_;
    } else if (TLine* prev = store_->Prev(line_)) {
        enter(prev, prev->Len() - 1);
        --pos_;
        clampToLimit();
    }
}

void TEdStream::SetYYpos(std::int32_t position) {
    if (stamp_ != currentStamp())
        sync();
    position = std::clamp(position, 0, count_);
    if (!line_) {
        pos_ = position;
        sync();
        return;
    }
    const std::int32_t lineStart = pos_ - offset_;
    if (position >= lineStart && position < lineStart + len_) {
        offset_ = position - lineStart;
        pos_ = position;
        return;
    }
    TTextStore::LineInfo info = store_->InfoFromIndex(position);
    enter(info.line, position - info.start);
    pos_ = position;
    clampToLimit();
}

std::int64_t TEdStream::Read(void* buffer, std::int64_t count) {
    if (stamp_ != currentStamp())
        sync();
    if (!line_ || count <= 0)
        return 0;
    char* out = static_cast<char*>(buffer);
    std::int64_t want = std::min<std::int64_t>(count, std::int64_t{last_} + 1 - pos_);
    std::int64_t done = 0;
    TLine* line = line_;
    std::int32_t offset = offset_;
    while (done < want && line) {
        std::int64_t take = std::min<std::int64_t>(line->Len() - offset, want - done);
        std::memcpy(out + done, line->Text() + offset, static_cast<std::size_t>(take));
        done += take;
        offset = 0;
        line = store_->Next(line);
    }
    SetYYpos(static_cast<std::int32_t>(pos_ + done));
    return done;
}

std::int64_t TEdStream::Write(const void*, std::int64_t) {
    throw EStreamError(kMsgReadOnlyStream);
}

std::int64_t TEdStream::Seek(std::int64_t offset, int origin) {
    auto clampPos = [](std::int64_t p) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(p, -1, TTextStore::kMaxChars));
    };
    switch (origin) {
    case soFromBeginning:
        SetYYpos(clampPos(offset));
        break;
    case soFromCurrent:
        if (offset != 0)
            SetYYpos(clampPos(pos_ + offset));
        break;
    case soFromEnd:
        if (store_)
            SetYYpos(clampPos(count_ - offset));
        break;
    default:
        break;
    }
    return pos_;
}

} // namespace qorvi
