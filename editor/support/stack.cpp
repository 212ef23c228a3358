#include "editor/support/stack.h"

#include <algorithm>
#include <cstring>

namespace qorvi {
namespace {

// A frame is the item's size times two plus the pointer flag, as a base-128
// number: low seven bits first, the top bit saying that more follow. The
// back frame holds the same bytes in reverse order, so that reading the log
// backwards meets them low bits first too.
std::size_t frameLength(std::uint64_t value) {
    std::size_t n = 1;
    while (value >= 0x80) {
        value >>= 7;
        ++n;
    }
    return n;
}

void encodeFrame(std::uint64_t value, std::uint8_t* out) {
    std::size_t i = 0;
    do {
        std::uint8_t byte = value & 0x7F;
        value >>= 7;
        if (value)
            byte |= 0x80;
        out[i++] = byte;
    } while (value);
}

} // namespace

TStack::~TStack() {
    Clear();
}

TStack::Located TStack::itemAt(std::size_t start) const {
    std::uint64_t value = 0;
    std::size_t n = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = log_[start + n++];
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if (!(byte & 0x80))
            break;
    }
    Located item;
    item.begin = start;
    item.start = start + n;
    item.size = static_cast<std::size_t>(value >> 1);
    item.pointer = value & 1;
    item.end = item.start + item.size + n;
    return item;
}

TStack::Located TStack::itemBefore(std::size_t end) const {
    std::uint64_t value = 0;
    std::size_t n = 0;
    for (int shift = 0;; shift += 7) {
        const std::uint8_t byte = log_[end - 1 - n++];
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if (!(byte & 0x80))
            break;
    }
    Located item;
    item.end = end;
    item.size = static_cast<std::size_t>(value >> 1);
    item.pointer = value & 1;
    item.start = end - n - item.size;
    item.begin = item.start - n;
    return item;
}

std::string TStack::payload(const Located& item) const {
    const auto first = log_.begin() + static_cast<std::ptrdiff_t>(item.start);
    return std::string(first, first + static_cast<std::ptrdiff_t>(item.size));
}

void TStack::freeItem(const Located& item) {
    if (!item.pointer || !clearProc_)
        return;
    void* pointer = nullptr;
    std::copy_n(log_.begin() + static_cast<std::ptrdiff_t>(item.start), std::min(item.size, sizeof pointer),
                reinterpret_cast<unsigned char*>(&pointer));
    clearProc_(pointer);
}

std::uint64_t TStack::idOf(std::uint64_t abs) const {
    auto it = std::upper_bound(epochs_.begin(), epochs_.end(), abs,
                               [](std::uint64_t a, const Epoch& e) { return a < e.firstAbs; });
    if (it == epochs_.begin())
        return floorId_;
    --it;
    return it->firstId + (abs - it->firstAbs);
}

std::uint64_t TStack::CurrentId() const {
    return count_ == 0 ? floorId_ : idOf(bottomAbs_ + count_ - 1);
}

void TStack::pushFramed(const void* item, std::uint32_t size, bool pointer) {
    DiscardRedo();
    if (freshEpoch_ || epochs_.empty()) {
        epochs_.push_back({bottomAbs_ + count_, lastId_ + 1});
        freshEpoch_ = false;
    }
    ++lastId_;
    const std::uint64_t value = (std::uint64_t{size} << 1) | (pointer ? 1 : 0);
    const std::size_t n = frameLength(value);
    std::uint8_t frame[10];
    encodeFrame(value, frame);
    log_.insert(log_.end(), frame, frame + n);
    const auto* bytes = static_cast<const std::uint8_t*>(item);
    log_.insert(log_.end(), bytes, bytes + size);
    for (std::size_t i = n; i-- > 0;)
        log_.push_back(frame[i]);
    pos_ = log_.size();
    ++count_;
    ++total_;
}

void TStack::Push(const void* item, std::uint32_t size) {
    pushFramed(item, size, false);
}

void TStack::discardTop() {
    const Located item = itemBefore(log_.size());
    freeItem(item);
    log_.resize(item.begin);
    --total_;
    freshEpoch_ = true;
    const std::uint64_t endAbs = bottomAbs_ + total_;
    while (!epochs_.empty() && epochs_.back().firstAbs >= endAbs)
        epochs_.pop_back();
}

void TStack::DiscardRedo() {
    while (total_ > count_)
        discardTop();
    pos_ = log_.size();
}

std::string TStack::PopItem() {
    if (count_ == 0)
        throw EStackError(kMsgStackUnderflow);
    DiscardRedo();
    const Located item = itemBefore(pos_);
    std::string bytes = payload(item);
    log_.resize(item.begin);
    pos_ = log_.size();
    --count_;
    --total_;
    freshEpoch_ = true;
    while (!epochs_.empty() && epochs_.back().firstAbs >= bottomAbs_ + total_)
        epochs_.pop_back();
    return bytes;
}

void* TStack::Pop() {
    if (count_ == 0)
        throw EStackError(kMsgStackUnderflow);
    const bool pointer = itemBefore(pos_).pointer;
    const std::string bytes = PopItem();
    void* item = nullptr;
    if (pointer && bytes.size() == sizeof item)
        std::memcpy(&item, bytes.data(), sizeof item);
    return item;
}

void* TStack::Peek() const {
    if (count_ == 0)
        return nullptr;
    const Located item = itemBefore(pos_);
    if (!item.pointer || item.size != sizeof(void*))
        return nullptr;
    void* pointer = nullptr;
    std::copy_n(log_.begin() + static_cast<std::ptrdiff_t>(item.start), sizeof pointer,
                reinterpret_cast<unsigned char*>(&pointer));
    return pointer;
}

std::string TStack::PopLeave() {
    if (count_ == 0)
        throw EStackError(kMsgStackUnderflow);
    const Located item = itemBefore(pos_);
    pos_ = item.begin;
    --count_;
    return payload(item);
}

std::string TStack::LiftLeave() {
    if (pos_ == log_.size())
        throw EStackError(kMsgStackUnderflow);
    const Located item = itemAt(pos_);
    pos_ = item.end;
    ++count_;
    return payload(item);
}

std::string TStack::Current() const {
    return count_ == 0 ? std::string() : payload(itemBefore(pos_));
}

std::string TStack::GetStackTopItem() const {
    return total_ == 0 ? std::string() : payload(itemBefore(log_.size()));
}

void TStack::Clear() {
    while (total_ > 0) {
        const Located item = itemBefore(log_.size());
        freeItem(item);
        log_.resize(item.begin);
        --total_;
    }
    log_.shrink_to_fit();
    pos_ = 0;
    count_ = 0;
    bottomAbs_ = 0;
    epochs_.clear();
    floorId_ = ++lastId_;
    freshEpoch_ = true;
}

bool TStack::DropBottom() {
    if (count_ == 0)
        return false;
    const Located item = itemAt(0);
    floorId_ = idOf(bottomAbs_);
    freeItem(item);
    log_.erase(log_.begin(), log_.begin() + static_cast<std::ptrdiff_t>(item.end));
    pos_ -= item.end;
    --count_;
    --total_;
    ++bottomAbs_;
    while (epochs_.size() >= 2 && epochs_[1].firstAbs <= bottomAbs_)
        epochs_.erase(epochs_.begin());
    return true;
}

} // namespace qorvi
