#include "parser/std_token_data.h"

namespace qorvi {

namespace {

void addLetters(TSM_CharGroup& g) {
    g.AddRange('a', 'z');
    g.AddRange('A', 'Z');
}
void addDigits(TSM_CharGroup& g) {
    g.AddRange('0', '9');
}

} // namespace

TSM_CharGroup STD_TokenData(int number) {
    TSM_CharGroup g;
    switch (number) {
    case 10: // __STD_IDENTIFIER
        addLetters(g);
        g.AddChar('_');
        break;
    case 11: // __STD_NUMBER_OR_FP
        addDigits(g);
        g.AddChar('.');
        break;
    case 12: // __STD_PASCALSTRING
    case 14: // __STD_C_CHAR
    case 20: // __STD_C_STRING_SQ
        g.AddChar('\'');
        break;
    case 13: // __STD_C_STRING
    case 18: // __STD_HTML_STRING
        g.AddChar('"');
        break;
    case 15: // __STD_C_NUMBER_OR_FP_SIGNED
        g.AddChar('+');
        g.AddChar('-');
        g.AddChar('.');
        addDigits(g);
        break;
    case 16: // __STD_NUMBER
        addDigits(g);
        break;
    case 17: // __STD_MAIL_URL
        addLetters(g);
        addDigits(g);
        break;
    case 19: // __STD_JS_LINE_COMMENT
        g.AddChar('/');
        break;
    default:
        break;
    }
    return g;
}

} // namespace qorvi
