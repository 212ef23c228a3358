#include "app/handover.h"

#include "platform/file_system.h"

namespace qorvi {

std::vector<std::string> handoverNames(const std::vector<std::string>& args,
                                       const std::string& currentDirectory) {
    std::vector<std::string> names;
    for (const auto& arg : args)
        names.push_back(fs::isAbsolute(arg) ? arg : fs::joinPath(currentDirectory, arg));
    return names;
}

HandoverTexts encodeHandoverNames(const std::vector<std::string>& names, std::size_t capacity) {
    HandoverTexts out;
    std::string text;
    for (const auto& name : names) {
        if (name.empty())
            continue;
        if (name.size() + 1 > capacity) {
            out.dropped.push_back(name);
            continue;
        }
        if (text.size() + name.size() + 1 > capacity) {
            out.texts.push_back(std::move(text));
            text.clear();
        }
        text += name;
        text += '\0';
    }
    if (!text.empty() || out.texts.empty())
        out.texts.push_back(text.empty() ? std::string(1, '\0') : std::move(text));
    return out;
}

std::vector<std::string> decodeHandoverNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\0', start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string droppedNamesMessage(const std::vector<std::string>& dropped) {
    std::string text = "These names are too long to be handed over to the running Qorvi and were not opened:";
    for (const auto& name : dropped)
        text += "\n" + name;
    return text;
}

std::vector<std::string> splitHandoverList(const std::string& text) {
    std::vector<std::string> names;
    std::string line;
    auto flush = [&] {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            names.push_back(line);
        line.clear();
    };
    for (char c : text) {
        if (c == '\n')
            flush();
        else
            line += c;
    }
    flush();
    return names;
}

} // namespace qorvi
