#pragma once

// Stored text (every line break one CR) on its way out, in the line-break
// style its reader expects: the clipboard, WM_GETTEXT, the plain-text
// export and document saves all write through this one encoder.

#include "editor/text/line_breaks.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qorvi {

class LineBreakWriter {
public:
    // Receives the encoded bytes; it raises when it cannot take them all.
    using Sink = std::function<void(const char* data, std::size_t count)>;

    LineBreakWriter(LineBreakStyle style, Sink sink) : style_(style), sink_(std::move(sink)) {}

    // Encodes `stored` (any part of the text: a CR is a break wherever the
    // pieces are cut).
    void write(std::string_view stored);
    // Hands what is buffered to the sink. Not done on destruction: a sink
    // that fails must fail where the caller can see it.
    void flush();

private:
    void put(const char* data, std::size_t count);

    static constexpr std::size_t kBuffer = 256 * 1024;
    LineBreakStyle style_;
    Sink sink_;
    std::string buffer_;
};

// `stored` with its breaks in `style`.
std::string withLineBreaks(std::string_view stored, LineBreakStyle style);

} // namespace qorvi
