#pragma once

// An editor control for benchmarks: a window of 160 columns by 60 rows on a
// recording canvas with fixed metrics (8 x 16, line height 18), coloured by
// this build's C++ parser (the label says which one).

#include "editor/control/rudivo_voru.h"
#include "tests/support/built_in_cpp_parser.h"
#include "tests/support/quiet_control_host.h"

#include <memory>
#include <string>

namespace qorvi::bench {

inline constexpr int kColumns = 160;
inline constexpr int kRows = 60;
inline constexpr int kWidth = 36 + kColumns * 8;
inline constexpr int kHeight = kRows * 18;

struct BenchEditor {
    std::string label;
    std::unique_ptr<TRudivoVoruParser> parser = test::builtInCppParser(&label);
    test::QuietControlHost host;
    TRudivoVoru ctl;

    explicit BenchEditor(const std::string& text, TextEncoding encoding = TextEncoding::Windows1252) {
        ctl.SetHost(&host);
        ctl.ViewResize(kWidth, kHeight);
        ctl.SetParser1(parser.get());
        ctl.SetEncoding(encoding);
        ctl.SetText(text);
        finishStyling();
    }
    ~BenchEditor() {
        ctl.SetParser1(nullptr);
        ctl.SetHost(nullptr);
    }
    void finishStyling() {
        while (ctl.IdleWork()) {
        }
    }
    void paint() {
        host.canvas.clearCalls();
        ctl.PaintTo(host.canvas, {0, 0, kWidth, kHeight});
    }
};

// How a benchmark's document reads (its argument): 0 the 8-bit way,
// 1 UTF-8 with all-ASCII text, 2 UTF-8 with 30 % multi-byte characters.
inline TextEncoding encodingOfMix(std::int64_t mix) {
    return mix == 0 ? TextEncoding::Windows1252 : TextEncoding::Utf8;
}
inline const char* nameOfMix(std::int64_t mix) {
    return mix == 0 ? "windows-1252" : mix == 1 ? "utf-8 ascii" : "utf-8 30% multi-byte";
}
// The text with 3 of every 10 characters (line breaks aside) replaced by
// multi-byte ones: accented letters, CJK and emoji in turn.
inline std::string withMultiByte(const std::string& text, std::int64_t mix) {
    if (mix != 2)
        return text;
    static const char* const kChars[] = {"\xC3\xA9", "\xE4\xB8\xAD", "\xC3\xBC", "\xF0\x9F\x98\x80"};
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t k = 0;
    for (char c : text) {
        if (c != '\n' && c != '\r' && k++ % 10 < 3)
            out += kChars[k % 4];
        else
            out += c;
    }
    return out;
}

} // namespace qorvi::bench
