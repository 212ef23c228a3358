#include "parser/predefined_names.h"

#include "parser/word_store.h"

#include <string>

namespace qorvi {

namespace {

constexpr PredefinedName kNames[] = {
    // Constants.
    {"pt_DEFAULT", 0},
    {"_discard_", 0},
    {"__insensitive", 0},
    {"_edge", 0},
    {"_DEFAULT_START_ANCHOR", 0},
    {"_use_", 1},
    {"__sensitive", 1},
    {"_default_gutter", 34},
    {"__DEFAULT_OPTIONS", 0x3FFDBF0},
    {"fsBold", 0},
    {"fsItalic", 1},
    {"fsUnderline", 2},
    {"fsStrikeout", 3},
    {"None", 0},

    // Option bits.
    {"__OPT_LINE_NUMBERS", 0x1},
    {"__OPT_SYNTAX_HIGHLIGHT", 0x10},
    {"__OPT_PRINT_WRAP", 0x20},
    {"__OPT_PRINT_LINENOS", 0x40},
    {"__OPT_PRINT_FILENAME", 0x80},
    {"__OPT_PRINT_DATE", 0x100},
    {"__OPT_PRINT_PAGENOS", 0x200},
    {"__OPT_WORDWRAP", 0x400},
    {"__OPT_AUTOINDENT", 0x800},
    {"__OPT_TABCOLUMN", 0x1000},
    {"__OPT_WRAP_OVERRIDE", 0x2000},
    {"__WORD_SELECT", 0x4000},
    {"__OPT_SHOW_RIGHT_MARGIN", 0x8000},
    {"__OPT_SHOW_RMARGIN", 0x8000},
    {"__OPT_SHOW_GUTTER", 0x10000},
    {"__OPT_SHOW_WRAPCOLUMN", 0x20000},
    {"__OPT_TITLE_AS_FILENAME", 0x40000},
    {"__OPT_PROCESS_DROP_FILES", 0x80000},
    {"__OPT_BLOCK_CURSOR", 0x100000},
    {"__OPT_WRAP_GLYPH", 0x200000},
    {"__OPT_COLUMN_TRACK", 0x400000},
    {"__OPT_USE_TAB", 0x800000},
    {"__OPT_SMART_FILL", 0x1000000},
    {"__OPT_OLE_DRAG_SOURCE", 0x2000000},
    {"__OPT_SHOW_CONTROL_CHARS", 0x4000000},
    {"__OPT_CARET_AFTER_EOL", 0x8000000},

    // Handler numbers: character handlers, then whole-token handlers.
    {"_PASCAL_CHAR", 0},
    {"_WEB_CHAR", 1},
    {"_ORIGINAL_CHAR", 2},
    {"__STD_IDENTIFIER", 10},
    {"__STD_NUMBER_OR_FP", 11},
    {"__STD_PASCALSTRING", 12},
    {"__STD_C_STRING", 13},
    {"__STD_C_CHAR", 14},
    {"__STD_C_NUMBER_OR_FP_SIGNED", 15},
    {"__STD_NUMBER", 16},
    {"__STD_MAIL_URL", 17},
    {"__STD_HTML_STRING", 18},
    {"__STD_JS_LINE_COMMENT", 19},
    {"__STD_C_STRING_SQ", 20},

    // Colours, 0x00BBGGRR.
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clDkGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clLtGray", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},

    // Action codes.
    {"caLEFT", 0},
    {"caRIGHT", 1},
    {"caLINEHOME", 2},
    {"caLINEEND", 3},
    {"caUP", 4},
    {"caDOWN", 5},
    {"caPAGEUP", 6},
    {"caPAGEDOWN", 7},
    {"caWORDLEFT", 8},
    {"caWORDRIGHT", 9},
    {"caDOCSTART", 10},
    {"caDOCEND", 11},
    {"caCUT", 12},
    {"caCOPY", 13},
    {"caPASTE", 14},
    {"caDELETE", 15},
    {"caBACKSPACE", 16},
    {"caBLOCKIND", 17},
    {"caBLOCKUND", 18},
    {"caINSTOGGLE", 19},
    {"caSETBOOKMARK0", 20},
    {"caSETBOOKMARK1", 21},
    {"caSETBOOKMARK2", 22},
    {"caSETBOOKMARK3", 23},
    {"caSETBOOKMARK4", 24},
    {"caSETBOOKMARK5", 25},
    {"caSETBOOKMARK6", 26},
    {"caSETBOOKMARK7", 27},
    {"caSETBOOKMARK8", 28},
    {"caSETBOOKMARK9", 29},
    {"caGOTOBOOKMARK0", 30},
    {"caGOTOBOOKMARK1", 31},
    {"caGOTOBOOKMARK2", 32},
    {"caGOTOBOOKMARK3", 33},
    {"caGOTOBOOKMARK4", 34},
    {"caGOTOBOOKMARK5", 35},
    {"caGOTOBOOKMARK6", 36},
    {"caGOTOBOOKMARK7", 37},
    {"caGOTOBOOKMARK8", 38},
    {"caGOTOBOOKMARK9", 39},
    {"caDELETELINE", 40},
    {"caUNDO", 41},
    {"caREDO", 42},
    {"caDELPREVWORD", 43},
    {"caPRINTSEL", 44},
    {"caDELNEXTWORD", 45},
    // The key map's scrolling actions, so that scripts can bind them too.
    {"caSCROLLUP", 46},
    {"caSCROLLDOWN", 47},

    // Key names (virtual-key codes).
    {"BACKSPACE", 8},
    {"PGUP", 33},
    {"PGDN", 34},
    {"END", 35},
    {"HOME", 36},
    {"LEFT", 37},
    {"UP", 38},
    {"RIGHT", 39},
    {"DOWN", 40},
    {"INSERT", 45},
    {"DELETE", 46},
    {"F1", 112},
    {"F2", 113},
    {"F3", 114},
    {"F4", 115},
    {"F5", 116},
    {"F6", 117},
    {"F7", 118},
    {"F8", 119},
    {"F9", 120},
    {"F10", 121},
    {"F11", 122},
    {"F12", 123},

    // Character sets.
    {"ANSI_CHARSET", 0},
    {"DEFAULT_CHARSET", 1},
    {"SYMBOL_CHARSET", 2},
    {"MAC_CHARSET", 77},
    {"SHIFTJIS_CHARSET", 128},
    {"HANGEUL_CHARSET", 129},
    {"JOHAB_CHARSET", 130},
    {"GB2312_CHARSET", 134},
    {"CHINESEBIG5_CHARSET", 136},
    {"GREEK_CHARSET", 161},
    {"TURKISH_CHARSET", 162},
    {"HEBREW_CHARSET", 177},
    {"ARABIC_CHARSET", 178},
    {"BALTIC_CHARSET", 186},
    {"RUSSIAN_CHARSET", 204},
    {"THAI_CHARSET", 222},
    {"EASTEUROPE_CHARSET", 238},
    {"OEM_CHARSET", 255},
};

} // namespace

std::span<const PredefinedName> predefinedNames() {
    return kNames;
}

void definePredefinedMacros(TWordStore& macros) {
    macros.InsertMacro(kVersionMacro, kVersionMacro);
    for (const PredefinedName& n : kNames)
        macros.InsertMacro(n.name, std::to_string(n.value));
}

} // namespace qorvi
