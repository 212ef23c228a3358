#include "editor/macros/code_templates.h"

#include "editor/keys/shortcut_text.h"
#include "editor/support/memory_stream.h"
#include "editor/support/message_format.h"
#include "editor/support/rudivo_voru_error.h"
#include "editor/support/stream_fields.h"
#include "editor/text/stored_line_breaks.h"
#include "platform/code_page.h"
#include "platform/safe_file_writer.h"

#include <fstream>
#include <iterator>
#include <typeinfo>

namespace qorvi {
namespace {

inline constexpr const char* kMsgCannotOpenForReading = "Cannot open file \"%s\" for reading";

std::string trimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

} // namespace

void TCodeTemplates::Define(std::string_view Name, std::string_view Description, std::string_view Text) {
    removeEntry(lowerCase(Name));
    AddMacro(Name, Description, Text, false);
}

void TCodeTemplates::Remove(std::string_view Name) {
    removeEntry(lowerCase(Name));
}

void TCodeTemplates::Clear() {
    Reset();
}

bool TCodeTemplates::IsTemplateKnown(std::string_view Name, std::string& Text) const {
    const TMacroEntry* entry = FindEntry(Name);
    Text = entry ? entry->Replacement : std::string();
    return entry != nullptr;
}

void TCodeTemplates::Assign(const TSM_Base& Source) {
    const auto* source = dynamic_cast<const TCodeTemplates*>(&Source);
    if (!source)
        throw ERudivoVoru(formatMsg(kMsgCannotAssign, Source.ClassName(), ClassName()));
    if (source == this)
        return;
    if (typeid(*source) == typeid(*this)) {
        copyThroughStream(Source);
        return;
    }
    // Another kind of list: only the templates themselves travel.
    TMemoryStream buffer;
    source->saveTemplates(buffer);
    buffer.SetPosition(0);
    TCodeTemplates loaded;
    loaded.loadTemplates(buffer);
    takeMacros(loaded);
}

void TCodeTemplates::saveTemplates(TStream& stream) const {
    SWriteLongint(stream, static_cast<std::int32_t>(Entries().size()));
    for (const auto& entry : Entries()) {
        SWriteShortString(stream, entry->Name);
        SWriteShortString(stream, entry->Description);
        SWriteString(stream, entry->Replacement);
    }
    SWriteString(stream, shortCutToText(HotKey));
    SWriteByteBoolean(stream, Active);
}

void TCodeTemplates::loadTemplates(TStream& stream) {
    // A name, an empty description and an empty text take at least 6 bytes.
    const std::int32_t count = SReadCount(stream, 1 + 1 + 4);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string name = SReadShortString(stream);
        const std::string description = SReadShortString(stream);
        const std::string replacement = SReadString(stream);
        AddMacro(name, description, replacement, false);
    }
    HotKey = textToShortCut(SReadString(stream));
    Active = SReadByteBoolean(stream);
}

void TCodeTemplates::SaveToStream(TStream& stream) const {
    saveTemplates(stream);
}

void TCodeTemplates::LoadFromStream(TStream& stream) {
    std::unique_ptr<TSM_Base> fresh = makeEmpty();
    auto& loaded = static_cast<TCodeTemplates&>(*fresh);
    loaded.loadTemplates(stream);
    takeContents(loaded);
}

std::string TCodeTemplates::TemplatesAsText() const {
    std::string text;
    for (const auto& entry : Entries()) {
        text += "[" + entry->Name + " | " + entry->Description + "]\n";
        if (entry->Replacement.empty())
            continue;
        for (char c : entry->Replacement)
            text.push_back(c == '\r' ? '\n' : c);
        text.push_back('\n');
    }
    return text;
}

void TCodeTemplates::TemplatesFromText(std::string_view fileText) {
    const std::string text = toStoredLineBreaks(fileText);
    TCodeTemplates loaded;
    std::size_t i = text.find('[');
    while (i != std::string::npos) {
        ++i;
        const std::size_t nameEnd = std::min(text.find_first_of("\r]|", i), text.size());
        std::string name = trimBlanks(std::string_view(text).substr(i, nameEnd - i));
        std::string description;
        i = nameEnd;
        if (i < text.size() && text[i] == '|') {
            ++i;
            const std::size_t descEnd = std::min(text.find_first_of("\r]", i), text.size());
            description = trimBlanks(std::string_view(text).substr(i, descEnd - i));
            i = descEnd;
        }
        // The rest of the header line and its line break.
        i = std::min(text.find('\r', i), text.size());
        if (i < text.size())
            ++i;
        // Body lines up to a line starting with "[" or the end of the file.
        std::string body;
        bool firstLine = true;
        std::size_t next = std::string::npos;
        while (i < text.size()) {
            if (text[i] == '[') {
                next = i;
                break;
            }
            const std::size_t lineEnd = std::min(text.find('\r', i), text.size());
            if (!firstLine)
                body += "\r\n";
            body.append(text, i, lineEnd - i);
            firstLine = false;
            i = lineEnd < text.size() ? lineEnd + 1 : lineEnd;
        }
        loaded.AddMacro(name, description, body, false);
        i = next;
    }
    loaded.HotKey = HotKey;
    loaded.Active = Active;
    takeMacros(loaded);
}

void TCodeTemplates::LoadFromFile(const std::string& FileName) {
    std::ifstream in(FileName, std::ios::binary);
    if (!in)
        throw EFOpenError(formatMsg(kMsgCannotOpenForReading, FileName));
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw EFOpenError(formatMsg(kMsgCannotOpenForReading, FileName));
    TemplatesFromText(text);
}

void TCodeTemplates::SaveToFile(const std::string& FileName) const {
    const std::string text = TemplatesAsText();
    SafeFileWriter writer(FileName);
    writer.write(text.data(), text.size());
    writer.commit();
}

} // namespace qorvi
