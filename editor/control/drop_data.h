#pragma once

// Data dragged over or dropped on an editor control, as the window system
// offers it, and what the control takes out of it. The Qt layer wraps its
// drag data in a DropData; tests hand in their own.

#include "editor/control/rudivo_voru_events.h"

#include <array>
#include <string>
#include <vector>

namespace qorvi {

class TCustomRudivoVoru;

// Drop effects as the window system counts them.
enum DropEffect : int { deNone = 0, deCopy = 1, deMove = 2 };
// The key-state flag that makes a drop a copy.
inline constexpr int MK_CONTROL = 8;
// The action part of a TSourceTypes set (stAsText ... stFullHTML).
inline constexpr TSourceTypes kSourceActionMask = 0x7C00;

class DropData {
public:
    virtual ~DropData() = default;
    // Whether the data comes in `format` (stFileNames, stUnicode, stText or stHTML).
    virtual bool offers(TSourceType format) const = 0;
    // The data in `format`: a text (UTF-8) as one string, a file list as one
    // string per file (empty when the format is not offered).
    virtual std::vector<std::string> read(TSourceType format) const = 0;
    // The control a drag started from, when it is one of this program's.
    virtual const TCustomRudivoVoru* source() const { return nullptr; }
};

// What a drop extracted: one string list per source type.
struct TDropObj {
    std::array<std::vector<std::string>, 15> Lists;
    std::array<std::size_t, 15> Lengths{};
};

// The data of a drag started in a control: its selected text (as Unicode,
// UTF-8), offered as plain text only.
class TRudivoVoruDataObject : public DropData {
public:
    TRudivoVoruDataObject(const TCustomRudivoVoru& control, std::string text)
        : control_(control), text_(std::move(text)) {}
    bool offers(TSourceType format) const override { return format == stText; }
    std::vector<std::string> read(TSourceType format) const override {
        return format == stText ? std::vector<std::string>{text_} : std::vector<std::string>{};
    }
    const TCustomRudivoVoru* source() const override { return &control_; }
    const std::string& Text() const { return text_; }

private:
    const TCustomRudivoVoru& control_;
    std::string text_;
};

} // namespace qorvi
