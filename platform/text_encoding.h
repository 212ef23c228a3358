#pragma once

// A document's bytes are either UTF-8 or Windows-1252. The text store,
// parsers and searches only ever see bytes; the encoding decides how those
// bytes are shown, how many screen cells they take, where the caret may stop
// and what typed or pasted Unicode text becomes. Bytes that are not valid
// UTF-8 in a UTF-8 document are kept as they are and shown one by one.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qorvi {

enum class TextEncoding { Windows1252, Utf8 };

// The name shown to the user ("UTF-8", "Windows-1252").
std::string_view encodingName(TextEncoding encoding);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
bool startsWithUtf8Bom(std::string_view bytes);

// Strict UTF-8 (no overlong forms, surrogates or code points past U+10FFFF).
// Sixteen bytes at a time where the processor has byte shuffles.
bool isValidUtf8(std::string_view bytes);
// A byte-order mark or valid UTF-8 makes a file UTF-8; anything else is read
// as Windows-1252.
TextEncoding detectEncoding(std::string_view bytes);
// Detection over a file read in pieces: a sequence may be cut between two.
class EncodingDetector {
public:
    void feed(std::string_view piece);
    TextEncoding result() const;
    // A byte that no UTF-8 text holds has come (a sequence the last piece
    // left unfinished does not count yet); the byte-order mark aside.
    bool invalid() const { return !valid_; }

private:
    std::string head_; // the first bytes, for the byte-order mark
    bool valid_ = true;
    std::string carry_; // an unfinished sequence at the end of the last piece
};

// True when no byte is 0x80 or above.
bool isAscii(std::string_view bytes);

// The length (1-4) of the valid UTF-8 sequence at the start of `bytes`, or 0
// when its first byte starts none (a stray or invalid byte).
int utf8SequenceLength(std::string_view bytes);
// The code point of a valid sequence of `length` bytes.
char32_t decodeUtf8Sequence(std::string_view bytes, int length);
void appendUtf8(std::string& out, char32_t cp);

// Screen cells of a code point: 2 for East Asian wide characters and emoji,
// 0 for combining marks and other zero-width characters, else 1.
int codePointCells(char32_t cp);

// One user-perceived character (grapheme cluster) of a UTF-8 text: where it
// ends and how many cells it takes. An invalid byte is a cluster of its own,
// drawn as a two-cell hex box; a cluster takes the cells of its first
// character, and never fewer than one.
struct TextCluster {
    std::size_t end = 0;
    int cells = 1;
    bool invalid = false;
};
TextCluster nextCluster(std::string_view text, std::size_t at);
// The start of the cluster that ends at `at`, found by walking forward from
// `from` (a position known to start a character).
std::size_t previousClusterStart(std::string_view text, std::size_t from, std::size_t at);

// The document's bytes as valid UTF-8 for other programs: Windows-1252 by its
// table, invalid UTF-8 bytes as U+FFFD.
std::string decodeToUtf8(std::string_view bytes, TextEncoding encoding);
// Unicode text (UTF-8) as the bytes of a document, or nothing when a
// character has no byte in Windows-1252 (never a substitute). Invalid input
// bytes are kept as they are in a UTF-8 document.
std::optional<std::string> encodeFromUtf8(std::string_view utf8, TextEncoding encoding);
// The first character of `utf8` that Windows-1252 cannot hold, as UTF-8.
std::string firstUnrepresentable(std::string_view utf8);

} // namespace qorvi
