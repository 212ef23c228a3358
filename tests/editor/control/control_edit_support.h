#pragma once

// Driving the editor control's core as a user does in the tests: keys go
// down (virtual-key codes with a shift state) and type their characters,
// as the window hands them over.

#include "editor/control/rudivo_voru.h"
#include "platform/keys.h"
#include "tests/editor/control/control_test_support.h"

#include <cctype>
#include <ostream>
#include <string>
#include <utility>

namespace qorvi::test {

// The US-layout key and shift state that type `c`.
inline std::pair<std::uint16_t, TShiftState> keyOf(char c) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalpha(u))
        return {static_cast<std::uint16_t>(std::toupper(u)), std::isupper(u) ? ssShift : 0u};
    if (std::isdigit(u))
        return {static_cast<std::uint16_t>(u), 0u};
    static const std::string plain = " \r\t;=,-./`[\\]'";
    static const std::uint16_t plainKeys[] = {
        VK_SPACE,      VK_RETURN, VK_TAB,   VK_OEM_1, VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS,
        VK_OEM_PERIOD, VK_OEM_2,  VK_OEM_3, VK_OEM_4, VK_OEM_5,    VK_OEM_6,     VK_OEM_7};
    if (const std::size_t at = plain.find(c); at != std::string::npos)
        return {plainKeys[at], 0u};
    static const std::string shifted = ")!@#$%^&*(:+<_>?~{|}\"";
    static const std::uint16_t shiftedKeys[] = {
        '0',           '1',      '2',      '3',      '4',         '5',          '6',
        '7',           '8',      '9',      VK_OEM_1, VK_OEM_PLUS, VK_OEM_COMMA, VK_OEM_MINUS,
        VK_OEM_PERIOD, VK_OEM_2, VK_OEM_3, VK_OEM_4, VK_OEM_5,    VK_OEM_6,     VK_OEM_7};
    if (const std::size_t at = shifted.find(c); at != std::string::npos)
        return {shiftedKeys[at], ssShift};
    return {0, 0u};
}

// One key stroke: down, its character (unless the key was consumed), up.
inline void press(TCustomRudivoVoru& ctl, std::uint16_t key, TShiftState shift = 0, char typed = 0) {
    const bool consumed = ctl.KeyDown(key, shift);
    if (!consumed && typed)
        ctl.KeyPress(typed);
    ctl.KeyUp();
}

// Types `text` key by key.
inline void typeText(TCustomRudivoVoru& ctl, const std::string& text) {
    for (char c : text) {
        const auto [key, shift] = keyOf(c);
        press(ctl, key, shift, c);
    }
}

inline void ctrl(TCustomRudivoVoru& ctl, std::uint16_t key, TShiftState more = 0) {
    press(ctl, key, ssCtrl | more);
}

// The text with CR shown as "|" for readable expectations.
inline std::string shown(const std::string& text) {
    std::string out = text;
    for (char& c : out)
        if (c == '\r')
            c = '|';
    return out;
}

inline TChRange sel(const TCustomRudivoVoru& ctl) {
    return ctl.GetSelection();
}

// A control holding `text` ("|" stands for a line break) with the selection
// `at`; text() shows it the same way.
struct Editor : ControlFixture {
    explicit Editor(const std::string& text = "", TChRange at = {0, 0}) {
        std::string stored = text;
        for (char& c : stored)
            if (c == '|')
                c = '\r';
        ctl.SetText(stored);
        ctl.SetSelection(at);
    }
    std::string text() const { return shown(ctl.GetText()); }
    std::int32_t caret() const { return ctl.GetSelection().chEnd; }
    int undoSteps() {
        int steps = 0;
        while (ctl.DoUndo())
            ++steps;
        return steps;
    }
    void options(std::uint32_t on, std::uint32_t off = 0) { ctl.SetOptions((ctl.GetOptions() | on) & ~off); }
};

} // namespace qorvi::test

namespace qorvi {
inline void PrintTo(const TChRange& r, std::ostream* os) {
    *os << "{" << r.chStart << ", " << r.chEnd << "}";
}
} // namespace qorvi
