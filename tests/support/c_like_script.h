#pragma once

// A small C-like parser script for tests, screenshots and benchmarks that
// need C++ colours while no compiled C++ image is built in: keywords (bold
// blue), line and block comments opened by words (italic green, a block
// comment one token to its "*/"), identifiers, numbers (purple), strings and
// characters (maroon). Anchors: blanks and punctuation, keywords,
// identifiers and numbers.

namespace qorvi::test {

// Token values of the script.
inline constexpr int kCKeyword = 1;
inline constexpr int kCLineComment = 2;
inline constexpr int kCBlockComment = 3;
inline constexpr int kCIdentifier = 4;
inline constexpr int kCNumber = 5;
inline constexpr int kCString = 6;
inline constexpr int kCChar = 7;

inline constexpr const char* kCLikeScript = R"(
%%language
  name = 'C-like'
  anchor = [0, 1, 4, 5]
%%words
  'auto' '[^a-zA-Z0-9_]' 1
  'bool' '[^a-zA-Z0-9_]' 1
  'break' '[^a-zA-Z0-9_]' 1
  'case' '[^a-zA-Z0-9_]' 1
  'char' '[^a-zA-Z0-9_]' 1
  'class' '[^a-zA-Z0-9_]' 1
  'const' '[^a-zA-Z0-9_]' 1
  'continue' '[^a-zA-Z0-9_]' 1
  'default' '[^a-zA-Z0-9_]' 1
  'do' '[^a-zA-Z0-9_]' 1
  'double' '[^a-zA-Z0-9_]' 1
  'else' '[^a-zA-Z0-9_]' 1
  'enum' '[^a-zA-Z0-9_]' 1
  'false' '[^a-zA-Z0-9_]' 1
  'float' '[^a-zA-Z0-9_]' 1
  'for' '[^a-zA-Z0-9_]' 1
  'if' '[^a-zA-Z0-9_]' 1
  'int' '[^a-zA-Z0-9_]' 1
  'long' '[^a-zA-Z0-9_]' 1
  'namespace' '[^a-zA-Z0-9_]' 1
  'nullptr' '[^a-zA-Z0-9_]' 1
  'private' '[^a-zA-Z0-9_]' 1
  'public' '[^a-zA-Z0-9_]' 1
  'return' '[^a-zA-Z0-9_]' 1
  'static' '[^a-zA-Z0-9_]' 1
  'struct' '[^a-zA-Z0-9_]' 1
  'switch' '[^a-zA-Z0-9_]' 1
  'template' '[^a-zA-Z0-9_]' 1
  'true' '[^a-zA-Z0-9_]' 1
  'typename' '[^a-zA-Z0-9_]' 1
  'unsigned' '[^a-zA-Z0-9_]' 1
  'using' '[^a-zA-Z0-9_]' 1
  'void' '[^a-zA-Z0-9_]' 1
  'while' '[^a-zA-Z0-9_]' 1
  '//' '' 2
  '/*' '' 3
%%handlers
  2 '[^\n]' ? '\n' 0
  3 '[^]' ? '*/' 1
%%tokens
  4 __STD_IDENTIFIER
  5 __STD_NUMBER_OR_FP
  6 __STD_C_STRING
  7 __STD_C_CHAR
%%map
  1 1
  2 2
  3 2
  4 0
  5 5
  6 6
  7 6
%%effects
  0 [] 0 16777215
  1 [0] 16711680 16777215
  2 [1] 32768 16777215
  5 [] 8388736 16777215
  6 [] 128 16777215
)";

} // namespace qorvi::test
