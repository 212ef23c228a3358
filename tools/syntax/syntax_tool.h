#pragma once

// qorvi-syntax: compiles parser scripts into the Parser property bytes the
// editor embeds, shows what an image holds, tokenises files the way the
// editor colours them, and writes images as C++ byte arrays for the build.
//
// Every command returns the process exit code: 0 done, 1 failed (the
// message went to stderr), 2 wrong usage.

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace qorvi {

class TRudivoVoruParser;

namespace syntax {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

using Args = std::vector<std::string>;

int runCompile(const Args& args);
int runDump(const Args& args);
int runTokens(const Args& args);
int runEmbed(const Args& args);

extern const char* const kCompileHelp;
extern const char* const kDumpHelp;
extern const char* const kTokensHelp;
extern const char* const kEmbedHelp;

// Prints "qorvi-syntax: <message>" to stderr and returns kExitFailed.
int fail(const std::string& message);
// Prints the message and the command's help to stderr; returns kExitUsage.
int usage(const std::string& message, const char* help);
bool wantsHelp(const Args& args);

// The script compiled into a fresh parser. A script error is printed as
// "SCRIPT: message"; an error the compiler reports without a position gets
// the position reached appended.
std::unique_ptr<TRudivoVoruParser> compileScriptFile(const std::string& path);
// An image (Parser property bytes) read into a fresh parser.
std::unique_ptr<TRudivoVoruParser> parserFromImage(const std::string& bytes, const std::string& name);
// The whole file; raises QorviError when it cannot be read.
std::string readBinaryFile(const std::string& path);
// Replaces `path` with `bytes` through a temp file beside it.
void writeBinaryFile(const std::string& path, const std::string& bytes);
// The image bytes of a compiled parser.
std::string imageBytes(TRudivoVoruParser& parser);

} // namespace syntax
} // namespace qorvi
