#include "app/handover.h"

#include "platform/file_system.h"
#include "platform/handover_block.h"

namespace qorvi {

HandoverList buildHandoverList(const std::vector<std::string>& args, const std::string& currentDirectory) {
    HandoverList list;
    const std::size_t capacity = HandoverBlock::kSize - 1; // room for the zero
    for (const auto& arg : args) {
        std::string name = fs::isAbsolute(arg) ? arg : fs::joinPath(currentDirectory, arg);
        if (list.text.size() + name.size() + 1 <= capacity && name.find('\n') == std::string::npos &&
            name.find('\0') == std::string::npos)
            list.text += name + "\n";
        else
            list.dropped.push_back(name);
    }
    return list;
}

std::string droppedNamesMessage(const std::vector<std::string>& dropped) {
    std::string text = "These names did not fit into the hand-over to the running Qorvi and were not opened:";
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
