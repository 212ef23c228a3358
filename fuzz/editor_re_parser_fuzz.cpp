// Fuzz target over the regular-expression parser: the input is a pattern
// and a text (split at the first NUL byte, or after the first byte's value
// when there is none). Every pattern must compile or fail with its error,
// and every search must end - with a match whose sections lie inside the
// text, with no match, or with a regular-expression error - never with a
// crash, a hang or another exception.

#include "editor/regex/re_parser.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_store.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

using namespace qorvi;

namespace {

void require(bool condition) {
    if (!condition)
        __builtin_trap();
}

void checkMatch(TREParser& re, TEdStream& stream, std::int32_t count) {
    const int sections = re.SectionCount();
    require(sections >= 0 && sections < 256);
    const std::int32_t start = re.GetSection(0);
    const std::int32_t end = re.GetSection(sections);
    require(start >= 0 && start <= end && end <= count);
    require(stream.GetYYpos() == end);
    for (int i = 0; i <= sections; ++i) {
        const std::int32_t s = re.GetSection(i);
        require(s >= 0 && s <= count);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* nul = std::memchr(bytes, 0, size);
    std::size_t split = nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - bytes)
                            : std::min<std::size_t>(data[0] % 32 + 1, size);
    std::string pattern(bytes, split);
    std::string text(bytes + std::min(split + 1, size), size - std::min(split + 1, size));

    TREParser re;
    // Small budgets keep each run short; exceeding them is a valid outcome.
    re.SetStepBudget(20000, 16);
    if (!re.Compile(pattern)) {
        require(re.ErrorNumber() >= 4246 && re.ErrorNumber() <= 4264);
        require(re.ErrorPosition() >= 1 && re.ErrorPosition() <= static_cast<int>(pattern.size()) + 1);
        return 0;
    }
    TTextStore store;
    if (!text.empty())
        store.InsertStoredText(0, text.data(), static_cast<std::int64_t>(text.size()));
    auto stream = store.GetTextStream(0);
    const std::int32_t count = store.NumChars();
    try {
        // Forward through the whole text, as a replace-all loop would.
        std::int32_t at = 0;
        for (int guard = 0; guard <= count + 1; ++guard) {
            stream->SetYYpos(at);
            if (!re.Search(*stream, true))
                break;
            checkMatch(re, *stream, count);
            require(re.GetSection(0) >= at);
            at = re.GetSection(re.SectionCount());
            if (at >= count)
                break;
        }
        stream->SetYYpos(count);
        if (re.Search(*stream, false))
            checkMatch(re, *stream, count);
    } catch (const ERegExprError& e) {
        require(e.number() == reTooComplex || e.number() == reIndexRange);
    }
    return 0;
}
