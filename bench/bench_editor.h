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

    explicit BenchEditor(const std::string& text) {
        ctl.SetHost(&host);
        ctl.ViewResize(kWidth, kHeight);
        ctl.SetParser1(parser.get());
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

} // namespace qorvi::bench
