// qorvi-syntax: the parser script tool. See syntax_tool.h.

#include "platform/qorvi_error.h"
#include "tools/syntax/syntax_tool.h"

#include <cstring>
#include <exception>
#include <iostream>

namespace {

const char* const kHelp = "Usage: qorvi-syntax COMMAND [ARGUMENTS]\n"
                          "\n"
                          "Compiles Qorvi parser scripts and inspects compiled parser images.\n"
                          "\n"
                          "Commands:\n"
                          "  compile SCRIPT -o IMAGE    compile a script into a parser image\n"
                          "  dump IMAGE                 show the settings and tables of an image\n"
                          "  tokens (--image IMAGE | --script SCRIPT | --lang KEY) FILE\n"
                          "                             tokenise a file as the editor colours it\n"
                          "  embed IMAGE... -o FILE.cpp write images as C++ byte arrays\n"
                          "\n"
                          "Run 'qorvi-syntax COMMAND --help' for the details of a command.\n";

} // namespace

int main(int argc, char** argv) {
    using namespace qorvi::syntax;
    if (argc < 2)
        return usage("a command is required", kHelp);
    const std::string command = argv[1];
    const Args args(argv + 2, argv + argc);
    if (command == "--help" || command == "-h" || command == "help") {
        std::cout << kHelp;
        return kExitOk;
    }
    try {
        if (command == "compile")
            return runCompile(args);
        if (command == "dump")
            return runDump(args);
        if (command == "tokens")
            return runTokens(args);
        if (command == "embed")
            return runEmbed(args);
    } catch (const qorvi::QorviError& e) {
        return fail(e.message());
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return usage("unknown command '" + command + "'", kHelp);
}
