#pragma once

// Text is 8-bit in the Windows-1252 code page everywhere below the GUI; it
// becomes Unicode only where it meets Qt (painting, clipboard, dialogs).

#include <cstdint>
#include <string>
#include <string_view>

namespace qorvi {

// The Unicode code point of a Windows-1252 byte. The five bytes that code
// page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control
// of the same value, so every byte round-trips.
char32_t cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte of a code point, or `fallback` when it has none.
unsigned char unicodeToCp1252(char32_t cp, unsigned char fallback = '?');

std::string cp1252ToUtf8(std::string_view text);
// Invalid UTF-8 sequences and code points outside the code page become `fallback`.
std::string utf8ToCp1252(std::string_view utf8, unsigned char fallback = '?');

// Lower and upper case of a Windows-1252 byte (ASCII and the Latin-1 letters).
unsigned char cp1252Lower(unsigned char c);
unsigned char cp1252Upper(unsigned char c);
std::string lowerCase(std::string_view text);
std::string upperCase(std::string_view text);

} // namespace qorvi
