#pragma once

// The lexeme codes the preprocessor hands the script compiler. Keywords are
// matched case-insensitively; the numbers are fixed.

namespace qorvi {

inline constexpr int kLexLanguage = 20;       // %%language
inline constexpr int kLexName = 21;           // name
inline constexpr int kLexCase = 22;           // case
inline constexpr int kLexOptions = 23;        // options
inline constexpr int kLexWords = 24;          // %%words
inline constexpr int kLexEquals = 25;         // =
inline constexpr int kLexHandlers = 26;       // %%handler, %%handlers
inline constexpr int kLexTokens = 27;         // %%tokens
inline constexpr int kLexMap = 28;            // %%map
inline constexpr int kLexEffects = 29;        // %%effects
inline constexpr int kLexExampleText = 33;    // exampletext
inline constexpr int kLexEditableStyles = 34; // editablestyles
inline constexpr int kLexOpenParen = 35;      // (
inline constexpr int kLexCloseParen = 36;     // )
inline constexpr int kLexComma = 37;          // ,
inline constexpr int kLexPlus = 38;           // +
inline constexpr int kLexMinus = 39;          // -
inline constexpr int kLexOpenBracket = 40;    // [
inline constexpr int kLexCloseBracket = 41;   // ]
inline constexpr int kLexQuestion = 42;       // ?
inline constexpr int kLexWordWrapColumn = 43;
inline constexpr int kLexGutter = 44;
inline constexpr int kLexAnchor = 45;
inline constexpr int kLexStates = 46; // %%states
inline constexpr int kLexIndentStep = 47;
inline constexpr int kLexWrapOverride = 48;
inline constexpr int kLexContainers = 49; // %%containers
inline constexpr int kLexKeys = 50;       // %%keys
inline constexpr int kLexShift = 51;
inline constexpr int kLexCtrl = 52;
inline constexpr int kLexAlt = 53;
inline constexpr int kLexStartState = 54;
inline constexpr int kLexSelTextColor = 55;
inline constexpr int kLexSelTextBack = 56;
inline constexpr int kLexRightMargin = 57;
inline constexpr int kLexFontName = 58;
inline constexpr int kLexFontSize = 59;
inline constexpr int kLexTabColumns = 60;
inline constexpr int kLexTabDefault = 61;
inline constexpr int kLexContextStates = 62;
inline constexpr int kLexInState = 63;
inline constexpr int kLexBoundStates = 64;
inline constexpr int kLexGutterColor = 65;
inline constexpr int kLexMatch = 66;
inline constexpr int kLexBar = 67;         // |
inline constexpr int kLexAutoReplace = 68; // %%autoreplace
inline constexpr int kLexTemplates = 69;   // %%templates
inline constexpr int kLexMarginColor = 70;
inline constexpr int kLexMarginWidth = 71;
inline constexpr int kLexStar = 72; // *
inline constexpr int kLexActionKeys = 73;
inline constexpr int kLexHotKey = 74;
inline constexpr int kLexKwTables = 75; // %%kwTables
inline constexpr int kLexForState = 76;
inline constexpr int kLexEndsWith = 77;
inline constexpr int kLexIs = 78;
inline constexpr int kLexPush = 79;
inline constexpr int kLexPop = 80;
inline constexpr int kLexOr = 81;
inline constexpr int kLexFontCharset = 82;
inline constexpr int kLexIdentifier = 90;
inline constexpr int kLexNumber = 91;
inline constexpr int kLexString = 92;
inline constexpr int kLexEnd = 93;
inline constexpr int kLexOther = 94;
inline constexpr int kLexGutterFontName = 95;
inline constexpr int kLexGutterFontSize = 96;
inline constexpr int kLexGutterFontColor = 97;
inline constexpr int kLexGutterFontStyle = 98;

struct LexemeKeyword {
    const char* text;
    int code;
};

// Every keyword of the keyword store with its code.
inline constexpr LexemeKeyword kLexemeKeywords[] = {
    {"%%language", kLexLanguage},
    {"name", kLexName},
    {"case", kLexCase},
    {"options", kLexOptions},
    {"%%words", kLexWords},
    {"=", kLexEquals},
    {"%%handler", kLexHandlers},
    {"%%handlers", kLexHandlers},
    {"%%tokens", kLexTokens},
    {"%%map", kLexMap},
    {"%%effects", kLexEffects},
    {"exampletext", kLexExampleText},
    {"editablestyles", kLexEditableStyles},
    {"(", kLexOpenParen},
    {")", kLexCloseParen},
    {",", kLexComma},
    {"+", kLexPlus},
    {"-", kLexMinus},
    {"[", kLexOpenBracket},
    {"]", kLexCloseBracket},
    {"?", kLexQuestion},
    {"wordwrapcolumn", kLexWordWrapColumn},
    {"gutter", kLexGutter},
    {"anchor", kLexAnchor},
    {"%%states", kLexStates},
    {"indentstep", kLexIndentStep},
    {"wrapoverride", kLexWrapOverride},
    {"%%containers", kLexContainers},
    {"%%keys", kLexKeys},
    {"shift", kLexShift},
    {"ctrl", kLexCtrl},
    {"alt", kLexAlt},
    {"startstate", kLexStartState},
    {"seltextcolor", kLexSelTextColor},
    {"seltextback", kLexSelTextBack},
    {"rightmargin", kLexRightMargin},
    {"fontname", kLexFontName},
    {"fontsize", kLexFontSize},
    {"tabcolumns", kLexTabColumns},
    {"tabdefault", kLexTabDefault},
    {"contextstates", kLexContextStates},
    {"InState", kLexInState},
    {"boundstates", kLexBoundStates},
    {"guttercolor", kLexGutterColor},
    {"match", kLexMatch},
    {"|", kLexBar},
    {"%%autoreplace", kLexAutoReplace},
    {"%%templates", kLexTemplates},
    {"margincolor", kLexMarginColor},
    {"marginwidth", kLexMarginWidth},
    {"*", kLexStar},
    {"actionkeys", kLexActionKeys},
    {"hotkey", kLexHotKey},
    {"%%kwTables", kLexKwTables},
    {"forstate", kLexForState},
    {"endswith", kLexEndsWith},
    {"is", kLexIs},
    {"push", kLexPush},
    {"pop", kLexPop},
    {"or", kLexOr},
    {"fontcharset", kLexFontCharset},
    {"GutterFontName", kLexGutterFontName},
    {"GutterFontSize", kLexGutterFontSize},
    {"GutterFontColor", kLexGutterFontColor},
    {"GutterFontStyle", kLexGutterFontStyle},
};

} // namespace qorvi
