#pragma once

// The fourteen predefined handlers a script can name. Slots 0-2 are
// character handlers (continuations and terminators name them by slot);
// slots 3-13 scan a whole token from its first character (scripts name them
// 10-20, slot = number - 7). A handler starts at the scanner's position,
// consumes what it accepts and adds the count to Len; one that refuses puts
// the scanner and Len back as they were.

#include <cstdint>

namespace qorvi {

class TEdStream;

// tokenStart: the position where the current token began (the character
// handler _ORIGINAL_CHAR accepts only at the start of a line).
using TPredefinedHandler = bool (*)(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);

inline constexpr int kPredefinedHandlerCount = 14;
// Script numbers of the whole-token handlers.
inline constexpr int kFirstTokenHandler = 10;
inline constexpr int kLastTokenHandler = 20;
inline constexpr int kTokenHandlerSlotOffset = 7;

bool Char_PASCAL_CHAR(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Char_WEB_CHAR(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Char_ORIGINAL_CHAR(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_IDENTIFIER(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_NUMBER_OR_FP(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_PASCALSTRING(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_C_STRING(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_C_CHAR(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STDC_NUM_FP_SIGNED(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_NUMBER(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_MAIL_URL(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_HTML_STRING(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_JS_LINE_COMMENT(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);
bool Token_STD_C_STRING_SQ(TEdStream& Stream, std::int32_t& Len, std::int32_t tokenStart);

// The handler of `slot`, or null for a slot outside 0-13 (a refusal).
TPredefinedHandler PredefinedHandler(std::int64_t slot);

} // namespace qorvi
