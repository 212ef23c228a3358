// qorvi-syntax tokens (--image IMAGE | --script SCRIPT | --lang KEY) FILE

#include "editor/settings/editor_settings.h"
#include "editor/text/ed_stream.h"
#include "editor/text/text_load.h"
#include "editor/text/text_store.h"
#include "parser/embedded_images.h"
#include "parser/rudivo_voru_parser.h"
#include "tools/syntax/syntax_tool.h"

#include <cstdio>
#include <iostream>

namespace qorvi::syntax {

const char* const kTokensHelp =
    "Usage: qorvi-syntax tokens (--image IMAGE | --script SCRIPT | --lang KEY) FILE\n"
    "\n"
    "Loads FILE as the editor loads documents (LF, CR LF and CR line breaks all\n"
    "become one stored break) and tokenises it from the start with the parser\n"
    "from IMAGE, from SCRIPT compiled on the spot, or from the image built into\n"
    "this program for the document type KEY (cpp, java, htm, ...).\n"
    "\n"
    "Prints one line per token:\n"
    "  OFFSET LENGTH VALUE STYLE NAME\n"
    "OFFSET counts stored characters (every line break is one), VALUE is the\n"
    "token value, STYLE the style the language maps it to, and NAME the name of\n"
    "the editable style of that number, or '-'.\n";

namespace {

std::string embeddedKeys() {
    std::string keys;
    for (const EmbeddedParserImage& image : EmbeddedParserImages())
        keys += std::string(keys.empty() ? "" : ", ") + image.typeKey;
    return keys.empty() ? "none are built in" : "built in: " + keys;
}

// The name of the first editable style whose number is `style`.
std::string styleName(const TSM_Settings& settings, int style) {
    for (int i = 1; i <= kEditableCount; ++i) {
        const TEditableEntry& e = settings.GetEditableEntry(i);
        if (!e.Name.empty() && e.Value == style)
            return e.Name;
    }
    return "-";
}

} // namespace

int runTokens(const Args& args) {
    if (wantsHelp(args)) {
        std::cout << kTokensHelp;
        return kExitOk;
    }
    std::string image, script, lang, file;
    int sources = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--image" || a == "--script" || a == "--lang") {
            if (i + 1 == args.size())
                return usage(a + " needs a value", kTokensHelp);
            (a == "--image" ? image : a == "--script" ? script : lang) = args[++i];
            ++sources;
        } else if (!a.empty() && a[0] == '-') {
            return usage("unknown option '" + a + "'", kTokensHelp);
        } else if (file.empty()) {
            file = a;
        } else {
            return usage("only one file can be tokenised at a time", kTokensHelp);
        }
    }
    if (sources != 1)
        return usage("give exactly one of --image, --script and --lang", kTokensHelp);
    if (file.empty())
        return usage("a file to tokenise is required", kTokensHelp);

    std::unique_ptr<TRudivoVoruParser> parser;
    if (!image.empty()) {
        parser = parserFromImage(readBinaryFile(image), image);
    } else if (!script.empty()) {
        parser = compileScriptFile(script);
    } else {
        const EmbeddedParserImage* embedded = FindEmbeddedParserImage(lang);
        if (!embedded)
            return fail("no parser image for the language '" + lang + "' (" + embeddedKeys() + ")");
        parser =
            parserFromImage(std::string(reinterpret_cast<const char*>(embedded->data), embedded->size), lang);
    }

    TTextStore store;
    LoadTextFromFile(store, file);
    auto stream = store.GetTextStream(0);
    parser->ParseInit(0);
    const TSM_Settings& settings = parser->Settings();
    std::string out;
    while (!stream->yyeof()) {
        const std::int32_t offset = stream->GetYYpos();
        std::int32_t length = 0;
        const int value = parser->ParseStream(nullptr, *stream, length);
        const int style = settings.GetMapEntry(value);
        out += std::to_string(offset) + ' ' + std::to_string(length) + ' ' + std::to_string(value) + ' ' +
               std::to_string(style) + ' ' + styleName(settings, style) + '\n';
        if (out.size() > 1 << 16) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : fail("cannot write the output");
}

} // namespace qorvi::syntax
