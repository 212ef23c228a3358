#include "editor/undo/undo_record.h"

#include "editor/support/rudivo_voru_error.h"

namespace qorvi {
namespace {

// Tags. Markers whose value fits in five bits are the tag alone.
constexpr std::uint8_t kTagRecordMarker = 0x00; // + kind
constexpr std::uint8_t kTagBeginMarker = 0x20;  // + code
constexpr std::uint8_t kTagEndMarker = 0x40;    // + code
constexpr std::uint8_t kTagRange = 0x60;
constexpr std::uint8_t kTagCaret = 0x61; // a range whose ends are equal
constexpr std::uint8_t kTagText = 0x62;
constexpr std::uint8_t kTagStream = 0x63;
constexpr std::uint8_t kTagMarker = 0x64; // any phase and value

void putNumber(std::string& out, std::int32_t value) {
    auto v = static_cast<std::uint32_t>(value);
    do {
        auto byte = static_cast<std::uint8_t>(v & 0x7F);
        v >>= 7;
        if (v)
            byte |= 0x80;
        out.push_back(static_cast<char>(byte));
    } while (v);
}

[[noreturn]] void badItem() {
    throw ERudivoVoru(kMsgBadUndoState);
}

std::int32_t takeNumber(std::string_view bytes, std::size_t& at) {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (at >= bytes.size())
            badItem();
        const auto byte = static_cast<std::uint8_t>(bytes[at++]);
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            return static_cast<std::int32_t>(value);
    }
    badItem();
}

} // namespace

std::string EncodeUndoItem(const TUndoItem& item) {
    std::string out;
    switch (item.Type) {
    case uitMarker: {
        const bool small = item.Value1 >= 0 && item.Value1 < 32;
        if (small && item.Phase == kUndoPhaseRecord)
            out.push_back(static_cast<char>(kTagRecordMarker + item.Value1));
        else if (small && item.Phase == kUndoPhaseBegin)
            out.push_back(static_cast<char>(kTagBeginMarker + item.Value1));
        else if (small && item.Phase == kUndoPhaseEnd)
            out.push_back(static_cast<char>(kTagEndMarker + item.Value1));
        else {
            out.push_back(static_cast<char>(kTagMarker));
            putNumber(out, item.Phase);
            putNumber(out, item.Value1);
        }
        break;
    }
    case uitRange:
        if (item.Value1 == item.Value2) {
            out.push_back(static_cast<char>(kTagCaret));
            putNumber(out, item.Value1);
        } else {
            out.push_back(static_cast<char>(kTagRange));
            putNumber(out, item.Value1);
            putNumber(out, item.Value2);
        }
        break;
    case uitText:
    case uitStream:
        out.reserve(item.Text.size() + 1);
        out.push_back(static_cast<char>(item.Type == uitText ? kTagText : kTagStream));
        out += item.Text;
        break;
    }
    return out;
}

TUndoItem DecodeUndoItem(std::string_view bytes) {
    if (bytes.empty())
        badItem();
    const auto tag = static_cast<std::uint8_t>(bytes[0]);
    std::size_t at = 1;
    TUndoItem item;
    if (tag < kTagRange) {
        if (bytes.size() != 1)
            badItem();
        item.Type = uitMarker;
        item.Phase = tag < kTagBeginMarker ? kUndoPhaseRecord
                     : tag < kTagEndMarker ? kUndoPhaseBegin
                                           : kUndoPhaseEnd;
        item.Value1 = tag & 0x1F;
        return item;
    }
    switch (tag) {
    case kTagRange:
        item.Type = uitRange;
        item.Value1 = takeNumber(bytes, at);
        item.Value2 = takeNumber(bytes, at);
        break;
    case kTagCaret:
        item.Type = uitRange;
        item.Value1 = item.Value2 = takeNumber(bytes, at);
        break;
    case kTagText:
    case kTagStream:
        item.Type = tag == kTagText ? uitText : uitStream;
        item.Text = std::string(bytes.substr(1));
        return item;
    case kTagMarker:
        item.Type = uitMarker;
        item.Phase = takeNumber(bytes, at);
        item.Value1 = takeNumber(bytes, at);
        break;
    default:
        badItem();
    }
    if (at != bytes.size())
        badItem();
    return item;
}

} // namespace qorvi
