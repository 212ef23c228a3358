#include "app/headless_export.h"

#include "app/extension_map.h"
#include "app/parser_bank.h"
#include "editor/control/rudivo_voru.h"
#include "editor/support/safe_file_stream.h"
#include "editor/support/stream.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"
#include "platform/fd_io.h"
#include "platform/file_system.h"
#include "platform/qorvi_error.h"
#include "platform/safe_file_writer.h"

#include <algorithm>
#include <unistd.h>

namespace qorvi {
namespace {

// Standard output as the stream the control exports into.
class OutputStream : public TStream {
public:
    explicit OutputStream(int fd) : fd_(fd) {}
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void* buffer, std::int64_t count) override {
        if (count <= 0)
            return 0;
        return static_cast<std::int64_t>(writeFully(fd_, buffer, static_cast<std::size_t>(count)));
    }
    std::int64_t Seek(std::int64_t, int) override { return 0; }

private:
    int fd_;
};

TSaveFormat saveFormatOf(const std::string& format) {
    if (format == "html")
        return sfHTML;
    if (format == "rtf")
        return sfRTF;
    if (format == "unix")
        return sfUNIX;
    return sfTEXT;
}

} // namespace

std::optional<ExportRequest> exportRequest(const std::vector<std::string>& args, std::string& error) {
    error.clear();
    ExportRequest request;
    bool asked = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--export") {
            asked = true;
            if (i + 1 < args.size())
                request.format = args[++i];
        } else if (a == "--lang") {
            if (i + 1 < args.size())
                request.lang = args[++i];
            else
                error = "--lang needs a language key";
        } else if (a == "-o" && i + 1 < args.size()) {
            request.output = args[++i];
        } else if (asked && request.input.empty()) {
            request.input = a;
        }
    }
    if (!asked)
        return std::nullopt;
    if (!error.empty())
        return request;
    if (request.format != "html" && request.format != "rtf" && request.format != "text" && request.format != "unix")
        error = "--export needs a format: html, rtf, text or unix";
    else if (request.input.empty())
        error = "--export needs the name of the file to export";
    return request;
}

int runExport(const ExportRequest& request, std::FILE* err) {
    try {
        ExtensionMap map;
        map.setLines(ExtensionMap::defaultLines());
        // The user's own mapping, when there is one, decides as in the editor.
        map.load(fs::programDirectory() + "/Qorvi.dat");
        // The language is chosen on empty parsers; only its own is read, since
        // the others' tables would cost memory the export has no use for.
        const ParserBank names([](std::string_view) { return nullptr; });
        std::string key = names.parserForExtension(map, fs::extensionOf(request.input)).Key;
        if (!request.lang.empty()) {
            std::string keys;
            for (const ParserSlot& s : names.components())
                keys += (keys.empty() ? "" : ", ") + s.Key;
            const auto& all = names.components();
            if (std::none_of(all.begin(), all.end(), [&](const ParserSlot& s) { return s.Key == request.lang; }))
                throw QorviError("unknown language '" + request.lang + "' (known: " + keys + ")");
            key = request.lang;
        }
        const ParserBank parsers([&](std::string_view wanted) {
            return wanted == key ? FindEmbeddedParserImage(wanted) : nullptr;
        });
        const ParserSlot* slot = nullptr;
        for (const ParserSlot& s : parsers.components())
            if (s.Key == key)
                slot = &s;
        if (!slot)
            slot = &parsers.plain();
        const TSaveFormat format = saveFormatOf(request.format);
        TRudivoVoru control;
        control.SetParser1(slot->Parser.get());
        control.LoadFromFile(request.input);
        // Plain and Unix text need no colours.
        if (format == sfRTF || format == sfHTML)
            control.ParseAllRequired();
        control.HTMLTitle = request.input;
        control.SaveFormat = format;
        if (request.output.empty()) {
            OutputStream out(STDOUT_FILENO);
            control.SaveToStream(&out);
        } else {
            SafeFileWriter writer(request.output);
            SafeFileStream out(writer);
            control.SaveToStream(&out);
            writer.commit();
        }
        control.SetParser1(nullptr);
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(err, "qorvi: %s\n", e.what());
        return 1;
    }
}

void execExportProgram(char** argv) {
    const std::string dir = fs::executableDirectory();
    if (dir.empty())
        return;
    for (const std::string& path : {dir + "/qorvi-export", dir + "/../libexec/qorvi/qorvi-export"})
        if (::access(path.c_str(), X_OK) == 0)
            ::execv(path.c_str(), argv);
}

} // namespace qorvi
