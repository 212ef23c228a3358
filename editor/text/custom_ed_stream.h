#pragma once

// The character scanner interface through which parsers, keyword tables and
// searches read text one character at a time. Positions are character
// offsets into the text (every line break one CR).

#include "editor/support/stream.h"

#include <cstdint>

namespace qorvi {

class TCustomEdStream : public TStream {
public:
    // The current character; only meaningful while yyeof() is false.
    virtual unsigned char GetYYchar() = 0;
    virtual std::int32_t GetYYpos() = 0;
    virtual void SetYYpos(std::int32_t position) = 0;
    virtual bool yyeof() = 0;
    virtual void yyadvance() = 0;
    virtual void yyretard() = 0;
};

} // namespace qorvi
