#include "editor/lexicon/word_chars.h"

#include "platform/code_page.h"

namespace qorvi {
namespace {

bool isLetter(unsigned char c) {
    // Letters are the characters with a case, plus the few without one.
    return cp1252Lower(c) != cp1252Upper(c) || c == 0xDF || c == 0xAA || c == 0xBA;
}

} // namespace

bool isDefaultWordChar(unsigned char c) {
    return isLetter(c) || (c >= '0' && c <= '9') || c == '_' || c == '\'' || c == '-';
}

bool isDefaultWordStart(unsigned char c) {
    return isLetter(c) || c == '_';
}

} // namespace qorvi
