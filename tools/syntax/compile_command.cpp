// qorvi-syntax compile SCRIPT -o IMAGE

#include "parser/rudivo_voru_parser.h"
#include "tools/syntax/syntax_tool.h"

#include <iostream>

namespace qorvi::syntax {

const char* const kCompileHelp =
    "Usage: qorvi-syntax compile SCRIPT -o IMAGE\n"
    "\n"
    "Compiles the parser script SCRIPT and writes the parser image (the bytes of\n"
    "the Parser property: version, size, compressed image) to IMAGE.\n"
    "#include <name> looks in the directory of SCRIPT, #include \"name\" beside\n"
    "the including file and then in the current directory.\n"
    "\n"
    "A script error is printed to stderr as\n"
    "  SCRIPT: ** ERROR near line L, Column C: message\n"
    "and the exit status is 1; IMAGE is then left as it was.\n";

int runCompile(const Args& args) {
    if (wantsHelp(args)) {
        std::cout << kCompileHelp;
        return kExitOk;
    }
    std::string script, output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 == args.size())
                return usage("-o needs a file name", kCompileHelp);
            output = args[++i];
        } else if (!args[i].empty() && args[i][0] == '-') {
            return usage("unknown option '" + args[i] + "'", kCompileHelp);
        } else if (script.empty()) {
            script = args[i];
        } else {
            return usage("only one script can be compiled at a time", kCompileHelp);
        }
    }
    if (script.empty() || output.empty())
        return usage("a script and -o IMAGE are required", kCompileHelp);
    auto parser = compileScriptFile(script);
    writeBinaryFile(output, imageBytes(*parser));
    return kExitOk;
}

} // namespace qorvi::syntax
