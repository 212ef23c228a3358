#include "editor/support/file_stream.h"
#include "editor/support/memory_stream.h"
#include "parser/rudivo_voru_parser.h"
#include "parser/script_compiler.h"
#include "parser/script_messages.h"
#include "platform/file_system.h"
#include "platform/safe_file_writer.h"
#include "tools/syntax/syntax_tool.h"

#include <iostream>
#include <optional>

namespace qorvi::syntax {

int fail(const std::string& message) {
    std::cerr << "qorvi-syntax: " << message << "\n";
    return kExitFailed;
}

int usage(const std::string& message, const char* help) {
    std::cerr << "qorvi-syntax: " << message << "\n\n" << help;
    return kExitUsage;
}

bool wantsHelp(const Args& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h")
            return true;
    return false;
}

std::unique_ptr<TRudivoVoruParser> compileScriptFile(const std::string& path) {
    auto parser = std::make_unique<TRudivoVoruParser>();
    parser->Script = path;
    TFileStream file(path);
    TScriptCompiler compiler(*parser);
    try {
        compiler.CompileFromStream(file, fs::directoryPart(path));
    } catch (const ESYM_COMP_ERROR& e) {
        const std::string text = e.message();
        // A few checks report no position; say where the compiler was.
        if (text.rfind("** ERROR near line", 0) == 0)
            throw ESYM_COMP_ERROR(path + ": " + text);
        throw ESYM_COMP_ERROR(path + ": " + text + " (near line " + std::to_string(compiler.FinalLine() + 1) +
                              ", column " + std::to_string(compiler.FinalColumn() + 1) + ")");
    } catch (const QorviError& e) {
        throw ESYM_COMP_ERROR(path + ": " + e.message() + " (near line " +
                              std::to_string(compiler.FinalLine() + 1) + ", column " +
                              std::to_string(compiler.FinalColumn() + 1) + ")");
    }
    return parser;
}

std::unique_ptr<TRudivoVoruParser> parserFromImage(const std::string& bytes, const std::string& name) {
    auto parser = std::make_unique<TRudivoVoruParser>();
    parser->SetName(name);
    std::optional<std::string> versionError;
    parser->OnParserVersionError = [&](TRudivoVoruParser&, std::uint16_t found, std::uint16_t expected) {
        versionError = name + ": the image has version " + std::to_string(found) + ", version " +
                       std::to_string(expected) + " was expected; recompile the script";
    };
    TMemoryStream stream(bytes);
    parser->ReadParserData(stream);
    if (versionError)
        throw QorviError(*versionError);
    return parser;
}

std::string readBinaryFile(const std::string& path) {
    TFileStream file(path);
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const std::int64_t got = file.Read(buffer, sizeof buffer);
        if (got <= 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

void writeBinaryFile(const std::string& path, const std::string& bytes) {
    SafeFileWriter writer(path);
    writer.write(bytes.data(), bytes.size());
    writer.commit();
}

std::string imageBytes(TRudivoVoruParser& parser) {
    TMemoryStream image;
    parser.WriteParserData(image);
    return image.DataString();
}

} // namespace qorvi::syntax
