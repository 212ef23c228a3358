#include "app/extension_map.h"

#include "app/document_types.h"
#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/safe_file_writer.h"

namespace qorvi {

const std::vector<std::string>& ExtensionMap::defaultLines() {
    static const std::vector<std::string> lines{
        "cpp=cpp",  "c=cpp",     "h=cpp",     "hpp=cpp",        "java=java", "pas=pas", "bas=bas",
        "frm=bas",  "sql=sql",   "htm=htm",   "html=htm",       "asp=htm",   "idl=idl", "txt=txt",
        "ini=ini",  "bat=bat",   "cmd=bat",   "me=txt",         "4gl=4gl",   "sh=sh",   "properties=sh",
        "profile=sh", "login=sh", "mail=sh",  "config=sh",      "php3=php3", "phtml=php3",
        // Extensions common on a Linux machine, for new users' files only.
        "php=php3", "cc=cpp",    "cxx=cpp",   "hh=cpp",         "hxx=cpp",   "conf=ini", "cfg=ini",
        "log=txt",  "bash=sh",
    };
    return lines;
}

bool ExtensionMap::load(const std::string& path) {
    auto text = fs::readFile(path);
    if (!text)
        return false;
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text->size(); ++i) {
        char c = (*text)[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text->size() && (*text)[i + 1] == '\n')
                ++i;
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(std::move(line));
    lines_ = std::move(lines);
    return true;
}

void ExtensionMap::save(const std::string& path) const {
    std::string text;
    for (const auto& line : lines_)
        text += line + "\r\n";
    SafeFileWriter writer(path);
    writer.write(text.data(), text.size());
    writer.commit();
}

ExtensionMap::Lookup ExtensionMap::lookUp(const std::string& ext) const {
    std::string wanted = lowerCase(ext);
    for (const auto& line : lines_) {
        auto eq = line.find('=');
        std::string name = eq == std::string::npos ? line : line.substr(0, eq);
        if (lowerCase(name) == wanted)
            return {true, eq == std::string::npos ? std::string() : line.substr(eq + 1)};
    }
    return {false, "txt"};
}

bool ExtensionMap::isRegistered(const std::string& ext) const {
    if (ext.empty())
        return false;
    std::string e = lowerCase(ext);
    if (e[0] == '.')
        e.erase(0, 1);
    return !e.empty() && lookUp(e).registered;
}

int ExtensionMap::typeNumberForExtension(const std::string& ext) const {
    if (ext.empty())
        return kPlainTextType;
    std::string e = ext[0] == '.' ? ext.substr(1) : ext;
    return typeNumberForKey(lookUp(lowerCase(e)).typeKey);
}

} // namespace qorvi
